#pragma once

#include <QLabel>

// A label of one line that gives up room instead of claiming it: a text wider than the room it
// gets is cut at its end ("…"), so a long message never widens the window. text() and the
// tool tip keep the whole text.
class TElidedLabel : public QLabel
{
    Q_OBJECT
public:
    explicit TElidedLabel(QWidget *parent = nullptr);

    QSize minimumSizeHint() const override;
    // The text as it fits the label's width now.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};

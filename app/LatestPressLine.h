#pragma once

#include <QWidget>

// One line of large text that changes with every press: the latest press above the pass log.
// Unlike a label, a new text only repaints the line: it never asks the window to lay itself out
// again, which a label does on every change and which costs more than the press itself.
// Text too long for the line is cut with an ellipsis.
class TLatestPressLine : public QWidget
{
    Q_OBJECT
public:
    explicit TLatestPressLine(QWidget *parent = nullptr);

    QString text() const { return FText; }
    void setText(const QString &text);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    int lineHeight() const;

    QString FText;
};

#pragma once

#include <QWidget>

// One line of large text that changes with every press: the latest press above the pass log.
// Unlike a label, a new text only repaints the line: it never asks the window to lay itself out
// again, which a label does on every change and which costs more than the press itself.
// The line has three parts: the head (key and start number) and the tail (lap and time) are
// never cut while the name between them can give up room; the name is cut first, then the tail.
class TLatestPressLine : public QWidget
{
    Q_OBJECT
public:
    explicit TLatestPressLine(QWidget *parent = nullptr);

    // The whole line as shown when there is room.
    QString text() const { return FText; }
    // A line of one part, cut at its end where it is too long.
    void setText(const QString &text);
    void setParts(const QString &head, const QString &name, const QString &tail);
    // The head, name and tail as they fit the line's width now.
    QStringList shownParts() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    int lineHeight() const;

    QString FHead;
    QString FName;
    QString FTail;
    QString FText;
};

#include "LatestPressLine.h"

#include <QEvent>
#include <QPainter>

namespace {

constexpr int kMargin = 2;

} // namespace

TLatestPressLine::TLatestPressLine(QWidget *parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    setFixedHeight(lineHeight());
}

void TLatestPressLine::setText(const QString &text)
{
    if (text == FText)
        return;
    FText = text;
    update();
}

QSize TLatestPressLine::sizeHint() const
{
    return {fontMetrics().horizontalAdvance(FText) + 2 * kMargin, lineHeight()};
}

QSize TLatestPressLine::minimumSizeHint() const
{
    return {0, lineHeight()};
}

int TLatestPressLine::lineHeight() const
{
    return fontMetrics().height() + 2 * kMargin;
}

void TLatestPressLine::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect area = rect().adjusted(kMargin, kMargin, -kMargin, -kMargin);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter,
                     fontMetrics().elidedText(FText, Qt::ElideRight, area.width()));
}

void TLatestPressLine::changeEvent(QEvent *event)
{
    // A new font (the zoom of the window) changes the height of the line.
    if (event->type() == QEvent::FontChange)
        setFixedHeight(lineHeight());
    QWidget::changeEvent(event);
}

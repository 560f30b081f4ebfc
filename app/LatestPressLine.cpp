#include "LatestPressLine.h"

#include <QEvent>
#include <QPainter>

namespace {

constexpr int kMargin = 2;
const QString kGap = QStringLiteral("   ");

} // namespace

TLatestPressLine::TLatestPressLine(QWidget *parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    setFixedHeight(lineHeight());
}

void TLatestPressLine::setText(const QString &text)
{
    setParts(QString(), text, QString());
}

void TLatestPressLine::setParts(const QString &head, const QString &name, const QString &tail)
{
    if (head == FHead && name == FName && tail == FTail)
        return;
    FHead = head;
    FName = name;
    FTail = tail;
    QStringList parts;
    for (const QString &part : {head, name, tail}) {
        if (!part.isEmpty())
            parts << part;
    }
    FText = parts.join(kGap);
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
    const QFontMetrics metrics = fontMetrics();
    const int gap = metrics.horizontalAdvance(kGap);
    int x = area.left();
    const auto draw = [&](const QString &text, int room) {
        const QString shown = metrics.elidedText(text, Qt::ElideRight, qMax(room, 0));
        painter.drawText(QRect(x, area.top(), qMax(room, 0), area.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, shown);
        x += metrics.horizontalAdvance(shown) + gap;
    };
    if (!FHead.isEmpty())
        draw(FHead, area.right() + 1 - x);
    const int tailWidth = FTail.isEmpty() ? 0 : metrics.horizontalAdvance(FTail) + gap;
    if (!FName.isEmpty())
        draw(FName, area.right() + 1 - x - tailWidth);
    if (!FTail.isEmpty())
        draw(FTail, area.right() + 1 - x);
}

void TLatestPressLine::changeEvent(QEvent *event)
{
    // A new font (the zoom of the window) changes the height of the line.
    if (event->type() == QEvent::FontChange)
        setFixedHeight(lineHeight());
    QWidget::changeEvent(event);
}

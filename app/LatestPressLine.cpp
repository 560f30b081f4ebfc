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

QStringList TLatestPressLine::shownParts() const
{
    const int width = rect().width() - 2 * kMargin;
    const QFontMetrics metrics = fontMetrics();
    const int gap = metrics.horizontalAdvance(kGap);
    int used = 0;
    const auto fit = [&](const QString &text, int room) {
        if (text.isEmpty())
            return text;
        const QString shown = metrics.elidedText(text, Qt::ElideRight, qMax(room, 0));
        if (!shown.isEmpty())
            used += metrics.horizontalAdvance(shown) + gap;
        return shown;
    };
    const QString head = fit(FHead, width);
    const int tailWidth = FTail.isEmpty() ? 0 : metrics.horizontalAdvance(FTail) + gap;
    const QString name = fit(FName, width - used - tailWidth);
    const QString tail = fit(FTail, width - used);
    return {head, name, tail};
}

void TLatestPressLine::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect area = rect().adjusted(kMargin, kMargin, -kMargin, -kMargin);
    painter.setPen(palette().color(QPalette::WindowText));
    QStringList parts = shownParts();
    parts.removeAll(QString());
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, parts.join(kGap));
}

void TLatestPressLine::changeEvent(QEvent *event)
{
    // A new font (the zoom of the window) changes the height of the line.
    if (event->type() == QEvent::FontChange)
        setFixedHeight(lineHeight());
    QWidget::changeEvent(event);
}

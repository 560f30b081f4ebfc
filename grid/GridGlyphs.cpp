#include "GridGlyphs.h"

#include <QPainter>
#include <QPolygon>

namespace {
constexpr int kArrowWidth = 8;
constexpr int kArrowHeight = 7;
constexpr int kButtonSize = 16;
const QColor kGlyphInk(0x40, 0x40, 0x40);
const QColor kButtonFace(0xE0, 0xE0, 0xE0);

QPixmap Blank(int width, int height)
{
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

QPixmap Arrow(bool up)
{
    QPixmap pixmap = Blank(kArrowWidth, kArrowHeight);
    QPainter painter(&pixmap);
    painter.setPen(kGlyphInk);
    // A triangle outline, point up for ascending, down for descending.
    const QPolygon triangle =
        up ? QPolygon({QPoint(3, 0), QPoint(4, 0), QPoint(7, 6), QPoint(0, 6)})
           : QPolygon({QPoint(0, 0), QPoint(7, 0), QPoint(4, 6), QPoint(3, 6)});
    painter.drawPolygon(triangle);
    return pixmap;
}

QPixmap CheckBox(bool checked)
{
    QPixmap pixmap = Blank(kButtonSize, kButtonSize);
    QPainter painter(&pixmap);
    painter.fillRect(QRect(2, 2, 12, 12), Qt::white);
    painter.setPen(kGlyphInk);
    painter.drawRect(QRect(2, 2, 11, 11));
    if (checked) {
        painter.setPen(QPen(Qt::black, 2));
        painter.drawPolyline(QPolygon({QPoint(4, 8), QPoint(7, 11), QPoint(12, 4)}));
    }
    return pixmap;
}

QPixmap Button(bool ellipsis)
{
    QPixmap pixmap = Blank(kButtonSize, kButtonSize);
    QPainter painter(&pixmap);
    painter.fillRect(pixmap.rect(), kButtonFace);
    painter.setPen(Qt::white);
    painter.drawLine(0, 0, kButtonSize - 1, 0);
    painter.drawLine(0, 0, 0, kButtonSize - 1);
    painter.setPen(kGlyphInk);
    painter.drawLine(kButtonSize - 1, 0, kButtonSize - 1, kButtonSize - 1);
    painter.drawLine(0, kButtonSize - 1, kButtonSize - 1, kButtonSize - 1);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::black);
    if (ellipsis) {
        for (int x : {4, 7, 10})
            painter.drawRect(QRect(x, 10, 1, 1));
    } else {
        painter.drawPolygon(QPolygon({QPoint(4, 6), QPoint(11, 6), QPoint(8, 9), QPoint(7, 9)}));
    }
    return pixmap;
}
} // namespace

QPixmap GridGlyph(const QString &name)
{
    if (name == QLatin1String("UP"))
        return Arrow(true);
    if (name == QLatin1String("DOWN"))
        return Arrow(false);
    if (name == QLatin1String("CHECKED"))
        return CheckBox(true);
    if (name == QLatin1String("UNCHECKED"))
        return CheckBox(false);
    if (name == QLatin1String("COMBOBOX"))
        return Button(false);
    if (name == QLatin1String("ELLIPSIS"))
        return Button(true);
    return QPixmap();
}

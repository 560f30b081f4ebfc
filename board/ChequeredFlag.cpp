#include "ChequeredFlag.h"

#include <QPainter>

#include <algorithm>

namespace {

constexpr int kColumns = 6;
constexpr int kRows = 4;

} // namespace

void DrawChequeredFlag(QPainter &painter, const QRect &rect)
{
    if (rect.width() < kColumns + 2 || rect.height() < kRows + 2)
        return;
    const int pole = std::max(2, rect.width() / 14);
    const int clothWidth = rect.width() - pole;
    const int square = std::max(1, std::min(clothWidth / kColumns, rect.height() / kRows));
    const int clothHeight = square * kRows;
    const int top = rect.top() + (rect.height() - clothHeight) / 2;
    const int left = rect.left() + pole;

    painter.save();
    painter.setPen(Qt::NoPen);
    painter.fillRect(QRect(rect.left(), top, pole, rect.bottom() - top + 1), QColor(200, 200, 200));
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            const bool black = (r + c) % 2 == 1;
            painter.fillRect(QRect(left + c * square, top + r * square, square, square),
                             black ? Qt::black : Qt::white);
        }
    }
    // A thin frame keeps the black squares visible on the dark background.
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(left, top, square * kColumns - 1, clothHeight - 1));
    painter.restore();
}

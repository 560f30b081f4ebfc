#include "BoardGeometry.h"

#include <QFontMetrics>

#include <algorithm>
#include <cmath>

namespace {

// Shares of the window height for the header lines.
constexpr double kTitleShare = 0.11;
constexpr double kProgressShare = 0.08;
constexpr double kHeadingShare = 0.05;
// A row is never taller than this share of the window, so two cars do not get giant type.
constexpr double kMaxRowShare = 1.0 / 8;
// Type height as a share of its line.
constexpr double kTypeShare = 0.66;
// The clock's label under the clock, in the progress line: type as a share of that line, and
// never more than this share of the width.
constexpr double kClockLabelShare = 0.5;
constexpr double kMaxClockLabelShare = 0.2;
// For the longest name to show whole, the row type may shrink down to this share of the row;
// below it, names are cut.
constexpr double kNameTypeShare = 0.55;
constexpr double kHeadingTypeShare = 0.55;
constexpr int kMinPixelSize = 6;
// The driver column keeps room for at least this many average characters.
constexpr int kMinDriverChars = 14; // most names whole: "Cleo Lindqvist"
// No fixed column takes more than this share of the width, whatever text it was handed; a text
// wider than that is elided like a long name.
constexpr double kMaxFixedShare = 0.2;

QFont sizedFont(const QString &family, int pixelSize, bool bold)
{
    QFont font(family);
    font.setPixelSize(std::max(kMinPixelSize, pixelSize));
    font.setBold(bold);
    return font;
}

// Rounded up: elision measures in fractions of a pixel and would cut a text that a rounded
// width says fits exactly.
int textWidth(const QFont &font, const QString &text)
{
    return int(std::ceil(QFontMetricsF(font).horizontalAdvance(text)));
}

bool isFixedText(int column)
{
    return column != int(TBoardColumn::Marker) && column != int(TBoardColumn::Driver);
}

// The largest type no taller than the line and no wider than width for text.
QFont fittingFont(const QString &family, int lineHeight, double share, int width,
                  const QString &text, bool bold)
{
    int pixels = std::max(kMinPixelSize, int(lineHeight * share));
    QFont font = sizedFont(family, pixels, bold);
    while (pixels > kMinPixelSize &&
           (textWidth(font, text) > width || QFontMetrics(font).height() > lineHeight)) {
        pixels = std::max(kMinPixelSize, pixels * 9 / 10);
        font = sizedFont(family, pixels, bold);
    }
    return font;
}

// Sizes the row type and the columns, starting at pixels; the type shrinks until the fixed
// columns and a readable driver column fit usable and, while above namePixels, until the longest
// name fits too. Returns whether it does.
bool layoutRows(TBoardGeometry &g, const QString &family, const TBoardColumnTexts &widest,
                int usable, int pixels, int namePixels)
{
    const QString &longestName = widest[int(TBoardColumn::Driver)];
    for (;;) {
        g.rowFont = sizedFont(family, pixels, true);
        g.headingFont = sizedFont(
            family, std::min(int(g.headingHeight * kTypeShare), int(pixels * kHeadingTypeShare)),
            false);
        g.padding = std::max(2, pixels / 4);
        g.columnWidth[int(TBoardColumn::Marker)] = std::max(4, g.rowHeight * 3 / 4);
        int fixed = g.columnWidth[int(TBoardColumn::Marker)];
        for (int c = 0; c < kBoardColumns; ++c) {
            if (!isFixedText(c))
                continue;
            const int cap = int(usable * kMaxFixedShare);
            const int text = std::max(std::min(textWidth(g.rowFont, widest[c]), cap),
                                      textWidth(g.headingFont, ColumnHeading(TBoardColumn(c))));
            g.columnWidth[c] = text + 2 * g.padding;
            fixed += g.columnWidth[c];
        }
        const int driverMin =
            QFontMetrics(g.rowFont).averageCharWidth() * kMinDriverChars + 2 * g.padding;
        const int nameWidth = textWidth(g.rowFont, longestName) + 2 * g.padding;
        const int driverWanted = pixels > namePixels ? std::max(driverMin, nameWidth) : driverMin;
        const bool fitsHeight = QFontMetrics(g.rowFont).height() <= g.rowHeight;
        if ((fixed + driverWanted <= usable && fitsHeight) || pixels <= kMinPixelSize) {
            g.columnWidth[int(TBoardColumn::Driver)] = std::max(driverMin, usable - fixed);
            g.namesWhole = g.columnWidth[int(TBoardColumn::Driver)] >= nameWidth;
            return g.namesWhole;
        }
        pixels = std::max(kMinPixelSize, pixels * 19 / 20);
    }
}

} // namespace

QRect TBoardGeometry::rowRect(int row) const
{
    const int left = columnLeft[0];
    const int right = columnLeft[kBoardColumns - 1] + columnWidth[kBoardColumns - 1];
    return QRect(left, rowsTop + row * rowHeight, right - left, rowHeight);
}

QRect TBoardGeometry::cellRect(int row, TBoardColumn column) const
{
    const int c = int(column);
    return QRect(columnLeft[c], rowsTop + row * rowHeight, columnWidth[c], rowHeight);
}

QRect TBoardGeometry::headingRect(TBoardColumn column) const
{
    const int c = int(column);
    return QRect(columnLeft[c], headingTop, columnWidth[c], headingHeight);
}

QRect TBoardGeometry::textRect(const QRect &cell, int padding)
{
    return cell.adjusted(padding, 0, -padding, 0);
}

TBoardColumnTexts DefaultColumnTexts()
{
    TBoardColumnTexts texts;
    texts[int(TBoardColumn::Position)] = QStringLiteral("12.");
    texts[int(TBoardColumn::Number)] = QStringLiteral("00");
    texts[int(TBoardColumn::Laps)] = QStringLiteral("00");
    // Lap times and gaps as the standings write them by default: minutes without a leading
    // zero, tenths.
    texts[int(TBoardColumn::LastLap)] = QStringLiteral("0:00.0");
    texts[int(TBoardColumn::BestLap)] = QStringLiteral("0:00.0");
    texts[int(TBoardColumn::Gap)] = QStringLiteral("0:00.0");
    return texts;
}

QString ColumnHeading(TBoardColumn column)
{
    switch (column) {
    case TBoardColumn::Position:
        return QStringLiteral("Pos.");
    case TBoardColumn::Number:
        return QStringLiteral("Nr.");
    case TBoardColumn::Driver:
        return QStringLiteral("Fahrer");
    case TBoardColumn::Laps:
        return QStringLiteral("Runden");
    case TBoardColumn::LastLap:
        return QStringLiteral("Letzte");
    case TBoardColumn::BestLap:
        return QStringLiteral("Beste");
    case TBoardColumn::Gap:
        return QStringLiteral("Abstand");
    case TBoardColumn::Marker:
        break;
    }
    return QString();
}

QString ClockTemplate()
{
    return QStringLiteral("00:00:00");
}

TBoardGeometry ComputeBoardGeometry(QSize size, int rowCount, const TBoardColumnTexts &widest,
                                    const QString &clockText, const QString &clockLabel,
                                    const QString &family)
{
    TBoardGeometry g;
    const int width = std::max(size.width(), 100);
    const int height = std::max(size.height(), 100);
    const int margin = std::max(4, width / 100);
    const int titleHeight = int(height * kTitleShare);
    const int progressHeight = int(height * kProgressShare);
    g.headingHeight = int(height * kHeadingShare);
    const int rows = std::max(rowCount, 1);

    const int top = margin;
    g.headingTop = top + titleHeight + progressHeight;
    g.rowsTop = g.headingTop + g.headingHeight;
    const int rowsArea = height - margin - g.rowsTop;
    g.rowHeight = std::max(1, std::min(rowsArea / rows, int(height * kMaxRowShare)));

    // The row type: as large as the row allows, then smaller until the columns fit the width
    // and, down to a limit, until the longest name fits whole. A name that does not fit even
    // then is cut at the larger type: smaller type would not show it either.
    const int usable = width - 2 * margin;
    const int largest = std::max(kMinPixelSize, int(g.rowHeight * kTypeShare));
    if (!layoutRows(g, family, widest, usable, largest, int(g.rowHeight * kNameTypeShare)))
        layoutRows(g, family, widest, usable, largest, largest);
    int x = margin;
    for (int c = 0; c < kBoardColumns; ++c) {
        g.columnLeft[c] = x;
        x += g.columnWidth[c];
    }

    // The header: the title on the left, the clock on the right, the progress line below.
    const QFont probe = sizedFont(family, titleHeight, true);
    const QString clock = textWidth(probe, clockText) > textWidth(probe, ClockTemplate())
                              ? clockText
                              : ClockTemplate();
    g.clockFont = fittingFont(family, titleHeight, kTypeShare, usable / 2, clock, true);
    const int clockWidth = textWidth(g.clockFont, clock) + 2 * g.padding;
    g.clockRect = QRect(width - margin - clockWidth, top, clockWidth, titleHeight);
    g.titleFont = sizedFont(family, g.clockFont.pixelSize(), true);
    g.titleRect = QRect(margin, top, std::max(0, usable - clockWidth - margin), titleHeight);

    // Under the clock, right-aligned with it, what the clock counts; the progress line ends
    // before it.
    const int progressTop = top + titleHeight;
    int labelRoom = 0;
    if (!clockLabel.isEmpty()) {
        g.clockLabelFont = fittingFont(family, progressHeight, kClockLabelShare,
                                       int(usable * kMaxClockLabelShare), clockLabel, false);
        const int labelWidth = textWidth(g.clockLabelFont, clockLabel) + 2 * g.padding;
        g.clockLabelRect =
            QRect(width - margin - labelWidth, progressTop, labelWidth, progressHeight);
        labelRoom = labelWidth + margin;
    }
    g.flagRect = QRect(margin, progressTop + progressHeight / 8, progressHeight * 3 / 2,
                       progressHeight - progressHeight / 4);
    const int progressLeft = g.flagRect.right() + 1 + margin;
    const int progressWidth = std::max(0, width - margin - progressLeft - labelRoom);
    g.progressFont = fittingFont(family, progressHeight, kTypeShare, progressWidth,
                                 QStringLiteral("Bereit – 999 Runden"), true);
    g.progressRect = QRect(progressLeft, progressTop, progressWidth, progressHeight);
    g.progressLineRect = QRect(margin, progressTop, usable - labelRoom, progressHeight);
    return g;
}

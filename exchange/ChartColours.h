#pragma once

#include <QColor>

#include <array>

// Twelve colours that stay apart from each other on white and in print: one per car in every
// chart, the analysis page's and the program's alike.
inline constexpr std::array<QRgb, 12> kChartColours = {0x1f77b4, 0xd62728, 0x2ca02c, 0xff7f0e,
                                                       0x9467bd, 0x8c564b, 0xe377c2, 0x17becf,
                                                       0x7f7f7f, 0xbcbd22, 0x393b79, 0x000000};

// The colour of the car in standings row `row` (from 0).
inline QColor ChartColour(int row)
{
    return QColor(kChartColours[size_t(row) % kChartColours.size()]);
}

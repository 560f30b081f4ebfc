#pragma once

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>

#include <array>

// The columns of a standings row on the board, left to right. The marker column holds the
// chequered flag of a car that has finished.
enum class TBoardColumn { Marker, Position, Number, Driver, Laps, LastLap, BestLap, Gap };
constexpr int kBoardColumns = 8;

// Where everything on the board goes and in which type, for one window size and row count.
// The driver column takes what the others leave; every other column is as wide as the widest
// text it was sized for, so those texts are never cut.
struct TBoardGeometry
{
    QFont titleFont, clockFont, progressFont, headingFont, rowFont;
    QRect titleRect, clockRect, flagRect;
    // The progress line: whole, and the part right of the flag that the final results use.
    QRect progressLineRect, progressRect;
    int headingTop = 0, headingHeight = 0;
    int rowsTop = 0, rowHeight = 0;
    std::array<int, kBoardColumns> columnLeft{}, columnWidth{};
    int padding = 0; // inside each cell, left and right

    QRect rowRect(int row) const;
    QRect cellRect(int row, TBoardColumn column) const;
    QRect headingRect(TBoardColumn column) const;
    // The part of a cell the text may use.
    static QRect textRect(const QRect &cell, int padding);
};

// The widest texts the fixed columns must hold without cutting, indexed by TBoardColumn
// (the marker and driver entries are not used).
using TBoardColumnTexts = std::array<QString, kBoardColumns>;

// What the columns hold in an ordinary race: two-digit positions, three-digit numbers and
// laps, times up to an hour with thousandths.
TBoardColumnTexts DefaultColumnTexts();
QString ColumnHeading(TBoardColumn column);
// The widest clock text the header is sized for.
QString ClockTemplate();

// Lays the board out. The row type grows with the window and shrinks with the number of rows,
// then shrinks further until every fixed column and a readable driver column fit the width.
TBoardGeometry ComputeBoardGeometry(QSize size, int rowCount, const TBoardColumnTexts &widest,
                                    const QString &clockText, const QString &family);

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
    QFont titleFont, clockFont, clockLabelFont, progressFont, headingFont, rowFont;
    // The label under the clock says what it counts ("Restzeit"); empty without a label.
    QRect titleRect, clockRect, clockLabelRect, flagRect;
    // The progress line: whole, and the part right of the flag that the final results use.
    QRect progressLineRect, progressRect;
    int headingTop = 0, headingHeight = 0;
    int rowsTop = 0, rowHeight = 0;
    std::array<int, kBoardColumns> columnLeft{}, columnWidth{};
    int padding = 0; // inside each cell, left and right
    // The longest name it was laid out for shows whole.
    bool namesWhole = true;

    QRect rowRect(int row) const;
    QRect cellRect(int row, TBoardColumn column) const;
    QRect headingRect(TBoardColumn column) const;
    // The part of a cell the text may use.
    static QRect textRect(const QRect &cell, int padding);
};

// The widest texts the fixed columns must hold without cutting, indexed by TBoardColumn; the
// driver entry is the longest name, which the layout makes room for as far as it can (the
// marker entry is not used).
using TBoardColumnTexts = std::array<QString, kBoardColumns>;

// What the columns hold in an ordinary race: two-digit positions, three-digit numbers and
// laps, lap times and gaps below ten minutes with hundredths. Sized no wider, so the names get
// the rest; a longer text widens its column when it comes.
TBoardColumnTexts DefaultColumnTexts();
QString ColumnHeading(TBoardColumn column);
// The widest clock text the header is sized for.
QString ClockTemplate();

// Lays the board out. The row type grows with the window and shrinks with the number of rows,
// then shrinks further until every fixed column and a readable driver column fit the width, and
// a little further, if need be, for the longest name to fit whole.
TBoardGeometry ComputeBoardGeometry(QSize size, int rowCount, const TBoardColumnTexts &widest,
                                    const QString &clockText, const QString &clockLabel,
                                    const QString &family);

#pragma once

#include "RaceTables.h"

#include <QList>
#include <QString>

#include <array>

// The standings as text: one row per grid row of the window (row 0 is the title row), twelve
// texts each, in the order the cars stand. The race writes it and every view copies it, so the
// window's grid, the exports, the board and the live page all show the same texts in the same
// order.
//
// It keeps a row's texts like a grid keeps its cells: rows beyond RowCount() keep what was
// written into them and come back when the count grows. Sorting moves whole rows, and each row
// carries its origin along: the row it stood in at the last START, which names a starter's row
// whatever order the race has put it in since.
class TStandingsTable
{
public:
    // Columns of the standings; row 0 holds their titles in the window.
    enum TColumn {
        colPos,      // "1.", "2.", ...; empty for a car without a completed lap
        colKey,      // "F1" ... "F12": identifies the car of the row
        colNr,       // start number, typed by the user or read from a starter list
        colFahrer,   // driver
        colLaps,     // laps completed
        colZeit,     // running lap time (written every clock tick), total time after the race
        colLastLap,  // the "Zeit" text at the press that completed the last lap
        colPrevLap,  // the previous "L.Runde" text
        colBestLap,  // best lap
        colToLeader, // time since the first car completed the same lap
        colToAhead,  // time since the car in the row above completed the same lap
        colSpeed,    // km/h of the last lap, one decimal
        kColumns
    };

    TStandingsTable();

    QString Cell(int col, int row) const;
    // Writes one text; a text that stays the same changes nothing.
    void SetCell(int col, int row, const QString &text);
    int RowCount() const { return FRowCount; }
    // Rows including the title row; at least 1.
    void SetRowCount(int rows);

    // Sorts rows 1 to RowCount() - 1 by their position texts (ComparePositions), rows of equal
    // position keeping their order; Descending turns the order of the positions round.
    void SortByPosition();
    bool Descending = false;
    // Whether the rows were ever sorted (the window then shows the sort mark over "Pos").
    bool Sorted() const { return FSorted; }
    // How often the rows were sorted (moved or not): a view commits an open edit each time.
    quint64 SortCount() const { return FSortCount; }

    // Comparison of two position texts: empty texts last, shorter texts first ("9." before
    // "10."), else the order of the characters. Negative: s1 first.
    static int ComparePositions(const QString &s1, const QString &s2);

    // The "Key" text of a car: "F3".
    static QString KeyText(int car) { return u'F' + QString::number(car); }
    // The car a "Key" text names among cars 1 to carCount; 0 for any other text.
    static int CarOfKey(const QString &key, int carCount);

    // Which row each car stands in, read from the "Key" texts of every row: call it after
    // anything that moves or relabels rows. Cars 1 to carCount count; others have no row.
    void RebuildMaps(int carCount);
    // The row of a car, or 0 when it has none (or its row is not shown).
    int RowOfCar(int car) const;
    // The car of a row 1 to kMaxCars, or 0.
    int CarOfRow(int row) const { return row >= 1 && row <= kMaxCars ? FRowCar[row] : 0; }

    // The origin of a row (see the class comment); 0 for a row never numbered.
    int Origin(int row) const;
    // The row of an origin now, or 0.
    int RowOfOrigin(int origin) const;
    // Every row, shown or not, becomes its own origin: START does this.
    void NumberOrigins();

    // Rises with every change, so a view knows whether it has something to copy.
    quint64 Version() const { return FVersion; }

private:
    using TRow = std::array<QString, kColumns>;
    TRow &ensure(int row);

    QList<TRow> FRows;
    int FCarRow[kMaxCars + 1] = {};
    int FRowCar[kMaxCars + 1] = {};
    QList<int> FOrigins;
    int FRowCount = 1;
    bool FSorted = false;
    quint64 FSortCount = 0;
    quint64 FVersion = 0;
};

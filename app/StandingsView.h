#pragma once

#include "RaceSession.h"

#include <QList>

#include <functional>

class TSortGrid;

// The standings grid as a view of the race session: it sets up the grid's columns, widths,
// scale and sort mark, copies the session's standings texts into the cells, and hands what the
// operator types into a start number or driver back to the session. It never ranks or sorts:
// the session decides the order of the rows.
class TStandingsView
{
public:
    TStandingsView(TSortGrid *grid, const TRaceSession &session);

    TSortGrid *Grid() const { return FGrid; }

    // Sets up the grid: 12 columns with their titles and widths, the title row 30 pixels high,
    // no sorting by the grid itself.
    void Setup();
    // Copies every text that changed since the last call into the grid. An open editor is
    // committed first when the session has ranked the cars since, as a sort of the grid would.
    void Show();
    // The running time of every row is drawn again (its colour follows the clock and presses).
    void RedrawTimes();

    // The resize rule: "km/h" becomes 46 pixels and "Fahrer" takes the rest of gridWidth.
    void FitColumns(int gridWidth);
    // The standings' scale (Ctrl+Plus, Ctrl+Minus): column widths and the title row grow with
    // it; 1 is the normal size.
    double Zoom = 1.0;
    // Sets every column width and the title row height for Zoom.
    void ScaleColumns();

    // A start number or driver typed into the standings row the session knows as row.
    std::function<void(int row, int col, const QString &text)> OnStarterTyped;
    // A click on a title turned the order of the positions round (or back).
    std::function<void(bool descending)> OnDirectionChanged;

private:
    TSortGrid *FGrid;
    const TRaceSession &FSession;
    quint64 FShownVersion = ~quint64(0);
    quint64 FShownSorts = 0;
    QList<int> FShownOrigins; // [grid row] = the origin of the row as last shown
};

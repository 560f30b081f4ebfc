#include "StandingsView.h"

#include "TSortGrid.h"

#include <cmath>

namespace {

using Table = TStandingsTable;

constexpr int kTitleRowHeight = 30;
constexpr int kDefaultColWidth = 72;
constexpr int kSpeedColWidthAtStart = 33;
constexpr int kSpeedColWidthResized = 46;
constexpr int kFitMargin = 5;       // pixels left free right of the last column
constexpr int kMinDriverWidth = 80; // "Fahrer" never narrower, unzoomed

struct TColumnLayout
{
    const char16_t *Title;
    int Width;
};

// Titles and widths of the standings columns; "Fahrer" is sized by FitColumns.
constexpr TColumnLayout kColumns[Table::kColumns] = {
    {u"Pos", 28},       {u"Key", 30},    {u"Nr.", 36},     {u"Fahrer", kDefaultColWidth},
    {u"R.Nr.", 43},     {u"Zeit", 75},   {u"L.Runde", 72}, {u"Vorrunde", 72},
    {u"Top Runde", 75}, {u"Zum 1.", 72}, {u"Vor", 72},     {u"km/h", kSpeedColWidthAtStart},
};

} // namespace

TStandingsView::TStandingsView(TSortGrid *grid, const TRaceSession &session)
    : FGrid(grid), FSession(session)
{}

void TStandingsView::Setup()
{
    FGrid->SetColCount(Table::kColumns);
    FGrid->SetDefaultColWidth(kDefaultColWidth);
    for (int col = 0; col < Table::kColumns; ++col)
        FGrid->SetCells(col, 0, QString::fromUtf16(kColumns[col].Title));
    ScaleColumns();

    TSortOptions *options = FGrid->SortOptions();
    options->CanSort = false;
    options->SortStyle = ssCustom;
    options->SortCaseSensitive = false;
    options->SortCol = Table::colSpeed;
    options->SortDirection = sdAscending;
    options->UpdateOnSizeChange = false;
    FGrid->OnSetEditText = [this](QObject *, int col, int row, const QString &text) {
        if (!OnStarterTyped || (col != Table::colNr && col != Table::colFahrer))
            return;
        // The row as the session has it now: rows may have moved since they were shown.
        const int origin = row < FShownOrigins.size() ? FShownOrigins[row] : 0;
        const int now = origin > 0 ? FSession.Standings().RowOfOrigin(origin) : 0;
        OnStarterTyped(now > 0 ? now : row, col, text);
    };
    FGrid->OnTitleClick = [this](TSortGrid *) {
        if (OnDirectionChanged)
            OnDirectionChanged(FGrid->SortOptions()->SortDirection == sdDescending);
    };
}

void TStandingsView::Show()
{
    const TStandingsTable &table = FSession.Standings();
    if (table.Version() == FShownVersion && table.RowCount() == FGrid->RowCount())
        return;
    // An editor open on a start number or a driver stays open, as typed, on its row's starter
    // wherever the row moves: a lap key neither commits nor discards it.
    const int editedRow = FGrid->EditorMode() ? FGrid->Row() : 0;
    const int editedOrigin =
        editedRow > 0 && editedRow < FShownOrigins.size() ? FShownOrigins[editedRow] : 0;
    if (table.SortCount() != FShownSorts) {
        FShownSorts = table.SortCount();
        if (FGrid->SortOptions()->SortCol != Table::colPos) {
            FGrid->SortOptions()->SortCol = Table::colPos;
            FGrid->InvalidateRow(0);
        }
    }
    FShownVersion = table.Version();
    if (FGrid->RowCount() != table.RowCount())
        FGrid->SetRowCount(table.RowCount());
    const int rows = qMax(table.RowCount(), kMaxCars + 1);
    FShownOrigins.resize(rows);
    for (int row = 1; row < rows; ++row) {
        FShownOrigins[row] = table.Origin(row);
        for (int col = 0; col < Table::kColumns; ++col) {
            const QString text = table.Cell(col, row);
            if (FGrid->Cells(col, row) != text)
                FGrid->SetCells(col, row, text);
        }
    }
    if (editedOrigin > 0) {
        if (const int row = table.RowOfOrigin(editedOrigin); row > 0)
            FGrid->MoveOpenEditor(FGrid->Col(), row);
    }
}

void TStandingsView::RedrawTimes()
{
    for (int row = 1; row < FGrid->RowCount(); ++row)
        FGrid->InvalidateCell(Table::colZeit, row);
}

void TStandingsView::ScaleColumns()
{
    for (int col = 0; col < Table::kColumns; ++col)
        FGrid->SetColWidths(col, int(std::lround(kColumns[col].Width * Zoom)));
    FGrid->SetRowHeights(0, int(std::lround(kTitleRowHeight * Zoom)));
}

void TStandingsView::FitColumns(int gridWidth)
{
    FGrid->SetColWidths(Table::colSpeed, int(std::lround(kSpeedColWidthResized * Zoom)));
    int others = 0;
    for (int col = 0; col < FGrid->ColCount(); ++col) {
        if (col != Table::colFahrer)
            others += FGrid->ColWidths(col);
    }
    const int room = gridWidth - FGrid->ColCount() - kFitMargin;
    const int minDriver = int(std::lround(kMinDriverWidth * Zoom));
    // Zoomed on a small screen, every column gives up width alike so none drops out of sight.
    if (others > 0 && others + minDriver > room) {
        const double share = double(qMax(room - minDriver, 0)) / others;
        others = 0;
        for (int col = 0; col < FGrid->ColCount(); ++col) {
            if (col == Table::colFahrer)
                continue;
            FGrid->SetColWidths(col, qMax(1, int(FGrid->ColWidths(col) * share)));
            others += FGrid->ColWidths(col);
        }
    }
    FGrid->SetColWidths(Table::colFahrer, qMax(1, room - others));
}

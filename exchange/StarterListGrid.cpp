#include "StarterListGrid.h"

#include "TSortGrid.h"

namespace {

// Grid column of sheet column A ("Nr."); "Pos" and "Key" come before it.
constexpr int kFirstListColumn = 2;

} // namespace

void WriteStarterList(TSortGrid &grid, const StarterList &rows)
{
    grid.SetRowCount(int(rows.size()) + 1);
    if (grid.RowCount() > 1)
        grid.SetTopRow(1);
    if (grid.ColCount() > kFirstListColumn)
        grid.SetLeftCol(kFirstListColumn);
    const int columns = grid.ColCount() - kFirstListColumn;
    for (int row = 0; row < rows.size(); ++row) {
        const QStringList &texts = rows.at(row);
        for (int column = 0; column < columns && column < texts.size(); ++column)
            grid.SetCells(kFirstListColumn + column, row + 1, texts.at(column));
    }
}

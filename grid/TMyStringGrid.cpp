#include "TMyStringGrid.h"

#include <QPainter>

namespace {
constexpr int kTextInset = 2;
}

TMyStringGrid::TMyStringGrid(QWidget *parent) : TMyDrawGrid(parent) {}

QString TMyStringGrid::Cells(int ACol, int ARow) const
{
    const TStringSparseList *row = m_rows.Find(ARow);
    return row ? row->Text(ACol) : QString();
}

void TMyStringGrid::SetCells(int ACol, int ARow, const QString &Value)
{
    if (ACol < 0 || ARow < 0)
        return;
    TStringSparseList &row = m_rows.Ensure(ARow);
    const bool changed = row.SetText(ACol, Value);
    if (row.IsEmpty())
        m_rows.Remove(ARow);
    // Outside the bracket a written cell is always repainted, even with the same text: its
    // look may depend on more than its text.
    if (!NowUpdating())
        InvalidateCell(ACol, ARow);
    else if (changed)
        RowContentsChanged(ARow);
}

QObject *TMyStringGrid::Objects(int ACol, int ARow) const
{
    const TStringSparseList *row = m_rows.Find(ARow);
    return row ? row->Object(ACol) : nullptr;
}

void TMyStringGrid::SetObjects(int ACol, int ARow, QObject *Value)
{
    if (ACol < 0 || ARow < 0)
        return;
    TStringSparseList &row = m_rows.Ensure(ARow);
    row.SetObject(ACol, Value);
    if (row.IsEmpty())
        m_rows.Remove(ARow);
}

std::vector<TGridCell> TMyStringGrid::RowCells(int ARow, int colCount) const
{
    std::vector<TGridCell> cells(size_t(std::max(0, colCount)));
    if (const TStringSparseList *row = m_rows.Find(ARow))
        for (int c = 0; c < colCount; ++c)
            cells[size_t(c)] = row->Cell(c);
    return cells;
}

void TMyStringGrid::SetRowCells(int ARow, const std::vector<TGridCell> &cells)
{
    if (ARow < 0)
        return;
    TStringSparseList &row = m_rows.Ensure(ARow);
    bool changed = false;
    for (size_t c = 0; c < cells.size(); ++c)
        changed |= row.SetCell(int(c), cells[c]);
    if (row.IsEmpty())
        m_rows.Remove(ARow);
    if (!NowUpdating())
        InvalidateRow(ARow);
    else if (changed)
        RowContentsChanged(ARow);
}

void TMyStringGrid::InsertStoredRow(int ARow)
{
    const int high = m_rows.HighBound();
    if (high >= ARow)
        m_rows.Move(high + 1, ARow);
    InvalidateGrid();
}

void TMyStringGrid::DrawCell(QPainter &painter, int ACol, int ARow, const QRect &ARect,
                             TGridDrawState AState)
{
    if (DefaultDrawing()) {
        painter.setFont(Canvas().Font);
        painter.setPen(Canvas().Font.Color);
        painter.drawText(ARect.adjusted(kTextInset, kTextInset, 0, 0),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, Cells(ACol, ARow));
    }
    TMyDrawGrid::DrawCell(painter, ACol, ARow, ARect, AState);
}

void TMyStringGrid::ColumnMoved(int FromIndex, int ToIndex)
{
    m_rows.ForEachMutable([&](int, TStringSparseList &row) { row.Move(FromIndex, ToIndex); });
    InvalidateGrid();
    TMyDrawGrid::ColumnMoved(FromIndex, ToIndex);
}

void TMyStringGrid::RowMoved(int FromIndex, int ToIndex)
{
    m_rows.Move(FromIndex, ToIndex);
    InvalidateGrid();
    TMyDrawGrid::RowMoved(FromIndex, ToIndex);
}

QString TMyStringGrid::GetEditText(int ACol, int ARow)
{
    QString value = Cells(ACol, ARow);
    if (OnGetEditText)
        OnGetEditText(this, ACol, ARow, value);
    return value;
}

void TMyStringGrid::SetEditText(int ACol, int ARow, const QString &Value)
{
    SetCells(ACol, ARow, Value);
    TMyDrawGrid::SetEditText(ACol, ARow, Value);
}

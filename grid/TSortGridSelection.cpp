// The sort grid's current cell and selected rows.
#include "TSortGrid.h"

#include <QGuiApplication>
#include <algorithm>

bool TSortGrid::SelectCell(int ACol, int ARow)
{
    const int oldRow = Row();
    const QStringList selectedBefore = m_selectedRows;
    bool allowed = true;
    if (EditorMode()) {
        const TCellFormat format = GetCellFormat(ACol, ARow);
        if (format.Combobox || format.CheckBox)
            allowed = false;
    }
    if (allowed)
        allowed = TMyStringGrid::SelectCell(ACol, ARow);
    const bool selectOnMove =
        !(m_multiSelect && (QGuiApplication::keyboardModifiers() & Qt::ShiftModifier));
    if (allowed && selectOnMove) {
        ForgetSelection();
        m_selectedRows.append(QString::number(ARow));
        m_selectionTrail[0] = QString::number(ARow);
        if (OnRowSelected)
            OnRowSelected(this);
    }
    // Inside the update bracket (a sort keeping the selection on its rows) the rows are
    // repainted only when the current row or the selection really changed.
    if (NowUpdating() && oldRow == ARow && selectedBefore == m_selectedRows)
        return allowed;
    for (const QString &row : selectedBefore)
        RowContentsChanged(row.toInt());
    RowContentsChanged(oldRow);
    RowContentsChanged(ARow);
    return allowed;
}

void TSortGrid::ClearSelection()
{
    for (const QString &row : std::as_const(m_selectedRows))
        InvalidateRow(row.toInt());
    ForgetSelection();
}

void TSortGrid::ForgetSelection()
{
    m_selectedRows.clear();
    while (m_selectionTrail.size() > 1)
        m_selectionTrail.removeLast();
    if (m_selectionTrail.isEmpty())
        m_selectionTrail.append(QString());
    else
        m_selectionTrail[0].clear();
}

void TSortGrid::GotoCell(int ACol, int ARow, bool Scroll)
{
    // Without a data row there is no cell to go to.
    if (RowCount() < 2)
        return;
    ACol = std::clamp(ACol, FixedCols(), ColCount() - 1);
    ARow = std::clamp(ARow, 1, RowCount() - 1);
    if (!TMyStringGrid::SelectCell(ACol, ARow))
        return;
    FocusCell(ACol, ARow, true, false);
    ClearSelection();
    m_selectedRows.append(QString::number(ARow));
    m_selectionTrail[0] = QString::number(ARow);
    InvalidateGrid();
    if (Scroll)
        ScrollToCell(ACol, ARow);
    if (OnRowSelected)
        OnRowSelected(this);
}

void TSortGrid::ScrollToCell(int ACol, int ARow)
{
    if (RowCount() < 2)
        return;
    ACol = std::clamp(ACol, FixedCols(), ColCount() - 1);
    ARow = std::clamp(ARow, 1, RowCount() - 1);
    ScrollIntoView(ACol, TopRow());
    // Rows: the target goes second from the top, or the last page shows when it holds it.
    int top = RowCount() - VisibleRowCount();
    if (top <= 0)
        top = 1;
    if (top >= ARow)
        top = ARow == 1 ? 1 : ARow - 1;
    SetTopRow(top);
}

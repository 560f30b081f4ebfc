// Editing in the sort grid: validation of edited cells, the modified flag, and the
// insertion and deletion of rows and columns.
#include "TSortGrid.h"

#include "TInplaceEdit.h"

#include <QKeyEvent>

void TSortGrid::SaveEditState()
{
    m_editState = {Col(), Row(), Cells(Col(), Row()), m_modified};
}

void TSortGrid::EditorShowing()
{
    TMyStringGrid::EditorShowing();
    SaveEditState();
}

void TSortGrid::ValidateCell()
{
    const int col = m_editState.Col;
    const int row = m_editState.Row;
    if (EditorMode() && col >= 0 && row >= 0) {
        const bool editingThere = col == Col() && row == Row();
        const QString current = editingThere ? InplaceEditor()->text() : Cells(col, row);
        if (current != m_editState.Text) {
            QString newValue = current;
            bool valid = true;
            if (OnCellValidate)
                OnCellValidate(this, col, row, m_editState.Text, newValue, valid);
            QString result = newValue;
            if (!valid && newValue == current)
                result = m_editState.Text;
            const bool changed = result != Cells(col, row);
            if (changed)
                SetCells(col, row, result);
            if (editingThere)
                InplaceEditor()->setText(result);
            if (!valid)
                m_modified = m_editState.Modified;
            else if (changed || result != m_editState.Text)
                SetModified(true);
        }
    }
    SaveEditState();
}

void TSortGrid::SetEditText(int ACol, int ARow, const QString &Value)
{
    QString value = Value;
    // Every way out of an edited cell (Enter, arrows, Tab, a click, the focus leaving, a move
    // by the program) commits through here, so none of them passes by the validation.
    if (EditorMode() && ACol == m_editState.Col && ARow == m_editState.Row && ACol == Col() &&
        ARow == Row()) {
        ValidateCell();
        value = InplaceEditor()->text();
    }
    const bool changed = value != Cells(ACol, ARow);
    TMyStringGrid::SetEditText(ACol, ARow, value);
    if (changed)
        SetModified(true);
}

void TSortGrid::EditorKey(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        ValidateCell();
    TMyStringGrid::EditorKey(event);
}

void TSortGrid::EditorLeft()
{
    ValidateCell();
    TMyStringGrid::EditorLeft();
}

void TSortGrid::InsertRow(int ARow)
{
    SetRowCount(RowCount() + 1);
    if (ARow < RowCount() - 2)
        MoveRow(RowCount() - 1, ARow);
    else
        ARow = ARow + 1;
    Rows(ARow).Clear();
    GotoCell(Col(), ARow, true);
    if (OnRowInsert)
        OnRowInsert(this, ARow);
}

void TSortGrid::InsertColumn(int ACol)
{
    SetColCount(ColCount() + 1);
    MoveColumn(ColCount() - 1, ACol);
    Cols(ACol).Clear();
    MoveColRow(ACol, Row(), true, true);
    if (OnColumnInsert)
        OnColumnInsert(this, ACol);
}

void TSortGrid::DeleteRow(int ARow)
{
    if (ARow < 0 || ARow >= RowCount())
        return;
    const TGridOptions saved = Options();
    SetOptions(saved & ~TGridOptions(goAlwaysShowEditor));
    if (RowCount() < 3 && ARow >= 1)
        Rows(ARow).Clear();
    else
        TMyStringGrid::DeleteRow(ARow);
    SetOptions(saved);
    SetModified(true);
    if (OnRowDelete)
        OnRowDelete(this, ARow);
}

void TSortGrid::DeleteColumn(int ACol)
{
    if (ACol < 0 || ACol >= ColCount())
        return;
    const TGridOptions saved = Options();
    SetOptions(saved & ~TGridOptions(goAlwaysShowEditor));
    // Emptied first, so raising ColCount later shows no stale texts.
    Cols(ACol).Clear();
    TMyStringGrid::DeleteColumn(ACol);
    SetOptions(saved);
    if (OnColumnDelete)
        OnColumnDelete(this, ACol);
}

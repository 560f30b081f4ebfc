// The sort grid's keys: first-letter search, the extended insert and delete keys,
// glyph cells by space, and multi-row selection with Shift.
#include "TSortGrid.h"

#include <QKeyEvent>

namespace {
bool IsNavigationKey(int key)
{
    switch (key) {
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        return true;
    default:
        return false;
    }
}
} // namespace

bool TSortGrid::SearchFirstLetter(QChar typed)
{
    // Both sides in upper case: a typed "ä" finds "Ärger" as a typed "a" finds "Anton".
    const QChar key = typed.toUpper();
    const int col = m_sortOptions.SortCol;
    const int rowCount = RowCount();
    if (col < 0 || col >= ColCount() || rowCount < 2)
        return false;
    // The rows below the current one, then from row 1 up to the current row itself.
    const int dataRows = rowCount - 1;
    const int start = std::clamp(Row(), 1, rowCount - 1);
    for (int step = 1; step <= dataRows; ++step) {
        const int row = (start - 1 + step) % dataRows + 1;
        const QString text = Cells(col, row);
        if (!text.isEmpty() && text.at(0).toUpper() == key) {
            GotoCell(col, row, true);
            return true;
        }
    }
    return false;
}

void TSortGrid::keyPressEvent(QKeyEvent *event)
{
    if (NowUpdating())
        return;
    const Qt::KeyboardModifiers mods = event->modifiers();
    const bool ctrl = mods & Qt::ControlModifier;
    const bool shift = mods & Qt::ShiftModifier;
    const int key = event->key();
    if (m_extendedKeys && !EditorMode() && ctrl) {
        if (key == Qt::Key_Insert) {
            if (shift)
                InsertColumn(Col());
            else
                InsertRow(Row());
            return;
        }
        if (key == Qt::Key_Delete) {
            if (shift && ColCount() > 1)
                DeleteColumn(Col());
            else if (!shift && RowCount() > 2)
                DeleteRow(Row());
            return;
        }
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        ValidateCell();
    if (m_multiSelect && key == Qt::Key_Shift && !event->isAutoRepeat()) {
        SetOptions(Options() | goRangeSelect);
        ClearSelection();
    }
    // A character typed into a cell that can be edited starts editing that cell, as typed
    // (the base does that); only where it cannot be edited does it search, and the search
    // never opens an editor in the cell it lands on.
    const QString text = event->text();
    if (!EditorMode() && !CanEditShow() && text.size() == 1 && text.at(0).isPrint() && !ctrl &&
        !(mods & Qt::AltModifier) && text.at(0) != u' ') {
        SearchFirstLetter(text.at(0));
        event->accept();
        return;
    }
    TMyStringGrid::keyPressEvent(event);
}

void TSortGrid::keyReleaseEvent(QKeyEvent *event)
{
    TMyStringGrid::keyReleaseEvent(event);
    if (NowUpdating())
        return;
    const int key = event->key();
    if (key == Qt::Key_Space && !EditorMode() && Row() >= 1) {
        const TCellFormat format = GetCellFormat(Col(), Row());
        if (format.CheckBox)
            ToggleCheckBox(Col(), Row());
        else if (format.Ellipsis && OnSetEllipsis)
            OnSetEllipsis(this, Col(), Row());
        else if (format.Combobox)
            OpenComboList(Col(), Row());
    }
    if (!m_multiSelect || event->isAutoRepeat())
        return;
    const bool shiftHeld = event->modifiers() & Qt::ShiftModifier;
    if (key == Qt::Key_Shift || (IsNavigationKey(key) && !shiftHeld)) {
        AddSelectionRectRows();
        SetOptions(Options() & ~TGridOptions(goRangeSelect));
    }
    if (OnRowSelected)
        OnRowSelected(this);
}

void TSortGrid::AddSelectionRectRows()
{
    const TGridRect rect = Selection();
    for (int row = rect.Top; row <= rect.Bottom; ++row) {
        const QString text = QString::number(row);
        if (!m_selectedRows.contains(text)) {
            m_selectedRows.append(text);
            if (m_selectionTrail.size() == 1 && m_selectionTrail.first().isEmpty())
                m_selectionTrail[0] = text;
            else
                m_selectionTrail.append(text);
        }
        InvalidateRow(row);
    }
}

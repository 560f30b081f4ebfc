#include "TStringSparseList.h"

QString TStringSparseList::Text(int index) const
{
    const TGridCell *cell = m_cells.Find(index);
    return cell ? cell->Text : QString();
}

QObject *TStringSparseList::Object(int index) const
{
    const TGridCell *cell = m_cells.Find(index);
    return cell ? cell->Object : nullptr;
}

TGridCell TStringSparseList::Cell(int index) const
{
    const TGridCell *cell = m_cells.Find(index);
    return cell ? *cell : TGridCell();
}

// A stored cell is never blank, and each setter looks its cell up once where it can: a sort
// writes back every row, and most cells come back as they were.
bool TStringSparseList::SetText(int index, const QString &text)
{
    TGridCell *stored = m_cells.Find(index);
    if (!stored) {
        if (text.isEmpty())
            return false;
        m_cells.Ensure(index).Text = text;
        return true;
    }
    if (stored->Text == text)
        return false;
    stored->Text = text;
    if (text.isEmpty() && !stored->Object)
        m_cells.Remove(index);
    return true;
}

void TStringSparseList::SetObject(int index, QObject *object)
{
    m_cells.Ensure(index).Object = object;
    DropIfBlank(index);
}

bool TStringSparseList::SetCell(int index, const TGridCell &cell)
{
    if (cell.Text.isEmpty() && !cell.Object) {
        if (!m_cells.Find(index))
            return false;
        m_cells.Remove(index);
        return true;
    }
    TGridCell &stored = m_cells.Ensure(index);
    if (stored.Text == cell.Text && stored.Object == cell.Object)
        return false;
    stored = cell;
    return true;
}

void TStringSparseList::DropIfBlank(int index)
{
    const TGridCell *cell = m_cells.Find(index);
    if (cell && cell->Text.isEmpty() && !cell->Object)
        m_cells.Remove(index);
}

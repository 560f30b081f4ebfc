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

bool TStringSparseList::SetText(int index, const QString &text)
{
    if (Unchanged(index, text, nullptr, false))
        return false;
    QString &stored = m_cells.Ensure(index).Text;
    const bool changed = stored != text;
    stored = text;
    DropIfBlank(index);
    return changed;
}

void TStringSparseList::SetObject(int index, QObject *object)
{
    m_cells.Ensure(index).Object = object;
    DropIfBlank(index);
}

bool TStringSparseList::SetCell(int index, const TGridCell &cell)
{
    if (Unchanged(index, cell.Text, cell.Object, true))
        return false;
    TGridCell &stored = m_cells.Ensure(index);
    const bool changed = stored.Text != cell.Text || stored.Object != cell.Object;
    stored = cell;
    DropIfBlank(index);
    return changed;
}

// Writing what a cell already holds costs one lookup: a sort writes back every row, and most
// come back unchanged.
bool TStringSparseList::Unchanged(int index, const QString &text, QObject *object,
                                  bool withObject) const
{
    const TGridCell *stored = m_cells.Find(index);
    if (!stored) // a stored cell is never blank
        return text.isEmpty() && (!withObject || !object);
    return stored->Text == text && (!withObject || stored->Object == object);
}

void TStringSparseList::DropIfBlank(int index)
{
    const TGridCell *cell = m_cells.Find(index);
    if (cell && cell->Text.isEmpty() && !cell->Object)
        m_cells.Remove(index);
}

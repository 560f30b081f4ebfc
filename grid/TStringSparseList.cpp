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
    TGridCell &stored = m_cells.Ensure(index);
    const bool changed = stored.Text != cell.Text || stored.Object != cell.Object;
    stored = cell;
    DropIfBlank(index);
    return changed;
}

void TStringSparseList::DropIfBlank(int index)
{
    const TGridCell *cell = m_cells.Find(index);
    if (cell && cell->Text.isEmpty() && !cell->Object)
        m_cells.Remove(index);
}

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

void TStringSparseList::SetText(int index, const QString &text)
{
    m_cells.Ensure(index).Text = text;
    DropIfBlank(index);
}

void TStringSparseList::SetObject(int index, QObject *object)
{
    m_cells.Ensure(index).Object = object;
    DropIfBlank(index);
}

void TStringSparseList::SetCell(int index, const TGridCell &cell)
{
    m_cells.Ensure(index) = cell;
    DropIfBlank(index);
}

void TStringSparseList::DropIfBlank(int index)
{
    const TGridCell *cell = m_cells.Find(index);
    if (cell && cell->Text.isEmpty() && !cell->Object)
        m_cells.Remove(index);
}

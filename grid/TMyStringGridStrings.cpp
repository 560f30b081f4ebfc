#include "TMyStringGridStrings.h"

#include "TMyStringGrid.h"

#include <algorithm>

TMyStringGridStrings::TMyStringGridStrings(TMyStringGrid *grid, TKind kind, int index)
    : m_grid(grid), m_kind(kind), m_index(index)
{}

int TMyStringGridStrings::Count() const
{
    return m_kind == Row ? m_grid->ColCount() : m_grid->RowCount();
}

QString TMyStringGridStrings::Strings(int index) const
{
    return m_grid->Cells(ColOf(index), RowOf(index));
}

void TMyStringGridStrings::SetStrings(int index, const QString &value)
{
    m_grid->SetCells(ColOf(index), RowOf(index), value);
}

QObject *TMyStringGridStrings::Objects(int index) const
{
    return m_grid->Objects(ColOf(index), RowOf(index));
}

void TMyStringGridStrings::SetObjects(int index, QObject *value)
{
    m_grid->SetObjects(ColOf(index), RowOf(index), value);
}

QStringList TMyStringGridStrings::ToStringList() const
{
    QStringList list;
    const int count = Count();
    list.reserve(count);
    for (int i = 0; i < count; ++i)
        list.append(Strings(i));
    return list;
}

void TMyStringGridStrings::Assign(const TMyStringGridStrings &source)
{
    // Read first: source and target may be the same row.
    const int count = std::min(Count(), source.Count());
    QStringList texts;
    QList<QObject *> objects;
    for (int i = 0; i < count; ++i) {
        texts.append(source.Strings(i));
        objects.append(source.Objects(i));
    }
    Assign(texts, objects);
}

void TMyStringGridStrings::Assign(const QStringList &texts, const QList<QObject *> &objects)
{
    const int count = std::min<int>(Count(), texts.size());
    for (int i = 0; i < count; ++i) {
        SetStrings(i, texts.at(i));
        SetObjects(i, i < objects.size() ? objects.at(i) : nullptr);
    }
}

void TMyStringGridStrings::Clear()
{
    const int count = Count();
    for (int i = 0; i < count; ++i) {
        SetStrings(i, QString());
        SetObjects(i, nullptr);
    }
}

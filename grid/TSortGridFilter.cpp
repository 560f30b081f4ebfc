// Filtering: rejected rows move behind the last visible row and come back when
// filtering is switched off.
#include "TSortGrid.h"

namespace {
bool RowHasText(const QStringList &texts)
{
    return std::any_of(texts.begin(), texts.end(), [](const QString &t) { return !t.isEmpty(); });
}
} // namespace

void TSortGrid::SetFiltered(bool value)
{
    m_filtered = value;
    const bool rowOneHasText = RowCount() > 1 && RowHasText(Rows(1).ToStringList());
    if (!((!value || rowOneHasText) && (value || m_filteredCount > 0)))
        return;
    const bool savedModified = m_modified;
    const bool opened = !NowUpdating();
    if (opened)
        BeginUpdate();
    try {
        if (value)
            FilterRows();
        else
            UnfilterRows();
    } catch (...) {
        if (opened)
            EndUpdate();
        m_modified = savedModified;
        throw;
    }
    if (opened)
        EndUpdate();
    m_modified = savedModified;
}

void TSortGrid::FilterRows()
{
    // Rows hidden by an earlier filter lie right behind the visible ones; counting them
    // on keeps them reachable when filtering is switched off.
    const int hiddenBefore = m_filteredCount;
    const int rowCount = RowCount();
    QList<int> accepted;
    QList<int> rejected;
    for (int r = 1; r < rowCount; ++r) {
        bool accept = false;
        if (OnSetFilter)
            OnSetFilter(this, Rows(r).ToStringList(), accept);
        (accept ? accepted : rejected).append(r);
    }
    const int newlyHidden = int(rejected.size());
    QList<QStringList> texts;
    for (int r = 0; r < rowCount; ++r)
        texts.append(Rows(r).ToStringList());
    // Texts only: attached objects stay at their positions.
    int target = 1;
    for (const QList<int> *group : {&accepted, &rejected})
        for (int source : *group) {
            const QStringList &row = texts.at(source);
            for (int c = 0; c < row.size(); ++c)
                SetCells(c, target, row.at(c));
            ++target;
        }
    m_filteredCount = hiddenBefore + newlyHidden;
    if (accepted.isEmpty()) {
        InsertStoredRow(1);
        SetRowCount(2);
    } else {
        SetRowCount(rowCount - newlyHidden);
        SortRows(m_sortOptions.SortCol);
    }
    GotoCell(0, 1, true);
}

void TSortGrid::UnfilterRows()
{
    const int hidden = m_filteredCount;
    SetRowCount(RowCount() + hidden);
    if (RowCount() > 2 && !RowHasText(Rows(1).ToStringList()))
        TMyStringGrid::DeleteRow(1);
    if (hidden != 0)
        SortRows(m_sortOptions.SortCol);
    m_filteredCount = 0;
}

#pragma once

#include "TSortOptions.h"

#include <QString>
#include <vector>

// One data row in a sort pass: its key text (case-folded when the sort ignores case)
// and the row it came from.
struct TSortedListEntry
{
    QString Value;
    int SourceRow = 0;
    const TSortOptions *Options = nullptr;
    // The key converted once per pass for the styles that compare values.
    bool Converted = false;
    double Number = 0;
};

// The entries of one pass. Ties are broken by SourceRow, so the result is the order of
// a stable sort in both directions.
class TSortedList
{
public:
    void Clear() { m_entries.clear(); }
    void Append(TSortedListEntry entry) { m_entries.push_back(std::move(entry)); }
    int Count() const { return int(m_entries.size()); }
    const TSortedListEntry &At(int index) const { return m_entries[size_t(index)]; }
    // Folds case and converts the keys for the options' current style.
    void PrepareKeys();
    // Throws whatever CompareFunc throws; the entries may then be half-sorted.
    void Sort();

    static int CompareEntries(const TSortedListEntry &A, const TSortedListEntry &B);

private:
    void QuickSort(int L, int R);

    std::vector<TSortedListEntry> m_entries;
};

#include "TSortedList.h"

#include "SortStyleCompare.h"

#include <utility>

void TSortedList::PrepareKeys()
{
    for (TSortedListEntry &entry : m_entries) {
        if (!entry.Options->SortCaseSensitive)
            SortStyleCompare::FoldAsciiLower(entry.Value);
        entry.Converted =
            SortStyleCompare::ConvertForStyle(entry.Options->SortStyle, entry.Value, entry.Number);
    }
}

int TSortedList::CompareEntries(const TSortedListEntry &A, const TSortedListEntry &B)
{
    const TSortOptions &options = *A.Options;
    int r = 0;
    switch (options.SortStyle) {
    case ssNumeric:
    case ssDateTime:
    case ssTime:
        r = SortStyleCompare::CompareConverted(A.Converted, A.Number, B.Converted, B.Number,
                                               A.Value, B.Value);
        break;
    default:
        r = SortStyleCompare::Compare(options.SortStyle, A.Value, B.Value, options.CompareFunc);
    }
    if (r == 0)
        return A.SourceRow < B.SourceRow ? -1 : (A.SourceRow > B.SourceRow ? 1 : 0);
    return options.SortDirection == sdDescending ? -r : r;
}

void TSortedList::Sort()
{
    if (m_entries.size() > 1)
        QuickSort(0, Count() - 1);
}

void TSortedList::QuickSort(int L, int R)
{
    // Hoare partitioning around the middle entry. The scans are bounded, so a
    // comparison function that contradicts itself cannot run them off the list.
    while (L < R) {
        int i = L;
        int j = R;
        const TSortedListEntry pivot = m_entries[size_t((L + R) / 2)];
        do {
            while (i < R && CompareEntries(m_entries[size_t(i)], pivot) < 0)
                ++i;
            while (j > L && CompareEntries(m_entries[size_t(j)], pivot) > 0)
                --j;
            if (i <= j) {
                if (i != j)
                    std::swap(m_entries[size_t(i)], m_entries[size_t(j)]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (L < j)
            QuickSort(L, j);
        L = i;
    }
}

#pragma once

#include <QString>
#include <functional>

enum TSortStyle {
    ssAutomatic,
    ssNormal,
    ssNumeric,
    ssNumericExtended,
    ssDateTime,
    ssTime,
    ssCustom,
};

enum TSortDirection { sdAscending, sdDescending };

// Negative: S1 first; zero: equal; positive: S2 first.
using TSortCompareFunc = std::function<int(const QString &S1, const QString &S2)>;

// The sort settings of one grid. CompareFunc is cleared at the end of every sort, so
// whoever wants ssCustom assigns it anew each time (usually from OnGetSortStyle).
struct TSortOptions
{
    bool CanSort = true;
    // Comma-separated column numbers, the further keys, most significant first.
    QString SecondaryIndex;
    TSortStyle SortStyle = ssNormal;
    bool SortCaseSensitive = false;
    int SortCol = 0;
    TSortDirection SortDirection = sdAscending;
    bool UpdateOnSizeChange = false;
    TSortCompareFunc CompareFunc;

    // Copies the stored settings; CompareFunc stays as it is.
    void Assign(const TSortOptions &source)
    {
        CanSort = source.CanSort;
        SecondaryIndex = source.SecondaryIndex;
        SortStyle = source.SortStyle;
        SortCaseSensitive = source.SortCaseSensitive;
        SortCol = source.SortCol;
        SortDirection = source.SortDirection;
        UpdateOnSizeChange = source.UpdateOnSizeChange;
    }
};

#pragma once

#include "TMyStringGrid.h"
#include "TSortOptions.h"
#include "TSortedList.h"

#include <QStringList>

// A string grid that reorders its data rows (row 0 is the title and never moves) by one
// column, with further columns as tie-breaking keys, under one of seven styles.
class TSortGrid : public TMyStringGrid
{
    Q_OBJECT

public:
    explicit TSortGrid(QWidget *parent = nullptr);

    TSortOptions *SortOptions() { return &m_sortOptions; }
    const TSortOptions *SortOptions() const { return &m_sortOptions; }
    // Copies the stored settings; the grid keeps its own options object.
    void SetSortOptions(const TSortOptions &value);

    // Sorts rows 1..RowCount-1 by ACol, then by the SecondaryIndex columns. Does nothing
    // while CanSort is False. A bad key (not a number, column out of range) or an error
    // of CompareFunc leaves the rows as they were and reaches the caller, with the update
    // bracket closed and CompareFunc cleared.
    void SortRows(int ACol);
    TSortStyle DetectSortStyle(int ACol) const;

    void BeginUpdate() override;
    void EndUpdate() override;

    // Row numbers as decimal text; SelectionTrail in the order of selection, entry 0 the
    // anchor.
    QStringList SelectedRows() const { return m_selectedRows; }
    QStringList SelectionTrail() const { return m_selectionTrail; }

    // True when X (viewport coordinates) lies within the column-sizing distance of the
    // left or right edge of ACol's title cell.
    bool IsOnTitleBorder(int X, int ACol) const;

    std::function<void(QObject *Sender, int &Col)> OnBeforeSort;
    std::function<void(QObject *Sender, int Col, TSortStyle &SortStyle)> OnGetSortStyle;
    std::function<void(QObject *Sender, int Col)> OnAfterSort;
    std::function<void(QObject *Sender)> OnEndUpdate;

protected:
    void ColumnMoved(int FromIndex, int ToIndex) override;
    void SizeChanged(int OldColCount, int OldRowCount) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

    QStringList m_selectedRows;
    QStringList m_selectionTrail;

private:
    void RunSortPasses(int col);
    // The key that each column number text names, checked against ColCount.
    int KeyColumn(const QString &key) const;
    void TitleClicked(int ACol, Qt::MouseButton button);

    TSortOptions m_sortOptions;
    TSortedList m_sortedList;
    bool m_savedUpdateOnSizeChange = false;
    bool m_titlePressValid = false;
    int m_titlePressCol = -1;
};

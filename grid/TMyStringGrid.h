#pragma once

#include "TMyDrawGrid.h"
#include "TMyStringGridStrings.h"
#include "TStringSparseList.h"

#include <vector>

// A draw grid that stores a text and an attached object per cell. Lowering ColCount
// or RowCount keeps the stored cells beyond the new counts; raising it shows them again.
class TMyStringGrid : public TMyDrawGrid
{
    Q_OBJECT

public:
    explicit TMyStringGrid(QWidget *parent = nullptr);

    QString Cells(int ACol, int ARow) const;
    void SetCells(int ACol, int ARow, const QString &Value);
    QObject *Objects(int ACol, int ARow) const;
    void SetObjects(int ACol, int ARow, QObject *Value);
    TMyStringGridStrings Rows(int index) { return {this, TMyStringGridStrings::Row, index}; }
    TMyStringGridStrings Cols(int index) { return {this, TMyStringGridStrings::Column, index}; }

protected:
    // The cells of columns 0..colCount-1 of one row, and writing them back, for bulk
    // moves that should not pay a lookup of the row per cell.
    std::vector<TGridCell> RowCells(int ARow, int colCount) const;
    void SetRowCells(int ARow, const std::vector<TGridCell> &cells);
    // Inserts an empty stored row at ARow; the stored rows from ARow on move down by one,
    // including those kept beyond RowCount.
    void InsertStoredRow(int ARow);

    void DrawCell(QPainter &painter, int ACol, int ARow, const QRect &ARect,
                  TGridDrawState AState) override;
    void ColumnMoved(int FromIndex, int ToIndex) override;
    void RowMoved(int FromIndex, int ToIndex) override;
    QString GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const QString &Value) override;

private:
    TSparseList m_rows;
};

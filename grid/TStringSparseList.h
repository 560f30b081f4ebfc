#pragma once

#include "TSparsePointerArray.h"

#include <QString>

class QObject;

// One stored cell: its text and the object the grid's user attached to it (not owned).
struct TGridCell
{
    QString Text;
    QObject *Object = nullptr;
};

// The cells of one grid row, kept sparse: a cell never written costs nothing and
// reads as the empty text without an object.
class TStringSparseList
{
public:
    QString Text(int index) const;
    QObject *Object(int index) const;
    // The setters of texts and cells tell whether the cell now differs from before.
    bool SetText(int index, const QString &text);
    void SetObject(int index, QObject *object);
    bool SetCell(int index, const TGridCell &cell);
    TGridCell Cell(int index) const;
    void Move(int from, int to) { m_cells.Move(from, to); }
    void DeleteAndShift(int index) { m_cells.DeleteAndShift(index); }
    bool IsEmpty() const { return m_cells.IsEmpty(); }

private:
    void DropIfBlank(int index);

    TSparsePointerArray<TGridCell> m_cells;
};

// The rows of a grid, each one sparse list of cells.
using TSparseList = TSparsePointerArray<TStringSparseList>;

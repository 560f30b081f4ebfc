#pragma once

#include <QList>
#include <QStringList>

class QObject;
class TMyStringGrid;

// One row (Rows[i]) or one column (Cols[i]) of a string grid seen as a string list.
// A view only: it reads and writes the grid's own storage.
class TMyStringGridStrings
{
public:
    enum TKind { Row, Column };

    TMyStringGridStrings(TMyStringGrid *grid, TKind kind, int index);

    // ColCount items for a row, RowCount items for a column.
    int Count() const;
    QString Strings(int index) const;
    void SetStrings(int index, const QString &value);
    QObject *Objects(int index) const;
    void SetObjects(int index, QObject *value);
    QStringList ToStringList() const;

    // Copies texts and objects position by position up to the smaller count; cells
    // beyond the source's count keep what they hold.
    void Assign(const TMyStringGridStrings &source);
    void Assign(const QStringList &texts, const QList<QObject *> &objects = {});
    // Empties every cell of the view.
    void Clear();

private:
    int ColOf(int index) const { return m_kind == Row ? index : m_index; }
    int RowOf(int index) const { return m_kind == Row ? m_index : index; }

    TMyStringGrid *m_grid;
    TKind m_kind;
    int m_index;
};

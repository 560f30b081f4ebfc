#pragma once

#include "SheetRowSink.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

// Finds, in the workbook stream of an old binary workbook, the cells of the first worksheet
// whose value the general reader does not tell apart: truth values, error values and the
// results of formulas. Only sheet columns A to J are kept.
class BiffCellScan
{
public:
    // False with errorString() when the stream's records are damaged.
    bool scan(const QByteArray &workbookStream);
    QString errorString() const { return m_error; }

    // The cell found at row, column (both from 0), if any.
    bool cellAt(int row, int column, SheetCell *cell) const;
    qsizetype cellCount() const { return m_cells.size(); }

private:
    bool fail(const QString &message);
    bool scanSheet(const QByteArray &stream, qsizetype offset);
    static quint32 key(int row, int column) { return quint32(row) << 16 | quint32(column); }
    bool isDateXf(int xf) const;

    QHash<quint32, SheetCell> m_cells;
    // Per cell format (XF) its number format; the custom number formats that show dates.
    QList<int> m_xfFormats;
    QSet<int> m_customDateFormats;
    bool m_date1904 = false;
    QString m_error;
};

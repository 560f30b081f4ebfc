#pragma once

#include "SheetRowSink.h"

#include <QStringList>

// The rows of a starter list: per starter the texts of sheet columns A to J.
using StarterList = QList<QStringList>;

// Turns the rows of the first worksheet into a starter list: no title row, the list ends before
// the first row whose cell in column A is empty, columns A to J are kept. A cell holding an
// error value that the list would use fails the whole list.
class StarterListCollector : public SheetRowSink
{
public:
    bool takeRow(int row, const SheetRow &cells) override;

    const StarterList &rows() const { return m_rows; }
    // Empty unless the list cannot be used; then the rows are incomplete.
    QString errorString() const { return m_error; }

private:
    bool fail(const QString &message);

    StarterList m_rows;
    QString m_error;
    qint64 m_chars = 0;
    bool m_ended = false;
};

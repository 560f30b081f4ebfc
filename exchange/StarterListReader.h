#pragma once

#include "StarterListCollector.h"

#include <QByteArray>
#include <QString>

// Reads a starter list from a workbook or CSV file into rows of cell texts, without touching
// the grid: the whole list is read, or nothing is. The format is told by the file's content,
// whatever its name ends with.
class StarterListReader
{
public:
    // DamagedZip: a zip archive that cannot be opened, so neither .xlsx nor .ods can be told.
    enum class Format { Xls, Xlsx, Ods, Csv, DamagedZip, Unknown };
    static Format detectFormat(const QByteArray &data);

    bool read(const QString &fileName);
    // Why content and a workbook's file name do not fit together (an empty "lauf.xlsx", text
    // in an .ods); empty when they do.
    static QString nameMismatch(const QString &fileName, const QByteArray &data);
    bool readData(const QByteArray &data);

    // Valid after a successful read; empty after a failed one.
    const StarterList &rows() const { return m_rows; }
    QString errorString() const { return m_error; }

private:
    bool fail(const QString &message);

    StarterList m_rows;
    QString m_error;
};

#pragma once

#include "SheetReader.h"

#include <QByteArray>
#include <QList>

class XmlScanner;
class ZipArchive;

// Reads the first worksheet of an Office Open XML workbook (.xlsx): shared and inline strings,
// numbers, booleans, error values, and numbers shown as dates by their cell's number format.
class XlsxSheetReader : public SheetReader
{
public:
    bool read(const QByteArray &data, SheetRowSink &sink) override;

    // Whether a number format code shows a date or a time ("dd.mm.yyyy", "h:mm", not "0.00").
    static bool isDateFormatCode(const QString &code);

private:
    struct Parts
    {
        QString sheet;
        QString sharedStrings;
        QString styles;
    };

    bool findParts(ZipArchive &zip, Parts *parts);
    bool readSharedStrings(ZipArchive &zip, const QString &name);
    bool readStyles(ZipArchive &zip, const QString &name);
    bool readSheet(ZipArchive &zip, const QString &name, SheetRowSink &sink);
    bool readCell(XmlScanner &xml, SheetCell *cell);
    bool xmlFailed(const XmlScanner &xml, const QString &part);

    // The shared strings in UTF-8, one after the other, and where each ends.
    QByteArray m_sharedText;
    QList<qsizetype> m_sharedEnds;
    QByteArray m_value; // a cell's raw value, kept to reuse its memory
    QList<bool> m_dateStyles;
    bool m_date1904 = false;
};

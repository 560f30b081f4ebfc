#pragma once

#include "SheetReader.h"

#include <QList>
#include <QStringList>

class QXmlStreamReader;
class QIODevice;
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
    bool readCell(QXmlStreamReader &xml, SheetCell *cell);
    bool xmlFailed(const QXmlStreamReader &xml, const QIODevice &device, const QString &part);

    QStringList m_sharedStrings;
    QList<bool> m_dateStyles;
    bool m_date1904 = false;
};

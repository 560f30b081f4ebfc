#pragma once

#include "SheetReader.h"

#include <QList>

// Reads a CSV file: fields separated by semicolons or commas (whichever gives the same field
// count on more of the first lines, semicolons when both do), quoted fields with doubled quotes
// inside, UTF-8 (with or without byte order mark), UTF-16 with a byte order mark, or else Windows
// Latin-1. Every field is kept as its text.
class CsvSheetReader : public SheetReader
{
public:
    bool read(const QByteArray &data, SheetRowSink &sink) override;

    static QString decode(const QByteArray &data);
    static QChar separatorOf(const QString &text);

private:
    // How many lines share the most common non-zero separator count.
    static int linesWithCommonCount(QList<int> counts);
};

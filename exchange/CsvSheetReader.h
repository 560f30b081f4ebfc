#pragma once

#include "SheetReader.h"

// Reads a CSV file: fields separated by semicolons or commas (whichever the first line uses
// more), quoted fields with doubled quotes inside, UTF-8 (with or without byte order mark),
// UTF-16 with a byte order mark, or else Windows Latin-1. Every field is kept as its text.
class CsvSheetReader : public SheetReader
{
public:
    bool read(const QByteArray &data, SheetRowSink &sink) override;

    static QString decode(const QByteArray &data);
    static QChar separatorOf(const QString &text);
};

#pragma once

#include "SheetReader.h"

class QXmlStreamReader;

// Reads the first table of an OpenDocument spreadsheet (.ods): texts, numbers, percentages and
// currencies, dates, times, truth values and error values, with repeated cells and rows.
class OdsSheetReader : public SheetReader
{
public:
    bool read(const QByteArray &data, SheetRowSink &sink) override;

private:
    bool readTable(QXmlStreamReader &xml, SheetRowSink &sink, bool *stopped);
    bool readRow(QXmlStreamReader &xml, SheetRow *cells);
    bool readCell(QXmlStreamReader &xml, SheetCell *cell);
};

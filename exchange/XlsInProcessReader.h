#pragma once

#include "SheetReader.h"

// Reads the first worksheet of an old binary Excel workbook (.xls, 1997 format and older) with
// FreeXL, completed by a scan of our own for truth values, error values and formula results,
// which FreeXL reports as plain numbers or not at all. FreeXL can be made to read out of bounds
// by a damaged workbook, so the program runs this reader only inside the helper process
// talvenbahn-xls-reader (see XlsSheetReader).
class XlsInProcessReader : public SheetReader
{
public:
    bool read(const QByteArray &data, SheetRowSink &sink) override;
    // The same for a file that is already on disk, without a temporary copy.
    bool readFile(const QString &path, SheetRowSink &sink);

private:
    bool checkStructure(const QByteArray &data, class BiffCellScan *scan);
    bool readWithFreeXl(const QString &path, const class BiffCellScan &scan, SheetRowSink &sink);
};

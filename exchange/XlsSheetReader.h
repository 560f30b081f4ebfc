#pragma once

#include "SheetReader.h"

// Reads the first worksheet of an old binary Excel workbook (.xls) in the helper process
// talvenbahn-xls-reader (beside the program, or in its installed helper folder), which runs
// XlsInProcessReader. A workbook that makes FreeXL crash, hang or eat memory only ends the helper;
// the operator gets a message.
class XlsSheetReader : public SheetReader
{
public:
    bool read(const QByteArray &data, SheetRowSink &sink) override;

    // The helper of the running program.
    static QString helperPath();
    // Another helper, for tests of a helper that crashes.
    void setHelperPath(const QString &path) { m_helperPath = path; }

private:
    QString m_helperPath = helperPath();
};

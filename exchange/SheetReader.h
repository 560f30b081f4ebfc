#pragma once

#include "SheetRowSink.h"

#include <QByteArray>
#include <QString>

// A reader of one workbook format: hands the rows of the first worksheet to a sink. Readers
// take the whole file as bytes (files are bounded by ReadLimits::kMaxFileBytes) and report a
// damaged, truncated or oversized file with a message for the operator, never by crashing.
class SheetReader
{
public:
    virtual ~SheetReader() = default;

    // False when the file cannot be read; errorString() then says why. Rows the sink took
    // before the failure are not to be used.
    virtual bool read(const QByteArray &data, SheetRowSink &sink) = 0;
    QString errorString() const { return m_error; }

protected:
    bool fail(const QString &message);
    // "The file is no readable <format> document" with what was wrong.
    bool failDamaged(const QString &format, const QString &detail);
    bool failCellTooLong();
    void clearError() { m_error.clear(); }

private:
    QString m_error;
};

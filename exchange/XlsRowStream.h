#pragma once

#include "SheetRowSink.h"

#include <QByteArray>
#include <QString>

class QIODevice;

// The rows the helper process talvenbahn-xls-reader sends back to the program: each row with
// its index and cells, then the end mark with the outcome of the read.
namespace XlsRowStream {

void writeRow(QIODevice &device, int row, const SheetRow &cells);
void writeEnd(QIODevice &device, bool ok, const QString &error);

// Hands the rows in data to sink until it stops; false when data are not a complete stream.
// *ok and *error are the helper's outcome.
bool replay(const QByteArray &data, SheetRowSink &sink, bool *ok, QString *error);

} // namespace XlsRowStream

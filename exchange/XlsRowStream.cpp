#include "XlsRowStream.h"

#include "ReadLimits.h"

#include <QDataStream>

namespace XlsRowStream {

namespace {

constexpr qint32 kEndMark = -1;
constexpr QDataStream::Version kVersion = QDataStream::Qt_6_0;

} // namespace

void writeRow(QIODevice &device, int row, const SheetRow &cells)
{
    QDataStream out(&device);
    out.setVersion(kVersion);
    out << qint32(row) << qint32(cells.size());
    for (const SheetCell &cell : cells)
        out << cell.error << cell.text;
}

void writeEnd(QIODevice &device, bool ok, const QString &error)
{
    QDataStream out(&device);
    out.setVersion(kVersion);
    out << kEndMark << ok << error;
}

bool replay(const QByteArray &data, SheetRowSink &sink, bool *ok, QString *error)
{
    QDataStream in(data);
    in.setVersion(kVersion);
    bool sinkWantsMore = true;
    for (;;) {
        qint32 row = 0;
        in >> row;
        if (in.status() != QDataStream::Ok)
            return false;
        if (row == kEndMark) {
            in >> *ok >> *error;
            return in.status() == QDataStream::Ok;
        }
        qint32 count = 0;
        in >> count;
        if (in.status() != QDataStream::Ok || row < 0 || count < 0 ||
            count > ReadLimits::kSheetColumns)
            return false;
        SheetRow cells(count);
        for (SheetCell &cell : cells)
            in >> cell.error >> cell.text;
        if (in.status() != QDataStream::Ok)
            return false;
        if (sinkWantsMore)
            sinkWantsMore = sink.takeRow(row, cells);
    }
}

} // namespace XlsRowStream

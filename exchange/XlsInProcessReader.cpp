#include "XlsInProcessReader.h"

#include "BiffCellScan.h"
#include "CellText.h"
#include "CompoundFile.h"
#include "ReadLimits.h"

#include <QDateTime>
#include <QDir>
#include <QTemporaryFile>

#include <freexl.h>

namespace {

const QString kFormat = QStringLiteral("Excel-Arbeitsmappen (.xls)");

QString freeXlText(int code)
{
    switch (code) {
    case FREEXL_INSUFFICIENT_MEMORY:
        return QStringLiteral("nicht genug Speicher");
    case FREEXL_CRAFTED_FILE:
        return QStringLiteral("die Datei ist absichtlich oder schwer beschädigt");
    case FREEXL_INVALID_CHARACTER:
    case FREEXL_UNSUPPORTED_CHARSET:
        return QStringLiteral("ein Text hat eine unbekannte Zeichenkodierung");
    case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
    case FREEXL_BIFF_ILLEGAL_SHEET_INDEX:
        return QStringLiteral("sie enthält kein Tabellenblatt");
    default:
        return QStringLiteral("Lesefehler %1").arg(code);
    }
}

// Closes a FreeXL handle on every path, also after a failed open.
class FreeXlHandle
{
public:
    ~FreeXlHandle()
    {
        if (m_handle)
            freexl_close(m_handle);
    }
    const void **address() { return &m_handle; }
    const void *get() const { return m_handle; }

private:
    const void *m_handle = nullptr;
};

// FreeXL gives dates as "YYYY-MM-DD", "YYYY-MM-DD HH:MM:SS" or "HH:MM:SS".
QString dateText(const char *text)
{
    const QString value = QString::fromUtf8(text);
    const QDateTime stamp = QDateTime::fromString(value, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (stamp.isValid())
        return CellText::dateTimeText(stamp.date(), stamp.time());
    const QDate date = QDate::fromString(value, QStringLiteral("yyyy-MM-dd"));
    if (date.isValid())
        return CellText::dateTimeText(date, QTime(0, 0));
    const QTime time = QTime::fromString(value, QStringLiteral("HH:mm:ss"));
    if (time.isValid())
        return CellText::dateTimeText(QDate(), time);
    return value;
}

} // namespace

bool XlsInProcessReader::checkStructure(const QByteArray &data, BiffCellScan *scan)
{
    // Our own look at the container first: it finds what FreeXL does not tell apart, and a
    // container that fails here never reaches FreeXL.
    CompoundFile container;
    QByteArray stream;
    if (!container.readStream(data, {QStringLiteral("Workbook"), QStringLiteral("Book")}, &stream))
        return failDamaged(kFormat, container.errorString());
    if (!scan->scan(stream))
        return failDamaged(kFormat, scan->errorString());
    return true;
}

bool XlsInProcessReader::read(const QByteArray &data, SheetRowSink &sink)
{
    clearError();
    BiffCellScan scan;
    if (!checkStructure(data, &scan))
        return false;
    // FreeXL opens files by name only.
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/talvenbahn-XXXXXX.xls"));
    if (!file.open() || file.write(data) != data.size() || !file.flush())
        return fail(QStringLiteral("Die Starterliste kann nicht zwischengespeichert werden: %1")
                        .arg(file.errorString()));
    return readWithFreeXl(file.fileName(), scan, sink);
}

bool XlsInProcessReader::readFile(const QString &path, SheetRowSink &sink)
{
    clearError();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("Die Datei \"%1\" kann nicht geöffnet werden: %2")
                        .arg(path, file.errorString()));
    BiffCellScan scan;
    if (!checkStructure(file.read(ReadLimits::kMaxFileBytes), &scan))
        return false;
    return readWithFreeXl(path, scan, sink);
}

bool XlsInProcessReader::readWithFreeXl(const QString &path, const BiffCellScan &scan,
                                        SheetRowSink &sink)
{
    FreeXlHandle handle;
    int code = freexl_open(QFile::encodeName(path).constData(), handle.address());
    if (code != FREEXL_OK)
        return failDamaged(kFormat, freeXlText(code));
    unsigned int info = 0;
    if (freexl_get_info(handle.get(), FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK &&
        info == FREEXL_BIFF_OBFUSCATED)
        return failDamaged(kFormat, QStringLiteral("sie ist mit einem Kennwort geschützt"));
    code = freexl_select_active_worksheet(handle.get(), 0);
    if (code != FREEXL_OK)
        return failDamaged(kFormat, freeXlText(code));
    unsigned int rows = 0;
    unsigned short columns = 0;
    code = freexl_worksheet_dimensions(handle.get(), &rows, &columns);
    if (code != FREEXL_OK)
        return failDamaged(kFormat, freeXlText(code));
    const int columnCount = std::min<int>(columns, ReadLimits::kSheetColumns);

    for (unsigned int row = 0; row < rows; ++row) {
        SheetRow cells(columnCount);
        for (int column = 0; column < columnCount; ++column) {
            SheetCell &cell = cells[column];
            if (scan.cellAt(int(row), column, &cell))
                continue;
            FreeXL_CellValue value;
            code = freexl_get_cell_value(handle.get(), row, static_cast<unsigned short>(column),
                                         &value);
            if (code != FREEXL_OK)
                return failDamaged(kFormat, freeXlText(code));
            switch (value.type) {
            case FREEXL_CELL_INT:
                cell.text = CellText::numberText(value.value.int_value);
                break;
            case FREEXL_CELL_DOUBLE:
                cell.text = CellText::numberText(value.value.double_value);
                break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
                cell.text = QString::fromUtf8(value.value.text_value);
                if (cell.text.size() > ReadLimits::kMaxCellChars)
                    return failCellTooLong();
                break;
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
            case FREEXL_CELL_TIME:
                cell.text = dateText(value.value.text_value);
                break;
            default:
                break;
            }
        }
        if (!sink.takeRow(int(row), cells))
            return true;
    }
    return true;
}

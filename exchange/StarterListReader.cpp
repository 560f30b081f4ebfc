#include "StarterListReader.h"

#include "CompoundFile.h"
#include "CsvSheetReader.h"
#include "OdsSheetReader.h"
#include "ReadLimits.h"
#include "XlsSheetReader.h"
#include "XlsxSheetReader.h"
#include "ZipArchive.h"

#include <QFile>

#include <memory>

namespace {

const QByteArray kZipSignature = QByteArrayLiteral("PK\x03\x04");
const QByteArray kOdsMimeType = QByteArrayLiteral("application/vnd.oasis.opendocument.spreadsheet");
// Binary content shows in the first bytes; text files have no zero bytes there.
constexpr qsizetype kSniffBytes = 4096;
constexpr qint64 kMimeTypeBytes = 256;

std::unique_ptr<SheetReader> readerFor(StarterListReader::Format format)
{
    switch (format) {
    case StarterListReader::Format::Xls:
        return std::make_unique<XlsSheetReader>();
    case StarterListReader::Format::Xlsx:
        return std::make_unique<XlsxSheetReader>();
    case StarterListReader::Format::Ods:
        return std::make_unique<OdsSheetReader>();
    case StarterListReader::Format::Csv:
        return std::make_unique<CsvSheetReader>();
    case StarterListReader::Format::DamagedZip:
    case StarterListReader::Format::Unknown:
        break;
    }
    return nullptr;
}

} // namespace

StarterListReader::Format StarterListReader::detectFormat(const QByteArray &data)
{
    if (CompoundFile::isCompoundFile(data))
        return Format::Xls;
    if (data.startsWith(kZipSignature)) {
        ZipArchive zip(data);
        if (!zip.isOpen())
            return Format::DamagedZip;
        QByteArray mimeType;
        if (zip.contains(QStringLiteral("mimetype")) &&
            zip.readEntry(QStringLiteral("mimetype"), kMimeTypeBytes, &mimeType))
            return mimeType.trimmed() == kOdsMimeType ? Format::Ods : Format::Unknown;
        if (zip.contains(QStringLiteral("xl/workbook.xml")) ||
            zip.contains(QStringLiteral("[Content_Types].xml")))
            return Format::Xlsx;
        if (zip.contains(QStringLiteral("content.xml")))
            return Format::Ods;
        return Format::Unknown;
    }
    if (data.startsWith("\xFF\xFE") || data.startsWith("\xFE\xFF"))
        return Format::Csv;
    return data.left(kSniffBytes).contains('\0') ? Format::Unknown : Format::Csv;
}

bool StarterListReader::fail(const QString &message)
{
    m_rows.clear();
    m_error = message;
    return false;
}

bool StarterListReader::read(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("Die Datei \"%1\" kann nicht geöffnet werden: %2")
                        .arg(fileName, file.errorString()));
    if (file.size() > ReadLimits::kMaxFileBytes)
        return fail(QStringLiteral("Die Datei \"%1\" ist größer als %2 MB; so große "
                                   "Starterlisten werden nicht gelesen.")
                        .arg(fileName)
                        .arg(ReadLimits::kMaxFileBytes / (1024 * 1024)));
    const QByteArray data = file.read(ReadLimits::kMaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return fail(QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden: %2")
                        .arg(fileName, file.errorString()));
    return readData(data);
}

bool StarterListReader::readData(const QByteArray &data)
{
    m_rows.clear();
    m_error.clear();
    if (data.size() > ReadLimits::kMaxFileBytes)
        return fail(QStringLiteral("Die Datei ist größer als %1 MB; so große Starterlisten "
                                   "werden nicht gelesen.")
                        .arg(ReadLimits::kMaxFileBytes / (1024 * 1024)));
    const Format format = detectFormat(data);
    if (format == Format::DamagedZip)
        return fail(QStringLiteral("Die Datei ist keine lesbare Arbeitsmappe (.xlsx, .ods) oder "
                                   "beschädigt: %1")
                        .arg(ZipArchive(data).errorString()));
    const std::unique_ptr<SheetReader> reader = readerFor(format);
    if (!reader)
        return fail(QStringLiteral("Die Datei ist weder eine Arbeitsmappe (.xls, .xlsx, .ods) "
                                   "noch eine CSV-Datei."));
    StarterListCollector collector;
    if (!reader->read(data, collector))
        return fail(reader->errorString());
    if (!collector.errorString().isEmpty())
        return fail(collector.errorString());
    m_rows = collector.rows();
    return true;
}

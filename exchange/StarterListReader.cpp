#include "StarterListReader.h"

#include "CompoundFile.h"
#include "CsvSheetReader.h"
#include "OdsSheetReader.h"
#include "ReadLimits.h"
#include "XlsSheetReader.h"
#include "XlsxSheetReader.h"
#include "ZipArchive.h"

#include <QFile>
#include <QFileInfo>

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

// A workbook saved with a password to open is an encrypted package inside a compound file.
bool isEncryptedPackage(const QByteArray &data)
{
    CompoundFile container;
    QByteArray stream;
    return container.readStream(data, {QStringLiteral("EncryptedPackage")}, &stream);
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
    const QString mismatch = nameMismatch(fileName, data);
    if (!mismatch.isEmpty())
        return fail(
            QStringLiteral("Die Datei \"%1\" wird nicht gelesen: %2").arg(fileName, mismatch));
    return readData(data);
}

QString StarterListReader::nameMismatch(const QString &fileName, const QByteArray &data)
{
    const QString extension = QFileInfo(fileName).suffix().toLower();
    const bool workbookName = extension == u"xls" || extension == u"xlsx" || extension == u"ods";
    if (!workbookName)
        return QString();
    // An empty or blank file would otherwise pass as an empty CSV list and empty the grid.
    if (data.trimmed().isEmpty())
        return QStringLiteral("sie ist leer, enthält also keine Arbeitsmappe (.%1).")
            .arg(extension);
    const Format format = detectFormat(data);
    if (format == Format::Unknown || format == Format::DamagedZip)
        return QStringLiteral("ihr Inhalt ist keine Arbeitsmappe (.%1) und keine CSV-Datei.")
            .arg(extension);
    // Old web exports save text lists as .xls, which spreadsheet programs open; the zipped
    // formats are never text.
    if (format == Format::Csv && extension != u"xls")
        return QStringLiteral("ihr Inhalt ist Text, keine Arbeitsmappe (.%1).").arg(extension);
    return QString();
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
    if (format == Format::Xls && isEncryptedPackage(data))
        return fail(QStringLiteral("Die Datei ist mit einem Kennwort geschützt; geschützte "
                                   "Starterlisten werden nicht gelesen. Bitte die Liste ohne "
                                   "Kennwort speichern."));
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

#include "OdsSheetReader.h"

#include "CellText.h"
#include "ReadLimits.h"
#include "XmlScanner.h"
#include "ZipArchive.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <algorithm>

namespace {

const QString kFormat = QStringLiteral("OpenDocument-Tabellen (.ods)");
const QString kOfficeNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
const QString kTableNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:table:1.0");
const QString kTextNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
// Spreadsheet programs mark a failed formula in their own extension namespace.
const QString kCalcExtNs =
    QStringLiteral("urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0");
constexpr qint64 kMaxSheetRows = 1048576;
constexpr qint64 kSecondsPerDay = 24 * 60 * 60;
const QString kManifest = QStringLiteral("META-INF/manifest.xml");
constexpr qint64 kMaxManifestBytes = 1024 * 1024;
// One run of text in UTF-8 longer than this cannot fit a cell.
constexpr qsizetype kMaxRunBytes = 3 * qsizetype(ReadLimits::kMaxCellChars);

qint64 repeatCount(const QXmlStreamReader &xml, QLatin1String name)
{
    bool ok = false;
    const qint64 count = xml.attributes().value(kTableNs, name).toLongLong(&ok);
    return ok && count > 1 ? count : 1;
}

// "PT10H30M05S" (an ISO 8601 duration) as a spreadsheet day number.
bool durationToDays(const QString &text, double *days)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(-)?P(?:(\\d{1,9})D)?(?:T(?:(\\d{1,9})H)?(?:(\\d{1,9})M)?(?:(\\d{1,9}(?:"
                       "\\.\\d+)?)S)?)?$"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return false;
    const double seconds = match.captured(2).toDouble() * kSecondsPerDay +
                           match.captured(3).toDouble() * 3600 + match.captured(4).toDouble() * 60 +
                           match.captured(5).toDouble();
    *days = (match.captured(1).isEmpty() ? seconds : -seconds) / kSecondsPerDay;
    return true;
}

// Reads the text of the current <text:p>: its characters, spaces, tabs and line breaks, with
// notes and annotations left out. False when the text grows past the cell limit.
bool readParagraph(QXmlStreamReader &xml, QString *text)
{
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::Characters) {
            text->append(xml.text());
        } else if (token == QXmlStreamReader::StartElement) {
            if (xml.name() == u"s") {
                bool ok = false;
                const qint64 count =
                    xml.attributes().value(kTextNs, QLatin1String("c")).toLongLong(&ok);
                const qint64 spaces =
                    ok ? std::clamp<qint64>(count, 0, ReadLimits::kMaxCellChars + 1) : 1;
                text->append(QString(spaces, QLatin1Char(' ')));
                xml.skipCurrentElement();
            } else if (xml.name() == u"tab") {
                text->append(QLatin1Char('\t'));
                xml.skipCurrentElement();
            } else if (xml.name() == u"line-break") {
                text->append(QLatin1Char('\n'));
                xml.skipCurrentElement();
            } else if (xml.name() == u"note" || xml.name() == u"annotation") {
                xml.skipCurrentElement();
            } else {
                ++depth;
            }
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
        }
        if (text->size() > ReadLimits::kMaxCellChars)
            return false;
    }
    return true;
}

} // namespace

bool OdsSheetReader::read(const QByteArray &data, SheetRowSink &sink)
{
    clearError();
    ZipArchive zip(data);
    if (!zip.isOpen())
        return failDamaged(kFormat, zip.errorString());
    // An encrypted document lists how each part is encrypted in its manifest.
    QByteArray manifest;
    if (zip.contains(kManifest) && zip.readEntry(kManifest, kMaxManifestBytes, &manifest) &&
        manifest.contains("encryption-data"))
        return fail(QStringLiteral("Die Datei ist mit einem Kennwort geschützt; geschützte "
                                   "Starterlisten werden nicht gelesen. Bitte die Liste ohne "
                                   "Kennwort speichern."));
    const QString part = QStringLiteral("content.xml");
    // A first, lean pass bounds nesting and text lengths before the full parser, which keeps
    // every open element in memory, sees the part.
    {
        const std::unique_ptr<QIODevice> device = zip.openEntry(part, ReadLimits::kMaxPartBytes);
        if (!device)
            return failDamaged(kFormat, zip.errorString());
        XmlScanner scanner(device.get(), kMaxRunBytes);
        XmlScanner::Token token;
        while ((token = scanner.next()) != XmlScanner::EndOfDocument) {
            if (token == XmlScanner::Invalid) {
                if (scanner.problem() == XmlScanner::Problem::TextTooLong)
                    return failCellTooLong();
                return failDamaged(kFormat, QStringLiteral("%1, Zeile %2: %3")
                                                .arg(part)
                                                .arg(scanner.lineNumber())
                                                .arg(scanner.errorString()));
            }
        }
    }
    const std::unique_ptr<QIODevice> device = zip.openEntry(part, ReadLimits::kMaxPartBytes);
    if (!device)
        return failDamaged(kFormat, zip.errorString());

    QXmlStreamReader xml(device.get());
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"table" ||
            xml.namespaceUri() != kTableNs)
            continue;
        bool stopped = false;
        if (!readTable(xml, sink, &stopped) && !xml.hasError())
            return false;
        if (stopped || !xml.hasError())
            return true;
        break;
    }
    if (xml.hasError()) {
        if (!device->errorString().isEmpty() && device->errorString() != u"Unknown error")
            return failDamaged(kFormat, device->errorString());
        return failDamaged(kFormat, QStringLiteral("%1, Zeile %2: %3")
                                        .arg(part)
                                        .arg(xml.lineNumber())
                                        .arg(xml.errorString()));
    }
    return true;
}

bool OdsSheetReader::readTable(QXmlStreamReader &xml, SheetRowSink &sink, bool *stopped)
{
    qint64 row = 0;
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement) {
            --depth;
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"table-row") {
            const qint64 repeated = repeatCount(xml, QLatin1String("number-rows-repeated"));
            SheetRow cells;
            if (!readRow(xml, &cells))
                return false;
            // A repeated row stands for as many equal rows; the sink stops at the first one
            // it does not need, so a million repeated empty rows cost one call.
            for (qint64 i = 0; i < repeated; ++i, ++row) {
                if (row >= kMaxSheetRows || !sink.takeRow(int(row), cells)) {
                    *stopped = true;
                    return true;
                }
            }
        } else if (xml.name() == u"table-row-group" || xml.name() == u"table-header-rows" ||
                   xml.name() == u"table-rows") {
            ++depth;
        } else {
            xml.skipCurrentElement();
        }
    }
    return !xml.hasError();
}

bool OdsSheetReader::readRow(QXmlStreamReader &xml, SheetRow *cells)
{
    qint64 column = 0;
    while (xml.readNextStartElement()) {
        if (xml.name() != u"table-cell" && xml.name() != u"covered-table-cell") {
            xml.skipCurrentElement();
            continue;
        }
        const qint64 repeated = repeatCount(xml, QLatin1String("number-columns-repeated"));
        SheetCell cell;
        if (!readCell(xml, &cell))
            return false;
        const qint64 end = std::min<qint64>(column + repeated, ReadLimits::kSheetColumns);
        if (column < end && (cell.error || !cell.text.isEmpty())) {
            if (cells->size() < end)
                cells->resize(end);
            for (qint64 c = column; c < end; ++c)
                (*cells)[c] = cell;
        }
        column = std::min<qint64>(column + repeated, kMaxSheetRows);
    }
    return !xml.hasError();
}

bool OdsSheetReader::readCell(QXmlStreamReader &xml, SheetCell *cell)
{
    const QXmlStreamAttributes attributes = xml.attributes();
    const QString type = attributes.value(kOfficeNs, QLatin1String("value-type")).toString();
    const bool error = attributes.value(kCalcExtNs, QLatin1String("value-type")) == u"error";

    QString text;
    bool firstParagraph = true;
    while (xml.readNextStartElement()) {
        if (xml.name() == u"p" && xml.namespaceUri() == kTextNs) {
            if (!firstParagraph)
                text.append(QLatin1Char('\n'));
            firstParagraph = false;
            if (!readParagraph(xml, &text))
                return failCellTooLong();
        } else {
            xml.skipCurrentElement();
        }
    }
    if (xml.hasError())
        return false;

    *cell = SheetCell();
    if (error) {
        cell->error = true;
    } else if (type == u"float" || type == u"percentage" || type == u"currency") {
        bool ok = false;
        const QString value = attributes.value(kOfficeNs, QLatin1String("value")).toString();
        const double number = value.trimmed().toDouble(&ok);
        if (!ok)
            return failDamaged(kFormat, QStringLiteral("ungültige Zahl \"%1\"").arg(value));
        cell->text = CellText::numberText(number);
    } else if (type == u"date") {
        const QString value = attributes.value(kOfficeNs, QLatin1String("date-value")).toString();
        const QDateTime stamp = QDateTime::fromString(value.trimmed(), Qt::ISODateWithMs);
        const QDate date = QDate::fromString(value.trimmed(), Qt::ISODate);
        if (stamp.isValid())
            cell->text = CellText::dateTimeText(stamp.date(), stamp.time());
        else if (date.isValid())
            cell->text = CellText::dateTimeText(date, QTime(0, 0));
        else
            return failDamaged(kFormat, QStringLiteral("ungültiges Datum \"%1\"").arg(value));
    } else if (type == u"time") {
        const QString value = attributes.value(kOfficeNs, QLatin1String("time-value")).toString();
        double days = 0;
        if (!durationToDays(value, &days))
            return failDamaged(kFormat, QStringLiteral("ungültige Zeit \"%1\"").arg(value));
        cell->text = CellText::serialDateText(days, false);
    } else if (type == u"boolean") {
        const QStringView value = attributes.value(kOfficeNs, QLatin1String("boolean-value"));
        cell->text = CellText::truthText(value == u"true" || value == u"1");
    } else if (type == u"string" &&
               attributes.hasAttribute(kOfficeNs, QStringLiteral("string-value"))) {
        cell->text = attributes.value(kOfficeNs, QLatin1String("string-value")).toString();
        if (cell->text.size() > ReadLimits::kMaxCellChars)
            return failCellTooLong();
    } else {
        cell->text = text;
    }
    return true;
}

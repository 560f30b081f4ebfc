#include "XlsxSheetReader.h"

#include "CellText.h"
#include "ReadLimits.h"
#include "ZipArchive.h"

#include <QDateTime>
#include <QDir>
#include <QHash>
#include <QXmlStreamReader>

namespace {

const QString kFormat = QStringLiteral("Excel-Arbeitsmappen (.xlsx)");
constexpr qint64 kMaxSheetRows = 1048576;
constexpr int kMaxColumnLetters = 3;
// More number formats and cell styles than any workbook needs (the format allows 64,000 styles).
constexpr int kMaxStyles = 65536 * 4;

QString attribute(const QXmlStreamReader &xml, const char *name)
{
    // Attributes without a namespace; the relationship id is the only namespaced one we read.
    return xml.attributes().value(QLatin1String(name)).toString();
}

// The directory of a part, with a trailing slash ("xl/" for "xl/workbook.xml").
QString folderOf(const QString &part)
{
    const qsizetype slash = part.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : part.left(slash + 1);
}

QString resolveTarget(const QString &folder, const QString &target)
{
    if (target.startsWith(QLatin1Char('/')))
        return QDir::cleanPath(target.mid(1));
    return QDir::cleanPath(folder + target);
}

QString relationshipsOf(const QString &part)
{
    const QString folder = folderOf(part);
    return folder + QStringLiteral("_rels/") + part.mid(folder.size()) + QStringLiteral(".rels");
}

struct Relationship
{
    QString type;
    QString target;
};

// The relationships of a part by id; an absent or unreadable list gives none.
QHash<QString, Relationship> readRelationships(ZipArchive &zip, const QString &part)
{
    QHash<QString, Relationship> relationships;
    const QString name = relationshipsOf(part);
    QByteArray content;
    if (!zip.contains(name) || !zip.readEntry(name, ReadLimits::kMaxPartBytes, &content))
        return relationships;
    QXmlStreamReader xml(content);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"Relationship" &&
            relationships.size() < kMaxStyles) {
            relationships.insert(
                attribute(xml, "Id"),
                {attribute(xml, "Type"), resolveTarget(folderOf(part), attribute(xml, "Target"))});
        }
    }
    return relationships;
}

QString targetOfType(const QHash<QString, Relationship> &relationships, QStringView typeEnd)
{
    for (const Relationship &relationship : relationships) {
        if (relationship.type.endsWith(typeEnd))
            return relationship.target;
    }
    return QString();
}

// Column index (0 for A) of a cell reference such as "B3"; -1 when it has no valid column.
int columnOfReference(QStringView reference)
{
    int column = 0;
    int letters = 0;
    for (const QChar c : reference) {
        const char16_t u = c.toUpper().unicode();
        if (u < u'A' || u > u'Z')
            break;
        if (++letters > kMaxColumnLetters)
            return -1;
        column = column * 26 + (u - u'A' + 1);
    }
    return letters == 0 ? -1 : column - 1;
}

bool isBuiltInDateFormat(int id)
{
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
           (id >= 50 && id <= 58);
}

// Reads the text of the current <si> or <is> element: its <t> runs, without the phonetic
// guides. Fails when the text grows past the cell limit.
bool readRichText(QXmlStreamReader &xml, QString *text)
{
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (xml.name() == u"t") {
                text->append(xml.readElementText());
                if (text->size() > ReadLimits::kMaxCellChars)
                    return false;
            } else if (xml.name() == u"rPh" || xml.name() == u"phoneticPr") {
                xml.skipCurrentElement();
            } else {
                ++depth;
            }
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
        }
    }
    return true;
}

} // namespace

bool XlsxSheetReader::isDateFormatCode(const QString &code)
{
    // Only the first section (positive numbers) decides; quoted text, escaped characters,
    // padding and fill characters and bracketed colours, conditions and locales do not count,
    // but bracketed elapsed times ([h]:mm) do.
    QString letters;
    bool inQuote = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code.at(i);
        if (inQuote) {
            inQuote = c != u'"';
        } else if (c == u'"') {
            inQuote = true;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i;
        } else if (c == u';') {
            break;
        } else if (c == u'[') {
            const qsizetype close = code.indexOf(u']', i);
            if (close < 0)
                break;
            const QString inside = code.mid(i + 1, close - i - 1).toLower();
            if (!inside.isEmpty() &&
                inside.count(u'h') + inside.count(u'm') + inside.count(u's') == inside.size())
                letters += inside;
            i = close;
        } else {
            letters += c.toLower();
        }
    }
    if (letters == u"general")
        return false;
    for (const QChar c : letters) {
        if (c == u'd' || c == u'm' || c == u'y' || c == u'h' || c == u's')
            return true;
    }
    return false;
}

bool XlsxSheetReader::read(const QByteArray &data, SheetRowSink &sink)
{
    clearError();
    m_sharedStrings.clear();
    m_dateStyles.clear();
    m_date1904 = false;

    ZipArchive zip(data);
    if (!zip.isOpen())
        return failDamaged(kFormat, zip.errorString());
    Parts parts;
    if (!findParts(zip, &parts))
        return false;
    if (!parts.styles.isEmpty() && !readStyles(zip, parts.styles))
        return false;
    if (!parts.sharedStrings.isEmpty() && !readSharedStrings(zip, parts.sharedStrings))
        return false;
    return readSheet(zip, parts.sheet, sink);
}

bool XlsxSheetReader::findParts(ZipArchive &zip, Parts *parts)
{
    QString workbook = targetOfType(readRelationships(zip, QString()), u"/officeDocument");
    if (workbook.isEmpty() || !zip.contains(workbook))
        workbook = QStringLiteral("xl/workbook.xml");

    QString firstSheetId;
    QByteArray content;
    if (zip.contains(workbook) && zip.readEntry(workbook, ReadLimits::kMaxPartBytes, &content)) {
        QXmlStreamReader xml(content);
        while (!xml.atEnd() && firstSheetId.isEmpty()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == u"workbookPr") {
                const QString date1904 = attribute(xml, "date1904");
                m_date1904 = date1904 == u"1" || date1904 == u"true";
            } else if (xml.name() == u"sheet") {
                for (const QXmlStreamAttribute &a : xml.attributes()) {
                    if (a.name() == u"id" && !a.namespaceUri().isEmpty())
                        firstSheetId = a.value().toString();
                }
            }
        }
    }

    const QHash<QString, Relationship> relationships = readRelationships(zip, workbook);
    parts->sheet = relationships.value(firstSheetId).target;
    if (parts->sheet.isEmpty() || !zip.contains(parts->sheet))
        parts->sheet = QStringLiteral("xl/worksheets/sheet1.xml");
    if (!zip.contains(parts->sheet))
        return failDamaged(kFormat, QStringLiteral("sie enthält kein Tabellenblatt"));

    parts->sharedStrings = targetOfType(relationships, u"/sharedStrings");
    if (parts->sharedStrings.isEmpty() || !zip.contains(parts->sharedStrings))
        parts->sharedStrings = QStringLiteral("xl/sharedStrings.xml");
    if (!zip.contains(parts->sharedStrings))
        parts->sharedStrings.clear();
    parts->styles = targetOfType(relationships, u"/styles");
    if (parts->styles.isEmpty() || !zip.contains(parts->styles))
        parts->styles = QStringLiteral("xl/styles.xml");
    if (!zip.contains(parts->styles))
        parts->styles.clear();
    return true;
}

bool XlsxSheetReader::xmlFailed(const QXmlStreamReader &xml, const QIODevice &device,
                                const QString &part)
{
    if (!device.errorString().isEmpty() && device.errorString() != u"Unknown error")
        return failDamaged(kFormat, device.errorString());
    return failDamaged(
        kFormat,
        QStringLiteral("%1, Zeile %2: %3").arg(part).arg(xml.lineNumber()).arg(xml.errorString()));
}

bool XlsxSheetReader::readStyles(ZipArchive &zip, const QString &name)
{
    const std::unique_ptr<QIODevice> device = zip.openEntry(name, ReadLimits::kMaxPartBytes);
    if (!device)
        return failDamaged(kFormat, zip.errorString());
    QXmlStreamReader xml(device.get());
    QHash<int, bool> customIsDate;
    QList<int> styleFormats;
    bool inCellStyles = false;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (xml.name() == u"numFmt") {
                if (customIsDate.size() >= kMaxStyles)
                    return failDamaged(kFormat, QStringLiteral("zu viele Zahlenformate"));
                customIsDate.insert(attribute(xml, "numFmtId").toInt(),
                                    isDateFormatCode(attribute(xml, "formatCode")));
            } else if (xml.name() == u"cellXfs") {
                inCellStyles = true;
            } else if (inCellStyles && xml.name() == u"xf") {
                if (styleFormats.size() >= kMaxStyles)
                    return failDamaged(kFormat, QStringLiteral("zu viele Zellformate"));
                styleFormats.append(attribute(xml, "numFmtId").toInt());
            }
        } else if (token == QXmlStreamReader::EndElement && xml.name() == u"cellXfs") {
            inCellStyles = false;
        }
    }
    if (xml.hasError())
        return xmlFailed(xml, *device, name);
    m_dateStyles.reserve(styleFormats.size());
    for (const int format : styleFormats)
        m_dateStyles.append(customIsDate.value(format, isBuiltInDateFormat(format)));
    return true;
}

bool XlsxSheetReader::readSharedStrings(ZipArchive &zip, const QString &name)
{
    const std::unique_ptr<QIODevice> device = zip.openEntry(name, ReadLimits::kMaxPartBytes);
    if (!device)
        return failDamaged(kFormat, zip.errorString());
    QXmlStreamReader xml(device.get());
    qint64 totalChars = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"si")
            continue;
        if (m_sharedStrings.size() >= ReadLimits::kMaxSharedStrings)
            return fail(QStringLiteral("Die Arbeitsmappe enthält mehr als %1 Texte; so große "
                                       "Starterlisten werden nicht gelesen.")
                            .arg(ReadLimits::kMaxSharedStrings));
        QString text;
        if (!readRichText(xml, &text))
            return failCellTooLong();
        totalChars += text.size();
        if (totalChars > ReadLimits::kMaxSharedChars)
            return fail(QStringLiteral("Die Texte der Arbeitsmappe sind zusammen länger als %1 "
                                       "Zeichen; so große Starterlisten werden nicht gelesen.")
                            .arg(ReadLimits::kMaxSharedChars));
        m_sharedStrings.append(text);
    }
    if (xml.hasError())
        return xmlFailed(xml, *device, name);
    return true;
}

bool XlsxSheetReader::readCell(QXmlStreamReader &xml, SheetCell *cell)
{
    const QXmlStreamAttributes attributes = xml.attributes();
    const QStringView type = attributes.value(QLatin1String("t"));
    bool hasStyle = false;
    const int style = attributes.value(QLatin1String("s")).toInt(&hasStyle);
    QString value;
    bool hasValue = false;
    while (xml.readNextStartElement()) {
        if (xml.name() == u"v") {
            value = xml.readElementText();
            hasValue = true;
        } else if (xml.name() == u"is") {
            if (!readRichText(xml, &value))
                return failCellTooLong();
            hasValue = true;
        } else {
            xml.skipCurrentElement();
        }
    }
    if (xml.hasError())
        return false;
    if (value.size() > ReadLimits::kMaxCellChars)
        return failCellTooLong();
    *cell = SheetCell();
    if (!hasValue)
        return true;

    if (type == u"s") {
        bool ok = false;
        const qsizetype index = value.trimmed().toLongLong(&ok);
        if (!ok || index < 0 || index >= m_sharedStrings.size())
            return failDamaged(kFormat, QStringLiteral("ein Text fehlt (Nr. %1)").arg(value));
        cell->text = m_sharedStrings.at(index);
    } else if (type == u"str" || type == u"inlineStr") {
        cell->text = value;
    } else if (type == u"e") {
        cell->error = true;
    } else if (type == u"b") {
        cell->text = CellText::truthText(value.trimmed() == u"1" || value.trimmed() == u"true");
    } else if (type == u"d") {
        const QDateTime stamp = QDateTime::fromString(value.trimmed(), Qt::ISODateWithMs);
        if (!stamp.isValid())
            return failDamaged(kFormat, QStringLiteral("ungültiges Datum \"%1\"").arg(value));
        cell->text = CellText::dateTimeText(stamp.date(), stamp.time());
    } else if (!value.isEmpty()) {
        bool ok = false;
        const double number = value.trimmed().toDouble(&ok);
        if (!ok)
            return failDamaged(kFormat, QStringLiteral("ungültige Zahl \"%1\"").arg(value));
        const bool isDate =
            hasStyle && style >= 0 && style < m_dateStyles.size() && m_dateStyles.at(style);
        cell->text =
            isDate ? CellText::serialDateText(number, m_date1904) : CellText::numberText(number);
    }
    return true;
}

bool XlsxSheetReader::readSheet(ZipArchive &zip, const QString &name, SheetRowSink &sink)
{
    const std::unique_ptr<QIODevice> device = zip.openEntry(name, ReadLimits::kMaxPartBytes);
    if (!device)
        return failDamaged(kFormat, zip.errorString());
    QXmlStreamReader xml(device.get());
    bool inSheetData = false;
    qint64 previousRow = -1;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement && xml.name() == u"sheetData")
            return true;
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"sheetData") {
            inSheetData = true;
            continue;
        }
        if (!inSheetData || xml.name() != u"row")
            continue;

        qint64 row = previousRow + 1;
        const QString rowNumber = attribute(xml, "r");
        if (!rowNumber.isEmpty()) {
            bool ok = false;
            row = rowNumber.toLongLong(&ok) - 1;
            if (!ok || row <= previousRow || row >= kMaxSheetRows)
                return failDamaged(kFormat,
                                   QStringLiteral("ungültige Zeilennummer \"%1\"").arg(rowNumber));
        }
        previousRow = row;

        SheetRow cells;
        int nextColumn = 0;
        while (xml.readNextStartElement()) {
            if (xml.name() != u"c") {
                xml.skipCurrentElement();
                continue;
            }
            const QStringView reference = xml.attributes().value(QLatin1String("r"));
            const int column = reference.isEmpty() ? nextColumn : columnOfReference(reference);
            if (column < 0)
                return failDamaged(
                    kFormat,
                    QStringLiteral("ungültiger Zellbezug \"%1\"").arg(reference.toString()));
            SheetCell cell;
            if (!readCell(xml, &cell)) {
                if (xml.hasError())
                    break;
                return false;
            }
            if (column < ReadLimits::kSheetColumns) {
                if (cells.size() <= column)
                    cells.resize(column + 1);
                cells[column] = cell;
            }
            nextColumn = column + 1;
        }
        if (xml.hasError())
            break;
        if (!sink.takeRow(int(row), cells))
            return true;
    }
    if (xml.hasError())
        return xmlFailed(xml, *device, name);
    return true;
}

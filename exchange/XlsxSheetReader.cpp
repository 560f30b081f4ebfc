#include "XlsxSheetReader.h"

#include "CellText.h"
#include "ReadLimits.h"
#include "ZipArchive.h"

#include "XmlScanner.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QHash>

namespace {

const QString kFormat = QStringLiteral("Excel-Arbeitsmappen (.xlsx)");
constexpr qint64 kMaxSheetRows = 1048576;
constexpr int kMaxColumnLetters = 3;
// More number formats and cell styles than any workbook needs (the format allows 64,000 styles).
constexpr int kMaxStyles = 65536 * 4;
// The workbook, its relationships and the styles are small parts.
constexpr qint64 kMaxSmallPartBytes = 16 * 1024 * 1024;
constexpr qsizetype kMaxSmallTextBytes = 64 * 1024;
// A cell's text in UTF-8: at most three bytes per character of the cell limit.
constexpr qsizetype kMaxCellBytes = 3 * qsizetype(ReadLimits::kMaxCellChars);

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
    if (!zip.contains(name) || !zip.readEntry(name, kMaxSmallPartBytes, &content))
        return relationships;
    QBuffer buffer(&content);
    buffer.open(QIODevice::ReadOnly);
    XmlScanner xml(&buffer, kMaxSmallTextBytes);
    XmlScanner::Token token;
    while ((token = xml.next()) != XmlScanner::EndOfDocument && token != XmlScanner::Invalid) {
        if (token == XmlScanner::StartElement && xml.name() == "Relationship" &&
            relationships.size() < kMaxStyles) {
            relationships.insert(xml.attributeText("Id"),
                                 {xml.attributeText("Type"),
                                  resolveTarget(folderOf(part), xml.attributeText("Target"))});
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
int columnOfReference(QByteArrayView reference)
{
    int column = 0;
    int letters = 0;
    for (const char c : reference) {
        const char u = c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
        if (u < 'A' || u > 'Z')
            break;
        if (++letters > kMaxColumnLetters)
            return -1;
        column = column * 26 + (u - 'A' + 1);
    }
    return letters == 0 ? -1 : column - 1;
}

int toInt(QByteArrayView text, bool *ok = nullptr)
{
    return text.trimmed().toInt(ok);
}

// Reads the text of the current <si> or <is> element: its <t> runs, without the phonetic
// guides. Fails when the text grows past the cell limit.
bool readRichText(XmlScanner &xml, QByteArray *text)
{
    const int inside = xml.depth();
    QByteArray run;
    for (;;) {
        const XmlScanner::Token token = xml.next();
        if (token == XmlScanner::Invalid || token == XmlScanner::EndOfDocument)
            return false;
        if (token == XmlScanner::EndElement && xml.depth() < inside)
            return true;
        if (token != XmlScanner::StartElement)
            continue;
        if (xml.name() == "t") {
            if (!xml.readElementText(&run))
                return false;
            text->append(run);
        } else if (xml.name() == "rPh" || xml.name() == "phoneticPr") {
            if (!xml.skipElement())
                return false;
        }
    }
}

} // namespace

bool XlsxSheetReader::isDateFormatCode(const QString &code)
{
    return CellText::isDateFormatCode(code);
}

bool XlsxSheetReader::read(const QByteArray &data, SheetRowSink &sink)
{
    clearError();
    m_sharedText.clear();
    m_sharedEnds.clear();
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

    // The sheets in their order; a chart sheet may come first and has no cells.
    QStringList sheetIds;
    QByteArray content;
    if (zip.contains(workbook) && zip.readEntry(workbook, kMaxSmallPartBytes, &content)) {
        QBuffer buffer(&content);
        buffer.open(QIODevice::ReadOnly);
        XmlScanner xml(&buffer, kMaxSmallTextBytes);
        XmlScanner::Token token;
        while ((token = xml.next()) != XmlScanner::EndOfDocument && token != XmlScanner::Invalid &&
               sheetIds.size() < kMaxStyles) {
            if (token != XmlScanner::StartElement)
                continue;
            if (xml.name() == "workbookPr") {
                const QByteArrayView date1904 = xml.attribute("date1904");
                m_date1904 = date1904 == "1" || date1904 == "true";
            } else if (xml.name() == "sheet") {
                sheetIds.append(xml.attributeText("id"));
            }
        }
    }

    const QHash<QString, Relationship> relationships = readRelationships(zip, workbook);
    bool chartSheetFirst = false;
    for (const QString &id : std::as_const(sheetIds)) {
        const Relationship sheet = relationships.value(id);
        if (sheet.type.endsWith(u"/chartsheet") || sheet.type.endsWith(u"/dialogsheet")) {
            chartSheetFirst = chartSheetFirst || parts->sheet.isEmpty();
            continue;
        }
        if (!sheet.target.isEmpty() && zip.contains(sheet.target)) {
            parts->sheet = sheet.target;
            break;
        }
    }
    if (parts->sheet.isEmpty() && !chartSheetFirst)
        parts->sheet = QStringLiteral("xl/worksheets/sheet1.xml");
    if (parts->sheet.isEmpty() || !zip.contains(parts->sheet))
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

bool XlsxSheetReader::xmlFailed(const XmlScanner &xml, const QString &part)
{
    if (xml.problem() == XmlScanner::Problem::TextTooLong)
        return failCellTooLong();
    return failDamaged(
        kFormat,
        QStringLiteral("%1, Zeile %2: %3").arg(part).arg(xml.lineNumber()).arg(xml.errorString()));
}

bool XlsxSheetReader::readStyles(ZipArchive &zip, const QString &name)
{
    const std::unique_ptr<QIODevice> device = zip.openEntry(name, kMaxSmallPartBytes);
    if (!device)
        return failDamaged(kFormat, zip.errorString());
    XmlScanner xml(device.get(), kMaxSmallTextBytes);
    QHash<int, bool> customIsDate;
    QList<int> styleFormats;
    int cellStylesDepth = 0;
    for (;;) {
        const XmlScanner::Token token = xml.next();
        if (token == XmlScanner::EndOfDocument)
            break;
        if (token == XmlScanner::Invalid)
            return xmlFailed(xml, name);
        if (token == XmlScanner::StartElement) {
            if (xml.name() == "numFmt") {
                if (customIsDate.size() >= kMaxStyles)
                    return failDamaged(kFormat, QStringLiteral("zu viele Zahlenformate"));
                customIsDate.insert(toInt(xml.attribute("numFmtId")),
                                    isDateFormatCode(xml.attributeText("formatCode")));
            } else if (xml.name() == "cellXfs") {
                cellStylesDepth = xml.depth();
            } else if (cellStylesDepth > 0 && xml.name() == "xf") {
                if (styleFormats.size() >= kMaxStyles)
                    return failDamaged(kFormat, QStringLiteral("zu viele Zellformate"));
                styleFormats.append(toInt(xml.attribute("numFmtId")));
            }
        } else if (token == XmlScanner::EndElement && xml.name() == "cellXfs") {
            cellStylesDepth = 0;
        }
    }
    m_dateStyles.reserve(styleFormats.size());
    for (const int format : styleFormats)
        m_dateStyles.append(customIsDate.value(format, CellText::isBuiltInDateFormat(format)));
    return true;
}

bool XlsxSheetReader::readSharedStrings(ZipArchive &zip, const QString &name)
{
    const std::unique_ptr<QIODevice> device = zip.openEntry(name, ReadLimits::kMaxPartBytes);
    if (!device)
        return failDamaged(kFormat, zip.errorString());
    XmlScanner xml(device.get(), kMaxCellBytes);
    QByteArray text;
    for (;;) {
        const XmlScanner::Token token = xml.next();
        if (token == XmlScanner::EndOfDocument)
            return true;
        if (token == XmlScanner::Invalid)
            return xmlFailed(xml, name);
        if (token != XmlScanner::StartElement || xml.name() != "si")
            continue;
        if (m_sharedEnds.size() >= ReadLimits::kMaxSharedStrings)
            return fail(QStringLiteral("Die Arbeitsmappe enthält mehr als %1 Texte; so große "
                                       "Starterlisten werden nicht gelesen.")
                            .arg(ReadLimits::kMaxSharedStrings));
        text.clear();
        if (!readRichText(xml, &text))
            return xmlFailed(xml, name);
        if (text.size() > ReadLimits::kMaxCellChars &&
            QString::fromUtf8(text).size() > ReadLimits::kMaxCellChars)
            return failCellTooLong();
        // Held as UTF-8 one after the other: a list's names cost little more than the file.
        if (m_sharedText.size() + text.size() > ReadLimits::kMaxSharedBytes)
            return fail(QStringLiteral("Die Texte der Arbeitsmappe sind zusammen länger als %1 "
                                       "MB; so große Starterlisten werden nicht gelesen.")
                            .arg(ReadLimits::kMaxSharedBytes / (1024 * 1024)));
        m_sharedText.append(text);
        m_sharedEnds.append(m_sharedText.size());
    }
}

bool XlsxSheetReader::readCell(XmlScanner &xml, SheetCell *cell)
{
    *cell = SheetCell();
    const QByteArrayView typeView = xml.attribute("t");
    // Attributes point into the tag, which the next token replaces.
    char typeBuffer[16] = {};
    const qsizetype typeSize = std::min<qsizetype>(typeView.size(), sizeof typeBuffer);
    if (typeSize > 0) // no type: the view has no data to copy
        std::memcpy(typeBuffer, typeView.data(), size_t(typeSize));
    const QByteArrayView type(typeBuffer, typeSize);
    bool hasStyle = false;
    const int style = toInt(xml.attribute("s"), &hasStyle);

    QByteArray &value = m_value;
    value.clear();
    bool hasValue = false;
    bool hasFormula = false;
    if (!xml.isEmptyElement()) {
        const int inside = xml.depth();
        for (;;) {
            const XmlScanner::Token token = xml.next();
            if (token == XmlScanner::Invalid || token == XmlScanner::EndOfDocument)
                return false;
            if (token == XmlScanner::EndElement && xml.depth() < inside)
                break;
            if (token != XmlScanner::StartElement)
                continue;
            if (xml.name() == "v") {
                if (!xml.readElementText(&value))
                    return false;
                hasValue = true;
            } else if (xml.name() == "is") {
                if (!readRichText(xml, &value))
                    return false;
                hasValue = true;
            } else {
                hasFormula = hasFormula || xml.name() == "f";
                if (!xml.skipElement())
                    return false;
            }
        }
    } else {
        xml.next(); // its end
    }
    if (!hasValue) {
        // A formula saved without its result (by a program that does not calculate) has a
        // value nobody can see here.
        cell->noValue = hasFormula;
        return true;
    }

    if (type == "s") {
        bool ok = false;
        const qsizetype index = value.trimmed().toLongLong(&ok);
        if (!ok || index < 0 || index >= m_sharedEnds.size())
            return failDamaged(
                kFormat,
                QStringLiteral("ein Text fehlt (Nr. %1)").arg(QString::fromUtf8(value.left(20))));
        const qsizetype start = index == 0 ? 0 : m_sharedEnds.at(index - 1);
        cell->text =
            QString::fromUtf8(m_sharedText.constData() + start, m_sharedEnds.at(index) - start);
    } else if (type == "str" || type == "inlineStr") {
        cell->text = QString::fromUtf8(value);
    } else if (type == "e") {
        cell->error = true;
    } else if (type == "b") {
        const QByteArray truth = value.trimmed();
        cell->text = CellText::truthText(truth == "1" || truth == "true");
    } else if (type == "d") {
        const QDateTime stamp =
            QDateTime::fromString(QString::fromUtf8(value.trimmed()), Qt::ISODateWithMs);
        if (!stamp.isValid())
            return failDamaged(
                kFormat,
                QStringLiteral("ungültiges Datum \"%1\"").arg(QString::fromUtf8(value.left(40))));
        cell->text = CellText::dateTimeText(stamp.date(), stamp.time());
    } else if (!value.isEmpty()) {
        bool ok = false;
        const double number = value.trimmed().toDouble(&ok);
        if (!ok)
            return failDamaged(
                kFormat,
                QStringLiteral("ungültige Zahl \"%1\"").arg(QString::fromUtf8(value.left(40))));
        const bool isDate =
            hasStyle && style >= 0 && style < m_dateStyles.size() && m_dateStyles.at(style);
        cell->text =
            isDate ? CellText::serialDateText(number, m_date1904) : CellText::numberText(number);
    }
    if (cell->text.size() > ReadLimits::kMaxCellChars)
        return failCellTooLong();
    return true;
}

bool XlsxSheetReader::readSheet(ZipArchive &zip, const QString &name, SheetRowSink &sink)
{
    const std::unique_ptr<QIODevice> device = zip.openEntry(name, ReadLimits::kMaxPartBytes);
    if (!device)
        return failDamaged(kFormat, zip.errorString());
    XmlScanner xml(device.get(), kMaxCellBytes);
    int sheetDataDepth = 0;
    qint64 previousRow = -1;
    SheetRow cells;
    for (;;) {
        const XmlScanner::Token token = xml.next();
        if (token == XmlScanner::EndOfDocument)
            return true;
        if (token == XmlScanner::Invalid)
            return xmlFailed(xml, name);
        if (token == XmlScanner::EndElement && xml.name() == "sheetData")
            return true;
        if (token != XmlScanner::StartElement)
            continue;
        if (xml.name() == "sheetData") {
            sheetDataDepth = xml.depth();
            continue;
        }
        if (sheetDataDepth == 0 || xml.depth() != sheetDataDepth + 1 || xml.name() != "row")
            continue;

        qint64 row = previousRow + 1;
        const QByteArrayView rowNumber = xml.attribute("r");
        if (!rowNumber.isNull()) {
            bool ok = false;
            row = rowNumber.trimmed().toLongLong(&ok) - 1;
            if (!ok || row <= previousRow || row >= kMaxSheetRows)
                return failDamaged(kFormat, QStringLiteral("ungültige Zeilennummer \"%1\"")
                                                .arg(QString::fromUtf8(rowNumber.first(
                                                    std::min<qsizetype>(rowNumber.size(), 20)))));
        }
        previousRow = row;

        cells.clear();
        int nextColumn = 0;
        if (xml.isEmptyElement()) {
            xml.next();
        } else {
            const int rowDepth = xml.depth();
            for (;;) {
                const XmlScanner::Token inRow = xml.next();
                if (inRow == XmlScanner::Invalid || inRow == XmlScanner::EndOfDocument)
                    return xmlFailed(xml, name);
                if (inRow == XmlScanner::EndElement && xml.depth() < rowDepth)
                    break;
                if (inRow != XmlScanner::StartElement)
                    continue;
                if (xml.name() != "c") {
                    if (!xml.skipElement())
                        return xmlFailed(xml, name);
                    continue;
                }
                const QByteArrayView reference = xml.attribute("r");
                const int column = reference.isNull() ? nextColumn : columnOfReference(reference);
                if (column < 0)
                    return failDamaged(kFormat,
                                       QStringLiteral("ungültiger Zellbezug \"%1\"")
                                           .arg(QString::fromUtf8(reference.first(
                                               std::min<qsizetype>(reference.size(), 20)))));
                if (column >= ReadLimits::kSheetColumns) {
                    // Cells right of column J are never used: not even their text is read.
                    nextColumn = column + 1;
                    if (!xml.skipElement())
                        return xmlFailed(xml, name);
                    continue;
                }
                SheetCell cell;
                if (!readCell(xml, &cell))
                    return xml.problem() != XmlScanner::Problem::None ? xmlFailed(xml, name)
                                                                      : false;
                if (cells.size() <= column)
                    cells.resize(column + 1);
                cells[column] = std::move(cell);
                nextColumn = column + 1;
            }
        }
        if (!sink.takeRow(int(row), cells))
            return true;
    }
}

#include "XlsxTestReader.h"

#include <QFile>
#include <QXmlStreamReader>

#include <zip.h>

namespace {

bool readEntry(zip_t *archive, const char *name, QByteArray &out)
{
    zip_stat_t stat;
    if (zip_stat(archive, name, 0, &stat) != 0)
        return false;
    zip_file_t *file = zip_fopen(archive, name, 0);
    if (!file)
        return false;
    out.resize(qsizetype(stat.size));
    const zip_int64_t read = zip_fread(file, out.data(), stat.size);
    zip_fclose(file);
    return read == zip_int64_t(stat.size);
}

// "BC12" -> column 55, row 12.
QPoint cellPosition(QStringView reference)
{
    int column = 0;
    qsizetype i = 0;
    while (i < reference.size() && reference[i].isLetter())
        column = column * 26 + (reference[i++].toUpper().unicode() - u'A' + 1);
    return QPoint(column, reference.sliced(i).toInt());
}

} // namespace

bool XlsxTestReader::read(const QString &fileName, const QString &sheetPart)
{
    int errorCode = 0;
    zip_t *archive = zip_open(QFile::encodeName(fileName).constData(), ZIP_RDONLY, &errorCode);
    if (!archive) {
        m_error = QStringLiteral("not a zip archive (%1)").arg(errorCode);
        return false;
    }
    QByteArray shared;
    QByteArray sheet;
    const bool hasShared = readEntry(archive, "xl/sharedStrings.xml", shared);
    const bool hasSheet = readEntry(archive, sheetPart.toUtf8().constData(), sheet);
    zip_close(archive);
    if (!hasSheet) {
        m_error = QStringLiteral("no sheet ") + sheetPart;
        return false;
    }
    return (!hasShared || parseSharedStrings(shared)) && parseSheet(sheet);
}

QByteArray XlsxTestReader::part(const QString &fileName, const QString &path)
{
    QByteArray content;
    zip_t *archive = zip_open(QFile::encodeName(fileName).constData(), ZIP_RDONLY, nullptr);
    if (archive) {
        readEntry(archive, path.toUtf8().constData(), content);
        zip_close(archive);
    }
    return content;
}

bool XlsxTestReader::parseSharedStrings(const QByteArray &xml)
{
    QXmlStreamReader reader(xml);
    QString current;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == u"si")
            current.clear();
        else if (reader.isStartElement() && reader.name() == u"t")
            current += reader.readElementText();
        else if (reader.isEndElement() && reader.name() == u"si")
            m_shared << current;
    }
    if (reader.hasError())
        m_error = reader.errorString();
    return !reader.hasError();
}

bool XlsxTestReader::parseSheet(const QByteArray &xml)
{
    QXmlStreamReader reader(xml);
    QPoint position;
    QString type;
    while (!reader.atEnd()) {
        reader.readNext();
        if (!reader.isStartElement())
            continue;
        const QXmlStreamAttributes attributes = reader.attributes();
        if (reader.name() == u"col") {
            const int min = attributes.value(QStringLiteral("min")).toInt();
            const int max = attributes.value(QStringLiteral("max")).toInt();
            for (int column = min; column <= max; ++column)
                m_widths[column] = attributes.value(QStringLiteral("width")).toDouble();
        } else if (reader.name() == u"c") {
            position = cellPosition(attributes.value(QStringLiteral("r")));
            type = attributes.value(QStringLiteral("t")).toString();
            if (type != u"s")
                m_allText = false;
        } else if (reader.name() == u"v") {
            const QString value = reader.readElementText();
            m_cells[position] = type == u"s" ? m_shared.value(value.toInt()) : value;
        }
    }
    if (reader.hasError())
        m_error = reader.errorString();
    return !reader.hasError();
}

int XlsxTestReader::lastRow() const
{
    int last = 0;
    for (auto it = m_cells.cbegin(); it != m_cells.cend(); ++it)
        last = qMax(last, it.key().y());
    return last;
}

int XlsxTestReader::lastColumn() const
{
    int last = 0;
    for (auto it = m_cells.cbegin(); it != m_cells.cend(); ++it)
        last = qMax(last, it.key().x());
    return last;
}

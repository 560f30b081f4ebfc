#include "CsvSheetReader.h"

#include "ReadLimits.h"

#include <QHash>
#include <QStringDecoder>

namespace {

const QString kFormat = QStringLiteral("CSV");
// Lines looked at to tell the separator; a list shows its shape long before.
constexpr int kSeparatorSampleLines = 20;

// Windows Latin-1 puts printable characters where ISO Latin-1 has control codes 0x80 to 0x9f;
// spreadsheet programs on Windows write their CSV files in it.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString decodeWindows1252(const QByteArray &data)
{
    QString text(data.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char byte : data) {
        const auto code = static_cast<unsigned char>(byte);
        *out++ = code >= 0x80 && code < 0xA0 ? QChar(kWindows1252High[code - 0x80]) : QChar(code);
    }
    return text;
}

QString decodeWith(QStringConverter::Encoding encoding, const QByteArray &data)
{
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    return decoder.decode(data);
}

} // namespace

QString CsvSheetReader::decode(const QByteArray &data)
{
    if (data.startsWith("\xEF\xBB\xBF"))
        return decodeWith(QStringConverter::Utf8, data.mid(3));
    if (data.startsWith("\xFF\xFE"))
        return decodeWith(QStringConverter::Utf16LE, data.mid(2));
    if (data.startsWith("\xFE\xFF"))
        return decodeWith(QStringConverter::Utf16BE, data.mid(2));
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8.decode(data);
    if (!utf8.hasError())
        return text;
    return decodeWindows1252(data);
}

QChar CsvSheetReader::separatorOf(const QString &text)
{
    // Separators outside quotes, per line, on the first lines: a name such as "Schmidt, Peter"
    // puts commas into some lines only, while the real separator gives every line the same
    // field count.
    QList<int> semicolons{0};
    QList<int> commas{0};
    bool quoted = false;
    for (qsizetype i = 0; i < text.size() && semicolons.size() <= kSeparatorSampleLines; ++i) {
        const QChar c = text.at(i);
        if (c == u'"') {
            quoted = !quoted;
        } else if (quoted) {
            continue;
        } else if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            semicolons.append(0);
            commas.append(0);
        } else if (c == u';') {
            ++semicolons.last();
        } else if (c == u',') {
            ++commas.last();
        }
    }
    const int semicolonLines = linesWithCommonCount(semicolons);
    const int commaLines = linesWithCommonCount(commas);
    return commaLines > semicolonLines ? u',' : u';';
}

int CsvSheetReader::linesWithCommonCount(QList<int> counts)
{
    // A trailing line end leaves an empty last line, which says nothing.
    while (!counts.isEmpty() && counts.last() == 0)
        counts.removeLast();
    QHash<int, int> linesPerCount;
    int best = 0;
    for (const int count : std::as_const(counts)) {
        if (count > 0)
            best = std::max(best, ++linesPerCount[count]);
    }
    return best;
}

bool CsvSheetReader::read(const QByteArray &data, SheetRowSink &sink)
{
    clearError();
    if (data.size() > ReadLimits::kMaxCsvBytes)
        return fail(QStringLiteral("Die CSV-Datei ist größer als %1 MB; so große Starterlisten "
                                   "werden nicht gelesen.")
                        .arg(ReadLimits::kMaxCsvBytes / (1024 * 1024)));
    if (data.contains('\0') && !data.startsWith("\xFF\xFE") && !data.startsWith("\xFE\xFF"))
        return failDamaged(kFormat, QStringLiteral("sie enthält Binärdaten"));
    const QString text = decode(data);
    const QChar separator = separatorOf(text);

    SheetRow row;
    QString field;
    int rowIndex = 0;
    bool quoted = false;
    bool fieldStarted = false;
    const auto endField = [&]() {
        if (row.size() < ReadLimits::kSheetColumns)
            row.append(SheetCell{field, false});
        field.clear();
        fieldStarted = false;
    };
    const qsizetype length = text.size();
    for (qsizetype i = 0; i < length; ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"') {
                if (i + 1 < length && text.at(i + 1) == u'"') {
                    field.append(c);
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field.append(c);
            }
        } else if (c == u'"' && !fieldStarted) {
            quoted = true;
            fieldStarted = true;
        } else if (c == separator) {
            endField();
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < length && text.at(i + 1) == u'\n')
                ++i;
            endField();
            if (!sink.takeRow(rowIndex, row))
                return true;
            row.clear();
            ++rowIndex;
        } else {
            // A quote inside an unquoted field, or text after a closing quote, is kept as text.
            field.append(c);
            fieldStarted = true;
        }
        if (field.size() > ReadLimits::kMaxCellChars)
            return failCellTooLong();
    }
    if (quoted)
        return failDamaged(kFormat, QStringLiteral("ein Anführungszeichen wird nicht geschlossen"));
    if (fieldStarted || !field.isEmpty() || !row.isEmpty()) {
        endField();
        sink.takeRow(rowIndex, row);
    }
    return true;
}

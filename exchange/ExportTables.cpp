#include "ExportTables.h"

#include "Classification.h"

using namespace Qt::StringLiterals;

namespace {

constexpr double kMsPerDay = 24.0 * 3600 * 1000;
// Spreadsheets refuse longer sheet names.
constexpr int kMaxSheetNameLength = 31;
// A spreadsheet keeps this name for a sheet of its own.
const QString kReservedSheetName = u"History"_s;
const QString kUnnamedSheet = u"Tabelle"_s;

// The milliseconds that LongTimeText shows: hundredths cut off, tenths rounded, whole seconds
// cut off, so the workbook's time reads as the page's.
qint64 shownMs(qint32 ms, int acc)
{
    const qint64 cs = qMax<qint64>(ms, 0) / 10;
    if (acc >= 2)
        return cs * 10;
    if (acc == 1)
        return (cs + 5) / 10 * 100;
    return cs / 100 * 1000;
}

QString timeFormat(int acc)
{
    if (acc >= 2)
        return u"[hh]:mm:ss.00"_s;
    if (acc == 1)
        return u"[hh]:mm:ss.0"_s;
    return u"[hh]:mm:ss"_s;
}

bool forbiddenInSheetName(QChar c)
{
    return c.unicode() < 0x20 || QStringView(u"[]:*?/\\").contains(c);
}

// At most max UTF-16 units, never splitting a surrogate pair.
QString cut(const QString &text, qsizetype max)
{
    if (text.size() <= max)
        return text;
    return text.left(text.at(max - 1).isHighSurrogate() ? max - 1 : max);
}

// Apostrophes at either end and blanks at the end are not kept by spreadsheets.
QString trimmed(QString name)
{
    while (name.startsWith(u'\''))
        name.remove(0, 1);
    while (name.endsWith(u'\'') || name.endsWith(u' '))
        name.chop(1);
    return name;
}

QString validSheetName(const QString &wished)
{
    QString name;
    for (const QChar c : wished)
        name += forbiddenInSheetName(c) ? u'-' : c;
    name = trimmed(cut(trimmed(name), kMaxSheetNameLength));
    return name.isEmpty() ? kUnnamedSheet : name;
}

bool taken(const QStringList &names, const QString &name)
{
    return name.compare(kReservedSheetName, Qt::CaseInsensitive) == 0 ||
           names.contains(name, Qt::CaseInsensitive);
}

} // namespace

TExportCell TextCell(const QString &text)
{
    return {text, std::nullopt, {}};
}

TExportCell CountCell(int value, bool blank)
{
    if (blank)
        return {};
    return {QString::number(value), double(value), {}};
}

TExportCell PlaceCell(int place)
{
    if (place <= 0)
        return {};
    return {QString::number(place) + u'.', double(place), {}};
}

TExportCell StartNumberCell(const QString &number)
{
    bool isNumber = false;
    const int value = number.toInt(&isNumber);
    if (isNumber && QString::number(value) == number)
        return {number, double(value), {}};
    return TextCell(number);
}

TExportCell TimeCell(qint32 ms, int acc)
{
    if (ms <= 0)
        return {};
    return {LongTimeText(ms, acc), double(shownMs(ms, acc)) / kMsPerDay, timeFormat(acc)};
}

QStringList ExcelSheetNames(const QStringList &wished)
{
    QStringList names;
    for (const QString &w : wished) {
        const QString base = validSheetName(w);
        QString name = base;
        for (int n = 2; taken(names, name); ++n) {
            const QString suffix = u" ("_s + QString::number(n) + u')';
            name = trimmed(cut(base, kMaxSheetNameLength - suffix.size())) + suffix;
        }
        names << name;
    }
    return names;
}

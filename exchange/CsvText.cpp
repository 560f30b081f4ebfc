#include "CsvText.h"

#include <QLocale>

#include <optional>

namespace {

std::optional<QLocale> &csvLocaleSet()
{
    static std::optional<QLocale> locale;
    return locale;
}

QLocale csvLocale()
{
    return csvLocaleSet().value_or(QLocale());
}

} // namespace

void SetCsvLocale(const QLocale &locale)
{
    csvLocaleSet() = locale;
}

QChar CsvSeparator()
{
    return csvLocale().decimalPoint() == u"," ? u';' : u',';
}

QString CsvSeconds(qint32 ms, int acc)
{
    // In hundredths first, as the time texts are: cut there, then rounded to tenths or cut to
    // whole seconds.
    const qint64 cs = qMax<qint64>(ms, 0) / 10;
    int digits = 2;
    qint64 units = cs;
    if (acc == 1) {
        digits = 1;
        units = (cs + 5) / 10;
    } else if (acc <= 0) {
        digits = 0;
        units = cs / 100;
    }
    qint64 scale = 1;
    for (int i = 0; i < digits; ++i)
        scale *= 10;
    QString text = QString::number(units / scale);
    if (digits > 0)
        text += csvLocale().decimalPoint() +
                QString::number(units % scale).rightJustified(digits, u'0');
    return text;
}

QString CsvField(const QString &value, QChar separator)
{
    const bool needsQuotes = value.contains(separator) || value.contains(u'"') ||
                             value.contains(u'\n') || value.contains(u'\r');
    if (!needsQuotes)
        return value;
    QString quoted = value;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString CsvUserText(const QString &value)
{
    if (value.isEmpty())
        return value;
    switch (value.front().unicode()) {
    case u'=':
    case u'+':
    case u'-':
    case u'@':
        return u'\'' + value;
    default:
        return value;
    }
}

QByteArray CsvDocument(const QList<QStringList> &lines, QChar separator)
{
    QString text;
    for (const QStringList &fields : lines) {
        for (qsizetype i = 0; i < fields.size(); ++i) {
            if (i > 0)
                text += separator;
            text += CsvField(fields.at(i), separator);
        }
        text += QStringLiteral("\r\n");
    }
    return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
}

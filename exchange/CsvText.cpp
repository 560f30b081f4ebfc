#include "CsvText.h"

#include <QLocale>

QChar CsvSeparator()
{
    return QLocale().decimalPoint() == u"," ? u';' : u',';
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

#include "LocaleConvert.h"

#include <QDateTime>
#include <QLocale>
#include <QStringList>
#include <cmath>

namespace LocaleConvert {

namespace {
constexpr qint64 kMsPerDay = 24LL * 60 * 60 * 1000;

bool IsPlainNumber(const QString &text, QChar decimal)
{
    // Only what a number may contain: no group separators, no "inf" or "nan".
    for (const QChar ch : text) {
        if (ch.isDigit() || ch == decimal || ch == u'+' || ch == u'-' || ch == u'e' || ch == u'E')
            continue;
        return false;
    }
    return !text.isEmpty();
}

QStringList TimeFormats(const QLocale &locale)
{
    return {locale.timeFormat(QLocale::ShortFormat), locale.timeFormat(QLocale::LongFormat),
            QStringLiteral("H:mm:ss.zzz"), QStringLiteral("H:mm:ss"), QStringLiteral("H:mm")};
}

bool ParseTime(const QString &text, const QLocale &locale, QTime &time)
{
    for (const QString &format : TimeFormats(locale)) {
        time = locale.toTime(text, format);
        if (time.isValid())
            return true;
    }
    return false;
}
} // namespace

bool TextToFloat(const QString &text, double &value)
{
    const QLocale locale;
    const QString trimmed = text.trimmed();
    if (!IsPlainNumber(trimmed, locale.decimalPoint().at(0)))
        return false;
    QLocale strict = locale;
    strict.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    value = strict.toDouble(trimmed, &ok);
    return ok && std::isfinite(value);
}

bool TextToDateTime(const QString &text, double &value)
{
    const QLocale locale;
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return false;
    const QString dateFormat = locale.dateFormat(QLocale::ShortFormat);
    QDate date = locale.toDate(trimmed, dateFormat);
    QTime time(0, 0);
    if (!date.isValid()) {
        bool found = false;
        for (const QString &timeFormat : TimeFormats(locale)) {
            const QDateTime stamp =
                locale.toDateTime(trimmed, dateFormat + QLatin1Char(' ') + timeFormat);
            if (stamp.isValid()) {
                date = stamp.date();
                time = stamp.time();
                found = true;
                break;
            }
        }
        if (!found)
            return false;
    }
    value = double(date.toJulianDay()) * kMsPerDay + time.msecsSinceStartOfDay();
    return true;
}

bool TextToTime(const QString &text, double &value)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return false;
    QTime time;
    if (!ParseTime(trimmed, QLocale(), time))
        return false;
    value = time.msecsSinceStartOfDay();
    return true;
}

bool TextToInt32(const QString &text, int &value)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return false;
    for (int i = 0; i < trimmed.size(); ++i) {
        const QChar ch = trimmed.at(i);
        if (!(ch >= u'0' && ch <= u'9') && !(i == 0 && (ch == u'+' || ch == u'-')))
            return false;
    }
    bool ok = false;
    value = trimmed.toInt(&ok, 10);
    return ok;
}

} // namespace LocaleConvert

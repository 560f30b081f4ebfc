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

struct DateFormat
{
    QString Text;
    bool TwoDigitYear = false;
};

// A date format with day and month in one or two digits and the year field as given.
QString RelaxedDateFormat(const QString &format, const QString &yearField)
{
    QString relaxed;
    for (qsizetype i = 0; i < format.size();) {
        const QChar ch = format.at(i);
        qsizetype run = 1;
        if (ch == u'\'') {
            // Quoted text stands as it is, quotes included.
            const qsizetype close = format.indexOf(u'\'', i + 1);
            run = close < 0 ? format.size() - i : close + 1 - i;
        } else {
            while (i + run < format.size() && format.at(i + run) == ch)
                ++run;
        }
        if ((ch == u'd' || ch == u'M') && run == 2)
            relaxed += ch;
        else if (ch == u'y' && (run == 2 || run == 4))
            relaxed += yearField;
        else
            relaxed += format.mid(i, run);
        i += run;
    }
    return relaxed;
}

// The locale's short date format, taking "24.12.2023" and "1.2.23" as well as "24.12.23".
QList<DateFormat> DateFormats(const QLocale &locale)
{
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    const QString fourDigits = RelaxedDateFormat(format, QStringLiteral("yyyy"));
    const QString twoDigits = RelaxedDateFormat(format, QStringLiteral("yy"));
    if (fourDigits == twoDigits)
        return {{fourDigits, false}};
    return {{fourDigits, false}, {twoDigits, true}};
}

// A two-digit year read as 19xx is moved into the hundred years from 80 years ago, so that
// "1.2.23" and "24.12.2023" lie in the same century.
QDate WithCentury(const QDate &date)
{
    const int earliest = QDate::currentDate().year() - 80;
    int year = date.year();
    while (year < earliest)
        year += 100;
    return year == date.year() ? date : QDate(year, date.month(), date.day());
}

bool ParseDate(const QString &text, const QLocale &locale, QDate &date, QTime &time)
{
    const QList<DateFormat> formats = DateFormats(locale);
    for (const DateFormat &format : formats) {
        date = locale.toDate(text, format.Text);
        if (date.isValid()) {
            time = QTime(0, 0);
            if (format.TwoDigitYear)
                date = WithCentury(date);
            return true;
        }
    }
    // A time of day follows the date after a blank.
    if (!text.contains(u' '))
        return false;
    for (const DateFormat &format : formats) {
        for (const QString &timeFormat : TimeFormats(locale)) {
            const QDateTime stamp =
                locale.toDateTime(text, format.Text + QLatin1Char(' ') + timeFormat);
            if (stamp.isValid()) {
                date = format.TwoDigitYear ? WithCentury(stamp.date()) : stamp.date();
                time = stamp.time();
                return true;
            }
        }
    }
    return false;
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
    QDate date;
    QTime time;
    if (!ParseDate(trimmed, locale, date, time))
        return false;
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

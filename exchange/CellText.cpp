#include "CellText.h"

#include <QLocale>

#include <cmath>

namespace CellText {

namespace {

constexpr int kSignificantDigits = 15;
// Below 10^15 a whole number has at most 15 digits and is written out in full.
constexpr double kLargestPlainInteger = 1e15;
constexpr qint64 kMsPerDay = 24 * 60 * 60 * 1000;
// Day 1 of the 1900 system is 1900-01-01, but that system counts a 29 February 1900 (day 60)
// that never was; from day 61 on, counting from 1899-12-30 gives the right date.
constexpr int kFirstDayAfterPhantomLeapDay = 61;
// The last day spreadsheets know, 9999-12-31, in the 1900 system.
constexpr double kLastSerialDay = 2958465.0;
constexpr int kDays1904After1900 = 1462;

QString exponentLikeSpreadsheets(const QLocale &locale, const QString &text)
{
    // Qt writes "1e+20" and "1.5e-07" (with the locale's signs and exponent letter);
    // spreadsheets show "1E20" and "1,5E-7".
    const qsizetype e = text.indexOf(locale.exponential(), 0, Qt::CaseInsensitive);
    if (e < 0)
        return text;
    QString exponent = text.mid(e + locale.exponential().size());
    QString sign;
    if (exponent.startsWith(locale.negativeSign())) {
        sign = locale.negativeSign();
        exponent.remove(0, sign.size());
    } else if (exponent.startsWith(locale.positiveSign())) {
        exponent.remove(0, locale.positiveSign().size());
    }
    while (exponent.size() > 1 && exponent.startsWith(locale.zeroDigit()))
        exponent.remove(0, locale.zeroDigit().size());
    return text.left(e) + QLatin1Char('E') + sign + exponent;
}

} // namespace

QString numberText(double value)
{
    if (value == 0.0)
        value = 0.0; // no "-0"
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    // Whole numbers, the usual start numbers, need no exponent or rounding.
    if (std::abs(value) < kLargestPlainInteger && value == std::trunc(value))
        return locale.toString(qint64(value));
    return exponentLikeSpreadsheets(locale, locale.toString(value, 'g', kSignificantDigits));
}

QString dateTimeText(const QDate &date, const QTime &time)
{
    const QLocale locale;
    const QString timeText = locale.toString(time, QStringLiteral("HH:mm:ss"));
    if (!date.isValid())
        return timeText;
    const QString dateText = locale.toString(date, QLocale::ShortFormat);
    if (!time.isValid() || time == QTime(0, 0))
        return dateText;
    return dateText + QLatin1Char(' ') + timeText;
}

QString serialDateText(double serial, bool date1904)
{
    if (date1904)
        serial += kDays1904After1900;
    if (!(serial >= 0.0 && serial <= kLastSerialDay + 1.0))
        return numberText(serial - (date1904 ? kDays1904After1900 : 0));
    double days = std::floor(serial);
    qint64 ms = std::llround((serial - days) * kMsPerDay);
    if (ms >= kMsPerDay) {
        days += 1;
        ms -= kMsPerDay;
    }
    const QTime time = QTime::fromMSecsSinceStartOfDay(int(ms));
    if (days == 0)
        return dateTimeText(QDate(), time);
    const QDate epoch =
        days < kFirstDayAfterPhantomLeapDay ? QDate(1899, 12, 31) : QDate(1899, 12, 30);
    return dateTimeText(epoch.addDays(qint64(days)), time);
}

bool isDateFormatCode(const QString &code)
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

bool isBuiltInDateFormat(int id)
{
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
           (id >= 50 && id <= 58);
}

QString truthText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

QString conversionErrorText()
{
    return QStringLiteral("Could not convert variant of type (Error) into type (String)");
}

} // namespace CellText

#include "ClockText.h"

#include <limits>

namespace {

constexpr qint64 kSecondsPerMinute = 60;
constexpr qint64 kSecondsPerHour = 3600;
constexpr int kClockFields = 3; // seconds, minutes, hours
const QChar kBackspace = QChar(0x08);

QString twoDigits(qint64 value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

// One run of digits as a number, or nullopt when it does not fit a signed 32-bit integer.
std::optional<qint64> runValue(const QString &digits)
{
    qint64 value = 0;
    for (const QChar c : digits) {
        value = value * 10 + c.digitValue();
        if (value > std::numeric_limits<qint32>::max())
            return std::nullopt;
    }
    return value;
}

// A part of the warning time: one or two digits, blanks around them allowed.
qint32 warnPart(const QString &part)
{
    const QString trimmed = part.trimmed();
    if (trimmed.isEmpty())
        return 0;
    for (const QChar c : trimmed) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return 0;
    }
    return trimmed.toInt();
}

} // namespace

QString FormatClock(qint32 seconds)
{
    const qint64 s = seconds < 0 ? 0 : seconds;
    return QStringLiteral("%1:%2:%3")
        .arg(twoDigits(s / kSecondsPerHour), twoDigits((s / kSecondsPerMinute) % 60),
             twoDigits(s % kSecondsPerMinute));
}

std::optional<qint32> ParseClock(const QString &text)
{
    static constexpr qint64 kFieldWeights[kClockFields] = {1, kSecondsPerMinute, kSecondsPerHour};
    // The leading "+" ends the first run of the text like any other non-digit.
    const QString scanned = QLatin1Char('+') + text;
    qint64 total = 0;
    int field = 0;
    QString run;
    for (qsizetype i = scanned.size() - 1; i >= 0 && field < kClockFields; --i) {
        const QChar c = scanned.at(i);
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            run.prepend(c);
            continue;
        }
        if (run.isEmpty())
            continue;
        const std::optional<qint64> value = runValue(run);
        if (!value)
            return std::nullopt;
        total += *value * kFieldWeights[field];
        if (total > std::numeric_limits<qint32>::max())
            return std::nullopt;
        ++field;
        run.clear();
    }
    return qint32(total);
}

qint32 ParseWarnTime(const QString &text)
{
    static const QString kPattern = QStringLiteral("00:00");
    const QString full = kPattern.left(qMax<qsizetype>(0, kPattern.size() - text.size())) + text;
    const qint32 minutes = warnPart(full.mid(0, 2));
    const qint32 seconds = warnPart(full.mid(3, 2));
    return minutes * 60000 + seconds * 1000;
}

bool IsCompleteWarnTime(const QString &text)
{
    const auto digit = [&text](int i) { return text.at(i) >= u'0' && text.at(i) <= u'9'; };
    return text.size() == 5 && digit(0) && digit(1) && text.at(2) == u':' && digit(3) && digit(4);
}

QChar LocaleTimeSeparator(const QLocale &locale)
{
    const QString format = locale.timeFormat(QLocale::ShortFormat);
    for (const QChar c : format) {
        if (!c.isLetter() && !c.isSpace() && c != QLatin1Char('\''))
            return c;
    }
    return QLatin1Char(':');
}

bool IsClockCharAccepted(QChar typed, QChar timeSeparator)
{
    return (typed >= QLatin1Char('0') && typed <= QLatin1Char('9')) || typed == kBackspace ||
           typed == timeSeparator;
}

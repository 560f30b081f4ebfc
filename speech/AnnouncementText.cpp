#include "AnnouncementText.h"

#include "NumberWords.h"

namespace {

// A start number is read as a number only when it is one: digits alone, no leading zero.
bool plainNumber(const QString &text, qint64 *value)
{
    if (text.isEmpty() || text.size() > 6 || (text.size() > 1 && text.startsWith(u'0')))
        return false;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    *value = text.toLongLong();
    return true;
}

} // namespace

QString LapTimeWords(qint64 ms)
{
    if (ms < 0)
        ms = 0;
    // Rounded to tenths the same way the standings write them: hundredths truncated, then + 5.
    const qint64 tenthsTotal = (ms / 10 + 5) / 10;
    const qint64 tenths = tenthsTotal % 10;
    const qint64 seconds = tenthsTotal / 10;
    const qint64 minutes = seconds / 60;
    const qint64 secondsInMinute = seconds % 60;
    QString words;
    if (minutes > 0) {
        words = NumberWords(minutes) + u' ';
        if (secondsInMinute < 10)
            words += QStringLiteral("null ");
    }
    words += NumberWords(minutes > 0 ? secondsInMinute : seconds);
    words += QStringLiteral(" Komma ") + NumberWords(tenths);
    return words;
}

QString AnnouncementText(const TAnnouncedPress &press)
{
    const QString number = press.startNumber.trimmed();
    qint64 value = 0;
    QString text = plainNumber(number, &value) ? QStringLiteral("Startnummer ") + NumberWords(value)
                                               : QStringLiteral("Taste F%1").arg(press.car);
    text += QStringLiteral(", Runde ") + NumberWords(press.lap);
    text += QStringLiteral(", ") + LapTimeWords(press.lapMs);
    if (press.lastLapBegins)
        text += QStringLiteral(", letzte Runde");
    if (press.finished)
        text += QStringLiteral(", im Ziel");
    return text;
}

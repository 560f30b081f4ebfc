#include "FormatTime.h"

namespace {

QString twoDigits(qint64 value)
{
    return QString::number(value).rightJustified(2, u'0');
}

} // namespace

QString FormatTime(qint32 ms, int acc, int timeMode)
{
    qint64 cs = qMax<qint64>(ms, 0) / 10; // hundredths, truncated
    QString fraction;
    if (acc == 1) {
        cs += 5;
        fraction = QString::number((cs / 10) % 10);
    } else if (acc >= 2) {
        fraction = twoDigits(cs % 100);
    }

    const qint64 s = cs / 100;
    QString text = twoDigits(s % 60);
    if (acc > 0)
        text += u'.' + fraction;

    const qint64 m = s / 60;
    QString minutes = QString::number(m % 60);
    if (timeMode > 5 && minutes.size() == 1)
        minutes.prepend(u'0');
    text = minutes + u':' + text;
    if (timeMode <= 6)
        return text;

    QString hours = QString::number((m / 60) % 100);
    if (timeMode > 7 && hours.size() == 1)
        hours.prepend(u'0');
    return hours + u':' + text;
}

qint32 TimeAsShown(qint32 ms, int acc)
{
    const qint64 cs = qMax<qint64>(ms, 0) / 10; // hundredths, truncated, as FormatTime
    if (acc == 1)
        return qint32((cs + 5) / 10 * 100);
    if (acc >= 2)
        return qint32(cs * 10);
    return qint32(cs / 100 * 1000);
}

#include "CarVerdict.h"

#include <QLocale>
#include <QStringList>

QString TCarVerdict::StatusText(Status status)
{
    switch (status) {
    case Status::NotStarted:
        return QStringLiteral("DNS");
    case Status::Retired:
        return QStringLiteral("DNF");
    case Status::Disqualified:
        return QStringLiteral("DSQ");
    case Status::Running:
        break;
    }
    return QString();
}

TCarVerdict::Status TCarVerdict::StatusFromText(const QString &text)
{
    for (const Status status : {Status::NotStarted, Status::Retired, Status::Disqualified}) {
        if (text == StatusText(status))
            return status;
    }
    return Status::Running;
}

QString TCarVerdict::Describe() const
{
    QStringList parts;
    switch (status) {
    case Status::NotStarted:
        parts << QStringLiteral("nicht gestartet (DNS)");
        break;
    case Status::Retired:
        parts << QStringLiteral("ausgefallen (DNF) nach Runde %1").arg(fromLap);
        break;
    case Status::Disqualified:
        parts << QStringLiteral("disqualifiziert (DSQ)");
        break;
    case Status::Running:
        break;
    }
    if (penaltyMs > 0)
        parts << QStringLiteral("%1 s Zeitstrafe").arg(QLocale().toString(penaltyMs / 1000.0));
    if (lapsOff > 0)
        parts << (lapsOff == 1 ? QStringLiteral("1 Runde abgezogen")
                               : QStringLiteral("%1 Runden abgezogen").arg(lapsOff));
    return parts.isEmpty() ? QStringLiteral("ohne Strafe gewertet")
                           : parts.join(QStringLiteral(", "));
}

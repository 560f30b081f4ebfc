#include "BoardTexts.h"

QString RaceProgressText(TLiveState state, int lapsToGo)
{
    switch (state) {
    case TLiveState::lsEnded:
        return QStringLiteral("Endergebnis");
    case TLiveState::lsStopped:
        return QStringLiteral("Angehalten");
    case TLiveState::lsReady:
        if (lapsToGo == 1)
            return QStringLiteral("Bereit – 1 Runde");
        if (lapsToGo > 1)
            return QStringLiteral("Bereit – %1 Runden").arg(lapsToGo);
        return QStringLiteral("Bereit");
    case TLiveState::lsRunning:
        break;
    }
    if (lapsToGo > 1)
        return QStringLiteral("Noch %1 Runden").arg(lapsToGo);
    if (lapsToGo == 1)
        return QStringLiteral("Letzte Runde");
    return QStringLiteral("Ziel");
}

QString HeatProgressText(const QString &heat, const QString &progress)
{
    return heat.isEmpty() ? progress : heat + QStringLiteral(" – ") + progress;
}

QString PositionText(int position)
{
    return position > 0 ? QStringLiteral("%1.").arg(position) : QStringLiteral("–");
}

QString PlaceText(int position, const QString &status)
{
    return status.isEmpty() ? PositionText(position) : status;
}

QString NumberText(const QString &startNumber, int car)
{
    return startNumber.trimmed().isEmpty() ? QStringLiteral("F%1").arg(car) : startNumber;
}

QString GapText(int lapsBehind, const QString &gap)
{
    if (lapsBehind == 1)
        return QStringLiteral("+1 Runde");
    if (lapsBehind > 1)
        return QStringLiteral("+%1 Runden").arg(lapsBehind);
    return gap;
}

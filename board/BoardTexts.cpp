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

QString PositionText(int position)
{
    return position > 0 ? QStringLiteral("%1.").arg(position) : QStringLiteral("–");
}

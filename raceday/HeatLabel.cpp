#include "RaceDayOutcome.h"

QString HeatLabel(const TRaceDay &day, int heatId)
{
    const TRound *round = day.roundOfHeat(heatId);
    if (!round)
        return QString();
    int position = 0; // of the heat within its round
    while (round->heats.at(position).id != heatId)
        ++position;
    QStringList parts;
    if (day.classes().size() > 1 && !round->className.isEmpty())
        parts << QStringLiteral("Klasse %1").arg(round->className);
    if (round->kind == TRoundKind::Qualifying) {
        parts << QStringLiteral("Vorlauf %1").arg(round->number)
              << QStringLiteral("Lauf %1").arg(position + 1);
    } else {
        parts << QStringLiteral("%1-Finale").arg(QChar(u'A' + position));
    }
    return parts.join(QStringLiteral(" · "));
}

#include "RaceDaySchedule.h"

#include "RaceDayOutcome.h"

#include <algorithm>

QList<int> HeatsInRunningOrder(const TRaceDay &day)
{
    QList<int> order;
    for (const TRound &round : day.rounds) {
        QList<int> heats;
        for (const THeat &heat : round.heats)
            heats.append(heat.id);
        if (round.kind == TRoundKind::Final)
            std::reverse(heats.begin(), heats.end());
        order.append(heats);
    }
    return order;
}

QList<TLiveHeat> DaySchedule(const TRaceDay &day, int runningHeatId)
{
    QList<TLiveHeat> schedule;
    for (const int id : HeatsInRunningOrder(day)) {
        const THeat *heat = day.heat(id);
        const QString state = id == runningHeatId ? QStringLiteral("läuft")
                              : heat->raceId != 0 ? QStringLiteral("fertig")
                                                  : QStringLiteral("offen");
        schedule.append({HeatLabel(day, id), state});
    }
    return schedule;
}

int NextHeat(const TRaceDay &day, int currentHeatId)
{
    const QList<int> order = HeatsInRunningOrder(day);
    const qsizetype from = currentHeatId == 0 ? 0 : order.indexOf(currentHeatId) + 1;
    for (qsizetype i = qMax<qsizetype>(0, from); i < order.size(); ++i) {
        if (order[i] != currentHeatId && day.heat(order[i])->raceId == 0)
            return order[i];
    }
    return 0;
}

#include "HeatsAcrossStations.h"

#include "PlanDocuments.h"

#include <QMap>

QString THeatConflict::text() const
{
    QStringList names;
    for (const THeatCandidate &c : candidates)
        names << QStringLiteral("Station %1")
                     .arg(c.stationLabel.isEmpty() ? c.station.left(8) : c.stationLabel);
    return QStringLiteral("Lauf doppelt gezeitet: %1 – bitte wählen")
        .arg(names.join(QStringLiteral(" und ")));
}

TDayAcrossStations HeatsAcrossStations(const TRaceDay &day, const QString &ownStation,
                                       const QList<TServerHeatRace> &server,
                                       const QList<THeatChoice> &choices)
{
    TDayAcrossStations across;
    across.day = day;
    const QString origin = PlanDocuments::dayOrigin(day, ownStation);
    QString ownLabel;
    // Per heat, per other station, its latest race.
    QHash<int, QMap<QString, const TServerHeatRace *>> others;
    for (const TServerHeatRace &race : server) {
        if (race.dayOrigin != origin)
            continue;
        if (race.station == ownStation) {
            ownLabel = race.stationLabel;
            continue;
        }
        const TServerHeatRace *&latest = others[race.heatId][race.station];
        if (!latest ||
            std::pair(race.startedMs, race.raceId) > std::pair(latest->startedMs, latest->raceId))
            latest = &race;
    }
    qint64 nextRemote = -1;
    for (TRound &round : across.day.rounds) {
        for (THeat &heat : round.heats) {
            QList<THeatCandidate> candidates;
            if (heat.raceId > 0)
                candidates.append({ownStation, ownLabel, heat.raceId});
            for (const TServerHeatRace *race : others.value(heat.id))
                candidates.append({race->station, race->stationLabel, race->raceId});
            heat.raceId = 0;
            if (candidates.isEmpty())
                continue;
            const THeatCandidate *counts = candidates.size() == 1 ? &candidates.first() : nullptr;
            if (candidates.size() > 1) {
                THeatConflict conflict;
                conflict.heatId = heat.id;
                conflict.candidates = candidates;
                for (const THeatChoice &choice : choices) {
                    if (choice.heatId != heat.id)
                        continue;
                    for (const THeatCandidate &c : candidates) {
                        if (c.station == choice.station && c.raceId == choice.raceId)
                            counts = &c;
                    }
                }
                conflict.chosen = counts != nullptr;
                if (counts)
                    conflict.choice = *counts;
                across.conflicts.append(conflict);
            }
            if (!counts)
                continue; // not merged: the heat waits for the operator's choice
            if (counts->station == ownStation) {
                heat.raceId = counts->raceId;
                continue;
            }
            for (const TServerHeatRace *race : others.value(heat.id)) {
                if (race->station == counts->station) {
                    heat.raceId = nextRemote;
                    across.remote.insert(nextRemote--, race->events);
                }
            }
        }
    }
    return across;
}

TRaceDayOutcome ComputeDayAcrossStations(const TDayAcrossStations &across, TRaceDayStore &store,
                                         int acc)
{
    return ComputeRaceDay(
        across.day,
        [&across, &store](qint64 id) {
            return id > 0 ? store.raceEvents(id) : across.remote.value(id);
        },
        acc);
}

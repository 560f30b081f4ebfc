#pragma once

#include "RaceDay.h"
#include "RaceEvent.h"

#include <functional>
#include <optional>
#include <utility>

// The results of a race day, worked out from the plan and the journal races of its heats.

// One class of the day: its qualifying heats' results, its qualifying order, its finals'
// results and its result with points.
struct TClassOutcome
{
    QString className;
    // Per qualifying round (in round order), per heat, the heat's results; a heat not yet
    // timed has none.
    QList<QList<THeatResults>> qualifyingHeats;
    QList<TQualifyPlace> qualifying;
    // The finals as seeded now (A first): the drivers in key order, bump-up places filled
    // where the lower final has been run.
    QList<QList<int>> finalsSeeded;
    // Per final (A first), its results; empty for a final not yet timed.
    QList<THeatResults> finals;
    // Complete once every final has been timed; until then empty.
    QList<TClassPlace> result;
    // When the fastest-lap bonus was decided by who ran it first: the drivers of the A final
    // whose fastest lap shows the same time, the one who ran it first (and has the bonus)
    // first; else empty.
    QList<int> fastestLapTie;
};

struct TRaceDayOutcome
{
    QList<TClassOutcome> classes; // in the order of TRaceDay::classes()
    const TClassOutcome *ofClass(const QString &className) const;
};

// The events of a journal race by its id (empty when there is no such race).
using TRaceEventsOf = std::function<QList<TRaceEvent>(qint64 raceId)>;

// A heat's results from its race's events; entrantIds are the heat's drivers in key order
// (the first on F1). Drivers of cars without a lap stand last. acc is the digits after the
// seconds the race shows (see FormatTime): a best lap is set when it first shows its time.
THeatResults HeatResultsFromEvents(const QList<TRaceEvent> &events,
                                   const QList<int> &entrantIdsInKeyOrder, int acc);

// Everything the day's results show, from the plan and the heats' races; best laps are compared
// as shown with acc digits after the seconds.
TRaceDayOutcome ComputeRaceDay(const TRaceDay &day, const TRaceEventsOf &events, int acc);

// One class's results of the days of a season, for SeasonTable; a day without that class is
// left out.
QList<TSeasonDay> SeasonDays(const QList<std::pair<TRaceDay, TRaceDayOutcome>> &days,
                             const QString &className);

// The START event of a heat's race names the day and the heat, so the journal links them
// without a write of its own at START.
void LinkStartToHeat(TRaceEvent &start, qint64 dayId, int heatId);
std::optional<std::pair<qint64, int>> HeatOfStart(const TRaceEvent &start);

// "Klasse A · Vorlauf 1 · Lauf 2" or "Klasse A · A-Finale"; the class is left out on a day
// with one class.
QString HeatLabel(const TRaceDay &day, int heatId);

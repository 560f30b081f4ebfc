#include "RaceDayOutcome.h"

// A day counts for the season once its class has a result (every final timed); a day still
// under way, or without the class, is left out.
QList<TSeasonDay> SeasonDays(const QList<std::pair<TRaceDay, TRaceDayOutcome>> &days,
                             const QString &className)
{
    QList<TSeasonDay> seasonDays;
    for (const auto &[day, outcome] : days) {
        const TClassOutcome *ofClass = outcome.ofClass(className);
        if (!ofClass || ofClass->result.isEmpty())
            continue;
        TSeasonDay seasonDay;
        seasonDay.dayName = day.name;
        seasonDay.date = day.date;
        for (const TClassPlace &p : ofClass->result) {
            const TEntrant *entrant = day.entrant(p.entrantId);
            TSeasonEntry entry;
            if (entrant)
                entry.who = {entrant->number, entrant->driver};
            entry.place = p.status.isEmpty() ? p.place : 0;
            entry.points = p.points;
            seasonDay.entries.append(entry);
        }
        seasonDays.append(seasonDay);
    }
    return seasonDays;
}

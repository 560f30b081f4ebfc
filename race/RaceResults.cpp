#include "RaceResults.h"

#include "RaceTiming.h"

TResultsSnapshot RaceResults(const TRaceTiming &race, const TStandingsTable &standings,
                             const TResultsHeader &header)
{
    TResultsSnapshot s;
    s.appTitle = header.appTitle;
    s.title = header.title;
    s.mode = header.mode;
    s.raceLaps = race.RaceLaps;
    // Under the chequered flag the leader's laps are the race's; the laps field cannot tell
    // them once a timed race runs past its laps.
    s.leaderLaps = race.FinishRule != TRaceTiming::TFinishRule::AllLaps
                       ? int(race.LapTable[0].Count)
                       : qBound(0, race.RaceLaps - header.lapsField, int(race.LapTable[0].Count));
    s.flagFallen = race.FlagFallen();
    s.lapLength = header.lapLength;
    s.acc = race.Acc;
    s.date = QDate::currentDate();

    s.rows = RaceResultRows(race, standings, header.carCount);
    return s;
}

QList<TResultsRow> RaceResultRows(const TRaceTiming &race, const TStandingsTable &standings,
                                  int carCount)
{
    const int cars = qBound(0, carCount, kMaxCars);
    QList<TResultsRow> rows;
    rows.reserve(cars);
    for (int row = 1; row <= cars; ++row) {
        TResultsRow r;
        // A row the standings do not show has no texts, as a grid has no cells there.
        const bool shown = row < standings.RowCount();
        r.startNo = shown ? standings.Cell(TRaceTiming::colNr, row) : QString();
        r.driver = shown ? standings.Cell(TRaceTiming::colFahrer, row) : QString();
        const int car = standings.CarOfRow(row);
        if (car >= 1 && car <= kMaxCars) {
            const TLapRecord &laps = race.LapTable[car];
            const int count = qBound(0, int(laps.Count), kMaxLaps);
            r.car = car;
            r.best = laps.Best;
            r.laps = QList<qint32>(laps.Slot + 1, laps.Slot + 1 + count);
            const qint32 *cross = race.CrossTable[car].Slot;
            r.cross = QList<qint32>(cross + 1, cross + 1 + count);
            const TCarVerdict &verdict = race.Verdicts[car];
            r.status = TCarVerdict::StatusText(verdict.status);
            r.penaltyMs = verdict.penaltyMs;
            r.lapsOff = verdict.lapsOff;
        }
        rows << r;
    }
    return rows;
}

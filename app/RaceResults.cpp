#include "RaceResults.h"

#include "RaceTiming.h"

TResultsSnapshot RaceResults(const TRaceTiming &race, const TResultsHeader &header,
                             const TCellText &cell)
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
    s.lapLength = header.lapLength;
    s.acc = race.Acc;
    s.date = QDate::currentDate();

    const int cars = qBound(0, header.carCount, kMaxCars);
    s.rows.reserve(cars);
    for (int row = 1; row <= cars; ++row) {
        TResultsRow r;
        r.startNo = cell(TRaceTiming::colNr, row);
        r.driver = cell(TRaceTiming::colFahrer, row);
        const int car = race.RowCar[row];
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
        s.rows << r;
    }
    return s;
}

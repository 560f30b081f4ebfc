#include "PassReplay.h"

#include <utility>

namespace {

void replayPasses(TRaceTiming &race, const QList<TRaceCorrections::TPass> &passes)
{
    TStandingsTable *table = race.Table();
    const int cars = race.CarCount();
    // The pass that records each car's last lap: a row shows what its last lap wrote, and the
    // positions and the order of the rows follow from the tables at that moment. Passes after a
    // car's race distance record nothing.
    int recorded[kMaxCars + 1] = {};
    int finalPass[kMaxCars + 1];
    std::fill(std::begin(finalPass), std::end(finalPass), -1);
    if (race.FinishRule != TRaceTiming::TFinishRule::AllLaps) {
        // Under the chequered flag which crossing is a car's last lap depends on the others:
        // a dry run on a copy of the tables tells.
        TRaceTiming dry = race;
        dry.SetTable(nullptr);
        dry.OnLeaderLap = nullptr;
        for (int i = 0; i < passes.size(); ++i) {
            const int car = passes[i].car;
            if (car < 1 || car > cars)
                continue;
            const qint32 before = dry.LapTable[car].Count;
            dry.ApplyPress(car, dry.StartTick + passes[i].raceMs, passes[i].forBest);
            if (dry.LapTable[car].Count > before)
                finalPass[car] = i;
        }
    }
    for (int i = 0; i < passes.size() && race.FinishRule == TRaceTiming::TFinishRule::AllLaps;
         ++i) {
        const int car = passes[i].car;
        if (car < 1 || car > cars)
            continue;
        if (recorded[car] < race.RaceLaps - race.LapTable[car].Count) {
            ++recorded[car];
            finalPass[car] = i;
        }
    }
    if (!table) {
        for (const TRaceCorrections::TPass &pass : passes)
            race.ApplyPress(pass.car, race.StartTick + pass.raceMs, pass.forBest);
        return;
    }
    race.SetTable(nullptr);
    for (int i = 0; i < passes.size(); ++i) {
        const int car = passes[i].car;
        const bool last = car >= 1 && car <= cars && finalPass[car] == i;
        if (last) {
            race.SetTable(table);
            // The previous lap's text moves to "V.Runde" as it would have moved live.
            const TLapRecord &record = race.LapTable[car];
            if (const int row = race.RowOfCar(car); row != 0 && record.Count > 0) {
                race.TimeMode = 5;
                table->SetCell(TRaceTiming::colLastLap, row,
                               race.FormatTime(record.Slot[record.Count]));
            }
        }
        race.ApplyPress(car, race.StartTick + passes[i].raceMs, passes[i].forBest);
        if (last)
            race.SetTable(nullptr);
    }
    race.SetTable(table);
}

} // namespace

void ApplyPasses(TRaceTiming &race, const QList<TRaceCorrections::TPass> &passes)
{
    // The tables alone need no ranking after each lap, and the window's laps field only the
    // leader's last count: both follow once at the end.
    const auto onLeaderLap = std::exchange(race.OnLeaderLap, nullptr);
    race.DeferRanking = true;
    replayPasses(race, passes);
    race.DeferRanking = false;
    race.BuildRanking();
    race.OnLeaderLap = onLeaderLap;
    if (onLeaderLap && race.LapTable[0].Count > 0)
        onLeaderLap(race, qMax(0, race.RaceLaps - race.LapTable[0].Count));
}

#pragma once

#include "CarVerdict.h"
#include "RaceTables.h"
#include "StandingsTable.h"
#include "TickCounter.h"

#include <QString>
#include <functional>

// The race in progress: the race tables, lap recording, the ranking of the cars and the texts of
// their standings rows. It knows no window: the race session owns one instance, gives it the
// standings table to write and the tick counter, and calls it; tests drive it with a clock they
// set by hand.
//
// Who writes what: StartRace and RecordLap (through FClick) write the tables; ReleaseKeyLocks
// frees the lap keys. Everybody else (the race clock, the cell colours, the exports) only reads
// the public tables below. No memory is allocated for the tables during a race: they are fixed
// in size and live as long as the instance.
class TRaceTiming
{
public:
    // Columns of the standings (see TStandingsTable).
    using TStandingsColumn = TStandingsTable::TColumn;
    static constexpr TStandingsColumn colPos = TStandingsTable::colPos;
    static constexpr TStandingsColumn colKey = TStandingsTable::colKey;
    static constexpr TStandingsColumn colNr = TStandingsTable::colNr;
    static constexpr TStandingsColumn colFahrer = TStandingsTable::colFahrer;
    static constexpr TStandingsColumn colLaps = TStandingsTable::colLaps;
    static constexpr TStandingsColumn colZeit = TStandingsTable::colZeit;
    static constexpr TStandingsColumn colLastLap = TStandingsTable::colLastLap;
    static constexpr TStandingsColumn colPrevLap = TStandingsTable::colPrevLap;
    static constexpr TStandingsColumn colBestLap = TStandingsTable::colBestLap;
    static constexpr TStandingsColumn colToLeader = TStandingsTable::colToLeader;
    static constexpr TStandingsColumn colToAhead = TStandingsTable::colToAhead;
    static constexpr TStandingsColumn colSpeed = TStandingsTable::colSpeed;
    static constexpr int kStandingsColumns = TStandingsTable::kColumns;

    // Milliseconds a lap key stays locked after an accepted press (against double presses).
    static constexpr quint32 kKeyLockMs = 1000;
    // The step of the timer that frees locked keys (ReleaseKeyLocks): a key may stay locked up
    // to this much longer than kKeyLockMs.
    static constexpr quint32 kKeyReleaseStepMs = 450;
    // An empty entry of Ranking: car 0, every value bit set.
    static constexpr quint32 kEmptyRanking = 0x0FFFFFFF;
    // Averages that do not fit the 28 value bits of a ranking word rank as this value.
    static constexpr quint32 kMaxRankedAverage = 0x0FFFFFFF;
    // LastCross of every car after a stop.
    static constexpr quint32 kNotSeen = 0xFFFFFFFF;
    // The "Vor" text of the car in the top row, whatever Acc is.
    static inline const QString kTopRowGap = QStringLiteral("0:00.0");

    // table: the standings texts (kept, not owned, may be null or set later with SetTable);
    // ticks: the millisecond counter that stamps every press (kept, not owned).
    TRaceTiming(TStandingsTable *table, const TTickCounter &ticks);

    TStandingsTable *Table() const { return FTable; }
    void SetTable(TStandingsTable *table) { FTable = table; }

    // ---- The race tables (read them freely; only this class writes them) ----
    TLapRecord LapTable[kMaxCars + 1];     // [0] leader record, [1..12] the cars
    TCrossRecord CrossTable[kMaxCars + 1]; // [1..12]; [0] unused
    quint32 StartTick = 0;                 // tick stamp of START; race times count from it
    quint32 KeyLock[kMaxCars + 1];   // [car] = stamp of the accepted press that locked the key
    quint32 LastCross[kMaxCars + 1]; // [car] = stamp of the last accepted press; StartTick after
                                     // START; kNotSeen after StopRace
    // Laps of the race, fixed by StartRace. While no race runs the window keeps it equal to the
    // laps field (and saves it as a setting); during a race the field shows the leader's
    // remaining laps instead.
    qint32 RaceLaps = 5;
    // Ranked cars, best first: car * 2^28 + average lap in ms; kEmptyRanking for unused entries.
    quint32 Ranking[kMaxCars];

    // ---- Time texts ----
    qint32 Acc = 1;      // digits after the seconds: 0, 1 (tenths), 2 or more (hundredths)
    qint32 TimeMode = 5; // fields written, 5 (m:ss) to 9 (hh:mm:ss); set it before formatting
    // Ms as text in the current Acc and TimeMode (see exchange/FormatTime.h).
    QString FormatTime(qint32 Ms) const;

    // Raised while many crossings are replayed without the standings: RankCars then leaves the
    // ranking alone, and whoever raised it calls BuildRanking once at the end.
    bool DeferRanking = false;

    // ---- Race control ----
    // START: takes StartTick, frees the lap keys of cars 1 to carCount, zeroes LapTable,
    // CrossTable and KeyLock, writes "F1" ... "Fn" into the "Key" texts of standings rows 1 to n
    // (each row keeps its start number and driver), maps car n to row n, and starts
    // every car's first lap at StartTick. raceLaps becomes RaceLaps; lapLengthKm is the lap
    // length for the speed. Counts outside 1..kMaxCars and 1..kMaxLaps are clamped.
    void StartRace(int carCount, qint32 raceLaps, double lapLengthKm);
    // The same START at a given tick stamp (a race rebuilt from its recorded events).
    void StartRaceAt(int carCount, qint32 raceLaps, double lapLengthKm, quint32 startTick);
    // Stop by the operator: sets every LastCross to kNotSeen, as the cell colouring expects
    // after a stop. The tables keep their contents for the exports.
    void StopRace();
    // Number of cars prepared by the last StartRace (12 before the first).
    int CarCount() const { return FCarCount; }
    double LapLength() const { return FLapLengthKm; }

    // A lap key press for car n (the key's Tag) while the race is or is not running. Accepted
    // only while running, for a car prepared at START that has a standings row and whose key is not
    // locked; then the key is locked, KeyLock[n] and LastCross[n] take the press's stamp and
    // RecordLap runs (which records nothing for a car that has completed the race distance).
    // Returns whether the press was accepted, so the window can disable the key's menu item.
    bool FClick(int n, bool running);
    // The same press stamped when its key event arrived (stamp) rather than now.
    bool FClick(int n, bool running, quint32 stamp);
    // Whether a press of car n's key would be accepted now.
    bool AcceptsPress(int n, bool running) const;
    // An accepted press of car n at stamp: locks the key, stamps LastCross and records the lap.
    // The one way a press changes the race, live or rebuilt from the recorded events. A stamp
    // before the start of the car's running lap counts as that start. forBest: the lap may be
    // the car's best (not when it borders a crossing recorded late).
    void ApplyPress(int n, quint32 stamp, bool forBest = true);
    // Whether car n's lap key is locked (its menu item is disabled).
    bool KeyLocked(int n) const;
    // The key lock release of the 450 ms timer: frees every key of cars 1 to CarCount locked
    // for at least kKeyLockMs by the counter's reading (or by now). Returns whether any key was
    // freed.
    bool ReleaseKeyLocks();
    bool ReleaseKeyLocks(quint32 now);

    // Records one lap for car 1 to CarCount at the counter's present reading, ranks the cars and
    // refreshes the car's row. Does nothing once the car has completed RaceLaps laps.
    void RecordLap(int car);
    void RecordLap(int car, quint32 stamp, bool forBest = true);
    // Called with the laps the leader still has to run, whenever a car becomes the first to
    // complete a lap (the window shows it in the laps field); called once the lap is in the
    // tables and the standings. Empty when unassigned.
    std::function<void(TRaceTiming &Sender, qint32 RemainingLaps)> OnLeaderLap;

    // ---- Reading the race ----
    // How a race ends. AllLaps: every car runs RaceLaps laps. The others wave the chequered flag:
    // once it has fallen every car finishes at its next crossing. It falls when the leader
    // completes RaceLaps laps (FlagAfterLaps), at the leader's first crossing once the race has
    // run TimeLimitMs ("Zeit + 1 Runde", FlagAfterTime), or at whichever comes first.
    enum class TFinishRule { AllLaps, FlagAfterLaps, FlagAfterTime, FlagAfterLapsOrTime };
    TFinishRule FinishRule = TFinishRule::AllLaps;
    qint64 TimeLimitMs = 0;
    // Whether the chequered flag has fallen (never under AllLaps).
    bool FlagFallen() const { return FFlagFallen; }

    // The race control's verdict on each car (DNS, DNF, DSQ, penalty, laps off); StartRaceAt
    // clears them, the window sets them from its corrections before the crossings are applied.
    TCarVerdict Verdicts[kMaxCars + 1];

    // Whether car has run its race: completed RaceLaps laps, or crossed the line once the flag
    // fell. It records no more laps.
    bool LapsComplete(int car) const
    {
        return FinishRule == TFinishRule::AllLaps ? LapTable[car].Count >= RaceLaps
                                                  : FFinished[car];
    }
    // Whether car is no longer awaited at the line: its laps are complete, or a verdict took it
    // out of the race (DNS, DNF, DSQ).
    bool Finished(int car) const { return Verdicts[car].IsOut() || LapsComplete(car); }
    // The most laps a car can record: RaceLaps, unless only the race time ends the race.
    qint32 LapLimit() const
    {
        return FinishRule == TFinishRule::FlagAfterTime ? kMaxLaps : RaceLaps;
    }
    // Duration of the car's running lap at tick stamp now (for the "Zeit" column).
    qint32 RunningLapMs(int car, quint32 now) const;

    // ---- Ranking and standings ----
    // Orders cars 1 to CarCount (more laps first, then the smaller average lap, then the lower
    // car number), writes their positions, sorts the standings rows by position and maps the
    // cars to their rows again.
    void RankCars();
    // Fills Ranking from the tables only (the first step of RankCars).
    void BuildRanking();
    // Empties the first CarCount ranking entries (reset after a race).
    void ClearRanking();
    // Maps the cars to the rows whose "Key" texts name them: call it after anything that moves
    // or relabels rows.
    void RebuildMaps();
    // The standings row of a prepared car, or 0 when the car has no row.
    int RowOfCar(int car) const;
    // The prepared car in standings row 1 to 12, or 0.
    int CarOfRow(int row) const;

private:
    void refreshRow(int car, qint32 lap, quint32 now);
    int rowCount() const;

    TStandingsTable *FTable;
    const TTickCounter &FTicks;
    int FCarCount = kMaxCars;
    double FLapLengthKm = 15.0;
    bool FKeyLocked[kMaxCars + 1] = {};
    bool FFlagFallen = false;
    bool FFinished[kMaxCars + 1] = {};
};

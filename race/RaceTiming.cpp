#include "RaceTiming.h"

#include "FormatTime.h"

#include <QLocale>
#include <cstring>

namespace {

constexpr int kCarShift = 28; // a ranking word: car in bits 28 to 31, average lap in 0 to 27
constexpr quint32 kAverageMask = (1u << kCarShift) - 1;
constexpr double kMsPerHour = 3600.0 * 1000.0;
constexpr quint32 kMaxStampBehindMs = 60 * 1000;

int carOf(quint32 word)
{
    return int(word >> kCarShift);
}
quint32 averageOf(quint32 word)
{
    return word & kAverageMask;
}

// Stamps live in the tables as 32-bit words; durations are their differences modulo 2^32.
qint32 stampWord(quint32 stamp)
{
    return qint32(stamp);
}
quint32 since(quint32 now, qint32 stampWordValue)
{
    return now - quint32(stampWordValue);
}

} // namespace

TRaceTiming::TRaceTiming(TStandingsTable *table, const TTickCounter &ticks)
    : FTable(table), FTicks(ticks)
{
    std::memset(LapTable, 0, sizeof LapTable);
    std::memset(CrossTable, 0, sizeof CrossTable);
    std::memset(KeyLock, 0, sizeof KeyLock);
    FFlagFallen = false;
    std::fill(std::begin(FFinished), std::end(FFinished), false);
    std::fill(std::begin(Verdicts), std::end(Verdicts), TCarVerdict());
    std::memset(LastCross, 0, sizeof LastCross);
    for (quint32 &entry : Ranking)
        entry = kEmptyRanking;
}

QString TRaceTiming::FormatTime(qint32 Ms) const
{
    return ::FormatTime(Ms, Acc, TimeMode);
}

void TRaceTiming::StartRace(int carCount, qint32 raceLaps, double lapLengthKm)
{
    StartRaceAt(carCount, raceLaps, lapLengthKm, FTicks.GetTickCount());
}

void TRaceTiming::StartRaceAt(int carCount, qint32 raceLaps, double lapLengthKm, quint32 startTick)
{
    StartTick = startTick;
    FCarCount = qBound(1, carCount, kMaxCars);
    for (int car = 1; car <= FCarCount; ++car)
        FKeyLocked[car] = false;
    std::memset(LapTable, 0, sizeof LapTable);
    std::memset(CrossTable, 0, sizeof CrossTable);
    std::memset(KeyLock, 0, sizeof KeyLock);
    FFlagFallen = false;
    std::fill(std::begin(FFinished), std::end(FFinished), false);
    std::fill(std::begin(Verdicts), std::end(Verdicts), TCarVerdict());
    // Rows are relabelled by position, so each row keeps its start number and driver and the
    // cars are keyed in the order of the last standings.
    for (int row = 1; row <= FCarCount; ++row) {
        if (FTable && row < rowCount())
            FTable->SetCell(colKey, row, TStandingsTable::KeyText(row));
    }
    RebuildMaps();
    for (int car = 1; car <= FCarCount; ++car) {
        LastCross[car] = StartTick;
        LapTable[car].Slot[1] = stampWord(StartTick);
        LapTable[car].Best = kNoBestLap;
    }
    RaceLaps = qBound(1, raceLaps, kMaxLaps);
    FLapLengthKm = lapLengthKm;
}

void TRaceTiming::StopRace()
{
    for (quint32 &seen : LastCross)
        seen = kNotSeen;
}

bool TRaceTiming::FClick(int n, bool running)
{
    return FClick(n, running, FTicks.GetTickCount());
}

bool TRaceTiming::FClick(int n, bool running, quint32 stamp)
{
    if (!AcceptsPress(n, running))
        return false;
    ApplyPress(n, stamp);
    return true;
}

bool TRaceTiming::AcceptsPress(int n, bool running) const
{
    return running && RowOfCar(n) != 0 && !FKeyLocked[n];
}

void TRaceTiming::ApplyPress(int n, quint32 stamp, bool forBest)
{
    if (n < 1 || n > FCarCount)
        return;
    // A stamp taken from the key event's own time can lie a moment before the running lap's
    // start (a press of the same moment); stamps are compared modulo 2^32, so only a short way
    // back counts as before: a lap of more than 2^31 ms is still a lap.
    const TLapRecord &record = LapTable[n];
    const auto lapStart = quint32(record.Slot[qMin(record.Count + 1, kMaxLaps + 1)]);
    if (const quint32 behind = lapStart - stamp; behind != 0 && behind <= kMaxStampBehindMs)
        stamp = lapStart;
    FKeyLocked[n] = true;
    KeyLock[n] = stamp;
    LastCross[n] = stamp;
    RecordLap(n, stamp, forBest);
}

bool TRaceTiming::KeyLocked(int n) const
{
    return n >= 1 && n <= kMaxCars && FKeyLocked[n];
}

bool TRaceTiming::ReleaseKeyLocks()
{
    return ReleaseKeyLocks(FTicks.GetTickCount());
}

bool TRaceTiming::ReleaseKeyLocks(quint32 now)
{
    bool released = false;
    for (int car = 1; car <= FCarCount; ++car) {
        // The lock flag, not the stamp, says whether the key is locked: a press stamped exactly
        // at tick 0 (the counter's wrap) still locks and is released.
        if (FKeyLocked[car] && now - KeyLock[car] >= kKeyLockMs) {
            FKeyLocked[car] = false;
            KeyLock[car] = 0;
            released = true;
        }
    }
    return released;
}

void TRaceTiming::RecordLap(int car)
{
    RecordLap(car, FTicks.GetTickCount());
}

void TRaceTiming::RecordLap(int car, quint32 now, bool forBest)
{
    if (car < 1 || car > FCarCount)
        return;
    TLapRecord &record = LapTable[car];
    // A car that did not start records nothing, a retired one nothing after its last lap; a
    // disqualified one goes on being timed.
    const TCarVerdict &verdict = Verdicts[car];
    if (LapsComplete(car) || record.Count >= LapLimit() || record.Count >= kMaxLaps ||
        verdict.status == TCarVerdict::Status::NotStarted ||
        (verdict.status == TCarVerdict::Status::Retired && record.Count >= verdict.fromLap))
        return;

    const qint32 k = record.Count + 1;
    record.Count = k;
    TLapRecord &leader = LapTable[0];
    const bool newLeaderLap = k > leader.Count;
    if (newLeaderLap) {
        leader.Count = k;
        leader.Slot[k] = stampWord(now);
    }
    record.Slot[k] = qint32(since(now, record.Slot[k]));
    CrossTable[car].Slot[k] = qint32(now - StartTick);
    if (forBest && record.Slot[k] < record.Best)
        record.Best = record.Slot[k];
    record.Slot[k + 1] = stampWord(now);
    if (FinishRule != TFinishRule::AllLaps) {
        const bool byLaps = FinishRule != TFinishRule::FlagAfterTime && k >= RaceLaps;
        const bool byTime = FinishRule != TFinishRule::FlagAfterLaps && newLeaderLap &&
                            qint64(quint32(now - StartTick)) >= TimeLimitMs;
        if (byLaps || byTime)
            FFlagFallen = true;
        FFinished[car] = FFlagFallen;
    }

    RankCars();
    refreshRow(car, k, now);
    // Told last, so a handler sees the lap in the tables and in the standings.
    if (newLeaderLap && OnLeaderLap)
        OnLeaderLap(*this, qMax(0, RaceLaps - k));
}

qint32 TRaceTiming::RunningLapMs(int car, quint32 now) const
{
    const TLapRecord &record = LapTable[car];
    return qint32(since(now, record.Slot[record.Count + 1]));
}

void TRaceTiming::BuildRanking()
{
    const int n = FCarCount;
    for (int i = 0; i < n; ++i)
        Ranking[i] = kEmptyRanking;

    // Classified by laps (less those taken off), then by the race time at the last of them plus
    // any penalty; cars out of the race (DNF) after those in it, disqualified ones last. A car
    // that did not start is not classified.
    qint32 laps[kMaxCars + 1] = {};
    int group[kMaxCars + 1] = {};
    for (int car = 1; car <= n; ++car) {
        laps[car] = qMax(0, LapTable[car].Count - Verdicts[car].lapsOff);
        group[car] = Verdicts[car].status == TCarVerdict::Status::Retired        ? 1
                     : Verdicts[car].status == TCarVerdict::Status::Disqualified ? 2
                                                                                 : 0;
    }
    for (int car = 1; car <= n; ++car) {
        const qint32 cnt = LapTable[car].Count;
        if (cnt <= 0 || Verdicts[car].status == TCarVerdict::Status::NotStarted)
            continue;
        // Read as unsigned so a race time beyond 2^31 ms cannot turn into a negative average
        // that would spill into the car field; too long an average ranks as the longest.
        const quint64 total =
            quint64(quint32(CrossTable[car].Slot[cnt])) + quint64(quint32(Verdicts[car].penaltyMs));
        const quint32 avg =
            laps[car] > 0 ? quint32(qMin<quint64>(total / quint64(laps[car]), kMaxRankedAverage))
                          : kMaxRankedAverage;
        int i = 0;
        for (; i < n; ++i) {
            const int other = carOf(Ranking[i]);
            if (other == 0)
                break;
            if (group[other] != group[car]) {
                if (group[other] > group[car])
                    break;
                continue;
            }
            const qint32 otherCount = laps[other];
            if (otherCount < laps[car] || (otherCount == laps[car] && averageOf(Ranking[i]) > avg))
                break;
        }
        // Only n entries are ever filled, so moving them up loses no ranked car.
        for (int j = n - 1; j > i; --j)
            Ranking[j] = Ranking[j - 1];
        Ranking[i] = (quint32(car) << kCarShift) + avg;
    }
}

void TRaceTiming::ClearRanking()
{
    for (int i = 0; i < FCarCount; ++i)
        Ranking[i] = kEmptyRanking;
}

void TRaceTiming::RankCars()
{
    if (DeferRanking && !FTable)
        return;
    BuildRanking();
    if (!FTable)
        return;

    for (int p = 1; p <= FCarCount; ++p) {
        const int e = carOf(Ranking[p - 1]);
        if (e <= 0 || LapTable[e].Count <= 0 || RowOfCar(e) == 0)
            continue;
        const QString status = TCarVerdict::StatusText(Verdicts[e].status);
        FTable->SetCell(colPos, RowOfCar(e), status.isEmpty() ? QString::number(p) + u'.' : status);
    }
    FTable->SortByPosition();
    RebuildMaps();
}

void TRaceTiming::RebuildMaps()
{
    if (FTable)
        FTable->RebuildMaps(FCarCount);
}

int TRaceTiming::RowOfCar(int car) const
{
    if (car < 1 || car > FCarCount || !FTable)
        return 0;
    return FTable->RowOfCar(car);
}

int TRaceTiming::CarOfRow(int row) const
{
    return FTable ? FTable->CarOfRow(row) : 0;
}

int TRaceTiming::rowCount() const
{
    return FTable ? FTable->RowCount() : 0;
}

void TRaceTiming::refreshRow(int car, qint32 lap, quint32 now)
{
    const int r = RowOfCar(car);
    if (!FTable || r == 0)
        return;
    const TLapRecord &record = LapTable[car];

    FTable->SetCell(colLaps, r, QString::number(lap));
    FTable->SetCell(colPrevLap, r, FTable->Cell(colLastLap, r));
    TimeMode = 5;
    // The lap's own time, not the running time last drawn before the press (up to one tick
    // older): the standings rebuilt from the recorded presses must read exactly the same.
    FTable->SetCell(colLastLap, r, FormatTime(record.Slot[lap]));
    // A car whose every lap borders a crossing recorded late has no best lap yet.
    FTable->SetCell(colBestLap, r, record.Best == kNoBestLap ? QString() : FormatTime(record.Best));
    FTable->SetCell(colToLeader, r, FormatTime(qint32(since(now, LapTable[0].Slot[lap]))));

    const qint32 lapMs = record.Slot[lap];
    QString speed; // a lap of 0 ms has no speed
    if (lapMs > 0) {
        QLocale locale;
        locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
        speed = locale.toString(FLapLengthKm * kMsPerHour / double(lapMs), 'f', 1);
    }
    FTable->SetCell(colSpeed, r, speed);

    if (r == 1) {
        FTable->SetCell(colToAhead, r, kTopRowGap);
    } else {
        const int ahead = TStandingsTable::CarOfKey(FTable->Cell(colKey, r - 1), FCarCount);
        // Race times are tick differences too: subtract them modulo 2^32.
        const qint32 gap =
            ahead ? qint32(since(quint32(CrossTable[car].Slot[lap]), CrossTable[ahead].Slot[lap]))
                  : 0;
        FTable->SetCell(colToAhead, r, FormatTime(gap));
    }
}

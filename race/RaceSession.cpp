#include "RaceSession.h"

#include "ClockText.h"
#include "CorrectionEvents.h"
#include "PassReplay.h"

namespace {

using Kind = TRaceEvent::Kind;
using Col = TStandingsTable::TColumn;

constexpr int kCarShift = 28; // a ranking word: the car in its top four bits
constexpr int kLiveTimeMode = 5;
// Race totals of an hour or more keep their hours: a four-hour race must not read as minutes.
constexpr int kLongTotalTimeMode = 7;
constexpr qint32 kMsPerHour = 3600 * 1000;
constexpr int kFirstListColumn = TStandingsTable::colNr; // sheet column A

int cellNumber(const QString &text)
{
    QString digits = text;
    digits.remove(QLatin1Char('.'));
    return digits.trimmed().toInt();
}

} // namespace

TRaceSession::TRaceSession(const TTickCounter &ticks, QObject *parent)
    : QObject(parent), FTiming(&FTable, ticks)
{
    for (int row = 1; row <= kMaxCars; ++row)
        FTable.SetCell(TStandingsTable::colKey, row, TStandingsTable::KeyText(row));
    FTiming.OnLeaderLap = [this](TRaceTiming &, qint32 lapsToGo) { emit leaderLap(lapsToGo); };
}

TRaceSession::TApplied TRaceSession::Apply(TRaceEvent event)
{
    TApplied applied;
    if (event.kind == Kind::Start) {
        if (event.seq <= 0)
            event.seq = 1;
        applied.event = event;
        applied.recorded = true;
        start(event);
        return applied;
    }
    if (!HasRace()) {
        // Without a race nothing is recorded; a new race only empties the rows.
        if (event.kind == Kind::NewRace)
            ClearStandings(true);
        applied.event = event;
        return applied;
    }
    if (event.seq <= 0)
        event.seq = FNextSeq;
    FNextSeq = qMax(FNextSeq, event.seq + 1);
    FEvents.append(event);
    applied.event = event;
    applied.recorded = true;

    switch (event.kind) {
    case Kind::Press:
        applyPress(applied);
        break;
    case Kind::Stop:
        FStoppedByOperator = true;
        if (!FLoading) {
            writeFinalTimes();
            FTiming.StopRace();
            setState(TState::Stopped);
        }
        break;
    case Kind::Reset:
        reset();
        break;
    case Kind::NewRace:
        ClearStandings(true);
        break;
    case Kind::End:    // the end follows from the crossings; the event tells the archive
    case Kind::Resume: // the start tick it records is the window's to read
        break;
    default:
        if (FLoading ||
            (!CorrectionEvents::IsCorrection(event.kind) && event.kind != Kind::CarVerdict))
            break;
        {
            const qsizetype lines = FCorrections.Log().size();
            FCorrections.Append(event);
            if (FCorrections.Log().size() == lines)
                break; // names nothing that can be changed
            if (event.kind == Kind::StarterEdit) {
                writeStarters();
                ++FVersion;
            } else {
                rebuild(true);
                applied.rebuilt = true;
            }
        }
        break;
    }
    if (!FLoading)
        followEnd();
    return applied;
}

TRaceSession::TApplied TRaceSession::Press(int car, quint32 stamp, qint64 wallMs, bool overLock)
{
    if (FState != TState::Running && FState != TState::Ended)
        return {};
    if (FTiming.RowOfCar(car) == 0)
        return {};
    // After the end no timer frees the keys: a press does.
    if (FState == TState::Ended)
        FTiming.ReleaseKeyLocks();
    const bool locked = !overLock && FTiming.KeyLocked(car);
    // A crossing recorded over the lock is one the operator noticed a moment late.
    return Apply(PressEvent(car, stamp, FStartTick, wallMs, locked, overLock));
}

void TRaceSession::applyPress(TApplied &applied)
{
    if (FLoading)
        return;
    const TRaceEvent &press = applied.event;
    if (FCorrections.Append(press)) {
        rebuild(true);
        applied.rebuilt = true;
    } else if (FCorrections.LastPassAppended()) {
        FTiming.ApplyPress(press.car, FStartTick + PressRaceMs(press),
                           FCorrections.Counted().last().forBest);
        applied.counted = true;
    }
}

void TRaceSession::start(const TRaceEvent &event)
{
    FSetup = TRaceSetup::FromStartEvent(event);
    FStartTick = event.tick;
    FStartWallMs = event.wallMs;
    FWarnTimeMs = ParseWarnTime(FSetup.warnTime);
    FEvents = {event};
    FNextSeq = event.seq + 1;
    FStoppedByOperator = false;
    FCorrections = TRaceCorrections(FSetup.minLapMs);
    setState(TState::Running);
    if (FLoading)
        return;
    FCorrections.Rebuild(FEvents);
    rebuild(false);
}

void TRaceSession::Load(const QList<TRaceEvent> &events, quint32 startTick)
{
    FLoading = true;
    // Once the race was left (reset, a new race), only corrections made later count: a protest
    // decided after the heat. What it showed stays, and they keep their numbers.
    bool left = false;
    for (TRaceEvent event : events) {
        if (event.kind == Kind::Start) {
            if (HasRace())
                break; // a second START belongs to another race
            event.tick = startTick;
        } else if (!HasRace()) {
            continue;
        } else if (event.kind == Kind::Reset || event.kind == Kind::NewRace) {
            left = true;
        }
        if (left && !CorrectionEvents::IsCorrection(event.kind)) {
            FNextSeq = qMax(FNextSeq, event.seq + 1);
            continue;
        }
        Apply(event);
    }
    FLoading = false;
    if (!HasRace())
        return;
    FCorrections.Rebuild(FEvents);
    if (FStoppedByOperator)
        FState = TState::Stopped;
    rebuild(false);
    if (FStoppedByOperator) {
        writeFinalTimes();
        FTiming.StopRace();
    }
    followEnd();
    emit stateChanged(FState);
}

void TRaceSession::ShowStopped()
{
    if (!HasRace())
        return;
    writeFinalTimes();
    FTiming.StopRace();
    FStoppedByOperator = true;
    setState(TState::Stopped);
}

void TRaceSession::reset()
{
    FTiming.ClearRanking();
    ClearStandings(false);
    FEvents.clear();
    FNextSeq = 1;
    FStoppedByOperator = false;
    FCorrections = TRaceCorrections(FCorrections.MinLapMs());
    setState(TState::Ready);
}

void TRaceSession::rebuild(bool clear)
{
    if (clear)
        ClearStandings(false);
    FTable.SetRowCount(int(FCorrections.Starters().size()) + 1);
    FTable.NumberOrigins();
    writeStarters();
    FTiming.FinishRule = TRaceTiming::TFinishRule(qBound(0, FSetup.finishRule, 3));
    FTiming.TimeLimitMs = qint64(FSetup.raceSeconds) * 1000;
    FTiming.StartRaceAt(FSetup.cars, FSetup.laps, FSetup.lapLengthKm, FStartTick);
    for (int car = 1; car <= kMaxCars; ++car)
        FTiming.Verdicts[car] = FCorrections.Verdict(car);
    ApplyPasses(FTiming, FCorrections.Counted());
    // A car that did not start has no lap to rank it by: its row says so.
    for (int car = 1; car <= FTiming.CarCount(); ++car) {
        if (FTiming.Verdicts[car].status == TCarVerdict::Status::NotStarted &&
            FTiming.RowOfCar(car))
            FTable.SetCell(TStandingsTable::colPos, FTiming.RowOfCar(car), QStringLiteral("DNS"));
    }
    // Keys are locked by a recent press only, not by the rebuild.
    FTiming.ReleaseKeyLocks();
    if (FState == TState::Stopped || FState == TState::Ended) {
        FTiming.StopRace();
        writeFinalTimes();
    }
    ++FVersion;
}

void TRaceSession::writeStarters()
{
    const QList<TRaceSetup::TStarter> &starters = FCorrections.Starters();
    for (int origin = 1; origin <= starters.size(); ++origin) {
        const int row = FTable.RowOfOrigin(origin);
        if (row == 0)
            continue;
        FTable.SetCell(TStandingsTable::colNr, row, starters[origin - 1].number);
        FTable.SetCell(TStandingsTable::colFahrer, row, starters[origin - 1].driver);
    }
}

QString TRaceSession::TotalTimeText(int car)
{
    const qint32 total = FTiming.CrossTable[car].Slot[FTiming.LapTable[car].Count];
    FTiming.TimeMode = total >= kMsPerHour ? kLongTotalTimeMode : kLiveTimeMode;
    const QString text = FTiming.FormatTime(total);
    FTiming.TimeMode = kLiveTimeMode;
    return text;
}

void TRaceSession::writeFinalTimes()
{
    FTiming.TimeMode = kLiveTimeMode;
    for (int car = 1; car <= FTiming.CarCount(); ++car) {
        if (const int row = FTiming.RowOfCar(car))
            FTable.SetCell(TStandingsTable::colZeit, row,
                           FTiming.Finished(car) ? TotalTimeText(car) : QString());
    }
}

bool TRaceSession::allFinished() const
{
    // Cars without a row are not awaited: nobody could press for them.
    for (int car = 1; car <= FTiming.CarCount(); ++car) {
        if (FTiming.RowOfCar(car) != 0 && !FTiming.Finished(car))
            return false;
    }
    return true;
}

void TRaceSession::followEnd()
{
    if (FState == TState::Running && allFinished()) {
        writeFinalTimes();
        setState(TState::Ended);
    } else if (FState == TState::Ended && !allFinished()) {
        setState(TState::Running);
    }
}

void TRaceSession::setState(TState state)
{
    if (state == FState)
        return;
    FState = state;
    if (!FLoading)
        emit stateChanged(state);
}

bool TRaceSession::Tick(quint32 now)
{
    if (FState != TState::Running)
        return false;
    FTiming.TimeMode = kLiveTimeMode;
    const quint64 before = FTable.Version();
    int unfinished = 0;
    // The prepared cars are walked, not the rows: rows of starters without a car may stand
    // anywhere in the standings.
    for (int car = 1; car <= FTiming.CarCount(); ++car) {
        const int row = FTiming.RowOfCar(car);
        if (row == 0 || FTiming.Finished(car))
            continue;
        FTable.SetCell(TStandingsTable::colZeit, row,
                       FTiming.FormatTime(FTiming.RunningLapMs(car, now)));
        ++unfinished;
    }
    if (unfinished == 0) {
        writeFinalTimes();
        setState(TState::Ended);
    }
    return FTable.Version() != before;
}

void TRaceSession::SetRowCount(int rows)
{
    FTable.SetRowCount(rows);
}

TRaceSession::TApplied TRaceSession::EditStarter(int row, int col, const QString &text,
                                                 quint32 tick, qint64 wallMs)
{
    if (col != TStandingsTable::colNr && col != TStandingsTable::colFahrer)
        return {};
    const int origin = FTable.Origin(row);
    const QList<TRaceSetup::TStarter> &starters = FCorrections.Starters();
    if (!HasRace() || origin < 1 || origin > starters.size()) {
        FTable.SetCell(col, row, text);
        return {};
    }
    TRaceSetup::TStarter starter = starters[origin - 1];
    (col == TStandingsTable::colNr ? starter.number : starter.driver) = text;
    if (starter == starters[origin - 1])
        return {};
    return Apply(CorrectionEvents::StarterEdit(origin, starter, tick, wallMs));
}

void TRaceSession::ShowStarterList(const QList<QStringList> &rows)
{
    FTable.SetRowCount(int(rows.size()) + 1);
    const int columns = TStandingsTable::kColumns - kFirstListColumn;
    for (int row = 0; row < rows.size(); ++row) {
        const QStringList &texts = rows.at(row);
        for (int column = 0; column < columns && column < texts.size(); ++column)
            FTable.SetCell(kFirstListColumn + column, row + 1, texts.at(column));
    }
}

void TRaceSession::ClearStandings(bool keepNothing)
{
    const int firstCleared = keepNothing ? TStandingsTable::colKey : TStandingsTable::colLaps;
    for (int r = 1; r < FTable.RowCount(); ++r) {
        FTable.SetCell(TStandingsTable::colPos, r, QString());
        for (int c = firstCleared; c < TStandingsTable::kColumns; ++c)
            FTable.SetCell(c, r, QString());
    }
}

void TRaceSession::LabelKeys(int cars)
{
    for (int r = 1; r <= qMin(cars, FTable.RowCount() - 1); ++r)
        FTable.SetCell(TStandingsTable::colKey, r, TStandingsTable::KeyText(r));
    FTiming.RebuildMaps();
}

void TRaceSession::SetTitle(const QString &title)
{
    FSetup.title = title;
}

bool TRaceSession::Overdue(int car, quint32 now) const
{
    return Running() && !FTiming.Finished(car) &&
           qint32(now - FTiming.LastCross[car]) >= FWarnTimeMs;
}

int TRaceSession::LapsToGo() const
{
    return qMax(0, FTiming.RaceLaps - FTiming.LapTable[0].Count);
}

QPair<QString, QString> TRaceSession::StarterOfCar(int car) const
{
    const int row = FTiming.RowOfCar(car);
    if (row == 0)
        return {};
    return {FTable.Cell(TStandingsTable::colNr, row), FTable.Cell(TStandingsTable::colFahrer, row)};
}

QStringList TRaceSession::CarTexts() const
{
    QStringList texts;
    for (int car = 1; car <= FTiming.CarCount(); ++car) {
        const auto [number, driver] = StarterOfCar(car);
        texts << QStringLiteral("F%1  %2 %3").arg(car).arg(number, driver).trimmed();
    }
    return texts;
}

TResultsSnapshot TRaceSession::Results(const TResultsHeader &header) const
{
    TResultsSnapshot snapshot = RaceResults(FTiming, FTable, header);
    for (const TRaceCorrections::TLogEntry &entry : FCorrections.Log()) {
        const QString text =
            entry.undone ? entry.text + QStringLiteral(" (zurückgenommen)") : entry.text;
        snapshot.corrections.append({TRaceCorrections::WallTimeText(entry.wallMs), text});
    }
    for (const TRaceCorrections::TCrossing &c : FCorrections.Crossings()) {
        const auto [number, driver] = StarterOfCar(c.car);
        const bool afterFinish =
            c.state == TRaceCorrections::State::Counted && AfterFinish(c.car, c.raceMs);
        // A crossing that does not count for its car's result has no lap.
        const bool counts = c.lap > 0 && !c.excluded && !afterFinish;
        snapshot.crossings.append({TRaceCorrections::WallTimeText(c.wallMs), c.car, number, driver,
                                   counts ? c.lap : 0, qint32(c.raceMs), counts ? c.lapMs : 0,
                                   TRaceCorrections::NoteText(c, afterFinish)});
    }
    return snapshot;
}

TLiveStandings TRaceSession::Audience(const QString &title, const QString &session,
                                      const QString &clock, quint32 now) const
{
    TLiveStandings s;
    s.title = title;
    s.session = session;
    s.clock = clock;
    s.state = FState == TState::Ready     ? TLiveState::lsReady
              : FState == TState::Running ? TLiveState::lsRunning
              : FState == TState::Ended   ? TLiveState::lsEnded
                                          : TLiveState::lsStopped;
    s.leaderLaps = FTiming.LapTable[0].Count;
    s.lapsToGo =
        FState == TState::Ready ? FTiming.RaceLaps : qMax(0, FTiming.RaceLaps - s.leaderLaps);
    s.lastCar = FLastCar;
    s.version = FVersion;
    // Laps as the ranking counts them: those taken off by a verdict do not count.
    const auto classifiedLaps = [this](int car) {
        return qMax(0, FTiming.LapTable[car].Count - FTiming.Verdicts[car].lapsOff);
    };
    const int leader = int(FTiming.Ranking[0] >> kCarShift);
    const int leaderLaps = leader >= 1 && leader <= FTiming.CarCount() ? classifiedLaps(leader) : 0;
    for (int row = 1; row < FTable.RowCount(); ++row) {
        const int car = FTable.CarOfRow(row);
        if (car < 1 || car > FTiming.CarCount())
            continue;
        TLiveRow r;
        r.car = car;
        r.position = cellNumber(FTable.Cell(TStandingsTable::colPos, row));
        r.startNumber = FTable.Cell(TStandingsTable::colNr, row);
        r.driver = FTable.Cell(TStandingsTable::colFahrer, row);
        r.laps = FTiming.LapTable[car].Count;
        r.lastLap = FTable.Cell(TStandingsTable::colLastLap, row);
        r.bestLap = FTable.Cell(TStandingsTable::colBestLap, row);
        r.gap = FTable.Cell(TStandingsTable::colToLeader, row);
        r.finished = FState != TState::Ready && FTiming.Finished(car);
        r.overdue = Running() && !r.finished && qint32(now - FTiming.LastCross[car]) >= FWarnTimeMs;
        r.status = TCarVerdict::StatusText(FTiming.Verdicts[car].status);
        if (r.laps > 0)
            r.lapsBehind = qMax(0, leaderLaps - classifiedLaps(car));
        s.rows.append(r);
    }
    return s;
}

const TRaceCorrections::TCrossing *TRaceSession::countedLap(int crossing) const
{
    const TRaceCorrections::TCrossing *c = FCorrections.Crossing(crossing);
    if (!c || c->state != TRaceCorrections::State::Counted ||
        c->lap > FTiming.LapTable[c->car].Count)
        return nullptr;
    return c;
}

bool TRaceSession::NoteAnnounced(int crossing)
{
    const TRaceCorrections::TCrossing *c = countedLap(crossing);
    if (!c)
        return false;
    FLastCar = c->car;
    ++FVersion;
    return true;
}

bool TRaceSession::Announcement(int crossing, TAnnouncedPress &press) const
{
    const TRaceCorrections::TCrossing *c = countedLap(crossing);
    if (!c)
        return false;
    press.startNumber = StarterOfCar(c->car).first;
    press.car = c->car;
    press.lap = c->lap;
    press.lapMs = c->lapMs;
    const bool leader = int(FTiming.Ranking[0] >> kCarShift) == c->car;
    const bool byLaps = FTiming.FinishRule != TRaceTiming::TFinishRule::FlagAfterTime;
    press.lastLapBegins =
        leader && byLaps && !FTiming.FlagFallen() && c->lap == FTiming.RaceLaps - 1;
    press.finished = FTiming.Finished(c->car) && c->lap == FTiming.LapTable[c->car].Count;
    return true;
}

QString TRaceSession::WinnerText() const
{
    const int car = int(FTiming.Ranking[0] >> kCarShift);
    const int row = FTiming.RowOfCar(car);
    if (car < 1 || row == 0 || FTiming.LapTable[car].Count == 0)
        return QString();
    const QString name = (FTable.Cell(TStandingsTable::colNr, row) + u' ' +
                          FTable.Cell(TStandingsTable::colFahrer, row))
                             .trimmed();
    return name.isEmpty() ? TStandingsTable::KeyText(car) : name;
}

bool TRaceSession::AfterFinish(int car, quint32 raceMs) const
{
    const TLapRecord &laps = FTiming.LapTable[car];
    return car >= 1 && car <= FTiming.CarCount() && FTiming.LapsComplete(car) && laps.Count > 0 &&
           raceMs > quint32(FTiming.CrossTable[car].Slot[laps.Count]);
}

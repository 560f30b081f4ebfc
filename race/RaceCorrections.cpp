#include "RaceCorrections.h"

#include "CorrectionEvents.h"
#include "FormatTime.h"
#include "RaceSetup.h"
#include "RaceTables.h"

#include <QDateTime>
#include <QRegularExpression>
#include <algorithm>

namespace {

using Kind = TRaceEvent::Kind;

constexpr quint32 kHourMs = 3600000;

QString carText(int car)
{
    return QStringLiteral("F%1").arg(car);
}

} // namespace

QString TRaceCorrections::RaceTimeText(quint32 raceMs)
{
    // Tenths, as the standings show them by default; hours only where a race runs that long.
    return FormatTime(qint32(qMin<quint32>(raceMs, 0x7FFFFFFF)), 1, raceMs >= kHourMs ? 7 : 5);
}

std::optional<quint32> TRaceCorrections::ParseRaceTime(const QString &text)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\s*(?:(?:(\d{1,3}):)?(\d{1,2}):)?(\d{1,6})(?:[.,](\d{1,3}))?\s*$)"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const bool hasMinutes = m.capturedLength(2) > 0;
    const qint64 hours = m.captured(1).toLongLong();
    const qint64 minutes = m.captured(2).toLongLong();
    const qint64 seconds = m.captured(3).toLongLong();
    if (hasMinutes && seconds >= 60)
        return std::nullopt;
    if (m.capturedLength(1) > 0 && minutes >= 60)
        return std::nullopt;
    const QString fraction = m.captured(4).leftJustified(3, QLatin1Char('0'));
    const qint64 ms = ((hours * 60 + minutes) * 60 + seconds) * 1000 +
                      (fraction.isEmpty() ? 0 : fraction.toInt());
    if (ms > qint64(0x7FFFFFFF))
        return std::nullopt;
    return quint32(ms);
}

TRaceCorrections::TRaceCorrections(quint32 minLapMs) : FMinLapMs(minLapMs)
{
    clear();
}

QString TRaceCorrections::textOf(const TAction &action)
{
    if (!action.press)
        return action.text;
    return QStringLiteral("Druck von %1 bei %2")
        .arg(carText(action.after.car), RaceTimeText(action.after.raceMs));
}

QString TRaceCorrections::WallTimeText(qint64 wallMs)
{
    return QDateTime::fromMSecsSinceEpoch(wallMs).toLocalTime().toString(
        QStringLiteral("HH:mm:ss"));
}

QString TRaceCorrections::LogLine(const TLogEntry &entry)
{
    return WallTimeText(entry.wallMs) + QStringLiteral("  ") + entry.text;
}

void TRaceCorrections::SetMinLapMs(quint32 ms)
{
    if (ms == FMinLapMs)
        return;
    FMinLapMs = ms;
    derive();
}

void TRaceCorrections::clear()
{
    FCrossings.clear();
    FCrossingById.clear();
    FActions.clear();
    FUndoOf.clear();
    FDone.clear();
    FRedo.clear();
    FLog.clear();
    FLastId = 0;
    FByCar = QList<QList<int>>(kMaxCars + 1);
    FCounted.clear();
    FVerdicts = QList<TCarVerdict>(kMaxCars + 1);
    FStarters.clear();
    FCars = 0;
    FStartWallMs = 0;
    FLastPassAppended = false;
}

void TRaceCorrections::Rebuild(const QList<TRaceEvent> &events)
{
    clear();
    // Most events are presses, each a crossing and an action.
    FCrossings.reserve(events.size());
    FCrossingById.reserve(events.size());
    FActions.reserve(events.size());
    for (const TRaceEvent &event : events)
        apply(event);
    derive();
}

bool TRaceCorrections::Append(const TRaceEvent &event)
{
    FLastPassAppended = false;
    const qsizetype crossings = FCrossings.size();
    const qsizetype logLines = FLog.size();
    apply(event);
    if (event.kind == Kind::Press) {
        if (FCrossings.size() == crossings)
            return false; // not a car of the race
        return !tryAppendPass(int(FCrossings.size() - 1));
    }
    if (FLog.size() == logLines)
        return false; // ignored: names nothing that can be changed
    derive();
    return true;
}

void TRaceCorrections::apply(const TRaceEvent &event)
{
    if (event.kind != Kind::Press)
        FLastId = qMax(FLastId, event.seq);
    switch (event.kind) {
    case Kind::Press:
        applyPress(event);
        break;
    case Kind::InsertCrossing:
    case Kind::DeleteCrossing:
    case Kind::MoveCrossing:
    case Kind::EditCrossing:
    case Kind::ConfirmCrossing:
        applyCorrection(event);
        break;
    case Kind::CarVerdict:
        applyVerdict(event);
        break;
    case Kind::Undo:
        applyUndo(event);
        break;
    case Kind::Redo:
        applyRedo(event);
        break;
    case Kind::StarterEdit:
        applyStarterEdit(event);
        break;
    case Kind::Start:
        applyStart(event);
        break;
    default:
        break;
    }
}

void TRaceCorrections::applyPress(const TRaceEvent &event)
{
    if (event.car < 1 || event.car > kMaxCars)
        return;
    // A press is never lost: one without a number of its own (a journal that could not number
    // it) gets the next free one.
    int id = event.seq;
    if (id <= 0 || FActions.contains(id) || FCrossingById.contains(id))
        id = FLastId + 1;
    FLastId = qMax(FLastId, id);
    TCrossing crossing;
    crossing.id = id;
    crossing.car = event.car;
    crossing.raceMs = PressRaceMs(event);
    crossing.wallMs = event.wallMs;
    crossing.locked = PressLocked(event);
    crossing.late = CrossingLate(event);
    TAction action;
    action.crossing = int(FCrossings.size());
    action.before = crossing;
    action.before.state = State::Deleted;
    action.after = crossing;
    action.press = true;
    FCrossingById.insert(crossing.id, int(FCrossings.size()));
    FCrossings.append(crossing);
    FActions.insert(id, action);
    // A press is neither undone by Ctrl+Z nor clears the redo list (see the class comment).
}

void TRaceCorrections::applyCorrection(const TRaceEvent &event)
{
    TAction action;
    TCrossing after;
    if (event.kind == Kind::InsertCrossing) {
        if (event.car < 1 || event.car > kMaxCars || FCrossingById.contains(event.seq))
            return;
        after.id = event.seq;
        after.car = event.car;
        after.raceMs = CorrectionEvents::RaceMs(event);
        after.wallMs = wallOf(after.raceMs, event.wallMs);
        after.inserted = true;
        after.corrected = true;
        after.late = CrossingLate(event);
        action.crossing = int(FCrossings.size());
        action.before = after;
        action.before.state = State::Deleted;
        action.text = QStringLiteral("Runde von %1 bei %2 eingefügt")
                          .arg(carText(after.car), RaceTimeText(after.raceMs));
        FCrossingById.insert(after.id, action.crossing);
        FCrossings.append(action.before);
    } else {
        const int index = FCrossingById.value(CorrectionEvents::Target(event), -1);
        if (index < 0 || FCrossings[index].state == State::Deleted)
            return;
        const TCrossing &before = FCrossings[index];
        const QString car = carText(before.car);
        const QString at = RaceTimeText(before.raceMs);
        after = before;
        action.crossing = index;
        action.before = before;
        switch (event.kind) {
        case Kind::DeleteCrossing:
            after.state = State::Deleted;
            action.text = QStringLiteral("Runde von %1 bei %2 gelöscht").arg(car, at);
            break;
        case Kind::MoveCrossing:
            if (event.car < 1 || event.car > kMaxCars || event.car == before.car)
                return;
            after.car = event.car;
            after.corrected = true;
            action.text =
                QStringLiteral("%1 bei %2 auf %3 verschoben").arg(car, at, carText(after.car));
            break;
        case Kind::EditCrossing:
            after.raceMs = CorrectionEvents::RaceMs(event);
            if (after.raceMs == before.raceMs)
                return;
            after.wallMs = wallOf(after.raceMs, before.wallMs);
            after.corrected = true;
            after.late = false; // the operator has given it its time
            action.text = QStringLiteral("Zeit von %1 von %2 auf %3 geändert")
                              .arg(car, at, RaceTimeText(after.raceMs));
            break;
        case Kind::ConfirmCrossing:
            if (!before.late && (before.confirmed || before.corrected))
                return;
            after.confirmed = true;
            after.late = false;
            action.text =
                before.late
                    ? QStringLiteral("Spät erfasste Runde von %1 bei %2 bestätigt").arg(car, at)
                : before.locked && before.state == State::Locked
                    ? QStringLiteral("Gesperrte Runde von %1 bei %2 bestätigt").arg(car, at)
                    : QStringLiteral("Gehaltene Runde von %1 bei %2 bestätigt").arg(car, at);
            break;
        default:
            return;
        }
    }
    action.after = after;
    FCrossings[action.crossing] = after;
    // A new correction makes what was taken back final.
    FRedo.clear();
    FDone.append(event.seq);
    action.logIndex = int(FLog.size());
    FActions.insert(event.seq, action);
    addLog(event, action.text);
}

void TRaceCorrections::applyVerdict(const TRaceEvent &event)
{
    if (event.car < 1 || event.car > kMaxCars)
        return;
    TAction action;
    action.car = event.car;
    action.verdictBefore = FVerdicts[event.car];
    action.verdictAfter = CorrectionEvents::VerdictOf(event);
    if (action.verdictAfter == action.verdictBefore)
        return;
    action.text = QStringLiteral("%1: %2").arg(carText(event.car), action.verdictAfter.Describe());
    FVerdicts[event.car] = action.verdictAfter;
    FRedo.clear();
    FDone.append(event.seq);
    action.logIndex = int(FLog.size());
    FActions.insert(event.seq, action);
    addLog(event, action.text);
}

void TRaceCorrections::applyStart(const TRaceEvent &event)
{
    if (const qint64 minLap = CorrectionEvents::MinLapMs(event); minLap >= 0)
        FMinLapMs = quint32(minLap);
    const TRaceSetup setup = TRaceSetup::FromStartEvent(event);
    FStarters = setup.starters;
    FCars = setup.cars;
    FStartWallMs = event.wallMs;
}

qint64 TRaceCorrections::wallOf(quint32 raceMs, qint64 fallback) const
{
    return FStartWallMs > 0 ? FStartWallMs + qint64(raceMs) : fallback;
}

void TRaceCorrections::applyStarterEdit(const TRaceEvent &event)
{
    const int origin = CorrectionEvents::StarterOrigin(event);
    if (origin < 1 || origin > FStarters.size())
        return;
    TAction action;
    action.origin = origin;
    action.starterBefore = FStarters[origin - 1];
    action.starterAfter = CorrectionEvents::StarterOf(event);
    if (action.starterAfter == action.starterBefore)
        return;
    const QString row = origin <= FCars ? carText(origin) : QStringLiteral("Zeile %1").arg(origin);
    const auto text = [](const TRaceSetup::TStarter &s) {
        return QStringLiteral("\u201E%1\u201C").arg((s.number + u' ' + s.driver).trimmed());
    };
    action.text = QStringLiteral("%1: %2 statt %3")
                      .arg(row, text(action.starterAfter), text(action.starterBefore));
    FStarters[origin - 1] = action.starterAfter;
    FRedo.clear();
    FDone.append(event.seq);
    action.logIndex = int(FLog.size());
    FActions.insert(event.seq, action);
    addLog(event, action.text);
}

void TRaceCorrections::restore(const TAction &action, bool after)
{
    if (action.origin > 0)
        FStarters[action.origin - 1] = after ? action.starterAfter : action.starterBefore;
    else if (action.crossing < 0)
        FVerdicts[action.car] = after ? action.verdictAfter : action.verdictBefore;
    else
        FCrossings[action.crossing] = after ? action.after : action.before;
}

const TCarVerdict &TRaceCorrections::Verdict(int car) const
{
    static const TCarVerdict plain;
    return car >= 1 && car < FVerdicts.size() ? FVerdicts[car] : plain;
}

void TRaceCorrections::applyUndo(const TRaceEvent &event)
{
    const int target = CorrectionEvents::Target(event);
    const auto action = FActions.constFind(target);
    if (action == FActions.cend())
        return;
    if (action->press) {
        // Only an older journal undoes a press: replayed while the crossing is still as pressed.
        const TCrossing &now = FCrossings[action->crossing];
        if (now.state == State::Deleted || now.car != action->after.car ||
            now.raceMs != action->after.raceMs)
            return;
    } else if (FDone.isEmpty() || FDone.last() != target) {
        return;
    } else {
        FDone.removeLast();
    }
    restore(*action, false);
    FRedo.append(event.seq);
    FUndoOf.insert(event.seq, target);
    setLogUndone(target, true);
    addLog(event, QStringLiteral("Zurückgenommen: ") + textOf(*action));
}

void TRaceCorrections::applyRedo(const TRaceEvent &event)
{
    const int undo = CorrectionEvents::Target(event);
    if (FRedo.isEmpty() || FRedo.last() != undo)
        return;
    const int target = FUndoOf.value(undo);
    const TAction &action = FActions[target];
    restore(action, true);
    FRedo.removeLast();
    if (!action.press)
        FDone.append(target);
    setLogUndone(target, false);
    for (TLogEntry &entry : FLog) {
        if (entry.seq == undo)
            entry.undone = true;
    }
    addLog(event, QStringLiteral("Wiederhergestellt: ") + textOf(action));
}

void TRaceCorrections::addLog(const TRaceEvent &event, const QString &text)
{
    FLog.append({event.seq, event.wallMs, event.kind, text, false});
}

void TRaceCorrections::setLogUndone(int action, bool undone)
{
    const int line = FActions.value(action).logIndex;
    if (line >= 0 && line < FLog.size())
        FLog[line].undone = undone;
}

QString TRaceCorrections::UndoText() const
{
    if (FDone.isEmpty())
        return QString();
    return QStringLiteral("Rückgängig: ") + textOf(FActions.value(FDone.last()));
}

QString TRaceCorrections::RedoText() const
{
    if (FRedo.isEmpty())
        return QString();
    return QStringLiteral("Wiederherstellen: ") +
           textOf(FActions.value(FUndoOf.value(FRedo.last())));
}

void TRaceCorrections::derive()
{
    // Crossings are made nearly in race order: only inserted and edited ones stand elsewhere.
    // So the lists are built in the order made and sorted only where that order breaks.
    const auto byRaceTime = [this](int a, int b) {
        const quint32 ma = FCrossings[a].raceMs;
        const quint32 mb = FCrossings[b].raceMs;
        return ma != mb ? ma < mb : a < b;
    };
    FByCar = QList<QList<int>>(kMaxCars + 1);
    for (int i = 0; i < FCrossings.size(); ++i) {
        if (FCrossings[i].state != State::Deleted)
            FByCar[FCrossings[i].car].append(i);
    }
    for (int car = 1; car <= kMaxCars; ++car) {
        QList<int> &mine = FByCar[car];
        if (!std::is_sorted(mine.cbegin(), mine.cend(), byRaceTime))
            std::sort(mine.begin(), mine.end(), byRaceTime);
        deriveCar(car);
    }
    // Race-time order, ties in the order made, as the presses came in live: the crossings in
    // order, the few out of it sorted apart and merged in.
    QList<int> inOrder;
    QList<int> outOfOrder;
    inOrder.reserve(FCrossings.size());
    for (int i = 0; i < FCrossings.size(); ++i) {
        const TCrossing &c = FCrossings[i];
        if (c.state != State::Counted || c.excluded)
            continue;
        if (inOrder.isEmpty() || FCrossings[inOrder.last()].raceMs <= c.raceMs)
            inOrder.append(i);
        else
            outOfOrder.append(i);
    }
    std::sort(outOfOrder.begin(), outOfOrder.end(), byRaceTime);
    QList<int> counted(inOrder.size() + outOfOrder.size());
    std::merge(inOrder.cbegin(), inOrder.cend(), outOfOrder.cbegin(), outOfOrder.cend(),
               counted.begin(), byRaceTime);
    FCounted.clear();
    FCounted.reserve(counted.size());
    for (int i : counted)
        FCounted.append({FCrossings[i].car, FCrossings[i].raceMs, !FCrossings[i].unsureLap});
}

void TRaceCorrections::deriveCar(int car)
{
    quint32 previous = 0;
    bool seen = false;         // a counted crossing of the car lies before this one
    bool previousLate = false; // and it was recorded late
    int lap = 0;
    QList<qint32> laps;
    for (int i : FByCar[car]) {
        TCrossing &c = FCrossings[i];
        const quint32 lapMs = c.raceMs - previous;
        // A press recorded within the key lock stays locked only while a counted crossing still
        // locks the key: moved or deleted, that crossing frees it.
        const bool locked =
            c.locked && !c.corrected && !c.confirmed && seen && c.raceMs - previous < kLockReachMs;
        const bool held =
            locked || (FMinLapMs > 0 && !c.corrected && !c.confirmed && lapMs < FMinLapMs);
        c.state = locked ? State::Locked : held ? State::Held : State::Counted;
        c.lap = held ? 0 : ++lap;
        c.lapMs = held ? 0 : qint32(lapMs);
        c.unsureLap = !held && (c.late || previousLate);
        c.likelyMissed = false;
        c.likelyDouble = false;
        c.excluded = false;
        if (!held) {
            previous = c.raceMs;
            previousLate = c.late;
            seen = true;
            laps.append(c.lapMs);
        }
    }
    // A car that did not start, or is out, is classified without the crossings after that.
    const TCarVerdict &verdict = FVerdicts[car];
    for (int i : FByCar[car]) {
        TCrossing &c = FCrossings[i];
        c.excluded = c.state == State::Counted &&
                     (verdict.status == TCarVerdict::Status::NotStarted ||
                      (verdict.status == TCarVerdict::Status::Retired && c.lap > verdict.fromLap));
    }
    if (laps.size() < kLapsForMedian)
        return;
    const auto middle = laps.begin() + laps.size() / 2;
    std::nth_element(laps.begin(), middle, laps.end());
    const double longest = kMissedLapFactor * double(*middle);
    const double shortest = kDoubleLapFactor * double(*middle);
    for (int i : FByCar[car]) {
        TCrossing &c = FCrossings[i];
        c.likelyMissed = c.state == State::Counted && double(c.lapMs) > longest;
        // A short lap the operator has confirmed is no question any more.
        c.likelyDouble = c.state == State::Counted && !c.confirmed && double(c.lapMs) < shortest;
    }
}

bool TRaceCorrections::tryAppendPass(int index)
{
    const TCrossing &c = FCrossings[index];
    QList<int> &mine = FByCar[c.car];
    const bool lastOfCar = mine.isEmpty() || FCrossings[mine.last()].raceMs <= c.raceMs;
    const bool lastOfRace = FCounted.isEmpty() || FCounted.last().raceMs <= c.raceMs;
    if (!lastOfCar || !lastOfRace) {
        derive();
        return false;
    }
    mine.append(index);
    deriveCar(c.car);
    if (FCrossings[index].state == State::Counted && !FCrossings[index].excluded) {
        FCounted.append({c.car, c.raceMs, !FCrossings[index].unsureLap});
        FLastPassAppended = true;
    }
    return true;
}

QList<TRaceCorrections::TCrossing> TRaceCorrections::Crossings() const
{
    QList<TCrossing> all = FCrossings;
    std::stable_sort(all.begin(), all.end(),
                     [](const TCrossing &a, const TCrossing &b) { return a.raceMs < b.raceMs; });
    return all;
}

const TRaceCorrections::TCrossing *TRaceCorrections::Crossing(int id) const
{
    const int index = FCrossingById.value(id, -1);
    return index < 0 ? nullptr : &FCrossings[index];
}

quint32 TRaceCorrections::SplitMs(int crossing) const
{
    const TCrossing *c = Crossing(crossing);
    if (!c || c->state != State::Counted)
        return 0;
    const quint32 start = c->raceMs - quint32(c->lapMs);
    return start + quint32(c->lapMs) / 2;
}

QString TRaceCorrections::NoteText(const TCrossing &c, bool afterFinish)
{
    QStringList notes;
    if (c.excluded)
        notes << QStringLiteral("zählt nicht: DNS/DNF");
    else if (afterFinish)
        notes << QStringLiteral("nach dem Ziel: zählt nicht");
    if (c.state == State::Held)
        notes << QStringLiteral("gehalten: zu kurz");
    if (c.state == State::Locked)
        notes << QStringLiteral("gesperrt: zählt nicht");
    if (c.state == State::Deleted)
        notes << QStringLiteral("gelöscht");
    if (c.late)
        notes << QStringLiteral("spät erfasst");
    if (c.unsureLap && c.state == State::Counted)
        notes << QStringLiteral("keine Bestrunde");
    if (c.inserted)
        notes << QStringLiteral("eingefügt");
    else if (c.corrected)
        notes << QStringLiteral("korrigiert");
    if (c.confirmed)
        notes << QStringLiteral("bestätigt");
    // The marks speak of counted laps only; a crossing deleted since keeps what it was shown with.
    if (c.state == State::Counted && c.likelyMissed)
        notes << QStringLiteral("Runde zu lang: Druck vergessen?");
    if (c.state == State::Counted && c.likelyDouble)
        notes << QStringLiteral("Runde zu kurz \u2013 doppelt gedrückt?");
    return notes.join(QStringLiteral(", "));
}

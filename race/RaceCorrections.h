#pragma once

#include "CarVerdict.h"
#include "RaceEvent.h"
#include "RaceSetup.h"
#include "RaceTiming.h"

#include <QHash>
#include <QList>
#include <QString>

#include <optional>

// The crossings of a race as the operator meant them: the recorded presses with every
// correction, undo and redo applied in the order they were made, and the starters with every
// edit made after START. Needs no window: the main window
// feeds it the race's events and applies Counted() to its race tables; the pass log and the
// correction log read Crossings() and Log().
//
// Undo and redo work like an editor's, on the operator's corrections, verdicts and edits only:
// Undo takes back the last of them not yet taken back (UndoTarget), Redo reverses the last undo
// (RedoTarget), and a new correction makes the undone ones final (no redo after it). Presses are
// not on that list: they keep coming while the operator thinks, and Ctrl+Z must never take back
// another car's lap; a press is taken back by deleting its crossing. An undo of a press that an
// older journal recorded is still replayed. An undo or redo naming anything else (a journal
// that lost an event) is ignored.
//
// The minimum lap guard: a press that would complete a lap shorter than MinLapMs() after the
// car's previous counted crossing is held, not counted, until confirmed. Crossings an operator
// made or changed (inserted, moved, edited) are never held. A press within the key lock is kept
// as a crossing that does not count until it is confirmed or moved to another car; whether it
// still lies within the lock is worked out again from the counted crossings after every change,
// so moving or deleting the press that locked the key lets it count. A crossing recorded late
// (Shift with the key, or inserted at "now") counts, but the laps on either side of it are not
// taken as best laps until the operator confirms it or gives it a time. A counted lap
// longer than kMissedLapFactor times the car's median lap is marked as a likely missed press, one
// shorter than kDoubleLapFactor times it as a likely double press.
class TRaceCorrections
{
public:
    enum class State {
        Counted, // a lap of its car
        Held,    // too short after the car's previous crossing: waits for a confirmation
        Locked,  // pressed within the key lock after the car's previous press: does not count
        Deleted, // deleted, or its press or insertion taken back
    };

    struct TCrossing
    {
        int id = 0; // seq of the press or InsertCrossing that made it (see applyPress)
        int car = 0;
        quint32 raceMs = 0;
        qint64 wallMs = 0;   // time of day of the crossing
        bool locked = false; // pressed within the key lock
        State state = State::Counted;
        bool inserted = false;     // added by the operator, not pressed
        bool corrected = false;    // inserted, moved or edited: the guard leaves it alone
        bool confirmed = false;    // held once, confirmed by the operator
        int lap = 0;               // the lap it completes while counted, else 0
        qint32 lapMs = 0;          // that lap's duration while counted, else 0
        bool likelyMissed = false; // its lap is about twice the car's usual: a press missed?
        bool likelyDouble = false; // its lap is far shorter than the car's usual: pressed twice?
        bool excluded = false;     // counted for its car, but not classified: DNS, or after DNF
        // Recorded late (Shift with the key, or inserted at "now"): its time is a guess until
        // the operator confirms it or gives it a time.
        bool late = false;
        // Its lap borders a late crossing: it counts, but not as a best lap.
        bool unsureLap = false;
    };

    // A counted crossing as the race tables take it.
    struct TPass
    {
        int car = 0;
        quint32 raceMs = 0;
        bool forBest = true; // the lap it completes may be the car's best
        bool operator==(const TPass &) const = default;
    };

    // One line of the correction log ("Korrekturen").
    struct TLogEntry
    {
        int seq = 0;       // the correction, undo or redo event
        qint64 wallMs = 0; // when it was made
        TRaceEvent::Kind kind = TRaceEvent::Kind::Unknown;
        QString text;        // what changed, before and after, in German
        bool undone = false; // taken back later (and not redone)
    };

    // A press recorded within the key lock stays locked while a counted crossing of its car lies
    // less than this before it: the lock itself, and the release timer's step that may have
    // held the key a little longer.
    static constexpr quint32 kLockReachMs =
        TRaceTiming::kKeyLockMs + TRaceTiming::kKeyReleaseStepMs;
    // A lap longer than this many times the car's median lap is marked as likely missed.
    static constexpr double kMissedLapFactor = 1.8;
    // A lap shorter than this many times the car's median lap is marked as a likely double press.
    static constexpr double kDoubleLapFactor = 0.5;
    // Counted laps a car needs before its median says what its usual lap is.
    static constexpr int kLapsForMedian = 3;

    explicit TRaceCorrections(quint32 minLapMs = 0);

    quint32 MinLapMs() const { return FMinLapMs; }
    // Changes the guard's minimum (0: off) and recomputes which presses are held.
    void SetMinLapMs(quint32 ms);

    // Replays the events of one race (presses, corrections, undo and redo; other kinds are
    // passed over) from scratch. A START that recorded a minimum lap sets MinLapMs().
    void Rebuild(const QList<TRaceEvent> &events);
    // Adds the next event of the race. Returns whether Counted() changed in another way than
    // by one more pass at its end, i.e. whether the race tables must be rebuilt; a press that
    // simply counts (LastPassAppended) or is held needs no rebuild.
    bool Append(const TRaceEvent &event);
    // Whether the last Append added exactly one pass at the end of Counted().
    bool LastPassAppended() const { return FLastPassAppended; }

    // Every crossing ever made, in race-time order (ties in the order made), deleted ones too.
    QList<TCrossing> Crossings() const;
    // The crossing with that id, or nullptr; valid until the next change.
    const TCrossing *Crossing(int id) const;
    // The counted crossings in race-time order (ties in the order made): apply each with
    // ApplyPress(car, startTick + raceMs) after StartRaceAt.
    const QList<TPass> &Counted() const { return FCounted; }

    // The press or correction Ctrl+Z would take back now, 0 when none.
    int UndoTarget() const { return FDone.isEmpty() ? 0 : FDone.last(); }
    // The undo event Ctrl+Y would reverse now, 0 when none.
    int RedoTarget() const { return FRedo.isEmpty() ? 0 : FRedo.last(); }
    // Text of what Undo or Redo would do, for a menu item or the status bar; empty when nothing.
    QString UndoText() const;
    QString RedoText() const;

    // The race time that splits the lap the crossing completes in two halves: the midpoint of
    // the car's counted crossing before it (or the start) and it. 0 when the crossing is not
    // counted.
    quint32 SplitMs(int crossing) const;

    // The car's verdict (status, penalty, laps off) as the events leave it.
    const TCarVerdict &Verdict(int car) const;
    // The start number and driver of each standings row as START recorded them and the
    // edits since left them: [origin - 1], origin being the row at START.
    const QList<TRaceSetup::TStarter> &Starters() const { return FStarters; }

    // The correction log, in the order made.
    const QList<TLogEntry> &Log() const { return FLog; }

    // What the pass log and the exports say about a crossing beyond its times: held, locked,
    // deleted, inserted, likely missed; afterFinish: its car had finished before it.
    static QString NoteText(const TCrossing &crossing, bool afterFinish);
    // A line of the log as the program, the workbook and the page show it: the time of day it
    // was made (local time) and what it changed, "14:03:12  Runde von F3 bei 1:02.4 gelöscht".
    static QString LogLine(const TLogEntry &entry);
    // A wall-clock moment as the logs write it, local time of day: "14:03:12".
    static QString WallTimeText(qint64 wallMs);
    // A race time as the log writes it ("1:02.4", "1:02:03.4" from an hour on).
    static QString RaceTimeText(quint32 raceMs);
    // A race time as the operator types it: "1:02.4", "1:02:03,45", "62.4", "62"; seconds and
    // minutes below 60 after a colon. Nothing for anything else.
    static std::optional<quint32> ParseRaceTime(const QString &text);

private:
    // What one press or correction did to its crossing, so an undo can restore it.
    struct TAction
    {
        int crossing = -1; // index into FCrossings; -1 for a verdict
        TCrossing before;
        TCrossing after;
        int car = 0; // the car of a verdict
        TCarVerdict verdictBefore;
        TCarVerdict verdictAfter;
        int origin = 0; // the row of a starter edit
        TRaceSetup::TStarter starterBefore;
        TRaceSetup::TStarter starterAfter;
        int logIndex = -1; // its line in FLog; -1 for a press
        bool press = false;
        QString text; // what it did, for the undo and redo lines; see textOf for a press
    };
    // The action's text; a press's is made only when asked for, as a race has many presses
    // and few of them are ever taken back.
    static QString textOf(const TAction &action);

    void clear();
    void apply(const TRaceEvent &event);
    void applyPress(const TRaceEvent &event);
    void applyCorrection(const TRaceEvent &event);
    void applyVerdict(const TRaceEvent &event);
    void applyStarterEdit(const TRaceEvent &event);
    void applyStart(const TRaceEvent &event);
    // Time of day of a crossing at raceMs: the start's time of day plus the race time.
    qint64 wallOf(quint32 raceMs, qint64 fallback) const;
    // Puts back the crossing or the verdict an action changed.
    void restore(const TAction &action, bool after);
    void applyUndo(const TRaceEvent &event);
    void applyRedo(const TRaceEvent &event);
    void addLog(const TRaceEvent &event, const QString &text);
    void setLogUndone(int action, bool undone);
    // Recomputes laps, held presses, the missed-lap marks and Counted() from FCrossings.
    void derive();
    // The guard and lap numbering of one car's crossings, FByCar order.
    void deriveCar(int car);
    bool tryAppendPass(int index);

    quint32 FMinLapMs;
    QList<TCrossing> FCrossings;   // in the order made
    QHash<int, int> FCrossingById; // id -> index into FCrossings
    QHash<int, TAction> FActions;  // seq of a press or correction -> what it did
    QHash<int, int> FUndoOf;       // seq of an undo -> the action it took back
    QList<int> FDone;              // actions in effect, the latest last
    QList<int> FRedo;              // undo events that can be redone, the latest last
    QList<TLogEntry> FLog;
    QList<QList<int>> FByCar; // [car] = indexes of its crossings, not deleted, in race order
    QList<TPass> FCounted;
    QList<TCarVerdict> FVerdicts; // [car]
    QList<TRaceSetup::TStarter> FStarters;
    int FCars = 0;
    qint64 FStartWallMs = 0;
    bool FLastPassAppended = false;
    int FLastId = 0; // the highest event number seen
};

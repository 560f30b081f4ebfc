#pragma once

#include "AudienceStandings.h"
#include "RaceCorrections.h"
#include "RaceEvent.h"
#include "RaceResults.h"
#include "RaceSetup.h"
#include "RaceTiming.h"
#include "StandingsTable.h"

#include <QList>
#include <QObject>
#include <QStringList>

#include "AnnouncedPress.h"

// The one owner of a race: its setup and starters, the events recorded so far, the start, its
// state, the race tables, the crossings as corrected and the verdicts. Every change is an event
// given to Apply (START, a press, a correction, a verdict, a starter edit, stop, end, reset, a
// new race, a resume); a resume and an earlier race load their events through it too. It knows
// no window: the standings grid, the pass log, the board, the live page, the announcements and
// the exports read it, and it says what changed by its signals.
//
// Events are numbered here (seq 1 is START), so the journal stores them under the numbers the
// crossings are known by.
class TRaceSession : public QObject
{
    Q_OBJECT
public:
    enum class TState {
        Ready,   // no race: the rows and the setup are being prepared
        Running, // the keys count
        Stopped, // stopped by the operator: the keys no longer count
        Ended,   // every car has run its race; presses are still recorded, not counted
    };

    // What one applied event did.
    struct TApplied
    {
        TRaceEvent event;      // numbered
        bool recorded = false; // part of the race's events (and so of its journal)
        bool counted = false;  // a press that counted as a lap (only the tables changed)
        bool rebuilt = false;  // the race was recomputed from its events
    };

    explicit TRaceSession(const TTickCounter &ticks, QObject *parent = nullptr);

    TState State() const { return FState; }
    bool Running() const { return FState == TState::Running; }
    // Whether a race is in the standings: started and not yet reset.
    bool HasRace() const { return FState != TState::Ready; }
    const TRaceSetup &Setup() const { return FSetup; }
    quint32 StartTick() const { return FStartTick; }
    qint64 StartWallMs() const { return FStartWallMs; }
    // The warning time in ms, taken at START: a car not seen that long turns red.
    qint32 WarnTimeMs() const { return FWarnTimeMs; }
    const QList<TRaceEvent> &Events() const { return FEvents; }
    const TRaceTiming &Timing() const { return FTiming; }
    TRaceTiming &Timing() { return FTiming; }
    const TRaceCorrections &Corrections() const { return FCorrections; }
    const TStandingsTable &Standings() const { return FTable; }

    // ---- The one way in ----
    // Applies one event. An event without a number gets the next one of the race.
    TApplied Apply(TRaceEvent event);
    // A press of car's lap key whose event arrived at stamp: recorded while the race runs or
    // has ended; one within the key lock does not count, unless overLock (the operator says
    // the car crossed now). Nothing when the keys do not count now.
    TApplied Press(int car, quint32 stamp, qint64 wallMs, bool overLock = false);
    // A race from its recorded events (a resume, an earlier race): START first. startTick
    // replaces the START's own tick (the counter starts again after a reboot).
    void Load(const QList<TRaceEvent> &events, quint32 startTick);
    // Shows a loaded race as stopped, whatever its events say (an earlier race, read only).
    void ShowStopped();

    // ---- Before START: the rows of the standings ----
    // Rows of the standings, title row included (the car count and a starter list set it).
    void SetRowCount(int rows);
    // A start number or driver typed into a row (col colNr or colFahrer). Before START it
    // changes the row; from START on it is a StarterEdit event, returned for the journal.
    TApplied EditStarter(int row, int col, const QString &text, quint32 tick, qint64 wallMs);
    // A starter list: one row per starter, sheet columns A to J into "Nr." onwards.
    void ShowStarterList(const QList<QStringList> &rows);
    // Empties the standings: positions and the race's columns, and with keepNothing the keys,
    // start numbers and drivers too.
    void ClearStandings(bool keepNothing);
    // Writes "F1" ... "Fn" into the keys of rows 1 to n (after a new race emptied them).
    void LabelKeys(int cars);
    // The title may be typed during the race; the exports and the board take it from here.
    void SetTitle(const QString &title);
    // Turns the order of the positions round (or back) from the next ranking on.
    void SetDescending(bool descending) { FTable.Descending = descending; }
    // Digits after the seconds in every time text (a setting).
    void SetAccuracy(int acc) { FTiming.Acc = acc; }

    // ---- The clock ----
    // Writes the running lap times for tick now; ends the race when no car is awaited.
    // Returns whether any text changed.
    bool Tick(quint32 now);
    // Frees lap keys locked long enough (the 450 ms timer).
    bool ReleaseKeyLocks() { return FTiming.ReleaseKeyLocks(); }
    // Frees the lap keys locked long enough by tick now (presses that waited, taken in order).
    bool ReleaseKeyLocks(quint32 now) { return FTiming.ReleaseKeyLocks(now); }

    // ---- What the views read ----
    // Whether a car not yet finished has not been seen for the warning time at tick now.
    bool Overdue(int car, quint32 now) const;
    // The laps the leader still has to run.
    int LapsToGo() const;
    // The car's start number and driver as the standings show them now.
    QPair<QString, QString> StarterOfCar(int car) const;
    // "F3  7 Anna Berg" for each car of the race, for choosing a car.
    QStringList CarTexts() const;
    // The results for the exports; header: what the window's header fields show.
    TResultsSnapshot Results(const TResultsHeader &header) const;
    // The standings for the board and the live page; header: title, session and clock texts.
    TLiveStandings Audience(const QString &title, const QString &session, const QString &clock,
                            quint32 now) const;
    // The crossing whose press was just handed on: the board marks its car and the snapshot's
    // version rises. False when it is not a counted lap.
    bool NoteAnnounced(int crossing);
    // What is said for a counted crossing; false when it is not one to announce.
    bool Announcement(int crossing, TAnnouncedPress &press) const;
    // The winner as the archive lists it: "7 Anna Berg", or "F3" without a name.
    QString WinnerText() const;
    // Whether a car had finished before raceMs: its later crossings count for nothing.
    bool AfterFinish(int car, quint32 raceMs) const;
    // A race total as the standings show it: minutes, and hours once there are any.
    QString TotalTimeText(int car);
    // Rises with every press, correction and change of the race (not with the clock).
    qint64 Version() const { return FVersion; }
    // The car whose press was announced last, for the board's mark.
    int LastCar() const { return FLastCar; }

signals:
    // The state changed (started, stopped, ended, taken back from its end, reset).
    void stateChanged(TRaceSession::TState state);
    // The leader began a new lap, or the race was recomputed: the laps field follows.
    void leaderLap(int lapsToGo);

private:
    void start(const TRaceEvent &event);
    void applyPress(TApplied &applied);
    void reset();
    // Recomputes the tables and the standings from the crossings as corrected.
    void rebuild(bool clear);
    void writeStarters();
    // The race totals of the finished cars in "Zeit", empty for the others.
    void writeFinalTimes();
    // The race ends when no car is awaited any more, and runs on when a correction takes its
    // end back; a race the operator stopped stays stopped.
    void followEnd();
    bool allFinished() const;
    // The crossing if it counted as a lap its car has in the tables (not one after its finish).
    const TRaceCorrections::TCrossing *countedLap(int crossing) const;
    void setState(TState state);

    TStandingsTable FTable;
    TRaceTiming FTiming;
    TRaceCorrections FCorrections;
    TRaceSetup FSetup;
    QList<TRaceEvent> FEvents;
    TState FState = TState::Ready;
    bool FLoading = false;
    bool FStoppedByOperator = false;
    quint32 FStartTick = 0;
    qint64 FStartWallMs = 0;
    qint32 FWarnTimeMs = 0;
    int FNextSeq = 1;
    qint64 FVersion = 0;
    int FLastCar = 0;
};

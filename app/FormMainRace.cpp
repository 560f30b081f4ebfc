// Race control: the start command and its three states, the two timers, the race clock, the
// laps field during a race, the new race and the question before closing.
#include "FormMain.h"

#include "ClockText.h"
#include "CorrectionDesk.h"
#include "RaceJournal.h"
#include "WindowLook.h"

#include "DlgYesNo.h"
#include "FlEdit.h"
#include "LbButton.h"
#include "RaceDayOutcome.h"
#include "StandingsView.h"
#include "TSortGrid.h"

#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>

namespace {

constexpr int kMsPerSecond = 1000;

const QString kStopQuestion = QStringLiteral("Alle aktuellen Laufzeiten stoppen?");
// A new race empties the standings: the question says so, and what "Ja" does.
const QString kNewRaceQuestion =
    QStringLiteral("Neues Rennen vorbereiten?\n\u201EJa\u201C leert die Rangliste: alle Zeiten, "
                   "Startnummern und Fahrer werden gelöscht.");
const QString kNewRaceWhileRunningQuestion = QStringLiteral(
    "Neues Rennen vorbereiten?\n\u201EJa\u201C stoppt das laufende Rennen und leert die "
    "Rangliste: alle Zeiten, Startnummern und Fahrer werden gelöscht.");
const QString kCloseQuestion = QStringLiteral("Beenden?");
const QString kStoppedCaption = QStringLiteral("00:00");

} // namespace

bool TFormMain::AskYesNo(const QString &question, bool focusOnNo)
{
    TFDlgYesNo *dialog = DlgYesNo();
    dialog->Label1->setText(question);
    // Each question chooses the button Enter presses, never the one that answered the last.
    dialog->SetActiveControl(focusOnNo ? dialog->CancelBtn : dialog->OKBtn);
    return dialog->ShowModal() == TFDlgYesNo::mrYes;
}

void TFormMain::mStart2Click(QObject *)
{
    switch (RaceState()) {
    case rsReady:
        StartRace();
        break;
    case rsRunning:
        StopRace();
        break;
    case rsStopped:
        ResetRace();
        break;
    }
}

void TFormMain::SetHeaderLocked(bool locked)
{
    feDist->setEnabled(!locked);
    cbTip->setEnabled(!locked);
    cbFinish->setEnabled(!locked);
    seCarCount->setEnabled(!locked);
    bStartList->setEnabled(!locked);
    meTimeWarn->setEnabled(!locked);
    Desk->MinLapField()->setEnabled(!locked);
    meTime->setReadOnly(locked);
    seKrugs->setReadOnly(locked);
}

TFormMain::TRaceState TFormMain::RaceState() const
{
    switch (Session.State()) {
    case TRaceSession::TState::Ready:
        return rsReady;
    case TRaceSession::TState::Running:
        return rsRunning;
    default:
        return rsStopped;
    }
}

void TFormMain::StartRace()
{
    const quint32 startTick = FTicks.GetTickCount();
    // Texts typed but not yet checked by leaving their field are checked now, so the race runs
    // on exactly what the fields show.
    feDist->CheckText(false);
    meTimeWarnExit();
    // The clock keeps its text until the first tick of Timer1, unless the text is refused
    // (too large for a race duration): then the duration stays and its text comes back.
    if (const std::optional<qint32> seconds = ParseClock(meTime->text()))
        RaceSeconds = *seconds;
    else
        meTime->setText(FormatClock(RaceSeconds));
    TRaceEvent start = CurrentSetup().StartEvent(startTick, QDateTime::currentMSecsSinceEpoch());
    // A race day's heat is named in its START, written with it by the journal's own thread.
    if (FHeat.dayId != 0)
        LinkStartToHeat(start, FHeat.dayId, FHeat.heatId);
    FlushJournal();
    Session.Apply(start);
    ShowLoadedRace();
    SyncState();
    JournalRaceId = Journal->startRace(start);
}

void TFormMain::SyncState()
{
    const TRaceSession::TState state = Session.State();
    if (state == FShownState)
        return;
    const TRaceSession::TState before = std::exchange(FShownState, state);
    // While cars run, a stray character must not rename a driver: Enter or a double click opens
    // a cell.
    SortGrid1->SetTypingOpensEditor(state != TRaceSession::TState::Running);
    switch (state) {
    case TRaceSession::TState::Ready:
        break;
    case TRaceSession::TState::Running:
        BeginRunning();
        // A correction took the race's end back: it can be resumed again after a crash.
        if (before == TRaceSession::TState::Ended && JournalRaceId != 0)
            Journal->setOutcome(JournalRaceId, TRaceSummary::State::Running);
        break;
    case TRaceSession::TState::Stopped:
        ShowRaceStopped();
        break;
    case TRaceSession::TState::Ended:
        EndRace();
        break;
    }
}

void TFormMain::BeginRunning()
{
    ShowStartButton(QStringLiteral("STOPP"), kStartRunning, kStartRunningLight);
    seKrugs->setValue(Session.LapsToGo());
    sbExcel->setEnabled(true);
    sbWeb->setEnabled(true);
    sbNew->setEnabled(false);
    Timer1->start();
    TimerALL->start();
    PublishAudience();
}

void TFormMain::StopRace()
{
    if (!AskYesNo(kStopQuestion, true))
        return;
    RecordRaceEvent(TRaceEvent::Kind::Stop);
    SyncState();
}

void TFormMain::ShowRaceStopped()
{
    TimerALL->stop();
    ShowStartButton(kStoppedCaption, kStartStopped, kStartStoppedLight);
    sbExcel->setEnabled(true);
    sbWeb->setEnabled(true);
    sbNew->setEnabled(true);
    Timer1->stop();
    Standings->Show();
    PublishAudience();
    // Every running time turns bold and no car stays red: every cell is drawn again.
    SortGrid1->viewport()->update();
}

void TFormMain::ResetRace()
{
    ShowStartButton(QStringLiteral("START"), kStartReady, kStartReadyLight);
    meTime->setText(FormatClock(RaceSeconds));
    // The laps field still shows the leader's remaining laps: raising its lower limit may
    // change its value, which must not reach the configured laps, so it stays read-only
    // until it shows them again.
    seKrugs->setMinimum(1);
    seKrugs->setValue(Race.RaceLaps);
    SetHeaderLocked(false);
    RecordRaceEvent(TRaceEvent::Kind::Reset);
    FShownState = Session.State();
    Standings->Show();
    SortGrid1->repaint();
    sbExcel->setEnabled(false);
    sbWeb->setEnabled(false);
    sbNew->setEnabled(true);
    TimerALL->stop();
    Timer1->stop();
    JournalRaceId = 0;
    ClearCorrectionDesk();
    LeaveArchivedRace();
    PublishAudience();
}

void TFormMain::ClearStandings(bool KeepNothing)
{
    Session.ClearStandings(KeepNothing);
    Standings->Show();
    sbNew->setEnabled(false);
}

void TFormMain::TimerALLTimer()
{
    if (Session.Tick(FTicks.GetTickCount()))
        Standings->Show();
    SyncState();
}

void TFormMain::EndRace()
{
    Timer1->stop();
    Standings->Show();
    ShowStartButton(kStoppedCaption, kStartStopped, kStartStoppedLight);
    sbNew->setEnabled(true);
    TimerALL->stop();
    RecordRaceEvent(TRaceEvent::Kind::End);
    PublishAudience();
}

void TFormMain::Timer1Timer()
{
    const quint32 elapsedMs = FTicks.GetTickCount() - Session.StartTick(); // modulo 2^32
    const qint64 remaining = qMax<qint64>(0, qint64(RaceSeconds) - elapsedMs / kMsPerSecond);
    meTime->setText(FormatClock(qint32(remaining)));
    Session.ReleaseKeyLocks();
    PublishAudience();
}

bool TFormMain::meTimeKeyPress(QChar typed)
{
    return IsClockCharAccepted(typed, LocaleTimeSeparator(QLocale()));
}

void TFormMain::meTimeExit()
{
    if (meTime->isReadOnly())
        return;
    RaceSeconds = ParseClock(meTime->text()).value_or(RaceSeconds);
    meTime->setText(FormatClock(RaceSeconds));
}

void TFormMain::meTimeWarnExit()
{
    // Every digit of the mask is needed: a field left incomplete gets its last complete text
    // back (WarnTimeText follows every complete text) instead of being read with zeros in the
    // gaps.
    if (!IsCompleteWarnTime(meTimeWarn->text()))
        meTimeWarn->setText(WarnTimeText);
}

void TFormMain::seKrugsChange(QObject *)
{
    // Once a race has begun the field counts the leader's remaining laps down, also while a
    // resumed race is replayed and before the field is locked: only before START does it set
    // the race's laps.
    if (RaceState() == rsReady && !seKrugs->isReadOnly())
        Session.Timing().RaceLaps = seKrugs->value();
}

void TFormMain::sbNewClick(QObject *)
{
    // "Ja" empties the standings (and during a race ends it): the question opens on "Nein", so
    // Enter never loses a race's results.
    if (!AskYesNo(Running() ? kNewRaceWhileRunningQuestion : kNewRaceQuestion, true))
        return;
    // A running race is stopped before anything is emptied: answering "Nein" to the stop
    // keeps the race and its standings as they are.
    const bool wasRunning = RaceState() == rsRunning;
    if (wasRunning) {
        mStart2Click(bSTART2);
        if (RaceState() == rsRunning)
            return;
    }
    RecordRaceEvent(TRaceEvent::Kind::NewRace);
    ClearStandings(true);
    // A race stopped before the command is reset; one stopped by it stays stopped.
    if (!wasRunning && RaceState() == rsStopped)
        mStart2Click(bSTART2);
    // The new race is no heat: neither the heat's link nor its title stay for its START.
    if (FHeat.dayId != 0 && eTitle->text() == FHeat.title)
        eTitle->clear();
    DropHeat();
    sbNew->setEnabled(false);
    Session.LabelKeys(seCarCount->value());
    Standings->Show();
}

bool TFormMain::FormCloseQuery()
{
    DlgYesNo()->Label1->setText(kCloseQuestion);
    if (!Running())
        return true;
    // "Ja" ends the running race: the question opens on "Nein".
    return AskYesNo(kCloseQuestion, true);
}

void TFormMain::FormClose()
{
    TimerALL->stop();
}

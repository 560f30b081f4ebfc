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
constexpr int kLiveTimeMode = 5;
// Race totals of an hour or more keep their hours: a four-hour race must not read as minutes.
constexpr int kLongTotalTimeMode = 7;
constexpr qint32 kMsPerHour = 3600 * 1000;

const QString kStopQuestion = QStringLiteral("Alle aktuellen Laufzeiten stoppen?");
const QString kNewRaceQuestion = QStringLiteral("Alle laufenden Zeiten stoppen?");
const QString kCloseQuestion = QStringLiteral("Beenden?");
const QString kStoppedCaption = QStringLiteral("00:00");

} // namespace

bool TFormMain::AskYesNo(const QString &question, bool focusOnNo)
{
    TFDlgYesNo *dialog = DlgYesNo();
    dialog->Label1->setText(question);
    if (focusOnNo)
        dialog->SetActiveControl(dialog->CancelBtn);
    return dialog->ShowModal() == TFDlgYesNo::mrYes;
}

void TFormMain::FClick(QAction *Sender)
{
    if (!Sender)
        return;
    Race.FClick(Sender->data().toInt(), Running());
}

void TFormMain::mStart2Click(QObject *)
{
    switch (FRaceState) {
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
    const TRaceSetup setup = CurrentSetup();
    RebuildRace(setup, startTick, {});
    BeginRunning();
    FlushJournal();
    JournalRaceId =
        Journal->startRace(setup.StartEvent(startTick, QDateTime::currentMSecsSinceEpoch()));
}

void TFormMain::BeginRunning()
{
    ShowStartButton(QStringLiteral("STOPP"), kStartRunning, kStartRunningLight);
    seKrugs->setValue(Race.RaceLaps - Race.LapTable[0].Count);
    sbExcel->setEnabled(true);
    sbWeb->setEnabled(true);
    sbNew->setEnabled(false);
    FRaceState = rsRunning;
    Timer1->start();
    TimerALL->start();
    PublishAudience();
}

void TFormMain::StopRace()
{
    if (!AskYesNo(kStopQuestion, true))
        return;
    TimerALL->stop();
    ShowStartButton(kStoppedCaption, kStartStopped, kStartStoppedLight);
    ShowFinalTimes();
    Race.StopRace();
    RecordRaceEvent(TRaceEvent::Kind::Stop);
    ShowRaceStopped();
}

void TFormMain::ShowRaceStopped()
{
    TimerALL->stop();
    ShowStartButton(kStoppedCaption, kStartStopped, kStartStoppedLight);
    sbExcel->setEnabled(true);
    sbWeb->setEnabled(true);
    sbNew->setEnabled(true);
    FRaceState = rsStopped;
    Timer1->stop();
    PublishAudience();
    // Every running time turns bold and no car stays red: every cell is drawn again.
    SortGrid1->viewport()->update();
}

void TFormMain::ResetRace()
{
    ShowStartButton(QStringLiteral("START"), kStartReady, kStartReadyLight);
    meTime->setText(FormatClock(RaceSeconds));
    Race.ClearRanking();
    // The laps field still shows the leader's remaining laps: raising its lower limit may
    // change its value, which must not reach the configured laps, so it stays read-only
    // until it shows them again.
    seKrugs->setMinimum(1);
    seKrugs->setValue(Race.RaceLaps);
    SetHeaderLocked(false);
    ClearStandings(false);
    SortGrid1->repaint();
    sbExcel->setEnabled(false);
    sbWeb->setEnabled(false);
    sbNew->setEnabled(true);
    Race.Busy = false;
    FRaceState = rsReady;
    TimerALL->stop();
    Timer1->stop();
    RecordRaceEvent(TRaceEvent::Kind::Reset);
    JournalRaceId = 0;
    ClearCorrectionDesk();
    LeaveArchivedRace();
    PublishAudience();
}

QString TFormMain::TotalTimeText(int car)
{
    const qint32 total = Race.CrossTable[car].Slot[Race.LapTable[car].Count];
    Race.TimeMode = total >= kMsPerHour ? kLongTotalTimeMode : kLiveTimeMode;
    const QString text = Race.FormatTime(total);
    Race.TimeMode = kLiveTimeMode;
    return text;
}

void TFormMain::ShowFinalTimes()
{
    Race.TimeMode = kLiveTimeMode;
    for (int car = 1; car <= Race.CarCount(); ++car) {
        if (const int row = Race.RowOfCar(car))
            SortGrid1->SetCells(TRaceTiming::colZeit, row,
                                Race.Finished(car) ? TotalTimeText(car) : QString());
    }
}

void TFormMain::ClearStandings(bool KeepNothing)
{
    const int firstCleared = KeepNothing ? TRaceTiming::colKey : TRaceTiming::colLaps;
    for (int r = 1; r < SortGrid1->RowCount(); ++r) {
        SortGrid1->SetCells(TRaceTiming::colPos, r, QString());
        for (int c = firstCleared; c < TRaceTiming::kStandingsColumns; ++c)
            SortGrid1->SetCells(c, r, QString());
    }
    sbNew->setEnabled(false);
}

void TFormMain::TimerALLTimer()
{
    if (Race.Busy)
        return;
    Race.TimeMode = kLiveTimeMode;
    const quint32 now = FTicks.GetTickCount();
    int unfinished = 0;
    // The prepared cars are walked, not the rows: rows of starters without a car may stand
    // anywhere in the standings.
    for (int car = 1; car <= Race.CarCount(); ++car) {
        const int row = Race.RowOfCar(car);
        if (row == 0 || Race.Finished(car))
            continue;
        // With tenths the text changes every tenth tick: repaint only when it does.
        const QString running = Race.FormatTime(Race.RunningLapMs(car, now));
        if (SortGrid1->Cells(TRaceTiming::colZeit, row) != running)
            SortGrid1->SetCells(TRaceTiming::colZeit, row, running);
        ++unfinished;
    }
    if (unfinished == 0)
        EndRace();
}

void TFormMain::EndRace()
{
    Timer1->stop();
    for (int car = 1; car <= Race.CarCount(); ++car) {
        if (const int row = Race.RowOfCar(car))
            SortGrid1->SetCells(TRaceTiming::colZeit, row, TotalTimeText(car));
    }
    Race.Busy = true;
    ShowStartButton(kStoppedCaption, kStartStopped, kStartStoppedLight);
    sbNew->setEnabled(true);
    FRaceState = rsStopped;
    TimerALL->stop();
    Race.Busy = false;
    RecordRaceEvent(TRaceEvent::Kind::End);
    PublishAudience();
}

void TFormMain::Timer1Timer()
{
    const quint32 elapsedMs = FTicks.GetTickCount() - Race.StartTick; // modulo 2^32
    const qint64 remaining = qMax<qint64>(0, qint64(RaceSeconds) - elapsedMs / kMsPerSecond);
    meTime->setText(FormatClock(qint32(remaining)));
    Race.ReleaseKeyLocks();
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
    if (!seKrugs->isReadOnly())
        Race.RaceLaps = seKrugs->value();
}

void TFormMain::sbNewClick(QObject *)
{
    // During a race "Ja" ends it: the question opens on "Nein", so Enter never ends a race.
    if (!AskYesNo(kNewRaceQuestion, Running()))
        return;
    // A running race is stopped before anything is emptied: answering "Nein" to the stop
    // keeps the race and its standings as they are.
    const bool wasRunning = FRaceState == rsRunning;
    if (wasRunning) {
        mStart2Click(bSTART2);
        if (FRaceState == rsRunning)
            return;
    }
    RecordRaceEvent(TRaceEvent::Kind::NewRace);
    ClearStandings(true);
    // A race stopped before the command is reset; one stopped by it stays stopped.
    if (!wasRunning && FRaceState == rsStopped)
        mStart2Click(bSTART2);
    sbNew->setEnabled(false);
    for (int r = 1; r <= qMin(seCarCount->value(), SortGrid1->RowCount() - 1); ++r)
        SortGrid1->SetCells(TRaceTiming::colKey, r, QStringLiteral("F%1").arg(r));
    Race.RebuildMaps();
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

// The race as recorded events: every START, press, stop, end, reset and new race goes to the
// race journal; a race left unfinished (a crash, a power cut) is offered for resuming at start,
// rebuilt from its events.
#include "FormMain.h"

#include "ClockText.h"
#include "CorrectionDesk.h"
#include "ElidedLabel.h"
#include "PassLogModel.h"
#include "RaceJournal.h"
#include "StandingsView.h"

#include "FlEdit.h"
#include "TSortGrid.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

namespace {

const QString kResumeQuestion =
    QStringLiteral("Das Rennen \u201E%1\u201C vom %2 wurde nicht beendet.\nFortsetzen?");
const QString kResumedAfterReboot = QStringLiteral(
    "Der Rechner wurde seit dem Start des Rennens neu gestartet: die Rennzeit läuft nach der "
    "Uhrzeit des Rechners weiter.");
const QString kJournalWarning = QStringLiteral("Rennjournal gestört: das Rennen läuft nur im "
                                               "Speicher weiter. %1");

} // namespace

qint64 TFormMain::WallNow()
{
    return QDateTime::currentMSecsSinceEpoch();
}

void TFormMain::OpenJournal(const QString &journalPath)
{
    Journal = new TRaceJournal(this);
    // A long warning (a long path) is cut in the status bar rather than widening the window
    // beyond the screen; its tool tip holds the whole text.
    JournalWarning = new TElidedLabel;
    JournalWarning->setStyleSheet(QStringLiteral("color: #C00000; font-weight: bold"));
    JournalWarning->hide();
    StatusBar1->addPermanentWidget(JournalWarning);
    connect(Journal, &TRaceJournal::journalFailed, this, &TFormMain::ShowJournalWarning);
    connect(Journal, &TRaceJournal::journalRecovered, this, [this] {
        JournalWarning->hide();
        GiveKeyListRoom(true);
    });
    // The file was had only later, in place of one moved aside: said without a question, as a
    // race may be running.
    connect(Journal, &TRaceJournal::journalNotice, this,
            [this](const QString &notice) { StatusBar1->showMessage(notice); });
    if (journalPath.isEmpty())
        return;
    if (!Journal->open(journalPath))
        ShowJournalWarning(Journal->errorString());
    else if (!Journal->notice().isEmpty())
        FPendingNotice = Journal->notice();
}

void TFormMain::ShowJournalWarning(const QString &message)
{
    JournalWarning->setText(kJournalWarning.arg(message));
    JournalWarning->setToolTip(JournalWarning->text());
    JournalWarning->show();
    GiveKeyListRoom(false);
}

void TFormMain::GiveKeyListRoom(bool room)
{
    // While the journal is disturbed, its warning needs the status bar more than the list of
    // keys does: the list then gets only what the warning leaves.
    if (auto *keys = StatusBar1->findChild<QWidget *>(QStringLiteral("StatusKeys")))
        keys->setSizePolicy(room ? QSizePolicy::Preferred : QSizePolicy::Ignored,
                            QSizePolicy::Preferred);
}

void TFormMain::ShowNoticeText(const QString &text)
{
    if (ShowNotice)
        ShowNotice(text);
    else
        QMessageBox::warning(this, windowTitle(), text);
}

void TFormMain::OfferResume()
{
    if (!FPendingNotice.isEmpty()) {
        ShowNoticeText(FPendingNotice);
        FPendingNotice.clear();
    }
    if (!Journal->isOpen() || RaceState() != rsReady)
        return;
    FlushJournal();
    const std::optional<TRaceSummary> race = Journal->unfinishedRace();
    if (!race)
        return;
    const QString when = QLocale().toString(QDateTime::fromMSecsSinceEpoch(race->startedWallMs),
                                            QLocale::ShortFormat);
    // Cars go on crossing while the operator reads the question: their presses wait for it.
    FPressesAtResume.emplace();
    const bool resume = AskYesNo(kResumeQuestion.arg(race->title, when), false);
    const QList<TWaitingPress> waiting = *std::exchange(FPressesAtResume, std::nullopt);
    if (!resume) {
        Journal->markInterrupted(race->id);
        return;
    }
    ResumeRace(*race, Journal->events(race->id));
    for (const TWaitingPress &press : waiting) {
        Session.ReleaseKeyLocks(press.stamp);
        PressLap(press.car, press.stamp, press.overLock);
    }
    FlushJournal();
    if (!waiting.isEmpty())
        StatusBar1->showMessage(
            waiting.size() == 1
                ? QStringLiteral("1 Druck während der Frage ins Rennen übernommen")
                : QStringLiteral("%1 Drücke während der Frage ins Rennen übernommen")
                      .arg(waiting.size()));
}

void TFormMain::ResumeRace(const TRaceSummary &race, const QList<TRaceEvent> &events)
{
    const auto start = std::find_if(events.cbegin(), events.cend(), [](const TRaceEvent &e) {
        return e.kind == TRaceEvent::Kind::Start;
    });
    if (start == events.cend())
        return;
    // The tick counter goes on across a crash of the program, not across a restart of the
    // machine: then the race time comes from the wall clock of the START.
    const quint32 now = FTicks.GetTickCount();
    const bool sameBoot = !race.bootId.isEmpty() && race.bootId == BootId();
    quint32 startTick = start->tick;
    for (const TRaceEvent &e : events) {
        if (e.kind == TRaceEvent::Kind::Resume && e.payload.contains(QStringLiteral("startTick")))
            startTick = quint32(e.payload.value(QStringLiteral("startTick")).toInteger());
    }
    if (!sameBoot)
        startTick = now - quint32(qMax<qint64>(0, WallNow() - start->wallMs));

    Session.Load(events, startTick);
    JournalRaceId = race.id;
    TRaceEvent resumed;
    resumed.kind = TRaceEvent::Kind::Resume;
    resumed.tick = now;
    resumed.wallMs = WallNow();
    resumed.payload = QJsonObject{{QStringLiteral("startTick"), qint64(startTick)},
                                  {QStringLiteral("afterReboot"), !sameBoot}};
    Record(resumed);
    ShowLoadedRace();
    SyncState();
    if (!sameBoot)
        ShowNoticeText(kResumedAfterReboot);
}

TRaceSetup TFormMain::CurrentSetup() const
{
    TRaceSetup setup;
    setup.title = eTitle->text();
    setup.session = cbTip->currentText();
    setup.cars = seCarCount->value();
    setup.laps = seKrugs->value();
    setup.lapLengthKm = double(feDist->Value());
    setup.raceSeconds = RaceSeconds;
    setup.warnTime = WarnTimeText;
    setup.minLapMs = quint32(Desk->MinLapField()->value()) * 1000;
    setup.finishRule = cbFinish->currentIndex();
    // Readers elsewhere (the results office) show the times with the station's digits.
    setup.accuracy = Race.Acc;
    const TStandingsTable &rows = Session.Standings();
    for (int r = 1; r < rows.RowCount(); ++r)
        setup.starters.append(
            {rows.Cell(TRaceTiming::colNr, r), rows.Cell(TRaceTiming::colFahrer, r)});
    return setup;
}

void TFormMain::ShowLoadedRace()
{
    ShowSetup(Session.Setup());
    Desk->MinLapField()->setValue(int(Session.Corrections().MinLapMs() / 1000));
    // From here the laps field shows the leader's remaining laps and no longer sets the laps of
    // the race.
    SetHeaderLocked(true);
    FollowHeatOfRace();
    // Setting a spin box's range lays the window out again, even the same range: only once.
    if (seKrugs->minimum() != 0)
        seKrugs->setMinimum(0);
    ShowSession();
}

void TFormMain::ShowSetup(const TRaceSetup &setup)
{
    if (eTitle->text() != setup.title)
        eTitle->setText(setup.title);
    cbTip->setCurrentIndex(qMax(0, cbTip->findText(setup.session)));
    cbFinish->setCurrentIndex(qBound(0, setup.finishRule, cbFinish->count() - 1));
    seCarCount->setValue(setup.cars);
    seKrugs->setValue(setup.laps);
    if (double(feDist->Value()) != setup.lapLengthKm)
        feDist->SetValue(setup.lapLengthKm);
    RaceSeconds = setup.raceSeconds;
    if (IsCompleteWarnTime(setup.warnTime))
        meTimeWarn->setText(setup.warnTime);
    // Before a race the rows are the operator's: they get the starters back.
    if (!Session.HasRace()) {
        QList<QStringList> rows;
        for (const TRaceSetup::TStarter &starter : setup.starters)
            rows.append({starter.number, starter.driver});
        Session.ShowStarterList(rows);
    }
    const bool rowsChanged = SortGrid1->RowCount() != Session.Standings().RowCount();
    Standings->Show();
    if (rowsChanged)
        FitHeightToRows();
}

void TFormMain::ShowSession(bool passLogReload)
{
    Standings->Show();
    if (Session.HasRace())
        seKrugs->setValue(Session.LapsToGo());
    if (passLogReload) {
        Desk->Model()->Reload();
        // The names may have changed: the driver's column follows them.
        Desk->FitColumns();
        const int latest = Desk->Model()->IdAt(0);
        ShowLatestPress(latest);
    }
    ShowCorrectionResult();
    if (RaceState() == rsStopped)
        sbNew->setEnabled(true);
    SortGrid1->viewport()->update();
    PublishAudience();
}

void TFormMain::Journalize(const TRaceEvent &event)
{
    if (JournalRaceId != 0)
        Journal->append(JournalRaceId, event);
}

TRaceSession::TApplied TFormMain::Record(TRaceEvent event)
{
    FlushJournal();
    const TRaceSession::TApplied applied = Session.Apply(std::move(event));
    if (applied.recorded)
        Journalize(applied.event);
    return applied;
}

void TFormMain::LapKey(int car, quint32 stamp, TLapKeyFilter::TKind kind)
{
    switch (kind) {
    case TLapKeyFilter::TKind::Press:
        PressLap(car, stamp);
        break;
    case TLapKeyFilter::TKind::Now:
        PressLap(car, stamp, true);
        break;
    case TLapKeyFilter::TKind::Find:
        // Not from behind a question or a dialog: the pass log would take their keys.
        if (!QApplication::activeModalWidget())
            FindCrossingOfCar(car);
        break;
    }
}

void TFormMain::PressLap(int car, quint32 stamp, bool overLock)
{
    if (FPressesAtResume) {
        FPressesAtResume->append({car, stamp, overLock});
        return;
    }
    const quint32 now = FTicks.GetTickCount();
    const TRaceSession::TApplied applied =
        Session.Press(car, stamp, WallNow() - qint64(now - stamp), overLock);
    if (!applied.recorded)
        return;
    if (applied.counted) {
        Standings->Show();
        Standings->RedrawTimes();
        // The row is marked after the repaint of the press, with the journal's hand-over: the
        // mark repaints a whole row, which must not delay the press's own figures on the screen.
        FPendingMark = car;
        // Handed to the journal's thread only after the standings are repainted: waking that
        // thread on a busy machine can take the processor from this one, between the key and
        // the repaint.
        FJournalOutbox.append({JournalRaceId, applied.event});
        FLatestCrossing = applied.event.seq;
        if (!FJournalFlushPosted) {
            FJournalFlushPosted = true;
            // Below the priority of the repaint request, so it comes after the repaint.
            QCoreApplication::postEvent(this, new QEvent(kJournalFlushEvent),
                                        Qt::LowEventPriority - 1);
        }
    } else {
        // Held, locked, not counted or recomputed: nothing of it is urgent on the screen.
        FlushJournal();
        Journalize(applied.event);
        ShowSession(applied.rebuilt);
        if (!applied.rebuilt)
            Desk->Model()->AddCrossing(applied.event.seq);
        ShowLatestPress(applied.event.seq);
    }
    SyncState();
}

void TFormMain::TypeIntoStandings(int col, int row, const QString &text)
{
    StarterTyped(row, col, text);
    Standings->Show();
}

void TFormMain::StarterTyped(int row, int col, const QString &text)
{
    FlushJournal();
    const TRaceSession::TApplied applied =
        Session.EditStarter(row, col, text, FTicks.GetTickCount(), WallNow());
    if (applied.recorded) {
        Journalize(applied.event);
        // The pass log and the latest press show the new name at once.
        ShowSession();
    }
}

void TFormMain::MarkPressedRow()
{
    if (FPendingMark == 0)
        return;
    const int previous = FMarkedCar;
    FMarkedCar = std::exchange(FPendingMark, 0);
    FMarkTimer->start();
    for (const int car : {previous, FMarkedCar}) {
        if (const int row = Race.RowOfCar(car))
            SortGrid1->InvalidateRow(row);
    }
}

void TFormMain::FlushJournal()
{
    if (FJournalOutbox.isEmpty())
        return;
    const QList<QPair<qint64, TRaceEvent>> outbox = std::exchange(FJournalOutbox, {});
    bool current = false;
    for (const auto &[raceId, event] : outbox) {
        Journal->append(raceId, event);
        if (raceId == JournalRaceId && raceId != 0 && !FClosing) {
            Desk->Model()->AddCrossing(event.seq);
            current = true;
        }
    }
    const int latest = std::exchange(FLatestCrossing, 0);
    if (FClosing || !current || latest == 0)
        return;
    ShowLatestPress(latest);
    AnnouncePress(latest);
    PublishAudience();
}

bool TFormMain::event(QEvent *event)
{
    if (event->type() == kJournalFlushEvent) {
        FJournalFlushPosted = false;
        MarkPressedRow();
        FlushJournal();
        return true;
    }
    return QMainWindow::event(event);
}

void TFormMain::RecordRaceEvent(TRaceEvent::Kind kind)
{
    TRaceEvent event;
    event.kind = kind;
    event.tick = FTicks.GetTickCount();
    event.wallMs = WallNow();
    const TRaceSession::TApplied applied = Record(event);
    if (JournalRaceId == 0 || !applied.recorded)
        return;
    if (kind == TRaceEvent::Kind::Stop || kind == TRaceEvent::Kind::End)
        Journal->setOutcome(JournalRaceId,
                            kind == TRaceEvent::Kind::End ? TRaceSummary::State::Finished
                                                          : TRaceSummary::State::Stopped,
                            Session.WinnerText());
}

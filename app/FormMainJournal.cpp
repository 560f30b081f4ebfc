// The race as recorded events: every START, press, stop, end, reset and new race goes to the
// race journal; a race left unfinished (a crash, a power cut) is offered for resuming at start,
// rebuilt from its events.
#include "FormMain.h"

#include "ClockText.h"
#include "CorrectionDesk.h"
#include "PassLogModel.h"
#include "PassReplay.h"
#include "RaceJournal.h"

#include "FlEdit.h"
#include "TSortGrid.h"

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
    JournalWarning = new QLabel;
    JournalWarning->setStyleSheet(QStringLiteral("color: #C00000; font-weight: bold"));
    JournalWarning->hide();
    StatusBar1->addPermanentWidget(JournalWarning);
    connect(Journal, &TRaceJournal::journalFailed, this, &TFormMain::ShowJournalWarning);
    connect(Journal, &TRaceJournal::journalRecovered, this, [this] { JournalWarning->hide(); });
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
    JournalWarning->setToolTip(message);
    JournalWarning->show();
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
    if (!Journal->isOpen() || FRaceState != rsReady)
        return;
    FlushJournal();
    const std::optional<TRaceSummary> race = Journal->unfinishedRace();
    if (!race)
        return;
    const QString when = QLocale().toString(QDateTime::fromMSecsSinceEpoch(race->startedWallMs),
                                            QLocale::ShortFormat);
    if (!AskYesNo(kResumeQuestion.arg(race->title, when), false)) {
        Journal->markInterrupted(race->id);
        return;
    }
    ResumeRace(*race, Journal->events(race->id));
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

    RebuildRace(TRaceSetup::FromStartEvent(*start), startTick, events);
    JournalRaceId = race.id;
    BeginRunning();
    TRaceEvent resumed;
    resumed.kind = TRaceEvent::Kind::Resume;
    resumed.tick = now;
    resumed.wallMs = WallNow();
    resumed.payload = QJsonObject{{QStringLiteral("startTick"), qint64(startTick)},
                                  {QStringLiteral("afterReboot"), !sameBoot}};
    FlushJournal();
    Journal->append(JournalRaceId, resumed);
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
    for (int r = 1; r < SortGrid1->RowCount(); ++r)
        setup.starters.append(
            {SortGrid1->Cells(TRaceTiming::colNr, r), SortGrid1->Cells(TRaceTiming::colFahrer, r)});
    return setup;
}

void TFormMain::RebuildRace(const TRaceSetup &setup, quint32 startTick,
                            const QList<TRaceEvent> &events)
{
    // The crossings as the events leave them, corrections, undo and redo applied; then the
    // tables from them: the same for a live START, a resume and an earlier race.
    FRaceEvents = events;
    FRaceOutcome.reset();
    Corrections = TRaceCorrections(setup.minLapMs);
    Corrections.Rebuild(events);
    Desk->MinLapField()->setValue(int(Corrections.MinLapMs() / 1000));
    RebuildTables(setup, startTick);
}

void TFormMain::RebuildTables(const TRaceSetup &setup, quint32 startTick)
{
    // The header and the rows as START found them; for a live START they already are.
    ShowSetup(setup);
    WarnTime = ParseWarnTime(WarnTimeText);
    // From here the laps field shows the leader's remaining laps and no longer sets the laps of
    // the race: locked before the first press is applied.
    SetHeaderLocked(true);
    // Setting a spin box's range lays the window out again, even the same range: only once.
    if (seKrugs->minimum() != 0)
        seKrugs->setMinimum(0);
    FRaceSetup = setup;
    FRaceStartTick = startTick;
    Race.FinishRule = TRaceTiming::TFinishRule(qBound(0, setup.finishRule, 3));
    Race.TimeLimitMs = qint64(setup.raceSeconds) * 1000;
    Race.StartRaceAt(setup.cars, setup.laps, setup.lapLengthKm, startTick);
    for (int car = 1; car <= kMaxCars; ++car)
        Race.Verdicts[car] = Corrections.Verdict(car);
    ApplyPasses(Race, Corrections.Counted());
    // A car that did not start has no lap to rank it by: its row says so.
    for (int car = 1; car <= Race.CarCount(); ++car) {
        if (Race.Verdicts[car].status == TCarVerdict::Status::NotStarted && Race.RowOfCar(car))
            SortGrid1->SetCells(TRaceTiming::colPos, Race.RowOfCar(car), QStringLiteral("DNS"));
    }
    // Keys are locked by a recent press only, not by the rebuild.
    Race.ReleaseKeyLocks();
    Desk->Model()->Reload();
    const int latest = Desk->Model()->IdAt(0);
    Desk->ShowLatest(latest ? LatestPressText(latest) : QString());
    ShowCorrectionResult();
    ++FAudienceVersion;
    PublishAudience();
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
    if (SortGrid1->RowCount() != setup.starters.size() + 1) {
        SortGrid1->SetRowCount(int(setup.starters.size()) + 1);
        FitHeightToRows();
    }
    for (int r = 1; r <= setup.starters.size(); ++r) {
        SortGrid1->SetCells(TRaceTiming::colNr, r, setup.starters[r - 1].number);
        SortGrid1->SetCells(TRaceTiming::colFahrer, r, setup.starters[r - 1].driver);
    }
}

void TFormMain::PressLap(int car, quint32 stamp)
{
    if (!Race.AcceptsPress(car, Running()))
        return;
    // The minimum lap guard: a press that would make too short a lap waits for a confirmation.
    if (Corrections.MinLapMs() > 0 && stamp - Race.LastCross[car] < Corrections.MinLapMs()) {
        HoldPress(car, stamp);
        return;
    }
    Race.ApplyPress(car, stamp);
    // The row is marked after the repaint of the press, with the journal's hand-over: the mark
    // repaints a whole row, which must not delay the press's own figures on the screen.
    FPendingMark = car;
    // Handed to the journal's thread only after the standings are repainted: waking that thread
    // on a busy machine can take the processor from this one, between the key and the repaint.
    const quint32 now = FTicks.GetTickCount();
    FJournalOutbox.append(
        {JournalRaceId, PressEvent(car, stamp, Race.StartTick, WallNow() - qint64(now - stamp))});
    if (!FJournalFlushPosted) {
        FJournalFlushPosted = true;
        // Below the priority of the repaint request, so it comes after the repaint.
        QCoreApplication::postEvent(this, new QEvent(kJournalFlushEvent), Qt::LowEventPriority - 1);
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
    bool rebuild = false;
    int latest = 0;
    for (const auto &[raceId, event] : outbox) {
        if (raceId != JournalRaceId || raceId == 0) {
            Journal->append(raceId, event);
            continue;
        }
        // The tables counted the press already; the corrections learn of it now, with its
        // number, and say whether it changes more than one lap at the end.
        rebuild = RecordCrossingEvent(event) || rebuild;
        latest = FRaceEvents.last().seq;
        if (!rebuild && !FClosing)
            Desk->Model()->AddCrossing(latest);
    }
    if (FClosing || latest == 0)
        return;
    if (rebuild)
        RecomputeRace();
    Desk->ShowLatest(LatestPressText(latest));
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
    if (JournalRaceId == 0)
        return;
    TRaceEvent event;
    event.kind = kind;
    event.tick = FTicks.GetTickCount();
    event.wallMs = WallNow();
    FlushJournal();
    event.seq = Journal->append(JournalRaceId, event);
    FRaceEvents.append(event);
    if (kind == TRaceEvent::Kind::Stop || kind == TRaceEvent::Kind::End) {
        FRaceOutcome = kind == TRaceEvent::Kind::End ? TRaceSummary::State::Finished
                                                     : TRaceSummary::State::Stopped;
        Journal->setOutcome(JournalRaceId, *FRaceOutcome, WinnerText());
    }
}

QString TFormMain::WinnerText() const
{
    const int car = int(Race.Ranking[0] >> 28);
    const int row = Race.RowOfCar(car);
    if (car < 1 || row == 0 || Race.LapTable[car].Count == 0)
        return QString();
    const QString number = SortGrid1->Cells(TRaceTiming::colNr, row);
    const QString driver = SortGrid1->Cells(TRaceTiming::colFahrer, row);
    const QString name = (number + u' ' + driver).trimmed();
    return name.isEmpty() ? QStringLiteral("F%1").arg(car) : name;
}

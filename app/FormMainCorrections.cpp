// The correction desk: the pass log below the standings, the corrections the operator makes in
// it, undo and redo. Every correction is a journal event; the race is then rebuilt from the
// race's events, as a resume would rebuild it.
#include "FormMain.h"

#include "CorrectionDesk.h"
#include "CorrectionEvents.h"
#include "CrossingDialog.h"
#include "LatestPressLine.h"
#include "PassLogModel.h"
#include "RaceJournal.h"

#include "TSortGrid.h"

#include <QAction>
#include <QDateTime>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolButton>

namespace {

constexpr int kMarkMs = 1500;
constexpr int kStatusMessageMs = 8000;
constexpr int kMsPerSecond = 1000;
const QString kSplitUsualLapQuestion =
    QStringLiteral("Diese Runde ist nicht zu lang – trotzdem teilen?");

} // namespace

void TFormMain::BuildCorrectionDesk()
{
    Desk = new TCorrectionDesk(Session.Corrections());
    Desk->Model()->StarterOf = [this](int car) { return Session.StarterOfCar(car); };
    Desk->Model()->AfterFinish = [this](int car, quint32 raceMs) {
        return Session.AfterFinish(car, raceMs);
    };
    FMarkTimer = new QTimer(this);
    FMarkTimer->setSingleShot(true);
    FMarkTimer->setInterval(kMarkMs);
    connect(FMarkTimer, &QTimer::timeout, this, [this] {
        if (const int row = Race.RowOfCar(FMarkedCar))
            SortGrid1->InvalidateRow(row);
        FMarkedCar = 0;
    });
    AskCrossing = [this](const TCrossingQuestion &q) -> std::optional<QPair<int, quint32>> {
        TCrossingDialog dialog(q.title, Session.CarTexts(), q.car, q.raceMs, q.carEditable,
                               q.timeEditable, this);
        QStringList numbers;
        for (int car = 1; car <= Race.CarCount(); ++car)
            numbers << Session.StarterOfCar(car).first;
        dialog.SetStartNumbers(numbers);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        const TCrossingDialog::TAnswer answer = dialog.Answer();
        return QPair<int, quint32>(answer.car, answer.raceMs);
    };

    Undo1 = AddCommand(this, QStringLiteral("Undo1"), QStringLiteral("Rückgängig"),
                       {QKeySequence(Qt::CTRL | Qt::Key_Z)},
                       std::bind_front(&TFormMain::UndoCorrection, this));
    Redo1 = AddCommand(
        this, QStringLiteral("Redo1"), QStringLiteral("Wiederherstellen"),
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
        std::bind_front(&TFormMain::RedoCorrection, this));
    FindCrossing1 = AddCommand(this, QStringLiteral("FindCrossing1"),
                               QStringLiteral("Letzte Durchfahrt des Autos zeigen"),
                               {QKeySequence(Qt::CTRL | Qt::Key_L)},
                               std::bind_front(&TFormMain::FindCrossingOfCurrentCar, this));
    ShowDesk1 = new QAction(QStringLiteral("Durchfahrten zeigen"), this);
    ShowDesk1->setObjectName(QStringLiteral("ShowDesk1"));
    ShowDesk1->setCheckable(true);
    ShowDesk1->setChecked(true);
    ShowDesk1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    connect(ShowDesk1, &QAction::toggled, this, std::bind_front(&TFormMain::SetDeskVisible, this));
    addAction(ShowDesk1);

    // The commands on a crossing act in the pass log only: a key pressed in the standings or a
    // field never deletes a crossing.
    QTableView *log = Desk->PassView();
    DeleteCrossing1 =
        AddCommand(log, QStringLiteral("DeleteCrossing1"), QStringLiteral("Durchfahrt löschen"),
                   {QKeySequence(Qt::Key_Delete)},
                   std::bind_front(&TFormMain::DeleteCrossing, this), Qt::WidgetShortcut);
    InsertCrossing1 = AddCommand(
        log, QStringLiteral("InsertCrossing1"), QStringLiteral("Vergessene Durchfahrt einfügen…"),
        {QKeySequence(Qt::Key_Insert)}, std::bind_front(&TFormMain::InsertCrossing, this),
        Qt::WidgetShortcut);
    SplitLap1 = AddCommand(log, QStringLiteral("SplitLap1"), QStringLiteral("Runde teilen"),
                           {QKeySequence(Qt::CTRL | Qt::Key_Insert)},
                           std::bind_front(&TFormMain::SplitLap, this), Qt::WidgetShortcut);
    MoveCrossing1 =
        AddCommand(log, QStringLiteral("MoveCrossing1"), QStringLiteral("Anderem Auto zuordnen…"),
                   {QKeySequence(Qt::CTRL | Qt::Key_M)},
                   std::bind_front(&TFormMain::MoveCrossing, this), Qt::WidgetShortcut);
    EditCrossing1 =
        AddCommand(log, QStringLiteral("EditCrossing1"), QStringLiteral("Rennzeit ändern…"),
                   {QKeySequence(Qt::CTRL | Qt::Key_E)},
                   std::bind_front(&TFormMain::EditCrossing, this), Qt::WidgetShortcut);
    ConfirmCrossing1 = AddCommand(
        log, QStringLiteral("ConfirmCrossing1"), QStringLiteral("Gehaltene Durchfahrt bestätigen"),
        {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)},
        std::bind_front(&TFormMain::ConfirmCrossing, this), Qt::WidgetShortcut);
    // The race control's verdicts, on the car of the standings' current row.
    AskNumber = [this](const QString &question, int proposed, int min,
                       int max) -> std::optional<int> {
        bool ok = false;
        const int value =
            QInputDialog::getInt(this, windowTitle(), question, proposed, min, max, 1, &ok);
        return ok ? std::optional<int>(value) : std::nullopt;
    };
    // The verdicts act on the row that was right-clicked: it becomes the current row first, and
    // the menu's first line names its car.
    SortGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(SortGrid1, &QWidget::customContextMenuRequested, this, &TFormMain::ShowStandingsMenu);
    // Enter confirms the held press the latest-press line names, from the standings too.
    SortGrid1->OnEnterKey = [this] { return ConfirmShownPress(); };
    const struct
    {
        const char *name;
        const char *caption;
        Qt::Key key;
        TVerdictCommand command;
    } verdicts[] = {
        {"NotStarted1", "Nicht gestartet (DNS)", Qt::Key_D, TVerdictCommand::NotStarted},
        {"Retired1", "Ausgefallen (DNF)…", Qt::Key_F, TVerdictCommand::Retired},
        {"Disqualified1", "Disqualifiziert (DSQ)", Qt::Key_Q, TVerdictCommand::Disqualified},
        {"Penalty1", "Zeitstrafe…", Qt::Key_T, TVerdictCommand::Penalty},
        {"LapsOff1", "Runden abziehen…", Qt::Key_R, TVerdictCommand::LapsOff},
        {"ClearVerdict1", "Ohne Strafe werten", Qt::Key_W, TVerdictCommand::Clear},
    };
    for (const auto &v : verdicts) {
        AddCommand(
            SortGrid1, QString::fromLatin1(v.name), QString::fromUtf8(v.caption),
            {QKeySequence(Qt::CTRL | Qt::SHIFT | v.key)},
            [this, command = v.command] { JudgeCurrentCar(command); }, Qt::WidgetShortcut);
    }
    auto *separator = new QAction(log);
    separator->setSeparator(true);
    log->addAction(separator);
    log->addAction(Undo1);
    log->addAction(Redo1);
}

void TFormMain::ShowStandingsMenu(const QPoint &pos)
{
    // A right click has made its row the current one already.
    const int car = Race.CarOfRow(SortGrid1->Row());
    QMenu menu(this);
    if (car >= 1 && car <= Race.CarCount()) {
        QAction *title = menu.addAction(CarName(car));
        title->setEnabled(false);
        menu.addSeparator();
    }
    menu.addActions(SortGrid1->actions());
    menu.exec(SortGrid1->viewport()->mapToGlobal(pos));
}

QString TFormMain::CarName(int car) const
{
    const auto [number, driver] = StarterOfCar(car);
    QStringList parts{QStringLiteral("F%1").arg(car)};
    if (!number.isEmpty())
        parts << QStringLiteral("Nr. ") + number;
    if (!driver.isEmpty())
        parts << driver;
    return parts.join(QStringLiteral("  "));
}

void TFormMain::ClearCorrectionDesk()
{
    Desk->Model()->Reload();
    ShowLatestPress(0);
    ShowCorrectionResult();
}

void TFormMain::SetDeskVisible(bool visible)
{
    if (Desk->isVisibleTo(this) == visible && ShowDesk1->isChecked() == visible)
        return;
    Desk->setVisible(visible);
    ShowDesk1->setChecked(visible);
    FitHeightToRows();
}

QPair<QString, QString> TFormMain::StarterOfCar(int car) const
{
    return Session.StarterOfCar(car);
}

bool TFormMain::CanCorrect() const
{
    return Session.HasRace() && !FViewingArchive && JournalRaceId != 0;
}

int TFormMain::TargetCrossing() const
{
    return Desk->SelectedCrossing();
}

void TFormMain::ShowLatestPress(int crossing)
{
    FShownLatest = crossing;
    const TRaceCorrections::TCrossing *c = Session.Corrections().Crossing(crossing);
    if (!c) {
        Desk->LatestLine()->setText(QString());
        return;
    }
    const auto [number, driver] = StarterOfCar(c->car);
    QString head = QStringLiteral("F%1").arg(c->car);
    if (!number.isEmpty())
        head += QStringLiteral("   Nr. ") + number;
    QString tail;
    if (c->state == TRaceCorrections::State::Deleted)
        tail = QStringLiteral("gelöscht");
    else if (c->state == TRaceCorrections::State::Held)
        tail = QStringLiteral("gehalten: Runde kürzer als die Mindestrunde (Enter bestätigt)");
    else if (c->state == TRaceCorrections::State::Locked)
        tail = QStringLiteral(
            "gesperrt: zu kurz nach dem letzten Druck (Enter bestätigt, Strg+M anderes Auto)");
    else if (Session.AfterFinish(c->car, c->raceMs))
        tail = QStringLiteral("nach dem Ziel: zählt nicht");
    else if (c->excluded)
        tail = QStringLiteral("zählt nicht: DNS/DNF");
    else if (c->lap > 0)
        tail = QStringLiteral("Runde %1   %2")
                   .arg(c->lap)
                   .arg(TRaceCorrections::RaceTimeText(quint32(c->lapMs)));
    if (c->late && c->state != TRaceCorrections::State::Deleted)
        tail += QStringLiteral("   spät erfasst: keine Bestrunde (Enter bestätigt)");
    Desk->LatestLine()->setParts(head, driver, tail);
}

bool TFormMain::ConfirmShownPress()
{
    const int id = FShownLatest;
    if (!ConfirmPress(id))
        return false;
    ShowLatestPress(id);
    return true;
}

bool TFormMain::ConfirmPress(int crossing)
{
    const TRaceCorrections::TCrossing *c = Session.Corrections().Crossing(crossing);
    if (!c ||
        (c->state != TRaceCorrections::State::Held && c->state != TRaceCorrections::State::Locked &&
         !c->late) ||
        c->state == TRaceCorrections::State::Deleted)
        return false;
    Correct(CorrectionEvents::Confirm(c->id, c->car, FTicks.GetTickCount(), WallNow()));
    return true;
}

bool TFormMain::Correct(const TRaceEvent &correction)
{
    if (!CanCorrect())
        return false;
    const qsizetype logLines = Session.Corrections().Log().size();
    const TRaceSession::TApplied applied = Record(correction);
    if (Session.Corrections().Log().size() == logLines)
        return false;
    ShowSession();
    SyncState();
    // A correction after the end can change the winner the archive lists.
    if (RaceState() == rsStopped)
        Journal->setOutcome(JournalRaceId,
                            Session.State() == TRaceSession::TState::Ended
                                ? TRaceSummary::State::Finished
                                : TRaceSummary::State::Stopped,
                            Session.WinnerText());
    return applied.recorded;
}

void TFormMain::ShowCorrectionResult()
{
    const TRaceCorrections &corrections = Session.Corrections();
    Desk->ShowCorrectionLog();
    if (!corrections.Log().isEmpty())
        StatusBar1->showMessage(corrections.Log().last().text, kStatusMessageMs);
    Undo1->setText(corrections.UndoText().isEmpty() ? QStringLiteral("Rückgängig")
                                                    : corrections.UndoText());
    Redo1->setText(corrections.RedoText().isEmpty() ? QStringLiteral("Wiederherstellen")
                                                    : corrections.RedoText());
}

void TFormMain::UndoCorrection()
{
    if (!CanCorrect())
        return;
    FlushJournal();
    const int target = Session.Corrections().UndoTarget();
    if (target == 0) {
        StatusBar1->showMessage(QStringLiteral("Nichts zum Zurücknehmen."), kStatusMessageMs);
        return;
    }
    Correct(CorrectionEvents::Undo(target, FTicks.GetTickCount(), WallNow()));
}

void TFormMain::RedoCorrection()
{
    if (!CanCorrect())
        return;
    FlushJournal();
    const int target = Session.Corrections().RedoTarget();
    if (target == 0) {
        StatusBar1->showMessage(QStringLiteral("Nichts zum Wiederherstellen."), kStatusMessageMs);
        return;
    }
    Correct(CorrectionEvents::Redo(target, FTicks.GetTickCount(), WallNow()));
}

void TFormMain::DeleteCrossing()
{
    const TRaceCorrections::TCrossing *c = Session.Corrections().Crossing(TargetCrossing());
    if (!c || c->state == TRaceCorrections::State::Deleted)
        return;
    const int id = c->id;
    Correct(CorrectionEvents::Delete(id, c->car, FTicks.GetTickCount(), WallNow()));
    Desk->SelectCrossing(id);
}

void TFormMain::InsertCrossing()
{
    if (!CanCorrect())
        return;
    const TRaceCorrections::TCrossing *c = Session.Corrections().Crossing(TargetCrossing());
    // "Now" during the race; after it, the moment of the selected crossing.
    const quint32 now =
        Session.Running() ? FTicks.GetTickCount() - Session.StartTick() : (c ? c->raceMs : 0);
    const std::optional<QPair<int, quint32>> answer = AskCrossing(
        {QStringLiteral("Vergessene Durchfahrt einfügen"), c ? c->car : 1, now, true, true});
    if (!answer || answer->first < 1 || answer->first > Race.CarCount())
        return;
    TRaceEvent insert =
        CorrectionEvents::Insert(answer->first, answer->second, FTicks.GetTickCount(), WallNow());
    // Kept at "now", the time is only when the operator noticed the car.
    if (Session.Running() && answer->second == now)
        MarkLate(insert);
    if (Correct(insert))
        Desk->SelectCrossing(Session.Events().last().seq);
}

void TFormMain::SplitLap()
{
    const TRaceCorrections::TCrossing *c = Session.Corrections().Crossing(TargetCrossing());
    if (!c || Session.Corrections().SplitMs(c->id) == 0 || !CanCorrect())
        return;
    const int id = c->id;
    // Splitting a lap of the usual length makes two impossible ones: the car's running lap,
    // not this one, is then the likelier miss. Presses go on while the question is open.
    if (!c->likelyMissed && !AskYesNo(kSplitUsualLapQuestion, true))
        return;
    c = Session.Corrections().Crossing(id);
    const quint32 middle = Session.Corrections().SplitMs(id);
    if (!c || middle == 0)
        return;
    if (Correct(CorrectionEvents::Insert(c->car, middle, FTicks.GetTickCount(), WallNow())))
        Desk->SelectCrossing(Session.Events().last().seq);
}

void TFormMain::MoveCrossing()
{
    const TRaceCorrections::TCrossing *c = Session.Corrections().Crossing(TargetCrossing());
    if (!c || c->state == TRaceCorrections::State::Deleted || !CanCorrect())
        return;
    const int id = c->id;
    const std::optional<QPair<int, quint32>> answer = AskCrossing(
        {QStringLiteral("Durchfahrt einem anderen Auto zuordnen"), c->car, c->raceMs, true, false});
    if (!answer || answer->first < 1 || answer->first > Race.CarCount())
        return;
    if (const TRaceCorrections::TCrossing *now = Session.Corrections().Crossing(id);
        now && now->car == answer->first) {
        StatusBar1->showMessage(
            QStringLiteral("Nichts verschoben: die Durchfahrt gehört schon zu %1.")
                .arg(CarName(answer->first)),
            kStatusMessageMs);
        return;
    }
    Correct(CorrectionEvents::Move(id, answer->first, FTicks.GetTickCount(), WallNow()));
    Desk->SelectCrossing(id);
}

void TFormMain::EditCrossing()
{
    const TRaceCorrections::TCrossing *c = Session.Corrections().Crossing(TargetCrossing());
    if (!c || c->state == TRaceCorrections::State::Deleted || !CanCorrect())
        return;
    const int id = c->id;
    const int car = c->car;
    const std::optional<QPair<int, quint32>> answer = AskCrossing(
        {QStringLiteral("Rennzeit der Durchfahrt ändern"), c->car, c->raceMs, false, true});
    if (!answer)
        return;
    Correct(CorrectionEvents::Edit(id, car, answer->second, FTicks.GetTickCount(), WallNow()));
    Desk->SelectCrossing(id);
}

void TFormMain::ConfirmCrossing()
{
    const int id = TargetCrossing();
    if (ConfirmPress(id))
        Desk->SelectCrossing(id);
}

void TFormMain::JudgeCurrentCar(TVerdictCommand command)
{
    const int row = SortGrid1->Row();
    const int car = Race.CarOfRow(row);
    if (!CanCorrect() || car < 1 || car > Race.CarCount())
        return;
    FlushJournal();
    TCarVerdict verdict = Session.Corrections().Verdict(car);
    const QString who = CarName(car);
    switch (command) {
    case TVerdictCommand::NotStarted:
        verdict.status = TCarVerdict::Status::NotStarted;
        break;
    case TVerdictCommand::Retired: {
        const std::optional<int> laps =
            AskNumber(QStringLiteral("%1 ausgefallen nach Runde:").arg(who),
                      Race.LapTable[car].Count, 0, kMaxLaps);
        if (!laps)
            return;
        verdict.status = TCarVerdict::Status::Retired;
        verdict.fromLap = *laps;
        break;
    }
    case TVerdictCommand::Disqualified:
        verdict.status = TCarVerdict::Status::Disqualified;
        break;
    case TVerdictCommand::Penalty: {
        const std::optional<int> seconds =
            AskNumber(QStringLiteral("Zeitstrafe für %1 in Sekunden (insgesamt):").arg(who),
                      verdict.penaltyMs / 1000, 0, 24 * 3600);
        if (!seconds)
            return;
        verdict.penaltyMs = *seconds * 1000;
        break;
    }
    case TVerdictCommand::LapsOff: {
        const std::optional<int> laps =
            AskNumber(QStringLiteral("Abgezogene Runden für %1 (insgesamt):").arg(who),
                      verdict.lapsOff, 0, kMaxLaps);
        if (!laps)
            return;
        verdict.lapsOff = *laps;
        break;
    }
    case TVerdictCommand::Clear:
        verdict = TCarVerdict();
        break;
    }
    if (Correct(CorrectionEvents::Verdict(car, verdict, FTicks.GetTickCount(), WallNow())))
        StatusBar1->showMessage(QStringLiteral("%1: %2").arg(who, verdict.Describe()),
                                kStatusMessageMs);
}

void TFormMain::FindCrossingOfCurrentCar()
{
    ShowCrossingOfCar(Race.CarOfRow(SortGrid1->Row()), false);
}

void TFormMain::FindCrossingOfCar(int car)
{
    ShowCrossingOfCar(car, true);
}

void TFormMain::ShowCrossingOfCar(int car, bool stepBack)
{
    FlushJournal();
    if (!Desk->isVisible())
        SetDeskVisible(true);
    // The car's crossings, latest first; from one of them already selected, the one before.
    QList<int> crossings;
    const QList<TRaceCorrections::TCrossing> all = Session.Corrections().Crossings();
    for (auto c = all.crbegin(); c != all.crend(); ++c) {
        if (c->car == car && c->state != TRaceCorrections::State::Deleted)
            crossings.append(c->id);
    }
    qsizetype next = 0;
    const int selected = Desk->SelectedCrossing();
    if (stepBack && FFoundCar == car && selected != 0) {
        if (const qsizetype at = crossings.indexOf(selected); at >= 0)
            next = qMin(at + 1, crossings.size() - 1);
    }
    FFoundCar = stepBack ? car : 0;
    if (next < crossings.size())
        Desk->SelectCrossing(crossings[next]);
    else
        Desk->PassView()->setFocus();
}

// The correction desk: the pass log below the standings, the corrections the operator makes in
// it, undo and redo. Every correction is a journal event; the race is then rebuilt from the
// race's events, as a resume would rebuild it.
#include "FormMain.h"

#include "CorrectionDesk.h"
#include "CorrectionEvents.h"
#include "LatestPressLine.h"
#include "PassLogModel.h"
#include "RaceJournal.h"

#include "TSortGrid.h"

#include <QAction>
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
    AskCrossing = [this](const TCrossingQuestion &q) {
        return TCorrectionCommands::AskCrossingByDialog(Session, this, q);
    };
    AskNumber = [this](const QString &question, int proposed, int min, int max) {
        return TCorrectionCommands::AskNumberByDialog(this, question, proposed, min, max);
    };
    Commands = new TCorrectionCommands(Session, Desk, FTicks, this);
    Commands->Correct = [this](const TRaceEvent &correction) { return Correct(correction); };
    Commands->CanCorrect = [this] { return CanCorrect(); };
    Commands->CurrentCar = [this] { return Race.CarOfRow(SortGrid1->Row()); };
    Commands->Flush = [this] { FlushJournal(); };
    Commands->Status = [this](const QString &text) {
        StatusBar1->showMessage(text, kStatusMessageMs);
    };
    Commands->AskCrossing = [this](const TCrossingQuestion &q) { return AskCrossing(q); };
    Commands->AskNumber = [this](const QString &question, int proposed, int min, int max) {
        return AskNumber(question, proposed, min, max);
    };
    Commands->AskYesNo = [this](const QString &question) { return AskYesNo(question, true); };

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

    // The verdicts act on the row that was right-clicked: it becomes the current row first, and
    // the menu's first line names its car.
    SortGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(SortGrid1, &QWidget::customContextMenuRequested, this, &TFormMain::ShowStandingsMenu);
    // Enter confirms the held press the latest-press line names, from the standings too.
    SortGrid1->OnEnterKey = [this] { return ConfirmShownPress(); };
    const TCorrectionCommands::TActions actions =
        Commands->AddActions(this, Desk->PassView(), SortGrid1);
    Undo1 = actions.undo;
    Redo1 = actions.redo;
    DeleteCrossing1 = actions.remove;
    InsertCrossing1 = actions.insert;
    SplitLap1 = actions.split;
    MoveCrossing1 = actions.move;
    EditCrossing1 = actions.edit;
    ConfirmCrossing1 = actions.confirm;
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
    return Commands->CarName(car);
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
    return Commands->ConfirmPress(crossing);
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
    Commands->NameUndoRedo(Undo1, Redo1);
}

void TFormMain::UndoCorrection()
{
    Commands->Undo();
}

void TFormMain::RedoCorrection()
{
    Commands->Redo();
}

void TFormMain::DeleteCrossing()
{
    Commands->Delete();
}

void TFormMain::InsertCrossing()
{
    Commands->Insert();
}

void TFormMain::SplitLap()
{
    Commands->Split();
}

void TFormMain::MoveCrossing()
{
    Commands->Move();
}

void TFormMain::EditCrossing()
{
    Commands->Edit();
}

void TFormMain::ConfirmCrossing()
{
    Commands->Confirm();
}

void TFormMain::JudgeCurrentCar(TVerdictCommand command)
{
    Commands->Judge(command);
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

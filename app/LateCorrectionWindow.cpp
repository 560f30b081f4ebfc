#include "LateCorrectionWindow.h"

#include "CorrectionDesk.h"
#include "LatestPressLine.h"
#include "PassLogModel.h"
#include "RaceJournal.h"
#include "StandingsView.h"

#include "TSortGrid.h"

#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

namespace {

constexpr int kWidth = 900;
constexpr int kHeight = 620;
constexpr int kStatusMessageMs = 8000;
const QString kTitle = QStringLiteral("Nachträgliche Korrektur – %1");
const QString kHeading = QStringLiteral(
    "<b>%1</b><br>Korrekturen und Strafen werden sofort im Rennjournal gespeichert; das Ergebnis "
    "der Veranstaltung folgt. Das Rennen auf den Tasten läuft unberührt weiter.");
const QString kVerdictsHint = QStringLiteral(
    "Strafen auf dem Auto der gewählten Zeile (Rechtsklick): Strg+Umschalt+D DNS  ·  F DNF  ·  "
    "Q DSQ  ·  T Zeitstrafe  ·  R Runden abziehen  ·  W ohne Strafe");

} // namespace

TLateCorrectionWindow::TLateCorrectionWindow(TRaceJournal *journal, qint64 raceId,
                                             const QString &label, const QList<TRaceEvent> &events,
                                             const TTickCounter &ticks, QWidget *parent)
    : QWidget(parent, Qt::Window), Session(ticks), FJournal(journal), FRaceId(raceId)
{
    setObjectName(QStringLiteral("LateCorrectionWindow"));
    setWindowTitle(kTitle.arg(label));
    setAttribute(Qt::WA_DeleteOnClose, false);
    resize(kWidth, kHeight);

    const auto start = std::find_if(events.cbegin(), events.cend(), [](const TRaceEvent &e) {
        return e.kind == TRaceEvent::Kind::Start;
    });
    if (start != events.cend())
        Session.Load(events, start->tick);
    // A race left without a stop (the program ended during it) is over all the same: no clock
    // runs here.
    if (Session.Running())
        Session.ShowStopped();

    Heading = new QLabel(kHeading.arg(label.toHtmlEscaped()));
    Heading->setWordWrap(true);
    Grid = new TSortGrid;
    Grid->setObjectName(QStringLiteral("LateStandings"));
    // Read only: no editing, the verdicts act on the current row.
    Grid->SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goColSizing |
                     goDrawFocusSelected | goRowSelect);
    FStandings = std::make_unique<TStandingsView>(Grid, Session);
    FStandings->Setup();
    Grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Grid, &QWidget::customContextMenuRequested, this,
            &TLateCorrectionWindow::ShowStandingsMenu);
    auto *verdicts = new QLabel(kVerdictsHint);
    verdicts->setWordWrap(true);

    Desk = new TCorrectionDesk(Session.Corrections());
    Desk->Model()->StarterOf = [this](int car) { return Session.StarterOfCar(car); };
    Desk->Model()->AfterFinish = [this](int car, quint32 raceMs) {
        return Session.AfterFinish(car, raceMs);
    };
    Desk->LatestLine()->hide();
    // The race keeps the minimum lap it ran with.
    Desk->MinLapField()->setValue(int(Session.Corrections().MinLapMs() / 1000));
    Desk->MinLapField()->setEnabled(false);

    Status = new QStatusBar;
    Status->setSizeGripEnabled(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Heading);
    layout->addWidget(Grid, 1);
    layout->addWidget(verdicts);
    layout->addWidget(Desk);
    layout->addWidget(Status);

    Commands = new TCorrectionCommands(Session, Desk, ticks, this);
    Commands->Correct = [this](const TRaceEvent &correction) { return Correct(correction); };
    Commands->CanCorrect = [this] { return Session.HasRace(); };
    Commands->CurrentCar = [this] { return Session.Timing().CarOfRow(Grid->Row()); };
    Commands->Status = [this](const QString &text) { Status->showMessage(text, kStatusMessageMs); };
    Commands->AskCrossing = [this](const TCorrectionCommands::TCrossingQuestion &q) {
        return TCorrectionCommands::AskCrossingByDialog(Session, this, q);
    };
    Commands->AskNumber = [this](const QString &question, int proposed, int min, int max) {
        return TCorrectionCommands::AskNumberByDialog(this, question, proposed, min, max);
    };
    Commands->AskYesNo = [this](const QString &question) {
        return QMessageBox::question(this, windowTitle(), question,
                                     QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
    };
    Actions = Commands->AddActions(this, Desk->PassView(), Grid);
    ShowRace();
    if (Grid->RowCount() > 1)
        Grid->SetRow(1);
}

TLateCorrectionWindow::~TLateCorrectionWindow() = default;

bool TLateCorrectionWindow::Correct(const TRaceEvent &correction)
{
    if (!Session.HasRace())
        return false;
    const qsizetype logLines = Session.Corrections().Log().size();
    const TRaceSession::TApplied applied = Session.Apply(correction);
    if (applied.recorded && FJournal) {
        const int seq = FJournal->append(FRaceId, applied.event);
        // The race's crossings are known by their numbers: one the journal gave otherwise
        // would name another crossing after a restart.
        if (seq != applied.event.seq)
            qWarning("a late correction was stored as %d, not %d", seq, applied.event.seq);
    }
    if (Session.Corrections().Log().size() == logLines)
        return false;
    // No clock runs here: a correction that takes the race's end back leaves it stopped.
    if (Session.Running())
        Session.ShowStopped();
    ShowRace();
    if (FJournal)
        FJournal->setOutcome(FRaceId,
                             Session.State() == TRaceSession::TState::Ended
                                 ? TRaceSummary::State::Finished
                                 : TRaceSummary::State::Stopped,
                             Session.WinnerText());
    if (OnCorrected)
        OnCorrected();
    return applied.recorded;
}

void TLateCorrectionWindow::ShowRace()
{
    FStandings->Show();
    Grid->viewport()->update();
    Desk->Model()->Reload();
    Desk->ShowCorrectionLog();
    const TRaceCorrections &corrections = Session.Corrections();
    if (!corrections.Log().isEmpty())
        Status->showMessage(corrections.Log().last().text, kStatusMessageMs);
    Commands->NameUndoRedo(Actions.undo, Actions.redo);
}

void TLateCorrectionWindow::ShowStandingsMenu(const QPoint &pos)
{
    const int car = Session.Timing().CarOfRow(Grid->Row());
    QMenu menu(this);
    if (car >= 1 && car <= Session.Timing().CarCount()) {
        QAction *title = menu.addAction(Commands->CarName(car));
        title->setEnabled(false);
        menu.addSeparator();
    }
    menu.addActions(Grid->actions());
    menu.exec(Grid->viewport()->mapToGlobal(pos));
}

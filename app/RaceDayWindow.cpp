#include "RaceDayWindow.h"

#include "Classification.h"
#include "DayDateEdit.h"
#include "PlanDocuments.h"
#include "RaceDayEntrants.h"
#include "RaceDayExport.h"
#include "RaceDayResults.h"
#include "RaceDaySchedule.h"
#include "RaceDayWorker.h"
#include "RaceJournal.h"
#include "ServerReader.h"
#include "StarterListReader.h"

#include <algorithm>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QFormLayout>
#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kWidth = 760;
constexpr int kHeight = 560;
// A burst of presses is worked out once, a moment after the last.
constexpr int kRecomputeDelayMs = 1500;
// How long a heat put on the keys waits for the journal to hold the heat that just ended.
constexpr int kFlushWaitMs = 2000;
enum TEntrantColumn { ecNumber, ecDriver, ecClass, ecAbsent, ecColumns };

const QString kNoJournal =
    QStringLiteral("Ohne Rennjournal können keine Veranstaltungen gespeichert werden.");
const QString kStoreFailed =
    QStringLiteral("Die Veranstaltung konnte nicht gespeichert werden: %1");
const QString kNoEntrants =
    QStringLiteral("Die Klasse \u201E%1\u201C hat keine anwesenden Starter.");
const QString kRoundStarted = QStringLiteral(
    "Ein Lauf dieser Runde ist schon gestartet; die neuen Vorläufe kommen als weitere Runde.");
const QString kNoQualifying = QStringLiteral(
    "Für die Setzung nach der Qualifikation hat die Klasse \u201E%1\u201C noch keinen gewerteten "
    "Vorlauf.");
const QString kNoFinals = QStringLiteral(
    "Die Finale der Klasse \u201E%1\u201C lassen sich noch nicht setzen: es ist noch kein Vorlauf "
    "gewertet.");
const QString kClassFinalsSeeded =
    QStringLiteral("Finale der Klasse \u201E%1\u201C eingeteilt: %2.");
const QString kFinalsSeeded = QStringLiteral("Finale eingeteilt: %1.");
const QString kFinalSize = QStringLiteral("%1-Finale %2 Fahrer");
const QString kFinalSizeBumpUp = QStringLiteral("%1-Finale %2 Fahrer und %3 Aufsteiger");
const QString kSeededByList =
    QStringLiteral("Ohne Vorläufe nach der Reihenfolge der Starterliste gesetzt.");
const QString kRulesTaken = QStringLiteral("Regeln von \u201E%1\u201C übernommen.");
const QString kHeatStarted =
    QStringLiteral("Der Lauf ist schon gestartet; seine Fahrer bleiben, wie sie sind.");
const QString kHeatFull = QStringLiteral("Der Lauf hat schon 12 Fahrer, einen je Taste.");
const QString kInStartedHeat = QStringLiteral(
    "Der Fahrer ist in einem Lauf, der schon gestartet ist, und kann nicht entfernt werden.");
const QString kListRead = QStringLiteral("%1 Starter aus %2 übernommen.");
const QString kListReplaced = QStringLiteral("%1 Starter aus %2 ersetzen die bisherigen.");
const QString kReplaceOrAdd = QStringLiteral(
    "Die Veranstaltung hat schon %1 Starter. Sollen die Starter aus \u201E%2\u201C die "
    "bisherigen ersetzen oder dazukommen?");
const QString kNoReplaceStarted = QStringLiteral(
    "Es ist schon ein Lauf gestartet; seine Fahrer bleiben. Die Starterliste kann nur "
    "dazukommen.");
const QString kDoubleNumbers = QStringLiteral(
    "Doppelte Startnummern: %1. Bitte die Starter prüfen; mehrere markierte Zeilen lassen sich "
    "zusammen entfernen.");
const QString kRemoveQuestion = QStringLiteral("%1 Starter entfernen?\n%2");
const QString kLowerFinalNotRunQuestion =
    QStringLiteral("Das %1 ist noch nicht gefahren: die Aufsteiger daraus fehlen im %2.\n"
                   "Das %2 trotzdem auf die Tasten legen?");
const QString kRemoveOneQuestion = QStringLiteral("Den Starter %1 entfernen?");
const QString kRemoved = QStringLiteral("Entfernt: %1. [Strg+Z] nimmt es zurück.");
const QString kUndone = QStringLiteral("Zurückgenommen: %1.");
const QString kDeleteDayQuestion = QStringLiteral(
    "Die Veranstaltung \u201E%1\u201C vom %2 mit %3 Startern und %4 Läufen löschen?\nDie "
    "Rennen ihrer Läufe bleiben im Rennjournal.");
const QString kDayOnKeys = QStringLiteral(
    "Ein Lauf dieser Veranstaltung liegt auf den Tasten des Hauptfensters; sie kann jetzt nicht "
    "gelöscht werden.");
const QString kDeleteFailed = QStringLiteral("Die Veranstaltung konnte nicht gelöscht werden: %1");
const QString kDayDeleted = QStringLiteral("Die Veranstaltung \u201E%1\u201C ist gelöscht.");
const QString kRedrawQuestion = QStringLiteral(
    "Die Vorläufe der Klasse \u201E%1\u201C neu einteilen?\nFahrer, die von Hand in einen "
    "anderen Lauf verschoben wurden, verlieren ihren Platz.");
const QString kServerMissing = QStringLiteral(
    "Die Läufe anderer Stationen fehlen im Ergebnis: der Vereinsserver ist nicht erreichbar (%1).");
const QString kNoServerDays =
    QStringLiteral("Auf dem Vereinsserver gibt es keine Veranstaltung einer anderen Station.");
const QString kServerDaysFailed =
    QStringLiteral("Die Veranstaltungen lassen sich nicht vom Vereinsserver lesen: %1");
const QString kUnreadableDate = QStringLiteral(
    "\u201E%1\u201C ist kein Datum. Bitte als TT.MM.JJJJ eingeben, etwa 03.04.2026; das Datum "
    "bleibt, wie es war.");
const QString kChooseFailed =
    QStringLiteral("Die Wahl des Laufs konnte nicht gespeichert werden: %1");

QString entrantText(const TEntrant &e)
{
    const QString name = e.number.isEmpty() ? e.driver : e.number + QLatin1Char(' ') + e.driver;
    return e.absent ? name + QStringLiteral(" (abwesend)") : name;
}

// The entrants named, at most ten; "und 5 weitere" for the rest.
QString entrantsText(const QList<TEntrant> &entrants)
{
    constexpr int kNamed = 10;
    QStringList names;
    for (qsizetype i = 0; i < entrants.size() && i < kNamed; ++i)
        names << entrantText(entrants[i]);
    QString text = names.join(QStringLiteral(", "));
    if (entrants.size() > kNamed)
        text += QStringLiteral(" und %1 weitere").arg(entrants.size() - kNamed);
    return text;
}

QString pointsText(const QList<int> &points)
{
    QStringList parts;
    for (const int p : points)
        parts << QString::number(p);
    return parts.join(QStringLiteral(", "));
}

QList<int> pointsOf(const QString &text)
{
    QList<int> points;
    for (const QString &part :
         text.split(QRegularExpression(QStringLiteral("[,; ]+")), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int value = part.toInt(&ok);
        if (ok && value >= 0)
            points.append(value);
    }
    return points;
}

// A time as the day's exports write it, with the digits the race shows.
QString msText(qint32 ms, int acc)
{
    return ms <= 0 ? QString() : LongTimeText(ms, acc);
}

} // namespace

TRaceDayWindow::TRaceDayWindow(TFormMain *main)
    : QWidget(main, Qt::Window), FMain(main),
      FWorker(std::make_unique<TRaceDayWorker>(main->JournalPath())),
      FNewDayId(std::make_shared<qint64>(0))
{
    setObjectName(QStringLiteral("RaceDayWindow"));
    setWindowTitle(QStringLiteral("Veranstaltung"));
    resize(kWidth, kHeight);
    auto *layout = new QVBoxLayout(this);
    BuildDayRow();
    Tabs = new QTabWidget;
    Tabs->addTab(BuildEntrantsTab(), QStringLiteral("&Starter"));
    // The rules scroll on a low screen rather than push the window past its edge.
    auto *rules = new QScrollArea;
    rules->setWidget(BuildRulesTab());
    rules->setWidgetResizable(true);
    rules->setFrameShape(QFrame::NoFrame);
    Tabs->addTab(rules, QStringLiteral("&Regeln"));
    Tabs->addTab(BuildHeatsTab(), QStringLiteral("Lä&ufe"));
    Tabs->addTab(BuildResultsTab(), QStringLiteral("Er&gebnis"));
    Message = new QLabel;
    Message->setWordWrap(true);
    layout->addWidget(Tabs, 1);
    layout->addWidget(Message);
    FRecomputeTimer = new QTimer(this);
    FRecomputeTimer->setSingleShot(true);
    FRecomputeTimer->setInterval(kRecomputeDelayMs);
    connect(FRecomputeTimer, &QTimer::timeout, this, &TRaceDayWindow::Recompute);
    connect(main, &TFormMain::heatRaceChanged, this, [this] {
        TellProgress();
        FRecomputeTimer->start();
    });
    // Another station's heat started or ended, or the server is back: its results count now.
    connect(main, &TFormMain::serverRacesChanged, this, [this] {
        if (isVisible())
            FRecomputeTimer->start();
    });
    if (main->JournalPath().isEmpty())
        Message->setText(kNoJournal);
    Reload(0);
}

TRaceDayWindow::~TRaceDayWindow()
{
    FWorker.reset(); // before the watchers it reports to
}

void TRaceDayWindow::WaitForStore()
{
    FWorker->Wait();
}

template <class Result, class Job, class Done> void TRaceDayWindow::Ask(Job job, Done done)
{
    ++FJobs;
    auto *watcher = new QFutureWatcher<Result>(this);
    connect(watcher, &QFutureWatcher<Result>::finished, this,
            [this, watcher, done = std::move(done)] {
                --FJobs;
                watcher->deleteLater();
                done(watcher->result());
            });
    watcher->setFuture(FWorker->Run(std::move(job)));
}

void TRaceDayWindow::BuildDayRow()
{
    auto *row = new QHBoxLayout;
    DayChoice = new QComboBox;
    DayChoice->setObjectName(QStringLiteral("DayChoice"));
    DayChoice->setMinimumContentsLength(24);
    NewDayButton = new QPushButton(QStringLiteral("&Neu"));
    DeleteDayButton = new QPushButton(QStringLiteral("&Löschen…"));
    DeleteDayButton->setToolTip(
        QStringLiteral("Löscht die Veranstaltung; die Rennen ihrer Läufe bleiben im Rennjournal."));
    NameEdit = new QLineEdit;
    NameEdit->setObjectName(QStringLiteral("DayName"));
    auto *dateEdit = new TDayDateEdit(QDate::currentDate());
    DateEdit = dateEdit;
    SeasonChoice = new QComboBox;
    auto *dayLabel = new QLabel(QStringLiteral("&Veranstaltung:"));
    dayLabel->setBuddy(DayChoice);
    row->addWidget(dayLabel);
    row->addWidget(DayChoice, 1);
    row->addWidget(NewDayButton);
    row->addWidget(DeleteDayButton);
    TakeOverButton = new QPushButton(QStringLiteral("V&om Vereinsserver…"));
    TakeOverButton->setToolTip(QStringLiteral(
        "Übernimmt eine Veranstaltung einer anderen Station, um hier Läufe davon zu zeiten."));
    TakeOverButton->hide();
    row->addWidget(TakeOverButton);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Na&me:"), NameEdit);
    form->addRow(QStringLiteral("&Datum:"), DateEdit);
    form->addRow(QStringLiteral("Meis&terschaft:"), SeasonChoice);
    auto *outer = static_cast<QVBoxLayout *>(layout());
    outer->addLayout(row);
    outer->addLayout(form);

    connect(DayChoice, &QComboBox::activated, this,
            [this](int index) { SelectDay(DayChoice->itemData(index).toLongLong()); });
    connect(NewDayButton, &QPushButton::clicked, this, [this] {
        NewDay(QStringLiteral("Veranstaltung %1")
                   .arg(QLocale().toString(QDate::currentDate(), QLocale::ShortFormat)),
               QDate::currentDate());
        NameEdit->setFocus();
        NameEdit->selectAll();
    });
    connect(DeleteDayButton, &QPushButton::clicked, this, &TRaceDayWindow::DeleteDay);
    connect(TakeOverButton, &QPushButton::clicked, this, &TRaceDayWindow::OfferServerDays);
    connect(NameEdit, &QLineEdit::editingFinished, this, [this] {
        if (FDay.name == NameEdit->text())
            return;
        FDay.name = NameEdit->text();
        NameEdit->setModified(false);
        Save();
        DayChoice->setItemText(DayChoice->currentIndex(), FDay.name);
    });
    connect(DateEdit, &QDateEdit::dateChanged, this, [this](const QDate &date) {
        if (FDay.date == date || FShowing)
            return;
        FDay.date = date;
        Save();
    });
    connect(dateEdit, &TDayDateEdit::unreadable, this,
            [this](const QString &text) { Report(kUnreadableDate.arg(text)); });
    connect(SeasonChoice, &QComboBox::activated, this, [this](int index) {
        FDay.seasonId = SeasonChoice->itemData(index).toLongLong();
        // A new day put into a season takes the season's rules, as its latest day has them.
        if (FRulesAsTaken && FDay.seasonId != 0 && FDay.rounds.isEmpty())
            TakeRulesOf(LatestDay(FDay.seasonId, FDay.id));
        Save();
    });
}

QWidget *TRaceDayWindow::BuildEntrantsTab()
{
    auto *page = new QWidget;
    Entrants = new QTableWidget(0, ecColumns);
    Entrants->setObjectName(QStringLiteral("Entrants"));
    Entrants->setHorizontalHeaderLabels({QStringLiteral("Nr."), QStringLiteral("Fahrer"),
                                         QStringLiteral("Klasse"), QStringLiteral("abwesend")});
    Entrants->horizontalHeader()->setSectionResizeMode(ecDriver, QHeaderView::Stretch);
    Entrants->verticalHeader()->hide();
    Entrants->setSelectionBehavior(QAbstractItemView::SelectRows);
    Entrants->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ReadListButton = new QPushButton(QStringLiteral("Starterliste &einlesen…"));
    AddButton = new QPushButton(QStringLiteral("&Hinzufügen"));
    RemoveButton = new QPushButton(QStringLiteral("Ent&fernen…"));
    RemoveButton->setToolTip(QStringLiteral("Entfernt die markierten Starter (Strg+Klick, "
                                            "Umschalt+Klick markieren mehrere)."));
    UndoButton = new QPushButton(QStringLiteral("Rüc&kgängig"));
    UndoButton->setToolTip(QStringLiteral("[Strg+Z] Holt die zuletzt entfernten Starter zurück."));
    UndoButton->setEnabled(false);
    // Anywhere in the window but a field being typed in, whose own Ctrl+Z comes first.
    auto *undo = new QAction(this);
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    addAction(undo);
    connect(undo, &QAction::triggered, this, &TRaceDayWindow::UndoRemoval);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(ReadListButton);
    buttons->addWidget(AddButton);
    buttons->addWidget(RemoveButton);
    buttons->addWidget(UndoButton);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(Entrants, 1);
    layout->addLayout(buttons);
    connect(Entrants, &QTableWidget::cellChanged, this, &TRaceDayWindow::EntrantEdited);
    connect(ReadListButton, &QPushButton::clicked, this, [this] {
        if (OpenDialog.Execute(this))
            ReadStarterList(OpenDialog.FileName);
    });
    connect(AddButton, &QPushButton::clicked, this, &TRaceDayWindow::AddEntrant);
    connect(RemoveButton, &QPushButton::clicked, this, &TRaceDayWindow::RemoveEntrants);
    connect(UndoButton, &QPushButton::clicked, this, &TRaceDayWindow::UndoRemoval);
    return page;
}

QWidget *TRaceDayWindow::BuildRulesTab()
{
    auto *page = new QWidget;
    const auto spin = [](int min, int max) {
        auto *box = new QSpinBox;
        box->setRange(min, max);
        return box;
    };
    HeatSize = spin(1, kMaxCars);
    Ranking = new QComboBox;
    Ranking->addItems({QStringLiteral("Runden und Zeit"), QStringLiteral("Beste Runde")});
    Combine = new QComboBox;
    Combine->addItems(
        {QStringLiteral("Bestes Ergebnis"), QStringLiteral("Summe der besten zwei Plätze")});
    FinalSize = spin(1, kMaxCars);
    BumpUp = spin(0, kMaxCars - 1);
    PointsTable = new QLineEdit;
    FastestLapBonus = spin(0, 999);
    BestQualifierBonus = spin(0, 999);
    DnsPoints = spin(0, 999);
    DnfPoints = spin(0, 999);
    DsqPoints = spin(0, 999);
    auto *form = new QFormLayout(page);
    form->addRow(QStringLiteral("Fahrer je Lauf (höchstens):"), HeatSize);
    form->addRow(QStringLiteral("Qualifikation nach:"), Ranking);
    form->addRow(QStringLiteral("Mehrere Vorlaufrunden:"), Combine);
    form->addRow(QStringLiteral("Fahrer je Finale:"), FinalSize);
    form->addRow(QStringLiteral("Aufsteiger ins nächsthöhere Finale:"), BumpUp);
    form->addRow(QStringLiteral("Punkte je Platz:"), PointsTable);
    form->addRow(QStringLiteral("Bonus schnellste Runde (A-Finale):"), FastestLapBonus);
    form->addRow(QStringLiteral("Bonus bester der Qualifikation:"), BestQualifierBonus);
    form->addRow(QStringLiteral("Punkte für nicht angetreten (DNS):"), DnsPoints);
    form->addRow(QStringLiteral("Punkte für ausgefallen (DNF):"), DnfPoints);
    form->addRow(QStringLiteral("Punkte für disqualifiziert (DSQ):"), DsqPoints);
    for (QSpinBox *box : {HeatSize, FinalSize, BumpUp, FastestLapBonus, BestQualifierBonus,
                          DnsPoints, DnfPoints, DsqPoints})
        connect(box, &QSpinBox::valueChanged, this, &TRaceDayWindow::TakeRules);
    for (QComboBox *box : {Ranking, Combine})
        connect(box, &QComboBox::currentIndexChanged, this, &TRaceDayWindow::TakeRules);
    connect(PointsTable, &QLineEdit::editingFinished, this, &TRaceDayWindow::TakeRules);
    return page;
}

QWidget *TRaceDayWindow::BuildHeatsTab()
{
    auto *page = new QWidget;
    ClassChoice = new QComboBox;
    OrderChoice = new QComboBox;
    OrderChoice->addItems({QStringLiteral("in Listenfolge"), QStringLiteral("ausgelost"),
                           QStringLiteral("nach der Qualifikation")});
    SplitButton = new QPushButton(QStringLiteral("Vorläufe e&inteilen"));
    FinalsButton = new QPushButton(QStringLiteral("&Finale einteilen"));
    auto *top = new QHBoxLayout;
    auto *classLabel = new QLabel(QStringLiteral("&Klasse:"));
    classLabel->setBuddy(ClassChoice);
    top->addWidget(classLabel);
    top->addWidget(ClassChoice, 1);
    top->addWidget(OrderChoice);
    top->addWidget(SplitButton);
    top->addWidget(FinalsButton);
    Heats = new QTreeWidget;
    Heats->setObjectName(QStringLiteral("Heats"));
    Heats->setHeaderLabels(
        {QStringLiteral("Lauf / Fahrer"), QStringLiteral("Taste"), QStringLiteral("Zustand")});
    Heats->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    MoveUpButton = new QPushButton(QStringLiteral("In den Lauf d&avor"));
    MoveUpButton->setToolTip(QStringLiteral("[Alt+Hoch]"));
    MoveDownButton = new QPushButton(QStringLiteral("In den Lauf dana&ch"));
    MoveDownButton->setToolTip(QStringLiteral("[Alt+Runter]"));
    StartButton = new QPushButton(QStringLiteral("Lauf start&en"));
    StartButton->setToolTip(QStringLiteral(
        "[Strg+Enter] Legt die Fahrer des Laufs auf F1 … in Laufreihenfolge; START im "
        "Hauptfenster startet ihn."));
    StartButton->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return));
    LateCorrectionButton = new QPushButton(QStringLiteral("Nac&hträglich korrigieren…"));
    LateCorrectionButton->setToolTip(QStringLiteral(
        "Ein beendeter Lauf nach einem Protest: Strafen und Korrekturen in einem eigenen "
        "Fenster, während der nächste Lauf weiterläuft."));
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(MoveUpButton);
    bottom->addWidget(MoveDownButton);
    bottom->addStretch();
    bottom->addWidget(LateCorrectionButton);
    bottom->addWidget(StartButton);
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(top);
    layout->addWidget(Heats, 1);
    layout->addLayout(bottom);
    connect(SplitButton, &QPushButton::clicked, this, [this] {
        SplitHeats(ClassChoice->currentText(), THeatOrder(OrderChoice->currentIndex()));
    });
    connect(FinalsButton, &QPushButton::clicked, this,
            [this] { SeedFinals(ClassChoice->currentText()); });
    connect(MoveUpButton, &QPushButton::clicked, this,
            [this] { MoveDriver(SelectedEntrant(), -1); });
    connect(MoveDownButton, &QPushButton::clicked, this,
            [this] { MoveDriver(SelectedEntrant(), +1); });
    connect(StartButton, &QPushButton::clicked, this, [this] { StartHeat(SelectedHeat()); });
    connect(Heats, &QTreeWidget::itemActivated, this, [this] { StartButton->click(); });
    connect(LateCorrectionButton, &QPushButton::clicked, this,
            [this] { OpenLateCorrection(SelectedHeat()); });
    connect(Heats, &QTreeWidget::currentItemChanged, this,
            &TRaceDayWindow::FollowLateCorrectionButton);
    // Alt+Up and Alt+Down move the driver where he is selected, before the tree moves on.
    Heats->installEventFilter(this);
    return page;
}

QWidget *TRaceDayWindow::BuildResultsTab()
{
    auto *page = new QWidget;
    Conflicts = new QTreeWidget;
    Conflicts->setObjectName(QStringLiteral("Conflicts"));
    Conflicts->setHeaderLabels({QStringLiteral("Doppelt gezeitete Läufe")});
    Conflicts->setMaximumHeight(140);
    Conflicts->hide();
    ChooseButton = new QPushButton(QStringLiteral("Dieses Rennen &werten"));
    ChooseButton->hide();
    Results = new QTextBrowser;
    ExportButton = new QPushButton(QStringLiteral("Ergebnisse &ausgeben"));
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(Conflicts);
    layout->addWidget(ChooseButton, 0, Qt::AlignRight);
    layout->addWidget(Results, 1);
    layout->addWidget(ExportButton, 0, Qt::AlignRight);
    connect(ExportButton, &QPushButton::clicked, this, &TRaceDayWindow::ExportDay);
    connect(ChooseButton, &QPushButton::clicked, this, [this] {
        const QTreeWidgetItem *item = Conflicts->currentItem();
        if (item && item->parent())
            ChooseHeatRace(item->data(0, Qt::UserRole).toInt(),
                           item->data(0, Qt::UserRole + 1).toString(),
                           item->data(0, Qt::UserRole + 2).toLongLong());
    });
    return page;
}

bool TRaceDayWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Heats && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->modifiers() == Qt::AltModifier &&
            (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
            MoveDriver(SelectedEntrant(), key->key() == Qt::Key_Up ? -1 : +1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TRaceDayWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    TakeOverButton->setVisible(FMain->ServerReader() != nullptr);
    Recompute();
}

void TRaceDayWindow::Report(const QString &text)
{
    Message->setText(text);
    if (ShowMessage)
        ShowMessage(text);
    else
        QMessageBox::information(this, windowTitle(), text);
}

// ---- The store ---------------------------------------------------------------------------

void TRaceDayWindow::Reload(qint64 selectId)
{
    struct TRead
    {
        QList<TRaceDay> days;
        QList<TSeason> seasons;
        QString station;
    };
    Ask<TRead>(
        [](TRaceDayStore *store) {
            TRead read;
            if (store) {
                read.days = store->days();
                read.seasons = store->seasons();
                read.station = store->stationId();
            }
            return read;
        },
        [this, selectId](const TRead &read) {
            FStationId = read.station;
            FDays = read.days;
            FSeasons = read.seasons;
            DayChoice->clear();
            for (const TRaceDay &day : FDays)
                DayChoice->addItem(
                    QStringLiteral("%1 (%2)").arg(
                        day.name, QLocale().toString(day.date, QLocale::ShortFormat)),
                    day.id);
            const qint64 wanted = selectId != 0     ? selectId
                                  : FDay.id != 0    ? FDay.id
                                  : FDays.isEmpty() ? 0
                                                    : FDays.first().id;
            if (wanted != 0)
                SelectDay(wanted);
            else
                ShowDay();
        });
}

void TRaceDayWindow::Save()
{
    if (FMain->JournalPath().isEmpty())
        return;
    // A day named before "Neu" was pressed gets the date the form shows, not none.
    if (!FDay.date.isValid())
        FDay.date = DateEdit->date();
    struct TSaved
    {
        bool ok = false;
        qint64 id = 0;
        QString error;
    };
    Ask<TSaved>(
        [day = FDay, newId = FNewDayId](TRaceDayStore *store) mutable {
            TSaved saved;
            if (!store)
                return saved;
            // A day saved twice before the first answer came is not inserted twice.
            if (day.id == 0)
                day.id = *newId;
            saved.ok = store->saveDay(day);
            saved.id = day.id;
            saved.error = store->errorString();
            if (saved.ok)
                *newId = day.id;
            return saved;
        },
        [this, newId = FNewDayId](const TSaved &saved) {
            if (!saved.ok) {
                Report(kStoreFailed.arg(saved.error));
                return;
            }
            FMain->NotePlansSaved();
            // The id stays with the day being made: a save of it still waiting for the store
            // replaces the day rather than inserting it a second time.
            if (FDay.id == 0 && newId == FNewDayId) {
                FDay.id = saved.id;
                Reload(saved.id);
            }
        });
}

void TRaceDayWindow::Recompute()
{
    FRecomputeTimer->stop();
    if (FDay.id == 0 && FDay.rounds.isEmpty())
        return;
    TServerReader *reader = FMain->ServerReader();
    if (!reader || FStationId.isEmpty() || FDay.id == 0) {
        Work({});
        return;
    }
    // The other stations' races of the day first, on the reader's thread; then the results on
    // the store's.
    ++FJobs;
    reader->ask<QList<TServerHeatRace>>(
        this,
        [origin = PlanDocuments::dayOrigin(FDay, FStationId), own = FStationId](QSqlDatabase &db,
                                                                                QString *error) {
            return ServerReads::heatRaces(db, {origin}, own, error);
        },
        [this](const QList<TServerHeatRace> &server, const QString &error) {
            --FJobs;
            if (!error.isEmpty())
                Message->setText(kServerMissing.arg(error));
            else if (FServerMissingShown)
                Message->clear();
            FServerMissingShown = !error.isEmpty();
            // A station's latest race of a heat is the one that counts there.
            QHash<std::pair<QString, int>, const TServerHeatRace *> latest;
            for (const TServerHeatRace &race : server) {
                const TServerHeatRace *&kept = latest[{race.station, race.heatId}];
                if (race.station != FStationId && (!kept || kept->raceId < race.raceId))
                    kept = &race;
            }
            FRunningElsewhere.clear();
            for (const TServerHeatRace *race : std::as_const(latest)) {
                if (race && race->running)
                    FRunningElsewhere.insert(race->heatId);
            }
            Work(server);
        });
}

namespace {

struct TWorked
{
    bool found = false;
    TRaceDay day;
    TRaceDayOutcome outcome;
    QList<THeatConflict> conflicts;
};

// The stored day's results, on the store's thread.
TWorked workDay(TRaceDayStore *store, qint64 dayId, const QList<TServerHeatRace> &server,
                const QString &own, int acc)
{
    TWorked worked;
    if (!store || dayId == 0)
        return worked;
    const std::optional<TRaceDay> stored = store->day(dayId);
    if (!stored)
        return worked;
    worked.found = true;
    const QList<THeatChoice> choices =
        server.isEmpty() ? QList<THeatChoice>()
                         : store->heatChoices(PlanDocuments::dayOrigin(*stored, own));
    const TDayAcrossStations across = HeatsAcrossStations(*stored, own, server, choices);
    worked.day = across.day;
    worked.conflicts = across.conflicts;
    worked.outcome = ComputeDayAcrossStations(across, *store, acc);
    return worked;
}

} // namespace

void TRaceDayWindow::Work(const QList<TServerHeatRace> &server)
{
    Ask<TWorked>([dayId = FDay.id, server, own = FStationId, acc = FMain->Race.Acc](
                     TRaceDayStore *store) { return workDay(store, dayId, server, own, acc); },
                 [this](const TWorked &worked) {
                     if (worked.found && worked.day.id == FDay.id)
                         TakeOutcome(worked.day, worked.outcome, worked.conflicts);
                 });
}

void TRaceDayWindow::WorkNow()
{
    FRecomputeTimer->stop();
    FMain->FlushJournal();
    if (FMain->Journal)
        FMain->Journal->flush(kFlushWaitMs);
    const TWorked worked =
        FWorker
            ->Run([dayId = FDay.id, acc = FMain->Race.Acc](TRaceDayStore *store) {
                return workDay(store, dayId, {}, QString(), acc);
            })
            .result();
    if (worked.found && worked.day.id == FDay.id)
        TakeOutcome(worked.day, worked.outcome, worked.conflicts);
}

void TRaceDayWindow::TakeOutcome(const TRaceDay &stored, const TRaceDayOutcome &outcome,
                                 const QList<THeatConflict> &conflicts)
{
    // Only which race timed each heat is taken: the plan edited meanwhile stays.
    for (TRound &round : FDay.rounds) {
        for (THeat &heat : round.heats) {
            if (const THeat *kept = stored.heat(heat.id))
                heat.raceId = kept->raceId;
        }
    }
    FOutcome = outcome;
    FConflicts = conflicts;
    FollowSeeding();
    ShowHeats();
    ShowConflicts();
    ShowResults();
    TellProgress();
}

void TRaceDayWindow::ShowConflicts()
{
    Conflicts->clear();
    QString open;
    for (const THeatConflict &conflict : FConflicts) {
        auto *item = new QTreeWidgetItem(Conflicts);
        const QString label = HeatLabel(FDay, conflict.heatId);
        item->setText(0, label + QStringLiteral(": ") + conflict.text());
        if (!conflict.chosen && open.isEmpty())
            open = item->text(0);
        for (const THeatCandidate &c : conflict.candidates) {
            auto *race = new QTreeWidgetItem(item);
            const bool counts = conflict.chosen && conflict.choice == c;
            race->setText(0, QStringLiteral("Rennen von Station %1%2")
                                 .arg(c.stationLabel.isEmpty() ? c.station.left(8) : c.stationLabel,
                                      counts ? QStringLiteral(" (gewertet)") : QString()));
            race->setData(0, Qt::UserRole, conflict.heatId);
            race->setData(0, Qt::UserRole + 1, c.station);
            race->setData(0, Qt::UserRole + 2, c.raceId);
        }
    }
    Conflicts->expandAll();
    Conflicts->setVisible(!FConflicts.isEmpty());
    ChooseButton->setVisible(!FConflicts.isEmpty());
    if (!open.isEmpty())
        Message->setText(open);
}

void TRaceDayWindow::ChooseHeatRace(int heatId, const QString &station, qint64 raceId)
{
    const QString dayKey = PlanDocuments::dayOrigin(FDay, FStationId);
    Ask<QString>(
        [dayKey, choice = THeatChoice{heatId, station, raceId}](TRaceDayStore *store) {
            if (!store)
                return kNoJournal;
            return store->chooseHeatRace(dayKey, choice) ? QString() : store->errorString();
        },
        [this](const QString &error) {
            if (!error.isEmpty()) {
                Report(kChooseFailed.arg(error));
                return;
            }
            Message->clear();
            Recompute();
        });
}

void TRaceDayWindow::OfferServerDays()
{
    TServerReader *reader = FMain->ServerReader();
    if (!reader)
        return;
    ++FJobs;
    reader->ask<QList<TServerDay>>(
        this, [](QSqlDatabase &db, QString *error) { return ServerReads::days(db, error); },
        [this](const QList<TServerDay> &days, const QString &error) {
            --FJobs;
            if (!error.isEmpty()) {
                Report(kServerDaysFailed.arg(error));
                return;
            }
            QList<TServerDay> offered;
            QStringList texts;
            for (const TServerDay &day : days) {
                if (day.station == FStationId)
                    continue;
                offered.append(day);
                texts << QStringLiteral("%1 (%2) – Station %3")
                             .arg(day.day.name,
                                  QLocale().toString(day.day.date, QLocale::ShortFormat),
                                  day.stationLabel.isEmpty() ? day.station.left(8)
                                                             : day.stationLabel);
            }
            if (offered.isEmpty()) {
                Report(kNoServerDays);
                return;
            }
            int chosen = -1;
            if (ChooseServerDay) {
                chosen = ChooseServerDay(texts);
            } else {
                bool ok = false;
                const QString text = QInputDialog::getItem(
                    this, windowTitle(), QStringLiteral("Veranstaltung einer anderen Station:"),
                    texts, 0, false, &ok);
                chosen = ok ? int(texts.indexOf(text)) : -1;
            }
            if (chosen >= 0 && chosen < offered.size())
                TakeOverDay(offered[chosen]);
        });
}

void TRaceDayWindow::TakeOverDay(const TServerDay &day)
{
    // The same day again is only selected: its heats are timed into the copy there is.
    for (const TRaceDay &known : FDays) {
        if (PlanDocuments::dayOrigin(known, FStationId) == day.origin) {
            SelectDay(known.id);
            return;
        }
    }
    FDay = day.day;
    FDay.id = 0;
    FDay.seasonId = 0;
    FDay.origin = day.origin;
    FOutcome = TRaceDayOutcome();
    FConflicts.clear();
    FRulesAsTaken = false;
    FDrawn.clear();
    FMovedFrom.clear();
    // A slot of its own: a save of the day before, still queued, keeps that day's id.
    FNewDayId = std::make_shared<qint64>(0);
    ShowDay();
    Save();
}

TFormMain::THeatOnKeys TRaceDayWindow::HeatOnKeysOf(qint64 dayId, int heatId)
{
    std::optional<TRaceDay> day = FWorker->RunAndWait([dayId](TRaceDayStore *store) {
        return store ? store->day(dayId) : std::optional<TRaceDay>();
    });
    if (!day) {
        TFormMain::THeatOnKeys heat;
        heat.dayId = dayId;
        heat.heatId = heatId;
        heat.label = QStringLiteral("Lauf");
        return heat;
    }
    if (FDay.id != dayId) {
        FDay = *day;
        FOutcome = TRaceDayOutcome();
        ShowDay();
    }
    return HeatOnKeys(*day, heatId);
}

// ---- The day -----------------------------------------------------------------------------

const TRaceDay *TRaceDayWindow::LatestDay(qint64 seasonId, qint64 besides) const
{
    const TRaceDay *latest = nullptr;
    for (const TRaceDay &kept : FDays) {
        // The day shown may have been changed since the list was read.
        const TRaceDay *day = kept.id == FDay.id ? &FDay : &kept;
        if (day->id == besides || day->id == 0 || (seasonId != 0 && day->seasonId != seasonId))
            continue;
        if (!latest || day->date > latest->date ||
            (day->date == latest->date && day->id > latest->id))
            latest = day;
    }
    return latest;
}

bool TRaceDayWindow::TakeRulesOf(const TRaceDay *day)
{
    if (!day)
        return false;
    FDay.rules = day->rules;
    FDay.points = day->points;
    ShowRules();
    Message->setText(kRulesTaken.arg(day->name));
    return true;
}

void TRaceDayWindow::NewDay(const QString &name, const QDate &date)
{
    // The club's rules as the last day had them, not the built-in ones.
    const TRaceDay *last = LatestDay(0, 0);
    const TRaceDay before = last ? *last : TRaceDay();
    FDay = TRaceDay();
    FDay.name = name;
    FDay.date = date;
    FDay.rules = before.rules;
    FDay.points = before.points;
    FRulesAsTaken = true;
    FOutcome = TRaceDayOutcome();
    FDrawn.clear();
    FMovedFrom.clear();
    // A slot of its own: a save of the day before, still queued, keeps that day's id.
    FNewDayId = std::make_shared<qint64>(0);
    ShowDay();
    Save();
    if (last)
        Message->setText(kRulesTaken.arg(before.name));
}

bool TRaceDayWindow::SelectDay(qint64 dayId)
{
    const auto found = std::find_if(FDays.cbegin(), FDays.cend(),
                                    [dayId](const TRaceDay &day) { return day.id == dayId; });
    if (found == FDays.cend())
        return false;
    if (FDay.id != dayId) {
        FDay = *found;
        FOutcome = TRaceDayOutcome();
        FConflicts.clear();
        FRulesAsTaken = false;
        FDrawn.clear();
        FMovedFrom.clear();
    }
    ShowDay();
    Recompute();
    return true;
}

void TRaceDayWindow::ShowDay()
{
    FShowing = true;
    DayChoice->setCurrentIndex(DayChoice->findData(FDay.id));
    // The store's answer to "Neu" shows the day again: a name being typed (over the proposed
    // one, which is selected) stays as it is.
    if (NameEdit->text() != FDay.name && !(NameEdit->hasFocus() && NameEdit->isModified()))
        NameEdit->setText(FDay.name);
    DateEdit->setDate(FDay.date.isValid() ? FDay.date : QDate::currentDate());
    SeasonChoice->clear();
    SeasonChoice->addItem(QStringLiteral("(keine)"), qint64(0));
    for (const TSeason &season : FSeasons)
        SeasonChoice->addItem(season.name, season.id);
    SeasonChoice->setCurrentIndex(qMax(0, SeasonChoice->findData(FDay.seasonId)));
    ShowEntrants();
    ShowRules();
    ShowClasses();
    ShowHeats();
    ShowResults();
    FShowing = false;
}

void TRaceDayWindow::ShowClasses()
{
    const QString current = ClassChoice->currentText();
    ClassChoice->clear();
    ClassChoice->addItems(FDay.classes());
    ClassChoice->setCurrentIndex(qMax(0, ClassChoice->findText(current)));
}

// ---- Entrants ----------------------------------------------------------------------------

void TRaceDayWindow::ShowEntrants()
{
    const QSignalBlocker block(Entrants);
    Entrants->setRowCount(int(FDay.entrants.size()));
    for (int r = 0; r < FDay.entrants.size(); ++r) {
        const TEntrant &e = FDay.entrants[r];
        Entrants->setItem(r, ecNumber, new QTableWidgetItem(e.number));
        Entrants->setItem(r, ecDriver, new QTableWidgetItem(e.driver));
        Entrants->setItem(r, ecClass, new QTableWidgetItem(e.className));
        auto *absent = new QTableWidgetItem;
        absent->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        absent->setCheckState(e.absent ? Qt::Checked : Qt::Unchecked);
        Entrants->setItem(r, ecAbsent, absent);
    }
}

void TRaceDayWindow::EntrantEdited(int row, int column)
{
    if (row < 0 || row >= FDay.entrants.size())
        return;
    TEntrant &e = FDay.entrants[row];
    const QTableWidgetItem *item = Entrants->item(row, column);
    switch (column) {
    case ecNumber:
        e.number = item->text().trimmed();
        break;
    case ecDriver:
        e.driver = item->text().trimmed();
        break;
    case ecClass:
        e.className = item->text().trimmed();
        ShowClasses();
        break;
    case ecAbsent:
        e.absent = item->checkState() == Qt::Checked;
        break;
    default:
        return;
    }
    DropUndo(); // an undo would take the edit back too
    Save();
    ShowHeats();
}

void TRaceDayWindow::AddEntrant()
{
    TEntrant e;
    int id = 0;
    for (const TEntrant &other : FDay.entrants)
        id = qMax(id, other.id);
    e.id = id + 1;
    e.className = ClassChoice->currentText();
    DropUndo(); // an undo would take the new entrant too
    FDay.entrants.append(e);
    ShowEntrants();
    Save();
    Entrants->setCurrentCell(int(FDay.entrants.size()) - 1, ecNumber);
    Entrants->editItem(Entrants->currentItem());
}

void TRaceDayWindow::RemoveEntrants()
{
    QList<int> rows;
    for (const QModelIndex &index : Entrants->selectionModel()->selectedRows())
        rows << index.row();
    if (rows.isEmpty() && Entrants->currentRow() >= 0)
        rows << Entrants->currentRow();
    std::sort(rows.begin(), rows.end());
    QList<TEntrant> gone;
    for (const int row : std::as_const(rows)) {
        if (row >= 0 && row < FDay.entrants.size())
            gone << FDay.entrants[row];
    }
    if (gone.isEmpty())
        return;
    for (const TEntrant &e : std::as_const(gone)) {
        for (const TRound &round : std::as_const(FDay.rounds)) {
            for (const THeat &heat : round.heats) {
                if (heat.entrantIds.contains(e.id) && HeatStarted(heat.id)) {
                    Report(kInStartedHeat);
                    return;
                }
            }
        }
    }
    const QString named = entrantsText(gone);
    const QString question = gone.size() == 1 ? kRemoveOneQuestion.arg(named)
                                              : kRemoveQuestion.arg(gone.size()).arg(named);
    if (!FMain->AskSideQuestion(this, question))
        return;
    KeepForUndo(named);
    for (TRound &round : FDay.rounds) {
        for (THeat &heat : round.heats) {
            for (const TEntrant &e : std::as_const(gone))
                heat.entrantIds.removeAll(e.id);
        }
    }
    FDay.entrants.removeIf([&gone](const TEntrant &e) {
        return std::any_of(gone.cbegin(), gone.cend(),
                           [&e](const TEntrant &g) { return g.id == e.id; });
    });
    ShowEntrants();
    ShowClasses();
    ShowHeats();
    Save();
    Message->setText(kRemoved.arg(named));
}

void TRaceDayWindow::KeepForUndo(const QString &what)
{
    FUndo = {FDay.id, what, FDay.entrants, FDay.rounds};
    UndoButton->setEnabled(true);
}

void TRaceDayWindow::DropUndo()
{
    FUndo = TUndo();
    UndoButton->setEnabled(false);
}

bool TRaceDayWindow::UndoRemoval()
{
    if (FUndo.dayId == 0 || FUndo.dayId != FDay.id)
        return false;
    // The drivers come back to the heats they left, where those have not started since.
    for (TRound &round : FDay.rounds) {
        for (THeat &heat : round.heats) {
            for (const TRound &before : std::as_const(FUndo.rounds)) {
                for (const THeat &kept : before.heats) {
                    if (kept.id == heat.id && !HeatStarted(heat.id))
                        heat.entrantIds = kept.entrantIds;
                }
            }
        }
    }
    FDay.entrants = FUndo.entrants;
    const QString what = FUndo.what;
    DropUndo();
    ShowEntrants();
    ShowClasses();
    ShowHeats();
    Save();
    Message->setText(kUndone.arg(what));
    return true;
}

void TRaceDayWindow::ReadStarterList(const QString &fileName)
{
    bool replace = false;
    if (!FDay.entrants.isEmpty()) {
        const QString question =
            kReplaceOrAdd.arg(FDay.entrants.size()).arg(QFileInfo(fileName).fileName());
        QMessageBox box(QMessageBox::Question, windowTitle(), question, QMessageBox::NoButton,
                        this);
        QPushButton *replaceButton =
            box.addButton(QStringLiteral("&Ersetzen"), QMessageBox::AcceptRole);
        QPushButton *addButton =
            box.addButton(QStringLiteral("&Hinzufügen"), QMessageBox::AcceptRole);
        box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
        box.setDefaultButton(addButton);
        box.exec();
        if (box.clickedButton() != replaceButton && box.clickedButton() != addButton)
            return;
        replace = box.clickedButton() == replaceButton;
    }
    ++FJobs;
    ReadListButton->setEnabled(false);
    auto *watcher = new QFutureWatcher<std::pair<bool, QPair<QString, StarterList>>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, fileName, replace] {
        --FJobs;
        const auto [ok, read] = watcher->result();
        watcher->deleteLater();
        ReadListButton->setEnabled(true);
        if (!ok) {
            Report(read.first);
            return;
        }
        TakeListEntrants(read.second, fileName, replace);
    });
    // A long list, or a damaged workbook's helper, takes its time away from the keys.
    watcher->setFuture(QtConcurrent::run([fileName] {
        StarterListReader reader;
        const bool ok = reader.read(fileName);
        return std::pair(ok, QPair(reader.errorString(), reader.rows()));
    }));
}

void TRaceDayWindow::TakeListEntrants(const StarterList &rows, const QString &fileName,
                                      bool replace)
{
    if (replace) {
        const bool anyStarted =
            std::any_of(FDay.rounds.cbegin(), FDay.rounds.cend(), [this](const TRound &round) {
                return std::any_of(round.heats.cbegin(), round.heats.cend(),
                                   [this](const THeat &heat) { return HeatStarted(heat.id); });
            });
        if (anyStarted) {
            Report(kNoReplaceStarted);
            return;
        }
    }
    // New ids even when replacing: a heat never takes a new driver for an old one.
    int last = 0;
    for (const TEntrant &e : std::as_const(FDay.entrants))
        last = qMax(last, e.id);
    const QList<TEntrant> added = EntrantsFromStarterList(rows, last + 1);
    const QString file = QFileInfo(fileName).fileName();
    if (replace) {
        KeepForUndo(QStringLiteral("das Ersetzen der Starter durch \u201E%1\u201C").arg(file));
        for (TRound &round : FDay.rounds) {
            for (THeat &heat : round.heats)
                heat.entrantIds.clear();
        }
        FDay.entrants = added;
    } else {
        DropUndo();
        FDay.entrants.append(added);
    }
    ShowEntrants();
    ShowClasses();
    ShowHeats();
    Save();
    Message->setText((replace ? kListReplaced : kListRead).arg(added.size()).arg(file));
    // A number a class has twice, once from the list, is most likely a list read twice.
    QStringList doubled;
    for (const TEntrant &e : added) {
        const bool twice =
            !e.number.isEmpty() &&
            std::any_of(FDay.entrants.cbegin(), FDay.entrants.cend(), [&e](const TEntrant &other) {
                return other.id != e.id && other.number == e.number &&
                       other.className == e.className;
            });
        if (twice && !doubled.contains(e.number))
            doubled << e.number;
    }
    if (!doubled.isEmpty())
        Report(kDoubleNumbers.arg(doubled.join(QStringLiteral(", "))));
}

void TRaceDayWindow::DeleteDay()
{
    if (FDay.id == 0)
        return;
    if (FMain->HeatOnKeys().dayId == FDay.id) {
        Report(kDayOnKeys);
        return;
    }
    int heats = 0;
    for (const TRound &round : std::as_const(FDay.rounds))
        heats += int(round.heats.size());
    if (!FMain->AskSideQuestion(this, kDeleteDayQuestion.arg(FDay.name)
                                          .arg(QLocale().toString(FDay.date, QLocale::ShortFormat))
                                          .arg(FDay.entrants.size())
                                          .arg(heats)))
        return;
    const QString name = FDay.name;
    Ask<QString>(
        [id = FDay.id](TRaceDayStore *store) {
            if (!store)
                return kNoJournal;
            return store->removeDay(id) ? QString() : store->errorString();
        },
        [this, name](const QString &error) {
            if (!error.isEmpty()) {
                Report(kDeleteFailed.arg(error));
                return;
            }
            FMain->NotePlansSaved();
            FDay = TRaceDay();
            FNewDayId = std::make_shared<qint64>(0);
            FOutcome = TRaceDayOutcome();
            FConflicts.clear();
            FDrawn.clear();
            FMovedFrom.clear();
            DropUndo();
            Reload(0);
            Message->setText(kDayDeleted.arg(name));
        });
}

// ---- Rules -------------------------------------------------------------------------------

void TRaceDayWindow::ShowRules()
{
    const bool was = FShowing;
    FShowing = true;
    HeatSize->setValue(FDay.rules.maxHeatSize);
    Ranking->setCurrentIndex(int(FDay.rules.ranking));
    Combine->setCurrentIndex(int(FDay.rules.combine));
    FinalSize->setValue(FDay.rules.finalSize);
    BumpUp->setValue(FDay.rules.bumpUp);
    PointsTable->setText(pointsText(FDay.points.perPlace));
    FastestLapBonus->setValue(FDay.points.fastestLap);
    BestQualifierBonus->setValue(FDay.points.bestQualifier);
    DnsPoints->setValue(FDay.points.dns);
    DnfPoints->setValue(FDay.points.dnf);
    DsqPoints->setValue(FDay.points.dsq);
    FShowing = was;
}

void TRaceDayWindow::TakeRules()
{
    if (FShowing)
        return;
    TClassRules rules;
    rules.maxHeatSize = HeatSize->value();
    rules.ranking = TQualifyRanking(Ranking->currentIndex());
    rules.combine = TQualifyCombine(Combine->currentIndex());
    rules.finalSize = FinalSize->value();
    rules.bumpUp = BumpUp->value();
    TPointsRules points;
    points.perPlace = pointsOf(PointsTable->text());
    points.fastestLap = FastestLapBonus->value();
    points.bestQualifier = BestQualifierBonus->value();
    points.dns = DnsPoints->value();
    points.dnf = DnfPoints->value();
    points.dsq = DsqPoints->value();
    PointsTable->setText(pointsText(points.perPlace));
    if (rules == FDay.rules && points == FDay.points)
        return;
    FRulesAsTaken = false;
    FDay.rules = rules;
    FDay.points = points;
    Save();
    FRecomputeTimer->start();
}

// ---- Heats -------------------------------------------------------------------------------

int TRaceDayWindow::NextHeatId() const
{
    int id = 0;
    for (const TRound &round : FDay.rounds) {
        for (const THeat &heat : round.heats)
            id = qMax(id, heat.id);
    }
    return id + 1;
}

int TRaceDayWindow::NextRoundId() const
{
    int id = 0;
    for (const TRound &round : FDay.rounds)
        id = qMax(id, round.id);
    return id + 1;
}

bool TRaceDayWindow::HeatStarted(int heatId) const
{
    const THeat *heat = FDay.heat(heatId);
    if (!heat)
        return false;
    // The heat on the keys counts as started once its race is in the standings, before the
    // store has read its START.
    const TFormMain::THeatOnKeys &onKeys = FMain->HeatOnKeys();
    const bool timedNow =
        onKeys.dayId == FDay.id && onKeys.heatId == heatId && FMain->Session.HasRace();
    return heat->raceId != 0 || timedNow;
}

bool TRaceDayWindow::SplitHeats(const QString &className, THeatOrder order)
{
    QList<int> ids;
    if (order == THeatOrder::Seeded) {
        const TClassOutcome *outcome = FOutcome.ofClass(className);
        if (!outcome || outcome->qualifying.isEmpty()) {
            Report(kNoQualifying.arg(className));
            return false;
        }
        for (const TQualifyPlace &place : outcome->qualifying) {
            const TEntrant *e = FDay.entrant(place.entrantId);
            if (e && !e->absent)
                ids.append(e->id);
        }
    }
    // Present drivers the earlier round has not placed follow in list order.
    for (const TEntrant &e : FDay.entrants) {
        if (e.className == className && !e.absent && !ids.contains(e.id))
            ids.append(e.id);
    }
    if (ids.isEmpty()) {
        Report(kNoEntrants.arg(className));
        return false;
    }
    // The class's last qualifying round is drawn again while none of its heats has started.
    TRound *last = nullptr;
    int number = 0;
    for (TRound &round : FDay.rounds) {
        if (round.className == className && round.kind == TRoundKind::Qualifying) {
            last = &round;
            number = qMax(number, round.number);
        }
    }
    const bool lastStarted =
        last && std::any_of(last->heats.cbegin(), last->heats.cend(),
                            [this](const THeat &heat) { return HeatStarted(heat.id); });
    // Seeded by an earlier round: the round to fill is a new one.
    const bool reuse = last && !lastStarted && order != THeatOrder::Seeded;
    if (reuse && !last->heats.isEmpty()) {
        QList<QList<int>> now;
        for (const THeat &heat : std::as_const(last->heats))
            now << heat.entrantIds;
        // Drawn here and not changed since, the round is drawn again without a question.
        if ((!FDrawn.contains(last->id) || FDrawn.value(last->id) != now) &&
            !FMain->AskSideQuestion(this, kRedrawQuestion.arg(className)))
            return false;
    }
    if (last && lastStarted)
        Message->setText(kRoundStarted);
    const QList<QList<int>> split =
        SplitIntoHeats(ids, FDay.rules.maxHeatSize, order, QRandomGenerator::global()->generate());
    TRound round;
    if (reuse) {
        round = *last;
        round.heats.clear();
    } else {
        round.id = NextRoundId();
        round.className = className;
        round.kind = TRoundKind::Qualifying;
        round.number = number + 1;
    }
    int heatId = NextHeatId();
    for (const QList<int> &drivers : split)
        round.heats.append({heatId++, drivers, 0});
    FDrawn[round.id] = split;
    DropUndo();
    for (const QList<int> &drivers : split) {
        for (const int id : drivers)
            FMovedFrom.remove(id);
    }
    if (reuse) {
        *last = round;
    } else {
        // Before the class's finals, which are run after it.
        const auto finals =
            std::find_if(FDay.rounds.begin(), FDay.rounds.end(), [&className](const TRound &r) {
                return r.className == className && r.kind == TRoundKind::Final;
            });
        FDay.rounds.insert(finals, round);
    }
    ShowHeats();
    Save();
    TellProgress();
    // Says what was made, so an older message (a list read) does not stay as if it were news.
    if (!(last && lastStarted)) {
        const QString heats = split.size() == 1 ? QStringLiteral("1 Lauf")
                                                : QStringLiteral("%1 Läufe").arg(split.size());
        const QString where = className.isEmpty()
                                  ? QString()
                                  : QStringLiteral(" der Klasse \u201E%1\u201C").arg(className);
        Message->setText(QStringLiteral("Vorlauf %1%2 eingeteilt: %3 mit %4 Fahrern.")
                             .arg(round.number)
                             .arg(where, heats)
                             .arg(ids.size()));
    }
    return true;
}

bool TRaceDayWindow::SeedFinals(const QString &className)
{
    const TClassOutcome *outcome = FOutcome.ofClass(className);
    auto found =
        std::find_if(FDay.rounds.begin(), FDay.rounds.end(), [&className](const TRound &r) {
            return r.className == className && r.kind == TRoundKind::Final;
        });
    const bool hasQualifying =
        std::any_of(FDay.rounds.cbegin(), FDay.rounds.cend(), [&className](const TRound &r) {
            return r.className == className && r.kind == TRoundKind::Qualifying;
        });
    // Before any final has run, the finals follow the rules as they stand now: a changed final
    // size or bump-up gives a new number of finals, and finals left over go. Once one has run,
    // the worked-out seeding (bump-up places filled, the finals run kept) holds.
    const bool anyStarted = found != FDay.rounds.end() &&
                            std::any_of(found->heats.cbegin(), found->heats.cend(),
                                        [this](const THeat &h) { return HeatStarted(h.id); });
    QList<QList<int>> seeded;
    if (anyStarted) {
        if (outcome)
            seeded = outcome->finalsSeeded;
    } else {
        // By the qualifying order (drivers of heats not yet timed after it); a class without
        // qualifying is seeded by its present entrants in list order, as its results are.
        QList<int> order;
        if (hasQualifying && outcome) {
            for (const TQualifyPlace &place : outcome->qualifying)
                order.append(place.entrantId);
        } else if (!hasQualifying) {
            for (const TEntrant &e : FDay.entrants) {
                if (e.className == className && !e.absent)
                    order.append(e.id);
            }
        }
        seeded = ::SeedFinals(order, FDay.rules.finalSize, FDay.rules.bumpUp);
    }
    if (seeded.isEmpty()) {
        Report(hasQualifying ? kNoFinals.arg(className) : kNoEntrants.arg(className));
        return false;
    }
    if (found == FDay.rounds.end()) {
        TRound round;
        round.id = NextRoundId();
        round.className = className;
        round.kind = TRoundKind::Final;
        round.number = 1;
        FDay.rounds.append(round);
        found = FDay.rounds.end() - 1;
    }
    if (!anyStarted && found->heats.size() > seeded.size()) {
        for (qsizetype f = seeded.size(); f < found->heats.size(); ++f)
            FDay.seeded.remove(found->heats.at(f).id);
        found->heats.resize(seeded.size());
    }
    int heatId = NextHeatId();
    for (qsizetype f = 0; f < seeded.size(); ++f) {
        if (f >= found->heats.size())
            found->heats.append({heatId++, {}, 0});
        THeat &heat = found->heats[f];
        if (!HeatStarted(heat.id)) {
            heat.entrantIds = seeded[f];
            FDay.seeded.insert(heat.id, seeded[f]);
        }
    }
    // "A-Finale 3 Fahrer und 2 Aufsteiger, B-Finale 6 Fahrer"
    QStringList sizes;
    for (qsizetype f = 0; f < found->heats.size(); ++f) {
        const THeat &heat = found->heats.at(f);
        const bool waits = f + 1 < found->heats.size() && !HeatStarted(heat.id) &&
                           !HeatStarted(found->heats.at(f + 1).id);
        const int open =
            waits ? qMin(FDay.rules.bumpUp, kMaxCars - int(heat.entrantIds.size())) : 0;
        const QChar letter(u'A' + int(f));
        sizes << (open > 0 ? kFinalSizeBumpUp.arg(letter).arg(heat.entrantIds.size()).arg(open)
                           : kFinalSize.arg(letter).arg(heat.entrantIds.size()));
    }
    const int firstFinal = found->heats.first().id;
    ShowHeats();
    Save();
    TellProgress();
    ShowFinalsInView(firstFinal);
    QString done = className.isEmpty()
                       ? kFinalsSeeded.arg(sizes.join(QStringLiteral(", ")))
                       : kClassFinalsSeeded.arg(className, sizes.join(QStringLiteral(", ")));
    if (!hasQualifying)
        done += QLatin1Char(' ') + kSeededByList;
    Message->setText(done);
    return true;
}

void TRaceDayWindow::ShowFinalsInView(int firstFinalId)
{
    for (QTreeWidgetItemIterator it(Heats); *it; ++it) {
        if ((*it)->data(0, Qt::UserRole).toInt() != firstFinalId ||
            (*it)->data(1, Qt::UserRole).toInt() != 0)
            continue;
        // The A final selected (Ctrl+Enter puts it on the keys), its round at the top.
        Heats->setCurrentItem(*it);
        Heats->scrollToItem((*it)->parent() ? (*it)->parent() : *it,
                            QAbstractItemView::PositionAtTop);
        return;
    }
}

void TRaceDayWindow::FollowSeeding()
{
    bool changed = false;
    for (TRound &round : FDay.rounds) {
        if (round.kind != TRoundKind::Final)
            continue;
        const TClassOutcome *outcome = FOutcome.ofClass(round.className);
        if (!outcome)
            continue;
        for (qsizetype f = 0; f < round.heats.size() && f < outcome->finalsSeeded.size(); ++f) {
            THeat &heat = round.heats[f];
            const auto seeded = FDay.seeded.find(heat.id);
            // A final never seeded, or moved by hand, keeps its drivers.
            if (HeatStarted(heat.id) || seeded == FDay.seeded.end() || heat.entrantIds != *seeded ||
                heat.entrantIds == outcome->finalsSeeded[f])
                continue;
            heat.entrantIds = outcome->finalsSeeded[f];
            *seeded = heat.entrantIds;
            changed = true;
        }
    }
    if (changed)
        Save();
}

bool TRaceDayWindow::MoveDriver(int entrantId, int step)
{
    for (TRound &round : FDay.rounds) {
        for (qsizetype h = 0; h < round.heats.size(); ++h) {
            if (!round.heats[h].entrantIds.contains(entrantId))
                continue;
            const qsizetype to = h + step;
            if (to < 0 || to >= round.heats.size())
                return false;
            if (HeatStarted(round.heats[h].id) || HeatStarted(round.heats[to].id)) {
                Report(kHeatStarted);
                return false;
            }
            if (round.heats[to].entrantIds.size() >= kMaxCars) {
                Report(kHeatFull);
                return false;
            }
            // Moved back to the heat he just left, a driver takes his place and key there again.
            QList<std::pair<int, qsizetype>> &left = FMovedFrom[entrantId];
            QList<int> &from = round.heats[h].entrantIds;
            QList<int> &into = round.heats[to].entrantIds;
            const qsizetype at = from.indexOf(entrantId);
            from.removeAt(at);
            if (!left.isEmpty() && left.last().first == round.heats[to].id) {
                into.insert(qMin(left.last().second, into.size()), entrantId);
                left.removeLast();
            } else {
                left.append({round.heats[h].id, at});
                into.append(entrantId);
            }
            DropUndo();
            ShowHeats();
            SelectEntrant(entrantId);
            Save();
            return true;
        }
    }
    return false;
}

TFormMain::THeatOnKeys TRaceDayWindow::HeatOnKeys(const TRaceDay &day, int heatId) const
{
    TFormMain::THeatOnKeys onKeys;
    const THeat *heat = day.heat(heatId);
    if (!heat)
        return onKeys;
    onKeys.dayId = day.id;
    onKeys.heatId = heatId;
    onKeys.label = HeatLabel(day, heatId);
    onKeys.title =
        day.name.isEmpty() ? onKeys.label : day.name + QStringLiteral(" – ") + onKeys.label;
    for (const int id : heat->entrantIds) {
        if (const TEntrant *e = day.entrant(id))
            onKeys.drivers.append({e->number, e->driver});
    }
    return onKeys;
}

bool TRaceDayWindow::StartHeat(int heatId)
{
    // A heat ended a moment ago: the final above it gets its bump-up places before it goes on
    // the keys. (With a club server the results are worked out as usual, the server asked.)
    if (FRecomputeTimer->isActive() && !FMain->ServerReader())
        WorkNow();
    const THeat *heat = FDay.heat(heatId);
    if (!heat || FDay.id == 0)
        return false;
    if (heat->entrantIds.isEmpty()) {
        Report(QStringLiteral("Der Lauf hat keine Fahrer."));
        return false;
    }
    // A final whose bump-up places the final below fills: that one runs first.
    for (const TRound &round : FDay.rounds) {
        if (round.kind != TRoundKind::Final || FDay.rules.bumpUp <= 0)
            continue;
        for (qsizetype f = 0; f + 1 < round.heats.size(); ++f) {
            if (round.heats[f].id != heatId || round.heats[f + 1].raceId != 0)
                continue;
            const auto finalName = [](qsizetype position) {
                return QStringLiteral("%1-Finale").arg(QChar(u'A' + int(position)));
            };
            if (!FMain->AskSideQuestion(
                    this, kLowerFinalNotRunQuestion.arg(finalName(f + 1), finalName(f))))
                return false;
        }
    }
    if (!FMain->PutHeatOnKeys(HeatOnKeys(FDay, heatId)))
        return false;
    TellProgress();
    ShowHeats();
    // The operator goes on at the main window, where START is.
    FMain->activateWindow();
    FMain->raise();
    return true;
}

int TRaceDayWindow::SelectedHeat() const
{
    const QTreeWidgetItem *item = Heats->currentItem();
    return item ? item->data(0, Qt::UserRole).toInt() : 0;
}

int TRaceDayWindow::SelectedEntrant() const
{
    const QTreeWidgetItem *item = Heats->currentItem();
    return item ? item->data(1, Qt::UserRole).toInt() : 0;
}

bool TRaceDayWindow::SelectEntrant(int entrantId)
{
    for (QTreeWidgetItemIterator it(Heats); *it; ++it) {
        if ((*it)->data(1, Qt::UserRole).toInt() == entrantId) {
            Heats->setCurrentItem(*it);
            return true;
        }
    }
    return false;
}

void TRaceDayWindow::ShowHeats()
{
    const int selectedHeat = SelectedHeat();
    const int selectedEntrant = SelectedEntrant();
    Heats->clear();
    const TFormMain::THeatOnKeys &onKeys = FMain->HeatOnKeys();
    for (const TRound &round : FDay.rounds) {
        auto *roundItem = new QTreeWidgetItem(Heats);
        const QString kind = round.kind == TRoundKind::Final
                                 ? QStringLiteral("Finale")
                                 : QStringLiteral("Vorlauf %1").arg(round.number);
        roundItem->setText(0, round.className.isEmpty()
                                  ? kind
                                  : QStringLiteral("Klasse %1 · %2").arg(round.className, kind));
        roundItem->setFlags(Qt::ItemIsEnabled);
        for (const THeat &heat : round.heats) {
            auto *heatItem = new QTreeWidgetItem(roundItem);
            heatItem->setText(0, HeatLabel(FDay, heat.id));
            heatItem->setData(0, Qt::UserRole, heat.id);
            const bool onKeysNow = onKeys.dayId == FDay.id && onKeys.heatId == heat.id;
            const bool twice = std::any_of(
                FConflicts.cbegin(), FConflicts.cend(),
                [&heat](const THeatConflict &c) { return c.heatId == heat.id && !c.chosen; });
            heatItem->setText(2, onKeysNow && FMain->Running() ? QStringLiteral("läuft")
                                 : twice                       ? QStringLiteral("doppelt gezeitet")
                                 : heat.raceId < 0 && FRunningElsewhere.contains(heat.id)
                                     ? QStringLiteral("läuft auf einer anderen Station")
                                 : heat.raceId != 0 ? QStringLiteral("fertig")
                                 : onKeysNow        ? QStringLiteral("auf den Tasten")
                                                    : QStringLiteral("offen"));
            for (int k = 0; k < heat.entrantIds.size(); ++k) {
                const TEntrant *e = FDay.entrant(heat.entrantIds[k]);
                auto *driver = new QTreeWidgetItem(heatItem);
                driver->setText(0, e ? entrantText(*e) : QStringLiteral("?"));
                driver->setText(1, QStringLiteral("F%1").arg(k + 1));
                driver->setData(0, Qt::UserRole, heat.id);
                driver->setData(1, Qt::UserRole, heat.entrantIds[k]);
            }
        }
    }
    Heats->expandAll();
    if (selectedEntrant == 0 || !SelectEntrant(selectedEntrant)) {
        for (QTreeWidgetItemIterator it(Heats); *it; ++it) {
            if ((*it)->data(0, Qt::UserRole).toInt() == selectedHeat &&
                (*it)->data(1, Qt::UserRole).toInt() == 0) {
                Heats->setCurrentItem(*it);
                break;
            }
        }
    }
    FollowLateCorrectionButton();
}

void TRaceDayWindow::TellProgress()
{
    const TFormMain::THeatOnKeys &onKeys = FMain->HeatOnKeys();
    if (onKeys.dayId == 0 || onKeys.dayId != FDay.id)
        return;
    // A heat stopped or ended is done ("fertig") once the store has read its START.
    const THeat *heat = FDay.heat(onKeys.heatId);
    const bool timed = heat && heat->raceId != 0;
    const int running =
        FMain->Running() || (FMain->Session.HasRace() && !timed) ? onKeys.heatId : 0;
    const int next = NextHeat(FDay, onKeys.heatId);
    FMain->ShowRaceDayProgress(next != 0 ? HeatLabel(FDay, next) : QString(),
                               DaySchedule(FDay, running));
}

// ---- Results -----------------------------------------------------------------------------

void TRaceDayWindow::ShowResults()
{
    QString html;
    const auto name = [this](int id) {
        const TEntrant *e = FDay.entrant(id);
        return e ? entrantText(*e).toHtmlEscaped() : QString();
    };
    for (const TClassOutcome &c : FOutcome.classes) {
        html += QStringLiteral("<h3>%1</h3>")
                    .arg(c.className.isEmpty()
                             ? FDay.name.toHtmlEscaped()
                             : QStringLiteral("Klasse ") + c.className.toHtmlEscaped());
        html += QStringLiteral("<p><b>Qualifikation</b></p><table cellpadding=2><tr><th></th>"
                               "<th align=left>Fahrer</th><th align=left>Runden</th>"
                               "<th align=left>Gesamtzeit</th><th align=left>Beste Runde</th>"
                               "</tr>");
        for (const TQualifyPlace &q : c.qualifying)
            html += QStringLiteral("<tr><td>%1.</td><td>%2</td><td>%3 Rd.</td><td>%4</td>"
                                   "<td>%5</td></tr>")
                        .arg(q.place)
                        .arg(name(q.entrantId))
                        .arg(q.laps)
                        .arg(msText(q.totalMs, FMain->Race.Acc), msText(q.bestMs, FMain->Race.Acc));
        html += QStringLiteral("</table>");
        if (!c.result.isEmpty()) {
            html += QStringLiteral("<p><b>Ergebnis</b></p><table cellpadding=2>");
            for (const TClassPlace &p : c.result)
                html += QStringLiteral("<tr><td>%1.</td><td>%2</td><td>%3-Finale</td><td>%4</td>"
                                       "<td>%5</td></tr>")
                            .arg(p.place)
                            .arg(name(p.entrantId))
                            .arg(p.final)
                            .arg(p.status)
                            .arg(p.points == 1 ? QStringLiteral("1 Punkt")
                                               : QStringLiteral("%1 Punkte").arg(p.points));
            html += QStringLiteral("</table>");
            if (const QString tie = FastestLapTieNote(FDay, c, FMain->Race.Acc); !tie.isEmpty())
                html += QStringLiteral("<p><i>%1</i></p>").arg(tie.toHtmlEscaped());
        }
    }
    Results->setHtml(html);
}

void TRaceDayWindow::ExportDay()
{
    TRaceDayExport out;
    out.day = FDay;
    out.outcome = FOutcome;
    out.acc = FMain->Race.Acc;
    out.creator = TFormMain::kCaption;
    WriteResultsOut(FMain, this,
                    {QStringLiteral("Veranstaltung"),
                     [out] { return TRaceDayPageWriter::page(out); },
                     [out] { return TRaceDayPdfWriter::pdf(out); },
                     [out](TExcel &excel) { return WriteRaceDayWorkbook(excel, out); },
                     [this](const QString &text) { Message->setText(text); }});
}

#include "SeasonWindow.h"

#include "FormMain.h"
#include "HeatsAcrossStations.h"
#include "PlanDocuments.h"
#include "RaceDayExport.h"
#include "RaceDayWorker.h"
#include "SeasonResults.h"
#include "ServerReader.h"

#include <QAction>
#include <QComboBox>
#include <QFormLayout>
#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Wide enough for a season of 16 days at 1024 pixels; placed, it takes no more than the screen.
constexpr int kWidth = 980;
constexpr int kHeight = 520;
const QString kJoinTwo =
    QStringLiteral("Zum Zusammenführen bitte genau zwei Fahrer der Tabelle wählen (Strg+Klick).");
const QString kStoreFailed =
    QStringLiteral("Die Meisterschaft konnte nicht gespeichert werden: %1");
const QString kJoinQuestion = QStringLiteral(
    "\u201E%1\u201C und \u201E%2\u201C als einen Fahrer zählen?\nEs gilt die Schreibweise "
    "\u201E%1\u201C.");
const QString kJoined =
    QStringLiteral("\u201E%1\u201C zählt als \u201E%2\u201C. [Strg+Z] nimmt es zurück.");
const QString kJoinUndone = QStringLiteral("\u201E%1\u201C zählt wieder für sich.");
const QString kDeleteQuestion = QStringLiteral(
    "Die Meisterschaft \u201E%1\u201C löschen?\nIhre %2 Veranstaltungen bleiben, ohne "
    "Meisterschaft.");
const QString kDeleteFailed = QStringLiteral("Die Meisterschaft konnte nicht gelöscht werden: %1");
const QString kMakeFirst = QStringLiteral("Erst mit \u201ENeu\u201C eine Meisterschaft anlegen");
const QString kDeleted = QStringLiteral("Die Meisterschaft \u201E%1\u201C ist gelöscht.");

// "7 Anna" as the table names a driver.
QString whoText(const TSeasonDriver &who)
{
    return who.number.isEmpty() ? who.driver : who.number + QLatin1Char(' ') + who.driver;
}

} // namespace

TSeasonWindow::TSeasonWindow(TFormMain *main)
    : QWidget(main, Qt::Window), FMain(main),
      FWorker(std::make_unique<TRaceDayWorker>(main->JournalPath()))
{
    setObjectName(QStringLiteral("SeasonWindow"));
    setWindowTitle(QStringLiteral("Meisterschaft"));
    resize(kWidth, kHeight);
    SeasonChoice = new QComboBox;
    NewButton = new QPushButton(QStringLiteral("&Neu"));
    DeleteButton = new QPushButton(QStringLiteral("&Löschen…"));
    DeleteButton->setToolTip(
        QStringLiteral("Löscht die Meisterschaft; ihre Veranstaltungen bleiben."));
    NameEdit = new QLineEdit;
    BestOf = new QSpinBox;
    BestOf->setRange(0, 99);
    BestOf->setSpecialValueText(QStringLiteral("alle"));
    Days = new QListWidget;
    Days->setMaximumHeight(120);
    ClassChoice = new QComboBox;
    Table = new QTableWidget;
    Table->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table->verticalHeader()->hide();
    JoinButton = new QPushButton(QStringLiteral("Fahrer &zusammenführen"));
    UndoButton = new QPushButton(QStringLiteral("&Rückgängig"));
    UndoButton->setToolTip(QStringLiteral("[Strg+Z] Nimmt das letzte Zusammenführen zurück."));
    UndoButton->setEnabled(false);
    auto *undo = new QAction(this);
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    addAction(undo);
    connect(undo, &QAction::triggered, this, &TSeasonWindow::UndoJoin);
    ExportButton = new QPushButton(QStringLiteral("Tabelle &ausgeben"));
    Message = new QLabel;
    Message->setWordWrap(true);

    auto *top = new QHBoxLayout;
    auto *seasonLabel = new QLabel(QStringLiteral("&Meisterschaft:"));
    seasonLabel->setBuddy(SeasonChoice);
    top->addWidget(seasonLabel);
    top->addWidget(SeasonChoice, 1);
    top->addWidget(NewButton);
    top->addWidget(DeleteButton);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Nam&e:"), NameEdit);
    form->addRow(QStringLiteral("Es zählen die &besten … Veranstaltungen:"), BestOf);
    form->addRow(QStringLiteral("&Veranstaltungen:"), Days);
    form->addRow(QStringLiteral("&Klasse:"), ClassChoice);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(JoinButton);
    buttons->addWidget(UndoButton);
    buttons->addStretch();
    buttons->addWidget(ExportButton);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(form);
    layout->addWidget(Table, 1);
    layout->addLayout(buttons);
    layout->addWidget(Message);

    connect(SeasonChoice, &QComboBox::activated, this, [this](int index) {
        FSeasonId = SeasonChoice->itemData(index).toLongLong();
        ShowSeason();
        Work();
    });
    connect(NewButton, &QPushButton::clicked, this, [this] {
        NewSeason(QStringLiteral("Meisterschaft %1").arg(QDate::currentDate().year()));
    });
    connect(NameEdit, &QLineEdit::editingFinished, this, &TSeasonWindow::TakeSeason);
    connect(BestOf, &QSpinBox::valueChanged, this, &TSeasonWindow::TakeSeason);
    connect(Days, &QListWidget::itemChanged, this, [this](QListWidgetItem *item) {
        if (!FShowing)
            DayToggled(item->data(Qt::UserRole).toLongLong(), item->checkState() == Qt::Checked);
    });
    connect(ClassChoice, &QComboBox::currentIndexChanged, this, &TSeasonWindow::ShowTable);
    connect(JoinButton, &QPushButton::clicked, this, [this] {
        QList<int> rows;
        for (const QModelIndex &index : Table->selectionModel()->selectedRows())
            rows << index.row();
        if (rows.size() != 2) {
            Report(kJoinTwo);
            return;
        }
        std::sort(rows.begin(), rows.end());
        JoinLines(rows[0], rows[1]);
    });
    connect(UndoButton, &QPushButton::clicked, this, &TSeasonWindow::UndoJoin);
    connect(DeleteButton, &QPushButton::clicked, this, &TSeasonWindow::DeleteSeason);
    connect(ExportButton, &QPushButton::clicked, this, &TSeasonWindow::ExportSeason);
}

TSeasonWindow::~TSeasonWindow()
{
    FWorker.reset();
}

void TSeasonWindow::WaitForStore()
{
    FWorker->Wait();
}

void TSeasonWindow::Report(const QString &text)
{
    Message->setText(text);
    if (ShowMessage)
        ShowMessage(text);
    else
        QMessageBox::information(this, windowTitle(), text);
}

TSeason *TSeasonWindow::Current()
{
    for (TSeason &season : FSeasons) {
        if (season.id == FSeasonId)
            return &season;
    }
    return nullptr;
}

void TSeasonWindow::Reload()
{
    using TRead = std::tuple<QList<TSeason>, QList<TRaceDay>, QString>;
    ++FJobs;
    auto *watcher = new QFutureWatcher<TRead>(this);
    connect(watcher, &QFutureWatcher<TRead>::finished, this, [this, watcher] {
        --FJobs;
        watcher->deleteLater();
        std::tie(FSeasons, FDays, FStationId) = watcher->result();
        if (!Current())
            FSeasonId = FSeasons.isEmpty() ? 0 : FSeasons.first().id;
        ShowSeason();
        if (FNameToType != 0 && Current() && Current()->id == FNameToType) {
            // As after "Neu" for a race day: what is typed next replaces the proposed name.
            FNameToType = 0;
            NewButton->setEnabled(true);
            NameEdit->setFocus();
            NameEdit->selectAll();
        }
        Work();
    });
    watcher->setFuture(FWorker->Run([](TRaceDayStore *store) {
        return store ? TRead(store->seasons(), store->days(), store->stationId()) : TRead();
    }));
}

void TSeasonWindow::ShowSeason()
{
    FShowing = true;
    SeasonChoice->clear();
    for (const TSeason &season : FSeasons)
        SeasonChoice->addItem(season.name, season.id);
    SeasonChoice->setCurrentIndex(SeasonChoice->findData(FSeasonId));
    const TSeason *season = Current();
    NameEdit->setText(season ? season->name : QString());
    BestOf->setValue(season ? season->bestOf : 0);
    Days->clear();
    for (const TRaceDay &day : FDays) {
        auto *item =
            new QListWidgetItem(QStringLiteral("%1 (%2)").arg(
                                    day.name, QLocale().toString(day.date, QLocale::ShortFormat)),
                                Days);
        item->setData(Qt::UserRole, day.id);
        item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        item->setCheckState(season && day.seasonId == season->id ? Qt::Checked : Qt::Unchecked);
    }
    // Without a season nothing typed or ticked here would be kept: "Neu" makes one first.
    for (QWidget *field : std::initializer_list<QWidget *>{NameEdit, BestOf, Days, DeleteButton})
        field->setEnabled(season != nullptr);
    NameEdit->setPlaceholderText(season ? QString() : kMakeFirst);
    FShowing = false;
}

void TSeasonWindow::NewSeason(const QString &name)
{
    TSeason season;
    season.name = name;
    // Until the season is made and shown, a key typed meanwhile must not make another.
    NewButton->setEnabled(false);
    ++FJobs;
    auto *watcher = new QFutureWatcher<std::pair<qint64, QString>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
        --FJobs;
        watcher->deleteLater();
        const auto [id, error] = watcher->result();
        if (id == 0) {
            NewButton->setEnabled(true);
            Report(kStoreFailed.arg(error));
            return;
        }
        FSeasonId = id;
        FNameToType = id;
        Saved(true);
        Reload();
    });
    watcher->setFuture(FWorker->Run([season](TRaceDayStore *store) mutable {
        if (!store)
            return std::pair(qint64(0), QStringLiteral("kein Rennjournal"));
        if (!store->saveSeason(season))
            return std::pair(qint64(0), store->errorString());
        return std::pair(season.id, QString());
    }));
}

void TSeasonWindow::StoreSeason(const TSeason &season)
{
    FWorker
        ->Run([copy = season](TRaceDayStore *store) mutable {
            return store && store->saveSeason(copy);
        })
        .then(this, std::bind_front(&TSeasonWindow::Saved, this));
    ShowTable();
}

void TSeasonWindow::TakeSeason()
{
    TSeason *season = Current();
    if (FShowing || !season)
        return;
    if (season->name == NameEdit->text() && season->bestOf == BestOf->value())
        return;
    season->name = NameEdit->text();
    season->bestOf = BestOf->value();
    SeasonChoice->setItemText(SeasonChoice->currentIndex(), season->name);
    StoreSeason(*season);
}

void TSeasonWindow::DayToggled(qint64 dayId, bool inSeason)
{
    for (TRaceDay &day : FDays) {
        if (day.id != dayId)
            continue;
        day.seasonId = inSeason ? FSeasonId : 0;
        // The whole plan is saved as the store has it now, with only the season changed.
        FWorker
            ->Run([dayId, seasonId = day.seasonId](TRaceDayStore *store) {
                if (!store)
                    return false;
                std::optional<TRaceDay> stored = store->day(dayId);
                if (!stored)
                    return false;
                stored->seasonId = seasonId;
                return store->saveDay(*stored);
            })
            .then(this, std::bind_front(&TSeasonWindow::Saved, this));
    }
    Work();
}

void TSeasonWindow::Work()
{
    TServerReader *reader = FMain->ServerReader();
    QStringList origins;
    for (const TRaceDay &day : FDays) {
        if (FSeasonId != 0 && day.seasonId == FSeasonId)
            origins << PlanDocuments::dayOrigin(day, FStationId);
    }
    if (!reader || FStationId.isEmpty() || origins.isEmpty()) {
        WorkWith({});
        return;
    }
    // A day's heats timed on other stations count too: their races come from the server.
    ++FJobs;
    reader->ask<QList<TServerHeatRace>>(
        this,
        [origins, own = FStationId](QSqlDatabase &db, QString *error) {
            return ServerReads::heatRaces(db, origins, own, error);
        },
        [this](const QList<TServerHeatRace> &server, const QString &error) {
            --FJobs;
            if (!error.isEmpty())
                Message->setText(QStringLiteral("Die Läufe anderer Stationen fehlen in der "
                                                "Tabelle: der Vereinsserver ist nicht "
                                                "erreichbar (%1).")
                                     .arg(error));
            WorkWith(server);
        });
}

void TSeasonWindow::WorkWith(const QList<TServerHeatRace> &server)
{
    using TWorked = QList<std::pair<TRaceDay, TRaceDayOutcome>>;
    ++FJobs;
    auto *watcher = new QFutureWatcher<TWorked>(this);
    connect(watcher, &QFutureWatcher<TWorked>::finished, this, [this, watcher] {
        --FJobs;
        watcher->deleteLater();
        FWorked = watcher->result();
        const QString current = ClassChoice->currentText();
        QStringList classes;
        for (const auto &[day, outcome] : FWorked) {
            for (const QString &c : day.classes()) {
                if (!classes.contains(c))
                    classes << c;
            }
        }
        const QSignalBlocker block(ClassChoice);
        ClassChoice->clear();
        ClassChoice->addItems(classes);
        ClassChoice->setCurrentIndex(qMax(0, ClassChoice->findText(current)));
        ShowTable();
    });
    const int acc = FMain->Race.Acc; // best laps compared as the races show them
    watcher->setFuture(
        FWorker->Run([seasonId = FSeasonId, server, own = FStationId, acc](TRaceDayStore *store) {
            TWorked worked;
            if (!store || seasonId == 0)
                return worked;
            QList<TRaceDay> days = store->days();
            std::stable_sort(days.begin(), days.end(),
                             [](const TRaceDay &a, const TRaceDay &b) { return a.date < b.date; });
            for (const TRaceDay &day : days) {
                if (day.seasonId != seasonId)
                    continue;
                // A heat timed on two stations counts as the operator chose in "Veranstaltung".
                const QList<THeatChoice> choices =
                    server.isEmpty() ? QList<THeatChoice>()
                                     : store->heatChoices(PlanDocuments::dayOrigin(day, own));
                const TDayAcrossStations across = HeatsAcrossStations(day, own, server, choices);
                worked.append({across.day, ComputeDayAcrossStations(across, *store, acc)});
            }
            return worked;
        }));
}

void TSeasonWindow::ShowTable()
{
    const TSeason *season = Current();
    FShownDays = SeasonDays(FWorked, ClassChoice->currentText());
    FLines = season ? SeasonTable(FShownDays, season->bestOf, season->joins) : QList<TSeasonLine>();
    QStringList headers = {QStringLiteral("Platz"), QStringLiteral("Nr."),
                           QStringLiteral("Fahrer")};
    // A day's column is headed by its date, short enough for a season of 16 days; its name
    // and whole date are the heading's tooltip.
    for (const TSeasonDay &day : FShownDays)
        headers << day.date.toString(QStringLiteral("d.M."));
    headers << QStringLiteral("Gesamt");
    Table->clear();
    Table->setColumnCount(int(headers.size()));
    Table->setHorizontalHeaderLabels(headers);
    for (int d = 0; d < FShownDays.size(); ++d)
        Table->horizontalHeaderItem(3 + d)->setToolTip(QStringLiteral("%1 (%2)").arg(
            FShownDays[d].dayName, QLocale().toString(FShownDays[d].date, QLocale::ShortFormat)));
    Table->setRowCount(int(FLines.size()));
    for (int r = 0; r < FLines.size(); ++r) {
        const TSeasonLine &line = FLines[r];
        int c = 0;
        Table->setItem(r, c++, new QTableWidgetItem(QString::number(line.place)));
        Table->setItem(r, c++, new QTableWidgetItem(line.who.number));
        Table->setItem(r, c++, new QTableWidgetItem(line.who.driver));
        for (int d = 0; d < line.dayPoints.size(); ++d) {
            const bool present = d < line.present.size() && line.present[d];
            const bool dropped = d < line.dropped.size() && line.dropped[d];
            const QString points = QString::number(line.dayPoints[d]);
            // A dropped result ("Streichergebnis") stands in brackets.
            Table->setItem(r, c++,
                           new QTableWidgetItem(!present  ? QString()
                                                : dropped ? QStringLiteral("(%1)").arg(points)
                                                          : points));
        }
        Table->setItem(r, c, new QTableWidgetItem(QString::number(line.total)));
    }
    // Every column as wide as its heading and cells, so that a season of 16 days reads whole.
    Table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    Table->horizontalHeader()->setStretchLastSection(false);
}

bool TSeasonWindow::JoinLines(int firstRow, int secondRow)
{
    TSeason *season = Current();
    if (!season || firstRow < 0 || secondRow < 0 || firstRow >= FLines.size() ||
        secondRow >= FLines.size() || firstRow == secondRow)
        return false;
    // The spelling of the earlier day is kept: the other one is joined to it.
    const auto firstDay = [this](const TSeasonLine &line) {
        const qsizetype d = line.present.indexOf(true);
        return d < 0 ? FShownDays.size() : d;
    };
    const TSeasonLine &a = FLines[firstRow];
    const TSeasonLine &b = FLines[secondRow];
    const bool aEarlier = firstDay(a) <= firstDay(b);
    const TSeasonJoin join{aEarlier ? b.who : a.who, aEarlier ? a.who : b.who};
    if (!FMain->AskSideQuestion(this, kJoinQuestion.arg(whoText(join.to), whoText(join.from))))
        return false;
    season->joins.append(join);
    FLastJoin = join;
    FJoinSeasonId = season->id;
    UndoButton->setEnabled(true);
    Message->setText(kJoined.arg(whoText(join.from), whoText(join.to)));
    StoreSeason(*season);
    return true;
}

bool TSeasonWindow::UndoJoin()
{
    TSeason *season = Current();
    if (!season || !FLastJoin || season->id != FJoinSeasonId)
        return false;
    const qsizetype at = season->joins.lastIndexOf(*FLastJoin);
    if (at < 0)
        return false;
    season->joins.removeAt(at);
    Message->setText(kJoinUndone.arg(whoText(FLastJoin->from)));
    FLastJoin.reset();
    UndoButton->setEnabled(false);
    StoreSeason(*season);
    return true;
}

void TSeasonWindow::DeleteSeason()
{
    const TSeason *season = Current();
    if (!season)
        return;
    const auto days = std::count_if(FDays.cbegin(), FDays.cend(), [this](const TRaceDay &day) {
        return day.seasonId == FSeasonId;
    });
    if (!FMain->AskSideQuestion(this, kDeleteQuestion.arg(season->name).arg(days)))
        return;
    const QString name = season->name;
    ++FJobs;
    auto *watcher = new QFutureWatcher<QString>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, name] {
        --FJobs;
        watcher->deleteLater();
        const QString error = watcher->result();
        if (!error.isEmpty()) {
            Report(kDeleteFailed.arg(error));
            return;
        }
        Saved(true);
        FSeasonId = 0;
        FLastJoin.reset();
        UndoButton->setEnabled(false);
        Reload();
        Message->setText(kDeleted.arg(name));
    });
    watcher->setFuture(FWorker->Run([id = FSeasonId](TRaceDayStore *store) {
        if (!store)
            return QStringLiteral("kein Rennjournal");
        return store->removeSeason(id) ? QString() : store->errorString();
    }));
}

void TSeasonWindow::ExportSeason()
{
    const TSeason *season = Current();
    if (!season)
        return;
    TSeasonExport out;
    out.name = season->name;
    out.bestOf = season->bestOf;
    out.creator = TFormMain::kCaption;
    QStringList classes;
    for (int i = 0; i < ClassChoice->count(); ++i)
        classes << ClassChoice->itemText(i);
    // Every day of the season heads a column; a class that did not run that day has it empty.
    QList<TSeasonDay> seasonDays;
    for (const auto &[day, outcome] : FWorked)
        seasonDays.append({day.name, day.date, {}});
    for (const QString &c : classes) {
        const QList<TSeasonDay> days = SeasonDays(FWorked, c);
        QList<TSeasonLine> lines = SeasonTable(days, season->bestOf, season->joins);
        QList<int> column; // per day of the class, its column among the season's days
        for (const TSeasonDay &day : days) {
            qsizetype at = 0;
            while (at < seasonDays.size() &&
                   (seasonDays[at].dayName != day.dayName || seasonDays[at].date != day.date ||
                    column.contains(int(at))))
                ++at;
            column.append(int(at));
        }
        for (TSeasonLine &line : lines) {
            TSeasonLine wide = line;
            wide.dayPoints = QList<int>(seasonDays.size(), 0);
            wide.dropped = QList<bool>(seasonDays.size(), false);
            wide.present = QList<bool>(seasonDays.size(), false);
            for (qsizetype d = 0; d < column.size() && column[d] < seasonDays.size(); ++d) {
                wide.dayPoints[column[d]] = line.dayPoints.value(d);
                wide.dropped[column[d]] = line.dropped.value(d);
                wide.present[column[d]] = line.present.value(d);
            }
            line = wide;
        }
        out.classes.append({c, seasonDays, lines});
    }
    WriteResultsOut(FMain, this,
                    {QStringLiteral("Meisterschaft"),
                     [out] { return TSeasonPageWriter::page(out); },
                     [out] { return TSeasonPdfWriter::pdf(out); },
                     [out](TExcel &excel) { return WriteSeasonWorkbook(excel, out); },
                     [this](const QString &text) { Message->setText(text); }});
}

void TSeasonWindow::Saved(bool saved)
{
    if (saved)
        FMain->NotePlansSaved();
}

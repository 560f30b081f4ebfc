#include "ResultsOfficeWindow.h"

#include "ArchiveModel.h"
#include "RaceSetup.h"
#include "ServerReader.h"
#include "StandingsTable.h"

#include <QDateTime>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr int kWidth = 900;
constexpr int kHeight = 600;
// Several notices at once (a race's row and a plan) read the list once.
constexpr int kRefreshDelayMs = 200;
// The running lap times are written as often as the station writes its own.
constexpr int kClockMs = 450;
enum TRaceColumn { rcStation, rcStarted, rcTitle, rcState, rcWinner, rcColumns };

const QStringList kStandingsTitles = {
    QStringLiteral("Pos"),     QStringLiteral("Key"),      QStringLiteral("Nr."),
    QStringLiteral("Fahrer"),  QStringLiteral("R.Nr."),    QStringLiteral("Zeit"),
    QStringLiteral("L.Runde"), QStringLiteral("Vorrunde"), QStringLiteral("Top Runde"),
    QStringLiteral("Zum 1."),  QStringLiteral("Vor"),      QStringLiteral("km/h")};

QTableWidget *readOnlyTable(const QStringList &titles)
{
    auto *table = new QTableWidget(0, int(titles.size()));
    table->setHorizontalHeaderLabels(titles);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->verticalHeader()->hide();
    return table;
}
} // namespace

TResultsOfficeWindow::TResultsOfficeWindow(TServerReader *reader, int defaultAccuracy,
                                           QWidget *parent)
    : QWidget(parent, Qt::Window), WallNow(&QDateTime::currentMSecsSinceEpoch), FReader(reader),
      FDefaultAccuracy(defaultAccuracy)
{
    setObjectName(QStringLiteral("ResultsOfficeWindow"));
    setWindowTitle(QStringLiteral("Ergebnisbüro"));
    resize(kWidth, kHeight);
    ServerState = new QLabel;
    Races = readOnlyTable({QStringLiteral("Station"), QStringLiteral("Beginn"),
                           QStringLiteral("Rennen"), QStringLiteral("Zustand"),
                           QStringLiteral("Sieger")});
    // Every column as wide as its texts, the title and the driver taking what is left: all of
    // them fit the window without a scroll bar.
    Races->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    Races->horizontalHeader()->setSectionResizeMode(rcTitle, QHeaderView::Stretch);
    RaceTitle = new QLabel;
    RaceTitle->setStyleSheet(QStringLiteral("font-weight: bold"));
    Standings = readOnlyTable(kStandingsTitles);
    Standings->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    Standings->horizontalHeader()->setSectionResizeMode(TStandingsTable::colFahrer,
                                                        QHeaderView::Stretch);
    auto *lower = new QWidget;
    auto *lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->addWidget(RaceTitle);
    lowerLayout->addWidget(Standings, 1);
    auto *split = new QSplitter(Qt::Vertical);
    split->addWidget(Races);
    split->addWidget(lower);
    split->setStretchFactor(1, 2);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(split, 1);
    layout->addWidget(ServerState);

    FRefreshTimer = new QTimer(this);
    FRefreshTimer->setSingleShot(true);
    FRefreshTimer->setInterval(kRefreshDelayMs);
    connect(FRefreshTimer, &QTimer::timeout, this, &TResultsOfficeWindow::Refresh);
    FClockTimer = new QTimer(this);
    FClockTimer->setInterval(kClockMs);
    connect(FClockTimer, &QTimer::timeout, this, &TResultsOfficeWindow::TickClock);
    connect(Races, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (row >= 0 && row < FRaces.size())
            SelectRace(FRaces[row].station, FRaces[row].summary.id);
    });
    if (reader) {
        connect(reader, &TServerReader::racesChanged, FRefreshTimer, qOverload<>(&QTimer::start));
        connect(reader, &TServerReader::eventsArrived, this, &TResultsOfficeWindow::TakeEvents);
        connect(reader, &TServerReader::stateChanged, this, &TResultsOfficeWindow::ShowState);
        ShowState(reader->state());
    }
    Refresh();
}

TResultsOfficeWindow::~TResultsOfficeWindow()
{
    if (FReader && FRaceId != 0)
        FReader->unfollow(FStation, FRaceId);
}

void TResultsOfficeWindow::ShowState(const TReplicationState &state)
{
    ServerState->setText(state.text());
}

void TResultsOfficeWindow::Refresh()
{
    if (!FReader)
        return;
    FReader->ask<QList<TServerRace>>(
        this, [](QSqlDatabase &db, QString *error) { return ServerReads::races(db, error); },
        [this](const QList<TServerRace> &races, const QString &error) {
            if (!error.isEmpty()) {
                ServerState->setText(
                    QStringLiteral("Vereinsserver nicht erreichbar: %1").arg(error));
                return;
            }
            FRaces = races;
            // The newest first, as "Frühere Rennen" lists them.
            std::reverse(FRaces.begin(), FRaces.end());
            ShowRaces();
        });
}

void TResultsOfficeWindow::ShowRaces()
{
    const QSignalBlocker block(Races);
    Races->setRowCount(int(FRaces.size()));
    int current = -1;
    for (int row = 0; row < FRaces.size(); ++row) {
        const TServerRace &race = FRaces[row];
        const QStringList texts = {
            race.stationLabel.isEmpty() ? race.station.left(8) : race.stationLabel,
            QLocale().toString(QDateTime::fromMSecsSinceEpoch(race.summary.startedWallMs),
                               QLocale::ShortFormat),
            race.summary.title, TArchiveModel::StateText(race.summary.state), race.summary.winner};
        for (int column = 0; column < rcColumns; ++column)
            Races->setItem(row, column, new QTableWidgetItem(texts[column]));
        if (race.station == FStation && race.summary.id == FRaceId)
            current = row;
    }
    if (current >= 0)
        Races->selectRow(current);
    if (FRaceId == 0 && !FRaces.isEmpty())
        SelectRace(FRaces.first().station, FRaces.first().summary.id);
}

bool TResultsOfficeWindow::SelectRace(const QString &station, qint64 raceId)
{
    const auto found = std::find_if(FRaces.cbegin(), FRaces.cend(), [&](const TServerRace &r) {
        return r.station == station && r.summary.id == raceId;
    });
    if (found == FRaces.cend())
        return false;
    {
        const QSignalBlocker block(Races);
        Races->selectRow(int(found - FRaces.cbegin()));
    }
    if (station == FStation && raceId == FRaceId)
        return true;
    if (FReader && FRaceId != 0)
        FReader->unfollow(FStation, FRaceId);
    FStation = station;
    FRaceId = raceId;
    FEvents.clear();
    FSession.reset();
    RaceTitle->setText(found->summary.title);
    ShowStandings();
    if (FReader)
        FReader->follow(station, raceId);
    return true;
}

void TResultsOfficeWindow::TakeEvents(const QString &station, qint64 raceId,
                                      const QList<TRaceEvent> &events)
{
    if (station != FStation || raceId != FRaceId || events.isEmpty())
        return;
    // Presses that follow the events shown go through the race as the station's did; anything
    // else (a correction, a gap) replays the race from its START.
    const bool inOrder =
        FSession && !FEvents.isEmpty() && events.first().seq == FEvents.constLast().seq + 1 &&
        std::all_of(events.cbegin(), events.cend(),
                    [](const TRaceEvent &e) { return e.kind == TRaceEvent::Kind::Press; });
    FEvents.append(events);
    if (inOrder) {
        for (const TRaceEvent &event : events)
            FSession->Apply(event);
    } else {
        Replay();
    }
    ShowStandings();
}

void TResultsOfficeWindow::Replay()
{
    FSession = std::make_unique<TRaceSession>(FClock);
    const auto start = std::find_if(FEvents.cbegin(), FEvents.cend(), [](const TRaceEvent &e) {
        return e.kind == TRaceEvent::Kind::Start;
    });
    if (start == FEvents.cend())
        return;
    const int cars = qBound(1, start->payload.value(StartPayload::kCars).toInt(), kMaxCars);
    // The times with the digits the station timed them with.
    const int accuracy = TRaceSetup::FromStartEvent(*start).accuracy;
    FSession->SetAccuracy(accuracy >= 0 ? accuracy : FDefaultAccuracy);
    FSession->SetRowCount(cars + 1);
    FSession->LabelKeys(cars);
    FSession->Load(FEvents, start->tick);
}

quint32 TResultsOfficeWindow::StationTickNow() const
{
    // The latest press's race time carried on by the wall-clock time since; the START's before
    // the first press.
    qint64 raceMs = 0;
    qint64 atWallMs = FSession->StartWallMs();
    for (auto it = FEvents.crbegin(); it != FEvents.crend(); ++it) {
        if (it->kind == TRaceEvent::Kind::Press) {
            raceMs = PressRaceMs(*it);
            atWallMs = it->wallMs;
            break;
        }
    }
    return FSession->StartTick() + quint32(raceMs + qMax<qint64>(0, WallNow() - atWallMs));
}

void TResultsOfficeWindow::TickClock()
{
    if (!FSession || !FSession->Running()) {
        FClockTimer->stop();
        return;
    }
    ShowStandings();
}

void TResultsOfficeWindow::ShowStandings()
{
    if (!FSession) {
        FClockTimer->stop();
        Standings->setRowCount(0);
        return;
    }
    // A running race's lap times run on as at the station.
    if (FSession->Running()) {
        FSession->Tick(StationTickNow());
        if (!FClockTimer->isActive())
            FClockTimer->start();
    }
    const TStandingsTable &table = FSession->Standings();
    Standings->setRowCount(qMax(0, table.RowCount() - 1));
    for (int row = 1; row < table.RowCount(); ++row) {
        for (int column = 0; column < TStandingsTable::kColumns; ++column) {
            QTableWidgetItem *item = Standings->item(row - 1, column);
            if (!item) {
                item = new QTableWidgetItem;
                Standings->setItem(row - 1, column, item);
            }
            item->setText(table.Cell(column, row));
        }
    }
}

QString TResultsOfficeWindow::Cell(int column, int row) const
{
    const QTableWidgetItem *item = Standings->item(row - 1, column);
    return item ? item->text() : QString();
}

// The club server through the main window: one reader for every window that shows other
// stations' races, the results office, and another station's race shown read-only.
#include "FormMain.h"

#include "EndOffThread.h"
#include "RaceDayStore.h"
#include "ResultsOfficeWindow.h"
#include "ServerReader.h"
#include "ServerReads.h"

#include <QAction>
#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

namespace {
const QString kNoServer = QStringLiteral(
    "Es ist kein Vereinsserver eingerichtet: das Ergebnisbüro liest die Rennen vom Vereinsserver.");
const QString kServerRaceFailed =
    QStringLiteral("Das Rennen lässt sich nicht vom Vereinsserver lesen: %1");
} // namespace

void TFormMain::BuildServerReading()
{
    ResultsOffice1 = AddCommand(
        this, QStringLiteral("ResultsOffice1"), QStringLiteral("Ergebnisbüro"),
        {QKeySequence(Qt::CTRL | Qt::Key_B)}, std::bind_front(&TFormMain::ShowResultsOffice, this));
}

void TFormMain::SetClubServer(const TClubServerConfig &config, const QString &password)
{
    delete ResultsOffice;
    ResultsOffice = nullptr;
    // The old reader may be inside a connection attempt: the keys never wait for it.
    if (FServerReader)
        EndOffThread(FServerReader.release());
    if (!config.isSet())
        return;
    FServerReader = std::make_unique<TServerReader>(config, password);
    connect(FServerReader.get(), &TServerReader::racesChanged, this,
            &TFormMain::serverRacesChanged);
    FServerReader->start();
    if (FStationId.isEmpty() && !FJournalPath.isEmpty()) {
        // Read on a thread of its own: the journal's writer may hold the file for a moment.
        auto *watcher = new QFutureWatcher<QString>(this);
        connect(watcher, &QFutureWatcher<QString>::finished, this, [this, watcher] {
            watcher->deleteLater();
            FStationId = watcher->result();
        });
        watcher->setFuture(QtConcurrent::run([path = FJournalPath] {
            TRaceDayStore store(path);
            return store.stationId();
        }));
    }
    if (config.readOnly)
        ShowResultsOffice();
}

void TFormMain::ShowResultsOffice()
{
    if (!FServerReader) {
        ShowNoticeText(kNoServer);
        return;
    }
    if (!ResultsOffice)
        ResultsOffice = new TResultsOfficeWindow(FServerReader.get(), Race.Acc, this);
    ResultsOffice->show();
    ResultsOffice->raise();
    ResultsOffice->activateWindow();
}

void TFormMain::ViewServerRace(const QString &station, qint64 raceId)
{
    if (!FServerReader)
        return;
    struct TRead
    {
        QList<TRaceEvent> events;
        QString title;
        qint64 startedMs = 0;
    };
    FServerReader->ask<TRead>(
        this,
        [station, raceId](QSqlDatabase &db, QString *error) {
            TRead read;
            read.events = ServerReads::events(db, station, raceId, 0, error);
            for (const TServerRace &race : ServerReads::races(db, error)) {
                if (race.station == station && race.summary.id == raceId) {
                    read.title = race.summary.title;
                    read.startedMs = race.summary.startedWallMs;
                }
            }
            return read;
        },
        [this](const TRead &read, const QString &error) {
            if (!error.isEmpty())
                ShowNoticeText(kServerRaceFailed.arg(error));
            QList<TRaceEvent> events = read.events;
            // Its heat belongs to a day of that station: here it is shown as a race of its own.
            for (TRaceEvent &event : events) {
                if (event.kind == TRaceEvent::Kind::Start) {
                    event.payload.remove(QStringLiteral("raceDay"));
                    event.payload.remove(QStringLiteral("heat"));
                }
            }
            const bool shown =
                error.isEmpty() && ShowRaceReadOnly(read.title, read.startedMs, events);
            if (OnServerRaceShown)
                OnServerRaceShown(shown             ? QString()
                                  : error.isEmpty() ? QStringLiteral("-")
                                                    : error);
        });
}

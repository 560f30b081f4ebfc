// "Frühere Rennen": every race the journal keeps, opened read-only in the standings (rebuilt
// from its events, shown as a stopped race, so both exports work as for the live race) or
// deleted after a question.
#include "FormMain.h"

#include "ArchiveWindow.h"
#include "RaceJournal.h"
#include "ServerReader.h"
#include "ServerReads.h"

#include "TSortGrid.h"

#include <QDateTime>
#include <QLocale>
#include <QStatusBar>

namespace {

const QString kOnlyWhenReady = QStringLiteral(
    "Ein früheres Rennen kann nur geöffnet werden, solange kein Rennen läuft oder gestoppt "
    "angezeigt wird.");
const QString kIncomplete = QStringLiteral(
    "Das Rennen ist im Rennjournal nicht vollständig und kann nicht gezeigt werden.");
const QString kDeleteQuestion = QStringLiteral("Das Rennen \u201E%1\u201C vom %2 löschen?");
// The race in the standings is still written to: deleting it would lose what follows.
const QString kNotWhileShown = QStringLiteral(
    "Das Rennen \u201E%1\u201C steht noch in der Rangliste und kann deshalb nicht gelöscht "
    "werden. Es lässt sich löschen, sobald es mit START zurückgesetzt ist (ein laufendes Rennen "
    "vorher stoppen).");
const QString kGone = QStringLiteral("Dieses Rennen ist nicht mehr im Rennjournal.");
const QString kOthersFailed =
    QStringLiteral("Die Rennen der anderen Stationen lassen sich nicht lesen: %1");
const QString kViewing = QStringLiteral("Früheres Rennen \u201E%1\u201C vom %2 (nur zum Lesen)");

QString startedText(qint64 wallMs)
{
    return QLocale().toString(QDateTime::fromMSecsSinceEpoch(wallMs), QLocale::ShortFormat);
}

} // namespace

void TFormMain::ShowArchive(QObject *)
{
    if (!FArchive) {
        FArchive = new TArchiveWindow(this);
        FArchive->OnOpen = [this](qint64 raceId) { ViewArchivedRace(raceId); };
        FArchive->OnOpenOther = [this](const QString &station, qint64 raceId) {
            ViewServerRace(station, raceId);
        };
        FArchive->OnDelete = [this](qint64 raceId) {
            DeleteArchivedRace(raceId);
            FArchive->SetRaces(Journal->races());
        };
        FArchive->OnAllStations = [this](bool all) { ListOtherStations(all); };
    }
    FArchive->SetServerAvailable(FServerReader != nullptr);
    FArchive->SetRaces(Journal->races());
    ListOtherStations(FArchive->AllStations());
    FArchive->show();
    FArchive->raise();
    FArchive->activateWindow();
}

void TFormMain::ListOtherStations(bool all)
{
    if (!all || !FServerReader) {
        FArchive->SetOtherRaces({});
        return;
    }
    FServerReader->ask<QList<TServerRace>>(
        FArchive, [](QSqlDatabase &db, QString *error) { return ServerReads::races(db, error); },
        [this](const QList<TServerRace> &races, const QString &error) {
            if (!error.isEmpty()) {
                ShowNoticeText(kOthersFailed.arg(error));
                return;
            }
            // This station's races are listed from its own journal.
            QList<TArchiveRow> others;
            for (const TServerRace &race : races) {
                if (race.station != FStationId)
                    others.append({race.summary, race.station, race.stationLabel});
            }
            FArchive->SetOtherRaces(others);
        });
}

bool TFormMain::ViewArchivedRace(qint64 raceId)
{
    if (Session.HasRace()) {
        ShowNoticeText(kOnlyWhenReady);
        return false;
    }
    FlushJournal();
    const std::optional<TRaceSummary> race = Journal->race(raceId);
    if (!race) {
        ShowNoticeText(kIncomplete);
        return false;
    }
    return ShowRaceReadOnly(race->title, race->startedWallMs, Journal->events(raceId));
}

bool TFormMain::ShowRaceReadOnly(const QString &title, qint64 startedWallMs,
                                 const QList<TRaceEvent> &events)
{
    if (Session.HasRace()) {
        ShowNoticeText(kOnlyWhenReady);
        return false;
    }
    const auto start = std::find_if(events.cbegin(), events.cend(), [](const TRaceEvent &e) {
        return e.kind == TRaceEvent::Kind::Start;
    });
    if (start == events.cend()) {
        ShowNoticeText(kIncomplete);
        return false;
    }
    FSetupBeforeArchive = CurrentSetup();
    FHeatBeforeArchive = FHeat;
    FViewingArchive = true;
    JournalRaceId = 0; // looking at a race records nothing
    Session.Load(events, start->tick);
    Session.ShowStopped();
    ShowLoadedRace();
    SyncState();
    StatusBar1->showMessage(kViewing.arg(title, startedText(startedWallMs)));
    return true;
}

void TFormMain::DeleteArchivedRace(qint64 raceId)
{
    const std::optional<TRaceSummary> race = Journal->race(raceId);
    if (!race) {
        ShowNoticeText(kGone);
        return;
    }
    if (raceId == JournalRaceId) {
        ShowNoticeText(kNotWhileShown.arg(race->title));
        return;
    }
    if (AskYesNo(kDeleteQuestion.arg(race->title, startedText(race->startedWallMs)), true))
        Journal->deleteRace(raceId);
}

void TFormMain::LeaveArchivedRace()
{
    if (!FViewingArchive)
        return;
    FViewingArchive = false;
    StatusBar1->clearMessage();
    ShowSetup(FSetupBeforeArchive);
    // A heat race looked at is not the heat the next START times: the one before it is.
    FHeat = std::exchange(FHeatBeforeArchive, THeatOnKeys());
    ShowHeatLine();
    PublishAudience();
}

// "Frühere Rennen": every race the journal keeps, opened read-only in the standings (rebuilt
// from its events, shown as a stopped race, so both exports work as for the live race) or
// deleted after a question.
#include "FormMain.h"

#include "ArchiveWindow.h"
#include "RaceDayOutcome.h"
#include "RaceDayStore.h"
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
// A heat's race: the day's results, and its season's, no longer count it.
const QString kHeatOfDay = QStringLiteral(
    "\nEs ist der Lauf \u201E%1\u201C der Veranstaltung \u201E%2\u201C; ihr Ergebnis ändert sich.");
const QString kHeatOfDayInSeason =
    QStringLiteral("\nEs ist der Lauf \u201E%1\u201C der Veranstaltung \u201E%2\u201C; ihr "
                   "Ergebnis und die Meisterschaft \u201E%3\u201C ändern sich.");
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

// What deleting a race changes beyond it: the day (and season) whose heat it timed; empty for
// an ordinary race, or a day no longer kept.
QString heatOfRaceText(const QString &journalPath, const QList<TRaceEvent> &events)
{
    const auto start = std::find_if(events.cbegin(), events.cend(), [](const TRaceEvent &e) {
        return e.kind == TRaceEvent::Kind::Start;
    });
    const std::optional<std::pair<qint64, int>> link =
        start == events.cend() ? std::nullopt : HeatOfStart(*start);
    if (!link)
        return {};
    TRaceDayStore store(journalPath);
    const std::optional<TRaceDay> day = store.day(link->first);
    if (!day)
        return {};
    const QString label = HeatLabel(*day, link->second);
    for (const TSeason &season : store.seasons()) {
        if (season.id == day->seasonId && day->seasonId != 0)
            return kHeatOfDayInSeason.arg(label, day->name, season.name);
    }
    return kHeatOfDay.arg(label, day->name);
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
    FlushJournal();
    const QString heat = heatOfRaceText(FJournalPath, Journal->events(raceId));
    if (AskYesNo(kDeleteQuestion.arg(race->title, startedText(race->startedWallMs)) + heat, true))
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

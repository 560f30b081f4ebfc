// The starter-list command of the window: the file choice and the import into the standings.
#include "FormMain.h"

#include "StandingsView.h"
#include "StarterListError.h"
#include "StarterListReader.h"
#include "TSortGrid.h"

#include <QCoreApplication>
#include <QFutureWatcher>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolButton>
#include <QtConcurrent/QtConcurrentRun>

namespace {

const QString kNoListDuringRace = QStringLiteral(
    "Während eines Rennens kann keine Starterliste geladen werden, sonst gingen Zeilen der Autos "
    "mit ihren Runden verloren. Bitte die Liste laden, wenn das Rennen beendet und "
    "zurückgesetzt ist.");

const QString kStillReading = QStringLiteral(
    "Es wird noch eine Starterliste gelesen. Bitte warten, bis sie fertig gelesen ist.");
const QString kReading = QStringLiteral("Starterliste %1 wird gelesen …");
const QString kCarsFollowList = QStringLiteral(
    "Starterliste mit %1 Startern gelesen: \u201EAutos\u201C von %2 auf %1 gesetzt.");
constexpr int kCarsMessageMs = 15000;

} // namespace

void TFormMain::bStartListClick(QObject *)
{
    // A list rewrites the rows and their count; during a race that would hide cars and their
    // laps from the keys and the exports. The button is off then, but Ctrl+O still gets here.
    if (RaceState() != rsReady)
        throw EStarterListError(kNoListDuringRace);
    if (FStarterListReading)
        throw EStarterListError(kStillReading);
    // The last list is offered again as it was read, extension included, so Enter reads the
    // same file.
    if (!OpenDialog1.Execute(this))
        return;
    ReadStarterListInBackground(OpenDialog1.FileName);
}

void TFormMain::ReadStarterListInBackground(const QString &FileName)
{
    // Reading may take long (a damaged .xls makes its helper wait up to its deadline): it runs
    // on a thread of its own, and the window stays responsive, its keys counting, meanwhile.
    FStarterListReading = true;
    bStartList->setEnabled(false);
    StatusBar1->showMessage(kReading.arg(FileName));
    auto *watcher = new QFutureWatcher<TStarterListRead>(this);
    connect(watcher, &QFutureWatcher<TStarterListRead>::finished, this, [this, watcher] {
        const TStarterListRead read = watcher->result();
        watcher->deleteLater();
        FStarterListReading = false;
        bStartList->setEnabled(RaceState() == rsReady);
        StatusBar1->clearMessage();
        if (!read.ok)
            throw EStarterListError(read.error);
        // A race started while the list was read keeps its rows.
        if (RaceState() != rsReady)
            throw EStarterListError(kNoListDuringRace);
        ShowStarterList(read.rows);
    });
    watcher->setFuture(QtConcurrent::run([FileName] {
        StarterListReader reader;
        TStarterListRead read;
        read.ok = reader.read(FileName);
        read.error = reader.errorString();
        read.rows = reader.rows();
        return read;
    }));
}

void TFormMain::ReadStarterList(const QString &FileName)
{
    StarterListReader reader;
    if (!reader.read(FileName))
        throw EStarterListError(reader.errorString());
    ShowStarterList(reader.rows());
}

void TFormMain::ShowStarterList(const StarterList &rows)
{
    Session.ShowStarterList(rows);
    DropHeat(); // the list's drivers are no heat of a race day
    // Cars without a starter would stand in every result with zero times. A list is only read
    // while no race is in the standings, so the car count may follow it; more starters than
    // cars keep the count.
    const int starters = int(rows.size());
    const int cars = seCarCount->value();
    if (starters >= 1 && starters < cars && !Session.HasRace()) {
        seCarCount->setValue(starters);
        StatusBar1->showMessage(kCarsFollowList.arg(starters).arg(cars), kCarsMessageMs);
    }
    Standings->Show();
    if (SortGrid1->RowCount() > 1)
        SortGrid1->SetTopRow(1);
    SortGrid1->SetLeftCol(TRaceTiming::colNr);
    // The window grows until every starter is in sight, as after a change of the car count,
    // as far as the screen allows; beyond that the standings scroll.
    FitHeightToRows();
    sbExcel->setEnabled(true);
    sbWeb->setEnabled(true);
}

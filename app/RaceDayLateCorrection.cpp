// A protest after a heat: the race of an ended heat is corrected in a window of its own while the
// next heat runs on the keys, and the day's results follow each correction once the journal
// holds it.
#include "RaceDayWindow.h"

#include "LateCorrectionWindow.h"
#include "RaceDayStore.h"
#include "RaceDayWorker.h"
#include "RaceJournal.h"

#include <QFutureWatcher>
#include <QPushButton>
#include <QTimer>

namespace {

// While the journal still writes the race (it just left the keys), it is read again this often.
constexpr int kRereadMs = 50;
constexpr int kRereadTries = 100;

const QString kNotLate = QStringLiteral(
    "Nachträglich korrigieren lässt sich nur ein beendeter Lauf dieser Station, der nicht mehr "
    "auf den Tasten liegt; den Lauf auf den Tasten korrigiert das Hauptfenster.");
const QString kStillWriting = QStringLiteral(
    "Das Rennen des Laufs wird noch ins Rennjournal geschrieben; bitte gleich noch einmal "
    "versuchen.");
const QString kIncomplete = QStringLiteral(
    "Das Rennen des Laufs ist im Rennjournal nicht vollständig und kann nicht korrigiert werden.");

} // namespace

bool TRaceDayWindow::CanCorrectLate(int heatId) const
{
    const THeat *heat = FDay.heat(heatId);
    // Another station's race (a negative id) is that station's to correct.
    if (!heat || heat->raceId <= 0 || !FMain->Journal || FMain->JournalPath().isEmpty())
        return false;
    const TFormMain::THeatOnKeys &onKeys = FMain->HeatOnKeys();
    const bool onKeysNow = onKeys.dayId == FDay.id && onKeys.heatId == heatId;
    return !onKeysNow && heat->raceId != FMain->JournalRaceId;
}

TLateCorrectionWindow *TRaceDayWindow::LateCorrection(qint64 raceId) const
{
    return FLateCorrections.value(raceId).data();
}

bool TRaceDayWindow::OpenLateCorrection(int heatId)
{
    if (!CanCorrectLate(heatId)) {
        Report(kNotLate);
        return false;
    }
    const qint64 raceId = FDay.heat(heatId)->raceId;
    if (TLateCorrectionWindow *open = LateCorrection(raceId)) {
        open->show();
        open->raise();
        open->activateWindow();
        return true;
    }
    ReadLateRace(heatId, raceId, kRereadTries);
    return true;
}

void TRaceDayWindow::ReadLateRace(int heatId, qint64 raceId, int tries)
{
    ++FJobs;
    auto *watcher = new QFutureWatcher<QList<TRaceEvent>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, heatId, raceId, tries] {
        --FJobs;
        watcher->deleteLater();
        const QList<TRaceEvent> events = watcher->result();
        if (LateCorrection(raceId))
            return; // asked twice: the first answer opened it
        // Events of the race still on their way to the file would be missed, and the
        // corrections numbered after them twice.
        const int last = events.isEmpty() ? 0 : events.last().seq;
        if (FMain->Journal && FMain->Journal->handedSeq(raceId) > last) {
            if (tries <= 0) {
                Report(kStillWriting);
                return;
            }
            QTimer::singleShot(kRereadMs, this, [this, heatId, raceId, tries] {
                ReadLateRace(heatId, raceId, tries - 1);
            });
            return;
        }
        ShowLateCorrection(heatId, raceId, events);
    });
    watcher->setFuture(FWorker->Run([raceId](TRaceDayStore *store) {
        return store ? store->raceEvents(raceId) : QList<TRaceEvent>();
    }));
}

void TRaceDayWindow::ShowLateCorrection(int heatId, qint64 raceId, const QList<TRaceEvent> &events)
{
    if (std::none_of(events.cbegin(), events.cend(),
                     [](const TRaceEvent &e) { return e.kind == TRaceEvent::Kind::Start; })) {
        Report(kIncomplete);
        return;
    }
    const QString label = FDay.name.isEmpty()
                              ? HeatLabel(FDay, heatId)
                              : FDay.name + QStringLiteral(" – ") + HeatLabel(FDay, heatId);
    auto *window =
        new TLateCorrectionWindow(FMain->Journal, raceId, label, events, FMain->Ticks(), this);
    FLateCorrections.insert(raceId, window);
    // The day's results follow once the journal holds the correction.
    window->OnCorrected = [this, raceId] {
        FLateStoring.insert(raceId, FMain->Journal->handedSeq(raceId));
    };
    connect(FMain->Journal, &TRaceJournal::eventStored, window, [this, raceId](qint64 id, int seq) {
        const auto waiting = FLateStoring.constFind(id);
        if (id != raceId || waiting == FLateStoring.cend() || seq < *waiting)
            return;
        FLateStoring.erase(waiting);
        Recompute();
    });
    // The heat on the keys runs on: its STOPP stays in reach, and the window on the screen.
    FMain->PlaceSideWindow(window, true);
    window->show();
    window->raise();
    window->activateWindow();
}

void TRaceDayWindow::FollowLateCorrectionButton()
{
    LateCorrectionButton->setEnabled(CanCorrectLate(SelectedHeat()));
}

// Resumes a 12-car race of 999 laps each from the journal, as the program does after a crash:
// the time from the question's "Ja" to the race running on with every lap in the tables. Then
// corrects that race in the window, as the operator would from the pass log: the time from the
// command to the standings and the pass log repainted, the race recomputed from its events.
#include "CorrectionEvents.h"
#include "DlgYesNo.h"
#include "FormMain.h"
#include "RaceJournal.h"
#include "RaceSetup.h"
#include "TickCounter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kCars = 12;
constexpr int kLapMs = 60000;
constexpr int kRuns = 3;
constexpr int kCorrections = 30;

// Writes the race into a new journal: START, then every car's 999 laps, none finished (the race
// runs to 999 laps and each car has 998, so it is still open).
bool writeRace(const QString &path, quint32 startTick)
{
    TRaceJournal journal;
    if (!journal.open(path))
        return false;
    TRaceSetup setup;
    setup.title = QStringLiteral("Langstrecke");
    setup.session = QStringLiteral("Rennen");
    setup.cars = kCars;
    setup.laps = kMaxLaps;
    setup.lapLengthKm = 2.5;
    setup.raceSeconds = 14400;
    setup.warnTime = QStringLiteral("05:00");
    for (int car = 1; car <= kCars; ++car)
        setup.starters.append({QString::number(car), QStringLiteral("Fahrer %1").arg(car)});
    const qint64 raceId = journal.startRace(setup.StartEvent(startTick, 0));
    for (int lap = 1; lap < kMaxLaps; ++lap) {
        for (int car = 1; car <= kCars; ++car) {
            const quint32 stamp = startTick + quint32(lap) * kLapMs + quint32(car) * 100;
            journal.append(raceId, PressEvent(car, stamp, startTick, 0));
        }
    }
    return journal.close(60000);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("journal.sqlite"));
    TSystemTickCounter ticks;
    std::printf("resume of a %d-car race with %d laps each from the journal (goal < 1 s)\n", kCars,
                kMaxLaps - 1);
    for (int run = 1; run <= kRuns; ++run) {
        QFile::remove(path);
        if (!writeRace(path, ticks.GetTickCount() - 70000000u))
            return 1;
        TFormMain window(ticks, folder.filePath(QStringLiteral("Talvenbahn.ini")), path);
        TFDlgYesNo dialog(&window);
        window.SetDlgYesNo(&dialog);
        dialog.PrepareAnswer(TFDlgYesNo::daYes);
        QElapsedTimer timer;
        timer.start();
        window.OfferResume();
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        int laps = 0;
        for (int car = 1; car <= kCars; ++car)
            laps += window.Race.LapTable[car].Count;
        std::printf("  run %d: %.0f ms, %d laps rebuilt, race %s\n", run, ms, laps,
                    window.Running() ? "running" : "NOT running");
        window.show();
        QApplication::processEvents();
        std::vector<double> corrections;
        const QList<TRaceCorrections::TCrossing> crossings =
            window.Session.Corrections().Crossings();
        for (int i = 0; i < kCorrections; ++i) {
            // Delete, undo and move crossings spread over the race, so every one reorders laps.
            const TRaceCorrections::TCrossing &c = crossings[(i * 997) % crossings.size()];
            TRaceEvent correction =
                i % 3 == 0 ? CorrectionEvents::Delete(c.id, c.car, ticks.GetTickCount(), 0)
                : i % 3 == 1
                    ? CorrectionEvents::Undo(window.Session.Corrections().UndoTarget(),
                                             ticks.GetTickCount(), 0)
                    : CorrectionEvents::Move(c.id, c.car % kCars + 1, ticks.GetTickCount(), 0);
            timer.restart();
            window.Correct(correction);
            // What the correction changed is drawn when the window handles its update request.
            QApplication::processEvents();
            corrections.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
        std::sort(corrections.begin(), corrections.end());
        std::printf(
            "         %d corrections, recomputed and repainted (goal < 20 ms): median %.1f ms, "
            "max %.1f ms\n",
            kCorrections, corrections[corrections.size() / 2], corrections.back());
        window.TimerALL->stop();
    }
    return 0;
}

// Resumes a 12-car race of 999 laps each from the journal, as the program does after a crash:
// the time from the question's "Ja" to the race running on with every lap in the tables.
#include "DlgYesNo.h"
#include "FormMain.h"
#include "RaceJournal.h"
#include "RaceSetup.h"
#include "TickCounter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int kCars = 12;
constexpr int kLapMs = 60000;
constexpr int kRuns = 3;

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
        window.TimerALL->stop();
    }
    return 0;
}

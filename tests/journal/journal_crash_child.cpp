// Helper of tst_journalcrash: opens the journal at argv[1], starts a race and appends a press
// every argv[2] ms until it is killed. It prints "race <id>" once and "stored <seq>" each time
// the journal says an event is on the disk.
#include "JournalSamples.h"
#include "RaceJournal.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 2;
    TRaceJournal journal;
    if (!journal.open(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "%s\n", qPrintable(journal.errorString()));
        return 1;
    }
    QObject::connect(&journal, &TRaceJournal::eventStored, [](qint64, int seq) {
        std::printf("stored %d\n", seq);
        std::fflush(stdout);
    });
    const qint64 raceId =
        journal.startRace(JournalSamples::startEvent(QStringLiteral("Absturz"), 12));
    std::printf("race %lld\n", raceId);
    std::fflush(stdout);

    int n = 0;
    QTimer presses;
    QObject::connect(&presses, &QTimer::timeout,
                     [&] { journal.append(raceId, JournalSamples::press(n++)); });
    presses.start(QString::fromLocal8Bit(argv[2]).toInt());
    return app.exec();
}

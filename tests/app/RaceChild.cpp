// A race pressed as fast as the journal takes it, in a process of its own, for the crash test:
// the parent kills it with SIGKILL at a random moment and resumes the race from the journal.
// Prints "ack <car> <race ms>" for every press the journal reports as stored on the disk.
#include "DlgYesNo.h"
#include "FormMain.h"
#include "ManualTickCounter.h"
#include "RaceJournal.h"
#include "TerminationSignals.h"

#include <QApplication>
#include <QHash>
#include <QSpinBox>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 3)
        return 2;
    TManualTickCounter ticks(1000000);
    TFormMain window(ticks, QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
    window.seCarCount->setValue(12);
    window.seKrugs->setValue(999);
    window.show();
    window.mStart2Click(nullptr);
    std::printf("started\n");
    std::fflush(stdout);

    QHash<int, QPair<int, quint32>> pressOfSeq;
    int car = 0;
    QTimer presser;
    presser.setInterval(1);
    QObject::connect(&presser, &QTimer::timeout, [&] {
        ticks.Advance(97); // each car comes round after more than its key lock
        window.Session.ReleaseKeyLocks();
        car = car % 12 + 1;
        const int before = window.Race.LapTable[car].Count;
        window.PressLap(car, ticks.GetTickCount());
        if (window.Race.LapTable[car].Count > before) {
            // The journal numbers a race's events in order: START is 1, then every press.
            pressOfSeq.insert(pressOfSeq.size() + 2,
                              {car, ticks.GetTickCount() - window.Race.StartTick});
        }
    });
    QObject::connect(window.Journal, &TRaceJournal::eventStored, [&](qint64, int seq) {
        if (const auto it = pressOfSeq.constFind(seq); it != pressOfSeq.cend()) {
            std::printf("ack %d %u\n", it->first, it->second);
            std::fflush(stdout);
        }
    });
    presser.start();
    // As the program does: a SIGTERM ends it as a normal close, without the question.
    TTerminationSignals termination([](int) { QCoreApplication::exit(0); });
    return app.exec();
}

// Prints how the race journal keeps up with a race: how long append() holds up the key thread,
// how long until a press is durable on the disk (paced like a race, and as fast as possible),
// and how long a 12-car, 999-lap race takes to open and load for a resume, alone and at the end
// of an archive of 40 such races. Three runs each. The files go into a temporary folder, or into
// the folder given as the first argument (to measure a disk).
#include "JournalSamples.h"
#include "RaceJournal.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRuns = 3;
constexpr int kPacedPresses = 400;
constexpr int kPacedMinMs = 20;
constexpr int kPacedMaxMs = 60;
constexpr int kBurstPresses = 3000;
constexpr int kCars = 12;
constexpr int kLaps = 999;
constexpr int kArchiveRaces = 40;

struct Figures
{
    std::vector<qint64> values;
    double at(double share)
    {
        std::sort(values.begin(), values.end());
        return double(values[std::min(values.size() - 1, size_t(share * double(values.size())))]);
    }
    double max() { return double(*std::max_element(values.begin(), values.end())); }
};

void waitMs(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

// Appends presses, paced by pauseMs (0: as fast as the loop goes), and measures the call and
// the time until the journal reports each press stored.
void pressRun(const QString &path, int presses, int minPauseMs, int maxPauseMs, const char *label)
{
    TRaceJournal journal;
    if (!journal.open(path)) {
        std::printf("  %s\n", qPrintable(journal.errorString()));
        return;
    }
    QElapsedTimer clock;
    clock.start();
    std::vector<qint64> handedAt(size_t(presses) + 2, 0);
    Figures durable;
    QObject::connect(&journal, &TRaceJournal::eventStored, [&](qint64, int seq) {
        if (seq >= 2)
            durable.values.push_back(clock.nsecsElapsed() - handedAt[size_t(seq)]);
    });
    const qint64 raceId =
        journal.startRace(JournalSamples::startEvent(QStringLiteral("Messung"), kCars));

    Figures call;
    const qint64 began = clock.nsecsElapsed();
    for (int n = 0; n < presses; ++n) {
        const TRaceEvent event = JournalSamples::press(n);
        const qint64 before = clock.nsecsElapsed();
        const int seq = journal.append(raceId, event);
        const qint64 after = clock.nsecsElapsed();
        handedAt[size_t(seq)] = before;
        call.values.push_back(after - before);
        if (maxPauseMs > 0)
            waitMs(int(QRandomGenerator::global()->bounded(minPauseMs, maxPauseMs + 1)));
        else if (n % 50 == 0)
            QCoreApplication::processEvents();
    }
    while (int(durable.values.size()) < presses)
        waitMs(5);
    const double seconds = double(clock.nsecsElapsed() - began) / 1e9;
    std::printf("  %s: %d presses in %.1f s, %.0f presses stored per second\n", label, presses,
                seconds, presses / seconds);
    std::printf("    append() call: median %.1f us, 99th percentile %.1f us, max %.1f us "
                "(goal: microseconds)\n",
                call.at(0.5) / 1e3, call.at(0.99) / 1e3, call.max() / 1e3);
    std::printf("    press to durable: median %.2f ms, 99th percentile %.2f ms, max %.2f ms %s\n",
                durable.at(0.5) / 1e6, durable.at(0.99) / 1e6, durable.max() / 1e6,
                maxPauseMs > 0 ? "(goal: 99th percentile under 50 ms)"
                               : "(a queue builds up: shows the disk's pace, no goal)");
}

// Writes finished 12-car, 999-lap races straight into the file, in one transaction; returns
// the id of the last.
qint64 writeLongRaces(const QString &path, int races)
{
    qint64 raceId = 0;
    {
        TRaceJournal journal;
        journal.open(path);
        for (int race = 0; race < races; ++race)
            raceId =
                journal.startRace(JournalSamples::startEvent(QStringLiteral("Lang"), kCars, kLaps));
        journal.close();
    }
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery query(db);
        query.exec(QStringLiteral("BEGIN"));
        query.prepare(QStringLiteral("INSERT INTO events (race_id, seq, kind, tick, wall_ms, car, "
                                     "payload) VALUES (?, ?, 'press', ?, ?, ?, NULL)"));
        for (qint64 id = raceId - races + 1; id <= raceId; ++id) {
            for (int n = 0; n < kCars * kLaps; ++n) {
                const TRaceEvent press = JournalSamples::press(n, kCars);
                query.addBindValue(id);
                query.addBindValue(n + 2);
                query.addBindValue(qint64(press.tick));
                query.addBindValue(press.wallMs);
                query.addBindValue(press.car);
                query.exec();
            }
        }
        query.exec(QStringLiteral("COMMIT"));
        query = QSqlQuery();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
    return raceId;
}

// Opens the file and loads the last race, as a resume does.
void resumeRun(const QString &path, qint64 raceId, const char *label)
{
    QElapsedTimer timer;
    timer.start();
    TRaceJournal journal;
    if (!journal.open(path)) {
        std::printf("  %s\n", qPrintable(journal.errorString()));
        return;
    }
    const qint64 openNs = timer.nsecsElapsed();
    const QList<TRaceEvent> events = journal.events(raceId);
    const qint64 loadNs = timer.nsecsElapsed() - openNs;
    std::printf("  %s: open %.1f ms, load the last race (%lld events) %.1f ms "
                "(goal: well under 1 s)\n",
                label, double(openNs) / 1e6, qint64(events.size()), double(loadNs) / 1e6);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir temporary;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();
    std::printf("Race journal in %s\n", qPrintable(QDir::toNativeSeparators(folder)));

    for (int run = 1; run <= kRuns; ++run) {
        std::printf("Run %d\n", run);
        const QString path = QDir(folder).filePath(QStringLiteral("bench-%1.sqlite").arg(run));
        pressRun(path, kPacedPresses, kPacedMinMs, kPacedMaxMs, "paced, a press every 20 to 60 ms");
        pressRun(path, kBurstPresses, 0, 0, "as fast as possible");

        const QString longPath =
            QDir(folder).filePath(QStringLiteral("bench-long-%1.sqlite").arg(run));
        resumeRun(longPath, writeLongRaces(longPath, 1), "one race of 12 cars x 999 laps");
        const QString archivePath =
            QDir(folder).filePath(QStringLiteral("bench-archive-%1.sqlite").arg(run));
        const qint64 lastId = writeLongRaces(archivePath, kArchiveRaces);
        resumeRun(archivePath, lastId, "40 such races, closed cleanly");
        // What a crashed program leaves: its lock, so the next open checks every page.
        QFile lock(archivePath + QStringLiteral(".lock"));
        if (lock.open(QIODevice::WriteOnly)) {
            lock.write("4321\nTalvenbahn\nnirgendwo\n");
            lock.flush();
            lock.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                             QFileDevice::FileModificationTime);
            lock.close();
        }
        resumeRun(archivePath, lastId, "40 such races, after a crash");
        for (const QString &p : {path, longPath, archivePath})
            QFile::remove(p);
    }
    return 0;
}

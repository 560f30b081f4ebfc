// The club server's catch-up, against a PostgreSQL server of the benchmark's own: one station
// sending a whole 12-car race of 999 laps (12,000 events) that the server has never seen, and
// ten stations sending such a race each at the same time. Three runs each.
#include "ClubServerFixture.h"
#include "JournalSamples.h"
#include "RaceJournal.h"
#include "Replicator.h"
#include "ServerSchema.h"
#include "SqlConnection.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <vector>

namespace {
constexpr int kCars = 12;
constexpr int kLaps = 999;
constexpr int kEvents = 12000; // START, 11,988 presses, END, and the stop before it
constexpr int kStations = 10;

// Station i (from 1) logs in as "bahn_<i>".
QString loginOf(int station)
{
    return QStringLiteral("bahn_%1").arg(station);
}

// A laptop's journal holding one finished race of kEvents events: a copy of one written once
// through the journal (which syncs each event, so writing it for every laptop would take
// minutes), made a station of its own.
struct Station
{
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("journal.sqlite")); }

    static bool writeTemplate(const QString &path)
    {
        TRaceJournal journal;
        if (!journal.open(path))
            return false;
        const qint64 race = journal.startRace(
            JournalSamples::startEvent(QStringLiteral("Langstrecke"), kCars, kLaps));
        for (int n = 0; n < kEvents - 3; ++n)
            journal.append(race, JournalSamples::press(n, kCars));
        journal.append(race, JournalSamples::plain(TRaceEvent::Kind::Stop));
        journal.append(race, JournalSamples::plain(TRaceEvent::Kind::End));
        return journal.close(120000);
    }

    bool copyFrom(const QString &templatePath)
    {
        if (!QFile::copy(templatePath, path()))
            return false;
        TSqlConnection file(path(), 1000);
        return file.exec(QStringLiteral("UPDATE journal_meta SET value = "
                                        "lower(hex(randomblob(16))) WHERE key = 'station'"),
                         nullptr);
    }
};

bool setUp(ClubServerFixture &club)
{
    QStringList stations;
    for (int station = 1; station <= kStations; ++station)
        stations << loginOf(station);
    QString error;
    if (club.start(&error, ServerSchema::kVersion, stations))
        return true;
    std::fprintf(stderr, "set-up: %s\n", qPrintable(error));
    return false;
}

// Milliseconds from the replicators' start until each has sent its whole race.
std::vector<double> catchUp(const ClubServerFixture &club, const QString &templatePath,
                            int stations)
{
    std::vector<std::unique_ptr<Station>> laptops;
    for (int i = 0; i < stations; ++i) {
        laptops.push_back(std::make_unique<Station>());
        if (!laptops.back()->copyFrom(templatePath))
            return {};
    }
    std::vector<std::unique_ptr<TReplicator>> senders;
    for (int i = 0; i < stations; ++i)
        senders.push_back(
            std::make_unique<TReplicator>(laptops[size_t(i)]->path(), club.config(loginOf(i + 1)),
                                          ClubServerFixture::passwordOf(loginOf(i + 1))));
    QElapsedTimer clock;
    clock.start();
    for (auto &sender : senders)
        sender->start();
    std::vector<double> done;
    for (auto &sender : senders) {
        if (!sender->waitUntilCaughtUp(120000)) {
            std::fprintf(stderr, "not caught up: %s\n", qPrintable(sender->state().text()));
            return {};
        }
        done.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    return done;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ClubServerFixture club;
    QTemporaryDir folder;
    const QString templatePath = folder.filePath(QStringLiteral("journal.sqlite"));
    if (!setUp(club) || !Station::writeTemplate(templatePath))
        return 1;
    std::printf("club server catch-up, PostgreSQL on 127.0.0.1, %d events per race "
                "(12 cars, 999 laps)\n",
                kEvents);
    for (int run = 1; run <= 3; ++run) {
        const std::vector<double> one = catchUp(club, templatePath, 1);
        if (one.empty())
            return 1;
        std::printf("run %d: one station: %.0f ms (goal < 2000 ms), %.0f events/s\n", run,
                    one.front(), kEvents / one.front() * 1000);
    }
    for (int run = 1; run <= 3; ++run) {
        const std::vector<double> ten = catchUp(club, templatePath, kStations);
        if (ten.empty())
            return 1;
        const double last = *std::max_element(ten.begin(), ten.end());
        const double first = *std::min_element(ten.begin(), ten.end());
        std::printf("run %d: ten stations at once: all sent after %.0f ms (first %.0f ms), "
                    "%.0f events/s in all\n",
                    run, last, first, kStations * kEvents / last * 1000);
    }
    return 0;
}

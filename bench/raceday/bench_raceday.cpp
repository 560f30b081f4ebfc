// Prints how long a season takes to work out from the journal: 20 race days of 60 drivers in
// one class, each day 5 qualifying heats and 5 finals of 12 cars x 12 laps, every race written
// to a journal file through TRaceJournal first. Timed, three runs: opening the journal, reading
// every heat's events back, computing every day (ComputeRaceDay) and the season table. The
// days' plans stay in memory. The file goes into a temporary folder, or into the folder given
// as the first argument; a journal already there from an earlier run is reused (the season is
// made again in memory, the same each time, and checked against it) to save the writing.
#include "RaceDayOutcome.h"
#include "RaceJournal.h"
#include "RaceSetup.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int kRuns = 3;
constexpr int kDays = 20;
constexpr int kDrivers = 60;
constexpr int kHeatSize = 12;
constexpr int kLaps = 12;
constexpr int kBestOf = 15;
constexpr quint32 kStartTick = 100000;
constexpr qint64 kFirstDayWallMs = 1'780'000'000'000;
constexpr qint64 kMsPerDay = 24 * 3600 * 1000;
constexpr int kFlushWaitMs = 600000;

// One heat's race: START linked to the heat, then every press in time order. Each driver laps
// at a pace of their own, give or take a little each lap.
QList<TRaceEvent> heatRace(const TRaceDay &day, const THeat &heat, qint64 wallMs,
                           QRandomGenerator &random)
{
    TRaceSetup setup;
    setup.title = day.name;
    setup.session = QStringLiteral("Rennen");
    setup.cars = int(heat.entrantIds.size());
    setup.laps = kLaps;
    setup.lapLengthKm = 0.35;
    setup.raceSeconds = 900;
    setup.warnTime = QStringLiteral("01:00");
    for (int id : heat.entrantIds) {
        const TEntrant *e = day.entrant(id);
        setup.starters.append({e->number, e->driver});
    }
    QList<TRaceEvent> events = {setup.StartEvent(kStartTick, wallMs)};
    LinkStartToHeat(events[0], day.id, heat.id);
    QList<std::pair<quint32, int>> presses;
    for (int car = 1; car <= setup.cars; ++car) {
        const int pace = 18000 + 40 * heat.entrantIds.at(car - 1);
        quint32 ms = 0;
        for (int lap = 1; lap <= kLaps; ++lap) {
            ms += quint32(pace + int(random.bounded(600)) - 300);
            presses.append({ms, car});
        }
    }
    std::sort(presses.begin(), presses.end());
    for (const auto &[ms, car] : presses)
        events.append(PressEvent(car, kStartTick + ms, kStartTick, wallMs + ms));
    return events;
}

// Stores a heat's race and returns its race id.
using TStoreRace = std::function<qint64(const QList<TRaceEvent> &)>;

// Writes a heat's race to the journal, and keeps its events for seeding the finals.
void runHeat(const TStoreRace &store, QHash<qint64, QList<TRaceEvent>> &written,
             const TRaceDay &day, THeat &heat, qint64 wallMs, QRandomGenerator &random)
{
    const QList<TRaceEvent> events = heatRace(day, heat, wallMs, random);
    heat.raceId = store(events);
    written.insert(heat.raceId, events);
}

// The season's days: qualifying heats split in list order, finals seeded from them, each timed.
QList<TRaceDay> makeSeason(const TStoreRace &store)
{
    QRandomGenerator random(2026);
    QList<TRaceDay> days;
    for (int d = 0; d < kDays; ++d) {
        QHash<qint64, QList<TRaceEvent>> written;
        TRaceDay day;
        day.id = d + 1;
        day.name = QStringLiteral("Lauf %1").arg(d + 1);
        day.date = QDate(2026, 3, 1).addDays(7 * d);
        day.seasonId = 1;
        QList<int> ids;
        for (int id = 1; id <= kDrivers; ++id) {
            day.entrants.append(
                {id, QString::number(id), QStringLiteral("Fahrer %1").arg(id), QString(), false});
            ids.append(id);
        }
        // Each day the list starts elsewhere, so the heats and results differ.
        std::rotate(ids.begin(), ids.begin() + (d * 7) % kDrivers, ids.end());
        TRound qualifying{1, QString(), TRoundKind::Qualifying, 1, {}};
        int heatId = 0;
        for (const QList<int> &drivers : SplitIntoHeats(ids, kHeatSize, THeatOrder::ListOrder))
            qualifying.heats.append({++heatId, drivers, 0});
        day.rounds.append(qualifying);
        const qint64 wallMs = kFirstDayWallMs + d * kMsPerDay;
        for (THeat &heat : day.rounds[0].heats)
            runHeat(store, written, day, heat, wallMs, random);

        const auto fromMemory = [&written](qint64 id) { return written.value(id); };
        const QList<QList<int>> seeded =
            ComputeRaceDay(day, fromMemory, 1).classes.first().finalsSeeded;
        TRound finals{2, QString(), TRoundKind::Final, 1, {}};
        for (const QList<int> &drivers : seeded)
            finals.heats.append({++heatId, drivers, 0});
        day.rounds.append(finals);
        for (THeat &heat : day.rounds[1].heats)
            runHeat(store, written, day, heat, wallMs, random);
        days.append(day);
    }
    return days;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir temporary;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();
    const QString path = QDir(folder).filePath(QStringLiteral("bench-season.sqlite"));
    std::printf("Season of %d race days, %d drivers, journal %s\n", kDays, kDrivers,
                qPrintable(QDir::toNativeSeparators(path)));

    QList<TRaceDay> days;
    if (QFileInfo::exists(path)) {
        TRaceJournal journal;
        if (!journal.open(path)) {
            std::printf("  %s\n", qPrintable(journal.errorString()));
            return 1;
        }
        const QList<TRaceSummary> stored = journal.races();
        qsizetype next = 0;
        bool same = true;
        days = makeSeason([&](const QList<TRaceEvent> &events) -> qint64 {
            if (next >= stored.size()) {
                same = false;
                return 0;
            }
            const qint64 id = stored.at(next++).id;
            const QList<TRaceEvent> read = journal.events(id);
            same = same && read.size() == events.size() &&
                   std::equal(read.begin(), read.end(), events.begin(),
                              [](const TRaceEvent &a, const TRaceEvent &b) {
                                  return a.kind == b.kind && a.tick == b.tick && a.car == b.car;
                              });
            return id;
        });
        if (!same || next != stored.size()) {
            std::printf("  the journal there holds another season; remove it first\n");
            return 1;
        }
        std::printf("  reused: %lld races (not timed)\n", qint64(next));
    } else {
        QElapsedTimer writing;
        writing.start();
        TRaceJournal journal;
        if (!journal.open(path)) {
            std::printf("  %s\n", qPrintable(journal.errorString()));
            return 1;
        }
        days = makeSeason([&journal](const QList<TRaceEvent> &events) {
            const qint64 raceId = journal.startRace(events.first());
            for (qsizetype i = 1; i < events.size(); ++i)
                journal.append(raceId, events.at(i));
            journal.setOutcome(raceId, TRaceSummary::State::Finished);
            return raceId;
        });
        if (!journal.flush(kFlushWaitMs) || !journal.close()) {
            std::printf("  the journal could not be written: %s\n",
                        qPrintable(journal.errorString()));
            return 1;
        }
        std::printf("  written: %lld races in %.1f s (not timed)\n",
                    qint64(days.size() * days.first().rounds.size() * 5),
                    double(writing.elapsed()) / 1e3);
    }

    for (int run = 1; run <= kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        TRaceJournal journal;
        if (!journal.open(path)) {
            std::printf("  %s\n", qPrintable(journal.errorString()));
            return 1;
        }
        const qint64 openNs = timer.nsecsElapsed();
        qint64 readNs = 0;
        qint64 events = 0;
        const TRaceEventsOf fromJournal = [&](qint64 raceId) {
            const qint64 before = timer.nsecsElapsed();
            QList<TRaceEvent> race = journal.events(raceId);
            readNs += timer.nsecsElapsed() - before;
            events += race.size();
            return race;
        };
        QList<std::pair<TRaceDay, TRaceDayOutcome>> outcomes;
        for (const TRaceDay &day : days)
            outcomes.append({day, ComputeRaceDay(day, fromJournal, 1)});
        const QList<TSeasonLine> table = SeasonTable(SeasonDays(outcomes, QString()), kBestOf);
        const qint64 totalNs = timer.nsecsElapsed();
        std::printf("  run %d: %.1f ms in all (goal: within 200 ms): open %.1f ms, read %lld "
                    "events %.1f ms, compute %.1f ms; leader %s with %d points\n",
                    run, double(totalNs) / 1e6, double(openNs) / 1e6, events, double(readNs) / 1e6,
                    double(totalNs - openNs - readNs) / 1e6, qPrintable(table.value(0).who.driver),
                    table.value(0).total);
    }
    return 0;
}

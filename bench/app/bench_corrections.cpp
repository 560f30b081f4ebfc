// Prints the time of one correction on a 12-car race of 999 laps: the effective crossings
// recomputed (live, and replayed from every event as a resume does) and the race tables and
// standings rebuilt from them (StartRaceAt and one ApplyPress per counted crossing).
#include "CorrectionEvents.h"
#include "PassReplay.h"
#include "RaceCorrections.h"
#include "RaceSetup.h"
#include "RaceTiming.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kCars = 12;
constexpr quint32 kStart = 1000;
constexpr int kRuns = 3;

class TFixedClock final : public TTickCounter
{
public:
    quint32 GetTickCount() const override { return kStart; }
};

// Every car laps in about a minute, in a shifting order, so the ranking changes on every lap.
QList<TRaceEvent> fullRace()
{
    QList<TRaceEvent> events;
    TRaceSetup setup;
    setup.cars = kCars;
    setup.laps = kMaxLaps;
    events.append(setup.StartEvent(kStart, 0));
    for (int lap = 1; lap <= kMaxLaps; ++lap) {
        for (int i = 0; i < kCars; ++i) {
            const int car = 1 + (i * 5 + lap) % kCars;
            const quint32 ms = quint32(lap) * 60000 + quint32(i) * 4000 + quint32(car * 7);
            events.append(PressEvent(car, kStart + ms, kStart, 0));
        }
    }
    for (int i = 0; i < events.size(); ++i)
        events[i].seq = i + 1;
    return events;
}

double msOf(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TFixedClock clock;
    TStandingsTable grid;
    TRaceTiming timing(&grid, clock);
    for (int row = 1; row <= kMaxCars; ++row)
        grid.SetCell(TRaceTiming::colKey, row, QStringLiteral("F%1").arg(row));
    grid.SetRowCount(kCars + 1);
    const QList<TRaceEvent> events = fullRace();

    std::printf("One correction on %d cars x %d laps (%lld presses), goal: under 20 ms\n", kCars,
                kMaxLaps, static_cast<long long>(events.size() - 1));
    for (int run = 1; run <= kRuns; ++run) {
        TRaceCorrections corrections;
        corrections.Rebuild(events);
        // Each run deletes another crossing in the middle of the race.
        const TRaceEvent correction = [&] {
            TRaceEvent e = CorrectionEvents::Delete(events.size() / 2 + run, 0, 0, 0);
            e.seq = int(events.size()) + 1;
            return e;
        }();

        QElapsedTimer timer;
        timer.start();
        corrections.Append(correction);
        const double appendMs = msOf(timer);

        timer.start();
        timing.StartRaceAt(kCars, kMaxLaps, 15.0, kStart);
        ApplyPasses(timing, corrections.Counted());
        const double tablesMs = msOf(timer);

        timer.start();
        timing.StartRaceAt(kCars, kMaxLaps, 15.0, kStart);
        for (const TRaceCorrections::TPass &pass : corrections.Counted())
            timing.ApplyPress(pass.car, kStart + pass.raceMs);
        const double oneByOneMs = msOf(timer);

        QList<TRaceEvent> all = events;
        all.append(correction);
        timer.start();
        TRaceCorrections replayed;
        replayed.Rebuild(all);
        const double replayMs = msOf(timer);

        std::printf("  run %d: crossings %.2f ms + tables %.2f ms = %.2f ms; replay of every "
                    "event %.2f ms (%lld passes); tables press by press %.1f ms\n",
                    run, appendMs, tablesMs, appendMs + tablesMs, replayMs,
                    static_cast<long long>(replayed.Counted().size()), oneByOneMs);
    }

    // A plain press during the race goes through the corrections too: it must stay cheap.
    constexpr int kLiveFrom = 900;
    const qsizetype firstLive = 1 + qsizetype(kLiveFrom) * kCars;
    TRaceCorrections live(30000);
    live.Rebuild(events.mid(0, firstLive));
    std::vector<qint64> ns;
    QElapsedTimer timer;
    for (qsizetype i = firstLive; i < events.size(); ++i) {
        timer.start();
        live.Append(events[i]);
        ns.push_back(timer.nsecsElapsed());
    }
    std::sort(ns.begin(), ns.end());
    std::printf("A plain press appended live, laps %d to %d (%zu presses): median %.1f us, 99th "
                "percentile %.1f us, max %.1f us\n",
                kLiveFrom + 1, kMaxLaps, ns.size(), double(ns[ns.size() / 2]) / 1000.0,
                double(ns[ns.size() * 99 / 100]) / 1000.0, double(ns.back()) / 1000.0);
    return 0;
}

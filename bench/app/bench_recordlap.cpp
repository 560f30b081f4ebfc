// Prints the time of one lap recording (tables, ranking, grid re-sort, row refresh) with 12 cars
// deep into a long race, so a press is in the standings long before the next screen frame.
#include "RaceTiming.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kCars = 12;
constexpr int kLapsBeforeTiming = 900;
constexpr quint32 kLapMs = 60000;

// A clock the benchmark moves by hand, one car's press after another.
class TSteppedClock final : public TTickCounter
{
public:
    quint32 GetTickCount() const override { return FNow; }
    void Advance(quint32 ms) { FNow += ms; }

private:
    quint32 FNow = 0xF0000000u; // crosses the counter's wrap during the race
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TSteppedClock clock;
    TStandingsTable grid;
    TRaceTiming timing(&grid, clock);
    for (int row = 1; row <= kMaxCars; ++row)
        grid.SetCell(TRaceTiming::colKey, row, QStringLiteral("F%1").arg(row));
    grid.SetRowCount(kCars + 1);
    timing.StartRace(kCars, kMaxLaps, 15.0);

    // Cars cross in a shifting order, so the ranking and the rows change on every lap.
    auto lapOf = [&](int lap, int i) { return 1 + (i * 5 + lap) % kCars; };
    for (int lap = 1; lap <= kLapsBeforeTiming; ++lap) {
        for (int i = 0; i < kCars; ++i) {
            clock.Advance(kLapMs / kCars + quint32(i));
            timing.RecordLap(lapOf(lap, i));
        }
    }

    std::vector<qint64> ns;
    QElapsedTimer timer;
    for (int lap = kLapsBeforeTiming + 1; lap <= kMaxLaps; ++lap) {
        for (int i = 0; i < kCars; ++i) {
            clock.Advance(kLapMs / kCars + quint32(i));
            const int car = lapOf(lap, i);
            timer.start();
            timing.RecordLap(car);
            ns.push_back(timer.nsecsElapsed());
        }
    }
    std::sort(ns.begin(), ns.end());
    qint64 sum = 0;
    for (qint64 v : ns)
        sum += v;
    std::printf("RecordLap, %d cars, laps %d to %d (%zu presses):\n", kCars, kLapsBeforeTiming + 1,
                kMaxLaps, ns.size());
    std::printf("  median %.1f us, mean %.1f us, 99th percentile %.1f us, max %.1f us "
                "(goal: under 50 us)\n",
                ns[ns.size() / 2] / 1000.0, double(sum) / double(ns.size()) / 1000.0,
                ns[ns.size() * 99 / 100] / 1000.0, ns.back() / 1000.0);
    return 0;
}

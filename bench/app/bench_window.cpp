// Runs a 12-car race in the real main window and prints what the operator's machine pays for it:
// the process's CPU use (as a share of one core) while the window waits and while a lap key is
// pressed every 100 ms, and the time from a lap key event to the end of the repaint that shows
// the lap in the standings (median and 99th percentile).
#include "DlgYesNo.h"
#include "FormMain.h"
#include "TSortGrid.h"
#include "TickCounter.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kCars = 12;
constexpr int kPressIntervalMs = 100;
constexpr int kRaceMs = 20000;
constexpr int kIdleMs = 5000;

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval &t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Lets the event loop run for ms of wall time; returns the CPU share of one core meanwhile.
double runFor(int ms)
{
    const double cpuBefore = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    while (wall.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    return (cpuSeconds() - cpuBefore) / (wall.nsecsElapsed() / 1e9);
}

// Notes the moment each paint of the grid has finished.
class TPaintWatch : public QObject
{
public:
    qint64 lastPaintEndNs = -1;
    QElapsedTimer clock;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Paint)
            return false;
        watched->removeEventFilter(this);
        const bool handled = watched->event(event);
        watched->installEventFilter(this);
        lastPaintEndNs = clock.nsecsElapsed();
        return handled;
    }
};

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, size_t(p * double(values.size() - 1) + 0.5));
    return values[index];
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir settingsDir;
    TSystemTickCounter ticks;
    TFormMain window(ticks, settingsDir.filePath(QStringLiteral("Talvenbahn.ini")));
    TFDlgYesNo dialog(&window);
    window.SetDlgYesNo(&dialog);
    window.seCarCount->setValue(kCars);
    window.seKrugs->setValue(kMaxLaps);
    window.show();
    QApplication::setActiveWindow(&window);
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;

    const double readyCpu = runFor(kIdleMs);
    QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier); // START
    const double runningIdleCpu = runFor(kIdleMs);

    TPaintWatch watch;
    watch.clock.start();
    window.SortGrid1->installEventFilter(&watch);
    std::vector<double> latenciesMs;
    int presses = 0;
    int accepted = 0;
    const double cpuBefore = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    while (wall.elapsed() < kRaceMs) {
        const int car = presses % kCars + 1;
        ++presses;
        const qint32 lapsBefore = window.Race.LapTable[car].Count;
        watch.lastPaintEndNs = -1;
        const qint64 pressNs = watch.clock.nsecsElapsed();
        QTest::keyClick(&window, Qt::Key(Qt::Key_F1 + car - 1));
        const bool recorded = window.Race.LapTable[car].Count != lapsBefore;
        QDeadlineTimer nextPress(kPressIntervalMs);
        while (watch.lastPaintEndNs < 0 && !nextPress.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 1);
        if (recorded && watch.lastPaintEndNs >= 0) {
            ++accepted;
            latenciesMs.push_back(double(watch.lastPaintEndNs - pressNs) / 1e6);
        }
        while (!nextPress.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents,
                                            int(qMax<qint64>(1, nextPress.remainingTime())));
    }
    const double raceCpu = (cpuSeconds() - cpuBefore) / (wall.nsecsElapsed() / 1e9);
    window.TimerALL->stop();

    std::printf("window, %d cars, a lap key every %d ms for %d s\n", kCars, kPressIntervalMs,
                kRaceMs / 1000);
    std::printf("  CPU, ready, no presses:    %5.1f %% of one core\n", readyCpu * 100);
    std::printf("  CPU, running, no presses:  %5.1f %% of one core (goal < 3 %%)\n",
                runningIdleCpu * 100);
    std::printf("  CPU, running, presses:     %5.1f %% of one core\n", raceCpu * 100);
    std::printf("  presses %d, recorded and repainted %d (the rest fell in the key lock)\n",
                presses, accepted);
    std::printf("  key event to end of repaint: median %.3f ms, p99 %.3f ms (goal p99 < 1 ms)\n",
                percentile(latenciesMs, 0.5), percentile(latenciesMs, 0.99));
    return 0;
}

// A 12-car race pressed on the spectator board at full HD: every press is a new snapshot with
// the order, laps, times and clock changed, as the window sends it. Prints, per run, what
// Show() costs the pressing thread and what the repaint of the changed cells costs afterwards.
//
//   bench_board [presses per run] [runs]
//
// Runs headless unless QT_QPA_PLATFORM says otherwise.

#include "SpectatorBoard.h"

#include <QApplication>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

constexpr int kCars = 12;

qint64 nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

QString lapText(int ms)
{
    return QStringLiteral("%1:%2.%3")
        .arg(ms / 60000)
        .arg(ms / 1000 % 60, 2, 10, QLatin1Char('0'))
        .arg(ms % 1000 / 100);
}

// The snapshot after press number `press`: the pressed car moves up one place.
TLiveStandings snapshot(int press, QList<int> &order)
{
    const int index = press % kCars;
    const int car = order[index];
    if (index > 0)
        order.swapItemsAt(index, index - 1);
    TLiveStandings s;
    s.title = QStringLiteral("Winterpokal Lauf 3");
    s.clock = lapText(press * 700);
    s.state = TLiveState::lsRunning;
    s.lapsToGo = std::max(0, 50 - press / kCars);
    s.lastCar = car;
    s.version = press + 1;
    for (int i = 0; i < kCars; ++i) {
        TLiveRow r;
        r.position = i + 1;
        r.car = order[i];
        r.startNumber = QString::number(100 + order[i]);
        r.driver = QStringLiteral("Fahrerin Nummer %1 mit langem Namen").arg(order[i]);
        r.laps = press / kCars + (i < index ? 1 : 0);
        r.lastLap = lapText(80000 + (press * 37 + order[i] * 101) % 5000);
        r.bestLap = lapText(79000 + order[i] * 53);
        r.gap = i == 0 ? QString() : lapText(i * 1234 + press % 7);
        s.rows << r;
    }
    return s;
}

struct Figures
{
    double p50, p99, max;
};

Figures figures(std::vector<qint64> ns)
{
    std::sort(ns.begin(), ns.end());
    auto at = [&ns](double q) {
        return ns[std::min(ns.size() - 1, size_t(q * ns.size()))] / 1000.0;
    };
    return {at(0.5), at(0.99), ns.back() / 1000.0};
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int presses = argc > 1 ? std::max(10, atoi(argv[1])) : 2000;
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 3;

    TSpectatorBoard board;
    board.resize(1920, 1080);
    board.show();
    if (!QTest::qWaitForWindowExposed(&board)) {
        std::fprintf(stderr, "Die Anzeigetafel wurde nicht gezeigt.\n");
        return 1;
    }
    QList<int> order;
    for (int car = 1; car <= kCars; ++car)
        order << car;
    board.Show(snapshot(0, order));
    QApplication::processEvents();

    std::printf("bench_board: %d cars, 1920x1080, %d presses per run\n", kCars, presses);
    int press = 1;
    for (int run = 1; run <= runs; ++run) {
        std::vector<qint64> show, paint;
        show.reserve(presses);
        paint.reserve(presses);
        const int layoutsBefore = board.layoutCount();
        for (int i = 0; i < presses; ++i, ++press) {
            const TLiveStandings s = snapshot(press, order);
            const qint64 t0 = nowNs();
            board.Show(s);
            const qint64 t1 = nowNs();
            // The repaint of the cells that changed, as the event loop runs it after the press.
            QApplication::sendPostedEvents(&board, QEvent::UpdateRequest);
            const qint64 t2 = nowNs();
            QApplication::processEvents();
            show.push_back(t1 - t0);
            paint.push_back(t2 - t1);
        }
        const Figures f = figures(show);
        const Figures p = figures(paint);
        std::printf("run %d: Show() p50 %.1f us  p99 %.1f us  max %.1f us | "
                    "repaint p50 %.1f us  p99 %.1f us  max %.1f us | relayouts %d\n",
                    run, f.p50, f.p99, f.max, p.p50, p.p99, p.max,
                    board.layoutCount() - layoutsBefore);
    }
    return 0;
}

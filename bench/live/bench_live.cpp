// 200 clients on the loopback hold the live event stream while a 12-car race is pressed every
// 100 ms on the main thread (standing in for the window's thread). Prints, per run, what
// publish() costs the pressing thread and how long each press takes to reach every client.
//
//   bench_live [clients] [presses per run] [runs]

#include "LiveCrowd.h"
#include "LiveServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QMutex>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int kCars = 12;
constexpr int kPressIntervalMs = 100;

TLiveStandings standingsAfter(qint64 press)
{
    TLiveStandings s;
    s.title = QStringLiteral("Wintercup Lauf 3");
    s.session = QStringLiteral("Rennen");
    s.state = TLiveState::lsRunning;
    s.clock = QStringLiteral("%1:%2")
                  .arg(59 - press / 600)
                  .arg(59 - (press / 10) % 60, 2, 10, QLatin1Char('0'));
    s.version = press;
    s.lastCar = int(press % kCars) + 1;
    s.leaderLaps = int(press / kCars) + 1;
    s.lapsToGo = 200 - s.leaderLaps;
    for (int car = 1; car <= kCars; ++car) {
        TLiveRow row;
        row.position = car;
        row.car = car;
        row.startNumber = QString::number(car * 7);
        row.driver = QStringLiteral("Fahrerin Nummer %1").arg(car);
        row.laps = s.leaderLaps - (car > s.lastCar ? 1 : 0);
        row.lastLap = QStringLiteral("1:%1.%2").arg(20 + car).arg(press % 10);
        row.bestLap = QStringLiteral("1:%1.0").arg(19 + car);
        row.gap = QStringLiteral("0:%1.%2").arg(car * 2, 2, 10, QLatin1Char('0')).arg(car % 10);
        s.rows.append(row);
    }
    return s;
}

qint64 percentile(std::vector<qint64> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, size_t(p * double(values.size() - 1) + 0.5));
    return values[index];
}

void waitFor(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int clients = args.size() > 1 ? args[1].toInt() : 200;
    const int presses = args.size() > 2 ? args[2].toInt() : 150;
    const int runs = args.size() > 3 ? args[3].toInt() : 3;

    TLiveServer server;
    if (!server.start(0, QHostAddress::LocalHost)) {
        std::fprintf(stderr, "%s\n", qPrintable(server.errorString()));
        return 1;
    }
    PublishLog log(runs * presses + 2);

    QThread crowdThread;
    Crowd crowd(server.port(), clients, &log);
    crowd.moveToThread(&crowdThread);
    crowdThread.start();
    QMetaObject::invokeMethod(&crowd, [&crowd] { crowd.connectAll(); });
    waitFor([&] { return crowd.ready() >= clients; }, 20000);
    std::printf("bench_live: %d of %d clients hold the event stream; %d cars, a press every "
                "%d ms, %d presses per run\n",
                crowd.ready(), clients, kCars, kPressIntervalMs, presses);

    qint64 version = 0;
    for (int run = 1; run <= runs; ++run) {
        crowd.takeDelays();
        std::vector<qint64> publishNs;
        QTimer pace;
        pace.setTimerType(Qt::PreciseTimer);
        pace.setInterval(kPressIntervalMs);
        int pressed = 0;
        QObject::connect(&pace, &QTimer::timeout, [&] {
            ++version;
            // Built before the clock starts: the window has its standings at hand already.
            const TLiveStandings standings = standingsAfter(version);
            const qint64 start = nowNs();
            log.at[size_t(version)].store(start);
            server.publish(standings);
            publishNs.push_back(nowNs() - start);
            if (++pressed == presses)
                pace.stop();
        });
        pace.start();
        waitFor([&] { return pressed == presses; }, presses * kPressIntervalMs * 3);
        // Let the last presses reach everybody.
        waitFor([] { return false; }, 1000);
        const std::vector<qint64> delays = crowd.takeDelays();
        const qint64 expected = qint64(presses) * crowd.ready();
        const qint64 late =
            std::count_if(delays.begin(), delays.end(), [](qint64 d) { return d >= 1000000000LL; });
        std::printf("run %d: publish() on the pressing thread p50 %.1f us, p99 %.1f us, max %.1f "
                    "us | press to client p50 %.2f ms, p99 %.2f ms, max %.2f ms | %lld of %lld "
                    "deliveries, %lld at 1 s or later, %d clients dropped\n",
                    run, percentile(publishNs, 0.5) / 1e3, percentile(publishNs, 0.99) / 1e3,
                    percentile(publishNs, 1.0) / 1e3, percentile(delays, 0.5) / 1e6,
                    percentile(delays, 0.99) / 1e6, percentile(delays, 1.0) / 1e6,
                    qlonglong(delays.size()), qlonglong(expected), qlonglong(late),
                    crowd.dropped());
    }
    QMetaObject::invokeMethod(
        &crowd, [&crowd] { qDeleteAll(crowd.children()); }, Qt::BlockingQueuedConnection);
    crowdThread.quit();
    crowdThread.wait();
    return 0;
}

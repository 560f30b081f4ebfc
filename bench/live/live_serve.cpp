// Serves the live page with a 12-car race that moves on every second, for trying the server from
// outside (a browser, curl, bench/live/slow_clients.py) without the window.
//
//   live_serve [port] [address]      (8090 and every address by default; stop with Ctrl+C)

#include "LiveServer.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int kCars = 12;
constexpr int kPressEveryMs = 1000;

TLiveStandings standingsAfter(qint64 press)
{
    TLiveStandings s;
    s.title = QStringLiteral("Probelauf");
    s.session = QStringLiteral("Rennen");
    s.state = TLiveState::lsRunning;
    s.version = press;
    s.lastCar = int(press % kCars) + 1;
    s.leaderLaps = int(press / kCars) + 1;
    for (int car = 1; car <= kCars; ++car) {
        TLiveRow row;
        row.position = car;
        row.car = car;
        row.startNumber = QString::number(car * 7);
        row.driver = QStringLiteral("Fahrerin Nummer %1").arg(car);
        row.laps = s.leaderLaps - (car > s.lastCar ? 1 : 0);
        s.rows.append(row);
    }
    return s;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const quint16 port = args.size() > 1 ? quint16(args[1].toUInt()) : 8090;
    const QHostAddress address(args.size() > 2 ? args[2] : QStringLiteral("0.0.0.0"));

    TLiveServer server;
    server.publish(standingsAfter(0));
    if (!server.start(port, address)) {
        std::fprintf(stderr, "%s\n", qPrintable(server.errorString()));
        return 1;
    }
    std::printf("live_serve: http://%s:%u/\n", qPrintable(address.toString()), server.port());
    std::fflush(stdout);
    qint64 press = 0;
    QTimer pace;
    QObject::connect(&pace, &QTimer::timeout, [&] { server.publish(standingsAfter(++press)); });
    pace.start(kPressEveryMs);
    return app.exec();
}

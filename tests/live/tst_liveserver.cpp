#include "ConnectionGuard.h"
#include "HttpProbe.h"
#include "LiveHttpServer.h"
#include "LiveServer.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

const QString kHostile = QStringLiteral("<script>alert(1)</script>&\"'");

TLiveStandings sampleStandings(qint64 version, const QString &driver = QStringLiteral("Anna"))
{
    TLiveStandings s;
    s.title = QStringLiteral("Wintercup");
    s.session = QStringLiteral("Rennen");
    s.state = TLiveState::lsRunning;
    s.clock = QStringLiteral("9:58");
    s.version = version;
    s.lastCar = 2;
    TLiveRow row;
    row.position = 1;
    row.car = 2;
    row.startNumber = QStringLiteral("17");
    row.driver = driver;
    row.laps = 3;
    s.rows = {row};
    return s;
}

// Reads an event stream until an event with the given id has arrived; the time it took, or -1.
qint64 waitForEvent(QTcpSocket &socket, QByteArray &seen, qint64 version, int timeoutMs)
{
    const QByteArray wanted = "id: " + QByteArray::number(version) + '\n';
    QElapsedTimer clock;
    clock.start();
    while (!seen.contains(wanted)) {
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0 || !socket.waitForReadyRead(int(left)))
            return -1;
        seen += socket.readAll();
    }
    return clock.elapsed();
}

QHostAddress loopback(int last)
{
    return QHostAddress(QStringLiteral("127.0.0.%1").arg(last));
}

// Opens an event stream from the given address and waits for its first event; the socket, or
// what the server answered instead in *refusal.
std::unique_ptr<QTcpSocket> openStreamFrom(quint16 port, const QHostAddress &from,
                                           QByteArray *refusal = nullptr)
{
    auto socket = std::make_unique<QTcpSocket>();
    ConnectFrom(*socket, from, port);
    socket->write("GET /api/events HTTP/1.1\r\nHost: x\r\n\r\n");
    QByteArray seen;
    if (waitForEvent(*socket, seen, 0, 3000) >= 0)
        return socket;
    if (refusal)
        *refusal = seen;
    return nullptr;
}

} // namespace

class TestLiveServer : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void pageIsSelfContainedGermanHtml();
    void headSendsTheHeadersWithoutTheBody();
    void standingsAsJson();
    void publishedBeforeStartIsServedAfterStart();
    void hostileDriverNameStaysInert();
    void writingMethodsAreRefused_data();
    void writingMethodsAreRefused();
    void unknownAndTraversalPathsAreNotFound_data();
    void unknownAndTraversalPathsAreNotFound();
    void oversizedRequestsAreRefused_data();
    void oversizedRequestsAreRefused();
    void keepAliveServesManySmallRequests();
    void requestHeadsAreCheckedBeforeTheyAreServed_data();
    void requestHeadsAreCheckedBeforeTheyAreServed();
    void http10ClosesUnlessAskedToKeepTheConnection_data();
    void http10ClosesUnlessAskedToKeepTheConnection();
    void streamClientsAreBounded();
    void streamsAreBoundedPerAddress();
    void slowConnectionsFromOneAddressLeaveRoomForOthers();
    void aConnectionThatSendsNothingIsClosed();
    void publishReachesAWaitingClientWithinOneSecond();
    void aBurstOfPressesEndsWithTheNewest();
    void takenPortIsReportedInGerman();
    void stopClosesThePortAndStartOpensItAgain();

private:
    TLiveServer *m_server = nullptr;
    quint16 m_port = 0;
};

void TestLiveServer::init()
{
    m_server = new TLiveServer;
    QVERIFY2(m_server->start(0, QHostAddress::LocalHost), qPrintable(m_server->errorString()));
    m_port = m_server->port();
    QVERIFY(m_port != 0);
}

void TestLiveServer::cleanup()
{
    delete m_server;
    m_server = nullptr;
}

void TestLiveServer::pageIsSelfContainedGermanHtml()
{
    const TProbeResponse r = HttpExchange(m_port, SimpleRequest("GET", "/"));
    QVERIFY(r.complete);
    QCOMPARE(r.status, 200);
    QVERIFY(r.header("Content-Type").startsWith("text/html"));
    QVERIFY(r.body.contains("<html lang=\"de\">"));
    QVERIFY(r.body.contains("Fahrer"));
    // Nothing is loaded from elsewhere, and the policy forbids it in any case.
    QVERIFY(!r.body.contains("http://"));
    QVERIFY(!r.body.contains("https://"));
    QVERIFY(!r.body.contains(" src="));
    QVERIFY(r.header("Content-Security-Policy").contains("default-src 'none'"));
    // Nothing about the software or the machine.
    QVERIFY(!r.hasHeader("Server"));
    QVERIFY(!r.hasHeader("X-Powered-By"));
}

void TestLiveServer::headSendsTheHeadersWithoutTheBody()
{
    const TProbeResponse get = HttpExchange(m_port, SimpleRequest("GET", "/"));
    const TProbeResponse head = HttpExchange(m_port, SimpleRequest("HEAD", "/"), true);
    QVERIFY(head.complete);
    QCOMPARE(head.status, 200);
    QCOMPARE(head.header("Content-Length").toInt(), get.body.size());
    QVERIFY(head.body.isEmpty());
}

void TestLiveServer::standingsAsJson()
{
    m_server->publish(sampleStandings(5));
    TProbeResponse r;
    // The snapshot reaches the server's thread a moment after publish() returned.
    QTRY_VERIFY((r = HttpExchange(m_port, SimpleRequest("GET", "/api/standings")))
                    .body.contains("\"version\":5"));
    QCOMPARE(r.status, 200);
    QVERIFY(r.header("Content-Type").startsWith("application/json"));
    QCOMPARE(r.header("Cache-Control"), QByteArray("no-store"));
    const QJsonObject o = QJsonDocument::fromJson(r.body).object();
    QCOMPARE(o.value("title").toString(), QStringLiteral("Wintercup"));
    QCOMPARE(o.value("rows").toArray().at(0).toObject().value("number").toString(),
             QStringLiteral("17"));
}

void TestLiveServer::publishedBeforeStartIsServedAfterStart()
{
    TLiveServer server;
    server.publish(sampleStandings(42));
    QVERIFY(server.start(0, QHostAddress::LocalHost));
    const TProbeResponse r = HttpExchange(server.port(), SimpleRequest("GET", "/api/standings"));
    QCOMPARE(QJsonDocument::fromJson(r.body).object().value("version").toInt(), 42);
}

void TestLiveServer::hostileDriverNameStaysInert()
{
    TLiveStandings s = sampleStandings(9, kHostile);
    s.title = kHostile;
    m_server->publish(s);
    TProbeResponse r;
    QTRY_VERIFY((r = HttpExchange(m_port, SimpleRequest("GET", "/api/standings")))
                    .body.contains("\"version\":9"));
    QVERIFY(!r.body.contains('<'));
    QVERIFY(!r.body.contains('>'));
    const QJsonObject o = QJsonDocument::fromJson(r.body).object();
    QCOMPARE(o.value("title").toString(), kHostile);
    QCOMPARE(o.value("rows").toArray().at(0).toObject().value("driver").toString(), kHostile);
    // The page is never built from the data on the server.
    const TProbeResponse page = HttpExchange(m_port, SimpleRequest("GET", "/"));
    QVERIFY(!page.body.contains("alert(1)"));
    QVERIFY(!page.body.contains("innerHTML"));
}

void TestLiveServer::writingMethodsAreRefused_data()
{
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QByteArray>("target");
    QTest::newRow("POST page") << QByteArray("POST") << QByteArray("/");
    QTest::newRow("POST standings") << QByteArray("POST") << QByteArray("/api/standings");
    QTest::newRow("PUT standings") << QByteArray("PUT") << QByteArray("/api/standings");
    QTest::newRow("DELETE page") << QByteArray("DELETE") << QByteArray("/");
    QTest::newRow("PATCH events") << QByteArray("PATCH") << QByteArray("/api/events");
    QTest::newRow("OPTIONS page") << QByteArray("OPTIONS") << QByteArray("/");
    QTest::newRow("POST unknown path") << QByteArray("POST") << QByteArray("/upload");
}

void TestLiveServer::writingMethodsAreRefused()
{
    QFETCH(QByteArray, method);
    QFETCH(QByteArray, target);
    const TProbeResponse r =
        HttpExchange(m_port, SimpleRequest(method, target, "Content-Length: 5\r\n")
                                 .replace("\r\n\r\n", "\r\n\r\nhallo"));
    QVERIFY(r.complete);
    QCOMPARE(r.status, 405);
    QCOMPARE(r.header("Allow"), QByteArray("GET, HEAD"));
}

void TestLiveServer::unknownAndTraversalPathsAreNotFound_data()
{
    QTest::addColumn<QByteArray>("target");
    QTest::newRow("unknown") << QByteArray("/start");
    QTest::newRow("index file") << QByteArray("/index.html");
    QTest::newRow("api folder") << QByteArray("/api/");
    QTest::newRow("dot dot") << QByteArray("/../etc/passwd");
    QTest::newRow("encoded dot dot") << QByteArray("/%2e%2e/");
    QTest::newRow("encoded dot dot file") << QByteArray("/%2e%2e/%2e%2e/etc/passwd");
    QTest::newRow("dot dot below api") << QByteArray("/api/standings/../../etc/passwd");
    QTest::newRow("double slash") << QByteArray("//etc/passwd");
    QTest::newRow("encoded slash") << QByteArray("/api%2fstandings");
}

void TestLiveServer::unknownAndTraversalPathsAreNotFound()
{
    QFETCH(QByteArray, target);
    const TProbeResponse r = HttpExchange(m_port, SimpleRequest("GET", target));
    QVERIFY(r.complete);
    QCOMPARE(r.status, 404);
    QVERIFY(!r.body.contains("root:"));
}

void TestLiveServer::oversizedRequestsAreRefused_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("status");
    const QByteArray bigHeader = "X-Filler: " + QByteArray(9000, 'a') + "\r\n";
    QTest::newRow("header of 9 KB") << SimpleRequest("GET", "/api/standings", bigHeader) << 431;
    QTest::newRow("target of 9 KB")
        << SimpleRequest("GET", "/api/standings?x=" + QByteArray(9000, 'b')) << 431;
    QTest::newRow("body of 20 KB")
        << SimpleRequest("GET", "/api/standings", "Content-Length: 20000\r\n") +
               QByteArray(20000, 'c')
        << 413;
}

void TestLiveServer::oversizedRequestsAreRefused()
{
    QFETCH(QByteArray, request);
    QFETCH(int, status);
    const TProbeResponse r = HttpExchange(m_port, request);
    QCOMPARE(r.status, status);
    // The server goes on serving everybody else.
    QCOMPARE(HttpExchange(m_port, SimpleRequest("GET", "/api/standings")).status, 200);
}

void TestLiveServer::keepAliveServesManySmallRequests()
{
    // Together well over the request limit, each alone far below it: the limit is per request.
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, m_port);
    QVERIFY(socket.waitForConnected(3000));
    const QByteArray one =
        "GET /api/standings HTTP/1.1\r\nHost: x\r\nX-Filler: " + QByteArray(200, 'f') + "\r\n\r\n";
    constexpr int kRequests = 60;
    QVERIFY(one.size() * kRequests > TConnectionGuard::kMaxRequestBytes);
    QByteArray seen;
    for (int i = 0; i < kRequests; ++i) {
        socket.write(one);
        // Each answer is whole before the next request goes out.
        while (seen.count("HTTP/1.1 ") <= i || !seen.endsWith("}")) {
            QVERIFY2(socket.waitForReadyRead(3000), qPrintable(QString::number(i)));
            seen += socket.readAll();
        }
    }
    QCOMPARE(seen.count("HTTP/1.1 200 OK"), kRequests);
}

void TestLiveServer::requestHeadsAreCheckedBeforeTheyAreServed_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("status");
    const QByteArray get = "GET /api/standings ";
    QTest::newRow("HTTP/1.1") << get + "HTTP/1.1\r\nHost: x\r\n\r\n" << 200;
    QTest::newRow("HTTP/1.0 without host") << get + "HTTP/1.0\r\n\r\n" << 200;
    QTest::newRow("bare line feeds") << get + "HTTP/1.1\nHost: x\n\n" << 200;
    QTest::newRow("blank line before") << "\r\n" + get + "HTTP/1.1\r\nHost: x\r\n\r\n" << 200;
    QTest::newRow("the same length twice")
        << get + "HTTP/1.1\r\nContent-Length: 2\r\ncontent-length: 2\r\n\r\nab" << 200;

    QTest::newRow("HTTP/2.0") << get + "HTTP/2.0\r\nHost: x\r\n\r\n" << 505;
    QTest::newRow("HTTP/3.1") << get + "HTTP/3.1\r\nHost: x\r\n\r\n" << 505;
    QTest::newRow("HTTP/0.9 without version") << get.trimmed() + "\r\n\r\n" << 505;
    QTest::newRow("prior knowledge") << QByteArray("PRI * HTTP/2.0\r\n\r\nSM\r\n\r\n") << 505;

    QTest::newRow("other protocol") << get + "FOO/1.1\r\nHost: x\r\n\r\n" << 400;
    QTest::newRow("lower-case version") << get + "http/1.1\r\nHost: x\r\n\r\n" << 400;
    QTest::newRow("version with more digits") << get + "HTTP/1.10\r\nHost: x\r\n\r\n" << 400;
    QTest::newRow("header without colon") << get + "HTTP/1.1\r\nHost: x\r\nKaputt\r\n\r\n" << 400;
    QTest::newRow("header name with a space") << get + "HTTP/1.1\r\nHost: x\r\nX Filler: 1\r\n\r\n"
                                              << 400;
    QTest::newRow("space before the colon") << get + "HTTP/1.1\r\nHost : x\r\n\r\n" << 400;
    QTest::newRow("folded header") << get + "HTTP/1.1\r\nHost: x\r\n y\r\n\r\n" << 400;
    QTest::newRow("two different lengths")
        << get + "HTTP/1.1\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\nab" << 400;
    QTest::newRow("two lengths in one header")
        << get + "HTTP/1.1\r\nContent-Length: 1, 2\r\n\r\nab" << 400;
    QTest::newRow("length that is no number") << get + "HTTP/1.1\r\nContent-Length: -1\r\n\r\n"
                                              << 400;
    QTest::newRow("length and chunks")
        << get + "HTTP/1.1\r\nContent-Length: 2\r\nTransfer-Encoding: chunked\r\n\r\nab" << 400;
}

void TestLiveServer::requestHeadsAreCheckedBeforeTheyAreServed()
{
    QFETCH(QByteArray, request);
    QFETCH(int, status);
    QTcpSocket socket;
    ConnectFrom(socket, {}, m_port);
    QVERIFY(socket.state() == QAbstractSocket::ConnectedState);
    socket.write(request);
    const TProbeResponse r = ReadResponse(socket);
    QVERIFY(r.complete);
    QCOMPARE(r.status, status);
    if (status == 200)
        return;
    QCOMPARE(r.header("Connection"), QByteArray("close"));
    QVERIFY(r.header("Content-Type").startsWith("text/plain"));
    // Refused, the connection ends at once instead of waiting for the next request.
    QVERIFY(socket.state() == QAbstractSocket::UnconnectedState ||
            socket.waitForDisconnected(TConnectionGuard::kIdleTimeoutMs / 3));
    // And everybody else is served as before.
    QCOMPARE(HttpExchange(m_port, SimpleRequest("GET", "/api/standings")).status, 200);
}

void TestLiveServer::http10ClosesUnlessAskedToKeepTheConnection_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<bool>("keeps");
    QTest::addColumn<QByteArray>("connectionHeader");
    QTest::newRow("HTTP/1.0") << QByteArray("GET /api/standings HTTP/1.0\r\n\r\n") << false
                              << QByteArray("close");
    QTest::newRow("HTTP/1.0 HEAD")
        << QByteArray("HEAD / HTTP/1.0\r\nHost: x\r\n\r\n") << false << QByteArray("close");
    QTest::newRow("HTTP/1.0 keep-alive")
        << QByteArray("GET /api/standings HTTP/1.0\r\nConnection: Keep-Alive\r\n\r\n") << true
        << QByteArray("keep-alive");
    QTest::newRow("HTTP/1.1") << QByteArray("GET /api/standings HTTP/1.1\r\nHost: x\r\n\r\n")
                              << true << QByteArray();
    QTest::newRow("HTTP/1.1 close")
        << QByteArray("GET /api/standings HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n")
        << false << QByteArray("close");
}

void TestLiveServer::http10ClosesUnlessAskedToKeepTheConnection()
{
    QFETCH(QByteArray, request);
    QFETCH(bool, keeps);
    QFETCH(QByteArray, connectionHeader);
    QTcpSocket socket;
    ConnectFrom(socket, {}, m_port);
    QVERIFY(socket.state() == QAbstractSocket::ConnectedState);
    for (int round = 0; round < (keeps ? 2 : 1); ++round) {
        socket.write(request);
        const TProbeResponse r = ReadResponse(socket, request.startsWith("HEAD"));
        QVERIFY2(r.complete, qPrintable(QString::number(round)));
        QCOMPARE(r.status, 200);
        QCOMPARE(r.header("Connection"), connectionHeader);
    }
    if (keeps) {
        QVERIFY(!socket.waitForDisconnected(300));
        return;
    }
    // Well before the idle time that closes a forgotten connection.
    QVERIFY(socket.state() == QAbstractSocket::UnconnectedState ||
            socket.waitForDisconnected(TConnectionGuard::kIdleTimeoutMs / 3));
}

void TestLiveServer::streamClientsAreBounded()
{
    // Spread over addresses below their own limit, as spectators on one Wi-Fi would be.
    constexpr int kAddresses = 8;
    static_assert(TLiveHttpServer::kMaxStreams / kAddresses <=
                  TLiveHttpServer::kMaxStreamsPerAddress);
    std::vector<std::unique_ptr<QTcpSocket>> streams;
    for (int i = 0; i < TLiveHttpServer::kMaxStreams; ++i) {
        streams.push_back(openStreamFrom(m_port, loopback(1 + i % kAddresses)));
        QVERIFY2(streams.back(), qPrintable(QString::number(i)));
    }
    QByteArray refused;
    QVERIFY(!openStreamFrom(m_port, loopback(kAddresses + 1), &refused));
    QVERIFY2(refused.startsWith("HTTP/1.1 503"), refused.constData());
    // The page and the JSON are still served while the stream is full.
    QCOMPARE(HttpExchange(m_port, SimpleRequest("GET", "/api/standings")).status, 200);
    // A client that leaves frees its place.
    streams.front()->disconnectFromHost();
    streams.erase(streams.begin());
    QTRY_VERIFY_WITH_TIMEOUT(openStreamFrom(m_port, loopback(1)) != nullptr, 5000);
}

void TestLiveServer::streamsAreBoundedPerAddress()
{
    // A club's Wi-Fi: a few dozen phones behind one address each hold the stream.
    std::vector<std::unique_ptr<QTcpSocket>> club;
    for (int i = 0; i < TLiveHttpServer::kMaxStreamsPerAddress; ++i) {
        club.push_back(openStreamFrom(m_port, loopback(2)));
        QVERIFY2(club.back(), qPrintable(QString::number(i)));
    }
    // One more from there is refused, but still gets the page and the standings to ask.
    QByteArray refused;
    QVERIFY(!openStreamFrom(m_port, loopback(2), &refused));
    QVERIFY2(refused.startsWith("HTTP/1.1 503"), refused.constData());
    QVERIFY(refused.contains("Retry-After: 5"));
    QCOMPARE(HttpExchange(m_port, SimpleRequest("GET", "/"), false, 5000, loopback(2)).status, 200);
    QCOMPARE(HttpExchange(m_port, SimpleRequest("GET", "/api/standings"), false, 5000, loopback(2))
                 .status,
             200);
    // Another address gets its stream.
    QVERIFY(openStreamFrom(m_port, loopback(3)));
}

void TestLiveServer::slowConnectionsFromOneAddressLeaveRoomForOthers()
{
    // More half-sent requests than the server has places, all from one address, each waiting
    // for the rest as a slow client would.
    constexpr int kSlow = TLiveHttpServer::kMaxConnections + 20;
    std::vector<std::unique_ptr<QTcpSocket>> slow;
    for (int i = 0; i < kSlow; ++i) {
        auto socket = std::make_unique<QTcpSocket>();
        ConnectFrom(*socket, loopback(2), m_port);
        socket->write("GET /api/standings HTTP/1.1\r\nHo");
        socket->flush();
        slow.push_back(std::move(socket));
    }
    const TProbeResponse other =
        HttpExchange(m_port, SimpleRequest("GET", "/api/standings"), false, 5000, loopback(3));
    QVERIFY(other.complete);
    QCOMPARE(other.status, 200);
    QVERIFY(HttpExchange(m_port, SimpleRequest("GET", "/"), false, 5000, loopback(3)).complete);
    // The slow address itself has no place left.
    QVERIFY(!HttpExchange(m_port, SimpleRequest("GET", "/api/standings"), false, 2000, loopback(2))
                 .complete);
    // Of the slow ones, as many as one address may keep are still waiting; the rest were closed.
    const auto waiting = [&slow] {
        return std::count_if(slow.begin(), slow.end(), [](const auto &socket) {
            return socket->state() == QAbstractSocket::ConnectedState;
        });
    };
    QTRY_COMPARE_WITH_TIMEOUT(waiting(), TLiveHttpServer::kMaxConnectionsPerAddress, 5000);
}

void TestLiveServer::aConnectionThatSendsNothingIsClosed()
{
    // Half a request, then silence: the connection must not stay open for ever.
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, m_port);
    QVERIFY(socket.waitForConnected(3000));
    socket.write("GET /api/standings HTTP/1.1\r\nHost: x\r\n");
    QVERIFY(socket.waitForBytesWritten(3000));
    QElapsedTimer clock;
    clock.start();
    QVERIFY(socket.waitForDisconnected(TConnectionGuard::kIdleTimeoutMs + 5000));
    QVERIFY(clock.elapsed() >= TConnectionGuard::kIdleTimeoutMs - 1000);
}

void TestLiveServer::publishReachesAWaitingClientWithinOneSecond()
{
    m_server->publish(sampleStandings(1));
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, m_port);
    QVERIFY(socket.waitForConnected(3000));
    socket.write("GET /api/events HTTP/1.1\r\nHost: x\r\nAccept: text/event-stream\r\n\r\n");
    QByteArray seen;
    QVERIFY(waitForEvent(socket, seen, 1, 3000) >= 0);
    QVERIFY(seen.startsWith("HTTP/1.1 200 OK\r\n"));
    QVERIFY(seen.contains("Content-Type: text/event-stream"));

    for (qint64 version = 2; version <= 4; ++version) {
        QElapsedTimer clock;
        clock.start();
        m_server->publish(sampleStandings(version));
        const qint64 took = waitForEvent(socket, seen, version, 1000);
        QVERIFY2(took >= 0, "the press did not reach the waiting client within 1 s");
        QVERIFY(clock.elapsed() < 1000);
    }
    // Each event is one JSON document on one data line.
    const qsizetype at = seen.lastIndexOf("data: ");
    const QByteArray line = seen.mid(at + 6, seen.indexOf('\n', at) - at - 6);
    QCOMPARE(QJsonDocument::fromJson(line).object().value("version").toInt(), 4);
}

void TestLiveServer::aBurstOfPressesEndsWithTheNewest()
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, m_port);
    QVERIFY(socket.waitForConnected(3000));
    socket.write("GET /api/events HTTP/1.1\r\nHost: x\r\n\r\n");
    QByteArray seen;
    QVERIFY(waitForEvent(socket, seen, 0, 3000) >= 0);
    // Presses faster than the server thread wakes may be merged, but the last one must arrive.
    for (qint64 version = 1; version <= 200; ++version)
        m_server->publish(sampleStandings(version));
    QVERIFY(waitForEvent(socket, seen, 200, 2000) >= 0);
}

void TestLiveServer::takenPortIsReportedInGerman()
{
    QTcpServer occupant;
    QVERIFY(occupant.listen(QHostAddress::LocalHost, 0));
    TLiveServer second;
    QVERIFY(!second.start(occupant.serverPort(), QHostAddress::LocalHost));
    QVERIFY(!second.isRunning());
    QVERIFY2(second.errorString().contains(QStringLiteral("belegt")),
             qPrintable(second.errorString()));
    QVERIFY(second.errorString().contains(QString::number(occupant.serverPort())));
    // Publishing into a server that did not start is harmless.
    second.publish(sampleStandings(1));
}

void TestLiveServer::stopClosesThePortAndStartOpensItAgain()
{
    const quint16 port = m_port;
    m_server->publish(sampleStandings(3));
    m_server->stop();
    QVERIFY(!m_server->isRunning());
    QVERIFY(!HttpExchange(port, SimpleRequest("GET", "/"), false, 1000).complete);
    QVERIFY(m_server->start(port, QHostAddress::LocalHost));
    const TProbeResponse r = HttpExchange(port, SimpleRequest("GET", "/api/standings"));
    QCOMPARE(QJsonDocument::fromJson(r.body).object().value("version").toInt(), 3);
}

QTEST_GUILESS_MAIN(TestLiveServer)
#include "tst_liveserver.moc"

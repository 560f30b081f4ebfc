#include "LiveHttpServer.h"

#include "ConnectionGuard.h"
#include "HttpReply.h"
#include "LivePage.h"
#include "LiveShared.h"

#include <QHttpServerRequest>
#include <QTcpSocket>

namespace {

const QByteArray kAllowed = "GET, HEAD";

// Reads nothing but what the page needs: scripts and styles of its own, requests to itself.
const QByteArray kPagePolicy = "default-src 'none'; style-src 'unsafe-inline'; "
                               "script-src 'unsafe-inline'; connect-src 'self'; "
                               "base-uri 'none'; form-action 'none'; frame-ancestors 'none'";

bool wantsClose(const QHttpServerRequest &request)
{
    return request.value("connection").toLower().contains("close");
}

// Refused clients wait a few seconds before the browser tries again.
const QByteArray kRetryAfterSeconds = "5";

} // namespace

TLiveHttpServer::TLiveHttpServer(std::shared_ptr<TLiveShared> shared, QObject *parent)
    : QAbstractHttpServer(parent), m_shared(std::move(shared)), m_poll(this), m_keepAlive(this)
{
    m_clock.start();
    m_poll.setInterval(kPollMs);
    m_poll.setTimerType(Qt::PreciseTimer);
    connect(&m_poll, &QTimer::timeout, this, [this] {
        if (m_shared->changed.load())
            takeStandings();
    });
    m_keepAlive.setInterval(kKeepAliveMs);
    connect(&m_keepAlive, &QTimer::timeout, this, &TLiveHttpServer::onKeepAlive);
}

TLiveHttpServer::~TLiveHttpServer()
{
    // The sockets go while this object is still whole, so their goodbyes find it intact.
    m_streams.clear();
    delete m_listener;
}

quint16 TLiveHttpServer::listenOn(const QHostAddress &address, quint16 port, QString *error)
{
    auto *listener = new TGuardedTcpServer(kMaxConnections, kMaxConnectionsPerAddress, this);
    if (!listener->listen(address, port)) {
        if (listener->serverError() == QAbstractSocket::AddressInUseError)
            *error = QStringLiteral("Der Port %1 ist schon belegt; der Live-Server läuft nicht.")
                         .arg(port);
        else
            *error = QStringLiteral("Der Live-Server kann nicht auf %1, Port %2 starten: %3")
                         .arg(address.toString())
                         .arg(port)
                         .arg(listener->errorString());
        delete listener;
        return 0;
    }
    m_listener = listener;
    bind(listener);
    takeStandings();
    m_poll.start();
    m_keepAlive.start();
    return listener->serverPort();
}

QByteArray TLiveHttpServer::eventBytes() const
{
    return "id: " + QByteArray::number(m_version) + "\ndata: " + m_json + "\n\n";
}

void TLiveHttpServer::takeStandings()
{
    // Cleared before the copy, so a publish during the copy is taken on the next look.
    m_shared->changed.store(false);
    const TLiveStandings standings = m_shared->take();
    m_version = standings.version;
    m_json = ToJson(standings);
    if (!m_streams.isEmpty())
        sendToStreams(eventBytes());
}

void TLiveHttpServer::sendToStreams(const QByteArray &bytes)
{
    const QList<QTcpSocket *> sockets = m_streams.keys();
    for (QTcpSocket *socket : sockets) {
        if (socket->bytesToWrite() > kMaxBacklogBytes) {
            dropStream(socket);
            socket->abort();
            continue;
        }
        socket->write(bytes);
    }
}

void TLiveHttpServer::onKeepAlive()
{
    const qint64 now = m_clock.elapsed();
    const QList<QTcpSocket *> sockets = m_streams.keys();
    for (QTcpSocket *socket : sockets) {
        if (now - m_streams.value(socket).began >= kStreamMaxMs) {
            dropStream(socket);
            socket->disconnectFromHost();
        }
    }
    // A comment line keeps proxies from closing a quiet stream and shows dead clients.
    sendToStreams(": \n\n");
}

void TLiveHttpServer::refuseStream(QTcpSocket *socket)
{
    THttpReply reply = TextReply(503, "Zu viele Zuschauer verbunden, bitte später erneut.");
    reply.extraHeaders.append({QByteArray("Retry-After"), kRetryAfterSeconds});
    reply.closeConnection = true;
    socket->write(reply.toBytes());
    socket->disconnectFromHost();
}

void TLiveHttpServer::dropStream(QTcpSocket *socket)
{
    const auto it = m_streams.find(socket);
    if (it == m_streams.end())
        return;
    m_streamsPerAddress.give(it->client);
    m_streams.erase(it);
}

void TLiveHttpServer::openStream(QTcpSocket *socket)
{
    const QHostAddress client = ClientAddress(socket->peerAddress());
    if (m_streams.size() >= kMaxStreams ||
        !m_streamsPerAddress.take(client, kMaxStreamsPerAddress)) {
        refuseStream(socket);
        return;
    }
    if (TConnectionGuard *guard = TConnectionGuard::of(socket))
        guard->becomeStream(this);
    m_streams.insert(socket, TStream{m_clock.elapsed(), client});
    connect(socket, &QObject::destroyed, this, [this, socket] { dropStream(socket); });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] { dropStream(socket); });
    socket->write("HTTP/1.1 200 OK\r\n"
                  "Content-Type: text/event-stream; charset=utf-8\r\n"
                  "Cache-Control: no-store\r\n"
                  "X-Content-Type-Options: nosniff\r\n"
                  "Connection: close\r\n"
                  "\r\n"
                  "retry: 1000\n\n" +
                  eventBytes());
}

bool TLiveHttpServer::handleRequest(const QHttpServerRequest &request, QTcpSocket *socket)
{
    TConnectionGuard *guard = TConnectionGuard::of(socket);
    if (guard && guard->refused())
        return true;
    const bool keepAlive =
        guard && guard->headChecked() ? guard->head().keepAlive : !wantsClose(request);
    const bool http10 = guard && guard->headChecked() && guard->head().minorVersion == 0;
    if (guard)
        guard->requestHandled();

    const auto method = request.method();
    const bool head = method == QHttpServerRequest::Method::Head;
    const QString path = request.url().path(QUrl::FullyEncoded);

    THttpReply reply;
    if (method != QHttpServerRequest::Method::Get && !head) {
        reply = TextReply(405, "Nur Lesen ist erlaubt.");
        reply.extraHeaders.append({QByteArray("Allow"), QByteArray(kAllowed)});
    } else if (path == QLatin1String("/")) {
        reply.contentType = "text/html; charset=utf-8";
        reply.body = LivePageHtml();
        reply.extraHeaders.append({QByteArray("Content-Security-Policy"), QByteArray(kPagePolicy)});
    } else if (path == QLatin1String("/api/standings")) {
        reply.contentType = "application/json; charset=utf-8";
        reply.body = m_json;
    } else if (path == QLatin1String("/api/events") && !head) {
        openStream(socket);
        return true;
    } else if (path == QLatin1String("/api/events")) {
        reply.contentType = "text/event-stream; charset=utf-8";
    } else {
        reply = TextReply(404, "Nicht gefunden.");
    }
    reply.closeConnection = !keepAlive;
    reply.keepAliveHeader = http10;
    socket->write(reply.toBytes(!head));
    if (reply.closeConnection)
        socket->disconnectFromHost();
    return true;
}

void TLiveHttpServer::missingHandler(const QHttpServerRequest &, QTcpSocket *socket)
{
    // handleRequest() answers everything; this only keeps a socket from hanging if it ever runs.
    socket->write(TextReply(404, "Nicht gefunden.").toBytes());
}

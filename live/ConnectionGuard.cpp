#include "ConnectionGuard.h"

#include "HttpReply.h"

#include <QTcpSocket>

TConnectionGuard::TConnectionGuard(QTcpSocket *socket) : QObject(socket), m_socket(socket)
{
    setObjectName(QStringLiteral("connectionGuard"));
    connect(socket, &QTcpSocket::readyRead, this, &TConnectionGuard::onReadyRead);
    m_idle.setSingleShot(true);
    m_idle.setInterval(kIdleTimeoutMs);
    connect(&m_idle, &QTimer::timeout, this, [this] { m_socket->abort(); });
    m_idle.start();
}

TConnectionGuard *TConnectionGuard::of(QTcpSocket *socket)
{
    return socket->findChild<TConnectionGuard *>(QStringLiteral("connectionGuard"),
                                                 Qt::FindDirectChildrenOnly);
}

void TConnectionGuard::requestHandled()
{
    m_count = 0;
    m_headSoFar.clear();
    m_headBytes = -1;
    m_head = THttpRequestHead();
    if (!m_stream && !m_refused)
        m_idle.start();
}

void TConnectionGuard::becomeStream(QObject *parser)
{
    m_stream = true;
    m_idle.stop();
    disconnect(m_socket, &QTcpSocket::readyRead, parser, nullptr);
    discardInput();
}

void TConnectionGuard::discardInput()
{
    // The parser keeps a read transaction open across partial requests; without closing it the
    // dropped bytes would stay buffered.
    if (m_socket->isTransactionStarted())
        m_socket->commitTransaction();
    m_socket->skip(m_socket->bytesAvailable());
}

void TConnectionGuard::onReadyRead()
{
    if (m_stream || m_refused) {
        discardInput();
        return;
    }
    // Inside the parser's transaction only the bytes it has not looked at yet are available.
    const QByteArray fresh = m_socket->peek(m_socket->bytesAvailable());
    if (m_headBytes < 0)
        takeHead(fresh);
    if (m_refused)
        return;
    m_count += fresh.size();
    if (m_count <= kMaxRequestBytes)
        return;
    const bool headTooLarge = m_headBytes < 0 || m_headBytes > kMaxRequestBytes;
    refuse(headTooLarge ? 431 : 413, "Die Anfrage ist zu groß.");
}

void TConnectionGuard::takeHead(const QByteArray &fresh)
{
    m_headSoFar += fresh;
    // Blank lines before a request are allowed and mean nothing.
    while (m_headSoFar.startsWith('\n') || m_headSoFar.startsWith("\r\n"))
        m_headSoFar.remove(0, m_headSoFar.indexOf('\n') + 1);
    const qsizetype length = RequestHeadLength(m_headSoFar);
    if (length < 0)
        return;
    m_headBytes = length;
    QByteArray head = m_headSoFar.left(length);
    while (head.endsWith('\n') || head.endsWith('\r'))
        head.chop(1);
    m_head = CheckRequestHead(head);
    m_headSoFar.clear();
    if (m_head.refusal == 505)
        refuse(505, "Nur HTTP/1.0 und HTTP/1.1 werden verstanden.");
    else if (m_head.refusal != 0)
        refuse(m_head.refusal, "Die Anfrage ist fehlerhaft.");
}

void TConnectionGuard::refuse(int status, const QByteArray &germanText)
{
    m_refused = true;
    m_idle.stop();
    // Nobody but this guard reads the socket from now on.
    disconnect(m_socket, &QTcpSocket::readyRead, nullptr, nullptr);
    connect(m_socket, &QTcpSocket::readyRead, this, &TConnectionGuard::discardInput);
    discardInput();
    THttpReply reply = TextReply(status, germanText);
    reply.closeConnection = true;
    m_socket->write(reply.toBytes());
    m_socket->disconnectFromHost();
}

TGuardedTcpServer::TGuardedTcpServer(int maxConnections, int maxPerAddress, QObject *parent)
    : QTcpServer(parent), m_maxConnections(maxConnections), m_maxPerAddress(maxPerAddress)
{
    // A client that opens connections in a loop fills a short queue of connections not yet
    // taken, and the kernel then drops everybody else's attempts until they retry a second later.
    setListenBacklogSize(maxConnections);
}

void TGuardedTcpServer::incomingConnection(qintptr descriptor)
{
    auto *socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    const QHostAddress client = ClientAddress(socket->peerAddress());
    if (m_open >= m_maxConnections || !m_perAddress.take(client, m_maxPerAddress)) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    ++m_open;
    connect(socket, &QObject::destroyed, this, [this, client] {
        --m_open;
        m_perAddress.give(client);
    });
    new TConnectionGuard(socket);
    addPendingConnection(socket);
}

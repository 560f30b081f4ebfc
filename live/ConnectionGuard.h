#pragma once

#include "ClientAddress.h"
#include "HttpRequestHead.h"

#include <QByteArray>
#include <QObject>
#include <QTcpServer>
#include <QTimer>

class QTcpSocket;

// Watches one connection before the HTTP parser sees its bytes: a request larger than
// kMaxRequestBytes is answered 431 (413 when only its body is too large), a head that is not
// HTTP/1.x 505 and a malformed head 400, each time the connection closed; and a connection that
// sends no complete request for kIdleTimeoutMs is closed. The parser itself would buffer any
// amount, wait for ever and take heads that other readers would read differently.
class TConnectionGuard : public QObject
{
    Q_OBJECT
public:
    static constexpr qint64 kMaxRequestBytes = 8 * 1024;
    static constexpr int kIdleTimeoutMs = 15000;

    // Must be made before anything else listens to the socket's readyRead.
    explicit TConnectionGuard(QTcpSocket *socket);

    static TConnectionGuard *of(QTcpSocket *socket);

    // The head of the request being answered; keepAlive tells whether the connection stays.
    const THttpRequestHead &head() const { return m_head; }
    bool headChecked() const { return m_headBytes >= 0; }
    // A request was taken: the count starts again and so does the idle time.
    void requestHandled();
    // The connection now carries a stream: no more requests are read from it, what the client
    // still sends is dropped, and the stream's owner decides when it ends.
    void becomeStream(QObject *parser);
    bool refused() const { return m_refused; }

private:
    void onReadyRead();
    void takeHead(const QByteArray &fresh);
    void refuse(int status, const QByteArray &germanText);
    void discardInput();

    QTcpSocket *m_socket;
    QTimer m_idle;
    qint64 m_count = 0;
    QByteArray m_headSoFar;  // the head as far as it came, until its blank line
    qint64 m_headBytes = -1; // the length of the request's head once its end was seen
    THttpRequestHead m_head;
    bool m_refused = false;
    bool m_stream = false;
};

// A listening socket that puts a guard on every connection and takes at most maxConnections at
// once, and at most maxPerAddress from one client address (see ClientAddress()); more are closed
// at once, so the count of open sockets stays bounded and one client cannot take every place.
class TGuardedTcpServer : public QTcpServer
{
    Q_OBJECT
public:
    TGuardedTcpServer(int maxConnections, int maxPerAddress, QObject *parent = nullptr);
    int openConnections() const { return m_open; }

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    int m_maxConnections;
    int m_maxPerAddress;
    int m_open = 0;
    TAddressCount m_perAddress;
};

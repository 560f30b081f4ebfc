#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QPair>

class QTcpSocket;

// A plain HTTP client for the tests: sends the bytes as given (so a test can send what no
// well-behaved client would) and reads one response.
struct TProbeResponse
{
    bool complete = false; // a status line, the headers and the whole body arrived
    int status = 0;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;

    QByteArray header(const QByteArray &name) const;
    bool hasHeader(const QByteArray &name) const;
};

// Connects from the given loopback address (127.0.0.1 when null), so that a test can be several
// clients at once.
TProbeResponse HttpExchange(quint16 port, const QByteArray &request, bool headOnly = false,
                            int timeoutMs = 5000, const QHostAddress &from = {});
// Reads one response from a connection that already sent its request.
TProbeResponse ReadResponse(QTcpSocket &socket, bool headOnly = false, int timeoutMs = 5000);
// A socket bound to the given loopback address and connected to the server; check its state.
void ConnectFrom(QTcpSocket &socket, const QHostAddress &from, quint16 port);
// "<method> <target> HTTP/1.1" with a Host header and Connection: close.
QByteArray SimpleRequest(const QByteArray &method, const QByteArray &target,
                         const QByteArray &extraHeaders = {});

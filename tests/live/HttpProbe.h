#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

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

TProbeResponse HttpExchange(quint16 port, const QByteArray &request, bool headOnly = false,
                            int timeoutMs = 5000);
// "<method> <target> HTTP/1.1" with a Host header and Connection: close.
QByteArray SimpleRequest(const QByteArray &method, const QByteArray &target,
                         const QByteArray &extraHeaders = {});

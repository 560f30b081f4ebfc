#include "HttpProbe.h"

#include <QDeadlineTimer>
#include <QHostAddress>
#include <QTcpSocket>

QByteArray TProbeResponse::header(const QByteArray &name) const
{
    for (const auto &h : headers) {
        if (h.first.compare(name, Qt::CaseInsensitive) == 0)
            return h.second;
    }
    return {};
}

bool TProbeResponse::hasHeader(const QByteArray &name) const
{
    for (const auto &h : headers) {
        if (h.first.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

namespace {

// Parses what arrived so far; true once the response is whole.
bool parse(const QByteArray &data, bool headOnly, TProbeResponse *out)
{
    const qsizetype end = data.indexOf("\r\n\r\n");
    if (end < 0)
        return false;
    const QList<QByteArray> lines = data.left(end).split('\n');
    const QList<QByteArray> statusParts = lines.value(0).trimmed().split(' ');
    out->status = statusParts.value(1).toInt();
    out->headers.clear();
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0)
            out->headers.append(
                {lines[i].left(colon).trimmed(), lines[i].mid(colon + 1).trimmed()});
    }
    out->body = data.mid(end + 4);
    if (headOnly)
        return true;
    bool known = false;
    const qsizetype length = out->header("Content-Length").toLongLong(&known);
    return known && out->body.size() >= length;
}

} // namespace

void ConnectFrom(QTcpSocket &socket, const QHostAddress &from, quint16 port)
{
    if (!from.isNull())
        socket.bind(from);
    socket.connectToHost(QHostAddress::LocalHost, port);
    socket.waitForConnected(5000);
}

TProbeResponse ReadResponse(QTcpSocket &socket, bool headOnly, int timeoutMs)
{
    TProbeResponse response;
    QByteArray data;
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (socket.bytesAvailable() == 0 &&
            !socket.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime()))))
            break;
        data += socket.readAll();
        if (parse(data, headOnly, &response)) {
            response.complete = true;
            // A second look shows anything sent beyond the announced length.
            if (socket.waitForReadyRead(50))
                data += socket.readAll();
            parse(data, headOnly, &response);
            return response;
        }
    }
    data += socket.readAll();
    parse(data, headOnly, &response);
    return response;
}

TProbeResponse HttpExchange(quint16 port, const QByteArray &request, bool headOnly, int timeoutMs,
                            const QHostAddress &from)
{
    QTcpSocket socket;
    ConnectFrom(socket, from, port);
    if (socket.state() != QAbstractSocket::ConnectedState)
        return {};
    socket.write(request);
    return ReadResponse(socket, headOnly, timeoutMs);
}

QByteArray SimpleRequest(const QByteArray &method, const QByteArray &target,
                         const QByteArray &extraHeaders)
{
    return method + ' ' + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + extraHeaders +
           "Connection: close\r\n\r\n";
}

#pragma once

// A crowd of live page clients for the benchmarks: every client in one thread of its own, each
// holding one event stream, noting how long each published version took to reach it. The
// clients come from several loopback addresses, as phones on a Wi-Fi would.
#include <QByteArray>
#include <QHostAddress>
#include <QMutex>
#include <QObject>
#include <QTcpSocket>

#include <atomic>
#include <chrono>
#include <vector>

inline qint64 nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// When each version was published, read by the client thread.
struct PublishLog
{
    explicit PublishLog(int size) : at(size) {}
    std::vector<std::atomic<qint64>> at;
};

// The crowd: every client in one thread of its own, each with one event stream.
class Crowd : public QObject
{
public:
    static constexpr int kAddresses = 8;

    Crowd(quint16 port, int clients, PublishLog *log) : m_port(port), m_clients(clients), m_log(log)
    {}

    void connectAll()
    {
        for (int i = 0; i < m_clients; ++i) {
            auto *socket = new QTcpSocket(this);
            auto *buffer = new QByteArray;
            connect(socket, &QObject::destroyed, [buffer] { delete buffer; });
            connect(socket, &QTcpSocket::connected, socket, [socket] {
                socket->write("GET /api/events HTTP/1.1\r\nHost: bench\r\n"
                              "Accept: text/event-stream\r\n\r\n");
            });
            connect(socket, &QTcpSocket::readyRead, this,
                    [this, socket, buffer] { onData(socket, buffer); });
            connect(socket, &QTcpSocket::disconnected, this, [this] { ++m_dropped; });
            // Spectators come from many phones: spread over loopback addresses, so that none
            // holds more streams than the server grants one address.
            socket->bind(QHostAddress(QStringLiteral("127.0.0.%1").arg(10 + i % kAddresses)));
            socket->connectToHost(QHostAddress::LocalHost, m_port);
        }
    }

    int ready() const { return m_ready.load(); }
    int dropped() const { return m_dropped.load(); }

    std::vector<qint64> takeDelays()
    {
        QMutexLocker lock(&m_mutex);
        std::vector<qint64> out;
        out.swap(m_delays);
        return out;
    }

private:
    void onData(QTcpSocket *socket, QByteArray *buffer)
    {
        const qint64 received = nowNs();
        *buffer += socket->readAll();
        if (!socket->property("ready").toBool()) {
            if (!buffer->contains("\n\n"))
                return;
            socket->setProperty("ready", true);
            ++m_ready;
        }
        qsizetype end;
        while ((end = buffer->indexOf("\n\n")) >= 0) {
            const QByteArray event = buffer->left(end);
            buffer->remove(0, end + 2);
            const qsizetype id = event.indexOf("id: ");
            if (id < 0)
                continue;
            const qint64 version = event.mid(id + 4, event.indexOf('\n', id) - id - 4).toLongLong();
            // A snapshot sent again (the race clock moved on) is not a new arrival.
            if (version <= 0 || version >= qint64(m_log->at.size()) ||
                version <= socket->property("version").toLongLong())
                continue;
            socket->setProperty("version", version);
            const qint64 published = m_log->at[size_t(version)].load();
            if (published > 0) {
                QMutexLocker lock(&m_mutex);
                m_delays.push_back(received - published);
            }
        }
    }

    quint16 m_port;
    int m_clients;
    PublishLog *m_log;
    std::atomic<int> m_ready{0};
    std::atomic<int> m_dropped{0};
    QMutex m_mutex;
    std::vector<qint64> m_delays;
};

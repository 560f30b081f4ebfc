#pragma once

#include "ClientAddress.h"

#include <QAbstractHttpServer>
#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QTimer>

#include <memory>

class QTcpSocket;
class TGuardedTcpServer;
struct TLiveShared;

// The live page's server, living in a thread of its own: answers GET and HEAD for the page and
// the standings, keeps the clients of the event stream and writes each new snapshot to them.
// It reads nothing from the file system; the page is compiled in.
class TLiveHttpServer : public QAbstractHttpServer
{
    Q_OBJECT
public:
    static constexpr int kMaxStreams = 256;
    static constexpr int kMaxConnections = kMaxStreams + 64;
    // One address may be a club's whole Wi-Fi behind one router, so it gets room for a few
    // dozen phones, each holding a stream and now and then loading the page; but a client that
    // takes that much still leaves more than two thirds of the places to everybody else.
    static constexpr int kMaxStreamsPerAddress = 64;
    static constexpr int kMaxConnectionsPerAddress = kMaxStreamsPerAddress + 32;
    // A stream ends after this long; the browser reconnects by itself within a second.
    static constexpr int kStreamMaxMs = 10 * 60 * 1000;
    static constexpr int kKeepAliveMs = 15000;
    // How often the thread looks for a new snapshot: the delay a press can add on its way.
    static constexpr int kPollMs = 20;
    // A client that lets this much pile up unread is dropped instead of filling the memory.
    static constexpr qint64 kMaxBacklogBytes = 1024 * 1024;

    explicit TLiveHttpServer(std::shared_ptr<TLiveShared> shared, QObject *parent = nullptr);
    ~TLiveHttpServer() override;

    // Returns the port listened on, 0 on failure with a German reason in *error.
    quint16 listenOn(const QHostAddress &address, quint16 port, QString *error);
    // Takes the newest snapshot from the shared place and sends it to every stream.
    void takeStandings();
    int streamCount() const { return int(m_streams.size()); }

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override;
    void missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) override;

private:
    struct TStream
    {
        qint64 began = 0;
        QHostAddress client;
    };

    void openStream(QTcpSocket *socket);
    void refuseStream(QTcpSocket *socket);
    void dropStream(QTcpSocket *socket);
    void sendToStreams(const QByteArray &bytes);
    void onKeepAlive();
    QByteArray eventBytes() const;

    std::shared_ptr<TLiveShared> m_shared;
    TGuardedTcpServer *m_listener = nullptr;
    QByteArray m_json;
    qint64 m_version = 0;
    QHash<QTcpSocket *, TStream> m_streams;
    TAddressCount m_streamsPerAddress;
    QElapsedTimer m_clock;
    QTimer m_poll; // children, so they move to the server's thread with it
    QTimer m_keepAlive;
};

#pragma once

#include "LiveStandings.h"

#include <QHostAddress>
#include <QObject>
#include <QString>

#include <memory>

class QThread;
class TLiveHttpServer;
struct TLiveShared;

// The live standings for people around the track, served over HTTP from a thread of its own:
// GET / is the page, GET /api/standings the newest snapshot as JSON, GET /api/events a stream
// of Server-Sent Events with one event per snapshot. Read-only and off until start().
//
// Use it from one thread (the window's). publish() only leaves the snapshot for the server's
// thread and returns: it neither waits for the network nor wakes that thread, which looks for
// a new snapshot every few milliseconds.
class TLiveServer : public QObject
{
    Q_OBJECT
public:
    explicit TLiveServer(QObject *parent = nullptr);
    ~TLiveServer() override;

    // Listens on address:port (port 0 picks a free one). False with a German errorString() when
    // the port is taken or the address cannot be used. A running server is stopped first.
    bool start(quint16 port, const QHostAddress &address = QHostAddress::Any);
    void stop();
    bool isRunning() const { return m_server != nullptr; }
    quint16 port() const { return m_port; }
    QString errorString() const { return m_error; }

    // Kept even while stopped, so a server started later shows the race as it stands.
    void publish(const TLiveStandings &standings);

private:
    std::shared_ptr<TLiveShared> m_shared;
    QThread *m_thread = nullptr;
    TLiveHttpServer *m_server = nullptr; // lives in m_thread
    quint16 m_port = 0;
    QString m_error;
};

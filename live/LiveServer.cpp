#include "LiveServer.h"

#include "LiveHttpServer.h"
#include "LiveShared.h"

#include <QThread>

TLiveServer::TLiveServer(QObject *parent)
    : QObject(parent), m_shared(std::make_shared<TLiveShared>())
{}

TLiveServer::~TLiveServer()
{
    stop();
}

bool TLiveServer::start(quint16 port, const QHostAddress &address)
{
    stop();
    m_error.clear();
    auto *thread = new QThread;
    thread->setObjectName(QStringLiteral("LiveServer"));
    thread->start();
    // Made inside its thread, so that every object the HTTP server keeps belongs there, also
    // those it holds as plain members rather than children.
    QObject anchor;
    anchor.moveToThread(thread);
    TLiveHttpServer *server = nullptr;
    quint16 listening = 0;
    QString error;
    // Starting is a click of the operator, not a press, so waiting for the listen is fine here.
    QMetaObject::invokeMethod(
        &anchor,
        [&] {
            server = new TLiveHttpServer(m_shared);
            listening = server->listenOn(address, port, &error);
        },
        Qt::BlockingQueuedConnection);
    if (listening == 0) {
        server->deleteLater();
        thread->quit();
        thread->wait();
        delete thread;
        m_error = error;
        return false;
    }
    m_thread = thread;
    m_server = server;
    m_port = listening;
    return true;
}

void TLiveServer::stop()
{
    if (!m_server)
        return;
    TLiveHttpServer *server = m_server;
    m_server = nullptr;
    // Deleted in its own thread as it finishes: its sockets and timers belong there.
    server->deleteLater();
    m_thread->quit();
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    m_port = 0;
}

void TLiveServer::publish(const TLiveStandings &standings)
{
    m_shared->store(standings);
}

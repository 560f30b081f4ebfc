#include "ServerReader.h"

#include "ServerConnection.h"
#include "ServerMessages.h"
#include "ServerReads.h"
#include "ServerSchema.h"

#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QSemaphore>
#include <QSqlDriver>
#include <QSqlError>
#include <QThread>
#include <QTimer>

namespace {
const QString kChannel = QStringLiteral("talvenbahn");
const QString kPlansNotice = QStringLiteral("plans");

QString keyOf(const QString &station, qint64 raceId)
{
    return station + QLatin1Char(' ') + QString::number(raceId);
}
} // namespace

// The reader's side on its own thread: the connection, what it follows and the timers.
class TReaderSession : public QObject
{
public:
    TReaderSession(TServerReader *owner, const TClubServerConfig &config, const QString &password,
                   TServerReader::Timing timing,
                   std::function<void(const TReplicationState &)> publish)
        : m_owner(owner), m_config(config), m_password(password), m_timing(timing),
          m_publish(std::move(publish)), m_retryMs(timing.retryMs)
    {
        m_retry.setSingleShot(true);
        connect(&m_retry, &QTimer::timeout, this, &TReaderSession::connectNow);
        m_check.setInterval(timing.checkEveryMs);
        connect(&m_check, &QTimer::timeout, this, &TReaderSession::check);
    }

    void connectNow()
    {
        if (m_server)
            return;
        auto server =
            std::make_unique<TServerConnection>(m_config, m_password, m_timing.connectTimeoutS);
        if (!server->open()) {
            failed(TReplicationState::Kind::Unreachable, server->errorString());
            return;
        }
        const int version = server->schemaVersion();
        if (version != ServerSchema::kVersion) {
            failed(version < 0 ? TReplicationState::Kind::Unreachable
                               : TReplicationState::Kind::Refused,
                   version < 0 ? server->errorString()
                               : ServerMessages::versionProblem(version, ServerSchema::kVersion));
            return;
        }
        QSqlDriver *driver = server->db().driver();
        connect(driver, &QSqlDriver::notification, this,
                [this](const QString &, QSqlDriver::NotificationSource, const QVariant &payload) {
                    notice(payload.toString());
                });
        if (!driver->subscribeToNotification(kChannel)) {
            failed(TReplicationState::Kind::Refused, ServerMessages::reason(driver->lastError()));
            return;
        }
        m_server = std::move(server);
        m_retryMs = m_timing.retryMs;
        m_check.start();
        TReplicationState state;
        state.kind = TReplicationState::Kind::Connected;
        m_publish(state);
        // What arrived while there was no connection.
        const QStringList keys = m_followed.keys();
        for (const QString &key : keys)
            readNew(key);
        if (m_server)
            QMetaObject::invokeMethod(m_owner, &TServerReader::racesChanged, Qt::QueuedConnection);
    }

    void follow(const QString &key, int afterSeq)
    {
        m_followed.insert(key, afterSeq);
        if (m_server)
            readNew(key);
    }

    void unfollow(const QString &key) { m_followed.remove(key); }

    void run(const std::function<void(QSqlDatabase *, QString)> &job)
    {
        if (!m_server)
            connectNow();
        if (m_server)
            job(&m_server->db(), QString());
        else
            job(nullptr, m_reason);
    }

private:
    void notice(const QString &payload)
    {
        if (payload == kPlansNotice) {
            QMetaObject::invokeMethod(m_owner, &TServerReader::racesChanged, Qt::QueuedConnection);
            return;
        }
        if (m_followed.contains(payload))
            readNew(payload);
    }

    void readNew(const QString &key)
    {
        const auto found = m_followed.constFind(key);
        if (found == m_followed.cend() || !m_server)
            return;
        const QString station = key.section(QLatin1Char(' '), 0, 0);
        const qint64 raceId = key.section(QLatin1Char(' '), 1).toLongLong();
        QString error;
        const QList<TRaceEvent> events =
            ServerReads::events(m_server->db(), station, raceId, *found, &error);
        if (!error.isEmpty()) {
            check();
            return;
        }
        if (events.isEmpty())
            return;
        m_followed[key] = events.constLast().seq;
        QPointer<TServerReader> owner(m_owner);
        QMetaObject::invokeMethod(
            m_owner,
            [owner, station, raceId, events] {
                if (owner)
                    emit owner->eventsArrived(station, raceId, events);
            },
            Qt::QueuedConnection);
    }

    // A server gone shows only when the connection is used.
    void check()
    {
        if (m_server && !m_server->exec(QStringLiteral("SELECT 1")))
            failed(TReplicationState::Kind::Unreachable, m_server->errorString());
    }

    void failed(TReplicationState::Kind kind, const QString &reason)
    {
        m_server.reset();
        m_check.stop();
        m_reason = reason;
        TReplicationState state;
        state.kind = kind;
        state.reason = reason;
        m_publish(state);
        m_retry.start(m_retryMs);
        m_retryMs = m_timing.nextRetryMs(m_retryMs);
    }

    TServerReader *m_owner;
    TClubServerConfig m_config;
    QString m_password;
    TServerReader::Timing m_timing;
    std::function<void(const TReplicationState &)> m_publish;
    int m_retryMs;
    std::unique_ptr<TServerConnection> m_server;
    QString m_reason;
    QHash<QString, int> m_followed; // "<station> <race>" -> the last seq handed on
    QTimer m_retry;
    QTimer m_check;
};

class TServerReader::Worker final : public QThread
{
public:
    Worker(TServerReader *owner, const TClubServerConfig &config, const QString &password,
           Timing timing)
        : m_owner(owner), m_config(config), m_password(password), m_timing(timing)
    {
        setObjectName(QStringLiteral("Vereinsserver lesen"));
    }

    ~Worker() override
    {
        quit();
        wait();
    }

    void begin()
    {
        start();
        m_ready.acquire();
    }

    // Runs call on the session's thread; nothing once the thread has ended.
    void post(std::function<void(TReaderSession &)> call)
    {
        QMutexLocker lock(&m_mutex);
        if (!m_session)
            return;
        TReaderSession *session = m_session;
        QMetaObject::invokeMethod(
            session, [session, call = std::move(call)] { call(*session); }, Qt::QueuedConnection);
    }

protected:
    void run() override
    {
        {
            TReaderSession session(
                m_owner, m_config, m_password, m_timing,
                [this](const TReplicationState &state) { m_owner->publish(state); });
            {
                QMutexLocker lock(&m_mutex);
                m_session = &session;
            }
            m_ready.release();
            QMetaObject::invokeMethod(&session, &TReaderSession::connectNow, Qt::QueuedConnection);
            exec();
            QMutexLocker lock(&m_mutex);
            m_session = nullptr;
        }
    }

private:
    TServerReader *m_owner;
    TClubServerConfig m_config;
    QString m_password;
    Timing m_timing;
    QSemaphore m_ready;
    QMutex m_mutex;
    TReaderSession *m_session = nullptr;
};

TServerReader::TServerReader(const TClubServerConfig &config, const QString &password,
                             QObject *parent)
    : TServerReader(config, password, Timing(), parent)
{}

TServerReader::TServerReader(const TClubServerConfig &config, const QString &password,
                             Timing timing, QObject *parent)
    : QObject(parent), m_worker(std::make_unique<Worker>(this, config, password, timing))
{
    qRegisterMetaType<TReplicationState>();
}

TServerReader::~TServerReader()
{
    m_worker.reset();
}

void TServerReader::start()
{
    if (!m_worker->isRunning())
        m_worker->begin();
}

void TServerReader::follow(const QString &station, qint64 raceId, int afterSeq)
{
    m_worker->post([key = keyOf(station, raceId), afterSeq](TReaderSession &session) {
        session.follow(key, afterSeq);
    });
}

void TServerReader::unfollow(const QString &station, qint64 raceId)
{
    m_worker->post(
        [key = keyOf(station, raceId)](TReaderSession &session) { session.unfollow(key); });
}

void TServerReader::post(std::function<void(QSqlDatabase *, QString)> job)
{
    m_worker->post([job = std::move(job)](TReaderSession &session) { session.run(job); });
}

void TServerReader::publish(const TReplicationState &state)
{
    // From the reader's thread: the state is kept and told on this object's thread.
    QPointer<TServerReader> self(this);
    QMetaObject::invokeMethod(
        this,
        [self, state] {
            if (!self || self->m_state == state)
                return;
            self->m_state = state;
            emit self->stateChanged(state);
        },
        Qt::QueuedConnection);
}

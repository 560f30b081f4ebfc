#include "Replicator.h"

#include "ReplicationPass.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QMutex>
#include <QMutexLocker>
#include <QPointer>
#include <QThread>
#include <QWaitCondition>

class TReplicator::Worker final : public QThread
{
public:
    Worker(TReplicator *owner, const QString &journalPath, const TClubServerConfig &config,
           const QString &password, Timing timing)
        : m_owner(owner), m_journalPath(journalPath), m_config(config), m_password(password),
          m_timing(timing)
    {
        setObjectName(QStringLiteral("Vereinsserver"));
    }

    ~Worker() override { stop(QDeadlineTimer::Forever); }

    // Asks the thread to end and waits until the deadline; false when it is still inside a
    // connection attempt or a statement then. Either way it reports to its owner no more.
    bool stop(QDeadlineTimer deadline)
    {
        {
            QMutexLocker lock(&m_mutex);
            m_ending = true;
            m_owner = nullptr;
            m_work.wakeAll();
        }
        return wait(deadline);
    }

    // Asks for one more pass over the whole journal and then the end, and waits until the
    // deadline; false when the thread is still at it then. It reports to its owner no more.
    bool finish(QDeadlineTimer deadline)
    {
        {
            QMutexLocker lock(&m_mutex);
            m_finishing = true;
            m_pending.everything = true;
            m_owner = nullptr;
            m_work.wakeAll();
        }
        if (wait(deadline))
            return true;
        QMutexLocker lock(&m_mutex);
        m_ending = true;
        m_work.wakeAll();
        return false;
    }

    void note(qint64 raceId)
    {
        QMutexLocker lock(&m_mutex);
        if (raceId > 0)
            m_pending.races.insert(raceId);
        else
            m_pending.everything = true; // a race without its file id yet: look at all
        m_work.wakeAll();
    }

    void notePlans()
    {
        QMutexLocker lock(&m_mutex);
        m_pending.plans = true;
        m_work.wakeAll();
    }

    TReplicationState state() const
    {
        QMutexLocker lock(&m_mutex);
        return m_state;
    }

    bool waitUntilCaughtUp(int timeoutMs)
    {
        const QDeadlineTimer deadline(timeoutMs);
        QMutexLocker lock(&m_mutex);
        const quint64 wanted = m_passesBegun + 1;
        m_pending.everything = true;
        m_work.wakeAll();
        while (!(m_passesDone >= wanted && m_state.kind == TReplicationState::Kind::Connected &&
                 m_state.waiting == 0)) {
            if (!m_passDone.wait(&m_mutex, deadline))
                return false;
        }
        return true;
    }

protected:
    void run() override
    {
        TReplicationPass pass(m_journalPath, m_config, m_password, m_timing.connectTimeoutS);
        int retryMs = m_timing.retryMs;
        QElapsedTimer sincePlans;
        QElapsedTimer sinceFull;
        bool first = true;
        for (;;) {
            TReplicationPass::Work work;
            bool last = false;
            {
                QMutexLocker lock(&m_mutex);
                if (m_ending)
                    return;
                work = std::exchange(m_pending, {});
                ++m_passesBegun;
                last = m_finishing;
            }
            if (first || !sinceFull.isValid() || sinceFull.hasExpired(m_timing.fullScanEveryMs))
                work.everything = true;
            if (work.everything || !sincePlans.isValid() ||
                sincePlans.hasExpired(m_timing.plansEveryMs))
                work.plans = true;
            first = false;

            const TReplicationPass::Outcome outcome = pass.run(work);
            TReplicationState state;
            state.waiting = pass.waiting();
            int waitMs = m_timing.plansEveryMs;
            switch (outcome) {
            case TReplicationPass::Outcome::Done:
                state.kind = TReplicationState::Kind::Connected;
                retryMs = m_timing.retryMs;
                if (work.everything)
                    sinceFull.start();
                if (work.plans)
                    sincePlans.start();
                break;
            case TReplicationPass::Outcome::NoJournal:
                // Nothing to send yet (the journal's file is still being made).
                state.kind = pass.isConnected() ? TReplicationState::Kind::Connected
                                                : TReplicationState::Kind::Connecting;
                waitMs = m_timing.retryMs;
                break;
            case TReplicationPass::Outcome::Lost:
            case TReplicationPass::Outcome::Refused:
                state.kind = outcome == TReplicationPass::Outcome::Lost
                                 ? TReplicationState::Kind::Unreachable
                                 : TReplicationState::Kind::Refused;
                state.reason = pass.reason();
                waitMs = retryMs;
                retryMs = m_timing.nextRetryMs(retryMs);
                break;
            }
            if (outcome != TReplicationPass::Outcome::Done) {
                // What was noted is looked at again on the next attempt.
                QMutexLocker lock(&m_mutex);
                m_pending.everything = true;
            }
            publish(state);
            if (last)
                return;
            QMutexLocker lock(&m_mutex);
            const bool lost = outcome != TReplicationPass::Outcome::Done;
            const QDeadlineTimer until(waitMs);
            // After a failure, new presses do not hurry the next attempt.
            while (
                !m_ending && !m_finishing && !until.hasExpired() &&
                (lost || (m_pending.races.isEmpty() && !m_pending.plans && !m_pending.everything)))
                m_work.wait(&m_mutex, until);
        }
    }

private:
    void publish(const TReplicationState &state)
    {
        bool changed = false;
        {
            QMutexLocker lock(&m_mutex);
            changed = !(m_state == state);
            m_state = state;
            ++m_passesDone;
            m_passDone.wakeAll();
        }
        if (!changed)
            return;
        // Under the lock, so the owner cannot go between the look and the call.
        QMutexLocker lock(&m_mutex);
        if (!m_owner)
            return;
        QPointer<TReplicator> owner(m_owner);
        QMetaObject::invokeMethod(
            m_owner,
            [owner, state] {
                if (owner)
                    emit owner->stateChanged(state);
            },
            Qt::QueuedConnection);
    }

    TReplicator *m_owner;
    QString m_journalPath;
    TClubServerConfig m_config;
    QString m_password;
    Timing m_timing;

    mutable QMutex m_mutex;
    QWaitCondition m_work;
    QWaitCondition m_passDone;
    bool m_ending = false;
    bool m_finishing = false; // one more pass over everything, then the end
    TReplicationPass::Work m_pending;
    TReplicationState m_state;
    quint64 m_passesBegun = 0;
    quint64 m_passesDone = 0;
};

TReplicator::TReplicator(const QString &journalPath, const TClubServerConfig &config,
                         const QString &password, QObject *parent)
    : TReplicator(journalPath, config, password, Timing(), parent)
{}

TReplicator::TReplicator(const QString &journalPath, const TClubServerConfig &config,
                         const QString &password, Timing timing, QObject *parent)
    : QObject(parent),
      m_worker(std::make_unique<Worker>(this, journalPath, config, password, timing))
{
    qRegisterMetaType<TReplicationState>();
}

TReplicator::~TReplicator()
{
    // What the journal holds by now is sent before the end; but the window is not held up by a
    // server that does not answer: the thread only reads the journal, so it may finish its
    // attempt on its own and then goes.
    const bool ended = m_worker->isRunning() ? m_worker->finish(QDeadlineTimer(kStopWaitMs))
                                             : m_worker->stop(QDeadlineTimer(kStopWaitMs));
    if (!ended) {
        Worker *stillGoing = m_worker.release();
        QObject::connect(stillGoing, &QThread::finished, stillGoing, &QObject::deleteLater);
        if (stillGoing->isFinished())
            stillGoing->deleteLater();
    }
}

void TReplicator::start()
{
    m_worker->start();
}

void TReplicator::noteStored(qint64 raceId)
{
    m_worker->note(raceId);
}

void TReplicator::notePlans()
{
    m_worker->notePlans();
}

TReplicationState TReplicator::state() const
{
    return m_worker->state();
}

bool TReplicator::waitUntilCaughtUp(int timeoutMs)
{
    return m_worker->waitUntilCaughtUp(timeoutMs);
}

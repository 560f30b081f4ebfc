#pragma once

#include "ClubServerConfig.h"
#include "RaceEvent.h"
#include "ReplicationState.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSqlDatabase>
#include <QString>

#include <functional>
#include <memory>

// Reads the club server on a thread of its own, with a connection of its own: it listens for the
// server's notices (LISTEN talvenbahn) and hands the new events of the races it follows to the
// thread that made it by queued signals, so a press at a station shows here as soon as the server
// has it, with no polling on the window's thread. Other reads (the race list, a race's events,
// the day plans) are asked for and answered the same way. After an outage it connects again by
// itself and reads what it missed.
class TServerReader : public QObject
{
    Q_OBJECT
public:
    struct Timing : TReconnectTiming
    {
        // How often the connection is checked: a server gone shows only when it is used.
        int checkEveryMs = 2000;
    };

    TServerReader(const TClubServerConfig &config, const QString &password,
                  QObject *parent = nullptr);
    TServerReader(const TClubServerConfig &config, const QString &password, Timing timing,
                  QObject *parent = nullptr);
    // Stops the thread; it may wait for one connection attempt to give up.
    ~TServerReader() override;

    void start();

    // Reads the race's events after afterSeq now and then every new one as it arrives
    // (eventsArrived), until unfollow.
    void follow(const QString &station, qint64 raceId, int afterSeq = 0);
    void unfollow(const QString &station, qint64 raceId);

    // Runs job(db, &error) on the reader's thread and hands its result to done(result, error) on
    // this object's thread, unless context has gone by then. Without a connection, done gets
    // a default result and the reason. Jobs run one after the other, in the order asked.
    template <class Result>
    void ask(QObject *context, std::function<Result(QSqlDatabase &, QString *)> job,
             std::function<void(const Result &, const QString &)> done)
    {
        QPointer<QObject> guard(context);
        post([this, guard, job = std::move(job), done = std::move(done)](QSqlDatabase *db,
                                                                         QString error) {
            Result result{};
            if (db)
                result = job(*db, &error);
            QMetaObject::invokeMethod(
                this,
                [guard, done, result = std::move(result), error] {
                    if (guard)
                        done(result, error);
                },
                Qt::QueuedConnection);
        });
    }

    TReplicationState state() const { return m_state; }

signals:
    // New events of a followed race, in order, after those handed on before.
    void eventsArrived(const QString &station, qint64 raceId, const QList<TRaceEvent> &events);
    // A race's row or a plan arrived, or the connection was made again: lists may have changed.
    void racesChanged();
    void stateChanged(const TReplicationState &state);

private:
    class Worker;
    // job(db or null, error) on the reader's thread.
    void post(std::function<void(QSqlDatabase *, QString)> job);
    void publish(const TReplicationState &state);

    std::unique_ptr<Worker> m_worker;
    TReplicationState m_state;
};

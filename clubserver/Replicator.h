#pragma once

#include "ClubServerConfig.h"
#include "ReplicationState.h"

#include <QObject>
#include <QString>

#include <memory>

// Sends what the club server lacks of this station's journal: the races, every event of them in
// order, and the race days' and seasons' plans. It runs on a thread of its own and only reads
// the journal file, which stays the truth: nothing the window does ever waits for it, and while
// the server cannot be reached the journal simply holds more that waits. Each event is keyed on
// the server by the station, the race and its sequence number, so sending one twice changes
// nothing; after an outage, and at start, the replicator asks the server what it has and sends
// the rest.
class TReplicator : public QObject
{
    Q_OBJECT
public:
    struct Timing : TReconnectTiming
    {
        int plansEveryMs = 3000; // the plans are compared at least this often
        int fullScanEveryMs = 30000;
    };

    TReplicator(const QString &journalPath, const TClubServerConfig &config,
                const QString &password, QObject *parent = nullptr);
    TReplicator(const QString &journalPath, const TClubServerConfig &config,
                const QString &password, Timing timing, QObject *parent = nullptr);
    // Sends what the journal holds by now in one last pass and stops the thread, waiting at most
    // kStopWaitMs: a thread still inside a connection attempt or a statement then ends by
    // itself, reporting nothing more.
    ~TReplicator() override;
    static constexpr int kStopWaitMs = 500;

    void start();
    // A race of the journal has a new event or a changed row (TRaceJournal::eventStored,
    // raceChanged; 0 for several races). Any thread; returns at once.
    void noteStored(qint64 raceId);
    // A day or a season may have changed. Any thread.
    void notePlans();

    // The latest state; any thread.
    TReplicationState state() const;
    // Waits until a pass that began after this call has left nothing waiting; false after
    // timeoutMs. For tests and benchmarks: never call it on the window's thread in a race.
    bool waitUntilCaughtUp(int timeoutMs);

signals:
    // On the thread that made the replicator, whenever the state changes.
    void stateChanged(const TReplicationState &state);

private:
    class Worker;
    std::unique_ptr<Worker> m_worker;
};

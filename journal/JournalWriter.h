#pragma once

#include "JournalCommand.h"
#include "SqlConnection.h"

#include <QHash>
#include <QLockFile>
#include <QMutex>
#include <QMutexLocker>
#include <QString>
#include <QThread>
#include <QWaitCondition>

#include <deque>
#include <functional>
#include <memory>

// The thread that commits the journal's changes, one transaction each, in the order they were
// handed over, on a connection of its own. Handing over only queues, so the thread that takes
// the keys never waits for the disk. A change that fails stays first in the queue and is tried
// again, so nothing behind it overtakes it and nothing is lost while the disk is full.
//
// Started without the file's lock, the thread first takes the file (TJournalClaim), trying again
// every kRetryMs, and keeps what it is handed until then. Races handed over meanwhile carry the
// journal's own negative ids; each gets the file's next race id at its START, and the thread
// translates between the two for all that follows.
class TJournalWriter final : public QThread
{
public:
    struct Reports
    {
        // All run on the writer thread.
        std::function<void(qint64 raceId, int seq)> stored;
        // A race's row changed without a new event (its outcome, its removal); raceId 0: the
        // rows of several races (a START marked the running ones interrupted).
        std::function<void(qint64 raceId)> changed;
        std::function<void(const QString &message)> failed;
        // After a failure, everything kept through it is stored.
        std::function<void()> recovered;
        // The file was taken after all; notice says when a file was moved aside for it.
        std::function<void(const QString &notice)> opened;
    };

    // lock: the file's lock, already taken with the file prepared; null to take it first.
    TJournalWriter(const QString &path, Reports reports, std::unique_ptr<QLockFile> lock);
    ~TJournalWriter() override;

    void hand(TJournalCommand command);
    // Waits until every change handed over so far is committed; false after timeoutMs.
    bool waitUntilStored(int timeoutMs);
    // Waits like waitUntilStored, then ends the thread; returns how many changes are left.
    int finish(int timeoutMs);
    int pendingCount() const;
    // The file's id of a race handed over with a negative id; the id itself otherwise, and
    // while that race has no row in the file yet.
    qint64 fileId(qint64 raceId) const;
    // The id a race of the file was handed over with (the inverse of fileId).
    qint64 handedId(qint64 fileId) const;

    // How long a failed change waits before it is tried again.
    static constexpr int kRetryMs = 1000;

protected:
    void run() override;

private:
    class Session;

    // Takes the file (unlocking meanwhile); false when it is not to be had yet.
    bool takeFile(QMutexLocker<QMutex> &lock);
    qint64 fileIdForLocked(const TJournalCommand &command);
    void waitToRetry();
    // Tells of a change just stored (on this thread, without the lock).
    void report(TJournalCommand::Type type, qint64 raceId, int seq, bool interruptedOthers);

    QString m_path;
    Reports m_reports;
    mutable QMutex m_mutex;
    QWaitCondition m_work;   // a change was handed over, or the thread should end
    QWaitCondition m_stored; // the queue got shorter
    std::deque<TJournalCommand> m_queue;
    bool m_ending = false;
    std::unique_ptr<QLockFile> m_lock;            // the file is this program's while it is held
    std::unique_ptr<TSqlConnection> m_connection; // the one the thread took the file with
    qint64 m_lastFileRaceId = 0;
    QHash<qint64, qint64> m_fileIds; // negative handed-over id -> the file's race id
};

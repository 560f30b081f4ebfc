#pragma once

#include "JournalCommand.h"

#include <QMutex>
#include <QString>
#include <QThread>
#include <QWaitCondition>

#include <deque>
#include <functional>

// The thread that commits the journal's changes, one transaction each, in the order they were
// handed over, on a connection of its own. Handing over only queues, so the thread that takes
// the keys never waits for the disk. A change that fails stays first in the queue and is tried
// again, so nothing behind it overtakes it and nothing is lost while the disk is full.
class TJournalWriter final : public QThread
{
public:
    struct Reports
    {
        // All three run on the writer thread.
        std::function<void(qint64 raceId, int seq)> stored;
        std::function<void(const QString &message)> failed;
        std::function<void()> recovered;
    };

    TJournalWriter(const QString &path, Reports reports);
    ~TJournalWriter() override;

    void hand(TJournalCommand command);
    // Waits until every change handed over so far is committed; false after timeoutMs.
    bool waitUntilStored(int timeoutMs);
    // Waits like waitUntilStored, then ends the thread; returns how many changes are left.
    int finish(int timeoutMs);
    int pendingCount() const;

    // How long a failed change waits before it is tried again.
    static constexpr int kRetryMs = 1000;

protected:
    void run() override;

private:
    class Session;

    QString m_path;
    Reports m_reports;
    mutable QMutex m_mutex;
    QWaitCondition m_work;   // a change was handed over, or the thread should end
    QWaitCondition m_stored; // the queue got shorter
    std::deque<TJournalCommand> m_queue;
    bool m_ending = false;
};

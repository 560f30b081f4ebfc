#pragma once

#include <QFuture>
#include <QString>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <memory>

class TRaceDayStore;

// The race-day store on a thread of its own: the plan is read and kept, and the results worked
// out from the journal, without holding up the thread that takes the keys (the journal's writer
// may hold the file for a moment). Jobs run one after the other, in the order given, on the one
// thread that owns the store's connection.
class TRaceDayWorker
{
public:
    explicit TRaceDayWorker(const QString &journalPath);
    ~TRaceDayWorker(); // waits for the jobs given

    // Runs job(store) on the store's thread; the store is null without a journal file.
    template <class Job> auto Run(Job job)
    {
        return QtConcurrent::run(&FPool,
                                 [this, job = std::move(job)]() mutable { return job(Store()); });
    }
    // Runs job(store) on the store's thread and waits for its answer. (A future's result() could
    // run a job not yet begun on the waiting thread, beside the store's own.)
    template <class Job> auto RunAndWait(Job job)
    {
        auto future = Run(std::move(job));
        FPool.waitForDone();
        return future.result();
    }
    // Waits for every job given so far (tests, and the window's close).
    void Wait() { FPool.waitForDone(); }

private:
    TRaceDayStore *Store();

    QString FJournalPath;
    QThreadPool FPool;
    std::unique_ptr<TRaceDayStore> FStore; // made and used on FPool's one thread only
    bool FOpened = false;
};

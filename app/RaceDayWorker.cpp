#include "RaceDayWorker.h"

#include "RaceDayStore.h"

TRaceDayWorker::TRaceDayWorker(const QString &journalPath) : FJournalPath(journalPath)
{
    // One thread that never goes away: the store's connection belongs to it.
    FPool.setMaxThreadCount(1);
    FPool.setExpiryTimeout(-1);
}

TRaceDayWorker::~TRaceDayWorker()
{
    // The connection is closed on the thread that opened it. Waiting on the future could run the
    // job on this thread instead, while the store's thread still uses the connection: the pool
    // is waited for, which leaves every job to its thread.
    FPool.start([this] { FStore.reset(); });
    FPool.waitForDone();
}

TRaceDayStore *TRaceDayWorker::Store()
{
    if (!FOpened) {
        FOpened = true;
        if (!FJournalPath.isEmpty())
            FStore = std::make_unique<TRaceDayStore>(FJournalPath);
    }
    return FStore && FStore->isOpen() ? FStore.get() : nullptr;
}

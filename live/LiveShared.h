#pragma once

#include "LiveStandings.h"

#include <QMutex>

#include <atomic>

// The one place where the window's thread leaves the newest standings for the server's thread.
// The lock is held only for a copy of the snapshot (its texts and rows are shared, not copied).
struct TLiveShared
{
    QMutex mutex;
    TLiveStandings latest;
    // Set while a wake-up for the server thread is on its way, so a burst of presses posts one.
    std::atomic<bool> wakeQueued{false};

    void store(const TLiveStandings &standings)
    {
        QMutexLocker lock(&mutex);
        latest = standings;
    }
    TLiveStandings take()
    {
        QMutexLocker lock(&mutex);
        return latest;
    }
};

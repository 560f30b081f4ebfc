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
    // Set by a publish, cleared by the server thread when it takes the snapshot. The server
    // looks for it on a short timer instead of being woken: waking a thread from the window's
    // thread can hand the processor to it right between a key and the repaint.
    std::atomic<bool> changed{false};

    void store(const TLiveStandings &standings)
    {
        {
            QMutexLocker lock(&mutex);
            latest = standings;
        }
        changed.store(true);
    }
    TLiveStandings take()
    {
        QMutexLocker lock(&mutex);
        return latest;
    }
};

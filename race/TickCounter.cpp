#include "TickCounter.h"

#include <ctime>

quint32 TSystemTickCounter::GetTickCount() const
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const quint64 ms = quint64(now.tv_sec) * 1000u + quint64(now.tv_nsec) / 1000000u;
    return quint32(ms); // keeps the low 32 bits: the counter wraps like the system's
}

#include "EventTimeClock.h"

void TEventTimeClock::Observe(quint64 eventTime, quint32 now)
{
    if (eventTime == 0)
        return;
    // Both clocks wrap at 2^32 ms: their difference is taken modulo 2^32.
    const auto difference = qint32(now - quint32(eventTime));
    if (!FCalibrated || difference < FOffset) {
        FOffset = difference;
        FCalibrated = true;
    }
}

quint32 TEventTimeClock::Stamp(quint64 eventTime, quint32 now)
{
    Observe(eventTime, now);
    if (eventTime == 0)
        return now;
    const quint32 stamp = quint32(eventTime) + quint32(FOffset);
    const auto delay = qint32(now - stamp);
    if (delay < 0 || quint32(delay) > kMaxDelayMs) {
        // The window system's clock jumped: start again from this event.
        FOffset = qint32(now - quint32(eventTime));
        return now;
    }
    return stamp;
}

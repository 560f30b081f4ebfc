#pragma once

#include <QtGlobal>

// Turns the window system's time stamp of an input event into a tick stamp, so a press counts
// from when its key event arrived, not from when a busy program got round to handling it.
//
// The window system's clock is a millisecond counter with an unknown offset to the tick counter
// (under X11 on the same machine usually none). Every input event tells how long at least it
// took to be handled: the smallest difference ever seen between the tick counter at handling and
// the event's time is taken as the offset. An event without a time stamp, or one that would lie
// in the future or implausibly far back, is stamped with the tick counter as it is handled.
class TEventTimeClock
{
public:
    // An event older than this is not believed: the window system's clock was reset.
    static constexpr quint32 kMaxDelayMs = 10000;

    // Takes one more event into the offset (every input event may be offered).
    void Observe(quint64 eventTime, quint32 now);
    // The tick stamp of an event handled at now.
    quint32 Stamp(quint64 eventTime, quint32 now);
    bool Calibrated() const { return FCalibrated; }

private:
    bool FCalibrated = false;
    qint32 FOffset = 0; // tick counter minus window system time, the smallest seen
};

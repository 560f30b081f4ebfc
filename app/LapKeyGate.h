#pragma once

#include "RaceTables.h"

#include <QtGlobal>

// Tells the operator's real presses of a lap key from the keyboard's auto-repeat, so a held key
// is one press and one lap. A key counts again only after it was released.
//
// Auto-repeat does not always say so: under X11 a held key arrives as release/press pairs that
// are mostly not flagged as repeats, but the pair's two events carry the same server time
// stamp, which a real release followed by a real press never does. Keyboards with detectable
// auto-repeat send presses without releases instead; both are repeats here.
class TLapKeyGate
{
public:
    // A release can be lost (the keyboard went to another program while the key was down).
    // A key that has sent nothing for this long is taken as released, so no real press is
    // refused for more than this time; every keyboard repeats much faster than this.
    static constexpr quint32 kLostReleaseMs = 1500;

    // A press of car's key. eventStamp: the window system's time stamp of the event (0 when
    // there is none); autoRepeat: whether the event says it is a repeat; now: the tick counter.
    // Returns whether the press is a new one that counts.
    bool Press(int car, quint64 eventStamp, bool autoRepeat, quint32 now);
    // A release of car's key; releases flagged as auto-repeat do not end the press.
    void Release(int car, quint64 eventStamp, bool autoRepeat, quint32 now);
    // Forgets every held key (the program lost the keyboard, so releases may never come).
    void ReleaseAll();
    bool Held(int car) const { return valid(car) && FHeld[car]; }

private:
    static bool valid(int car) { return car >= 1 && car <= kMaxCars; }

    bool FHeld[kMaxCars + 1] = {};
    quint64 FReleaseStamp[kMaxCars + 1] = {};
    quint32 FLastEvent[kMaxCars + 1] = {};
};

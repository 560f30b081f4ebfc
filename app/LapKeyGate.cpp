#include "LapKeyGate.h"

bool TLapKeyGate::Press(int car, quint64 eventStamp, bool autoRepeat, quint32 now)
{
    if (!valid(car))
        return false;
    const bool releaseLost = FHeld[car] && now - FLastEvent[car] >= kLostReleaseMs;
    FLastEvent[car] = now;
    if (releaseLost) {
        FHeld[car] = true;
        return true;
    }
    const bool repeatPair = eventStamp != 0 && eventStamp == FReleaseStamp[car];
    const bool isNew = !FHeld[car] && !autoRepeat && !repeatPair;
    FHeld[car] = true;
    return isNew;
}

void TLapKeyGate::Release(int car, quint64 eventStamp, bool autoRepeat, quint32 now)
{
    if (!valid(car))
        return;
    FLastEvent[car] = now;
    if (autoRepeat)
        return;
    FHeld[car] = false;
    FReleaseStamp[car] = eventStamp;
}

void TLapKeyGate::ReleaseAll()
{
    for (bool &held : FHeld)
        held = false;
}

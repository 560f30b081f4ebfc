#pragma once

#include "TickCounter.h"

// A tick counter that stands still until the test moves it, so races run on a clock set by hand
// (also just below 2^32, to cross the wrap).
class TManualTickCounter final : public TTickCounter
{
public:
    explicit TManualTickCounter(quint32 now = 0) : FNow(now) {}
    quint32 GetTickCount() const override { return FNow; }
    void Set(quint32 now) { FNow = now; }
    void Advance(quint32 ms) { FNow += ms; }

private:
    quint32 FNow;
};

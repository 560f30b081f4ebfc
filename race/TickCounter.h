#pragma once

#include <QtGlobal>

// The millisecond tick counter that stamps every lap key press: an unsigned 32-bit count that
// wraps to zero after about 49.7 days. Durations are differences of stamps modulo 2^32.
// The race timing reads it only through this interface, so tests can set the time by hand.
class TTickCounter
{
public:
    virtual ~TTickCounter() = default;
    virtual quint32 GetTickCount() const = 0;
};

// Reads the system's monotonic clock; never jumps with the wall clock.
class TSystemTickCounter final : public TTickCounter
{
public:
    quint32 GetTickCount() const override;
};

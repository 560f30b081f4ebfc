#pragma once

#include "EventTimeClock.h"
#include "LapKeyGate.h"
#include "TickCounter.h"

#include <QObject>

#include <functional>

// Takes the lap keys F1 to F12 (without modifiers) for the whole program, before any window,
// question or shortcut sees them: a lap key is a press for the race whichever window has the
// keyboard, and never types into a field or starts editing a cell. Installed on the
// application while it lives; only new presses (not auto-repeat) reach OnLapPress.
class TLapKeyFilter : public QObject
{
public:
    explicit TLapKeyFilter(const TTickCounter &ticks, QObject *parent = nullptr);
    ~TLapKeyFilter() override;

    // Called with the car number (1 to 12) of each new press of its lap key, and the tick stamp
    // of the moment its key event arrived.
    std::function<void(int car, quint32 stamp)> OnLapPress;

    // The car of a lap key event: F1 to F12 without Shift, Ctrl, Alt or Meta (with any of them
    // when anyModifiers); 0 otherwise.
    static int LapKeyCar(const QEvent *event, bool anyModifiers = false);

    const TLapKeyGate &Gate() const { return FGate; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    const TTickCounter &FTicks;
    TLapKeyGate FGate;
    TEventTimeClock FEventTime;
};

#pragma once

#include "EventTimeClock.h"
#include "LapKeyGate.h"
#include "TickCounter.h"

#include <QObject>

#include <functional>

// Takes the lap keys F1 to F12, with or without modifiers, for the whole program, before any
// window, question or shortcut sees them: a lap key is a press for the race whichever window
// has the keyboard, and never types into a field or starts editing a cell. Installed on the
// application while it lives; only new presses (not auto-repeat) reach OnLapKey.
class TLapKeyFilter : public QObject
{
public:
    // What a lap key asks for, by the modifier held with it.
    enum class TKind {
        Press, // plain, or with Alt or Meta held: a lap press, under the key lock
        Now,   // Shift: a crossing of the car now, counted even within the key lock
        Find,  // Ctrl: the car's latest crossing in the pass log (again: the one before)
    };

    explicit TLapKeyFilter(const TTickCounter &ticks, QObject *parent = nullptr);
    ~TLapKeyFilter() override;

    // Called with the car number (1 to 12) of each new press of its lap key, the tick stamp of
    // the moment its key event arrived, and what the press asks for.
    std::function<void(int car, quint32 stamp, TKind kind)> OnLapKey;

    // The car of a lap key event, F1 to F12 with any modifiers; 0 otherwise.
    static int LapKeyCar(const QEvent *event);
    // What a lap key event asks for, by its modifiers.
    static TKind LapKeyKind(const QEvent *event);
    // A widget with this property set picks a car by its plain lap key (the car field of a
    // correction): such a key sent to it goes to it and is no press.
    static constexpr char kPicksCarProperty[] = "picksCarByLapKey";

    const TLapKeyGate &Gate() const { return FGate; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    const TTickCounter &FTicks;
    TLapKeyGate FGate;
    TEventTimeClock FEventTime;
};

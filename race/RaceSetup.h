#pragma once

#include "RaceEvent.h"

#include <QList>
#include <QString>

// Everything START fixes about a race: the header's settings and the starters of the standings
// rows in their order. It is what a race's START event records, so a race rebuilt from its
// events starts exactly as it did live.
struct TRaceSetup
{
    struct TStarter
    {
        QString number; // "Nr."
        QString driver; // "Fahrer"
        bool operator==(const TStarter &) const = default;
    };

    QString title;
    QString session; // "Rennen" or "Training"
    int cars = 0;
    int laps = 0;
    double lapLengthKm = 0;
    qint32 raceSeconds = 0;
    QString warnTime;         // "mm:ss"
    quint32 minLapMs = 0;     // the minimum lap guard ("Mindestrunde"); 0: off
    int finishRule = 0;       // how the race ends (TRaceTiming::TFinishRule); 0: every lap
    int accuracy = -1;        // digits after the seconds the station shows; -1: not recorded
    QList<TStarter> starters; // one per standings row, top to bottom

    bool operator==(const TRaceSetup &) const = default;

    // The START event of this setup at tick stamp startTick and wall-clock time wallMs.
    TRaceEvent StartEvent(quint32 startTick, qint64 wallMs) const;
    // The setup a START event recorded.
    static TRaceSetup FromStartEvent(const TRaceEvent &start);
};

// The recorded press of car at stamp, in a race started at startTick; locked: it came while
// the car's key was locked after its previous press, so it does not count unless confirmed;
// late: the operator recorded the crossing a moment after it happened (Shift with the key), so
// the laps on either side of it are not trusted as best laps until it is confirmed.
TRaceEvent PressEvent(int car, quint32 stamp, quint32 startTick, qint64 wallMs, bool locked = false,
                      bool late = false);
// Whether a press event came within the key lock.
bool PressLocked(const TRaceEvent &press);
// Whether a press or an inserted crossing was recorded late ("now" rather than when it crossed).
bool CrossingLate(const TRaceEvent &event);
// Marks a press or an inserted crossing as recorded late.
void MarkLate(TRaceEvent &event);
// The race time in ms that a press event recorded.
quint32 PressRaceMs(const TRaceEvent &press);

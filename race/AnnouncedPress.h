#pragma once

#include <QString>

// What is said for one accepted press.
struct TAnnouncedPress
{
    QString startNumber;        // as typed into the standings; may be empty or not a number
    int car = 0;                // 1..12, the key F1..F12
    int lap = 0;                // the lap just completed
    qint64 lapMs = 0;           // its duration
    bool lastLapBegins = false; // the leader has just started the last lap
    bool finished = false;      // the car has completed the race distance
};

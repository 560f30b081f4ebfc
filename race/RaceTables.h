#pragma once

#include <QtGlobal>

// Sizes of the race tables. Every table is indexed from 1 (car 1 to 12, lap 1 to 999, grid row 1
// to 12) as the race arithmetic counts; index 0 of the per-car tables is unused, entry 0 of
// LapTable is the leader record.
inline constexpr int kMaxCars = 12;  // one F key per car, and 4 bits of car in a ranking word
inline constexpr int kMaxLaps = 999; // the most laps the laps field accepts: no distance refused

// Best lap of a car that has not completed a lap yet.
inline constexpr qint32 kNoBestLap = 0x7FFFFFFF;

// One entry of LapTable.
struct TLapRecord
{
    // The car's shortest completed lap in ms; kNoBestLap until its first lap.
    qint32 Best;
    // Laps completed, 0 to kMaxLaps. In the leader record: the highest lap count any car reached.
    qint32 Count;
    // For a car: Slot[1..Count] the duration of each completed lap in ms; Slot[Count + 1] the tick
    // stamp (as a 32-bit word) at which the running lap began; higher slots 0.
    // In the leader record: Slot[k] for k <= Count the tick stamp at which the first car to
    // complete lap k completed it.
    qint32 Slot[kMaxLaps + 2];
};

// One entry of CrossTable: Slot[k] is the race time in ms (recording stamp minus StartTick) at
// which the car completed lap k; 0 for laps not yet completed.
struct TCrossRecord
{
    qint32 Slot[kMaxLaps + 1];
};

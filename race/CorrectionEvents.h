#pragma once

#include "CarVerdict.h"
#include "RaceEvent.h"
#include "RaceSetup.h"

// The journal events of the correction desk, made and read here so the payload keys live in one
// place. A crossing is named by its id: the seq of the press event that made it, or of the
// InsertCrossing event that added it. It keeps that id through moves and edits, so a correction
// of a corrected crossing still names the same crossing. `tick` and `wallMs` are the moment the
// operator made the correction; `car` is the car the crossing belongs to after it.
namespace CorrectionEvents {

TRaceEvent Delete(int crossing, int car, quint32 tick, qint64 wallMs);
TRaceEvent Insert(int car, quint32 raceMs, quint32 tick, qint64 wallMs);
TRaceEvent Move(int crossing, int toCar, quint32 tick, qint64 wallMs);
TRaceEvent Edit(int crossing, int car, quint32 raceMs, quint32 tick, qint64 wallMs);
TRaceEvent Confirm(int crossing, int car, quint32 tick, qint64 wallMs);
// Sets the classification verdict of a car (status, penalty, laps off).
TRaceEvent Verdict(int car, const TCarVerdict &verdict, quint32 tick, qint64 wallMs);
TCarVerdict VerdictOf(const TRaceEvent &event);
// The start number and driver of the standings row that stood in row `origin` at START.
TRaceEvent StarterEdit(int origin, const TRaceSetup::TStarter &starter, quint32 tick,
                       qint64 wallMs);
int StarterOrigin(const TRaceEvent &event);
TRaceSetup::TStarter StarterOf(const TRaceEvent &event);
// Takes back the press or correction with seq `action`.
TRaceEvent Undo(int action, quint32 tick, qint64 wallMs);
// Reverses the Undo event with seq `undo`.
TRaceEvent Redo(int undo, quint32 tick, qint64 wallMs);

// The crossing, action or undo an event names; 0 when it names none.
int Target(const TRaceEvent &event);
// The race time in ms an InsertCrossing or EditCrossing sets (the same key as a press).
quint32 RaceMs(const TRaceEvent &event);
// The minimum lap of the guard ("Mindestrunde", ms, 0: off) a START records, so a race replays
// with the guard it ran with whatever the setting says later.
void SetMinLapMs(TRaceEvent &start, quint32 ms);
// The minimum lap a START recorded; -1 when it recorded none.
qint64 MinLapMs(const TRaceEvent &start);
// Whether the event is one of the corrections or undo/redo.
bool IsCorrection(TRaceEvent::Kind kind);

} // namespace CorrectionEvents

#pragma once

#include "AudienceStandings.h"
#include "RaceDay.h"

// The heats of a day in the order they are run: per round as planned, the qualifying heats in
// order, the finals from the lowest up to the A final (a bump-up needs the lower final first).
QList<int> HeatsInRunningOrder(const TRaceDay &day);

// Every heat of the day with its label and "fertig" (timed), "läuft" (runningHeatId, the heat
// the main window times now) or "offen".
QList<TLiveHeat> DaySchedule(const TRaceDay &day, int runningHeatId);

// The heat to run after currentHeatId (0: the first): the next one in running order that has not
// been timed; 0 when none is left.
int NextHeat(const TRaceDay &day, int currentHeatId);

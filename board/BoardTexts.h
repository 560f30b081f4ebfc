#pragma once

#include "LiveStandings.h"

#include <QString>

// The line under the title: how far the leader still has to go, or what the race is doing.
// "Noch 5 Runden", "Letzte Runde", "Ziel" while it runs; "Endergebnis" once it has ended.
QString RaceProgressText(TLiveState state, int lapsToGo);

// "1." for a ranked car, "–" for a car without a completed lap.
QString PositionText(int position);

#pragma once

#include "RaceCorrections.h"
#include "RaceTiming.h"

// Applies the counted crossings of a race to its tables after StartRaceAt, as ApplyPress one by
// one would, but fast enough to redo after every correction of a long race: the standings are
// left out while the tables take the crossings, and only each car's last recorded lap goes
// through them, which leaves every text as the presses one by one would.
void ApplyPasses(TRaceTiming &race, const QList<TRaceCorrections::TPass> &passes);

#pragma once

#include "RaceDay.h"
#include "StarterListCollector.h"

// The entrants of a race day from a starter list as the readers give it. Column A is the start
// number, B the driver, C the class. A first row that names a column "Klasse" is a title row:
// then its titles say where number ("Nr", "Nr.", "Startnummer"), driver ("Fahrer", "Name") and
// class stand, and it is no entrant. Rows without number and driver are left out. Ids follow
// firstId on.
QList<TEntrant> EntrantsFromStarterList(const StarterList &rows, int firstId = 1);

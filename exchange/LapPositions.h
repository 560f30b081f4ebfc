#pragma once

#include "ResultsSnapshot.h"

#include <QList>

// The place of every car after each of its laps: for row i of the snapshot, entry k - 1 is
// its position after lap k among the cars that completed lap k, ranked by their race times
// at that lap (equal times in standings order). One entry per completed lap.
QList<QList<int>> LapPositions(const TResultsSnapshot &snapshot);

// The most laps any car has completed: the length of the lap axis of the charts.
int MostLaps(const TResultsSnapshot &snapshot);

// How a car is named in legends and series: "Nr. 7 Jörg", the driver or the number alone
// when the other is missing, the lap key ("F3") when both are.
QString CarLabel(const TResultsRow &row);

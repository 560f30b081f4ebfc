#pragma once

#include "ResultsSnapshot.h"

// Small races shared by the results tests.
namespace ResultsSamples {

// Three cars after three laps of the leader; the car in row 3 has only completed lap 1; the
// car in row 2 has no start number; the totals run over an hour; the title holds "<" and "&".
TResultsSnapshot threeCars();
// One car after one lap, shown in hundredths.
TResultsSnapshot oneCar();
// Texts that need care in every format: markup, quotes, separators, a line break, umlauts
// and a text that a spreadsheet would take for a formula. Two cars, the second a lap behind.
TResultsSnapshot oddTexts();
// Twelve cars, fifty laps each, with lap times that make the positions change.
TResultsSnapshot twelveCarsFiftyLaps();
// Three cars before anyone has completed a lap.
TResultsSnapshot noLaps();
// Five cars after the chequered flag of a three-lap race: F2 wins in 10.2 s; F1 ran 9.0 s
// but is placed second by a 2 s penalty; F3 is a lap down; F4 retired after its first lap
// (3.5 s); F5 did not start.
TResultsSnapshot flagWithVerdicts();

// Each row's place after each of its laps, worked out by counting the cars that completed the
// lap earlier (or at the same time from a row above).
QList<QList<double>> expectedPlaces(const TResultsSnapshot &s);

TResultsRow row(int car, const QString &startNo, const QString &driver, const QList<qint32> &laps);

} // namespace ResultsSamples

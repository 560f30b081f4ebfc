#pragma once

#include "ResultsSnapshot.h"

#include <QByteArray>

// The results as CSV files for spreadsheet programs: UTF-8 with a byte order mark, CRLF line
// ends, a German header line, ';' as separator where the default locale writes decimal
// commas and ',' elsewhere. Times are long time texts (hh:mm:ss with the snapshot's
// digits), and again in seconds as numbers in the last columns (CsvSeconds); texts typed by
// the user cannot start a formula.

// Every recorded crossing (time of day, car, lap, race and lap time, note) when the snapshot
// holds them, as the pass log lists them; else the counted laps of the rows in race-time order
// (the same moment in standings order): car key, start number, driver, lap, race time, lap time.
// Then the race and lap time in seconds.
QByteArray CrossingsCsv(const TResultsSnapshot &snapshot);

// The classification in standings order: position, car key, start number, driver, laps,
// total time, best lap, gap to the leader; then the place as the other exports write it
// ("2. (+10 s)", "DNF"), and the total, the best lap and a gap in time in seconds.
QByteArray ResultsCsv(const TResultsSnapshot &snapshot);

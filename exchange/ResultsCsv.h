#pragma once

#include "ResultsSnapshot.h"

#include <QByteArray>

// The results as CSV files for spreadsheet programs: UTF-8 with a byte order mark, CRLF line
// ends, a German header line, ';' as separator where the default locale writes decimal
// commas and ',' elsewhere. Times are long time texts (hh:mm:ss with the snapshot's
// digits); texts typed by the user cannot start a formula.

// Every crossing of the line, one per line, in the order of their race times (crossings at
// the same moment in standings order): car key, start number, driver, lap, race time, lap
// time.
QByteArray CrossingsCsv(const TResultsSnapshot &snapshot);

// The classification in standings order: position, car key, start number, driver, laps,
// total time, best lap, gap to the leader.
QByteArray ResultsCsv(const TResultsSnapshot &snapshot);

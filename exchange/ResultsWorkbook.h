#pragma once

#include "ResultsSnapshot.h"

#include <QStringList>

class TExcel;

// The rows of the results workbook as comma-separated lines, one line per sheet row: the
// heading block (race, laps and distance, kind of run, date), then the table with the cars
// as columns in standings order: positions, start numbers, drivers, one row per lap of the
// leader and the totals. Every value that may hold blanks, commas or quotes is quoted, so
// that SplitFields puts it into one cell.
QStringList ResultsWorkbookLines(const TResultsSnapshot &snapshot);

// Starts a new sheet "Ergebnis" in excel and writes the lines into it, each split into
// Fields, then fits the columns; a race with corrections gets a sheet "Korrekturen" after it.
// Both print on A4 fitted to the page width, the car headings (or the column titles) again
// on every page. Stops at the first row that cannot be written and returns false; the rows
// written so far stay.
bool WriteResultsWorkbook(TExcel &excel, const TResultsSnapshot &snapshot);

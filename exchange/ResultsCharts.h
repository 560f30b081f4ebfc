#pragma once

#include "ResultsSnapshot.h"

class TExcel;

// Adds two sheets after those already in the workbook: "Diagramme" with a line chart of each
// car's place after every lap and one of its lap times, and "Daten" with the numbers the
// charts draw (places; lap times in seconds), which the charts reference by the sheet's name.
// Before the first completed lap "Diagramme" says so and holds no chart. On A4 each chart
// prints whole on a page of its own, across; the data fit the page width. False, with
// excel.errorString(), at the first part that cannot be written.
bool WriteResultsCharts(TExcel &excel, const TResultsSnapshot &snapshot);

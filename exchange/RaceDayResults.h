#pragma once

#include "ExportTables.h"
#include "ExportWriter.h"
#include "RaceDayOutcome.h"

class TExcel;

// What the race day's results show: the plan (name, date, entrants, the class rules) and what
// its heats gave.
struct TRaceDayExport
{
    TRaceDay day;
    TRaceDayOutcome outcome;
    int acc = 2;     // digits after the seconds in times, as the race settings say
    QString creator; // the program, named in small print; may be empty
};

// Per class, in the outcome's order: the qualifying table (laps and total time, or best lap,
// as the class rules rank; the place sum when the best two rounds are added), every final
// (A first) with place, number, driver, laps, total, best lap and status, or its starting
// order before it has run, and the class result with the points and their bonus part.
TExportDocument RaceDayDocument(const TRaceDayExport &results);

// When the fastest-lap bonus went to the first of drivers whose fastest lap shows the same
// time: "Schnellste Runde im A-Finale: 12 Anna und 7 Ben fuhren beide 0:20.00; den Bonus
// bekommt 12 Anna, die Zeit zuerst gefahren." Empty otherwise.
QString FastestLapTieNote(const TRaceDay &day, const TClassOutcome &outcome, int acc);

// The results as one self-contained HTML page (UTF-8).
class TRaceDayPageWriter : public TExportWriter<TRaceDayExport>
{
public:
    TRaceDayPageWriter() : TExportWriter(&page) {}
    static QByteArray page(const TRaceDayExport &results);
};

// The results as a PDF on A4 pages, each class starting a page. Needs a running
// QGuiApplication for its fonts; may run on a worker thread.
class TRaceDayPdfWriter : public TExportWriter<TRaceDayExport>
{
public:
    TRaceDayPdfWriter() : TExportWriter(&pdf) {}
    static QByteArray pdf(const TRaceDayExport &results);
};

// Starts a new workbook in excel with a sheet per class, named after the class. Stops at the
// first cell that cannot be written and returns false, with excel.errorString().
bool WriteRaceDayWorkbook(TExcel &excel, const TRaceDayExport &results);

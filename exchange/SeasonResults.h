#pragma once

#include "ExportTables.h"
#include "ExportWriter.h"
#include "RaceDay.h"

class TExcel;

// One class's season table: the days SeasonDays gave for the class (a day without the class
// is left out, so classes may have different days; only the days' names and dates are used)
// and the lines SeasonTable made from them.
struct TSeasonExportClass
{
    QString className;
    QList<TSeasonDay> days; // in the order of each line's dayPoints
    QList<TSeasonLine> lines;
};

struct TSeasonExport
{
    QString name;   // "Meisterschaft 2026"
    int bestOf = 0; // 0: every day counts; N: the best N days count
    QList<TSeasonExportClass> classes;
    QString creator; // the program, named in small print; may be empty
};

// Per class: place, number, driver, each day's points (a dropped result in brackets, a day
// away left empty) and the total that counts.
// paper: for the PDF, where a season of many days numbers its day columns.
TExportDocument SeasonDocument(const TSeasonExport &season, bool paper = false);

// The season table as one self-contained HTML page (UTF-8).
class TSeasonPageWriter : public TExportWriter<TSeasonExport>
{
public:
    TSeasonPageWriter() : TExportWriter(&page) {}
    static QByteArray page(const TSeasonExport &season);
};

// The season table as a PDF on A4 pages, each class starting a page. Needs a running
// QGuiApplication for its fonts; may run on a worker thread.
class TSeasonPdfWriter : public TExportWriter<TSeasonExport>
{
public:
    TSeasonPdfWriter() : TExportWriter(&pdf) {}
    static QByteArray pdf(const TSeasonExport &season);
};

// Starts a new workbook in excel with a sheet per class; a dropped result is a number shown
// in brackets. False, with excel.errorString(), at the first cell that cannot be written.
bool WriteSeasonWorkbook(TExcel &excel, const TSeasonExport &season);

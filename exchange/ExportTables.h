#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Results laid out once as titled tables, so the page, the workbook and the PDF of the race
// day and of the season show the same thing. Every text is plain: each output escapes it.

// One cell: the text the page and the PDF show, and the number the workbook stores instead,
// shown there in numberFormat ("0", "[hh]:mm:ss.00"; empty: the spreadsheet's default).
struct TExportCell
{
    QString text;
    std::optional<double> number;
    QString numberFormat;
};

struct TExportTable
{
    QString title;          // "Qualifikation", "A-Finale"
    QStringList headings;   // one per column; a line break splits a heading over two lines
    QList<int> textColumns; // 0-based columns of names, aligned left; the rest align right
    QList<QList<TExportCell>> rows;
    QStringList notes; // below the table: what a mark means, why it is empty
    // On paper every row is one line: no cell wraps, so no name is cut and no row split.
    bool oneLineRows = false;
};

// One class: its own page in the PDF, its own sheet in the workbook.
struct TExportSection
{
    QString title;     // "Klasse A"
    QString sheetName; // wished-for sheet name, made valid by ExcelSheetNames
    QList<TExportTable> tables;
};

struct TExportDocument
{
    QString title;    // the race day's or the season's name
    QString subtitle; // "Veranstaltung, 12.04.2026"
    QString creator;  // the program, named in small print at the end; may be empty
    QList<TExportSection> sections;
};

// ---- cells -----------------------------------------------------------------------------

TExportCell TextCell(const QString &text);
// A count (laps, points) as a number; empty text and no number when blank is set.
TExportCell CountCell(int value, bool blank = false);
// "3." for the page, 3 for the workbook; an empty cell for 0 (no place).
TExportCell PlaceCell(int place);
// A start number: a number in the workbook when it is a plain whole number ("7", not "07").
TExportCell StartNumberCell(const QString &number);
// A duration as LongTimeText shows it with acc digits, and in the workbook the same value as
// a time; an empty cell for 0 ms (no lap).
TExportCell TimeCell(qint32 ms, int acc);

// Sheet names for the wished-for names in order: at most 31 characters, without []:*?/\ and
// control characters, not starting or ending with an apostrophe, not empty, and different from
// each other as spreadsheets compare them (case ignored); a repeated name gets " (2)", " (3)".
QStringList ExcelSheetNames(const QStringList &wished);

#pragma once

#include "ResultsSnapshot.h"

#include <memory>

class QPagedPaintDevice;
class QTextDocument;

// The results as a printable document: race title, kind of run, date, laps and distance,
// the classification (position, number, driver, laps, total time, best lap, gap) and the lap
// times with the cars as columns, at most six cars side by side so the table fits a portrait
// page; more cars continue in a second table. Needs a running QGuiApplication for its fonts.
std::unique_ptr<QTextDocument> ResultsDocument(const TResultsSnapshot &snapshot);

// A document of the given HTML in the type every printed result uses, titled for the PDF's
// properties.
std::unique_ptr<QTextDocument> PrintTextDocument(const QString &title, const QString &html);

// Lays the results out on the pages of the device (a PDF writer, or a printer set up by the
// desktop's print dialog), with page numbers.
void printResults(QPagedPaintDevice &device, const TResultsSnapshot &snapshot);

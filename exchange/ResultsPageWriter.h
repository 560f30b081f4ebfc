#pragma once

#include "DocumentWriter.h"
#include "ResultsSnapshot.h"

#include <QByteArray>
#include <QString>

class QIODevice;

// Writes the results as one HTML page ("Zeitenprotokoll"): the race heading and a table with
// the cars as columns in standings order and the leader's laps as rows. The page is ISO 8859-1
// text with CRLF line ends; texts taken from the window are HTML-escaped, and characters that
// ISO 8859-1 cannot hold become numeric character references.
class TResultsPageWriter : public TDocumentWriter
{
public:
    TResultsPageWriter() : TDocumentWriter(&page) {}

    // The page as bytes, exactly as written to the file.
    static QByteArray page(const TResultsSnapshot &snapshot);

    // The page's file name: the executable's file name without its folder, with its extension
    // replaced by ".html", so the page lands in the working directory.
    static QString fileNameFor(const QString &executablePath);
};

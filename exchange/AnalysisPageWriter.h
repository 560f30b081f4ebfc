#pragma once

#include "DocumentWriter.h"
#include "ResultsSnapshot.h"

#include <QByteArray>
#include <QString>

class QIODevice;

// Writes the race analysis as one self-contained UTF-8 page, with no scripts and nothing
// loaded from elsewhere: a lap chart (each car's position after each lap) and a plot of the
// lap times, both as inline SVG with a legend, each followed by a table of the plotted data.
// Every polyline carries its car in data-car and its plotted values in data-values, so the
// drawing can be checked against the data. The page is also well-formed XML.
class TAnalysisPageWriter : public TDocumentWriter
{
public:
    TAnalysisPageWriter() : TDocumentWriter(&page) {}

    static constexpr const char *kFileName = "Talvenbahn-Analyse.html";

    static QByteArray page(const TResultsSnapshot &snapshot);

    // The analysis page's name in the folder of the results page.
    static QString fileNameBeside(const QString &resultsPageFileName);
};

#pragma once

#include "ResultsSnapshot.h"

#include <QByteArray>
#include <QString>

class QIODevice;

// Writes the race analysis as one self-contained UTF-8 page, with no scripts and nothing
// loaded from elsewhere: a lap chart (each car's position after each lap) and a plot of the
// lap times, both as inline SVG with a legend, each followed by a table of the plotted data.
// Every polyline carries its car in data-car and its plotted values in data-values, so the
// drawing can be checked against the data. The page is also well-formed XML.
class TAnalysisPageWriter
{
public:
    static constexpr const char *kFileName = "Talvenbahn-Analyse.html";

    static QByteArray page(const TResultsSnapshot &snapshot);

    // Writes the page to an open device; false, with errorString(), if a write fails.
    bool write(QIODevice &device, const TResultsSnapshot &snapshot);
    // Writes the page to fileName all or nothing, like the results page.
    bool writeFile(const QString &fileName, const TResultsSnapshot &snapshot);

    QString errorString() const { return m_errorString; }
    bool createFailed() const { return m_createFailed; }

    // The analysis page's name in the folder of the results page.
    static QString fileNameBeside(const QString &resultsPageFileName);

private:
    QString m_errorString;
    bool m_createFailed = false;
};

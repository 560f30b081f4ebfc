#pragma once

#include "ResultsSnapshot.h"

#include <QByteArray>
#include <QString>

class QIODevice;

// Writes the results as one HTML page ("Zeitenprotokoll"): the race heading and a table with
// the cars as columns in standings order and the leader's laps as rows. The page is ISO 8859-1
// text with CRLF line ends; texts taken from the window are HTML-escaped, and characters that
// ISO 8859-1 cannot hold become numeric character references.
class TResultsPageWriter
{
public:
    // The page as bytes, exactly as written to the file.
    static QByteArray page(const TResultsSnapshot &snapshot);

    // Writes the page to an open device; false, with errorString(), if a write fails.
    bool write(QIODevice &device, const TResultsSnapshot &snapshot);
    // Writes the page to fileName, all or nothing: on failure an earlier page stays as it was,
    // no partial file is left, errorString() says why and createFailed() tells whether the
    // page could not even be begun. A symbolic link at fileName is replaced, never followed.
    bool writeFile(const QString &fileName, const TResultsSnapshot &snapshot);

    QString errorString() const { return m_errorString; }
    bool createFailed() const { return m_createFailed; }

    // The page's file name: the executable's file name without its folder, with its extension
    // replaced by ".html", so the page lands in the working directory.
    static QString fileNameFor(const QString &executablePath);

private:
    QString m_errorString;
    bool m_createFailed = false;
};

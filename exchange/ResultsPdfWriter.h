#pragma once

#include "ResultsSnapshot.h"

#include <QByteArray>
#include <QString>

class QIODevice;

// Writes the printable results (see ResultsDocument) as a PDF file on A4 pages. Needs a
// running QGuiApplication for its fonts.
class TResultsPdfWriter
{
public:
    static QByteArray pdf(const TResultsSnapshot &snapshot);

    // Writes the PDF to an open device; false, with errorString(), if a write fails.
    bool write(QIODevice &device, const TResultsSnapshot &snapshot);
    // Writes the PDF to fileName all or nothing, like the results page.
    bool writeFile(const QString &fileName, const TResultsSnapshot &snapshot);

    QString errorString() const { return m_errorString; }
    bool createFailed() const { return m_createFailed; }

private:
    QString m_errorString;
    bool m_createFailed = false;
};

#pragma once

#include "DocumentWriter.h"
#include "ResultsSnapshot.h"

#include <QByteArray>
#include <QString>

class QIODevice;

// Writes the printable results (see ResultsDocument) as a PDF file on A4 pages. Needs a
// running QGuiApplication for its fonts.
class TResultsPdfWriter : public TDocumentWriter
{
public:
    TResultsPdfWriter() : TDocumentWriter(&pdf) {}

    static QByteArray pdf(const TResultsSnapshot &snapshot);
};

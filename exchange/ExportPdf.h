#pragma once

#include "ExportTables.h"

#include <QByteArray>

#include <memory>

class QPagedPaintDevice;
class QTextDocument;

// The document laid out for paper, as the results PDF is: its heading, then each section on a
// page of its own with its tables and notes. Needs a running QGuiApplication for its fonts.
std::unique_ptr<QTextDocument> ExportTextDocument(const TExportDocument &document);

// The document as a PDF on A4 portrait pages; landscape when a table has too many columns
// to stay readable upright.
QByteArray ExportPdf(const TExportDocument &document);

// Lays the document out on the pages of a device (a printer set up by the print dialog).
void PrintExportDocument(QPagedPaintDevice &device, const TExportDocument &document);

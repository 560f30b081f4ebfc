#pragma once

#include "ExportTables.h"

#include <QByteArray>

// The document as one self-contained HTML page in UTF-8: its heading, then per section a
// heading and its tables with their notes. Every text is escaped, so a name from a starter
// list cannot change the page around it.
QByteArray ExportPage(const TExportDocument &document);

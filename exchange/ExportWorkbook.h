#pragma once

#include "ExportTables.h"

class TExcel;

// Starts a new workbook in excel with a sheet per section (named by ExcelSheetNames from the
// sections' sheet names): the document's heading, then the tables one below the other, each
// with its title, headings, rows and notes. Texts are written as texts, never as formulas;
// cells with a number hold the number. Each sheet prints on A4 fitted to the page width.
// False, with excel.errorString(), at the first cell that cannot be written.
bool WriteExportWorkbook(TExcel &excel, const TExportDocument &document);

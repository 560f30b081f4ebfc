#pragma once

#include "ExcelChart.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

struct lxw_format;
struct lxw_workbook;
struct lxw_worksheet;

// Writes rows of text cells into a new spreadsheet workbook file and hands the saved file to
// the desktop's opener when it is freed, so the user sees the workbook as soon as the export
// is done. Each export gets a file of its own, named after the program and the local time,
// so nothing of an earlier export is overwritten.
class TExcel : public QObject
{
    Q_OBJECT
public:
    explicit TExcel(QObject *owner = nullptr);
    // Saves the workbook, if one was made, and opens it.
    ~TExcel() override;

    // Reserves a new workbook file in Folder(); false if none can be created.
    bool Connect();
    // Starts an empty sheet, named sheetName when one is given, else by the spreadsheet's
    // default; the next WriteLine fills row 1.
    void NewWorkbook(const QString &sheetName = {});
    // Puts Fields into the cells of row `line` (or column `line` when not Horizontal), as
    // text, then moves on to the next line, also for an empty list. False, with
    // errorString(), if a cell could not be written.
    bool WriteLine();
    // Sets every column's width from the longest text written into it.
    void AutoFitColumns();
    // Sets the width of the 1-based columns first to last, in characters, whatever they hold.
    void SetColumnWidth(int first, int last, double characters);
    // Adds a sheet named `name` after the sheets made so far and makes it the one that
    // WriteLine, WriteNumber, InsertLineChart and AutoFitColumns fill; the next WriteLine
    // fills its row 1. False, with errorString(), before NewWorkbook or when the name is
    // taken or not allowed.
    bool AddSheet(const QString &name);
    // Puts a number into the cell at the 1-based row and column of the current sheet, shown
    // in numberFormat ("0.00") when one is given.
    bool WriteNumber(int row, int column, double value, const QString &numberFormat = {});
    // Puts a line chart on the current sheet, its top left corner in the 1-based cell.
    bool InsertLineChart(const TExcelLineChart &chart, int row, int column);
    // Sets how the current sheet prints; call it after AutoFitColumns, whose widths choose
    // the orientation of a ByWidth layout.
    bool SetPrintLayout(const TExcelPrintLayout &layout);
    // Saves the workbook file and opens it; later calls do nothing. The destructor calls it.
    // False, with errorString(), when it could not be saved; then no file is left.
    bool Save();
    // Drops the workbook unsaved and removes its reserved file; Save then does nothing.
    void Discard();

    // Kept for callers that set it; every export makes a new file whatever its value.
    bool ExcelNew() const { return m_excelNew; }
    void SetExcelNew(bool value) { m_excelNew = value; }
    bool Horizontal() const { return m_horizontal; }
    void SetHorizontal(bool value) { m_horizontal = value; }
    int line() const { return m_line; }
    void Setline(int value) { m_line = value; }

    QStringList Fields;

    // Where Connect creates the workbook and which program name starts its file name; by
    // default the working directory and the executable's name.
    QString Folder() const { return m_folder; }
    void SetFolder(const QString &folder) { m_folder = folder; }
    QString BaseName() const { return m_baseName; }
    void SetBaseName(const QString &baseName) { m_baseName = baseName; }

    // The workbook file that Connect reserved, empty before.
    QString fileName() const { return m_fileName; }
    // The full path Connect reserved or last tried, for messages.
    QString targetPath() const { return m_fileName.isEmpty() ? m_attemptedPath : m_fileName; }
    QString errorString() const { return m_errorString; }

    // "<baseName>-yyyy-MM-dd-HHmmss.xlsx", with "-2", "-3"... before the extension for the
    // second and later export within the same second.
    static QString fileNameFor(const QString &baseName, const QDateTime &time, int attempt = 1);

private:
    void dropReservedFile();
    // Where the workbook is written until it is complete: a hidden name beside fileName().
    QString partialFileName() const;

    bool m_excelNew = false;
    bool m_horizontal = true;
    int m_line = 1;
    QString m_folder;
    QString m_baseName;
    QString m_fileName;
    QString m_attemptedPath;
    QString m_errorString;
    lxw_workbook *m_workbook = nullptr;
    lxw_worksheet *m_sheet = nullptr;
    bool m_saved = false;
    bool m_savedOk = false;
    QList<int> m_columnChars;                     // longest text per column, in characters
    QHash<QString, lxw_format *> m_numberFormats; // owned by the workbook
    // Texts handed to the chart writer, kept until the workbook is closed.
    QList<QByteArray> m_chartTexts;
};

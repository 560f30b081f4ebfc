#include "Excel.h"

#include "DocumentOpener.h"
#include "WorkingFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <xlsxwriter.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// Enough numbered names for many exports within one second, few enough to give up quickly
// when the folder refuses every new file.
constexpr int kMaxNameAttempts = 100;
// Room beside the longest text, in character widths, so it does not touch the cell border.
constexpr double kColumnPadding = 1.0;
// The spreadsheet's paper code for A4.
constexpr uint8_t kPaperA4 = 9;
// An upright A4 page between the default side margins (0.7 in each), in the pixels of column
// widths: (8.27 in - 1.4 in) at 96 per inch.
constexpr int kPortraitWidthPx = 659;
// A column width in characters as pixels, as spreadsheets convert it for their default font
// (7 pixels per character plus 5 of padding), and the width of a column left at its default.
constexpr int kPxPerChar = 7;
constexpr int kColumnPaddingPx = 5;
constexpr int kDefaultColumnPx = 64;

QString executableBaseName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

} // namespace

TExcel::TExcel(QObject *owner)
    : QObject(owner), m_folder(WorkingFolder()), m_baseName(executableBaseName())
{}

TExcel::~TExcel()
{
    Save();
}

QString TExcel::fileNameFor(const QString &baseName, const QDateTime &time, int attempt)
{
    QString name = baseName + time.toString(QStringLiteral("-yyyy-MM-dd-HHmmss"));
    if (attempt > 1)
        name += u'-' + QString::number(attempt);
    return name + QStringLiteral(".xlsx");
}

bool TExcel::Connect()
{
    if (!m_fileName.isEmpty())
        return true;
    const QDateTime now = QDateTime::currentDateTime();
    const QDir folder(m_folder);
    for (int attempt = 1; attempt <= kMaxNameAttempts; ++attempt) {
        const QString path = FullPathOf(folder.filePath(fileNameFor(m_baseName, now, attempt)));
        m_attemptedPath = path;
        QFile file(path);
        // NewOnly reserves the name atomically, so two exports never share a file.
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            m_fileName = path;
            return true;
        }
        m_errorString = file.errorString();
        if (!file.exists())
            return false; // the folder refuses new files: no other name will do better
    }
    m_errorString = QStringLiteral("Alle %1 Namen für die Exporte dieser Sekunde sind schon "
                                   "vergeben.")
                        .arg(kMaxNameAttempts);
    return false;
}

void TExcel::NewWorkbook(const QString &sheetName)
{
    m_line = 1;
    if (m_fileName.isEmpty() || m_saved)
        return;
    // The workbook is written beside its reserved name and moved there once complete, so a
    // failure never leaves half a workbook under that name.
    if (!m_workbook)
        m_workbook = workbook_new(QFile::encodeName(partialFileName()).constData());
    if (!m_workbook) {
        m_errorString = QStringLiteral("Die Arbeitsmappe kann nicht angelegt werden.");
        return;
    }
    m_sheet = workbook_add_worksheet(
        m_workbook, sheetName.isEmpty() ? nullptr : sheetName.toUtf8().constData());
    if (!m_sheet)
        m_errorString = QStringLiteral("Das Blatt „%1“ kann nicht angelegt werden.").arg(sheetName);
    m_columnChars.clear();
}

bool TExcel::WriteLine()
{
    const int line = m_line++;
    if (!m_sheet) {
        m_errorString = QStringLiteral("Keine Arbeitsmappe offen.");
        return false;
    }
    for (int i = 0; i < Fields.size(); ++i) {
        const int row = (m_horizontal ? line : i + 1) - 1;
        const int col = (m_horizontal ? i + 1 : line) - 1;
        const QString &text = Fields.at(i);
        const lxw_error result = worksheet_write_string(m_sheet, lxw_row_t(row), lxw_col_t(col),
                                                        text.toUtf8().constData(), nullptr);
        if (result != LXW_NO_ERROR) {
            m_errorString = QString::fromUtf8(lxw_strerror(result));
            return false;
        }
        if (col >= m_columnChars.size())
            m_columnChars.resize(col + 1, 0);
        m_columnChars[col] = qMax(m_columnChars[col], int(text.toUcs4().size()));
    }
    return true;
}

void TExcel::AutoFitColumns()
{
    if (!m_sheet)
        return;
    for (int col = 0; col < m_columnChars.size(); ++col) {
        if (m_columnChars[col] > 0)
            worksheet_set_column(m_sheet, lxw_col_t(col), lxw_col_t(col),
                                 m_columnChars[col] + kColumnPadding, nullptr);
    }
}

void TExcel::SetColumnWidth(int first, int last, double characters)
{
    if (m_sheet && first >= 1 && last >= first)
        worksheet_set_column(m_sheet, lxw_col_t(first - 1), lxw_col_t(last - 1), characters,
                             nullptr);
}

bool TExcel::AddSheet(const QString &name)
{
    m_line = 1;
    if (!m_workbook) {
        m_errorString = QStringLiteral("Keine Arbeitsmappe offen.");
        return false;
    }
    lxw_worksheet *sheet = workbook_add_worksheet(m_workbook, name.toUtf8().constData());
    if (!sheet) {
        m_errorString = QStringLiteral("Das Blatt „%1“ kann nicht angelegt werden.").arg(name);
        return false;
    }
    m_sheet = sheet;
    m_columnChars.clear();
    return true;
}

bool TExcel::WriteNumber(int row, int column, double value, const QString &numberFormat)
{
    if (!m_sheet) {
        m_errorString = QStringLiteral("Keine Arbeitsmappe offen.");
        return false;
    }
    lxw_format *format = nullptr;
    if (!numberFormat.isEmpty()) {
        format = m_numberFormats.value(numberFormat);
        if (!format) {
            format = workbook_add_format(m_workbook);
            format_set_num_format(format, numberFormat.toUtf8().constData());
            m_numberFormats.insert(numberFormat, format);
        }
    }
    const lxw_error result =
        worksheet_write_number(m_sheet, lxw_row_t(row - 1), lxw_col_t(column - 1), value, format);
    if (result != LXW_NO_ERROR) {
        m_errorString = QString::fromUtf8(lxw_strerror(result));
        return false;
    }
    return true;
}

bool TExcel::InsertLineChart(const TExcelLineChart &design, int row, int column)
{
    if (!m_sheet) {
        m_errorString = QStringLiteral("Keine Arbeitsmappe offen.");
        return false;
    }
    if (design.series.isEmpty()) {
        m_errorString = QStringLiteral("Ein Diagramm braucht mindestens eine Linie.");
        return false;
    }
    lxw_chart *chart = workbook_add_chart(m_workbook, LXW_CHART_LINE);
    if (!chart) {
        m_errorString = QStringLiteral("Das Diagramm kann nicht angelegt werden.");
        return false;
    }
    // The chart writer may keep the pointers until the workbook is closed.
    const auto text = [this](const QString &value) -> const char * {
        if (value.isEmpty())
            return nullptr;
        m_chartTexts << value.toUtf8();
        return m_chartTexts.last().constData();
    };
    for (const TExcelChartSeries &line : design.series) {
        lxw_chart_series *series =
            chart_add_series(chart, text(line.categories), text(line.values));
        if (!series) {
            m_errorString = QStringLiteral("Eine Linie des Diagramms kann nicht angelegt werden.");
            return false;
        }
        if (!line.name.isEmpty())
            chart_series_set_name(series, text(line.name));
        chart_series_set_marker_type(series, LXW_CHART_MARKER_AUTOMATIC);
    }
    if (!design.title.isEmpty())
        chart_title_set_name(chart, text(design.title));
    if (!design.xAxisTitle.isEmpty())
        chart_axis_set_name(chart->x_axis, text(design.xAxisTitle));
    if (!design.yAxisTitle.isEmpty())
        chart_axis_set_name(chart->y_axis, text(design.yAxisTitle));
    if (design.reverseY)
        chart_axis_set_reverse(chart->y_axis);
    if (design.yMin)
        chart_axis_set_min(chart->y_axis, *design.yMin);
    if (design.yMax)
        chart_axis_set_max(chart->y_axis, *design.yMax);
    if (design.yMajorUnit)
        chart_axis_set_major_unit(chart->y_axis, *design.yMajorUnit);
    chart_show_blanks_as(chart, LXW_CHART_BLANKS_AS_GAP);
    chart_legend_set_position(chart, LXW_CHART_LEGEND_RIGHT);

    lxw_chart_options options{};
    options.x_scale = design.widthScale;
    options.y_scale = design.heightScale;
    const lxw_error result = worksheet_insert_chart_opt(m_sheet, lxw_row_t(row - 1),
                                                        lxw_col_t(column - 1), chart, &options);
    if (result != LXW_NO_ERROR) {
        m_errorString = QString::fromUtf8(lxw_strerror(result));
        return false;
    }
    return true;
}

bool TExcel::SetPrintLayout(const TExcelPrintLayout &layout)
{
    if (!m_sheet) {
        m_errorString = QStringLiteral("Keine Arbeitsmappe offen.");
        return false;
    }
    worksheet_set_paper(m_sheet, kPaperA4);
    bool landscape = layout.orientation == TExcelPrintLayout::TOrientation::Landscape;
    if (layout.orientation == TExcelPrintLayout::TOrientation::ByWidth) {
        int widthPx = 0;
        for (const int chars : std::as_const(m_columnChars))
            widthPx += chars > 0 ? int((chars + kColumnPadding) * kPxPerChar) + kColumnPaddingPx
                                 : kDefaultColumnPx;
        landscape = widthPx > kPortraitWidthPx;
    }
    if (landscape)
        worksheet_set_landscape(m_sheet);
    else
        worksheet_set_portrait(m_sheet);
    if (layout.fitToWidth)
        worksheet_fit_to_pages(m_sheet, 1, 0); // as many pages tall as the rows need
    if (!layout.breaksBefore.isEmpty()) {
        // Zero ends the list; a break "at" a 0-based row starts a page with that row.
        QList<lxw_row_t> breaks;
        for (const int row : layout.breaksBefore) {
            if (row > 1)
                breaks << lxw_row_t(row - 1);
        }
        breaks << 0;
        const lxw_error result = worksheet_set_h_pagebreaks(m_sheet, breaks.data());
        if (result != LXW_NO_ERROR) {
            m_errorString = QString::fromUtf8(lxw_strerror(result));
            return false;
        }
    }
    if (layout.repeatFirstRow > 0) {
        const lxw_error result =
            worksheet_repeat_rows(m_sheet, lxw_row_t(layout.repeatFirstRow - 1),
                                  lxw_row_t(qMax(layout.repeatFirstRow, layout.repeatLastRow) - 1));
        if (result != LXW_NO_ERROR) {
            m_errorString = QString::fromUtf8(lxw_strerror(result));
            return false;
        }
    }
    return true;
}

bool TExcel::Save()
{
    if (m_saved)
        return m_savedOk;
    m_saved = true;
    if (!m_workbook) {
        dropReservedFile(); // nothing was written: leave no empty file behind
        return false;
    }
    errno = 0; // the writer's own codes do not tell a full disk from a missing folder
    const lxw_error result = workbook_close(m_workbook);
    m_workbook = nullptr;
    m_sheet = nullptr;
    m_numberFormats.clear();
    m_chartTexts.clear();
    if (result != LXW_NO_ERROR) {
        m_errorString = QString::fromUtf8(lxw_strerror(result));
        if (errno != 0)
            m_errorString += QStringLiteral(" (%1)").arg(QString::fromLocal8Bit(strerror(errno)));
        dropReservedFile();
        return false;
    }
    if (::rename(QFile::encodeName(partialFileName()).constData(),
                 QFile::encodeName(m_fileName).constData()) != 0) {
        m_errorString = QString::fromLocal8Bit(strerror(errno));
        dropReservedFile();
        return false;
    }
    m_savedOk = true;
    DocumentOpener::open(m_fileName);
    return true;
}

void TExcel::Discard()
{
    if (m_saved)
        return;
    m_saved = true;
    if (m_workbook)
        workbook_close(m_workbook); // frees it; what it wrote goes with the reserved file
    m_workbook = nullptr;
    m_sheet = nullptr;
    m_numberFormats.clear();
    m_chartTexts.clear();
    dropReservedFile();
}

QString TExcel::partialFileName() const
{
    const QFileInfo info(m_fileName);
    return info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".part");
}

void TExcel::dropReservedFile()
{
    if (m_fileName.isEmpty())
        return;
    QFile::remove(partialFileName());
    QFile::remove(m_fileName);
}

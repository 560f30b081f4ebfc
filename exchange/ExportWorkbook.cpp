#include "ExportWorkbook.h"

#include "Excel.h"

using namespace Qt::StringLiterals;

namespace {

// Room beside the longest text of a column, in character widths.
constexpr double kColumnPadding = 1.5;
// Columns wider than this, in characters, print across a landscape page; an upright A4 page
// between the default margins holds about 90 default characters.
constexpr double kPortraitChars = 85;
const QString kEmptySheet = u"Ergebnis"_s;

class TSheetWriter
{
public:
    explicit TSheetWriter(TExcel &excel) : m_excel(excel) {}

    // A line of text in column A that does not set the column's width (titles, notes).
    bool line(const QString &text = {})
    {
        m_excel.Fields = text.isEmpty() ? QStringList() : QStringList{text};
        return m_excel.WriteLine();
    }

    bool row(const QList<TExportCell> &cells)
    {
        const int row = m_excel.line();
        m_excel.Fields.clear();
        for (const TExportCell &cell : cells)
            m_excel.Fields << (cell.number ? QString() : cell.text);
        if (!m_excel.WriteLine())
            return false;
        for (int col = 0; col < cells.size(); ++col) {
            const TExportCell &cell = cells.at(col);
            fit(col, cell.text);
            if (cell.number && !m_excel.WriteNumber(row, col + 1, *cell.number, cell.numberFormat))
                return false;
        }
        return true;
    }

    bool headings(const QStringList &headings)
    {
        QList<TExportCell> cells;
        for (const QString &heading : headings)
            cells << TextCell(QString(heading).replace(u'\n', u' '));
        return row(cells);
    }

    bool table(const TExportTable &table)
    {
        if (!line(table.title) || !headings(table.headings))
            return false;
        for (const QList<TExportCell> &cells : table.rows) {
            if (!row(cells))
                return false;
        }
        for (const QString &note : table.notes) {
            if (!line(note))
                return false;
        }
        return line();
    }

    bool finish()
    {
        double totalChars = 0;
        for (int col = 0; col < m_chars.size(); ++col) {
            m_excel.SetColumnWidth(col + 1, col + 1, m_chars.at(col) + kColumnPadding);
            totalChars += m_chars.at(col) + kColumnPadding;
        }
        TExcelPrintLayout layout;
        layout.orientation = totalChars > kPortraitChars
                                 ? TExcelPrintLayout::TOrientation::Landscape
                                 : TExcelPrintLayout::TOrientation::Portrait;
        return m_excel.SetPrintLayout(layout);
    }

private:
    void fit(int col, const QString &text)
    {
        if (col >= m_chars.size())
            m_chars.resize(col + 1, 0);
        m_chars[col] = qMax(m_chars.at(col), int(text.toUcs4().size()));
    }

    TExcel &m_excel;
    QList<int> m_chars; // longest table text per column
};

bool writeSheet(TExcel &excel, const TExportDocument &document, const TExportSection &section)
{
    TSheetWriter sheet(excel);
    if (!sheet.line(document.title) || !sheet.line(document.subtitle) ||
        !sheet.line(section.title) || !sheet.line())
        return false;
    for (const TExportTable &table : section.tables) {
        if (!sheet.table(table))
            return false;
    }
    return sheet.finish();
}

} // namespace

bool WriteExportWorkbook(TExcel &excel, const TExportDocument &document)
{
    excel.SetHorizontal(true);
    QList<TExportSection> sections = document.sections;
    if (sections.isEmpty())
        sections << TExportSection{kEmptySheet, kEmptySheet, {}};
    QStringList wished;
    for (const TExportSection &section : std::as_const(sections))
        wished << section.sheetName;
    const QStringList names = ExcelSheetNames(wished);
    for (qsizetype i = 0; i < sections.size(); ++i) {
        if (i == 0)
            excel.NewWorkbook(names.at(i));
        else if (!excel.AddSheet(names.at(i)))
            return false;
        if (!writeSheet(excel, document, sections.at(i)))
            return false;
    }
    return true;
}

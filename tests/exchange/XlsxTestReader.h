#pragma once

#include <QHash>
#include <QMap>
#include <QPoint>
#include <QString>

// Reads back what a test needs of a workbook file: the texts of one sheet's cells (the first
// unless told) and the column widths. Enough for checking our own exports, not a general
// reader.
class XlsxTestReader
{
public:
    // False, with error(), if the file is not a readable workbook.
    bool read(const QString &fileName,
              const QString &sheetPart = QStringLiteral("xl/worksheets/sheet1.xml"));
    // The part of the workbook file at `path` ("xl/charts/chart1.xml"); empty when missing.
    static QByteArray part(const QString &fileName, const QString &path);

    // Text of the cell at 1-based row and column; empty for a cell that holds nothing.
    QString cell(int row, int column) const { return m_cells.value(QPoint(column, row)); }
    // Whether the cell holds a text cell at all, even an empty one.
    bool hasCell(int row, int column) const { return m_cells.contains(QPoint(column, row)); }
    // Whether every stored cell is a shared text (no numbers, dates or formulas).
    bool allCellsAreText() const { return m_allText; }
    int lastRow() const;
    int lastColumn() const;
    // Width set for a 1-based column, 0 when the column keeps the default width.
    double columnWidth(int column) const { return m_widths.value(column); }
    QString error() const { return m_error; }

private:
    bool parseSharedStrings(const QByteArray &xml);
    bool parseSheet(const QByteArray &xml);

    QStringList m_shared;
    QHash<QPoint, QString> m_cells;
    QMap<int, double> m_widths;
    bool m_allText = true;
    QString m_error;
};

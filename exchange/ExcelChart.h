#pragma once

#include <QList>
#include <QString>

#include <optional>

// One line of a chart: its name and its data, each a formula that points into a sheet
// ("=Daten!$B$2", "=Daten!$B$3:$B$52"); the name may also be plain text.
struct TExcelChartSeries
{
    QString name;
    QString categories;
    QString values;
};

// A line chart as TExcel::InsertLineChart puts it on a sheet.
struct TExcelLineChart
{
    QString title;
    QString xAxisTitle;
    QString yAxisTitle;
    QList<TExcelChartSeries> series;
    bool reverseY = false; // smallest value on top, as places are read
    std::optional<double> yMin;
    std::optional<double> yMax;
    std::optional<double> yMajorUnit;
    double widthScale = 1; // of the spreadsheet's default chart size
    double heightScale = 1;
};

// How a sheet prints on A4. A sheet fitted to the page width prints all its columns side by
// side, scaled down where needed, its rows running over as many pages as they take; one not
// fitted prints at full size, a new page starting before each of breaksBefore (spreadsheets
// ignore page breaks on a fitted sheet).
struct TExcelPrintLayout
{
    enum class TOrientation {
        Portrait,
        Landscape,
        ByWidth, // landscape only when the columns are wider than an upright page
    };
    TOrientation orientation = TOrientation::ByWidth;
    bool fitToWidth = true;
    QList<int> breaksBefore; // 1-based rows
    // 1-based rows printed again at the top of every page; 0 for none.
    int repeatFirstRow = 0;
    int repeatLastRow = 0;
};

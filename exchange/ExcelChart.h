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

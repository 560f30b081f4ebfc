#include "ResultsCharts.h"

#include "Excel.h"
#include "LapPositions.h"

using namespace Qt::StringLiterals;

namespace {

const QString kChartSheet = u"Diagramme"_s;
const QString kDataSheet = u"Daten"_s;
// The data sheet: a title row, a row of series names, then one row per lap. The places come
// first (lap numbers in column A), then after one empty column the lap times.
constexpr int kNameRow = 2;
constexpr int kFirstLapRow = 3;
constexpr int kMsPerSecond = 1000;
// The charts one under the other, each 11 columns of 64 pixels (8.43 characters) wide and one
// and a half times the default height. The widths are set, since spreadsheet programs differ
// in their default width, and some size a chart by the columns it spans and draw a column up
// to a third wider where the workbook's font is missing; a chart reaching into a column that
// does not fit the page is cut there. 11 columns fit an A4 page across in each of them.
constexpr int kChartColumns = 11;
constexpr double kChartColumnChars = 8.43;
constexpr double kChartColumnPx = 64;
constexpr double kDefaultChartWidthPx = 480;
constexpr double kChartWidthScale = kChartColumns * kChartColumnPx / kDefaultChartWidthPx;
constexpr double kChartHeightScale = 1.5;
constexpr int kFirstChartRow = 3;
constexpr int kRowsPerChart = 25;

QString columnLetters(int column)
{
    QString letters;
    for (; column > 0; column = (column - 1) / 26)
        letters.prepend(QChar(u'A' + (column - 1) % 26));
    return letters;
}

QString cell(int row, int column)
{
    return u'$' + columnLetters(column) + u'$' + QString::number(row);
}

QString range(int firstRow, int lastRow, int column)
{
    return u'=' + kDataSheet + u'!' + cell(firstRow, column) + u':' + cell(lastRow, column);
}

// The spreadsheet's number format for lap times in seconds with the snapshot's digits.
QString secondsFormat(int acc)
{
    const int digits = qBound(0, acc, 2);
    return digits == 0 ? u"0"_s : u"0."_s + QString(digits, u'0');
}

struct DataLayout
{
    int laps = 0;
    int placesColumn = 1; // lap numbers; the cars follow
    int timesColumn = 1;
    int lastRow() const { return kFirstLapRow + laps - 1; }
};

bool writeData(TExcel &excel, const TResultsSnapshot &s, const DataLayout &layout)
{
    const int cars = s.carCount();
    QStringList titles(layout.timesColumn - 1 + cars + 1);
    titles[layout.placesColumn - 1] = u"Position nach Runde"_s;
    titles[layout.timesColumn - 1] = u"Rundenzeit in Sekunden"_s;
    QStringList names = titles;
    names.fill(QString());
    names[layout.placesColumn - 1] = u"Runde"_s;
    names[layout.timesColumn - 1] = u"Runde"_s;
    for (int i = 0; i < cars; ++i) {
        names[layout.placesColumn + i] = CarLabel(s.rows.at(i));
        names[layout.timesColumn + i] = CarLabel(s.rows.at(i));
    }
    excel.Fields = titles;
    if (!excel.WriteLine())
        return false;
    excel.Fields = names;
    if (!excel.WriteLine())
        return false;

    const QList<QList<int>> places = LapPositions(s);
    const QString timeFormat = secondsFormat(s.acc);
    for (int lap = 1; lap <= layout.laps; ++lap) {
        const int row = kFirstLapRow + lap - 1;
        if (!excel.WriteNumber(row, layout.placesColumn, lap) ||
            !excel.WriteNumber(row, layout.timesColumn, lap))
            return false;
        for (int i = 0; i < cars; ++i) {
            const TResultsRow &car = s.rows.at(i);
            if (lap > car.count())
                continue; // an empty cell: a gap in the car's line
            if (!excel.WriteNumber(row, layout.placesColumn + 1 + i, places.at(i).at(lap - 1)) ||
                !excel.WriteNumber(row, layout.timesColumn + 1 + i,
                                   double(car.lapTime(lap)) / kMsPerSecond, timeFormat))
                return false;
        }
    }
    excel.AutoFitColumns();
    TExcelPrintLayout print;
    print.repeatFirstRow = 1;
    print.repeatLastRow = kNameRow;
    return excel.SetPrintLayout(print);
}

TExcelLineChart chartOf(const TResultsSnapshot &s, const DataLayout &layout, int labelColumn)
{
    TExcelLineChart chart;
    chart.xAxisTitle = u"Runde"_s;
    chart.widthScale = kChartWidthScale;
    chart.heightScale = kChartHeightScale;
    for (int i = 0; i < s.carCount(); ++i) {
        const int column = labelColumn + 1 + i;
        chart.series << TExcelChartSeries{u'=' + kDataSheet + u'!' + cell(kNameRow, column),
                                          range(kFirstLapRow, layout.lastRow(), labelColumn),
                                          range(kFirstLapRow, layout.lastRow(), column)};
    }
    return chart;
}

} // namespace

bool WriteResultsCharts(TExcel &excel, const TResultsSnapshot &s)
{
    DataLayout layout;
    layout.laps = MostLaps(s);
    layout.timesColumn = layout.placesColumn + s.carCount() + 2;

    if (!excel.AddSheet(kChartSheet))
        return false;
    excel.Fields = {u"Rennen: "_s + s.title};
    if (!excel.WriteLine())
        return false;
    if (layout.laps == 0 || s.carCount() == 0) {
        excel.Setline(kFirstChartRow);
        excel.Fields = {u"Noch keine Runde abgeschlossen."_s};
        if (!excel.WriteLine() || !excel.SetPrintLayout(TExcelPrintLayout()))
            return false;
    } else {
        TExcelLineChart places = chartOf(s, layout, layout.placesColumn);
        places.title = u"Positionen nach jeder Runde"_s;
        places.yAxisTitle = u"Position"_s;
        places.reverseY = true;
        places.yMin = 1;
        places.yMax = s.carCount();
        places.yMajorUnit = 1;
        TExcelLineChart times = chartOf(s, layout, layout.timesColumn);
        times.title = u"Rundenzeiten"_s;
        times.yAxisTitle = u"Rundenzeit (s)"_s;
        if (!excel.InsertLineChart(places, kFirstChartRow, 1) ||
            !excel.InsertLineChart(times, kFirstChartRow + kRowsPerChart, 1))
            return false;
        // Each chart whole on a page of its own, at full size: across an A4 page it fits.
        excel.SetColumnWidth(1, kChartColumns, kChartColumnChars);
        TExcelPrintLayout print;
        print.orientation = TExcelPrintLayout::TOrientation::Landscape;
        print.fitToWidth = false;
        print.breaksBefore = {kFirstChartRow + kRowsPerChart};
        if (!excel.SetPrintLayout(print))
            return false;
    }

    if (!excel.AddSheet(kDataSheet))
        return false;
    return writeData(excel, s, layout);
}

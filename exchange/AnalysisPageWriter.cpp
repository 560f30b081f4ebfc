#include "AnalysisPageWriter.h"

#include "ChartColours.h"

#include "Classification.h"
#include "FormatTime.h"
#include "HtmlText.h"
#include "LapPositions.h"
#include "WholeFileWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QIODevice>

#include <algorithm>
#include <array>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

// The drawing area of both charts, in SVG user units (pixels at 100 %).
constexpr int kWidth = 860;
constexpr int kHeight = 380;
constexpr int kLeft = 80; // room for the time labels
constexpr int kRight = 20;
constexpr int kTop = 20;
constexpr int kBottom = 50;
constexpr int kPlotWidth = kWidth - kLeft - kRight;
constexpr int kPlotHeight = kHeight - kTop - kBottom;
// More lap labels than this crowd each other on the axis; then every second, fifth... is shown.
constexpr int kMaxLapLabels = 25;
constexpr int kTimeSteps = 5;
// Space above and below the slowest and fastest lap, as a share of their difference.
constexpr double kTimeMargin = 0.05;
// A plot of one lap time (or equal ones) spans this much around it.
constexpr int kFlatTimeSpanMs = 2000;
constexpr double kMarkerRadius = 2.5;
constexpr int kLongestShortTimeMs = 3600 * 1000;
constexpr int kMinutesMode = 5; // m:ss
constexpr int kHoursMode = 7;   // h:mm:ss

QString colourOf(int row)
{
    return ChartColour(row).name();
}

QString coordinate(double value)
{
    return QString::number(value, 'f', 1);
}

// Maps laps and values to the drawing. Positions grow downward (1 on top); times upward.
struct Plot
{
    int laps = 1;
    double low = 0;
    double high = 1;
    bool downward = false;

    double x(int lap) const
    {
        if (laps <= 1)
            return kLeft + kPlotWidth / 2.0;
        return kLeft + double(lap - 1) * kPlotWidth / (laps - 1);
    }
    double y(double value) const
    {
        if (high <= low)
            return kTop + kPlotHeight / 2.0;
        const double share = (value - low) / (high - low);
        return kTop + (downward ? share : 1.0 - share) * kPlotHeight;
    }
};

QString svgText(double x, double y, const QString &anchor, const QString &text)
{
    return u"<text x=\""_s + coordinate(x) + u"\" y=\""_s + coordinate(y) + u"\" text-anchor=\""_s +
           anchor + u"\">"_s + MarkupText(text) + u"</text>\n"_s;
}

QString horizontalLine(double y)
{
    return u"<line class=\"grid\" x1=\""_s + coordinate(kLeft) + u"\" x2=\""_s +
           coordinate(kLeft + kPlotWidth) + u"\" y1=\""_s + coordinate(y) + u"\" y2=\""_s +
           coordinate(y) + u"\"/>\n"_s;
}

void appendLapAxis(QString &out, const Plot &plot)
{
    const int step = (plot.laps + kMaxLapLabels - 1) / kMaxLapLabels;
    const double base = kTop + kPlotHeight;
    out += u"<line class=\"axis\" x1=\""_s + coordinate(kLeft) + u"\" x2=\""_s +
           coordinate(kLeft + kPlotWidth) + u"\" y1=\""_s + coordinate(base) + u"\" y2=\""_s +
           coordinate(base) + u"\"/>\n"_s;
    for (int lap = 1; lap <= plot.laps; lap += qMax(step, 1))
        out += svgText(plot.x(lap), base + 18, u"middle"_s, QString::number(lap));
    out += svgText(kLeft + kPlotWidth / 2.0, kHeight - 8, u"middle"_s, u"Runde"_s);
}

// One car's line with a dot at each value, so a car with a single lap is seen too.
void appendSeries(QString &out, const Plot &plot, const TResultsRow &row, int rowIndex,
                  const QList<double> &values)
{
    if (values.isEmpty())
        return;
    QString points;
    QString dataValues;
    QString dots;
    const QString colour = colourOf(rowIndex);
    for (int lap = 1; lap <= values.size(); ++lap) {
        const double x = plot.x(lap);
        const double y = plot.y(values.at(lap - 1));
        if (lap > 1) {
            points += u' ';
            dataValues += u' ';
        }
        points += coordinate(x) + u',' + coordinate(y);
        dataValues += QString::number(values.at(lap - 1), 'g', 12);
        dots += u"<circle cx=\""_s + coordinate(x) + u"\" cy=\""_s + coordinate(y) + u"\" r=\""_s +
                coordinate(kMarkerRadius) + u"\" fill=\""_s + colour + u"\"/>"_s;
    }
    out += u"<g class=\"series\"><polyline data-car=\""_s + QString::number(row.car) +
           u"\" data-values=\""_s + dataValues + u"\" fill=\"none\" stroke=\""_s + colour +
           u"\" stroke-width=\"2\" points=\""_s + points + u"\"/>"_s + dots + u"</g>\n"_s;
}

QString svgOpen(const QString &id, const QString &label)
{
    return u"<svg xmlns=\"http://www.w3.org/2000/svg\" id=\""_s + id +
           u"\" role=\"img\" "
           u"aria-label=\""_s +
           MarkupText(label) + u"\" width=\""_s + QString::number(kWidth) + u"\" height=\""_s +
           QString::number(kHeight) + u"\" viewBox=\"0 0 "_s + QString::number(kWidth) + u' ' +
           QString::number(kHeight) + u"\">\n"_s;
}

void appendLegend(QString &out, const TResultsSnapshot &s)
{
    out += u"<ul class=\"legend\">\n"_s;
    for (int i = 0; i < s.carCount(); ++i) {
        const TResultsRow &row = s.rows.at(i);
        out += u"<li data-car=\""_s + QString::number(row.car) +
               u"\"><span class=\"swatch\" style=\"background:"_s + colourOf(i) + u"\"></span>"_s +
               MarkupText(CarLabel(row)) + u" ("_s + CarKeyText(row.car) + u")</li>\n"_s;
    }
    out += u"</ul>\n"_s;
}

// The plotted values as a table: one row per car, one column per lap; cells of laps the car
// has not completed stay empty.
template <typename CellText>
void appendDataTable(QString &out, const TResultsSnapshot &s, const QString &id, int laps,
                     CellText cellText)
{
    out += u"<details><summary>Werte der Grafik</summary>\n<table class=\"data\" id=\""_s + id +
           u"\">\n<thead><tr><th>Wagen</th><th>Nr.</th><th>Fahrer</th>"_s;
    for (int lap = 1; lap <= laps; ++lap)
        out += u"<th>"_s + QString::number(lap) + u"</th>"_s;
    out += u"</tr></thead>\n<tbody>\n"_s;
    for (int i = 0; i < s.carCount(); ++i) {
        const TResultsRow &row = s.rows.at(i);
        out += u"<tr data-car=\""_s + QString::number(row.car) + u"\"><td>"_s +
               CarKeyText(row.car) + u"</td><td>"_s + MarkupText(row.startNo) + u"</td><td>"_s +
               MarkupText(row.driver) + u"</td>"_s;
        for (int lap = 1; lap <= laps; ++lap)
            out += cellText(i, lap);
        out += u"</tr>\n"_s;
    }
    out += u"</tbody>\n</table>\n</details>\n"_s;
}

void appendLapChart(QString &out, const TResultsSnapshot &s, int laps)
{
    out += u"<h2>Positionen nach jeder Runde</h2>\n"_s;
    if (laps == 0) {
        out += u"<p class=\"empty\">Noch keine Runde abgeschlossen.</p>\n"_s;
        return;
    }
    const QList<QList<int>> positions = LapPositions(s);
    Plot plot{laps, 1, double(s.carCount()), true};
    out += svgOpen(u"lap-chart"_s, u"Positionen nach jeder Runde"_s);
    for (int place = 1; place <= s.carCount(); ++place) {
        out += horizontalLine(plot.y(place));
        out += svgText(kLeft - 10, plot.y(place) + 4, u"end"_s, QString::number(place) + u'.');
    }
    appendLapAxis(out, plot);
    for (int i = 0; i < s.carCount(); ++i) {
        QList<double> values;
        for (const int place : positions.at(i))
            values << place;
        appendSeries(out, plot, s.rows.at(i), i, values);
    }
    out += u"</svg>\n"_s;
    appendLegend(out, s);
    appendDataTable(out, s, u"lap-chart-data"_s, laps, [&](int row, int lap) {
        const QList<int> &places = positions.at(row);
        return lap <= places.size() ? u"<td>"_s + QString::number(places.at(lap - 1)) + u"</td>"_s
                                    : u"<td></td>"_s;
    });
}

void appendLapTimeChart(QString &out, const TResultsSnapshot &s, int laps)
{
    out += u"<h2>Rundenzeiten</h2>\n"_s;
    if (laps == 0) {
        out += u"<p class=\"empty\">Noch keine Runde abgeschlossen.</p>\n"_s;
        return;
    }
    qint32 fastest = std::numeric_limits<qint32>::max();
    qint32 slowest = 0;
    for (const TResultsRow &row : s.rows) {
        for (const qint32 lap : row.laps) {
            fastest = qMin(fastest, lap);
            slowest = qMax(slowest, lap);
        }
    }
    double span = double(slowest) - fastest;
    double low = fastest - span * kTimeMargin;
    double high = slowest + span * kTimeMargin;
    if (span <= 0) {
        low = fastest - kFlatTimeSpanMs / 2.0;
        high = slowest + kFlatTimeSpanMs / 2.0;
    }
    low = qMax(low, 0.0);
    const Plot plot{laps, low, high, false};
    const int timeMode = high >= kLongestShortTimeMs ? kHoursMode : kMinutesMode;

    out += svgOpen(u"lap-time-chart"_s, u"Rundenzeiten"_s);
    for (int step = 0; step <= kTimeSteps; ++step) {
        const double value = low + (high - low) * step / kTimeSteps;
        out += horizontalLine(plot.y(value));
        out += svgText(kLeft - 10, plot.y(value) + 4, u"end"_s,
                       FormatTime(qint32(value), s.acc, timeMode));
    }
    appendLapAxis(out, plot);
    for (int i = 0; i < s.carCount(); ++i) {
        QList<double> values;
        for (const qint32 lap : s.rows.at(i).laps)
            values << lap;
        appendSeries(out, plot, s.rows.at(i), i, values);
    }
    out += u"</svg>\n"_s;
    appendLegend(out, s);
    appendDataTable(out, s, u"lap-time-chart-data"_s, laps, [&](int row, int lap) {
        const TResultsRow &r = s.rows.at(row);
        if (lap > r.count())
            return u"<td></td>"_s;
        return u"<td data-ms=\""_s + QString::number(r.lapTime(lap)) + u"\">"_s +
               FormatTime(r.lapTime(lap), s.acc, timeMode) + u"</td>"_s;
    });
}

const QString kStyle = uR"(body {font-family: Arial, sans-serif; margin: 1.5em; color: #000}
h1 {font-size: 1.5em}
h2 {font-size: 1.2em; margin-top: 1.5em}
svg {max-width: 100%; height: auto; font-size: 12px}
svg .grid {stroke: #e0e0e0; stroke-width: 1}
svg .axis {stroke: #000; stroke-width: 1}
ul.legend {list-style: none; padding: 0; display: flex; flex-wrap: wrap; gap: 0.4em 1.5em}
.swatch {display: inline-block; width: 1.5em; height: 0.5em; margin-right: 0.4em}
table.data {border-collapse: collapse; font-size: 0.85em}
table.data td, table.data th {border: 1px solid #e0e0e0; padding: 2px 6px; text-align: right}
)"_s;

} // namespace

QByteArray TAnalysisPageWriter::page(const TResultsSnapshot &s)
{
    const int laps = MostLaps(s);
    QString out;
    out.reserve(8192 + 120 * laps * (s.carCount() + 1));
    out += u"<!DOCTYPE html>\n<html xmlns=\"http://www.w3.org/1999/xhtml\" lang=\"de\">\n<head>\n"
           u"<meta charset=\"utf-8\"/>\n<title>Rennanalyse: "_s +
           MarkupText(s.title) + u"</title>\n<style>\n"_s + kStyle +
           u"</style>\n</head>\n<body>\n"_s;
    out += u"<h1>Rennanalyse: "_s + MarkupText(s.title) + u"</h1>\n"_s;
    out += u"<p>"_s + MarkupText(s.mode) + u", "_s + MarkupText(DateText(s)) + u". Runden: "_s +
           QString::number(s.raceLaps) + u", Länge: "_s + MarkupText(DistanceText(s)) +
           u" Km</p>\n"_s;
    appendLapChart(out, s, laps);
    appendLapTimeChart(out, s, laps);
    out += u"<p class=\"footer\">"_s + MarkupText(s.appTitle) + u"</p>\n</body>\n</html>\n"_s;
    return out.toUtf8();
}

QString TAnalysisPageWriter::fileNameBeside(const QString &resultsPageFileName)
{
    const QString folder = QFileInfo(resultsPageFileName).path();
    const QString name = QString::fromLatin1(kFileName);
    return folder == u"." ? name : QDir(folder).filePath(name);
}

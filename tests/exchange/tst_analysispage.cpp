#include "AnalysisPageWriter.h"
#include "ResultsSamples.h"
#include "TempFolder.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTest>
#include <QXmlStreamReader>

Q_DECLARE_METATYPE(TResultsSnapshot)

using namespace Qt::StringLiterals;

namespace {

struct Line
{
    QList<double> values;
    QList<double> x, y;
};

// What the page draws and tabulates: per chart (svg id) each car's line, per data table
// (table id) each car's cells; the reader stops at the first place that is not well-formed.
struct ParsedPage
{
    QHash<QString, QMap<int, Line>> charts;
    QHash<QString, QMap<int, QStringList>> tables;
    QString error;
};

ParsedPage parsePage(const QByteArray &bytes)
{
    ParsedPage page;
    QXmlStreamReader reader(bytes);
    QString chart, table;
    int car = 0;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes a = reader.attributes();
        if (reader.name() == u"svg") {
            chart = a.value(u"id"_s).toString();
        } else if (reader.name() == u"polyline") {
            Line &line = page.charts[chart][a.value(u"data-car"_s).toInt()];
            for (const QStringView v : a.value(u"data-values"_s).split(u' '))
                line.values << v.toDouble();
            for (const QStringView point : a.value(u"points"_s).split(u' ')) {
                line.x << point.split(u',').at(0).toDouble();
                line.y << point.split(u',').at(1).toDouble();
            }
        } else if (reader.name() == u"table") {
            table = a.value(u"id"_s).toString();
        } else if (reader.name() == u"tr" && a.hasAttribute(u"data-car"_s)) {
            car = a.value(u"data-car"_s).toInt();
        } else if (reader.name() == u"td") {
            const QString ms = a.value(u"data-ms"_s).toString();
            page.tables[table][car] << (ms.isEmpty() ? reader.readElementText() : ms);
        }
    }
    if (reader.hasError())
        page.error = reader.errorString();
    return page;
}

} // namespace

class TestAnalysisPage : public QObject
{
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale::c()); }

    void chartsShowEachCarsPlacesAndLapTimes_data();
    void chartsShowEachCarsPlacesAndLapTimes();
    void oddTextsStayTextAndNothingComesFromElsewhere();
    void withoutLapsThereIsNothingToPlot();
    void writeFileIsAllOrNothing();
};

void TestAnalysisPage::chartsShowEachCarsPlacesAndLapTimes_data()
{
    QTest::addColumn<TResultsSnapshot>("snapshot");
    QTest::newRow("three cars") << ResultsSamples::threeCars();
    QTest::newRow("12 x 50") << ResultsSamples::twelveCarsFiftyLaps();
    TResultsSnapshot tie = ResultsSamples::threeCars();
    tie.rows[2] = ResultsSamples::row(3, u"12"_s, u"J"_s, {1500000}); // as fast as row 1
    QTest::newRow("tie at lap 1") << tie;
}

void TestAnalysisPage::chartsShowEachCarsPlacesAndLapTimes()
{
    QFETCH(TResultsSnapshot, snapshot);
    const ParsedPage page = parsePage(TAnalysisPageWriter::page(snapshot));
    QVERIFY2(page.error.isEmpty(), qPrintable(page.error));
    const QList<QList<double>> places = ResultsSamples::expectedPlaces(snapshot);
    const auto &placeLines = page.charts.value(u"lap-chart"_s);
    const auto &timeLines = page.charts.value(u"lap-time-chart"_s);
    QCOMPARE(placeLines.size(), snapshot.carCount());
    for (int i = 0; i < snapshot.carCount(); ++i) {
        const TResultsRow &row = snapshot.rows.at(i);
        QCOMPARE(placeLines.value(row.car).values, places.at(i));
        QCOMPARE(placeLines.value(row.car).y.size(), row.count());
        QList<double> laps(row.laps.cbegin(), row.laps.cend());
        QCOMPARE(timeLines.value(row.car).values, laps);
        const QStringList placeCells = page.tables.value(u"lap-chart-data"_s).value(row.car);
        const QStringList timeCells = page.tables.value(u"lap-time-chart-data"_s).value(row.car);
        for (int lap = 1; lap <= row.count(); ++lap) {
            QCOMPARE(placeCells.at(2 + lap).toDouble(), places.at(i).at(lap - 1));
            QCOMPARE(timeCells.at(2 + lap).toInt(), row.lapTime(lap));
        }
    }
    // The drawing agrees with the data: the same lap at the same x for every car, a better
    // place higher up, a slower lap higher up.
    for (const QString &chart : {u"lap-chart"_s, u"lap-time-chart"_s}) {
        const double sign = chart == u"lap-chart" ? 1 : -1;
        for (const Line &a : page.charts.value(chart)) {
            for (const Line &b : page.charts.value(chart)) {
                for (int k = 0; k < qMin(a.values.size(), b.values.size()); ++k) {
                    QCOMPARE(a.x.at(k), b.x.at(k));
                    if (a.values.at(k) < b.values.at(k))
                        QVERIFY(sign * (b.y.at(k) - a.y.at(k)) > 0);
                }
            }
        }
    }
}

void TestAnalysisPage::oddTextsStayTextAndNothingComesFromElsewhere()
{
    TResultsSnapshot s = ResultsSamples::oddTexts();
    s.rows[2].driver = u"Bell\x07 Ende"_s + QChar(0xD800); // stray bytes from a starter list
    const QByteArray bytes = TAnalysisPageWriter::page(s);
    const ParsedPage page = parsePage(bytes);
    QVERIFY2(page.error.isEmpty(), qPrintable(page.error));
    QVERIFY(!bytes.contains("<b>"));
    QVERIFY(bytes.contains(u"<h1>Rennanalyse: &lt;b&gt;&amp;&quot;Lauf&quot;; Öß</h1>"_s.toUtf8()));
    const auto &table = page.tables.value(u"lap-chart-data"_s);
    QCOMPARE(table.value(4).mid(0, 3), (QStringList{"F4", "1;2", "<b>&\""}));
    QCOMPARE(table.value(9).at(2), u"Jürgen Öß\nzweite Zeile"_s);
    QCOMPARE(table.value(11).at(2), u"Bell Ende\uFFFD"_s);
    for (const char *outside : {"<script", "src=", "href=", "url(", "@import", "<link"})
        QVERIFY2(!bytes.contains(outside), outside);
}

void TestAnalysisPage::withoutLapsThereIsNothingToPlot()
{
    const QByteArray bytes = TAnalysisPageWriter::page(ResultsSamples::noLaps());
    QVERIFY(parsePage(bytes).error.isEmpty());
    QVERIFY(!bytes.contains("<svg"));
    QCOMPARE(bytes.count("Noch keine Runde abgeschlossen."), 2);
}

void TestAnalysisPage::writeFileIsAllOrNothing()
{
    TempFolder folder;
    const QString name = TAnalysisPageWriter::fileNameBeside(folder.filePath(u"lauf.html"_s));
    QCOMPARE(name, folder.filePath(u"Talvenbahn-Analyse.html"_s));
    QCOMPARE(TAnalysisPageWriter::fileNameBeside(u"lauf.html"_s), u"Talvenbahn-Analyse.html"_s);
    TAnalysisPageWriter writer;
    QVERIFY2(writer.writeFile(name, ResultsSamples::threeCars()), qPrintable(writer.errorString()));
    QFile file(name);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), TAnalysisPageWriter::page(ResultsSamples::threeCars()));

    QVERIFY(QDir(folder.path()).mkdir(u"Ordner.html"_s));
    QVERIFY(!writer.writeFile(folder.filePath(u"Ordner.html"_s), ResultsSamples::threeCars()));
    QVERIFY(writer.createFailed() && !writer.errorString().isEmpty());
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{u"Talvenbahn-Analyse.html"_s});
}

QTEST_GUILESS_MAIN(TestAnalysisPage)
#include "tst_analysispage.moc"

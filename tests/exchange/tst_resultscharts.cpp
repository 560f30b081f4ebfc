#include "DocumentOpener.h"
#include "Excel.h"
#include "LapPositions.h"
#include "ResultsCharts.h"
#include "ResultsSamples.h"
#include "ResultsWorkbook.h"
#include "TempFolder.h"
#include "XlsxTestReader.h"

#include <QLocale>
#include <QRegularExpression>
#include <QTest>
#include <QXmlStreamReader>

#include <memory>

Q_DECLARE_METATYPE(TResultsSnapshot)

namespace {

// One line of a chart as its XML names it: the formulas of its name, categories and values.
struct ChartSeries
{
    QString name;
    QString categories;
    QString values;
};

struct Chart
{
    QList<ChartSeries> series;
    bool isLineChart = false;
    bool valuesReversed = false;
};

Chart parseChart(const QByteArray &xml)
{
    Chart chart;
    QXmlStreamReader reader(xml);
    QString part; // tx, cat or val
    while (!reader.atEnd()) {
        reader.readNext();
        if (!reader.isStartElement())
            continue;
        const QStringView name = reader.name();
        if (name == u"lineChart") {
            chart.isLineChart = true;
        } else if (name == u"ser") {
            chart.series << ChartSeries();
        } else if (name == u"tx" || name == u"cat" || name == u"val") {
            part = name.toString();
        } else if (name == u"orientation" &&
                   reader.attributes().value(QStringLiteral("val")) == u"maxMin") {
            chart.valuesReversed = true;
        } else if (name == u"f" && !chart.series.isEmpty()) {
            const QString formula = reader.readElementText();
            ChartSeries &series = chart.series.last();
            (part == u"tx"    ? series.name
             : part == u"cat" ? series.categories
                              : series.values) = formula;
        }
    }
    return chart;
}

// The cells a formula such as "Daten!$B$3:$B$5" or "Daten!$B$2" points to, top to bottom.
QStringList cellsOf(const XlsxTestReader &sheet, const QString &formula)
{
    static const QRegularExpression pattern(
        QStringLiteral("^Daten!\\$([A-Z]+)\\$(\\d+)(?::\\$([A-Z]+)\\$(\\d+))?$"));
    const QRegularExpressionMatch match = pattern.match(formula);
    if (!match.hasMatch()) {
        qWarning() << "unexpected formula" << formula;
        return {};
    }
    const auto column = [](const QString &letters) {
        int n = 0;
        for (const QChar c : letters)
            n = n * 26 + (c.unicode() - u'A' + 1);
        return n;
    };
    const int col = column(match.captured(1));
    const int first = match.captured(2).toInt();
    const int last = match.captured(4).isEmpty() ? first : match.captured(4).toInt();
    if (!match.captured(3).isEmpty() && column(match.captured(3)) != col)
        qWarning() << "range over more than one column" << formula;
    QStringList cells;
    for (int row = first; row <= last; ++row)
        cells << sheet.cell(row, col);
    return cells;
}

} // namespace

class TestResultsCharts : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void chartsDrawTheSnapshotsLaps_data();
    void chartsDrawTheSnapshotsLaps();
    void sheetsAreFoundByNameAfterOtherSheets();
    void withoutLapsThereIsNoChart();
    void sheetNamesCannotBeTakenTwice();

private:
    // A workbook with the results sheet, optionally a sheet of someone else's, and the charts.
    QString writeWorkbook(const TResultsSnapshot &snapshot, const QString &sheetBefore = {});

    std::unique_ptr<TempFolder> m_folder;
};

void TestResultsCharts::init()
{
    QLocale::setDefault(QLocale::c());
    m_folder = std::make_unique<TempFolder>();
    DocumentOpener::setHandler([](const QString &) {});
}

void TestResultsCharts::cleanup()
{
    DocumentOpener::setHandler({});
    m_folder.reset();
}

QString TestResultsCharts::writeWorkbook(const TResultsSnapshot &snapshot,
                                         const QString &sheetBefore)
{
    TExcel excel;
    excel.SetFolder(m_folder->path());
    if (!excel.Connect() || !WriteResultsWorkbook(excel, snapshot))
        return {};
    if (!sheetBefore.isEmpty() && !excel.AddSheet(sheetBefore))
        return {};
    if (!WriteResultsCharts(excel, snapshot) || !excel.Save()) {
        qWarning() << excel.errorString();
        return {};
    }
    return excel.fileName();
}

void TestResultsCharts::chartsDrawTheSnapshotsLaps_data()
{
    QTest::addColumn<TResultsSnapshot>("snapshot");
    QTest::newRow("three cars") << ResultsSamples::threeCars();
    QTest::newRow("odd texts") << ResultsSamples::oddTexts();
    QTest::newRow("12 x 50") << ResultsSamples::twelveCarsFiftyLaps();
}

void TestResultsCharts::chartsDrawTheSnapshotsLaps()
{
    QFETCH(TResultsSnapshot, snapshot);
    const QString fileName = writeWorkbook(snapshot);
    QVERIFY(!fileName.isEmpty());
    XlsxTestReader data;
    QVERIFY2(data.read(fileName, QStringLiteral("Daten")), qPrintable(data.error()));
    QCOMPARE(data.sheetNames(), (QStringList{QStringLiteral("Sheet1"), QStringLiteral("Diagramme"),
                                             QStringLiteral("Daten")}));
    QVERIFY(XlsxTestReader::part(fileName, QStringLiteral("xl/worksheets/sheet2.xml"))
                .contains("<drawing "));

    const Chart places = parseChart(XlsxTestReader::part(fileName, "xl/charts/chart1.xml"));
    const Chart times = parseChart(XlsxTestReader::part(fileName, "xl/charts/chart2.xml"));
    QVERIFY(places.isLineChart && times.isLineChart);
    QVERIFY2(places.valuesReversed, "place 1 belongs on top");
    QVERIFY(!times.valuesReversed);
    QCOMPARE(places.series.size(), snapshot.carCount());
    QCOMPARE(times.series.size(), snapshot.carCount());

    const QList<QList<double>> expectedPlaces = ResultsSamples::expectedPlaces(snapshot);
    const int laps = MostLaps(snapshot);
    QStringList lapNumbers;
    for (int lap = 1; lap <= laps; ++lap)
        lapNumbers << QString::number(lap);
    for (int i = 0; i < snapshot.carCount(); ++i) {
        const TResultsRow &row = snapshot.rows.at(i);
        for (const Chart *chart : {&places, &times}) {
            const ChartSeries &series = chart->series.at(i);
            QCOMPARE(cellsOf(data, series.name), QStringList{CarLabel(row)});
            QCOMPARE(cellsOf(data, series.categories), lapNumbers);
        }
        const QStringList placeCells = cellsOf(data, places.series.at(i).values);
        const QStringList timeCells = cellsOf(data, times.series.at(i).values);
        QCOMPARE(placeCells.size(), laps);
        QCOMPARE(timeCells.size(), laps);
        for (int lap = 1; lap <= laps; ++lap) {
            if (lap > row.count()) {
                QVERIFY(placeCells.at(lap - 1).isEmpty());
                QVERIFY(timeCells.at(lap - 1).isEmpty());
                continue;
            }
            QCOMPARE(placeCells.at(lap - 1).toDouble(), expectedPlaces.at(i).at(lap - 1));
            QCOMPARE(qRound(timeCells.at(lap - 1).toDouble() * 1000), row.lapTime(lap));
        }
    }
}

void TestResultsCharts::sheetsAreFoundByNameAfterOtherSheets()
{
    const TResultsSnapshot s = ResultsSamples::threeCars();
    const QString fileName = writeWorkbook(s, QStringLiteral("Korrekturen"));
    QVERIFY(!fileName.isEmpty());
    XlsxTestReader data;
    QVERIFY2(data.read(fileName, QStringLiteral("Daten")), qPrintable(data.error()));
    QCOMPARE(data.sheetNames(),
             (QStringList{QStringLiteral("Sheet1"), QStringLiteral("Korrekturen"),
                          QStringLiteral("Diagramme"), QStringLiteral("Daten")}));
    const Chart places = parseChart(XlsxTestReader::part(fileName, "xl/charts/chart1.xml"));
    QCOMPARE(cellsOf(data, places.series.at(0).values), (QStringList{"1", "1", "1"}));

    // The results sheet is the same as without the charts.
    TExcel plain;
    plain.SetFolder(m_folder->path());
    QVERIFY(plain.Connect() && WriteResultsWorkbook(plain, s) && plain.Save());
    XlsxTestReader withCharts;
    XlsxTestReader without;
    QVERIFY(withCharts.read(fileName) && without.read(plain.fileName()));
    QCOMPARE(withCharts.lastRow(), without.lastRow());
    QCOMPARE(withCharts.lastColumn(), without.lastColumn());
    for (int row = 1; row <= without.lastRow(); ++row) {
        for (int column = 1; column <= without.lastColumn(); ++column)
            QCOMPARE(withCharts.cell(row, column), without.cell(row, column));
    }
    QVERIFY(withCharts.allCellsAreText());
}

void TestResultsCharts::withoutLapsThereIsNoChart()
{
    const QString fileName = writeWorkbook(ResultsSamples::noLaps());
    QVERIFY(!fileName.isEmpty());
    QVERIFY(XlsxTestReader::part(fileName, QStringLiteral("xl/charts/chart1.xml")).isEmpty());
    XlsxTestReader charts;
    QVERIFY(charts.read(fileName, QStringLiteral("Diagramme")));
    QCOMPARE(charts.cell(3, 1), QStringLiteral("Noch keine Runde abgeschlossen."));
    XlsxTestReader data;
    QVERIFY(data.read(fileName, QStringLiteral("Daten")));
    QCOMPARE(data.lastRow(), 2); // titles and names, no lap
    QCOMPARE(data.cell(2, 2), QStringLiteral("Nr. 7 Łukasz Nowak"));
}

void TestResultsCharts::sheetNamesCannotBeTakenTwice()
{
    TExcel excel;
    excel.SetFolder(m_folder->path());
    QVERIFY(!excel.AddSheet(QStringLiteral("Daten"))); // no workbook yet
    QVERIFY(!excel.errorString().isEmpty());
    QVERIFY(excel.Connect());
    excel.NewWorkbook();
    QVERIFY(excel.AddSheet(QStringLiteral("Daten")));
    QVERIFY(!excel.AddSheet(QStringLiteral("Daten")));
    QVERIFY(excel.errorString().contains(QStringLiteral("Daten")));
    QVERIFY(!WriteResultsCharts(excel, ResultsSamples::threeCars()));
    excel.Discard();
}

QTEST_GUILESS_MAIN(TestResultsCharts)
#include "tst_resultscharts.moc"

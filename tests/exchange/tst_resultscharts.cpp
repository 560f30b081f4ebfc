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

// One line of a chart: the formulas of its name, categories and values.
struct ChartSeries
{
    QString name, categories, values;
};

// The lines of a chart part, and whether its value axis runs from the top down.
QList<ChartSeries> parseChart(const QByteArray &xml, bool *reversed)
{
    QList<ChartSeries> series;
    QXmlStreamReader reader(xml);
    QStringView part;
    *reversed = false;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QString name = reader.name().toString();
        if (name == u"ser")
            series << ChartSeries();
        else if (name == u"tx" || name == u"cat" || name == u"val")
            part = name == u"tx" ? u"tx" : name == u"cat" ? u"cat" : u"val";
        else if (name == u"orientation")
            *reversed |= reader.attributes().value(QStringLiteral("val")) == u"maxMin";
        else if (name == u"f" && !series.isEmpty())
            (part == u"tx"    ? series.last().name
             : part == u"cat" ? series.last().categories
                              : series.last().values) = reader.readElementText();
    }
    return series;
}

// The cells that "Daten!$B$3:$B$5" or "Daten!$B$2" points to, top to bottom.
QStringList cellsOf(const XlsxTestReader &sheet, const QString &formula)
{
    static const QRegularExpression pattern(
        QStringLiteral("^Daten!\\$([A-Z]+)\\$(\\d+)(?::\\$\\1\\$(\\d+))?$"));
    const QRegularExpressionMatch m = pattern.match(formula);
    if (!m.hasMatch())
        return {QStringLiteral("unexpected formula ") + formula};
    int column = 0;
    for (const QChar letter : m.captured(1))
        column = column * 26 + letter.unicode() - u'A' + 1;
    QStringList cells;
    for (int row = m.captured(2).toInt(); row <= qMax(m.captured(3).toInt(), m.captured(2).toInt());
         ++row)
        cells << sheet.cell(row, column);
    return cells;
}

QStringList sheetNames(const QString &fileName)
{
    QStringList names;
    static const QRegularExpression sheet(QStringLiteral("<sheet name=\"([^\"]+)\""));
    const QString xml = QString::fromUtf8(XlsxTestReader::part(fileName, "xl/workbook.xml"));
    for (auto it = sheet.globalMatch(xml); it.hasNext();)
        names << it.next().captured(1);
    return names;
}

// The first capture of pattern in the part, as a number; -1 when it is not there.
double numberIn(const QByteArray &part, const QString &pattern)
{
    const QRegularExpressionMatch m = QRegularExpression(pattern).match(QString::fromUtf8(part));
    return m.hasMatch() ? m.captured(1).toDouble() : -1;
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
    void chartsFollowOtherSheetsAndLeaveTheResultsAlone();
    void withoutLapsThereIsNoChart();
    void everySheetPrintsOnA4WithEachChartOnAPage();

private:
    // The results sheet, optionally a sheet of someone else's, then the charts.
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
    const bool written = excel.Connect() && WriteResultsWorkbook(excel, snapshot) &&
                         (sheetBefore.isEmpty() || excel.AddSheet(sheetBefore)) &&
                         WriteResultsCharts(excel, snapshot) && excel.Save();
    return written ? excel.fileName() : excel.errorString();
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
    QCOMPARE(sheetNames(fileName), (QStringList{"Ergebnis", "Diagramme", "Daten"}));
    QVERIFY(XlsxTestReader::part(fileName, "xl/worksheets/sheet2.xml").contains("<drawing "));
    XlsxTestReader data;
    QVERIFY2(data.read(fileName, "xl/worksheets/sheet3.xml"), qPrintable(data.error()));

    bool placesReversed = false;
    bool timesReversed = false;
    const auto places =
        parseChart(XlsxTestReader::part(fileName, "xl/charts/chart1.xml"), &placesReversed);
    const auto times =
        parseChart(XlsxTestReader::part(fileName, "xl/charts/chart2.xml"), &timesReversed);
    QVERIFY2(placesReversed && !timesReversed, "place 1 belongs on top, fast laps at the bottom");
    QCOMPARE(places.size(), snapshot.carCount());
    QCOMPARE(times.size(), snapshot.carCount());

    const QList<QList<double>> expected = ResultsSamples::expectedPlaces(snapshot);
    const int laps = MostLaps(snapshot);
    for (int i = 0; i < snapshot.carCount(); ++i) {
        const TResultsRow &row = snapshot.rows.at(i);
        QCOMPARE(cellsOf(data, places.at(i).name), QStringList{CarLabel(row)});
        QCOMPARE(cellsOf(data, times.at(i).name), QStringList{CarLabel(row)});
        const QStringList lapNumbers = cellsOf(data, places.at(i).categories);
        QCOMPARE(lapNumbers.size(), laps);
        QCOMPARE(lapNumbers.last(), QString::number(laps));
        const QStringList placeCells = cellsOf(data, places.at(i).values);
        const QStringList timeCells = cellsOf(data, times.at(i).values);
        for (int lap = 1; lap <= laps; ++lap) {
            // A lap not completed is an empty cell, a gap in the line.
            QCOMPARE(placeCells.at(lap - 1).toDouble(), expected.at(i).value(lap - 1));
            QCOMPARE(qRound(timeCells.at(lap - 1).toDouble() * 1000), row.lapTime(lap));
        }
    }
}

void TestResultsCharts::chartsFollowOtherSheetsAndLeaveTheResultsAlone()
{
    const TResultsSnapshot s = ResultsSamples::threeCars();
    const QString fileName = writeWorkbook(s, QStringLiteral("Korrekturen"));
    QCOMPARE(sheetNames(fileName), (QStringList{"Ergebnis", "Korrekturen", "Diagramme", "Daten"}));
    bool reversed = false;
    const auto places =
        parseChart(XlsxTestReader::part(fileName, "xl/charts/chart1.xml"), &reversed);
    XlsxTestReader data;
    QVERIFY(data.read(fileName, "xl/worksheets/sheet4.xml"));
    QCOMPARE(cellsOf(data, places.at(1).values), (QStringList{"2", "2", "2"}));

    TExcel plain;
    plain.SetFolder(m_folder->path());
    QVERIFY(plain.Connect() && WriteResultsWorkbook(plain, s) && plain.Save());
    QCOMPARE(XlsxTestReader::part(fileName, "xl/worksheets/sheet1.xml"),
             XlsxTestReader::part(plain.fileName(), "xl/worksheets/sheet1.xml"));
}

void TestResultsCharts::withoutLapsThereIsNoChart()
{
    const QString fileName = writeWorkbook(ResultsSamples::noLaps());
    QVERIFY(XlsxTestReader::part(fileName, "xl/charts/chart1.xml").isEmpty());
    XlsxTestReader charts;
    QVERIFY2(charts.read(fileName, "xl/worksheets/sheet2.xml"), qPrintable(fileName));
    QCOMPARE(charts.cell(3, 1), QStringLiteral("Noch keine Runde abgeschlossen."));

    TExcel excel; // a name taken is refused, and so are the charts that need it
    excel.SetFolder(m_folder->path());
    QVERIFY(excel.Connect());
    excel.NewWorkbook();
    QVERIFY(excel.AddSheet(QStringLiteral("Daten")));
    QVERIFY(!WriteResultsCharts(excel, ResultsSamples::threeCars()));
    QVERIFY(excel.errorString().contains(QStringLiteral("Daten")));
    excel.Discard();
}

// On A4: the sheets of text fitted to the page width with their headings on every page, each
// chart whole on a page of its own, across, at full size.
void TestResultsCharts::everySheetPrintsOnA4WithEachChartOnAPage()
{
    TResultsSnapshot s = ResultsSamples::twelveCarsFiftyLaps();
    s.corrections << TCorrectionLine{QStringLiteral("14:03:12"), QStringLiteral("Runde gelöscht")};
    const QString fileName = writeWorkbook(s);
    QCOMPARE(sheetNames(fileName), (QStringList{"Ergebnis", "Korrekturen", "Diagramme", "Daten"}));
    const auto sheet = [&fileName](int n) {
        return XlsxTestReader::part(fileName, QStringLiteral("xl/worksheets/sheet%1.xml").arg(n));
    };
    for (const int n : {1, 2, 4}) {
        QVERIFY2(sheet(n).contains("<pageSetUpPr fitToPage=\"1\"/>"), qPrintable(sheet(n)));
        QVERIFY(sheet(n).contains("<pageSetup paperSize=\"9\" fitToHeight=\"0\""));
    }
    QVERIFY(sheet(1).contains("orientation=\"landscape\"")); // twelve cars side by side
    QVERIFY(sheet(2).contains("orientation=\"portrait\""));
    const QByteArray workbook = XlsxTestReader::part(fileName, "xl/workbook.xml");
    QVERIFY(workbook.contains(">Ergebnis!$6:$8</definedName>"));
    QVERIFY(workbook.contains(">Daten!$1:$2</definedName>"));

    // Not fitted, since spreadsheets drop the page breaks of a fitted sheet.
    const QByteArray charts = sheet(3);
    QVERIFY(!charts.contains("fitToPage"));
    QVERIFY(charts.contains("<pageSetup paperSize=\"9\" orientation=\"landscape\"/>"));
    // A break "at" row n starts a page with the 0-based row n.
    const int pageBreak = int(numberIn(charts, QStringLiteral("<brk id=\"(\\d+)\"")));
    const int chartColumns = int(numberIn(charts, QStringLiteral("<col min=\"1\" max=\"(\\d+)\"")));
    const double columnWidth =
        numberIn(charts, QStringLiteral("<col min=\"1\" max=\"\\d+\" width=\"([\\d.]+)\""));
    // The page across between the default margins (0.7 in at the sides, 0.75 in above and
    // below) in pixels at 96 per inch; a column as 7 pixels per unit of its stored width, and
    // some programs draw it up to a third wider.
    const double pageWidthPx = (11.69 - 2 * 0.7) * 96;
    const double pageHeightPx = (8.27 - 2 * 0.75) * 96;
    const double rowPx = 20;
    QVERIFY(chartColumns > 0 && columnWidth > 0);
    QVERIFY(chartColumns * 7 * columnWidth * 4 / 3 <= pageWidthPx);

    const QString drawing = QString::fromUtf8(
        XlsxTestReader::part(fileName, QStringLiteral("xl/drawings/drawing1.xml")));
    static const QRegularExpression anchor(QStringLiteral(
        "<xdr:from><xdr:col>(\\d+)</xdr:col><xdr:colOff>0</xdr:colOff><xdr:row>(\\d+)</xdr:row>"
        ".*?<xdr:to><xdr:col>(\\d+)</xdr:col><xdr:colOff>(\\d+)</xdr:colOff>"
        "<xdr:row>(\\d+)</xdr:row>"));
    QList<QRegularExpressionMatch> chartsOnSheet;
    for (auto it = anchor.globalMatch(drawing); it.hasNext();)
        chartsOnSheet << it.next();
    QCOMPARE(chartsOnSheet.size(), 2);
    int pageTop = 0; // 0-based rows, as in the drawing; the break starts a page with its row
    for (const QRegularExpressionMatch &chart : std::as_const(chartsOnSheet)) {
        const int firstRow = chart.captured(2).toInt();
        const int lastRow = chart.captured(5).toInt();
        const int pageBottom = pageTop == 0 ? pageBreak : pageBreak + int(pageHeightPx / rowPx);
        QVERIFY2(firstRow >= pageTop && lastRow < pageBottom,
                 qPrintable(QStringLiteral("chart in rows %1 to %2, page in rows %3 to %4")
                                .arg(firstRow)
                                .arg(lastRow)
                                .arg(pageTop)
                                .arg(pageBottom - 1)));
        QCOMPARE(chart.captured(1).toInt(), 0);
        const int lastColumn = chart.captured(3).toInt() + (chart.captured(4).toInt() > 0 ? 1 : 0);
        QVERIFY(lastColumn <= chartColumns);
        pageTop = pageBreak;
    }
    QVERIFY(pageBreak * rowPx <= pageHeightPx);
}

QTEST_GUILESS_MAIN(TestResultsCharts)
#include "tst_resultscharts.moc"

#include "AnalysisPageWriter.h"
#include "FailingDevice.h"
#include "ResultsSamples.h"
#include "TempFolder.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTest>
#include <QXmlStreamReader>

#include <memory>

Q_DECLARE_METATYPE(TResultsSnapshot)

using namespace Qt::StringLiterals;

namespace {

struct Series
{
    QList<double> values;
    QList<QPointF> points;
};

struct TableRow
{
    QStringList cells; // Wagen, Nr., Fahrer, then one per lap
    QStringList ms;    // data-ms of the lap cells
};

// What a reader of the page sees: per chart the lines of each car, per data table its rows,
// and the plain texts of the headings and the legend.
struct ParsedPage
{
    QHash<QString, QMap<int, Series>> charts;   // svg id -> car -> line
    QHash<QString, QMap<int, TableRow>> tables; // table id -> car -> row
    QStringList texts;
    QString error;
};

QList<QPointF> parsePoints(QStringView text)
{
    QList<QPointF> points;
    for (const QStringView pair : text.split(u' ', Qt::SkipEmptyParts)) {
        const auto xy = pair.split(u',');
        points << QPointF(xy.at(0).toDouble(), xy.at(1).toDouble());
    }
    return points;
}

ParsedPage parsePage(const QByteArray &bytes)
{
    ParsedPage page;
    QXmlStreamReader reader(bytes);
    QString svg;
    QString table;
    int car = 0;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isEndElement() && reader.name() == u"svg")
            svg.clear();
        if (!reader.isStartElement())
            continue;
        const QXmlStreamAttributes a = reader.attributes();
        if (reader.name() == u"svg") {
            svg = a.value(u"id"_s).toString();
            page.charts[svg];
        } else if (reader.name() == u"polyline") {
            Series &series = page.charts[svg][a.value(u"data-car"_s).toInt()];
            for (const QStringView v : a.value(u"data-values"_s).split(u' '))
                series.values << v.toDouble();
            series.points = parsePoints(a.value(u"points"_s));
        } else if (reader.name() == u"table") {
            table = a.value(u"id"_s).toString();
        } else if (reader.name() == u"tr" && a.hasAttribute(u"data-car"_s)) {
            car = a.value(u"data-car"_s).toInt();
        } else if (reader.name() == u"td") {
            TableRow &row = page.tables[table][car];
            const QString ms = a.value(u"data-ms"_s).toString();
            row.cells << reader.readElementText();
            if (row.cells.size() > 3)
                row.ms << ms;
        } else if (reader.name() == u"h1" || reader.name() == u"li" || reader.name() == u"p") {
            page.texts << reader.readElementText(QXmlStreamReader::IncludeChildElements);
        }
    }
    if (reader.hasError())
        page.error = reader.errorString() + u" at line "_s + QString::number(reader.lineNumber());
    return page;
}

} // namespace

class TestAnalysisPage : public QObject
{
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale::c()); }

    void lapChartPlotsEachCarsPlaces_data();
    void lapChartPlotsEachCarsPlaces();
    void lapTimesArePlottedHigherWhenSlower();
    void oddTextsStayTextAndThePageWellFormed();
    void withoutLapsThereIsNothingToPlot();
    void pageNeedsNothingFromElsewhere();
    void writeFileIsAllOrNothing();
    void failedWriteIsReported();
    void fileNameLiesBesideTheResultsPage();
};

void TestAnalysisPage::lapChartPlotsEachCarsPlaces_data()
{
    QTest::addColumn<TResultsSnapshot>("snapshot");
    QTest::newRow("three cars") << ResultsSamples::threeCars();
    QTest::newRow("12 x 50") << ResultsSamples::twelveCarsFiftyLaps();
    TResultsSnapshot tie = ResultsSamples::threeCars();
    tie.rows[2] = ResultsSamples::row(3, QStringLiteral("12"), QStringLiteral("J"), {1500000});
    QTest::newRow("tie at lap 1") << tie;
}

void TestAnalysisPage::lapChartPlotsEachCarsPlaces()
{
    QFETCH(TResultsSnapshot, snapshot);
    const ParsedPage page = parsePage(TAnalysisPageWriter::page(snapshot));
    QVERIFY2(page.error.isEmpty(), qPrintable(page.error));
    const QList<QList<double>> places = ResultsSamples::expectedPlaces(snapshot);
    const QMap<int, Series> &lines = page.charts.value(QStringLiteral("lap-chart"));
    const QMap<int, TableRow> &table = page.tables.value(QStringLiteral("lap-chart-data"));
    QCOMPARE(lines.size(), snapshot.carCount());
    for (int i = 0; i < snapshot.carCount(); ++i) {
        const int car = snapshot.rows.at(i).car;
        QCOMPARE(lines.value(car).values, places.at(i));
        QCOMPARE(lines.value(car).points.size(), places.at(i).size());
        for (int lap = 1; lap <= places.at(i).size(); ++lap)
            QCOMPARE(table.value(car).cells.at(2 + lap), QString::number(places.at(i).at(lap - 1)));
    }
    // The drawing agrees with the data: at every lap a better place is drawn higher up, and
    // the same lap is drawn at the same x for every car.
    for (auto a = lines.cbegin(); a != lines.cend(); ++a) {
        for (auto b = lines.cbegin(); b != lines.cend(); ++b) {
            const int common = int(qMin(a->values.size(), b->values.size()));
            for (int k = 0; k < common; ++k) {
                QCOMPARE(a->points.at(k).x(), b->points.at(k).x());
                if (a->values.at(k) < b->values.at(k))
                    QVERIFY(a->points.at(k).y() < b->points.at(k).y());
            }
        }
    }
}

void TestAnalysisPage::lapTimesArePlottedHigherWhenSlower()
{
    const TResultsSnapshot s = ResultsSamples::twelveCarsFiftyLaps();
    const ParsedPage page = parsePage(TAnalysisPageWriter::page(s));
    QVERIFY2(page.error.isEmpty(), qPrintable(page.error));
    const QMap<int, Series> &lines = page.charts.value(QStringLiteral("lap-time-chart"));
    const QMap<int, TableRow> &table = page.tables.value(QStringLiteral("lap-time-chart-data"));
    QList<QPair<double, double>> timeAndY;
    for (const TResultsRow &row : s.rows) {
        QList<double> expected;
        QStringList ms;
        for (const qint32 lap : row.laps) {
            expected << lap;
            ms << QString::number(lap);
        }
        QCOMPARE(lines.value(row.car).values, expected);
        QCOMPARE(table.value(row.car).ms, ms);
        for (int k = 0; k < expected.size(); ++k)
            timeAndY.append({expected.at(k), lines.value(row.car).points.at(k).y()});
    }
    std::sort(timeAndY.begin(), timeAndY.end());
    for (int k = 1; k < timeAndY.size(); ++k) {
        if (timeAndY.at(k).first > timeAndY.at(k - 1).first)
            QVERIFY(timeAndY.at(k).second < timeAndY.at(k - 1).second);
    }
    // Every point lies inside the drawing.
    for (const auto &[time, y] : timeAndY)
        QVERIFY(y > 0 && y < 380);
}

void TestAnalysisPage::oddTextsStayTextAndThePageWellFormed()
{
    TResultsSnapshot s = ResultsSamples::oddTexts();
    s.rows[2].driver = QStringLiteral("Bell\x07 Ende") + QChar(0xD800); // stray bytes of a list
    const QByteArray bytes = TAnalysisPageWriter::page(s);
    const ParsedPage page = parsePage(bytes);
    QVERIFY2(page.error.isEmpty(), qPrintable(page.error));
    QVERIFY(!bytes.contains("<b>"));
    QCOMPARE(page.texts.first(), QStringLiteral("Rennanalyse: <b>&\"Lauf\"; Öß"));
    QVERIFY(page.texts.contains(QStringLiteral("Nr. 1;2 <b>&\" (F4)")));
    const QMap<int, TableRow> &table = page.tables.value(QStringLiteral("lap-chart-data"));
    QCOMPARE(table.value(9).cells.mid(0, 3), (QStringList{"F9", "3,4", "Jürgen Öß\nzweite Zeile"}));
    QCOMPARE(table.value(11).cells.at(2), QStringLiteral("Bell Ende\uFFFD"));
}

void TestAnalysisPage::withoutLapsThereIsNothingToPlot()
{
    const QByteArray bytes = TAnalysisPageWriter::page(ResultsSamples::noLaps());
    const ParsedPage page = parsePage(bytes);
    QVERIFY2(page.error.isEmpty(), qPrintable(page.error));
    QVERIFY(page.charts.isEmpty());
    QCOMPARE(page.texts.count(QStringLiteral("Noch keine Runde abgeschlossen.")), 2);

    TResultsSnapshot none = ResultsSamples::noLaps();
    none.rows.clear();
    QVERIFY(parsePage(TAnalysisPageWriter::page(none)).error.isEmpty());
}

void TestAnalysisPage::pageNeedsNothingFromElsewhere()
{
    const QByteArray bytes = TAnalysisPageWriter::page(ResultsSamples::threeCars());
    QVERIFY(bytes.startsWith("<!DOCTYPE html>"));
    QVERIFY(bytes.contains("<meta charset=\"utf-8\"/>"));
    for (const char *outside : {"<script", "src=", "href=", "url(", "@import", "<link"})
        QVERIFY2(!bytes.contains(outside), outside);
    QVERIFY(bytes.contains(QStringLiteral("Łukasz Nowak").toUtf8()));
}

void TestAnalysisPage::writeFileIsAllOrNothing()
{
    TempFolder folder;
    const QString name = folder.filePath(QString::fromLatin1(TAnalysisPageWriter::kFileName));
    TAnalysisPageWriter writer;
    QVERIFY2(writer.writeFile(name, ResultsSamples::threeCars()), qPrintable(writer.errorString()));
    QFile file(name);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), TAnalysisPageWriter::page(ResultsSamples::threeCars()));

    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("Ordner.html")));
    QVERIFY(!writer.writeFile(folder.filePath(QStringLiteral("Ordner.html")),
                              ResultsSamples::threeCars()));
    QVERIFY(writer.createFailed());
    QVERIFY(!writer.errorString().isEmpty());
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{TAnalysisPageWriter::kFileName});
}

void TestAnalysisPage::failedWriteIsReported()
{
    FailingDevice device;
    QVERIFY(device.open(QIODevice::WriteOnly));
    TAnalysisPageWriter writer;
    QVERIFY(!writer.write(device, ResultsSamples::threeCars()));
    QVERIFY(!writer.errorString().isEmpty());
}

void TestAnalysisPage::fileNameLiesBesideTheResultsPage()
{
    QCOMPARE(TAnalysisPageWriter::fileNameBeside(QStringLiteral("talvenbahn.html")),
             QStringLiteral("Talvenbahn-Analyse.html"));
    QCOMPARE(TAnalysisPageWriter::fileNameBeside(QStringLiteral("/srv/lauf/talvenbahn.html")),
             QStringLiteral("/srv/lauf/Talvenbahn-Analyse.html"));
}

QTEST_GUILESS_MAIN(TestAnalysisPage)
#include "tst_analysispage.moc"

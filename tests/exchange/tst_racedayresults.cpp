#include "DocumentOpener.h"
#include "Excel.h"
#include "ExportTables.h"
#include "FailingDevice.h"
#include "RaceDayResults.h"
#include "SeasonResults.h"
#include "TempFolder.h"

#include <QBuffer>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString kBold = u"<b>Kim</b> Lee"_s;
const QString kFormula = u"=HYPERLINK(\"http://x\";\"y\")"_s;
const QString kElectric = u"Elektro 1:10 [2WD] / Sport und Spiel"_s;

THeatResult heat(int entrant, int place, int laps, qint32 totalMs, qint32 bestMs,
                 const QString &status = {})
{
    return {entrant, place, laps, totalMs, bestMs, status};
}

// Two classes: the first with qualifying and both finals run, driver 2 winning the A final
// with the fastest lap bonus and driver 4 not starting the B final; the second qualified with
// its final still to run.
TRaceDayExport sampleDay()
{
    TRaceDayExport r;
    r.day.name = u"Frühjahrspreis"_s;
    r.day.date = QDate(2026, 4, 12);
    r.day.points.fastestLap = 2;
    r.day.entrants = {{1, u"7"_s, u"Anna Berg"_s, kElectric, false},
                      {2, u"12"_s, kBold, kElectric, false},
                      {3, u"03"_s, kFormula, kElectric, false},
                      {4, u"21"_s, u"Jörg Weiß"_s, kElectric, false},
                      {5, u"5"_s, u"Lena Roth"_s, u"Verbrenner"_s, false},
                      {6, u"6"_s, u"Tom Falk"_s, u"Verbrenner"_s, false}};
    TClassOutcome electric;
    electric.className = kElectric;
    electric.qualifying = {{1, 1, 10, 301230, 0, 0},
                           {2, 2, 10, 305000, 0, 0},
                           {3, 3, 9, 300000, 0, 0},
                           {4, 4, 0, 0, 0, 0}};
    electric.finalsSeeded = {{1, 2}, {3, 4}};
    electric.finals = {{heat(2, 1, 12, 360000, 29500), heat(1, 2, 11, 350000, 29870)},
                       {heat(3, 1, 8, 310000, 36000), heat(4, 2, 0, 0, 0, u"DNS"_s)}};
    electric.result = {{2, 1, u'A', {}, 27, 2},
                       {1, 2, u'A', {}, 20, 0},
                       {3, 3, u'B', {}, 16, 0},
                       {4, 4, u'B', u"DNS"_s, 0, 0}};
    TClassOutcome combustion;
    combustion.className = u"Verbrenner"_s;
    combustion.qualifying = {{6, 1, 10, 290000, 0, 0}, {5, 2, 10, 295000, 0, 0}};
    combustion.finalsSeeded = {{6, 5}};
    r.outcome.classes = {electric, combustion};
    return r;
}

TSeasonLine seasonLine(const QString &number, const QString &driver, int place, int total,
                       const QList<int> &points, const QList<bool> &dropped,
                       const QList<bool> &present)
{
    return {{number, driver}, place, total, points, dropped, present};
}

// Three days, the best two counting: Anna's third day is dropped, Kim missed the second. The
// second class ran on the first day only.
TSeasonExport sampleSeason()
{
    const TSeasonDay spring{u"Frühjahrspreis"_s, QDate(2026, 4, 12), {}};
    TSeasonExport s;
    s.name = u"Meisterschaft 2026"_s;
    s.bestOf = 2;
    s.classes = {{kElectric,
                  {spring,
                   {u"Sommerlauf"_s, QDate(2026, 6, 7), {}},
                   {u"Herbstpokal"_s, QDate(2026, 9, 20), {}}},
                  {seasonLine(u"7"_s, u"Anna Berg"_s, 1, 45, {25, 20, 16}, {false, false, true},
                              {true, true, true}),
                   seasonLine(u"12"_s, kBold, 2, 40, {20, 0, 20}, {false, false, false},
                              {true, false, true})}},
                 {u"Verbrenner"_s,
                  {spring},
                  {seasonLine(u"6"_s, u"Tom Falk"_s, 1, 25, {25}, {false}, {true})}}};
    return s;
}

// The cells of the row below the title `table` (in column A) whose column C holds driver.
QList<QJsonArray> rowAfter(const QJsonArray &cells, const QString &table, const QString &driver)
{
    int titleRow = 0;
    int row = 0;
    for (const QJsonValue &cell : cells) {
        if (cell[1].toInt() == 1 && cell[3].toString() == table)
            titleRow = cell[0].toInt();
        else if (titleRow > 0 && row == 0 && cell[1].toInt() == 3 && cell[3].toString() == driver)
            row = cell[0].toInt();
    }
    QList<QJsonArray> found;
    for (const QJsonValue &cell : cells) {
        if (cell[0].toInt() == row)
            found << cell.toArray();
    }
    return found;
}

// One table row of a page, as its cells' texts.
QList<QStringList> pageRows(const QString &page)
{
    QList<QStringList> rows;
    static const QRegularExpression rowPattern(u"<tr>(.*?)</tr>"_s);
    static const QRegularExpression cellPattern(u"<t[dh][^>]*>(.*?)</t[dh]>"_s);
    for (auto r = rowPattern.globalMatch(page); r.hasNext();) {
        QStringList cells;
        const QString row = r.next().captured(1);
        for (auto c = cellPattern.globalMatch(row); c.hasNext();)
            cells << c.next().captured(1);
        rows << cells;
    }
    return rows;
}

} // namespace

class TestRaceDayResults : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void sheetNames_data();
    void sheetNames();

    void dayPageShowsQualifyingFinalsAndPoints();
    void qualifyingShowsWhatTheRulesRankBy_data();
    void qualifyingShowsWhatTheRulesRankBy();
    void seasonPageMarksDroppedResults();
    void writersReportFailuresInGerman();

    void dayWorkbookHasASheetPerClassWithNumbers();
    void seasonWorkbookKeepsDroppedResultsAsNumbers();

    void dayPdfShowsClassesFinalsAndPoints();
    void seasonPdfShowsTheTable();
    void seasonPdfOfSixteenDaysCutsNoNameAndSplitsNoRow();

private:
    static QString run(const QString &program, const QStringList &arguments);
    // The workbook that write makes, read back by openpyxl: its sheets in order.
    QJsonArray workbook(const std::function<bool(TExcel &)> &write);
    QString pdfText(const QByteArray &pdf);

    std::unique_ptr<TempFolder> m_folder;
    QStringList m_opened;
};

void TestRaceDayResults::initTestCase()
{
    QLocale::setDefault(QLocale::c());
}

void TestRaceDayResults::init()
{
    m_folder = std::make_unique<TempFolder>();
    m_opened.clear();
    DocumentOpener::setHandler([this](const QString &fileName) { m_opened << fileName; });
}

void TestRaceDayResults::cleanup()
{
    DocumentOpener::setHandler({});
    m_folder.reset();
}

QString TestRaceDayResults::run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return u"failed: "_s + QString::fromUtf8(process.readAllStandardError());
    return QString::fromUtf8(process.readAllStandardOutput());
}

QJsonArray TestRaceDayResults::workbook(const std::function<bool(TExcel &)> &write)
{
    {
        TExcel excel;
        if (!excel.Connect() || !write(excel) || !excel.Save())
            qWarning() << "workbook not written:" << excel.errorString();
    }
    if (m_opened.size() != 1)
        return {};
    const QString json =
        run(u"/usr/bin/python3"_s, {QStringLiteral(DUMP_WORKBOOK), m_opened.first()});
    const QJsonDocument document = QJsonDocument::fromJson(json.toUtf8());
    if (!document.isArray())
        qWarning() << json;
    return document.array();
}

QString TestRaceDayResults::pdfText(const QByteArray &pdf)
{
    if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
        return u"pdftotext (poppler-utils) is missing"_s;
    const QString name = m_folder->filePath(u"ergebnis.pdf"_s);
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size())
        return file.errorString();
    file.close();
    return run(u"pdftotext"_s, {u"-enc"_s, u"UTF-8"_s, u"-layout"_s, name, u"-"_s});
}

void TestRaceDayResults::sheetNames_data()
{
    QTest::addColumn<QStringList>("wished");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("forbidden characters, cut to 31")
        << QStringList{kElectric} << QStringList{u"Elektro 1-10 -2WD- - Sport und"_s};
    QTest::newRow("same name ignoring case, and the reserved name")
        << QStringList{u"Elektro"_s, u"elektro"_s, u"ELEKTRO"_s, u"history"_s}
        << QStringList{u"Elektro"_s, u"elektro (2)"_s, u"ELEKTRO (3)"_s, u"history (2)"_s};
    QTest::newRow("a long repeated name is cut before its number")
        << QStringList{QString(40, u'x'), QString(35, u'x')}
        << QStringList{QString(31, u'x'), QString(27, u'x') + u" (2)"_s};
    QTest::newRow("empty, apostrophes, control characters, a split pair")
        << QStringList{QString(), u"'Quote'"_s, u"a\tb"_s, QString(30, u'y') + u"😀"_s}
        << QStringList{u"Tabelle"_s, u"Quote"_s, u"a-b"_s, QString(30, u'y')};
}

void TestRaceDayResults::sheetNames()
{
    QFETCH(QStringList, wished);
    QFETCH(QStringList, expected);
    QCOMPARE(ExcelSheetNames(wished), expected);
}

void TestRaceDayResults::dayPageShowsQualifyingFinalsAndPoints()
{
    const QString page = QString::fromUtf8(TRaceDayPageWriter::page(sampleDay()));
    // Names from the starter list are text, never markup.
    QVERIFY(!page.contains(kBold));
    QVERIFY(page.contains(u"&lt;b&gt;Kim&lt;/b&gt; Lee"_s));
    QVERIFY(page.contains(u"<h2>Klasse Elektro 1:10 [2WD] / Sport und Spiel</h2>"_s));

    // Qualifying, the A final, the B final, the result: in that order, then the next class.
    const QStringList order{u"<h3>Qualifikation</h3>"_s, u"<h3>A-Finale</h3>"_s,
                            u"<h3>B-Finale</h3>"_s, u"<h3>Ergebnis und Punkte</h3>"_s,
                            u"<h2>Klasse Verbrenner</h2>"_s};
    qsizetype from = 0;
    for (const QString &heading : order) {
        const qsizetype at = page.indexOf(heading, from);
        QVERIFY2(at >= 0, qPrintable(heading));
        from = at;
    }

    const QList<QStringList> rows = pageRows(page);
    const auto has = [&rows](const QStringList &row) { return rows.contains(row); };
    QVERIFY(has({u"Platz"_s, u"Nr."_s, u"Fahrer"_s, u"Runden"_s, u"Gesamtzeit"_s}));
    QVERIFY(has({u"1."_s, u"7"_s, u"Anna Berg"_s, u"10"_s, u"00:05:01.23"_s}));
    QVERIFY(has({u"4."_s, u"21"_s, u"Jörg Weiß"_s, u"0"_s, u""_s}));
    QVERIFY(has({u"1."_s, u"12"_s, u"&lt;b&gt;Kim&lt;/b&gt; Lee"_s, u"12"_s, u"00:06:00.00"_s,
                 u"00:00:29.50"_s, u""_s}));
    QVERIFY(has({u"2."_s, u"21"_s, u"Jörg Weiß"_s, u"0"_s, u""_s, u""_s, u"DNS"_s}));
    // The points with their bonus part; the start number "03" kept as written.
    QVERIFY(
        has({u"1."_s, u"12"_s, u"&lt;b&gt;Kim&lt;/b&gt; Lee"_s, u"A"_s, u""_s, u"27"_s, u"2"_s}));
    QVERIFY(has({u"3."_s, u"03"_s, u"=HYPERLINK(&quot;http://x&quot;;&quot;y&quot;)"_s, u"B"_s,
                 u""_s, u"16"_s, u""_s}));
    QVERIFY(has({u"4."_s, u"21"_s, u"Jörg Weiß"_s, u"B"_s, u"DNS"_s, u"0"_s, u""_s}));
    QVERIFY(page.contains(u"schnellste Runde im A-Finale: 2"_s));
    // The class whose final has not run: its starting order, no result yet.
    QVERIFY(has({u"Startplatz"_s, u"Nr."_s, u"Fahrer"_s}));
    QVERIFY(has({u"1."_s, u"6"_s, u"Tom Falk"_s}));
    QVERIFY(page.contains(u"Steht fest, sobald alle Finale gefahren sind."_s));
}

void TestRaceDayResults::qualifyingShowsWhatTheRulesRankBy_data()
{
    QTest::addColumn<int>("ranking");
    QTest::addColumn<int>("combine");
    QTest::addColumn<int>("rounds");
    QTest::addColumn<QStringList>("heading");
    QTest::addColumn<QStringList>("first");
    const QStringList driver{u"Platz"_s, u"Nr."_s, u"Fahrer"_s};
    QTest::newRow("laps and time")
        << int(TQualifyRanking::LapsAndTime) << int(TQualifyCombine::BestResult) << 1
        << driver + QStringList{u"Runden"_s, u"Gesamtzeit"_s}
        << QStringList{u"1."_s, u"6"_s, u"Tom Falk"_s, u"10"_s, u"00:04:50.00"_s};
    QTest::newRow("best lap") << int(TQualifyRanking::BestLap) << int(TQualifyCombine::BestResult)
                              << 1 << driver + QStringList{u"Beste Runde"_s}
                              << QStringList{u"1."_s, u"6"_s, u"Tom Falk"_s, u"00:00:28.10"_s};
    QTest::newRow("place sum of two rounds")
        << int(TQualifyRanking::BestLap) << int(TQualifyCombine::SumOfBestTwo) << 2
        << driver + QStringList{u"Platzsumme"_s}
        << QStringList{u"1."_s, u"6"_s, u"Tom Falk"_s, u"3"_s};
}

void TestRaceDayResults::qualifyingShowsWhatTheRulesRankBy()
{
    QFETCH(int, ranking);
    QFETCH(int, combine);
    QFETCH(int, rounds);
    QFETCH(QStringList, heading);
    QFETCH(QStringList, first);
    TRaceDayExport r = sampleDay();
    r.day.rules.ranking = TQualifyRanking(ranking);
    r.day.rules.combine = TQualifyCombine(combine);
    TClassOutcome &c = r.outcome.classes[1];
    c.qualifyingHeats.resize(rounds);
    c.qualifying = {{6, 1, 10, 290000, 28100, 3}, {5, 2, 10, 295000, 28400, 4}};
    const QList<QStringList> rows = pageRows(QString::fromUtf8(TRaceDayPageWriter::page(r)));
    // The second class's qualifying table: its heading row, then its first driver.
    const qsizetype at =
        rows.lastIndexOf(heading, rows.indexOf({u"Startplatz"_s, u"Nr."_s, u"Fahrer"_s}));
    QVERIFY(at >= 0);
    QCOMPARE(rows.value(at + 1), first);
}

void TestRaceDayResults::seasonPageMarksDroppedResults()
{
    const QString page = QString::fromUtf8(TSeasonPageWriter::page(sampleSeason()));
    const QList<QStringList> rows = pageRows(page);
    QVERIFY(rows.contains({u"Platz"_s, u"Nr."_s, u"Fahrer"_s, u"Frühjahrspreis<br/>12.04.2026"_s,
                           u"Sommerlauf<br/>07.06.2026"_s, u"Herbstpokal<br/>20.09.2026"_s,
                           u"Gesamt"_s}));
    QVERIFY(rows.contains({u"1."_s, u"7"_s, u"Anna Berg"_s, u"25"_s, u"20"_s, u"(16)"_s, u"45"_s}));
    // A day away is empty, not a zero that could be read as a result.
    QVERIFY(rows.contains(
        {u"2."_s, u"12"_s, u"&lt;b&gt;Kim&lt;/b&gt; Lee"_s, u"20"_s, u""_s, u"20"_s, u"40"_s}));
    QVERIFY(!page.contains(kBold));
    QVERIFY(page.contains(u"(…) Streichergebnis"_s));
    QVERIFY(page.contains(u"Es zählen die besten 2 von 3 Veranstaltungen."_s));
    // Each class with its own days; only the class with a dropped result explains brackets.
    QVERIFY(rows.contains(
        {u"Platz"_s, u"Nr."_s, u"Fahrer"_s, u"Frühjahrspreis<br/>12.04.2026"_s, u"Gesamt"_s}));
    QVERIFY(rows.contains({u"1."_s, u"6"_s, u"Tom Falk"_s, u"25"_s, u"25"_s}));
    const QString combustion = page.mid(page.indexOf(u"<h2>Klasse Verbrenner</h2>"_s));
    QVERIFY(!combustion.contains(u"Streichergebnis"_s));
    QVERIFY(!combustion.contains(u"Es zählen"_s));
}

void TestRaceDayResults::writersReportFailuresInGerman()
{
    FailingDevice device;
    QVERIFY(device.open(QIODevice::WriteOnly));
    TRaceDayPageWriter page;
    QVERIFY(!page.write(device, sampleDay()));
    QVERIFY(!page.errorString().isEmpty());

    QBuffer closed;
    TSeasonPageWriter season;
    QVERIFY(!season.write(closed, sampleSeason()));
    QCOMPARE(season.errorString(), u"Das Ziel ist nicht zum Schreiben geöffnet."_s);

    QVERIFY(QDir(m_folder->path()).mkdir(u"ordner.pdf"_s));
    TSeasonPdfWriter pdf;
    QVERIFY(!pdf.writeFile(m_folder->filePath(u"ordner.pdf"_s), sampleSeason()));
    QVERIFY(pdf.createFailed());
    QCOMPARE(pdf.errorString(), u"An dieser Stelle liegt ein Ordner."_s);

    QBuffer buffer;
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    QVERIFY(season.write(buffer, sampleSeason()));
    QVERIFY(season.errorString().isEmpty());
    QCOMPARE(buffer.data(), TSeasonPageWriter::page(sampleSeason()));
}

void TestRaceDayResults::dayWorkbookHasASheetPerClassWithNumbers()
{
    const QJsonArray sheets =
        workbook([](TExcel &excel) { return WriteRaceDayWorkbook(excel, sampleDay()); });
    QCOMPARE(sheets.size(), 2);
    QCOMPARE(sheets[0][u"name"_s].toString(), u"Elektro 1-10 -2WD- - Sport und"_s);
    QCOMPARE(sheets[1][u"name"_s].toString(), u"Verbrenner"_s);
    for (const QJsonValue &sheet : sheets) {
        QCOMPARE(sheet[u"paper"_s].toInt(), 9); // A4
        QVERIFY(sheet[u"fitToPage"_s].toBool());
        QCOMPARE(sheet[u"fitToHeight"_s].toInt(), 0); // as many pages tall as it takes
        for (const QJsonValue &cell : sheet[u"cells"_s].toArray())
            QVERIFY2(cell[2].toString() != u"f"_s, "no formula anywhere");
    }
    const QJsonArray cells = sheets[0][u"cells"_s].toArray();
    // The formula-like name and the start number "03" stay texts; place and points are
    // numbers. Cells: row, column, type, value, number format.
    const QList<QJsonArray> third = rowAfter(cells, u"Ergebnis und Punkte"_s, kFormula);
    QCOMPARE(third.size(), 5);
    QCOMPARE(third[0][2].toString(), u"n"_s);
    QCOMPARE(third[0][3].toDouble(), 3);
    QCOMPARE(third[1][3].toString(), u"03"_s);
    QCOMPARE(third[2][2].toString(), u"s"_s);
    QCOMPARE(third[4][3].toDouble(), 16);
    // The A final's winner: number and laps as numbers, the times as times shown as on the page.
    const QList<QJsonArray> winner = rowAfter(cells, u"A-Finale"_s, kBold);
    QCOMPARE(winner.size(), 6); // no status
    QCOMPARE(winner[1][3].toDouble(), 12);
    QCOMPARE(winner[3][3].toDouble(), 12);
    QCOMPARE(winner[4][3].toDouble(), 360.0);
    QCOMPARE(winner[4][4].toString(), u"[hh]:mm:ss.00"_s);
    QCOMPARE(winner[5][3].toDouble(), 29.5);
    const QList<QJsonArray> points = rowAfter(cells, u"Ergebnis und Punkte"_s, kBold);
    QCOMPARE(points.size(), 6);
    QCOMPARE(points[4][3].toDouble(), 27);
    QCOMPARE(points[5][3].toDouble(), 2); // the bonus
}

void TestRaceDayResults::seasonWorkbookKeepsDroppedResultsAsNumbers()
{
    const QJsonArray sheets =
        workbook([](TExcel &excel) { return WriteSeasonWorkbook(excel, sampleSeason()); });
    QCOMPARE(sheets.size(), 2);
    QCOMPARE(sheets[1][u"name"_s].toString(), u"Verbrenner"_s);
    const QJsonArray cells = sheets[0][u"cells"_s].toArray();
    // Place, number, driver, three days, total: the dropped 16 a number shown in brackets.
    const QList<QJsonArray> anna = rowAfter(cells, u"Meisterschaftstabelle"_s, u"Anna Berg"_s);
    QCOMPARE(anna.size(), 7);
    QCOMPARE(anna[5][3].toDouble(), 16);
    QCOMPARE(anna[5][4].toString(), u"(0)"_s);
    QCOMPARE(anna[4][4].toString(), u"General"_s);
    QCOMPARE(anna[6][3].toDouble(), 45);
    // Kim missed the second day: nothing stands in that cell.
    const QList<QJsonArray> kim = rowAfter(cells, u"Meisterschaftstabelle"_s, kBold);
    QList<int> columns;
    for (const QJsonArray &cell : kim)
        columns << cell[1].toInt();
    QCOMPARE(columns, (QList<int>{1, 2, 3, 4, 6, 7}));
}

void TestRaceDayResults::dayPdfShowsClassesFinalsAndPoints()
{
    const QString text = pdfText(TRaceDayPdfWriter::pdf(sampleDay()));
    // Each class on a page of its own.
    const QStringList pages = text.split(u'\f');
    QVERIFY2(pages.size() >= 2, qPrintable(text));
    QVERIFY(pages.first().contains(u"Klasse Elektro 1:10 [2WD] / Sport und Spiel"_s));
    QVERIFY(!pages.first().contains(u"Klasse Verbrenner"_s));
    const qsizetype a = text.indexOf(u"A-Finale"_s);
    const qsizetype b = text.indexOf(u"B-Finale"_s);
    QVERIFY2(a > 0 && b > a, qPrintable(text));
    for (const QString &line :
         {u"1\\.\\s+12\\s+<b>Kim</b> Lee\\s+12\\s+00:06:00\\.00\\s+00:00:29\\.50\\n"_s,
          u"1\\.\\s+12\\s+<b>Kim</b> Lee\\s+A\\s+27\\s+2\\n"_s,
          u"4\\.\\s+21\\s+Jörg Weiß\\s+B\\s+DNS\\s+0\\n"_s})
        QVERIFY2(QRegularExpression(line).match(text, a).hasMatch(),
                 qPrintable(line + u'\n' + text));
}

void TestRaceDayResults::seasonPdfShowsTheTable()
{
    const QString text = pdfText(TSeasonPdfWriter::pdf(sampleSeason()));
    QVERIFY2(text.contains(u"Meisterschaft 2026"_s), qPrintable(text));
    QVERIFY2(QRegularExpression(u"1\\.\\s+7\\s+Anna Berg\\s+25\\s+20\\s+\\(16\\)\\s+45\\n"_s)
                 .match(text)
                 .hasMatch(),
             qPrintable(text));
    QVERIFY(text.contains(u"Streichergebnis"_s));
}

void TestRaceDayResults::seasonPdfOfSixteenDaysCutsNoNameAndSplitsNoRow()
{
    TSeasonExport season;
    season.name = u"Meisterschaft 2026"_s;
    TSeasonExportClass c{u"Elektro"_s, {}, {}};
    for (int d = 0; d < 16; ++d)
        c.days.append({u"Winterpokal Lauf %1"_s.arg(d + 1), QDate(2026, 1, 4).addDays(7 * d), {}});
    // Enough drivers for a second page.
    for (int r = 1; r <= 45; ++r)
        c.lines.append(seasonLine(QString::number(r), u"Gerhard Berger-Hinterberger %1"_s.arg(r), r,
                                  16 * 25, QList<int>(16, 25), QList<bool>(16, false),
                                  QList<bool>(16, true)));
    season.classes = {c};
    const QString text = pdfText(TSeasonPdfWriter::pdf(season));
    QVERIFY2(text.contains(u"\f"_s), qPrintable(text)); // more than one page
    // Each driver's row whole on one line: place, number, the whole name, 16 days and the total.
    for (int r = 1; r <= 45; ++r)
        QVERIFY2(
            QRegularExpression(
                u"\\b%1\\.\\s+%1\\s+Gerhard Berger-Hinterberger %1(\\s+25){16}\\s+400\\n"_s.arg(r))
                .match(text)
                .hasMatch(),
            qPrintable(text));
    // The headings whole too: the day's number above its date, and the total's.
    QVERIFY2(QRegularExpression(u"Gesamt\\n"_s).match(text).hasMatch(), qPrintable(text));
    QVERIFY2(QRegularExpression(u"\\b04\\.01\\.\\s+11\\.01\\."_s).match(text).hasMatch(),
             qPrintable(text));
    QVERIFY2(text.contains(u"1 = Winterpokal Lauf 1 (04.01.2026)"_s), qPrintable(text));
}

QTEST_MAIN(TestRaceDayResults)
#include "tst_racedayresults.moc"

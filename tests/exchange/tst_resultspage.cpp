#include "FailingDevice.h"
#include "FileSizeLimit.h"
#include "HtmlText.h"
#include "ResultsPageWriter.h"
#include "ResultsSamples.h"
#include "TempFolder.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTest>

namespace {

QByteArray fixture(const QString &name)
{
    QFile file(QStringLiteral(FIXTURE_DIR "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", qPrintable(name));
    return file.readAll();
}

// Compares line by line first, so a mismatch names the line instead of two whole pages.
void compareLines(const QByteArray &actual, const QByteArray &expected)
{
    const QList<QByteArray> a = actual.split('\n');
    const QList<QByteArray> e = expected.split('\n');
    for (qsizetype i = 0; i < qMin(a.size(), e.size()); ++i)
        QCOMPARE(a.at(i), e.at(i));
    QCOMPARE(a.size(), e.size());
}

// The lap rows and the total row of the page, each as its label and its cells' texts.
QList<QStringList> lapTable(const QByteArray &page)
{
    QList<QStringList> rows;
    const QString text = QString::fromLatin1(page);
    for (QString line : text.split(QStringLiteral("\r\n"))) {
        if (!line.startsWith(QStringLiteral("<tr><td")))
            continue;
        line.remove(QStringLiteral("</tr>")).remove(QStringLiteral("</TABLE>"));
        line.remove(QStringLiteral("<b>")).remove(QStringLiteral(" bgcolor=#B0A786"));
        QStringList cells = line.split(QStringLiteral("<td>"));
        cells.removeFirst(); // "<tr>"
        rows << cells;
    }
    return rows;
}

} // namespace

class TestResultsPage : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void pageMatchesExpected_data();
    void pageMatchesExpected();
    void germanLocaleUsesItsSeparatorAndDate();
    void withoutLapsTheTotalsFollowTheDrivers();
    void ownLapsAndTotalsAfterTheFlagOrUnderAVerdict_data();
    void ownLapsAndTotalsAfterTheFlagOrUnderAVerdict();
    void textsCannotInjectMarkup();

    void escapes_data();
    void escapes();
    void encodes_data();
    void encodes();

    void writeFileReplacesAnEarlierPage();
    void fileThatCannotBeCreatedIsReported();
    void failedWriteIsReported();
    void fullDiskKeepsTheEarlierPage();
    void symbolicLinkIsReplacedNotFollowed();
    void fileNameFollowsTheExecutable_data();
    void fileNameFollowsTheExecutable();
};

void TestResultsPage::init()
{
    QLocale::setDefault(QLocale::c());
}

void TestResultsPage::pageMatchesExpected_data()
{
    QTest::addColumn<TResultsSnapshot>("snapshot");
    QTest::addColumn<QString>("expected");
    QTest::newRow("three cars, totals over an hour")
        << ResultsSamples::threeCars() << "results_three_cars.html";
    QTest::newRow("one car in hundredths") << ResultsSamples::oneCar() << "results_one_car.html";
}

void TestResultsPage::pageMatchesExpected()
{
    QFETCH(TResultsSnapshot, snapshot);
    QFETCH(QString, expected);
    const QByteArray page = TResultsPageWriter::page(snapshot);
    compareLines(page, fixture(expected));
    QCOMPARE(page, fixture(expected));
}

void TestResultsPage::germanLocaleUsesItsSeparatorAndDate()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QByteArray page = TResultsPageWriter::page(ResultsSamples::threeCars());
    QVERIFY(page.contains("<br>Runden: 3, L\xe4nge: 7,5 Km</H2></div>\r\n"));
    QVERIFY(page.contains("<b>Session: Rennen, 07.12.26<br><hr>\r\n"));
}

void TestResultsPage::withoutLapsTheTotalsFollowTheDrivers()
{
    TResultsSnapshot s = ResultsSamples::threeCars();
    s.leaderLaps = 0;
    const QByteArray page = TResultsPageWriter::page(s);
    const QByteArray totalsAfterDrivers =
        QStringLiteral("Jörg Weiß</tr></thead>\r\n<tr><td><b>Gesamt:<td><b>00:00:00.0"
                       "<td><b>00:00:00.0<td><b>00:00:00.0</TABLE>\r\n")
            .toLatin1();
    QVERIFY(page.contains(totalsAfterDrivers));
    QVERIFY(!page.contains("<td bgcolor=#B0A786><b>1."));
}

void TestResultsPage::ownLapsAndTotalsAfterTheFlagOrUnderAVerdict_data()
{
    const QString none = QStringLiteral("&nbsp;");
    QTest::addColumn<TResultsSnapshot>("snapshot");
    QTest::addColumn<QList<QStringList>>("expected");

    // Each car's own laps, nothing for a lap it did not drive, and the totals the
    // classification gives: the penalised car's 9.0 s + 2 s, the lapped car's two laps, the
    // retired car's one.
    const TResultsSnapshot flag = ResultsSamples::flagWithVerdicts();
    const QList<QStringList> own{
        {"1.", "00:00:03.4", "00:00:03.0", "00:00:03.6", "00:00:03.5", none},
        {"2.", "00:00:03.4", "00:00:03.0", "00:00:03.6", none, none},
        {"3.", "00:00:03.4", "00:00:03.0", none, none, none},
        {"Gesamt:", "00:00:10.2", "00:00:11.0", "00:00:07.2", "00:00:03.5", none},
    };
    QTest::newRow("flag and verdicts") << flag << own;
    TResultsSnapshot verdictsOnly = flag;
    verdictsOnly.flagFallen = false;
    QTest::newRow("verdicts under every rule") << verdictsOnly << own;

    TResultsSnapshot flagOnly = flag;
    for (TResultsRow &row : flagOnly.rows) {
        row.status.clear();
        row.penaltyMs = 0;
    }
    QList<QStringList> flagTotals = own;
    flagTotals[3][2] = QStringLiteral("00:00:09.0");
    QTest::newRow("the flag alone") << flagOnly << flagTotals;

    // A lap taken off the car that drove the most: the rows still run to its last lap.
    TResultsSnapshot lapsOff = ResultsSamples::threeCars();
    lapsOff.rows[0].lapsOff = 1;
    lapsOff.leaderLaps = 2;
    QTest::newRow("laps off") << lapsOff
                              << QList<QStringList>{
                                     {"1.", "00:25:00.0", "00:25:10.0", "00:26:40.0"},
                                     {"2.", "00:22:00.0", "00:22:10.0", none},
                                     {"3.", "00:21:30.5", "00:21:40.0", none},
                                     {"Gesamt:", "01:08:30.5", "01:09:00.0", "00:26:40.0"}};
}

void TestResultsPage::ownLapsAndTotalsAfterTheFlagOrUnderAVerdict()
{
    QFETCH(TResultsSnapshot, snapshot);
    QFETCH(QList<QStringList>, expected);
    QCOMPARE(lapTable(TResultsPageWriter::page(snapshot)), expected);
}

void TestResultsPage::textsCannotInjectMarkup()
{
    TResultsSnapshot s = ResultsSamples::oneCar();
    s.title = QStringLiteral("</H2><script>alert(1)</script>");
    s.rows[0].startNo = QStringLiteral("<img src=x>");
    s.rows[0].driver = QStringLiteral("\"><b>Kim");
    s.mode = QStringLiteral("<i>");
    const QByteArray page = TResultsPageWriter::page(s);
    QVERIFY(!page.contains("<script"));
    QVERIFY(!page.contains("<img"));
    QVERIFY(!page.contains("<i>"));
    QVERIFY(page.contains("&lt;/H2&gt;&lt;script&gt;alert(1)&lt;/script&gt;"));
    QVERIFY(page.contains("<th bgcolor=#B0A786>&quot;&gt;&lt;b&gt;Kim</tr>"));
}

void TestResultsPage::escapes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("escaped");
    QTest::newRow("plain") << "Anna Berg"
                           << "Anna Berg";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("ampersand first, not twice") << "a&lt;"
                                                << "a&amp;lt;";
    QTest::newRow("angle brackets") << "<b>"
                                    << "&lt;b&gt;";
    QTest::newRow("double quote") << "\"x\""
                                  << "&quot;x&quot;";
    QTest::newRow("single quote stays") << "O'Neil"
                                        << "O'Neil";
}

void TestResultsPage::escapes()
{
    QFETCH(QString, text);
    QFETCH(QString, escaped);
    QCOMPARE(HtmlEscaped(text), escaped);
}

void TestResultsPage::encodes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ascii") << "Km" << QByteArray("Km");
    QTest::newRow("latin-1 umlaut is one byte") << "Länge" << QByteArray("L\xe4nge");
    QTest::newRow("last latin-1 character") << "ÿ" << QByteArray("\xff");
    QTest::newRow("beyond latin-1") << "Łódź"
                                    << QByteArray("&#321;\xf3"
                                                  "d&#378;");
    QTest::newRow("euro sign") << "€" << QByteArray("&#8364;");
    QTest::newRow("outside the basic plane")
        << QString::fromUcs4(U"\U0001F3C1 Ziel") << QByteArray("&#127937; Ziel");
    QTest::newRow("lone surrogate") << QString(QChar(0xD800)) + u'x' << QByteArray("&#65533;x");
}

void TestResultsPage::encodes()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(Latin1WithReferences(text), bytes);
}

void TestResultsPage::writeFileReplacesAnEarlierPage()
{
    TempFolder folder;
    const QString name = QStringLiteral("Talvenbahn.html");
    {
        QFile old(name);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(100000, 'x'));
    }
    TResultsPageWriter writer;
    QVERIFY2(writer.writeFile(name, ResultsSamples::oneCar()), qPrintable(writer.errorString()));
    QFile file(name);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), fixture(QStringLiteral("results_one_car.html")));
}

void TestResultsPage::fileThatCannotBeCreatedIsReported()
{
    TempFolder folder;
    const QString name = QStringLiteral("Talvenbahn.html");
    QVERIFY(QDir().mkdir(name)); // a folder in the way cannot be opened for writing
    TResultsPageWriter writer;
    QVERIFY(!writer.writeFile(name, ResultsSamples::oneCar()));
    QVERIFY(writer.createFailed());
    QVERIFY(!writer.errorString().isEmpty());
}

void TestResultsPage::failedWriteIsReported()
{
    FailingDevice device;
    QVERIFY(device.open(QIODevice::WriteOnly));
    TResultsPageWriter writer;
    QVERIFY(!writer.write(device, ResultsSamples::oneCar()));
    QVERIFY(!writer.createFailed());
    QVERIFY(!writer.errorString().isEmpty());

    QBuffer buffer;
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    QVERIFY(writer.write(buffer, ResultsSamples::oneCar()));
    QVERIFY(writer.errorString().isEmpty());
    QCOMPARE(buffer.data(), fixture(QStringLiteral("results_one_car.html")));
}

void TestResultsPage::fullDiskKeepsTheEarlierPage()
{
    TempFolder folder;
    const QString name = QStringLiteral("Talvenbahn.html");
    const QByteArray earlier = fixture(QStringLiteral("results_one_car.html"));
    {
        QFile old(name);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(earlier);
    }
    TResultsSnapshot longRace = ResultsSamples::threeCars();
    longRace.leaderLaps = 0; // the page's size is what matters, not its laps
    longRace.title = QString(8000, u'x');
    TResultsPageWriter writer;
    {
        const FileSizeLimit limit(4096);
        QVERIFY(!writer.writeFile(name, longRace));
    }
    QVERIFY(!writer.createFailed());
    QVERIFY(!writer.errorString().isEmpty());
    QFile file(name);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), earlier);
    // Nothing half written is left beside it.
    QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden), QStringList{name});
}

void TestResultsPage::symbolicLinkIsReplacedNotFollowed()
{
    TempFolder folder;
    const QString name = QStringLiteral("Talvenbahn.html");
    const QString other = folder.filePath(QStringLiteral("wichtig.txt"));
    {
        QFile file(other);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("bleibt");
    }
    QVERIFY(QFile::link(other, name));
    TResultsPageWriter writer;
    QVERIFY2(writer.writeFile(name, ResultsSamples::oneCar()), qPrintable(writer.errorString()));
    QVERIFY(!QFileInfo(name).isSymLink());
    QFile page(name);
    QVERIFY(page.open(QIODevice::ReadOnly));
    QCOMPARE(page.readAll(), fixture(QStringLiteral("results_one_car.html")));
    QFile kept(other);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("bleibt"));
}

void TestResultsPage::fileNameFollowsTheExecutable_data()
{
    QTest::addColumn<QString>("executable");
    QTest::addColumn<QString>("page");
    QTest::newRow("no extension") << "/usr/local/bin/Talvenbahn"
                                  << "Talvenbahn.html";
    QTest::newRow("extension replaced") << "/opt/Talvenbahn.exe"
                                        << "Talvenbahn.html";
    QTest::newRow("only the last extension") << "/opt/lap.timer.bin"
                                             << "lap.timer.html";
    QTest::newRow("no folder") << "Talvenbahn"
                               << "Talvenbahn.html";
}

void TestResultsPage::fileNameFollowsTheExecutable()
{
    QFETCH(QString, executable);
    QFETCH(QString, page);
    QCOMPARE(TResultsPageWriter::fileNameFor(executable), page);
}

QTEST_GUILESS_MAIN(TestResultsPage)
#include "tst_resultspage.moc"

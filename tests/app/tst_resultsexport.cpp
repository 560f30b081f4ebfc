#include "FileSizeLimit.h"
#include "WindowUnderTest.h"

#include "DocumentOpener.h"
#include "XlsxTestReader.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolButton>

namespace {

constexpr int Nr = TRaceTiming::colNr;
constexpr int Fahrer = TRaceTiming::colFahrer;

QString pageText(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
}

QStringList gridTexts(const TWindowUnderTest &t)
{
    QStringList texts;
    for (int row = 0; row < t.window->SortGrid1->RowCount(); ++row) {
        for (int col = 0; col < TRaceTiming::kStandingsColumns; ++col)
            texts << t.Cell(col, row);
    }
    return texts;
}

} // namespace

class TestResultsExport : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void exportsDuringAndAfterTheRace();
    void pageThatCannotBeWrittenIsReported();
    void failedPageIsNotOpened();
    void workbookThatCannotBeWrittenIsReported();
    void resultFilesNameTheirFolder();
    void everyFileShowsTheSameTotalsAfterTheFlagWithVerdicts();

private:
    // Two cars, two laps: car 2 leads; export while car 1 still runs its second lap.
    void runUntilCar1HasOneLapToGo(TWindowUnderTest &t);
    QString pageName() const;

    QStringList m_opened;
    QStringList m_errors;
};

void TestResultsExport::init()
{
    QLocale::setDefault(QLocale::c());
    m_opened.clear();
    m_errors.clear();
    DocumentOpener::setHandler([this](const QString &fileName) { m_opened << fileName; });
}

void TestResultsExport::cleanup()
{
    DocumentOpener::setHandler({});
}

QString TestResultsExport::pageName() const
{
    return QStringLiteral("tst_resultsexport.html");
}

void TestResultsExport::runUntilCar1HasOneLapToGo(TWindowUnderTest &t)
{
    t.window->seCarCount->setValue(2);
    t.window->seKrugs->setValue(2);
    QTest::keyClick(t.window->eTitle, Qt::Key_A, Qt::ControlModifier); // typing replaces it
    QTest::keyClicks(t.window->eTitle, QStringLiteral("Preis <Nord> & S"));
    QTest::sendKeyEvent(QTest::Click, t.window->eTitle, Qt::Key_unknown, QStringLiteral("ü"),
                        Qt::NoModifier);
    QTest::keyClicks(t.window->eTitle, QStringLiteral("d"));
    t.window->TypeIntoStandings(Fahrer, 1, QStringLiteral("Łukasz"));
    t.window->TypeIntoStandings(Nr, 2, QStringLiteral("7"));
    t.window->TypeIntoStandings(Fahrer, 2, QStringLiteral("Anna <A&B>"));
    t.ClickStart();
    t.Advance(61200);
    t.Lap(2);
    t.Advance(800);
    t.Lap(1);
    t.Advance(60000);
    t.Lap(2);
}

void TestResultsExport::exportsDuringAndAfterTheRace()
{
    TWindowUnderTest t;
    t.window->ShowWriteError = [this](const QString &text) { m_errors << text; };
    QVERIFY(!t.window->sbWeb->isEnabled());
    runUntilCar1HasOneLapToGo(t);
    QVERIFY(t.window->Running());

    const QStringList before = gridTexts(t);
    QTest::mouseClick(t.window->sbWeb, Qt::LeftButton);
    QTest::mouseClick(t.window->sbExcel, Qt::LeftButton);
    QCOMPARE(gridTexts(t), before);
    QVERIFY(t.window->Running());
    QVERIFY(t.window->TimerALL->isActive());
    QCOMPARE(m_opened.size(), 2);
    QCOMPARE(m_opened.at(0), pageName());
    QVERIFY(m_errors.isEmpty());
    // The status bar says where the workbook went (the page's message came before it).
    QCOMPARE(t.window->StatusBar1->currentMessage(),
             QStringLiteral("Arbeitsmappe geschrieben: ") + m_opened.at(1));
    QVERIFY(QDir::isAbsolutePath(m_opened.at(1)));
    QTest::mouseClick(t.window->sbWeb, Qt::LeftButton);
    QCOMPARE(t.window->StatusBar1->currentMessage(),
             QStringLiteral("Ergebnisseite geschrieben: %1 (mit Talvenbahn-Analyse.html)")
                 .arg(QDir::current().absoluteFilePath(pageName())));
    m_opened.removeLast();

    const QString page = pageText(pageName());
    QVERIFY(page.contains(
        QStringLiteral("<H2>Rennen: \"Preis &lt;Nord&gt; &amp; Süd\"<br>Runden: 2, Länge: 30 Km")));
    QVERIFY(page.contains(QStringLiteral("<title>Zeitenprotokoll Talvenbahn 1.7</title>"),
                          Qt::CaseInsensitive));
    QVERIFY(page.contains(QStringLiteral("<th>Position:<th>1.<th>2.</tr></thead>\r\n"
                                         "<th bgcolor=#B0A786>Start-Nr.:<th>7<th></tr></thead>\r\n"
                                         "<thead bgcolor=#B0A786><th>Fahrer:"
                                         "<th bgcolor=#B0A786>Anna &lt;A&amp;B&gt;"
                                         "<th bgcolor=#B0A786>&#321;ukasz</tr></thead>\r\n"
                                         "<tr><td bgcolor=#B0A786><b>1.<td>00:01:01.2<td>00:01:02.0"
                                         "</tr>\r\n<tr><td bgcolor=#B0A786><b>2.<td>00:01:00.8"
                                         "<td>00:00:00.0</tr>\r\n<tr><td><b>Gesamt:<td><b>"
                                         "00:02:02.0<td><b>00:00:00.0</TABLE>\r\n")));

    XlsxTestReader during;
    QVERIFY2(during.read(m_opened.at(1)), qPrintable(during.error()));
    QCOMPARE(during.cell(1, 2), QStringLiteral("Preis <Nord> & Süd"));
    QCOMPARE(during.cell(8, 2), QStringLiteral("Anna <A&B>"));
    QCOMPARE(during.cell(8, 3), QStringLiteral("Łukasz"));
    QCOMPARE(during.cell(11, 3), QStringLiteral("00:00:00.0"));
    QCOMPARE(during.cell(12, 1), QStringLiteral("Gesamt:"));
    QCOMPARE(during.cell(12, 3), QStringLiteral("00:00:00.0"));

    // Car 1 finishes: the race ends, and a second export holds its lap and total.
    t.Advance(1000);
    t.Lap(1);
    t.Advance(10);
    QCOMPARE(t.window->RaceState(), TFormMain::rsStopped);
    QTest::mouseClick(t.window->sbWeb, Qt::LeftButton);
    QTest::mouseClick(t.window->sbExcel, Qt::LeftButton);
    QCOMPARE(m_opened.size(), 4);
    QVERIFY(m_opened.at(3) != m_opened.at(1)); // the earlier workbook stays as it was
    QVERIFY(pageText(pageName())
                .contains(QStringLiteral("<td>00:01:00.8<td>00:01:01.0</tr>\r\n<tr><td><b>Gesamt:"
                                         "<td><b>00:02:02.0<td><b>00:02:03.0</TABLE>")));
    XlsxTestReader after;
    QVERIFY2(after.read(m_opened.at(3)), qPrintable(after.error()));
    QCOMPARE(after.cell(11, 3), QStringLiteral("00:01:01.0"));
    QCOMPARE(after.cell(12, 3), QStringLiteral("00:02:03.0"));
    QCOMPARE(QDir().entryList({QStringLiteral("*.xlsx")}, QDir::Files).size(), 2);
}

void TestResultsExport::pageThatCannotBeWrittenIsReported()
{
    TWindowUnderTest t;
    t.window->ShowWriteError = [this](const QString &text) { m_errors << text; };
    QVERIFY(QDir().mkdir(pageName())); // a folder in the way
    t.ClickStart();
    QTest::mouseClick(t.window->sbWeb, Qt::LeftButton);
    // The message names the full path and the reason.
    QCOMPARE(m_errors.size(), 1);
    QVERIFY2(m_errors.first().startsWith(
                 QStringLiteral("Die Datei \u201E") + QDir::current().absoluteFilePath(pageName()) +
                 QStringLiteral("\u201C konnte nicht geschrieben werden: ")),
             qPrintable(m_errors.first()));
    QVERIFY(m_opened.isEmpty());
    QVERIFY(t.window->Running());
}

void TestResultsExport::failedPageIsNotOpened()
{
    TWindowUnderTest t;
    t.window->ShowWriteError = [this](const QString &text) { m_errors << text; };
    {
        QFile earlier(pageName());
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("<HTML>fruehere Seite</HTML>");
    }
    t.ClickStart();
    {
        const FileSizeLimit full(16);
        QTest::mouseClick(t.window->sbWeb, Qt::LeftButton);
    }
    QCOMPARE(m_errors.size(), 1);
    QVERIFY(m_opened.isEmpty()); // neither the broken page nor the earlier one
    QFile page(pageName());
    QVERIFY(page.open(QIODevice::ReadOnly));
    QCOMPARE(page.readAll(), QByteArray("<HTML>fruehere Seite</HTML>"));
    QVERIFY(t.window->Running());
}

void TestResultsExport::workbookThatCannotBeWrittenIsReported()
{
    TWindowUnderTest t;
    t.window->ShowWriteError = [this](const QString &text) { m_errors << text; };
    t.ClickStart();
    {
        const FileSizeLimit full(16);
        QTest::mouseClick(t.window->sbExcel, Qt::LeftButton);
    }
    QCOMPARE(m_errors.size(), 1);
    QVERIFY2(m_errors.first().startsWith(QStringLiteral("Die Datei \u201E") + QDir::currentPath() +
                                         QLatin1Char('/')),
             qPrintable(m_errors.first()));
    QVERIFY(m_opened.isEmpty());
    QCOMPARE(QDir().entryList({QStringLiteral("*.xlsx"), QStringLiteral(".*.part")},
                              QDir::Files | QDir::Hidden),
             QStringList());
    QVERIFY(t.window->Running());
}

void TestResultsExport::resultFilesNameTheirFolder()
{
    // Ctrl+Shift+P: the status bar names the folder as a full path, then the files.
    TWindowUnderTest t;
    t.window->ShowWriteError = [this](const QString &text) { m_errors << text; };
    runUntilCar1HasOneLapToGo(t);
    QString written = QStringLiteral("noch nicht");
    t.window->OnResultFilesWritten = [&written](const QString &error) { written = error; };
    t.Key(Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
    QTRY_COMPARE_WITH_TIMEOUT(written, QString(), 20000);
    QVERIFY(m_errors.isEmpty());
    QCOMPARE(t.window->StatusBar1->currentMessage(),
             QStringLiteral("Geschrieben in %1: tst_resultsexport-Ergebnis.pdf, "
                            "tst_resultsexport-Ergebnis.csv, tst_resultsexport-Durchfahrten.csv")
                 .arg(QDir::currentPath()));
}

// A flag race over two laps: F1 wins in 60 s, F2 runs 62 s with a 5 s penalty, F3 is lapped
// (one lap, 65 s), F4 retires after its first lap (33 s). The page, the workbook and the CSV
// give every car the same total, its own.
void TestResultsExport::everyFileShowsTheSameTotalsAfterTheFlagWithVerdicts()
{
    TWindowUnderTest t;
    t.UseJournal();
    t.window->ShowWriteError = [this](const QString &text) { m_errors << text; };
    t.window->cbFinish->setCurrentIndex(int(TRaceTiming::TFinishRule::FlagAfterLaps));
    t.window->seCarCount->setValue(4);
    t.window->seKrugs->setValue(2);
    std::optional<int> answer;
    t.window->AskNumber = [&answer](const QString &, int, int, int) { return answer; };
    const auto judge = [&t, &answer](int car, int key, int number) {
        answer = number;
        t.window->SortGrid1->setFocus();
        t.window->SortGrid1->GotoCell(Nr, t.window->Race.RowOfCar(car), false);
        QTest::keyClick(t.window->SortGrid1, Qt::Key(key), Qt::ControlModifier | Qt::ShiftModifier);
    };
    t.ClickStart();
    quint32 now = 0;
    for (const auto &[ms, car] : QList<std::pair<quint32, int>>{
             {30000, 1}, {31000, 2}, {33000, 4}, {60000, 1}, {62000, 2}, {65000, 3}}) {
        t.Advance(ms - now);
        now = ms;
        t.Lap(car);
        if (car == 4)
            judge(4, Qt::Key_F, 1); // retired after lap 1
        if (car == 2 && ms == 31000)
            judge(2, Qt::Key_T, 5); // 5 s penalty
    }
    t.Advance(20);
    QCOMPARE(t.window->RaceState(), TFormMain::rsStopped);

    QTest::mouseClick(t.window->sbWeb, Qt::LeftButton);
    QTest::mouseClick(t.window->sbExcel, Qt::LeftButton);
    QString written = QStringLiteral("noch nicht");
    t.window->OnResultFilesWritten = [&written](const QString &error) { written = error; };
    t.Key(Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
    QTRY_COMPARE_WITH_TIMEOUT(written, QString(), 20000);
    QVERIFY(m_errors.isEmpty());

    const QStringList totals{"00:01:00.0", "00:01:07.0", "00:01:05.0", "00:00:33.0"};
    QVERIFY2(pageText(pageName())
                 .contains(QStringLiteral("<th>Position:<th>1.<th>2. (+5 s)<th>3.<th>DNF</tr>")),
             qPrintable(pageText(pageName())));
    QVERIFY(pageText(pageName())
                .contains(QStringLiteral("<tr><td bgcolor=#B0A786><b>2.<td>00:00:30.0"
                                         "<td>00:00:31.0<td>&nbsp;<td>&nbsp;</tr>\r\n"
                                         "<tr><td><b>Gesamt:<td><b>") +
                          totals.join(QStringLiteral("<td><b>")) + QStringLiteral("</TABLE>")));

    XlsxTestReader book;
    QVERIFY2(book.read(m_opened.at(1)), qPrintable(book.error()));
    QCOMPARE(book.cell(12, 1), QStringLiteral("Gesamt:"));
    QFile csv(QStringLiteral("tst_resultsexport-Ergebnis.csv"));
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().split('\n');
    QCOMPARE(lines.size(), 1 + 4 + 1); // the header, the cars, nothing after the last CRLF
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(book.cell(12, 2 + i), totals.at(i));
        QCOMPARE(QString::fromUtf8(lines.at(1 + i).split(',').at(5)), totals.at(i));
    }
}

QTEST_MAIN(TestResultsExport)
#include "tst_resultsexport.moc"

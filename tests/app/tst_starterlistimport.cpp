#include "CorrectionDesk.h"
#include "ErrorReportingApplication.h"
#include "WindowUnderTest.h"

#include <QDir>
#include <QFile>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolButton>

// The starter-list command of the real window: the file choice answered in advance, the click
// on the real button or Ctrl+O, the cells as the grid shows them, errors as the operator sees
// them (the application's error handler).
class TestStarterListImport : public QObject
{
    Q_OBJECT
public:
    explicit TestStarterListImport(TErrorReportingApplication &app) : FApp(app) {}

private slots:
    void init();
    void importsEveryFormat_data();
    void importsEveryFormat();
    void moreStartersThanCarsKeepsTheCarCount();
    void fewerStartersThanCarsSetTheCarCount();
    void emptyA1LeavesOnlyTheTitleRow();
    void damagedListLeavesTheGridAsItWas();
    void cancelChangesNothing();
    void dialogOffersTheLastFileWhole();
    void typedNameWithoutExtensionFindsTheFile();
    void listDuringARaceIsRefused();
    void dialogFilters();
    void listIsReadWhileTheWindowGoesOn();
    void importedDriversReachTheResultsPage();

private:
    QString Copy(TWindowUnderTest &w, const QString &fixture, const QString &name);
    void Import(TWindowUnderTest &w, const QString &file);

    TErrorReportingApplication &FApp;
    QStringList FShown;
};

void TestStarterListImport::init()
{
    QLocale::setDefault(QLocale::c());
    FShown.clear();
    FApp.ShowError = [this](const QString &text) { FShown << text; };
}

QString TestStarterListImport::Copy(TWindowUnderTest &w, const QString &fixture,
                                    const QString &name)
{
    const QString target = w.folder.filePath(name);
    QFile::remove(target);
    if (!QFile::copy(QStringLiteral(STARTER_FIXTURES_DIR "/") + fixture, target))
        qFatal("fixture %s is missing", qPrintable(fixture));
    return target;
}

void TestStarterListImport::Import(TWindowUnderTest &w, const QString &file)
{
    w.window->OpenDialog1.PrepareAnswer(file);
    QTest::mouseClick(w.window->bStartList, Qt::LeftButton);
    w.WaitForStarterList();
    QCOMPARE(w.window->OpenDialog1.PreparedAnswerCount(), 0);
}

void TestStarterListImport::importsEveryFormat_data()
{
    QTest::addColumn<QString>("fixture");
    for (const char *name : {"eight.xls", "eight.xlsx", "eight.ods", "eight.csv"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestStarterListImport::importsEveryFormat()
{
    QFETCH(QString, fixture);
    TWindowUnderTest w;
    QVERIFY(!w.window->sbExcel->isEnabled());
    Import(w, Copy(w, fixture, fixture));
    QVERIFY2(FShown.isEmpty(), qPrintable(FShown.join(QLatin1Char('\n'))));

    QCOMPARE(w.window->SortGrid1->RowCount(), 9);
    QCOMPARE(w.Cell(2, 1), "7");
    QCOMPARE(w.Cell(3, 1), "Jürgen Groß");
    QCOMPARE(w.Cell(3, 3), ""); // an empty driver still counts
    QCOMPARE(w.Cell(2, 8), "9");
    QCOMPARE(w.Cell(3, 8), "李小龍");
    QCOMPARE(w.Cell(1, 1), "F1"); // the key column is not the import's
    QVERIFY(w.window->sbExcel->isEnabled());
    QVERIFY(w.window->sbWeb->isEnabled());
    // What the operator sees, kept next to the test (its home folder in the build tree).
    w.window->grab().save(QDir(qEnvironmentVariable("HOME")).filePath(fixture + ".png"));
}

void TestStarterListImport::moreStartersThanCarsKeepsTheCarCount()
{
    TWindowUnderTest w;
    w.window->seCarCount->setValue(12);
    // The shortcut of the invisible menu runs the same command.
    w.window->OpenDialog1.PrepareAnswer(Copy(w, QStringLiteral("fifteen.xlsx"), "liste.xlsx"));
    w.Key(Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(w.window->OpenDialog1.PreparedAnswerCount(), 0);
    QCOMPARE(w.window->SortGrid1->RowCount(), 16);
    QCOMPARE(w.Cell(3, 15), "Fahrer 15");
    QCOMPARE(w.window->seCarCount->value(), 12);
    // The grid has no scroll bars, so the window grows until every starter is in sight.
    QTRY_VERIFY(w.window->SortGrid1->VisibleRowCount() >= 15);
}

void TestStarterListImport::fewerStartersThanCarsSetTheCarCount()
{
    // Eight starters, twelve cars: the four cars without a starter would stand in every result.
    TWindowUnderTest w;
    QCOMPARE(w.window->seCarCount->value(), 12);
    Import(w, Copy(w, QStringLiteral("eight.xlsx"), "acht.xlsx"));
    QCOMPARE(w.window->seCarCount->value(), 8);
    QCOMPARE(w.window->SortGrid1->RowCount(), 9);
    QCOMPARE(w.window->StatusBar1->currentMessage(),
             QStringLiteral("Starterliste mit 8 Startern gelesen: \u201EAutos\u201C von 12 auf "
                            "8 gesetzt."));
    QCOMPARE(w.window->ResultsSnapshot().carCount(), 8);
    w.ClickStart();
    QCOMPARE(w.window->Race.CarCount(), 8);
    QCOMPARE(w.RowOfKey(QStringLiteral("F9")), -1);
    QVERIFY(FShown.isEmpty());
}

void TestStarterListImport::emptyA1LeavesOnlyTheTitleRow()
{
    TWindowUnderTest w;
    QStringList told;
    w.window->SortGrid1->ShowMessage = [&told](const QString &message) { told << message; };
    Import(w, Copy(w, QStringLiteral("emptyA1.ods"), "liste.ods"));
    QCOMPARE(w.window->SortGrid1->RowCount(), 1);
    // The window shrinks to the title row and the pass log, but the grid stays below the
    // whole header.
    QTRY_VERIFY(w.window->height() < 200 + w.window->Desk->height());
    QVERIFY(w.window->SortGrid1->mapTo(w.window.get(), QPoint()).y() >= 88);
    QCOMPARE(told, QStringList{"Rowsize too small"});
    QCOMPARE(w.Cell(2, 0), "Nr.");
    QVERIFY(FShown.isEmpty());
}

void TestStarterListImport::damagedListLeavesTheGridAsItWas()
{
    TWindowUnderTest w;
    Import(w, Copy(w, QStringLiteral("eight.xlsx"), "gut.xlsx"));
    w.window->sbExcel->setEnabled(false);

    // An error value in B2: nothing of this list reaches the grid.
    Import(w, Copy(w, QStringLiteral("error.xls"), "fehler.xls"));
    QCOMPARE(FShown, QStringList{"Could not convert variant of type (Error) into type (String)"});
    QCOMPARE(w.window->SortGrid1->RowCount(), 9);
    QCOMPARE(w.Cell(3, 1), "Jürgen Groß");
    QVERIFY(!w.window->sbExcel->isEnabled());

    Import(w, w.folder.filePath(QStringLiteral("fehlt.xls")));
    QCOMPARE(FShown.size(), 2);
    QVERIFY2(FShown.last().contains(QStringLiteral("fehlt.xls")), qPrintable(FShown.last()));
    QCOMPARE(w.window->SortGrid1->RowCount(), 9);
}

void TestStarterListImport::cancelChangesNothing()
{
    TWindowUnderTest w;
    const int rows = w.window->SortGrid1->RowCount();
    w.window->OpenDialog1.PrepareCancel();
    QTest::mouseClick(w.window->bStartList, Qt::LeftButton);
    QCOMPARE(w.window->SortGrid1->RowCount(), rows);
    QVERIFY(!w.window->sbExcel->isEnabled());
    QVERIFY(FShown.isEmpty());
}

void TestStarterListImport::dialogOffersTheLastFileWhole()
{
    TWindowUnderTest w;
    // An older list of the same name in another format lies beside the one read.
    Copy(w, QStringLiteral("fifteen.xls"), "lauf.xls");
    const QString list = Copy(w, QStringLiteral("eight.xlsx"), "lauf.xlsx");
    Import(w, list);
    QCOMPARE(w.window->SortGrid1->RowCount(), 9);

    // Ctrl+O and Enter: the name offered is taken as it stands and reads the same list.
    w.window->OpenDialog1.PrepareEnter();
    QTest::mouseClick(w.window->bStartList, Qt::LeftButton);
    QCOMPARE(w.window->OpenDialog1.OfferedFileNames().last(), list);
    QCOMPARE(w.window->OpenDialog1.FileName, list);
    QCOMPARE(w.window->SortGrid1->RowCount(), 9);
    QVERIFY2(FShown.isEmpty(), qPrintable(FShown.join(QLatin1Char('\n'))));
}

void TestStarterListImport::typedNameWithoutExtensionFindsTheFile()
{
    TWindowUnderTest w;
    // Only an OpenDocument list: the name typed without extension means it, not a ".xls".
    const QString list = Copy(w, QStringLiteral("fifteen.ods"), "vier.ods");
    Import(w, WithoutExtension(list));
    QCOMPARE(w.window->OpenDialog1.FileName, list);
    QCOMPARE(w.window->SortGrid1->RowCount(), 16);

    // The chosen filter's formats come first; the default extension when nothing is there.
    const QString xls = Copy(w, QStringLiteral("eight.xls"), "vier.xls");
    Import(w, WithoutExtension(list));
    QCOMPARE(w.window->OpenDialog1.FileName, xls);
    QCOMPARE(w.window->SortGrid1->RowCount(), 9);
    Import(w, w.folder.filePath(QStringLiteral("fehlt")));
    QCOMPARE(w.window->OpenDialog1.FileName, w.folder.filePath(QStringLiteral("fehlt.xls")));
    QCOMPARE(FShown.size(), 1);
    QVERIFY2(FShown.last().contains(QStringLiteral("fehlt.xls")), qPrintable(FShown.last()));
}

void TestStarterListImport::listDuringARaceIsRefused()
{
    TWindowUnderTest w;
    QFile two(w.folder.filePath(QStringLiteral("zwei.csv")));
    QVERIFY(two.open(QIODevice::WriteOnly) && two.write("1;Anna\n2;Bert\n") > 0);
    two.close();
    w.window->seCarCount->setValue(4);
    w.ClickStart();
    for (int press = 0; press < 2; ++press) {
        w.Advance(30000);
        for (int car = 1; car <= 4; ++car)
            w.Lap(car);
    }
    const int lapsOfCar3 = w.window->Race.LapTable[3].Count;
    QVERIFY(lapsOfCar3 > 0);

    // Ctrl+O still reaches the command while the button is off; the shorter list would hide
    // cars 3 and 4 with their laps.
    w.window->OpenDialog1.PrepareAnswer(two.fileName());
    w.Key(Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(FShown.size(), 1);
    QVERIFY2(FShown.last().contains(QStringLiteral("Rennen")), qPrintable(FShown.last()));
    QCOMPARE(w.window->OpenDialog1.PreparedAnswerCount(), 1); // the dialog was not shown
    QCOMPARE(w.window->SortGrid1->RowCount(), 5);
    QVERIFY(w.RowOfKey(QStringLiteral("F3")) > 0);
    w.Advance(30000);
    w.Lap(3);
    QCOMPARE(w.window->Race.LapTable[3].Count, lapsOfCar3 + 1);

    // Stopped, the race's results are still on show: refused as well.
    w.Answer(TFDlgYesNo::daYes);
    w.ClickStart();
    QCOMPARE(w.window->RaceState(), TFormMain::rsStopped);
    w.Key(Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(FShown.size(), 2);
    QCOMPARE(w.window->SortGrid1->RowCount(), 5);

    // Once the race is reset the list is read.
    w.ClickStart();
    QCOMPARE(w.window->RaceState(), TFormMain::rsReady);
    QTest::mouseClick(w.window->bStartList, Qt::LeftButton);
    w.WaitForStarterList();
    QCOMPARE(w.window->OpenDialog1.PreparedAnswerCount(), 0);
    QCOMPARE(w.window->SortGrid1->RowCount(), 3);
    QCOMPARE(w.Cell(3, 2), "Bert");
    QCOMPARE(FShown.size(), 2);
}

void TestStarterListImport::dialogFilters()
{
    TWindowUnderTest w;
    // The dialog opens on every list the import reads, in German.
    QCOMPARE(w.window->OpenDialog1.Filter,
             (QStringList{"Alle Starterlisten (*.xls *.xlsx *.ods *.csv)",
                          "Excel-Arbeitsmappe (*.xls *.xlsx)", "OpenDocument-Tabelle (*.ods)",
                          "CSV-Datei (*.csv)"}));
    QCOMPARE(w.window->OpenDialog1.FilterIndex, 1);
    QCOMPARE(w.window->OpenDialog1.DefaultExt, "xls");
    // A list chosen under any filter is imported.
    w.window->OpenDialog1.PrepareAnswer(Copy(w, QStringLiteral("eight.csv"), "l.csv"), 4);
    QTest::mouseClick(w.window->bStartList, Qt::LeftButton);
    w.WaitForStarterList();
    QCOMPARE(w.window->SortGrid1->RowCount(), 9);
}

void TestStarterListImport::listIsReadWhileTheWindowGoesOn()
{
    // The list is read on a thread of its own: the window answers meanwhile, and a second
    // list is refused until the first is in.
    TWindowUnderTest w;
    w.window->OpenDialog1.PrepareAnswer(Copy(w, QStringLiteral("fifteen.xlsx"), "a.xlsx"));
    QTest::mouseClick(w.window->bStartList, Qt::LeftButton);
    QVERIFY(w.window->StarterListReading());
    QVERIFY(!w.window->bStartList->isEnabled());
    w.window->OpenDialog1.PrepareAnswer(Copy(w, QStringLiteral("eight.csv"), "b.csv"));
    QTest::keyClick(w.window.get(), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(FShown.size(), 1);
    QCOMPARE(w.window->OpenDialog1.PreparedAnswerCount(), 1);
    w.WaitForStarterList();
    QCOMPARE(w.window->SortGrid1->RowCount(), 16);
    QVERIFY(w.window->bStartList->isEnabled());
}

void TestStarterListImport::importedDriversReachTheResultsPage()
{
    // As an operator would: import the list, time a few laps, write the page.
    TWindowUnderTest w;
    Import(w, Copy(w, QStringLiteral("eight.ods"), "lauf.ods"));
    w.ClickStart();
    w.Advance(61200);
    w.Lap(1);
    w.Advance(900);
    w.Lap(4);
    w.Advance(60000);
    w.Lap(1);
    QCOMPARE(w.Cell(3, w.RowOfKey(QStringLiteral("F1"))), "Jürgen Groß");

    const QString page = w.folder.filePath(QStringLiteral("lauf.html"));
    w.window->WriteResultsPage(page);
    QFile file(page);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray html = file.readAll();
    QVERIFY(html.contains("J\xFCrgen Gro\xDF")); // in the page's Latin-1
    QVERIFY(html.contains("&#321;ukasz &#379;&#243;&#322;&#263;") ||
            html.contains("&#321;ukasz &#379;\xF3&#322;&#263;"));
    QVERIFY(FShown.isEmpty());
}

int main(int argc, char **argv)
{
    TErrorReportingApplication app(argc, argv);
    TestStarterListImport test(app);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_starterlistimport.moc"

#include "AnalysisWindow.h"
#include "ArchiveModel.h"
#include "ArchiveWindow.h"
#include "CrossingDialog.h"
#include "RaceJournal.h"
#include "WindowUnderTest.h"

#include <QDateTime>
#include <QFile>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>

// The windows and dialogs beside the main window, as the operator meets them: their captions
// shown whole, on the screen, closed with Escape, and no command that does nothing silently.
class TestSideWindows : public QObject
{
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale::c()); }
    void crossingDialogShowsItsWholeCaption_data();
    void crossingDialogShowsItsWholeCaption();
    void analysisShowsOnlyCarsAndFitsItsNames();
    void analysisOpensOnTheScreenAndClosesOnEscape();
    void deletingTheRaceInTheStandingsSaysWhy();
    void archiveListsNewestFirstAndOpensTheChosenRace();
};

void TestSideWindows::crossingDialogShowsItsWholeCaption_data()
{
    QTest::addColumn<QString>("title");
    QTest::newRow("insert") << QStringLiteral("Vergessene Durchfahrt einfügen");
    QTest::newRow("move") << QStringLiteral("Durchfahrt einem anderen Auto zuordnen");
    QTest::newRow("edit") << QStringLiteral("Rennzeit der Durchfahrt ändern");
}

void TestSideWindows::crossingDialogShowsItsWholeCaption()
{
    QFETCH(QString, title);
    TWindowUnderTest t; // gives the application its caption
    TCrossingDialog dialog(title, {QStringLiteral("F1  7 Anna"), QStringLiteral("F2")}, 1, 61000,
                           true, false, t.window.get());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    // The title bar shows "<title> — Talvenbahn 1.7": at least that much text fits.
    const QString caption = title + QStringLiteral(" \u2014 ") + t.window->windowTitle();
    QVERIFY2(dialog.width() > QFontMetrics(QApplication::font()).horizontalAdvance(caption),
             qPrintable(QString::number(dialog.width())));
    QVERIFY(dialog.width() <= dialog.screen()->availableGeometry().width());
}

void TestSideWindows::analysisShowsOnlyCarsAndFitsItsNames()
{
    // Three cars and a list of five starters: the two starters without a car have no line, and
    // a long name ends before the next entry of the legend begins.
    TWindowUnderTest t;
    t.window->seCarCount->setValue(3);
    const QString list = t.folder.filePath(QStringLiteral("fuenf.csv"));
    {
        QFile file(list);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("7;Maximilian-Alexander von Hohenzollern-Sigmaringen\n"
                   "8;Bea\n9;Wilhelmina Theodora Konstantinopoulou-Schmidt\n10;Dora\n11;Eva\n");
    }
    t.window->ReadStarterList(list);
    QCOMPARE(t.window->SortGrid1->RowCount(), 6);
    t.ClickStart();
    for (const int car : {1, 2, 3}) {
        t.Advance(20000);
        t.Lap(car);
    }
    t.Key(Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    TAnalysisWindow *analysis = t.window->Analysis;
    QVERIFY(analysis && analysis->isVisible());
    QCOMPARE(analysis->Snapshot().carCount(), 3);
    for (const TResultsRow &row : analysis->Snapshot().rows)
        QVERIFY(row.car >= 1 && row.car <= 3);

    const QList<TAnalysisWindow::TLegendEntry> legend = analysis->Legend();
    QCOMPARE(legend.size(), 3);
    const QFontMetrics metrics = analysis->fontMetrics();
    for (int i = 0; i < legend.size(); ++i) {
        QVERIFY(!legend[i].text.contains(QStringLiteral("F0")));
        QVERIFY2(metrics.horizontalAdvance(legend[i].text) <= legend[i].textRect.width(),
                 qPrintable(legend[i].text));
        QVERIFY(analysis->rect().contains(legend[i].textRect));
        for (int j = i + 1; j < legend.size(); ++j)
            QVERIFY(!legend[i].textRect.intersects(legend[j].textRect));
    }
    QVERIFY(legend[0].text.startsWith(QStringLiteral("Nr. 7 Maximilian")));
    QCOMPARE(legend[1].text, QStringLiteral("Nr. 8 Bea"));
}

void TestSideWindows::analysisOpensOnTheScreenAndClosesOnEscape()
{
    // The operator's window in the screen's lower right corner: the analysis still opens whole
    // on the screen, with room for its title bar above it.
    TWindowUnderTest t;
    const QRect area = t.window->screen()->availableGeometry();
    t.window->move(area.right() - t.window->width(), area.bottom() - t.window->height());
    t.Key(Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    TAnalysisWindow *analysis = t.window->Analysis;
    QVERIFY(analysis && analysis->isVisible());
    QVERIFY(QTest::qWaitForWindowExposed(analysis));
    const QRect placed = analysis->geometry();
    constexpr int kTitleBar = 30;
    QVERIFY2(area.adjusted(0, kTitleBar, 0, 0).contains(placed),
             qPrintable(QStringLiteral("%1,%2 %3x%4")
                            .arg(placed.x())
                            .arg(placed.y())
                            .arg(placed.width())
                            .arg(placed.height())));

    analysis->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(analysis));
    QTest::keyClick(analysis, Qt::Key_Escape);
    QVERIFY(!analysis->isVisible());
    // The lap keys count as before.
    t.ClickStart();
    t.Advance(30000);
    t.Lap(1);
    QCOMPARE(t.window->Race.LapTable[1].Count, 1);
}

void TestSideWindows::deletingTheRaceInTheStandingsSaysWhy()
{
    TWindowUnderTest t;
    t.UseJournal();
    QStringList notices;
    t.window->ShowNotice = [&notices](const QString &text) { notices << text; };
    t.window->seCarCount->setValue(2);
    t.window->eTitle->setText(QStringLiteral("Vereinslauf"));
    t.ClickStart();
    t.Advance(30000);
    t.Lap(1);
    t.Answer(TFDlgYesNo::daYes);
    t.ClickStart(); // stopped: the race still stands in the standings

    t.Key(Qt::Key_R, Qt::ControlModifier);
    auto *archive = t.window->findChild<TArchiveWindow *>();
    QVERIFY(archive && archive->isVisible());
    QCOMPARE(archive->Model->rowCount(), 1);
    archive->DeleteButton->click();
    QCOMPARE(archive->Model->rowCount(), 1);
    QCOMPARE(notices.size(), 1);
    QVERIFY2(notices.first().contains(QStringLiteral("\u201EVereinslauf\u201C")) &&
                 notices.first().contains(QStringLiteral("START")),
             qPrintable(notices.first()));
    QVERIFY(t.dialog->AskedQuestions().size() == 1); // only the stop: no delete question

    // Reset, it is deleted after its question.
    t.ClickStart();
    t.Answer(TFDlgYesNo::daYes);
    archive->DeleteButton->click();
    QCOMPARE(archive->Model->rowCount(), 0);
    QCOMPARE(notices.size(), 1);
}

// The list is made from the races as the view asks for its rows: the order, the texts, the
// selection and the buttons stay as the operator knows them.
void TestSideWindows::archiveListsNewestFirstAndOpensTheChosenRace()
{
    TArchiveWindow archive;
    QList<qint64> opened;
    archive.OnOpen = [&](qint64 id) { opened.append(id); };
    TRaceSummary race;
    QList<TRaceSummary> races;
    for (qint64 id : {4, 7, 9}) {
        race.id = id;
        race.startedWallMs = 1'796'000'000'000 + id * 86'400'000;
        race.title = QStringLiteral("Lauf %1").arg(id);
        race.session = QStringLiteral("Rennen");
        race.cars = int(id);
        race.laps = 10;
        race.winner = id == 9 ? QString() : QStringLiteral("Jörg");
        race.state = id == 9 ? TRaceSummary::State::Interrupted : TRaceSummary::State::Finished;
        races.append(race);
    }
    archive.SetRaces(races);
    archive.show();
    QVERIFY(QTest::qWaitForWindowExposed(&archive));
    const auto text = [&](int row, int column) {
        return archive.Model->index(row, column).data().toString();
    };
    QCOMPARE(archive.Model->rowCount(), 3);
    QCOMPARE(archive.Model->headerData(6, Qt::Horizontal).toString(), QStringLiteral("Zustand"));
    QCOMPARE(text(0, 0), QLocale().toString(QDateTime::fromMSecsSinceEpoch(races[2].startedWallMs),
                                            QLocale::ShortFormat));
    QCOMPARE((QStringList{text(0, 1), text(0, 3), text(0, 5), text(0, 6)}),
             (QStringList{QStringLiteral("Lauf 9"), QStringLiteral("9"), QString(),
                          QStringLiteral("unterbrochen")}));
    QCOMPARE(text(2, 1), QStringLiteral("Lauf 4"));
    QCOMPARE(text(2, 6), QStringLiteral("beendet"));

    // The newest is chosen; the arrow keys and a double click pick another.
    QCOMPARE(archive.SelectedRace(), 9);
    QVERIFY(archive.OpenButton->isEnabled());
    archive.Table->setFocus();
    QTest::keyClick(archive.Table, Qt::Key_Down);
    QCOMPARE(archive.SelectedRace(), 7);
    QVERIFY(archive.SelectRace(4));
    QVERIFY(!archive.SelectRace(5));
    const QRect cell = archive.Table->visualRect(archive.Model->index(1, 1));
    // A real double click: the first click, then the second that the system marks double.
    QTest::mouseClick(archive.Table->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(archive.Table->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(opened, QList<qint64>{7});

    archive.SetRaces({});
    QCOMPARE(archive.SelectedRace(), 0);
    QVERIFY(!archive.OpenButton->isEnabled());
    QVERIFY(!archive.DeleteButton->isEnabled());
}

QTEST_MAIN(TestSideWindows)
#include "tst_sidewindows.moc"

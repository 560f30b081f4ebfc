#include "WindowUnderTest.h"

#include "FlEdit.h"

#include "CsvText.h"
#include "QtGermanTexts.h"

#include <QComboBox>
#include <QFile>
#include <QFontMetrics>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QToolButton>

namespace {

void writeIni(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// A running lap of 61.234 s as the "Zeit" column shows it.
QString runningTimeText(TWindowUnderTest &t)
{
    t.window->seCarCount->setValue(1);
    t.ClickStart();
    t.Advance(61234);
    return t.Cell(TRaceTiming::colZeit, 1);
}

} // namespace

class TestWindowSettings : public QObject
{
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale::c()); }
    void firstStartDefaults();
    void roundTrip();
    void lapsCountingDownWriteNoSettings();
    void accuracyFromSettings_data();
    void accuracyFromSettings();
    void missingWidthKeepsPosition();
    void outOfRangeCountsAreClamped();
    void carCountShrinksAndRestoresRows();
    void carCountResizesWindow();
    void headerLayout();
    void windowStaysOnTheScreen_data();
    void windowStaysOnTheScreen();
    void longStarterListScrollsInsteadOfGrowing();
    void brokenStoredWarningTimeIsNotTaken();
    void raceClockWithHundredHoursFits();
    void qtTextsAreGerman();
};

namespace {

// The whole window, frame included, lies on its screen's free area.
void verifyOnScreen(const QWidget &w)
{
    const QRect area = w.screen()->availableGeometry();
    QVERIFY2(area.contains(w.frameGeometry()),
             qPrintable(QStringLiteral("window %1,%2 %3x%4 outside the screen %5x%6")
                            .arg(w.frameGeometry().x())
                            .arg(w.frameGeometry().y())
                            .arg(w.frameGeometry().width())
                            .arg(w.frameGeometry().height())
                            .arg(area.width())
                            .arg(area.height())));
}

} // namespace

void TestWindowSettings::windowStaysOnTheScreen_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("left of the screen (a monitor removed)") << QByteArray("Left=-3000\nTop=40\n");
    QTest::newRow("below the screen") << QByteArray("Left=100\nTop=5000\n");
    QTest::newRow("huge size") << QByteArray("Left=10\nTop=10\nWidth=99999\nHeight=99999\n");
    QTest::newRow("half off to the right")
        << QByteArray("Left=1100\nTop=700\nWidth=852\nHeight=467\n");
}

void TestWindowSettings::windowStaysOnTheScreen()
{
    QFETCH(QByteArray, stored);
    TWindowUnderTest t;
    t.Close();
    writeIni(t.SettingsPath(), "[General]\n" + stored);
    t.Open();
    QCoreApplication::processEvents();
    verifyOnScreen(*t.window);
}

void TestWindowSettings::longStarterListScrollsInsteadOfGrowing()
{
    TWindowUnderTest t;
    const QString list = t.folder.filePath(QStringLiteral("sixty.csv"));
    {
        QFile file(list);
        QVERIFY(file.open(QIODevice::WriteOnly));
        for (int i = 1; i <= 60; ++i)
            file.write(QByteArray::number(i) + ",Fahrer " + QByteArray::number(i) + "\n");
    }
    t.window->ReadStarterList(list);
    QCoreApplication::processEvents();
    TFormMain &w = *t.window;
    QCOMPARE(w.SortGrid1->RowCount(), 61);
    verifyOnScreen(w);
    // START stays in reach and the grid scrolls to its last starter.
    QVERIFY(w.screen()->availableGeometry().contains(
        QRect(w.bSTART2->mapToGlobal(QPoint(0, 0)), w.bSTART2->size())));
    QVERIFY(w.SortGrid1->verticalScrollBar()->isVisible());
    QVERIFY(w.SortGrid1->verticalScrollBar()->maximum() > 0);
}

void TestWindowSettings::brokenStoredWarningTimeIsNotTaken()
{
    TWindowUnderTest t;
    t.Close();
    writeIni(t.SettingsPath(), "[General]\nLeft=40\nTop=50\nWidth=900\nHeight=500\nAcc=1\n"
                               "Dist=15000\nAutos=3\nRunden=5\nTime=60\nTitle=X\nTimeWarn=7:\n");
    t.Open();
    QCOMPARE(t.window->meTimeWarn->text(), QStringLiteral("05:00"));
    t.ClickStart();
    QCOMPARE(t.window->Session.WarnTimeMs(), 300000);
}

void TestWindowSettings::raceClockWithHundredHoursFits()
{
    TWindowUnderTest t;
    QLineEdit *clock = t.window->meTime;
    const int fullSize = clock->font().pixelSize();
    clock->setText(QStringLiteral("100:40:39"));
    QStyleOptionFrame option;
    option.initFrom(clock);
    option.lineWidth = clock->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, clock);
    const QRect room = clock->style()->subElementRect(QStyle::SE_LineEditContents, &option, clock);
    QVERIFY(QFontMetrics(clock->font()).horizontalAdvance(clock->text()) <= room.width() - 4);
    clock->setText(QStringLiteral("04:00:00"));
    QCOMPARE(clock->font().pixelSize(), fullSize);
}

void TestWindowSettings::qtTextsAreGerman()
{
    QVERIFY(InstallQtGermanTexts(*QCoreApplication::instance()));
    QCOMPARE(QCoreApplication::translate("QFileDialog", "Open"), QStringLiteral("Öffnen"));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));
    // On an English system dates and numbers read German too; the CSV files keep the system's.
    const QLocale before = QLocale();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    UseGermanFormats();
    QCOMPARE(QLocale().toString(QDate(2026, 12, 8), QLocale::ShortFormat),
             QStringLiteral("08.12.26"));
    QCOMPARE(QLocale().toString(123.5), QStringLiteral("123,5"));
    QCOMPARE(CsvSeparator(), u',');
    QCOMPARE(CsvSeconds(83500, 1), QStringLiteral("83.5"));
    SetCsvLocale(before);
    QLocale::setDefault(before);
}

void TestWindowSettings::firstStartDefaults()
{
    TWindowUnderTest t;
    TFormMain &w = *t.window;
    QVERIFY(!QFile::exists(t.SettingsPath()));
    QCOMPARE(w.windowTitle(), QStringLiteral("Talvenbahn 1.7"));
    QCOMPARE(w.seCarCount->value(), 12);
    QCOMPARE(w.seKrugs->value(), 5);
    QCOMPARE(w.Race.RaceLaps, 5);
    QCOMPARE(double(w.feDist->Value()), 15.0);
    QCOMPARE(w.meTime->text(), QStringLiteral("04:00:00"));
    QCOMPARE(w.RaceSeconds, 14400);
    QCOMPARE(w.meTimeWarn->text(), QStringLiteral("05:00"));
    QCOMPARE(w.eTitle->text(), QStringLiteral("Circuit de Monaco, Monte Carlo"));
    QCOMPARE(w.cbTip->currentText(), QStringLiteral("Rennen"));
    QCOMPARE(w.SortGrid1->RowCount(), 13);
    QCOMPARE(w.width(), TFormMain::kInitialWidth);
    QVERIFY(w.SortGrid1->hasFocus());
    QCOMPARE(runningTimeText(t), QStringLiteral("1:01.2")); // tenths
}

void TestWindowSettings::roundTrip()
{
    TWindowUnderTest t;
    t.Close();
    {
        QSettings ini(t.SettingsPath(), QSettings::IniFormat);
        QCOMPARE(ini.value(QStringLiteral("Runden")).toInt(), 5);
        QCOMPARE(ini.value(QStringLiteral("Autos")).toInt(), 12);
        QCOMPARE(ini.value(QStringLiteral("Dist")).toInt(), 15000);
        QCOMPARE(ini.value(QStringLiteral("Time")).toInt(), 14400);
        QCOMPARE(ini.value(QStringLiteral("Acc")).toInt(), 1);
        QCOMPARE(ini.value(QStringLiteral("Title")).toString(),
                 QStringLiteral("Circuit de Monaco, Monte Carlo"));
        QCOMPARE(ini.value(QStringLiteral("TimeWarn")).toString(), QStringLiteral("05:00"));
    }
    t.Open();
    t.window->seCarCount->setValue(7);
    t.window->seKrugs->setValue(42);
    t.window->feDist->SetValue(3.4567);
    t.window->eTitle->setText(QStringLiteral("Spa, Belgien"));
    t.window->meTimeWarn->setText(QStringLiteral("01:30"));
    t.window->meTime->setText(QStringLiteral("1:00:00"));
    t.window->meTimeExit();
    t.window->move(33, 44);
    const QSize size = t.window->size();
    t.Close();
    t.Open();
    TFormMain &w = *t.window;
    QCOMPARE(w.seCarCount->value(), 7);
    QCOMPARE(w.seKrugs->value(), 42);
    QCOMPARE(w.Race.RaceLaps, 42);
    QCOMPARE(double(w.feDist->Value()), 3.457); // stored in whole metres
    QCOMPARE(w.eTitle->text(), QStringLiteral("Spa, Belgien"));
    QCOMPARE(w.meTimeWarn->text(), QStringLiteral("01:30"));
    QCOMPARE(w.meTime->text(), QStringLiteral("01:00:00"));
    QCOMPARE(w.RaceSeconds, 3600);
    QCOMPARE(w.pos(), QPoint(33, 44));
    QCOMPARE(w.width(), size.width());
}

void TestWindowSettings::lapsCountingDownWriteNoSettings()
{
    // During a race the laps field shows the leader's remaining laps: no setting changes, and a
    // file written on the window's thread at every leader's lap would hold up the presses.
    TWindowUnderTest t;
    t.window->seKrugs->setValue(8);
    t.ClickStart();
    // The laps set before START are written half a second later; then the file goes.
    QTRY_COMPARE_WITH_TIMEOUT(
        QSettings(t.SettingsPath(), QSettings::IniFormat).value(QStringLiteral("Runden")).toInt(),
        8, 5000);
    QTest::qWait(700);
    QVERIFY(QFile::remove(t.SettingsPath()));
    for (int car = 1; car <= 3; ++car) {
        t.Advance(61000);
        t.Lap(1);
    }
    QCOMPARE(t.window->seKrugs->value(), 5);
    QTest::qWait(700);
    QVERIFY(!QFile::exists(t.SettingsPath()));
    t.Close();
    QSettings ini(t.SettingsPath(), QSettings::IniFormat);
    QCOMPARE(ini.value(QStringLiteral("Runden")).toInt(), 8);
}

void TestWindowSettings::accuracyFromSettings_data()
{
    QTest::addColumn<int>("acc");
    QTest::addColumn<QString>("text");
    QTest::newRow("hundredths") << 2 << "1:01.23";
    QTest::newRow("whole seconds") << 0 << "1:01";
    QTest::newRow("tenths") << 1 << "1:01.2";
}

void TestWindowSettings::accuracyFromSettings()
{
    QFETCH(int, acc);
    QFETCH(QString, text);
    TWindowUnderTest t;
    t.Close();
    {
        QSettings ini(t.SettingsPath(), QSettings::IniFormat);
        ini.setValue(QStringLiteral("Acc"), acc);
    }
    t.Open();
    QCOMPARE(runningTimeText(t), text);
}

void TestWindowSettings::missingWidthKeepsPosition()
{
    TWindowUnderTest t;
    t.Close();
    writeIni(t.SettingsPath(), "[General]\nLeft=40\nTop=50\nHeight=900\nAcc=2\nDist=1000\n"
                               "Autos=3\nRunden=9\nTime=60\nTitle=X\nTimeWarn=00:10\n");
    t.Open();
    TFormMain &w = *t.window;
    QCOMPARE(w.pos(), QPoint(40, 50));
    QCOMPARE(w.width(), TFormMain::kInitialWidth);
    // Every value after the missing one is used all the same.
    QCOMPARE(w.Race.Acc, 2);
    QCOMPARE(w.seCarCount->value(), 3);
    QCOMPARE(w.seKrugs->value(), 9);
    QCOMPARE(w.RaceSeconds, 60);
    QCOMPARE(w.eTitle->text(), QStringLiteral("X"));
    QCOMPARE(w.meTimeWarn->text(), QStringLiteral("00:10"));

    // A file holding a few keys: those are used, the rest take their defaults, and the file
    // written back keeps them.
    t.Close();
    writeIni(t.SettingsPath(), "[General]\nAutos=8\nRunden=10\n");
    t.Open();
    QCOMPARE(t.window->seCarCount->value(), 8);
    QCOMPARE(t.window->seKrugs->value(), 10);
    QCOMPARE(t.window->RaceSeconds, 14400);
    QCOMPARE(t.window->eTitle->text(), QStringLiteral("Circuit de Monaco, Monte Carlo"));
    QCOMPARE(t.window->meTimeWarn->text(), QStringLiteral("05:00"));
    t.Close();
    const QSettings ini(t.SettingsPath(), QSettings::IniFormat);
    QCOMPARE(ini.value(QStringLiteral("Autos")).toInt(), 8);
    QCOMPARE(ini.value(QStringLiteral("Runden")).toInt(), 10);
    QCOMPARE(ini.value(QStringLiteral("Time")).toInt(), 14400);
}

void TestWindowSettings::outOfRangeCountsAreClamped()
{
    TWindowUnderTest t;
    t.Close();
    writeIni(t.SettingsPath(), "[General]\nLeft=40\nTop=50\nWidth=900\nHeight=500\nAcc=1\n"
                               "Dist=250000\nAutos=40\nRunden=0\nTime=-5\nTitle=\nTimeWarn=\n");
    t.Open();
    TFormMain &w = *t.window;
    QCOMPARE(w.seCarCount->value(), 12);
    QCOMPARE(w.seKrugs->value(), 1);
    QCOMPARE(w.Race.RaceLaps, 1);
    QCOMPARE(double(w.feDist->Value()), 100.0);
    QCOMPARE(w.RaceSeconds, 0);
    QCOMPARE(w.meTime->text(), QStringLiteral("00:00:00"));
    QCOMPARE(w.eTitle->text(), QString());
}

void TestWindowSettings::carCountShrinksAndRestoresRows()
{
    TWindowUnderTest t;
    t.window->seCarCount->setValue(3);
    QCOMPARE(t.window->SortGrid1->RowCount(), 4);
    t.window->seCarCount->setValue(12);
    QCOMPARE(t.window->SortGrid1->RowCount(), 13);
    for (int r = 1; r <= 12; ++r)
        QCOMPARE(t.Cell(TRaceTiming::colKey, r), QStringLiteral("F%1").arg(r));
}

void TestWindowSettings::carCountResizesWindow()
{
    TWindowUnderTest t;
    TFormMain &w = *t.window;
    const int twelve = w.height();
    w.seCarCount->setValue(3);
    const int rowStep = w.SortGrid1->DefaultRowHeight() + 1;
    QCOMPARE(w.height(), twelve - 9 * rowStep);
    QCOMPARE(w.minimumHeight(), w.height());
    // The grid shows exactly the title row and the car rows.
    const int lastRowBottom = w.SortGrid1->CellRect(0, 3).bottom();
    QVERIFY(lastRowBottom < w.SortGrid1->height());
    QVERIFY(w.SortGrid1->height() - lastRowBottom <= 8);
    w.seCarCount->setValue(12);
    QCOMPARE(w.height(), twelve);
}

void TestWindowSettings::headerLayout()
{
    TWindowUnderTest t;
    TFormMain &w = *t.window;
    QCOMPARE(w.eTitle->geometry(), QRect(62, 2, 251, 24));
    QCOMPARE(w.cbTip->geometry(), QRect(413, 2, 84, 24));
    QCOMPARE(w.seCarCount->geometry(), QRect(62, 28, 41, 26));
    QCOMPARE(w.seKrugs->geometry(), QRect(171, 28, 48, 26));
    QCOMPARE(w.meTimeWarn->geometry(), QRect(413, 28, 51, 24));
    QCOMPARE(w.Panel1->height(), 88);
    QCOMPARE(w.Panel2->width(), 168);
    QCOMPARE(w.Panel2->geometry().right(), w.Panel1->width() - 1);
    // The race clock keeps its distance to the right edge when the window grows.
    const int gap = w.Panel1->width() - w.meTime->geometry().left();
    w.resize(w.width() + 100, w.height());
    QCoreApplication::processEvents();
    QCOMPARE(w.Panel1->width() - w.meTime->geometry().left(), gap);
    QCOMPARE(w.bStartList->toolTip(), QStringLiteral("[Ctrl+O] Starterliste öffnen"));
    QCOMPARE(w.sbHelp->toolTip(), QStringLiteral("[Ctrl+H] Hilfe"));
    QCOMPARE(w.meTimeWarn->toolTip(), QStringLiteral("TimeFormat MM:SS"));
}

QTEST_MAIN(TestWindowSettings)
#include "tst_windowsettings.moc"

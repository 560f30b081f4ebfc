#include "WindowUnderTest.h"

#include "LbButton.h"

#include "FlEdit.h"
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QSpinBox>
#include <QToolButton>

namespace {

constexpr int Zeit = TRaceTiming::colZeit;
constexpr int Laps = TRaceTiming::colLaps;

const QString kStopQuestion = QStringLiteral("Alle aktuellen Laufzeiten stoppen?");
const QString kNewRaceQuestion =
    QStringLiteral("Neues Rennen vorbereiten?\n\u201EJa\u201C leert die Rangliste: alle Zeiten, "
                   "Startnummern und Fahrer werden gelöscht.");
const QString kNewRaceWhileRunningQuestion = QStringLiteral(
    "Neues Rennen vorbereiten?\n\u201EJa\u201C stoppt das laufende Rennen und leert die "
    "Rangliste: alle Zeiten, Startnummern und Fahrer werden gelöscht.");

// Sets up a race of cars and laps with the header fields, as the operator would.
void configure(TWindowUnderTest &t, int cars, int laps)
{
    t.window->seCarCount->setValue(cars);
    t.window->seKrugs->setValue(laps);
}

// Advances past the key lock so the next press of the same car counts.
void pastKeyLock(TWindowUnderTest &t)
{
    t.Advance(TRaceTiming::kKeyLockMs + 1);
}

} // namespace

class TestRaceControl : public QObject
{
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale::c()); }
    void startsInReady();
    void buttonShowsTheState();
    void helpAndLogoCommands();
    void buttonAndCtrlSStepTheSameState();
    void stopQuestion_data();
    void stopQuestion();
    void raceEndsWithinOneTick();
    void stopShowsTotalsOfFinishedCarsOnly();
    void totalsOfAnHourOrMoreKeepTheirHours();
    void resetKeepsRowsInLastOrder();
    void lapsFieldShowsRemainingLaps();
    void resetAfterLeaderFinishedKeepsConfiguredLaps();
    void newRaceWhileRunning();
    void newRaceAfterStopRelabelsRowsAndMaps();
    void raceEndIgnoresRowsWithoutCars();
    void destructiveQuestionsOpenOnNein();
    void startUsesTheLapLengthShown();
    void incompleteWarningTimeIsRefused();
    void newRaceWhileStoppedResets();
    void raceClockCountsDown();
    void raceClockOnLargeTickCounter_data();
    void raceClockOnLargeTickCounter();
    void raceClockIgnoresVisitWhileRunning();
    void raceClockFieldFiltersAndApplies();
    void raceClockRefusesTooLargeText();
    void closeQuestion_data();
    void closeQuestion();
    void commandsWorkWhatEverTheButtons();
    void lapKeysOutsideTheRaceDoNothing();
    void lapKeysCountWhileHelpWindowIsActive();
};

void TestRaceControl::startsInReady()
{
    TWindowUnderTest t;
    QCOMPARE(t.window->RaceState(), TFormMain::rsReady);
    QCOMPARE(t.window->bSTART2->Caption(), QStringLiteral("START"));
    QVERIFY(!t.window->TimerALL->isActive());
    QVERIFY(!t.window->Timer1->isActive());
    QVERIFY(!t.window->sbExcel->isEnabled());
    QVERIFY(!t.window->sbWeb->isEnabled());
    QVERIFY(!t.window->sbNew->isEnabled());
    QVERIFY(t.window->sbHelp->isEnabled());
    QVERIFY(t.window->bStartList->isEnabled());
}

void TestRaceControl::buttonShowsTheState()
{
    TWindowUnderTest t;
    const auto expectLook = [&t](const char *caption, const QColor &color, const QColor &light) {
        TLbButton *button = t.window->bSTART2;
        QCOMPARE(button->Caption(), QString::fromLatin1(caption));
        QCOMPARE(button->Color(), color);
        QCOMPARE(button->HotTrackColor(), color);
        QCOMPARE(button->LightColor(), light);
    };
    expectLook("START", QColor(0x00, 0xFF, 0x00), QColor(0x00, 0x80, 0x00));
    t.ClickStart();
    expectLook("STOPP", QColor(0xFF, 0x00, 0x00), QColor(0x7F, 0x00, 0x00));
    t.Answer(TFDlgYesNo::daYes);
    t.ClickStart();
    expectLook("00:00", QColor(0, 0, 0), QColor(0x80, 0x80, 0x80));
    t.ClickStart();
    expectLook("START", QColor(0x00, 0xFF, 0x00), QColor(0x00, 0x80, 0x00));
    QVERIFY(t.window->eTitle->hasFocus()); // releasing the button hands the focus to the title
}

void TestRaceControl::helpAndLogoCommands()
{
    TWindowUnderTest t;
    // No help file lies next to the test: the help command does nothing and asks nothing.
    const qsizetype windowsBefore = QApplication::topLevelWidgets().size();
    t.Key(Qt::Key_H, Qt::ControlModifier);
    QCOMPARE(QApplication::topLevelWidgets().size(), windowsBefore);
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    int helpShown = 0;
    QList<QUrl> opened;
    t.window->HelpContents = [&helpShown] { ++helpShown; };
    t.window->OpenUrl = [&opened](const QUrl &url) {
        opened << url;
        return true;
    };
    t.Key(Qt::Key_H, Qt::ControlModifier);
    t.window->eTitle->setFocus(); // also from inside an edit field
    t.Key(Qt::Key_H, Qt::ControlModifier);
    QTest::mouseClick(t.window->sbHelp, Qt::LeftButton);
    QCOMPARE(helpShown, 3);
    QTest::mouseClick(t.window->LogoLabels[1], Qt::LeftButton);
    QCOMPARE(opened, QList<QUrl>{TFormMain::kProductPage});
    QTest::mouseClick(t.window->LogoShadows[0], Qt::LeftButton); // the shadows are only looks
    QCOMPARE(opened.size(), 1);
}

void TestRaceControl::buttonAndCtrlSStepTheSameState()
{
    TWindowUnderTest t;
    t.ClickStart();
    QCOMPARE(t.window->RaceState(), TFormMain::rsRunning);
    QCOMPARE(t.window->bSTART2->Caption(), QStringLiteral("STOPP"));
    QVERIFY(t.window->TimerALL->isActive());
    QVERIFY(t.window->Timer1->isActive());
    QVERIFY(t.window->sbExcel->isEnabled());
    QVERIFY(!t.window->seCarCount->isEnabled());
    QVERIFY(!t.window->meTimeWarn->isEnabled());
    QVERIFY(t.window->meTime->isReadOnly());
    QVERIFY(t.window->seKrugs->isReadOnly());

    t.Answer(TFDlgYesNo::daNo);
    t.Key(Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(t.dialog->AskedQuestions(), QStringList{kStopQuestion});
    QCOMPARE(t.window->RaceState(), TFormMain::rsRunning);

    t.Answer(TFDlgYesNo::daYes);
    t.Key(Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(t.window->RaceState(), TFormMain::rsStopped);
    t.ClickStart(); // the button goes on from where Ctrl+S left the state
    QCOMPARE(t.window->RaceState(), TFormMain::rsReady);
}

void TestRaceControl::stopQuestion_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("stops");
    QTest::newRow("Ja") << int(TFDlgYesNo::daYes) << true;
    QTest::newRow("Nein") << int(TFDlgYesNo::daNo) << false;
    QTest::newRow("Escape") << int(TFDlgYesNo::daEscape) << false;
    QTest::newRow("close box") << int(TFDlgYesNo::daClose) << false;
    QTest::newRow("Enter lands on Nein") << int(TFDlgYesNo::daEnter) << false;
}

void TestRaceControl::stopQuestion()
{
    QFETCH(int, answer);
    QFETCH(bool, stops);
    TWindowUnderTest t;
    configure(t, 2, 5);
    t.ClickStart();
    t.Advance(30000);
    t.Lap(1);
    t.Answer(TFDlgYesNo::TDlgAnswer(answer));
    t.ClickStart();
    QCOMPARE(t.dialog->AskedQuestions(), QStringList{kStopQuestion});
    if (stops) {
        QCOMPARE(t.window->RaceState(), TFormMain::rsStopped);
        QCOMPARE(t.window->bSTART2->Caption(), QStringLiteral("00:00"));
        QVERIFY(!t.window->TimerALL->isActive());
        QVERIFY(!t.window->Timer1->isActive());
        QVERIFY(t.window->sbNew->isEnabled());
        QVERIFY(t.window->sbExcel->isEnabled()); // the results stay exportable
        QCOMPARE(t.window->Race.LastCross[1], TRaceTiming::kNotSeen);
    } else {
        QCOMPARE(t.window->RaceState(), TFormMain::rsRunning);
        QCOMPARE(t.window->bSTART2->Caption(), QStringLiteral("STOPP"));
        QVERIFY(t.window->TimerALL->isActive());
        QVERIFY(!t.window->sbNew->isEnabled());
        QCOMPARE(t.window->Race.LapTable[1].Count, 1);
    }
}

void TestRaceControl::raceEndIgnoresRowsWithoutCars()
{
    // A starter list of 6, 3 cars of 5 laps, the standings reversed by a click on "Pos": the
    // rows of starters without a car come first, and the race still waits for all three cars.
    TWindowUnderTest t;
    configure(t, 3, 5);
    TSortGrid *grid = t.window->SortGrid1;
    t.window->Session.SetRowCount(7);
    for (int r = 1; r <= 6; ++r)
        t.window->TypeIntoStandings(TRaceTiming::colFahrer, r, QStringLiteral("Fahrer %1").arg(r));
    t.ClickStart();
    for (int car = 1; car <= 3; ++car) {
        t.Advance(1000);
        t.Lap(car);
        // Once the standings are sorted by position, the click reverses them.
        if (car == 1)
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                              grid->CellRect(TRaceTiming::colPos, 0).center());
    }
    QVERIFY(t.Cell(TRaceTiming::colPos, 1).isEmpty()); // reversed: starters without a car first
    t.Advance(10);
    QCOMPARE(t.window->RaceState(), TFormMain::rsRunning);
    QVERIFY(t.window->TimerALL->isActive());
    for (int lap = 2; lap <= 5; ++lap) {
        for (int car = 1; car <= 3; ++car) {
            t.Advance(1000);
            t.Lap(car);
        }
    }
    QCOMPARE(t.window->Race.LapTable[1].Count, 5);
    QCOMPARE(t.window->Race.LapTable[3].Count, 5);
    t.Advance(10);
    QCOMPARE(t.window->RaceState(), TFormMain::rsStopped);
    // Every car's row shows its total, the starters without a car nothing.
    QCOMPARE(t.Cell(Zeit, t.RowOfKey(QStringLiteral("F3"))), QStringLiteral("0:15.0"));
    QCOMPARE(t.Cell(Zeit, t.RowOfKey(QStringLiteral("F1"))), QStringLiteral("0:13.0"));
    int emptyTimes = 0;
    for (int r = 1; r <= 6; ++r)
        emptyTimes += t.Cell(Zeit, r).isEmpty();
    QCOMPARE(emptyTimes, 3);
}

void TestRaceControl::destructiveQuestionsOpenOnNein()
{
    TWindowUnderTest t;
    configure(t, 2, 5);
    // An earlier question answered "Ja" leaves its focus on "Ja".
    t.Answer(TFDlgYesNo::daYes);
    t.Key(Qt::Key_N, Qt::ControlModifier);
    t.ClickStart();
    t.Advance(5000);
    t.Lap(1);
    t.Answer(TFDlgYesNo::daEnter);
    t.Key(Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(t.window->RaceState(), TFormMain::rsRunning);
    QCOMPARE(t.Cell(Laps, t.RowOfKey(QStringLiteral("F1"))), QStringLiteral("1"));
    t.Answer(TFDlgYesNo::daYes);
    t.Answer(TFDlgYesNo::daEnter); // the stop question after "Ja"
    t.Key(Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(t.window->RaceState(), TFormMain::rsRunning);
    t.Answer(TFDlgYesNo::daEnter);
    QVERIFY(!t.window->close());
    QVERIFY(t.window->TimerALL->isActive());

    // STOPP answered "Ja", then Ctrl+N: Enter keeps the stopped race and its laps.
    t.Answer(TFDlgYesNo::daYes);
    t.ClickStart();
    QCOMPARE(t.window->RaceState(), TFormMain::rsStopped);
    t.Answer(TFDlgYesNo::daEnter);
    t.Key(Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(t.dialog->AskedQuestions().last(), kNewRaceQuestion);
    QCOMPARE(t.window->RaceState(), TFormMain::rsStopped);
    QCOMPARE(t.Cell(Laps, t.RowOfKey(QStringLiteral("F1"))), QStringLiteral("1"));

    // Ready, with a driver typed in: Enter keeps the driver too.
    t.ClickStart();
    t.window->TypeIntoStandings(TRaceTiming::colFahrer, 1, QStringLiteral("Anna"));
    t.Key(Qt::Key_S, Qt::ControlModifier);
    t.Answer(TFDlgYesNo::daYes);
    t.Key(Qt::Key_S, Qt::ControlModifier); // stopped with "Ja" focused
    t.Key(Qt::Key_S, Qt::ControlModifier); // and reset
    QCOMPARE(t.window->RaceState(), TFormMain::rsReady);
    t.Answer(TFDlgYesNo::daEnter);
    t.Key(Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(t.Cell(TRaceTiming::colFahrer, 1), QStringLiteral("Anna"));
    t.Answer(TFDlgYesNo::daYes); // "Ja" does what the question says
    t.Key(Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(t.Cell(TRaceTiming::colFahrer, 1), QString());
}

void TestRaceControl::startUsesTheLapLengthShown()
{
    // A pasted text that is no lap length, and START from inside the field.
    TWindowUnderTest t;
    t.window->feDist->setFocus();
    t.window->feDist->setText(QStringLiteral("12.5 km"));
    t.Key(Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(t.window->RaceState(), TFormMain::rsRunning);
    QCOMPARE(t.window->feDist->text(), QStringLiteral("15.000"));
    QCOMPARE(t.window->Race.LapLength(), 15.0);
    t.Advance(60000);
    t.Lap(1);
    QCOMPARE(t.Cell(TRaceTiming::colSpeed, t.RowOfKey(QStringLiteral("F1"))),
             QStringLiteral("900.0"));
}

void TestRaceControl::incompleteWarningTimeIsRefused()
{
    TWindowUnderTest t;
    QLineEdit *field = t.window->meTimeWarn;
    // "2" typed over the whole field, then START: the previous warning time stays.
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_2);
    QCOMPARE(field->displayText(), QStringLiteral("2_:__"));
    t.Key(Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(t.window->Session.WarnTimeMs(), 300000);
    QCOMPARE(field->text(), QStringLiteral("05:00"));
    t.Answer(TFDlgYesNo::daYes);
    t.ClickStart();
    t.ClickStart();
    // The last digit deleted, then the field left: the complete text comes back.
    field->setText(QStringLiteral("01:30"));
    field->setFocus();
    field->end(false);
    QTest::keyClick(field, Qt::Key_Backspace);
    QCOMPARE(field->text(), QStringLiteral("01:3"));
    t.window->SortGrid1->setFocus();
    QCOMPARE(field->text(), QStringLiteral("01:30"));
    // Neither broken text reaches the settings.
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_7);
    t.Close();
    QCOMPARE(QSettings(t.SettingsPath(), QSettings::IniFormat).value("TimeWarn").toString(),
             QStringLiteral("01:30"));
}

void TestRaceControl::raceEndsWithinOneTick()
{
    TWindowUnderTest t;
    configure(t, 2, 2);
    t.ClickStart();
    t.Advance(60000);
    t.Lap(1);
    t.Advance(1500);
    t.Lap(2);
    t.Advance(58500); // car 1 at 120.0 s
    t.Lap(1);
    t.Advance(3000); // car 2 at 123.0 s: the last lap of the race
    t.Lap(2);
    // The last lap ends the race at once, not at the next tick of the clock.
    QCOMPARE(t.window->RaceState(), TFormMain::rsStopped);
    QCOMPARE(t.window->Session.State(), TRaceSession::TState::Ended);
    QCOMPARE(t.window->bSTART2->Caption(), QStringLiteral("00:00"));
    QVERIFY(!t.window->TimerALL->isActive());
    QVERIFY(!t.window->Timer1->isActive());
    QVERIFY(t.window->sbNew->isEnabled());
    QCOMPARE(t.Cell(Zeit, t.RowOfKey(QStringLiteral("F1"))), QStringLiteral("2:00.0"));
    QCOMPARE(t.Cell(Zeit, t.RowOfKey(QStringLiteral("F2"))), QStringLiteral("2:03.0"));
    // The race is over: a lap key changes nothing any more.
    pastKeyLock(t);
    t.Lap(1);
    QCOMPARE(t.window->Race.LapTable[1].Count, 2);
    QCOMPARE(t.Cell(Laps, t.RowOfKey(QStringLiteral("F1"))), QStringLiteral("2"));
}

void TestRaceControl::stopShowsTotalsOfFinishedCarsOnly()
{
    TWindowUnderTest t;
    configure(t, 4, 1);
    t.ClickStart();
    t.Advance(30000);
    t.Lap(2);
    t.Advance(1000);
    t.Lap(4);
    t.Advance(5000);
    QVERIFY(!t.Cell(Zeit, t.RowOfKey(QStringLiteral("F1"))).isEmpty()); // running time
    t.Answer(TFDlgYesNo::daYes);
    t.ClickStart();
    QCOMPARE(t.window->RaceState(), TFormMain::rsStopped);
    QCOMPARE(t.Cell(Zeit, 1), QStringLiteral("0:30.0"));
    QCOMPARE(t.Cell(TRaceTiming::colKey, 1), QStringLiteral("F2"));
    QCOMPARE(t.Cell(Zeit, 2), QStringLiteral("0:31.0"));
    QCOMPARE(t.Cell(TRaceTiming::colKey, 2), QStringLiteral("F4"));
    QCOMPARE(t.Cell(Zeit, 3), QString());
    QCOMPARE(t.Cell(Zeit, 4), QString());
}

void TestRaceControl::totalsOfAnHourOrMoreKeepTheirHours()
{
    TWindowUnderTest t;
    configure(t, 2, 1);
    t.ClickStart();
    t.Advance(59 * 60000);
    t.Lap(1); // 59:00.0, still below an hour
    t.Advance(4 * 3600000 - 59 * 60000 + 500);
    t.Lap(2); // 4:00:00.5, the last lap of the race
    t.window->TimerALLTimer();
    QCOMPARE(t.window->RaceState(), TFormMain::rsStopped);
    QCOMPARE(t.Cell(Zeit, t.RowOfKey(QStringLiteral("F1"))), QStringLiteral("59:00.0"));
    QCOMPARE(t.Cell(Zeit, t.RowOfKey(QStringLiteral("F2"))), QStringLiteral("4:00:00.5"));
    QCOMPARE(t.window->Race.TimeMode, 5);
}

void TestRaceControl::resetKeepsRowsInLastOrder()
{
    TWindowUnderTest t;
    configure(t, 3, 1);
    const QString numbers[] = {QStringLiteral("7"), QStringLiteral("8"), QStringLiteral("9")};
    const QString drivers[] = {QStringLiteral("Anna"), QStringLiteral("Ben"),
                               QStringLiteral("Cleo")};
    for (int r = 1; r <= 3; ++r) {
        t.window->TypeIntoStandings(TRaceTiming::colNr, r, numbers[r - 1]);
        t.window->TypeIntoStandings(TRaceTiming::colFahrer, r, drivers[r - 1]);
    }
    t.ClickStart();
    t.Advance(40000);
    t.Lap(3);
    t.Advance(2000);
    t.Lap(1);
    t.Answer(TFDlgYesNo::daYes);
    t.ClickStart(); // stop
    t.ClickStart(); // reset
    QCOMPARE(t.window->RaceState(), TFormMain::rsReady);
    QCOMPARE(t.window->bSTART2->Caption(), QStringLiteral("START"));
    const QString expected[3][3] = {{QStringLiteral("F3"), numbers[2], drivers[2]},
                                    {QStringLiteral("F1"), numbers[0], drivers[0]},
                                    {QStringLiteral("F2"), numbers[1], drivers[1]}};
    for (int r = 1; r <= 3; ++r) {
        QCOMPARE(t.Cell(TRaceTiming::colKey, r), expected[r - 1][0]);
        QCOMPARE(t.Cell(TRaceTiming::colNr, r), expected[r - 1][1]);
        QCOMPARE(t.Cell(TRaceTiming::colFahrer, r), expected[r - 1][2]);
        QCOMPARE(t.Cell(TRaceTiming::colPos, r), QString());
        for (int c = TRaceTiming::colLaps; c < TRaceTiming::kStandingsColumns; ++c)
            QCOMPARE(t.Cell(c, r), QString());
    }
    QVERIFY(!t.window->sbExcel->isEnabled());
    QVERIFY(t.window->sbNew->isEnabled());
    QVERIFY(t.window->seCarCount->isEnabled());
    QVERIFY(!t.window->meTime->isReadOnly());
    // The next START keys the rows in that order: the winner now runs on F1.
    t.ClickStart();
    QCOMPARE(t.Cell(TRaceTiming::colKey, 1), QStringLiteral("F1"));
    QCOMPARE(t.Cell(TRaceTiming::colFahrer, 1), drivers[2]);
}

void TestRaceControl::lapsFieldShowsRemainingLaps()
{
    TWindowUnderTest t;
    configure(t, 2, 5);
    QCOMPARE(t.window->seKrugs->value(), 5);
    t.ClickStart();
    QCOMPARE(t.window->seKrugs->minimum(), 0);
    t.Advance(60000);
    t.Lap(1);
    t.Advance(500);
    t.Lap(2); // a second car on the same lap changes nothing
    QCOMPARE(t.window->seKrugs->value(), 4);
    t.Advance(60000);
    t.Lap(2);
    QCOMPARE(t.window->seKrugs->value(), 3);
    QCOMPARE(t.window->Race.RaceLaps, 5);
    t.Answer(TFDlgYesNo::daYes);
    t.ClickStart();
    QCOMPARE(t.window->seKrugs->value(), 3);
    t.ClickStart();
    QCOMPARE(t.window->seKrugs->value(), 5);
    QCOMPARE(t.window->seKrugs->minimum(), 1);
    QVERIFY(!t.window->seKrugs->isReadOnly());
    t.window->seKrugs->setValue(7);
    QCOMPARE(t.window->Race.RaceLaps, 7);
}

void TestRaceControl::resetAfterLeaderFinishedKeepsConfiguredLaps()
{
    TWindowUnderTest t;
    configure(t, 2, 2);
    t.ClickStart();
    t.Advance(60000);
    t.Lap(1);
    t.Advance(60000);
    t.Lap(1); // the leader has no laps left: the field shows 0
    QCOMPARE(t.window->seKrugs->value(), 0);
    t.Answer(TFDlgYesNo::daYes);
    t.ClickStart();
    t.ClickStart();
    QCOMPARE(t.window->RaceState(), TFormMain::rsReady);
    QCOMPARE(t.window->seKrugs->value(), 2);
    QCOMPARE(t.window->Race.RaceLaps, 2);
}

void TestRaceControl::newRaceWhileRunning()
{
    // F3 at 1.1 s, F1 at 2.3 s, then "Neu" answered "Ja" and the stop "Nein": the race runs on
    // with its standings, and every later press and running time lands in its own car's row.
    TWindowUnderTest t;
    configure(t, 3, 5);
    t.window->TypeIntoStandings(TRaceTiming::colFahrer, 1, QStringLiteral("Anna"));
    t.ClickStart();
    t.Advance(1100);
    t.Lap(3);
    t.Advance(1200);
    t.Lap(1);
    t.Answer(TFDlgYesNo::daYes); // new race
    t.Answer(TFDlgYesNo::daNo);  // but do not stop
    t.Key(Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(t.dialog->AskedQuestions(),
             (QStringList{kNewRaceWhileRunningQuestion, kStopQuestion}));
    QCOMPARE(t.window->RaceState(), TFormMain::rsRunning);
    QVERIFY(t.window->TimerALL->isActive());
    QCOMPARE(t.Cell(TRaceTiming::colFahrer, t.RowOfKey(QStringLiteral("F1"))),
             QStringLiteral("Anna"));
    QCOMPARE(t.Cell(Laps, t.RowOfKey(QStringLiteral("F3"))), QStringLiteral("1"));

    t.Advance(900); // 3.2 s: car 3 runs its second lap for 2.1 s, car 1 for 0.9 s
    QCOMPARE(t.Cell(Zeit, t.RowOfKey(QStringLiteral("F3"))), QStringLiteral("0:02.1"));
    QCOMPARE(t.Cell(Zeit, t.RowOfKey(QStringLiteral("F1"))), QStringLiteral("0:00.9"));
    t.Lap(2);
    t.Advance(10);
    QCOMPARE(t.Cell(Laps, t.RowOfKey(QStringLiteral("F2"))), QStringLiteral("1"));
    QCOMPARE(t.Cell(TRaceTiming::colLastLap, t.RowOfKey(QStringLiteral("F2"))),
             QStringLiteral("0:03.2"));
    QCOMPARE(t.Cell(TRaceTiming::colPos, t.RowOfKey(QStringLiteral("F3"))), QStringLiteral("1."));
    QCOMPARE(t.Cell(TRaceTiming::colPos, t.RowOfKey(QStringLiteral("F2"))), QStringLiteral("3."));
    for (int car = 1; car <= 3; ++car)
        QCOMPARE(t.window->Race.RowOfCar(car), t.RowOfKey(QStringLiteral("F%1").arg(car)));
}

void TestRaceControl::newRaceAfterStopRelabelsRowsAndMaps()
{
    // Rows in race order (F2 above F1) are relabelled F1, F2 by a new race answered "Ja" twice
    // while running: the maps follow the relabelled keys.
    TWindowUnderTest t;
    configure(t, 2, 5);
    t.ClickStart();
    t.Advance(2000);
    t.Lap(2);
    QCOMPARE(t.RowOfKey(QStringLiteral("F2")), 1);
    t.Answer(TFDlgYesNo::daYes);
    t.Answer(TFDlgYesNo::daYes);
    t.Key(Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(t.window->RaceState(), TFormMain::rsStopped);
    QCOMPARE(t.RowOfKey(QStringLiteral("F1")), 1);
    QCOMPARE(t.window->Race.RowOfCar(1), 1);
    QCOMPARE(t.window->Race.CarOfRow(1), 1);
    QCOMPARE(t.window->Race.RowOfCar(2), 2);
    QCOMPARE(t.Cell(Zeit, 1), QString());
}

void TestRaceControl::newRaceWhileStoppedResets()
{
    TWindowUnderTest t;
    configure(t, 2, 5);
    t.ClickStart();
    t.Answer(TFDlgYesNo::daYes);
    t.ClickStart();
    t.Answer(TFDlgYesNo::daNo);
    t.window->sbNew->click();
    QCOMPARE(t.window->RaceState(), TFormMain::rsStopped); // "Nein" changes nothing
    t.Answer(TFDlgYesNo::daYes);
    t.window->sbNew->click();
    QCOMPARE(t.window->RaceState(), TFormMain::rsReady);
    QVERIFY(!t.window->sbNew->isEnabled());
    QCOMPARE(t.dialog->AskedQuestions(),
             (QStringList{kStopQuestion, kNewRaceQuestion, kNewRaceQuestion}));
}

void TestRaceControl::raceClockCountsDown()
{
    TWindowUnderTest t;
    t.window->meTime->setText(QStringLiteral("30:00")); // typed, the field not yet left
    t.Key(Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(t.window->RaceSeconds, 1800);
    QCOMPARE(t.window->meTime->text(), QStringLiteral("30:00")); // until the first tick
    t.Advance(10000);
    QCOMPARE(t.window->meTime->text(), QStringLiteral("00:29:50"));
    t.Advance(1790000 - 1);
    QCOMPARE(t.window->meTime->text(), QStringLiteral("00:00:01"));
    t.Advance(1);
    QCOMPARE(t.window->meTime->text(), QStringLiteral("00:00:00"));
    t.Advance(3600000);
    QCOMPARE(t.window->meTime->text(), QStringLiteral("00:00:00"));
    QCOMPARE(t.window->RaceState(), TFormMain::rsRunning); // the clock does not end the race
}

void TestRaceControl::raceClockOnLargeTickCounter_data()
{
    QTest::addColumn<quint32>("startTick");
    QTest::newRow("just above 2^31") << quint32(0x80000005u);
    QTest::newRow("wraps during the race") << quint32(0xFFFFF000u);
}

void TestRaceControl::raceClockOnLargeTickCounter()
{
    QFETCH(quint32, startTick);
    TWindowUnderTest t(startTick);
    configure(t, 1, 3);
    t.ClickStart();
    t.Advance(10000);
    QCOMPARE(t.window->meTime->text(), QStringLiteral("03:59:50"));
    t.Advance(51000);
    QCOMPARE(t.Cell(Zeit, 1), QStringLiteral("1:01.0"));
    t.Lap(1);
    QCOMPARE(t.Cell(TRaceTiming::colBestLap, 1), QStringLiteral("1:01.0"));
    t.Advance(3600000);
    QCOMPARE(t.window->meTime->text(), QStringLiteral("02:58:59"));
}

void TestRaceControl::raceClockIgnoresVisitWhileRunning()
{
    TWindowUnderTest t;
    t.ClickStart();
    t.Advance(20000);
    QCOMPARE(t.window->meTime->text(), QStringLiteral("03:59:40"));
    t.window->meTime->setFocus();
    QTest::keyClick(t.window->meTime, Qt::Key_Return);
    t.window->SortGrid1->setFocus();
    QCOMPARE(t.window->RaceSeconds, 14400);
    t.Advance(1000);
    QCOMPARE(t.window->meTime->text(), QStringLiteral("03:59:39"));
}

void TestRaceControl::raceClockFieldFiltersAndApplies()
{
    TWindowUnderTest t;
    QLineEdit *clock = t.window->meTime;
    clock->setFocus();
    clock->selectAll();
    QTest::keyClicks(clock, QStringLiteral("1a:3-0 "));
    QCOMPARE(clock->text(), QStringLiteral("1:30"));
    QTest::keyClick(clock, Qt::Key_Return);
    QCOMPARE(t.window->RaceSeconds, 90);
    QCOMPARE(clock->text(), QStringLiteral("00:01:30"));
    clock->selectAll();
    QTest::keyClicks(clock, QStringLiteral("0:90:00"));
    t.window->SortGrid1->setFocus(); // leaving the field applies it too
    QCOMPARE(t.window->RaceSeconds, 5400);
    QCOMPARE(clock->text(), QStringLiteral("01:30:00"));
}

void TestRaceControl::raceClockRefusesTooLargeText()
{
    TWindowUnderTest t;
    QLineEdit *clock = t.window->meTime;
    clock->setFocus();
    clock->selectAll();
    QTest::keyClicks(clock, QStringLiteral("99999999999"));
    QTest::keyClick(clock, Qt::Key_Return);
    QCOMPARE(t.window->RaceSeconds, 14400);
    QCOMPARE(clock->text(), QStringLiteral("04:00:00"));
    // START with such a text goes all the way and keeps the duration.
    clock->setText(QStringLiteral("596524:00:00"));
    t.ClickStart();
    QCOMPARE(t.window->RaceState(), TFormMain::rsRunning);
    QCOMPARE(t.window->RaceSeconds, 14400);
    QCOMPARE(clock->text(), QStringLiteral("04:00:00"));
}

void TestRaceControl::closeQuestion_data()
{
    QTest::addColumn<bool>("running");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<int>("questionsAsked");
    QTest::newRow("ready closes without asking") << false << -1 << true << 0;
    QTest::newRow("running, Ja") << true << int(TFDlgYesNo::daYes) << true << 1;
    QTest::newRow("running, Nein") << true << int(TFDlgYesNo::daNo) << false << 1;
    QTest::newRow("running, Escape") << true << int(TFDlgYesNo::daEscape) << false << 1;
    QTest::newRow("running, Enter lands on Nein") << true << int(TFDlgYesNo::daEnter) << false << 1;
}

void TestRaceControl::closeQuestion()
{
    QFETCH(bool, running);
    QFETCH(int, answer);
    QFETCH(bool, closes);
    QFETCH(int, questionsAsked);
    TWindowUnderTest t;
    if (running)
        t.ClickStart();
    if (answer >= 0)
        t.Answer(TFDlgYesNo::TDlgAnswer(answer));
    QCOMPARE(t.window->close(), closes);
    QCOMPARE(t.dialog->AskedQuestions().size(), questionsAsked);
    if (questionsAsked > 0)
        QCOMPARE(t.dialog->AskedQuestions().first(), QStringLiteral("Beenden?"));
    QCOMPARE(t.window->TimerALL->isActive(), running && !closes);
}

void TestRaceControl::commandsWorkWhatEverTheButtons()
{
    TWindowUnderTest t;
    QVERIFY(!t.window->sbNew->isEnabled());
    t.Answer(TFDlgYesNo::daNo);
    t.Key(Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(t.dialog->AskedQuestions(), QStringList{kNewRaceQuestion});
    // The shortcuts reach the window from inside the header's fields too.
    t.window->eTitle->setFocus();
    t.Key(Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(t.window->RaceState(), TFormMain::rsRunning);
    t.Advance(61000);
    QTest::keyClick(t.window->SortGrid1, Qt::Key_F1);
    QCOMPARE(t.window->Race.LapTable[1].Count, 1);
    t.Advance(2000);
    t.window->meTime->setFocus();
    QTest::keyClick(t.window->meTime, Qt::Key_F1);
    QCOMPARE(t.window->Race.LapTable[1].Count, 2);

    // The commands are grouped in a menu that never shows.
    QVERIFY(!t.window->MainMenu1->isVisible());
    QStringList machine;
    for (const QAction *action : t.window->Machine1->actions())
        machine.append(action->shortcut().toString());
    QCOMPARE(machine.size(), 13);
    QCOMPARE(machine.first(), QStringLiteral("F1"));
    QCOMPARE(machine.at(11), QStringLiteral("F12"));
    QCOMPARE(machine.last(), QStringLiteral("Ctrl+S"));
    QStringList hilfe;
    for (const QAction *action : t.window->Hilfe1->actions())
        hilfe.append(action->text());
    QCOMPARE(hilfe, (QStringList{"New", "Help", "Open"}));
}

void TestRaceControl::lapKeysOutsideTheRaceDoNothing()
{
    TWindowUnderTest t;
    configure(t, 5, 5);
    t.Lap(1); // Ready
    QCOMPARE(t.window->Race.LapTable[1].Count, 0);
    t.ClickStart();
    t.Advance(30000);
    t.Lap(6); // above the number of cars
    QCOMPARE(t.window->Race.LapTable[6].Count, 0);
    t.Lap(5);
    t.Advance(500);
    t.Lap(5); // locked
    QCOMPARE(t.window->Race.LapTable[5].Count, 1);
    t.Advance(1000);
    t.Lap(5);
    QCOMPARE(t.window->Race.LapTable[5].Count, 2);
}

void TestRaceControl::lapKeysCountWhileHelpWindowIsActive()
{
    TWindowUnderTest t;
    configure(t, 2, 5);
    t.ClickStart();
    // A second window of the program, as the help viewer opens, takes the keyboard.
    QWidget help(t.window.get(), Qt::Window);
    help.show();
    QApplication::setActiveWindow(&help);
    QVERIFY(QTest::qWaitForWindowActive(&help));
    t.Advance(30000);
    QTest::keyClick(&help, Qt::Key_F2);
    QCOMPARE(t.window->Race.LapTable[2].Count, 1);
    QCOMPARE(t.Cell(TRaceTiming::colKey, 1), QStringLiteral("F2"));
}

QTEST_MAIN(TestRaceControl)
#include "tst_racecontrol.moc"

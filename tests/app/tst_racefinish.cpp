#include "CorrectionDesk.h"
#include "ManualTickCounter.h"
#include "PassLogModel.h"
#include "RaceTiming.h"
#include "WindowUnderTest.h"

#include <QComboBox>
#include <QSpinBox>
#include <QTableView>

namespace {

using Rule = TRaceTiming::TFinishRule;
constexpr quint32 kStart = 5000;

// A race of three cars on a hand-set clock, the standings grid included.
struct TRace
{
    TManualTickCounter Clock{kStart};
    TStandingsTable Grid;
    TRaceTiming Timing{&Grid, Clock};

    TRace(Rule rule, int laps, qint64 limitMs = 0)
    {
        for (int row = 1; row <= kMaxCars; ++row)
            Grid.SetCell(TRaceTiming::colKey, row, QStringLiteral("F%1").arg(row));
        Grid.SetRowCount(4);
        Timing.FinishRule = rule;
        Timing.TimeLimitMs = limitMs;
        Timing.StartRace(3, laps, 2.0);
    }
    void press(int car, quint32 raceS)
    {
        Clock.Set(kStart + raceS * 1000);
        Timing.ReleaseKeyLocks();
        Timing.FClick(car, true);
    }
    QList<int> order() const
    {
        QList<int> cars;
        for (int i = 0; i < 3; ++i)
            cars << int(Timing.Ranking[i] >> 28);
        return cars;
    }
    QList<int> laps() const
    {
        return {Timing.LapTable[1].Count, Timing.LapTable[2].Count, Timing.LapTable[3].Count};
    }
    QList<bool> finished() const
    {
        return {Timing.Finished(1), Timing.Finished(2), Timing.Finished(3)};
    }
};

} // namespace

class TestRaceFinish : public QObject
{
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale::c()); }
    void flagFinishesLappedCarsAtTheirNextCrossing();
    void timedRaceEndsAtTheClockPlusOneLap();
    void lapsOrTimeWhicheverComesFirst();
    void windowEndsAFlagRaceAndRebuildsItTheSame();
    void notStartedAndLapsOffInTheTables();
};

void TestRaceFinish::flagFinishesLappedCarsAtTheirNextCrossing()
{
    for (const Rule rule : {Rule::AllLaps, Rule::FlagAfterLaps}) {
        TRace r(rule, 3);
        // Car 1 leads, car 2 follows, car 3 is lapped.
        for (const auto &[car, s] : QList<QPair<int, quint32>>{
                 {1, 50}, {2, 60}, {3, 90}, {1, 100}, {2, 120}, {1, 150}, {2, 180}, {3, 185}}) {
            r.press(car, s);
        }
        QCOMPARE(r.Timing.FlagFallen(), rule != Rule::AllLaps);
        QCOMPARE(r.laps(), (QList<int>{3, 3, 2}));
        // Under the flag the lapped car is done at its crossing after the leader's finish.
        QCOMPARE(r.finished(), (QList<bool>{true, true, rule != Rule::AllLaps}));
        r.press(3, 230);
        QCOMPARE(r.Timing.LapTable[3].Count, rule == Rule::AllLaps ? 3 : 2);
        QCOMPARE(r.order(), (QList<int>{1, 2, 3}));
    }
}

void TestRaceFinish::timedRaceEndsAtTheClockPlusOneLap()
{
    // Two laps set, but only the clock ends the race: the leader runs on past them.
    TRace r(Rule::FlagAfterTime, 2, 120000);
    r.press(1, 50);
    r.press(2, 60);
    r.press(1, 100);
    r.press(2, 120); // at the time, but not the leader: no flag
    QVERIFY(!r.Timing.FlagFallen());
    r.press(3, 125); // car 3's first lap, after the time, not the leader either
    QVERIFY(!r.Timing.FlagFallen());
    QVERIFY(!r.Timing.Finished(3));
    r.press(1, 150); // the leader's next crossing takes the flag
    QVERIFY(r.Timing.FlagFallen());
    QCOMPARE(r.finished(), (QList<bool>{true, false, false}));
    r.press(2, 180);
    r.press(3, 240);
    QCOMPARE(r.laps(), (QList<int>{3, 3, 2}));
    QCOMPARE(r.finished(), (QList<bool>{true, true, true}));
    r.press(1, 200);
    QCOMPARE(r.Timing.LapTable[1].Count, 3);
    QCOMPARE(r.Timing.CrossTable[1].Slot[3], 150000);
}

void TestRaceFinish::lapsOrTimeWhicheverComesFirst()
{
    TRace byLaps(Rule::FlagAfterLapsOrTime, 2, 600000);
    byLaps.press(1, 50);
    byLaps.press(1, 100);
    QVERIFY(byLaps.Timing.FlagFallen());
    TRace byTime(Rule::FlagAfterLapsOrTime, 5, 60000);
    byTime.press(1, 50);
    QVERIFY(!byTime.Timing.FlagFallen());
    byTime.press(1, 100);
    QVERIFY(byTime.Timing.FlagFallen());
    QCOMPARE(byTime.Timing.LapTable[1].Count, 2);
}

void TestRaceFinish::windowEndsAFlagRaceAndRebuildsItTheSame()
{
    TWindowUnderTest t;
    t.window->seCarCount->setValue(3);
    t.window->seKrugs->setValue(2);
    t.window->cbFinish->setCurrentIndex(int(Rule::FlagAfterLaps));
    t.ClickStart();
    QVERIFY(!t.window->cbFinish->isEnabled());
    quint32 now = 0;
    const auto lap = [&](int car, quint32 s) {
        t.Advance(s * 1000 - now);
        now = s * 1000;
        t.Lap(car);
    };
    lap(1, 50);
    lap(2, 60);
    lap(3, 90);
    lap(1, 100); // the flag
    lap(2, 120);
    QCOMPARE(t.window->RaceState(), TFormMain::rsRunning);
    t.window->FlushJournal();
    QList<qint32> before;
    for (int car = 1; car <= 3; ++car)
        before << t.window->Race.LapTable[car].Count << t.window->Race.CrossTable[car].Slot[1];
    // A correction rebuilds the race under the same rule.
    t.window->Desk->SelectCrossing(t.window->Desk->Model()->IdAt(0));
    QTest::keyClick(t.window->Desk->PassView(), Qt::Key_Delete);
    QCOMPARE(t.window->Race.LapTable[2].Count, 1);
    t.Key(Qt::Key_Z, Qt::ControlModifier);
    QList<qint32> after;
    for (int car = 1; car <= 3; ++car)
        after << t.window->Race.LapTable[car].Count << t.window->Race.CrossTable[car].Slot[1];
    QCOMPARE(after, before);
    QVERIFY(t.window->Race.Finished(2));
    lap(3, 130); // the lapped car's next crossing ends the race
    t.Advance(20);
    QCOMPARE(t.window->RaceState(), TFormMain::rsStopped);
    QCOMPARE(t.window->Race.LapTable[3].Count, 2);
    const TResultsSnapshot results = t.window->ResultsSnapshot();
    QCOMPARE(results.leaderLaps, 2);
    QCOMPARE(results.rows[2].laps.size(), 2);
}

void TestRaceFinish::notStartedAndLapsOffInTheTables()
{
    TRace r(Rule::AllLaps, 3);
    r.Timing.Verdicts[3].status = TCarVerdict::Status::NotStarted;
    r.press(1, 50);
    r.press(2, 60);
    r.press(3, 70);
    r.press(1, 100);
    QCOMPARE(r.laps(), (QList<int>{2, 1, 0}));
    // The car that did not start records nothing and is not classified.
    QCOMPARE(r.order(), (QList<int>{1, 2, 0}));
    // With a lap taken off, car 1's two laps count as one, done later than car 2's.
    r.Timing.Verdicts[1].lapsOff = 1;
    r.Timing.BuildRanking();
    QCOMPARE(r.order(), (QList<int>{2, 1, 0}));
    QVERIFY(r.Timing.Finished(3)); // not awaited
    QVERIFY(!r.Timing.Finished(2));
}

QTEST_MAIN(TestRaceFinish)
#include "tst_racefinish.moc"

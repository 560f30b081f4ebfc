#include "ManualTickCounter.h"
#include "RaceTiming.h"

#include <QLocale>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

using Col = TRaceTiming::TStandingsColumn;
constexpr quint32 kStart = 100000;
constexpr double kLapKm = 15.0;
// Presses as car and race time in ms, in the order made.
using TPresses = QList<QPair<int, int>>;

// One race on a hand-set clock: the standings grid, the timing and helpers to press keys at
// race times (ms after START).
struct TRace
{
    TManualTickCounter Clock{kStart};
    TStandingsTable Grid;
    TRaceTiming Timing{&Grid, Clock};

    TRace(int cars, int laps, quint32 start = kStart, int rows = -1)
    {
        Clock.Set(start);
        for (int row = 1; row <= kMaxCars; ++row)
            Grid.SetCell(Col::colKey, row, u'F' + QString::number(row));
        Grid.SetRowCount(rows < 0 ? cars + 1 : rows);
        Timing.StartRace(cars, laps, kLapKm);
    }
    // The 450 ms timer would have released every key locked for a second by then.
    bool press(int car, quint32 raceMs)
    {
        Clock.Set(Timing.StartTick + raceMs);
        Timing.ReleaseKeyLocks();
        return Timing.FClick(car, true);
    }
    QString cell(Col col, int car) const { return Grid.Cell(col, Timing.RowOfCar(car)); }
    // Cars in grid rows 1 to n, read from the "Key" cells.
    QList<int> order() const
    {
        QList<int> cars;
        for (int row = 1; row < Grid.RowCount(); ++row)
            cars << Grid.Cell(Col::colKey, row).mid(1).toInt();
        return cars;
    }
    void checkMapsInverse(int cars) const
    {
        for (int car = 1; car <= cars; ++car) {
            const int row = Timing.RowOfCar(car);
            QCOMPARE(Grid.Cell(Col::colKey, row), u'F' + QString::number(car));
            if (row <= kMaxCars)
                QCOMPARE(Timing.CarOfRow(row), car);
        }
    }
};

} // namespace

class TestRaceTiming : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void startPreparesTables();
    void firstLap();
    void leaderRecordAndRemainingLaps();
    void raceDistanceReached();
    void capacityOf999Laps();
    void keyLock_data();
    void keyLock();
    void keysRefused_data();
    void keysRefused();
    void wrapOfTheTickCounter();

    void ranking_data();
    void ranking();
    void averageBeyond28Bits();
    void twelveCarsSortNineBeforeTen();
    void comparePositions_data();
    void comparePositions();
    void reversedDirectionKeepsMaps();

    void lapTextsFollowTheClock();
    void gaps();
    void speed_data();
    void speed();
    void formatTimeUsesAccAndMode_data();
    void formatTimeUsesAccAndMode();
};

void TestRaceTiming::init()
{
    QLocale::setDefault(QLocale::c());
}

void TestRaceTiming::startPreparesTables()
{
    TRace race(3, 5);
    race.Grid.SetCell(Col::colNr, 1, u"77"_s);
    race.press(2, 60000);
    race.press(2, 125000);
    QCOMPARE(race.order(), (QList<int>{2, 1, 3}));

    // A second START: rows keep number and driver but take the key of their row.
    race.Clock.Set(900000);
    race.Timing.StartRace(3, 4, kLapKm);
    QCOMPARE(race.Timing.StartTick, 900000u);
    QCOMPARE(race.Timing.RaceLaps, 4);
    QCOMPARE(race.Grid.Cell(Col::colKey, 1), u"F1"_s);
    QCOMPARE(race.Grid.Cell(Col::colNr, 2), u"77"_s);
    for (int car = 1; car <= 3; ++car) {
        QCOMPARE(race.Timing.RowOfCar(car), car);
        QCOMPARE(race.Timing.CarOfRow(car), car);
        QCOMPARE(race.Timing.LastCross[car], 900000u);
        QCOMPARE(race.Timing.LapTable[car].Count, 0);
        QCOMPARE(race.Timing.LapTable[car].Best, kNoBestLap);
        QCOMPARE(quint32(race.Timing.LapTable[car].Slot[1]), 900000u);
        QCOMPARE(race.Timing.LapTable[car].Slot[2], 0);
        QCOMPARE(race.Timing.CrossTable[car].Slot[1], 0);
        QVERIFY(!race.Timing.KeyLocked(car));
    }
    QCOMPARE(race.Timing.LapTable[0].Count, 0);

    race.Timing.StartRace(0, 5000, kLapKm);
    QCOMPARE(race.Timing.CarCount(), 1);
    QCOMPARE(race.Timing.RaceLaps, kMaxLaps);
}

void TestRaceTiming::firstLap()
{
    TRace race(4, 5);
    race.Grid.SetCell(Col::colZeit, 3, u"1:01.1"_s); // as the 10 ms timer last wrote it
    QVERIFY(race.press(3, 61234));

    const quint32 stamp = kStart + 61234;
    const TLapRecord &car = race.Timing.LapTable[3];
    QCOMPARE(car.Count, 1);
    QCOMPARE(car.Slot[1], 61234);
    QCOMPARE(quint32(car.Slot[2]), stamp);
    QCOMPARE(car.Best, 61234);
    QCOMPARE(race.Timing.CrossTable[3].Slot[1], 61234);
    QCOMPARE(race.Timing.KeyLock[3], stamp);
    QCOMPARE(race.Timing.LastCross[3], stamp);
    QVERIFY(race.Timing.KeyLocked(3));

    QCOMPARE(race.order(), (QList<int>{3, 1, 2, 4}));
    QCOMPARE(race.cell(Col::colPos, 3), u"1."_s);
    QCOMPARE(race.cell(Col::colLaps, 3), u"1"_s);
    QCOMPARE(race.cell(Col::colLastLap, 3), u"1:01.2"_s); // the lap, not the lagging text
    QCOMPARE(race.cell(Col::colPrevLap, 3), QString());
    QCOMPARE(race.cell(Col::colBestLap, 3), u"1:01.2"_s);
    QCOMPARE(race.cell(Col::colToLeader, 3), u"0:00.0"_s);
    QCOMPARE(race.cell(Col::colToAhead, 3), u"0:00.0"_s);
    for (int car : {1, 2, 4})
        QCOMPARE(race.cell(Col::colPos, car), QString());
    race.checkMapsInverse(4);
}

void TestRaceTiming::leaderRecordAndRemainingLaps()
{
    TRace race(3, 5);
    QList<qint32> remaining;
    race.Timing.OnLeaderLap = [&](TRaceTiming &sender, qint32 laps) {
        QCOMPARE(&sender, &race.Timing);
        remaining << laps;
    };
    race.press(1, 60000);
    race.press(2, 62500);
    race.press(1, 121000);
    race.press(3, 130000);

    const TLapRecord &leader = race.Timing.LapTable[0];
    QCOMPARE(leader.Count, 2);
    QCOMPARE(quint32(leader.Slot[1]), kStart + 60000);
    QCOMPARE(quint32(leader.Slot[2]), kStart + 121000);
    QCOMPARE(remaining, (QList<qint32>{4, 3}));
    QCOMPARE(race.cell(Col::colToLeader, 2), u"0:02.5"_s);
    QCOMPARE(race.cell(Col::colToLeader, 3), u"1:10.0"_s);
}

void TestRaceTiming::raceDistanceReached()
{
    TRace race(2, 3);
    for (int lap = 1; lap <= 3; ++lap)
        race.press(1, lap * 60000);
    QVERIFY(race.Timing.Finished(1));
    const QString best = race.cell(Col::colBestLap, 1);
    race.Grid.SetCell(Col::colZeit, race.Timing.RowOfCar(1), u"0:05.0"_s);

    // The press still locks the key and stamps the car, but records nothing.
    QVERIFY(race.press(1, 250000));
    QCOMPARE(race.Timing.LapTable[1].Count, 3);
    QCOMPARE(race.Timing.LastCross[1], race.Timing.StartTick + 250000);
    QVERIFY(race.Timing.KeyLocked(1));
    QCOMPARE(race.Timing.LapTable[1].Slot[4], qint32(race.Timing.StartTick + 180000));
    QCOMPARE(race.Timing.CrossTable[1].Slot[3], 180000);
    QCOMPARE(race.cell(Col::colLaps, 1), u"3"_s);
    QVERIFY(race.cell(Col::colLastLap, 1) != u"0:05.0"_s);
    QCOMPARE(race.cell(Col::colBestLap, 1), best);
    QVERIFY(!race.Timing.Finished(2));
}

void TestRaceTiming::capacityOf999Laps()
{
    TRace race(1, 5000);
    for (int lap = 1; lap <= kMaxLaps + 1; ++lap)
        race.press(1, quint32(lap) * 2000);
    const TLapRecord &car = race.Timing.LapTable[1];
    QCOMPARE(car.Count, kMaxLaps);
    QCOMPARE(car.Slot[kMaxLaps], 2000);
    QCOMPARE(quint32(car.Slot[kMaxLaps + 1]), race.Timing.StartTick + kMaxLaps * 2000);
    QCOMPARE(race.Timing.CrossTable[1].Slot[kMaxLaps], kMaxLaps * 2000);
    QCOMPARE(race.Timing.LapTable[0].Count, kMaxLaps);
    QCOMPARE(race.cell(Col::colLaps, 1), u"999"_s);
}

void TestRaceTiming::keyLock_data()
{
    QTest::addColumn<quint32>("second");
    QTest::addColumn<bool>("recorded");
    // The 450 ms timer frees a key at its first tick a second or more after the press.
    QTest::newRow("500 ms: lost") << 500u << false;
    QTest::newRow("999 ms: lost") << 999u << false;
    QTest::newRow("1200 ms: still locked until the 1350 ms tick") << 1200u << false;
    QTest::newRow("1500 ms: recorded") << 1500u << true;
}

void TestRaceTiming::keyLock()
{
    QFETCH(quint32, second);
    QFETCH(bool, recorded);

    TRace race(2, 5);
    QVERIFY(race.press(1, 60000));
    for (quint32 tick = 450; tick < second; tick += 450) {
        race.Clock.Set(race.Timing.StartTick + 60000 + tick);
        race.Timing.ReleaseKeyLocks();
    }
    race.Clock.Set(race.Timing.StartTick + 60000 + second);
    QCOMPARE(race.Timing.FClick(1, true), recorded);
    QCOMPARE(race.Timing.LapTable[1].Count, recorded ? 2 : 1);
    // A lost press leaves the stamps of the accepted one.
    QCOMPARE(race.Timing.LastCross[1], race.Timing.StartTick + 60000 + (recorded ? second : 0));
    // Another car's key is never locked by it.
    QVERIFY(race.Timing.FClick(2, true));
}

void TestRaceTiming::keysRefused_data()
{
    QTest::addColumn<int>("cars");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("running");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("not running") << 5 << 6 << 1 << false << false;
    QTest::newRow("F5 of 5 cars") << 5 << 6 << 5 << true << true;
    for (int key = 6; key <= 12; ++key)
        QTest::addRow("F%d of 5 cars", key) << 5 << 6 << key << true << false;
    QTest::newRow("no key 0") << 5 << 6 << 0 << true << false;
    QTest::newRow("no key 13") << 12 << 13 << 13 << true << false;
    QTest::newRow("starter list longer than the field") << 5 << 10 << 6 << true << false;
    QTest::newRow("starter list shorter: car without a row") << 5 << 4 << 4 << true << false;
    QTest::newRow("starter list shorter: car with a row") << 5 << 4 << 3 << true << true;
}

void TestRaceTiming::keysRefused()
{
    QFETCH(int, cars);
    QFETCH(int, rows);
    QFETCH(int, key);
    QFETCH(bool, running);
    QFETCH(bool, accepted);

    TRace race(cars, 5, kStart, rows);
    race.Clock.Set(kStart + 60000);
    QCOMPARE(race.Timing.FClick(key, running), accepted);
    for (int car = 1; car <= kMaxCars; ++car) {
        const bool pressed = accepted && car == key;
        QCOMPARE(race.Timing.LapTable[car].Count, pressed ? 1 : 0);
        QCOMPARE(race.Timing.KeyLocked(car), pressed);
    }
    QCOMPARE(race.Timing.LapTable[0].Count, accepted ? 1 : 0);
}

void TestRaceTiming::wrapOfTheTickCounter()
{
    const quint32 start = 0xFFFFFFFFu - 90000; // the counter wraps 90001 ms into the race
    const quint32 atZero = 90001;
    TRace race(2, 5, start);
    race.press(1, 60000);
    race.press(2, 61000);
    // A press stamped at tick 0 itself still locks its key and is released a second later.
    QVERIFY(race.press(1, atZero));
    QCOMPARE(race.Timing.KeyLock[1], 0u);
    QVERIFY(!race.press(1, atZero + 500));
    QVERIFY(race.press(1, atZero + 1000));
    race.press(2, 123456);

    QCOMPARE(race.Timing.LapTable[1].Slot[2], 30001);
    QCOMPARE(race.Timing.LapTable[1].Slot[3], 1000);
    QCOMPARE(race.Timing.LapTable[1].Best, 1000);
    QCOMPARE(race.Timing.LapTable[2].Slot[2], 62456);
    QCOMPARE(race.Timing.CrossTable[1].Slot[3], 91001);
    QCOMPARE(race.Timing.CrossTable[2].Slot[2], 123456);
    QCOMPARE(race.Timing.RunningLapMs(2, start + 125000), 1544);
    QCOMPARE(race.cell(Col::colToLeader, 2), u"0:33.5"_s);
    QCOMPARE(race.cell(Col::colToAhead, 2), u"0:33.5"_s);
    QCOMPARE(race.order(), (QList<int>{1, 2}));
}

void TestRaceTiming::ranking_data()
{
    QTest::addColumn<TPresses>("presses");
    QTest::addColumn<QList<int>>("order");
    QTest::addColumn<QStringList>("positions");

    QTest::newRow("first laps, the rest unranked in their order")
        << TPresses{{3, 61200}, {1, 62000}} << QList<int>{3, 1, 2, 4}
        << QStringList{"1.", "2.", "", ""};
    // 9000 / 3 and 9002 / 3 are both 3000: the lower car number stays ahead.
    QTest::newRow("equal averages: lower car first")
        << TPresses{{2, 3000}, {1, 3001}, {2, 6000}, {1, 6001}, {2, 9000}, {1, 9002}}
        << QList<int>{1, 2, 3, 4} << QStringList{"1.", "2.", "", ""};
    QTest::newRow("more laps ranks higher whatever the times")
        << TPresses{{1, 2000},   {1, 4000},   {1, 6000},   {2, 50000},
                    {3, 300000}, {3, 600000}, {3, 900000}, {3, 960000}}
        << QList<int>{3, 1, 2, 4} << QStringList{"1.", "2.", "3.", ""};
    QTest::newRow("smaller average first")
        << TPresses{{2, 65000}, {1, 66000}, {4, 70000}} << QList<int>{2, 1, 4, 3}
        << QStringList{"1.", "2.", "3.", ""};
}

void TestRaceTiming::ranking()
{
    QFETCH(TPresses, presses);
    QFETCH(QList<int>, order);
    QFETCH(QStringList, positions);

    TRace race(4, 10);
    for (const auto &[car, ms] : presses)
        QVERIFY(race.press(car, quint32(ms)));
    QCOMPARE(race.order(), order);
    for (int row = 1; row <= 4; ++row)
        QCOMPARE(race.Grid.Cell(Col::colPos, row), positions[row - 1]);
    race.checkMapsInverse(4);
}

void TestRaceTiming::averageBeyond28Bits()
{
    TRace race(4, 5);
    // 80 and 90 hours for one lap, and 25 days (a race time beyond 2^31 ms): none of the
    // averages fits 28 bits, so they all rank as the longest, by car number.
    race.press(3, 1000);
    race.press(2, 80u * 3600 * 1000);
    race.press(1, 90u * 3600 * 1000);
    race.press(4, 25u * 24 * 3600 * 1000);
    QCOMPARE(race.order(), (QList<int>{3, 1, 2, 4}));
    const QList<quint32> cars{3, 1, 2, 4};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(race.Timing.Ranking[i] >> 28, cars[i]);
    QCOMPARE(race.Timing.Ranking[3] & 0x0FFFFFFF, TRaceTiming::kMaxRankedAverage);
}

void TestRaceTiming::twelveCarsSortNineBeforeTen()
{
    TRace race(12, 5);
    for (int car = 12; car >= 1; --car)
        race.press(car, quint32(70000 - car * 100)); // car 12 first
    QStringList positions;
    for (int row = 1; row <= 12; ++row)
        positions << race.Grid.Cell(Col::colPos, row);
    QCOMPARE(positions, (QStringList{"1.", "2.", "3.", "4.", "5.", "6.", "7.", "8.", "9.", "10.",
                                     "11.", "12."}));
    QCOMPARE(race.order(), (QList<int>{12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}));
    race.checkMapsInverse(12);
}

void TestRaceTiming::comparePositions_data()
{
    QTest::addColumn<QString>("s1");
    QTest::addColumn<QString>("s2");
    QTest::addColumn<int>("sign");

    QTest::newRow("both empty") << ""
                                << "" << 0;
    QTest::newRow("empty after a position") << ""
                                            << "12." << 1;
    QTest::newRow("position before empty") << "1."
                                           << "" << -1;
    QTest::newRow("9. before 10.") << "9."
                                   << "10." << -1;
    QTest::newRow("12. after 2.") << "12."
                                  << "2." << 1;
    QTest::newRow("same length by bytes") << "11."
                                          << "10." << 1;
    QTest::newRow("equal") << "7."
                           << "7." << 0;
}

void TestRaceTiming::comparePositions()
{
    QFETCH(QString, s1);
    QFETCH(QString, s2);
    QFETCH(int, sign);
    const int result = TStandingsTable::ComparePositions(s1, s2);
    QCOMPARE((result > 0) - (result < 0), sign);
}

void TestRaceTiming::reversedDirectionKeepsMaps()
{
    // A starter list left two extra rows below three cars; a title click reversed the sort.
    TRace race(3, 5, kStart, 6);
    race.Grid.Descending = true;
    race.press(2, 60000);
    race.press(3, 61000);
    // Empty positions first (in their previous order), then "2.", "1." at the bottom.
    QCOMPARE(race.order(), (QList<int>{1, 4, 5, 3, 2}));
    QCOMPARE(race.Timing.RowOfCar(2), 5);
    QCOMPARE(race.Timing.RowOfCar(3), 4);
    QCOMPARE(race.Grid.Cell(Col::colLaps, 5), u"1"_s);
    QCOMPARE(race.Grid.Cell(Col::colLaps, 4), u"1"_s);
    QCOMPARE(race.Timing.CarOfRow(2), 0); // row 2 holds a starter without a car
    race.checkMapsInverse(3);
}

void TestRaceTiming::lapTextsFollowTheClock()
{
    // The last lap shows the recorded lap, as the best lap does, whatever the running time's
    // text showed at the press: rebuilt standings must read the same as the live ones.
    TRace race(2, 5);
    race.Grid.SetCell(Col::colZeit, 1, u"1:00.0"_s);
    race.press(1, 60040);
    race.Grid.SetCell(Col::colZeit, race.Timing.RowOfCar(1), u"0:59.0"_s);
    race.press(1, 119100);
    QCOMPARE(race.cell(Col::colLastLap, 1), u"0:59.1"_s);
    QCOMPARE(race.cell(Col::colPrevLap, 1), u"1:00.0"_s);
    QCOMPARE(race.cell(Col::colBestLap, 1), u"0:59.1"_s);
    QCOMPARE(race.cell(Col::colLaps, 1), u"2"_s);
}

void TestRaceTiming::gaps()
{
    TRace race(3, 5);
    race.Timing.Acc = 2;
    race.press(1, 60000);
    race.press(3, 61230);
    race.press(2, 65000);
    QCOMPARE(race.cell(Col::colToAhead, 1), u"0:00.0"_s); // fixed, whatever Acc is
    QCOMPARE(race.cell(Col::colToAhead, 3), u"0:01.23"_s);
    QCOMPARE(race.cell(Col::colToAhead, 2), u"0:03.77"_s);
    QCOMPARE(race.cell(Col::colToLeader, 2), u"0:05.00"_s);
    QCOMPARE(race.Timing.TimeMode, 5);
}

void TestRaceTiming::speed_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<double>("lapKm");
    QTest::addColumn<quint32>("lapMs");
    QTest::addColumn<QString>("speed");

    for (const char *name : {"C", "de_DE"}) {
        const bool comma = QByteArray(name) == "de_DE";
        QTest::addRow("%s 60 s on 15 km", name)
            << name << 15.0 << 60000u << (comma ? "900,0" : "900.0");
        QTest::addRow("%s no thousands separator", name)
            << name << 15.0 << 43740u << (comma ? "1234,6" : "1234.6");
        QTest::addRow("%s rounds to one decimal", name)
            << name << 1.0 << 70000u << (comma ? "51,4" : "51.4");
        QTest::addRow("%s zero length", name) << name << 0.0 << 70000u << (comma ? "0,0" : "0.0");
        QTest::addRow("%s lap of 0 ms", name) << name << 15.0 << 0u << "";
    }
}

void TestRaceTiming::speed()
{
    QFETCH(QString, locale);
    QFETCH(double, lapKm);
    QFETCH(quint32, lapMs);
    QFETCH(QString, speed);

    QLocale::setDefault(QLocale(locale));
    TRace race(1, 5);
    race.Timing.StartRace(1, 5, lapKm);
    race.press(1, lapMs);
    QCOMPARE(race.Timing.LapTable[1].Count, 1);
    QCOMPARE(race.cell(Col::colSpeed, 1), speed);
}

void TestRaceTiming::formatTimeUsesAccAndMode_data()
{
    QTest::addColumn<int>("ms");
    QTest::addColumn<int>("acc");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("text");

    QTest::newRow("mode 5") << 83456 << 1 << 5 << "1:23.5";
    QTest::newRow("mode 6") << 83456 << 1 << 6 << "01:23.5";
    QTest::newRow("mode 7") << 3723400 << 0 << 7 << "1:02:03";
    QTest::newRow("mode 8") << 3723400 << 2 << 8 << "01:02:03.40";
    QTest::newRow("mode 9") << 83456 << 1 << 9 << "00:01:23.5";
    QTest::newRow("carry") << 59960 << 1 << 5 << "1:00.0";
    QTest::newRow("below the carry") << 59949 << 1 << 5 << "0:59.9";
    QTest::newRow("hour dropped") << 3723400 << 1 << 5 << "2:03.4";
    QTest::newRow("negative Acc as 0") << 83456 << -3 << 5 << "1:23";
}

void TestRaceTiming::formatTimeUsesAccAndMode()
{
    QFETCH(int, ms);
    QFETCH(int, acc);
    QFETCH(int, mode);
    QFETCH(QString, text);

    TManualTickCounter clock;
    TRaceTiming timing(nullptr, clock);
    timing.Acc = acc;
    timing.TimeMode = mode;
    QCOMPARE(timing.FormatTime(ms), text);
}

QTEST_MAIN(TestRaceTiming)
#include "tst_racetiming.moc"

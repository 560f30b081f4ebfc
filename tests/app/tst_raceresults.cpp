#include "RaceResults.h"
#include "RaceTiming.h"
#include "StandingsTable.h"

#include <QTest>

#include <cstring>
#include <memory>

namespace {

class StillClock : public TTickCounter
{
public:
    quint32 GetTickCount() const override { return 0; }
};

// Records laps straight into the tables, as lap recording leaves them.
void giveLaps(TRaceTiming &race, int car, const QList<qint32> &laps)
{
    qint32 raceTime = 0;
    race.LapTable[car].Count = qint32(laps.size());
    race.LapTable[car].Best = kNoBestLap;
    for (int k = 1; k <= laps.size(); ++k) {
        race.LapTable[car].Slot[k] = laps.at(k - 1);
        race.LapTable[car].Best = qMin(race.LapTable[car].Best, laps.at(k - 1));
        race.CrossTable[car].Slot[k] = raceTime += laps.at(k - 1);
    }
    race.LapTable[0].Count = qMax(race.LapTable[0].Count, qint32(laps.size()));
}

} // namespace

class TestRaceResults : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void rowsFollowTheStandings();
    void leaderLapsStayWithinTheTables_data();
    void leaderLapsStayWithinTheTables();

private:
    StillClock m_clock;
    std::unique_ptr<TRaceTiming> m_race;
    TStandingsTable m_rows;
    TResultsHeader m_header;
};

void TestRaceResults::init()
{
    m_race = std::make_unique<TRaceTiming>(nullptr, m_clock);
    std::memset(m_race->LapTable, 0, sizeof m_race->LapTable);
    std::memset(m_race->CrossTable, 0, sizeof m_race->CrossTable);
    m_race->RaceLaps = 5;
    // Car 3 leads, car 1 is second, car 2 has not completed a lap.
    const int rowCar[] = {0, 3, 1, 2};
    m_rows = TStandingsTable();
    m_rows.SetRowCount(4);
    for (int row = 1; row <= 3; ++row) {
        m_rows.SetCell(TRaceTiming::colKey, row, QStringLiteral("F%1").arg(rowCar[row]));
        for (int col = TRaceTiming::colNr; col <= TRaceTiming::colFahrer; ++col)
            m_rows.SetCell(col, row, QStringLiteral("c%1r%2").arg(col).arg(row));
    }
    m_rows.RebuildMaps(kMaxCars);
    giveLaps(*m_race, 3, {60000, 59000, 58000});
    giveLaps(*m_race, 1, {61000, 60500});
    m_header = {QStringLiteral("Talvenbahn 1.7"),
                QStringLiteral("Preis"),
                QStringLiteral("Rennen"),
                3,
                2,
                2.5};
}

void TestRaceResults::rowsFollowTheStandings()
{
    const TResultsSnapshot s = RaceResults(*m_race, m_rows, m_header);
    QCOMPARE(s.raceLaps, 5);
    QCOMPARE(s.leaderLaps, 3);
    QCOMPARE(s.carCount(), 3);
    QCOMPARE(s.rows[0].car, 3);
    QCOMPARE(s.rows[0].startNo, QStringLiteral("c2r1"));
    QCOMPARE(s.rows[0].driver, QStringLiteral("c3r1"));
    QCOMPARE(s.rows[0].laps, (QList<qint32>{60000, 59000, 58000}));
    QCOMPARE(s.rows[0].total(3), 177000);
    QCOMPARE(s.rows[1].car, 1);
    QCOMPARE(s.rows[1].lapTime(3), 0);
    QCOMPARE(s.rows[1].total(3), 0);
    QCOMPARE(s.rows[2].car, 2);
    QCOMPARE(s.rows[2].count(), 0);
    QCOMPARE(s.rows[2].driver, QStringLiteral("c3r3"));
}

void TestRaceResults::leaderLapsStayWithinTheTables_data()
{
    QTest::addColumn<int>("lapsField");
    QTest::addColumn<int>("leaderLaps");
    QTest::newRow("during the race") << 2 << 3;
    QTest::newRow("ready: the field shows the race laps") << 5 << 0;
    QTest::newRow("field raised after the race") << 9 << 0;
    QTest::newRow("field lowered after the race") << 1 << 3;
}

void TestRaceResults::leaderLapsStayWithinTheTables()
{
    QFETCH(int, lapsField);
    QFETCH(int, leaderLaps);
    m_header.lapsField = lapsField;
    const TResultsSnapshot s = RaceResults(*m_race, m_rows, m_header);
    QCOMPARE(s.leaderLaps, leaderLaps);
}

QTEST_GUILESS_MAIN(TestRaceResults)
#include "tst_raceresults.moc"

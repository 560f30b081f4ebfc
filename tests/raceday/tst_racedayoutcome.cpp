#include "CorrectionEvents.h"
#include "RaceDayOutcome.h"
#include "RaceSetup.h"

#include <QHash>
#include <QTest>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr quint32 kStart = 90000;
constexpr qint64 kStartWall = 1'800'000'000'000;
constexpr int kLaps = 3;
constexpr int kHundredths = 2; // digits after the seconds

// A heat's race as the journal keeps it: START, then the presses of cars that each run their
// laps at an even pace (lapMs 0: the car never crosses the line).
QList<TRaceEvent> raceOf(const QList<qint32> &lapMs, int laps = kLaps)
{
    TRaceSetup setup;
    setup.title = u"Lauf"_s;
    setup.session = u"Rennen"_s;
    setup.cars = int(lapMs.size());
    setup.laps = laps;
    setup.lapLengthKm = 0.4;
    setup.raceSeconds = 600;
    setup.warnTime = u"05:00"_s;
    for (int car = 1; car <= setup.cars; ++car)
        setup.starters.append({QString::number(car), u"Fahrer %1"_s.arg(car)});
    QList<TRaceEvent> events = {setup.StartEvent(kStart, kStartWall)};
    events[0].seq = 1;
    QList<std::pair<quint32, int>> presses;
    for (int car = 1; car <= setup.cars; ++car) {
        for (int lap = 1; lapMs.at(car - 1) > 0 && lap <= laps; ++lap)
            presses.append({quint32(lap * lapMs.at(car - 1)), car});
    }
    std::sort(presses.begin(), presses.end());
    for (const auto &[ms, car] : presses) {
        TRaceEvent press = PressEvent(car, kStart + ms, kStart, kStartWall + ms);
        press.seq = int(events.size()) + 1;
        events.append(press);
    }
    return events;
}

// The seq of the press that completed the car's lap.
int pressOf(const QList<TRaceEvent> &events, int car, int lap)
{
    for (const TRaceEvent &e : events) {
        if (e.kind == TRaceEvent::Kind::Press && e.car == car && --lap == 0)
            return e.seq;
    }
    return 0;
}

void append(QList<TRaceEvent> &events, TRaceEvent event)
{
    event.seq = int(events.size()) + 1;
    events.append(event);
}

TCarVerdict verdictOf(TCarVerdict::Status status, qint32 penaltyMs = 0, int lapsOff = 0)
{
    TCarVerdict verdict;
    verdict.status = status;
    verdict.penaltyMs = penaltyMs;
    verdict.lapsOff = lapsOff;
    return verdict;
}

// A day of six drivers in one class: one qualifying round of two heats, then an A and a B
// final of four with a bump-up of one.
struct TDay
{
    TRaceDay plan;
    QHash<qint64, QList<TRaceEvent>> races;

    TDay()
    {
        plan.id = 5;
        plan.name = u"Vereinsmeisterschaft Lauf 1"_s;
        for (int id = 1; id <= 6; ++id)
            plan.entrants.append({id, QString::number(id), u"Fahrer %1"_s.arg(id), {}, false});
        plan.rules.finalSize = 4;
        plan.rules.bumpUp = 1;
        plan.rounds = {
            {1, {}, TRoundKind::Qualifying, 1, {{11, {1, 2, 3}, 101}, {12, {4, 5, 6}, 102}}},
            {2, {}, TRoundKind::Final, 1, {{21, {}, 0}, {22, {}, 0}}}};
        // Over three laps: 1 60.0 s, 4 61.5 s, 2 63.0 s, 5 64.5 s, 3 66.0 s, 6 67.5 s.
        races[101] = raceOf({20000, 21000, 22000});
        races[102] = raceOf({20500, 21500, 22500});
    }
    THeat & final(int index) { return plan.rounds[1].heats[index]; }
    void runFinal(int index, const QList<int> &drivers, const QList<qint32> &lapMs)
    {
        final(index).entrantIds = drivers;
        final(index).raceId = 200 + index;
        races[200 + index] = raceOf(lapMs);
    }
    TClassOutcome compute() const
    {
        const TRaceDayOutcome outcome = ComputeRaceDay(
            plan, [this](qint64 id) { return races.value(id); }, kHundredths);
        return outcome.classes.value(0);
    }
};

} // namespace

class TestRaceDayOutcome : public QObject
{
    Q_OBJECT
private slots:
    void heatResultsFollowTheRaceWithItsVerdicts();
    void correctionInQualifyingReseedsFinalsNotStarted_data();
    void correctionInQualifyingReseedsFinalsNotStarted();
    void dayIsCompleteOnceEveryFinalIsTimed();
    void fastestLapBonusGoesToWhoFirstRanTheTimeShown();
    void startNamesItsHeat();
    void heatIsLabelledByClassRoundAndPlace();
};

void TestRaceDayOutcome::heatResultsFollowTheRaceWithItsVerdicts()
{
    // Car 1 runs 60 s; car 2 63 s plus a 5 s penalty; car 3 is fastest but loses a lap; car 4
    // never started; driver 55 has no car in this race.
    QList<TRaceEvent> events = raceOf({20000, 21000, 19000, 0});
    append(events, CorrectionEvents::Verdict(2, verdictOf(TCarVerdict::Status::Running, 5000),
                                             kStart + 70000, kStartWall));
    append(events, CorrectionEvents::Verdict(3, verdictOf(TCarVerdict::Status::Running, 0, 1),
                                             kStart + 70000, kStartWall));
    append(events, CorrectionEvents::Verdict(4, verdictOf(TCarVerdict::Status::NotStarted),
                                             kStart + 70000, kStartWall));
    // Each best lap is the car's first, set at its first crossing.
    const THeatResults expected = {
        {11, 1, 3, 60000, 20000, {}, kStartWall + 20000},
        {22, 2, 3, 68000, 21000, {}, kStartWall + 21000},
        {33, 3, 2, 57000, 19000, {}, kStartWall + 19000},
        {44, 4, 0, 0, 0, u"DNS"_s, 0},
        {55, 5, 0, 0, 0, {}, 0},
    };
    QCOMPARE(HeatResultsFromEvents(events, {11, 22, 33, 44, 55}, kHundredths), expected);
    QCOMPARE(HeatResultsFromEvents({}, {11, 22}, kHundredths), THeatResults());
}

void TestRaceDayOutcome::correctionInQualifyingReseedsFinalsNotStarted_data()
{
    QTest::addColumn<bool>("bFinalRun");
    QTest::addColumn<qint64>("heatRace");
    QTest::addColumn<TRaceEvent>("change");
    QTest::addColumn<QList<QList<int>>>("before");
    QTest::addColumn<QList<QList<int>>>("after");

    // Driver 1's last crossing in heat 1 was a slip: two laps, so last of all.
    const TRaceEvent slip = CorrectionEvents::Delete(pressOf(raceOf({20000, 21000, 22000}), 1, 3),
                                                     1, kStart + 80000, kStartWall);
    // Driver 4 (car 1 of heat 2) gets 5 s: 66.5 s, behind 3's 66.0 s.
    const TRaceEvent penalty = CorrectionEvents::Verdict(
        1, verdictOf(TCarVerdict::Status::Running, 5000), kStart + 80000, kStartWall);

    const QList<QList<int>> seeded = {{1, 4, 2}, {5, 3, 6}};
    QTest::newRow("slip deleted") << false << qint64(101) << slip << seeded
                                  << QList<QList<int>>{{4, 2, 5}, {3, 6, 1}};
    QTest::newRow("time penalty") << false << qint64(102) << penalty << seeded
                                  << QList<QList<int>>{{1, 2, 5}, {3, 4, 6}};
    // The B final has run (5 won it) before the slip was found: it keeps its drivers, and the
    // A final takes whoever is in no final that has run, 1 included, and B's winner.
    QTest::newRow("slip deleted after the B final")
        << true << qint64(101) << slip << QList<QList<int>>{{1, 4, 2, 5}, {5, 3, 6}}
        << QList<QList<int>>{{4, 2, 1, 5}, {5, 3, 6}};
}

void TestRaceDayOutcome::correctionInQualifyingReseedsFinalsNotStarted()
{
    QFETCH(bool, bFinalRun);
    QFETCH(qint64, heatRace);
    QFETCH(TRaceEvent, change);
    QFETCH(QList<QList<int>>, before);
    QFETCH(QList<QList<int>>, after);

    TDay day;
    if (bFinalRun)
        day.runFinal(1, {5, 3, 6}, {20000, 21000, 22000});
    QCOMPARE(day.compute().finalsSeeded, before);
    append(day.races[heatRace], change);
    const TClassOutcome outcome = day.compute();
    QCOMPARE(outcome.finalsSeeded, after);
    QVERIFY(outcome.result.isEmpty()); // the A final has not been timed
}

void TestRaceDayOutcome::dayIsCompleteOnceEveryFinalIsTimed()
{
    TDay day;
    day.runFinal(1, {5, 3, 6}, {21000, 20000, 22000}); // 3 wins and goes up
    QCOMPARE(day.compute().finalsSeeded.at(0), (QList<int>{1, 4, 2, 3}));
    QVERIFY(day.compute().result.isEmpty());
    day.runFinal(0, {1, 4, 2, 3}, {20000, 21000, 22000, 19000});

    const TClassOutcome outcome = day.compute();
    QCOMPARE(outcome.qualifying.size(), 6);
    QList<int> order;
    QString finals;
    for (const TClassPlace &p : outcome.result) {
        order << p.entrantId;
        finals += p.final;
    }
    // 3 is placed by the A final only.
    QCOMPARE(order, (QList<int>{3, 1, 4, 2, 5, 6}));
    QCOMPARE(finals, u"AAAABB"_s);
    QCOMPARE(outcome.result.at(4).points, 11); // place 5 of the default table
}

void TestRaceDayOutcome::fastestLapBonusGoesToWhoFirstRanTheTimeShown()
{
    // In the A final driver 1 (car 1) runs 20.009 s on lap 2 and 20.001 s on lap 3; driver 4
    // (car 2) runs 20.000 s on lap 2, after driver 1's lap 2. All show 0:20.00: the bonus is
    // driver 1's, and the outcome says who else ran that time.
    TDay day;
    day.plan.points.fastestLap = 5;
    day.runFinal(1, {5, 3, 6}, {21000, 20000, 22000});
    day.final(0).entrantIds = {1, 4, 2, 3};
    day.final(0).raceId = 200;
    QList<TRaceEvent> race = raceOf({0, 0, 0, 0});
    const QList<std::pair<int, quint32>> presses = {{1, 21000}, {2, 22000}, {3, 23000}, {4, 24000},
                                                    {1, 41009}, {2, 42000}, {3, 46000}, {4, 48000},
                                                    {1, 61010}, {2, 64000}, {3, 69000}, {4, 72000}};
    for (const auto &[car, ms] : presses)
        append(race, PressEvent(car, kStart + ms, kStart, kStartWall + ms));
    day.races[200] = race;

    const TClassOutcome outcome = day.compute();
    QCOMPARE(outcome.result.size(), 6);
    for (const TClassPlace &p : outcome.result)
        QCOMPARE(p.bonus, p.entrantId == 1 ? 5 : 0);
    QCOMPARE(outcome.fastestLapTie, (QList<int>{1, 4}));
}

void TestRaceDayOutcome::startNamesItsHeat()
{
    TRaceEvent start = raceOf({20000}).first();
    QCOMPARE(HeatOfStart(start), std::nullopt); // an ordinary race
    LinkStartToHeat(start, 42, 7);
    QCOMPARE(HeatOfStart(start), (std::optional<std::pair<qint64, int>>({42, 7})));
    start.payload.insert(u"heat"_s, u"7"_s);
    QCOMPARE(HeatOfStart(start), std::nullopt);
}

void TestRaceDayOutcome::heatIsLabelledByClassRoundAndPlace()
{
    TDay day;
    QCOMPARE(HeatLabel(day.plan, 12), u"Vorlauf 1 · Lauf 2"_s);
    QCOMPARE(HeatLabel(day.plan, 22), u"B-Finale"_s);
    QCOMPARE(HeatLabel(day.plan, 99), QString());
    for (TEntrant &e : day.plan.entrants)
        e.className = e.id <= 3 ? u"A"_s : u"B"_s;
    for (TRound &r : day.plan.rounds)
        r.className = u"A"_s;
    QCOMPARE(HeatLabel(day.plan, 12), u"Klasse A · Vorlauf 1 · Lauf 2"_s);
    QCOMPARE(HeatLabel(day.plan, 21), u"Klasse A · A-Finale"_s);
}

QTEST_GUILESS_MAIN(TestRaceDayOutcome)
#include "tst_racedayoutcome.moc"

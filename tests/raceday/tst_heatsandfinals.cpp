#include "RaceDay.h"

#include <QSet>
#include <QTest>

#include <algorithm>
#include <numeric>

using namespace Qt::StringLiterals;

namespace {

constexpr int kHundredths = 2; // digits after the seconds

QList<int> ids(int count)
{
    QList<int> list(count);
    std::iota(list.begin(), list.end(), 1);
    return list;
}

QList<int> sizesOf(const QList<QList<int>> &heats)
{
    QList<int> sizes;
    for (const QList<int> &heat : heats)
        sizes << int(heat.size());
    return sizes;
}

QList<int> flat(const QList<QList<int>> &heats)
{
    QList<int> all;
    for (const QList<int> &heat : heats)
        all << heat;
    return all;
}

THeatResult lapsResult(int id, int laps, qint32 totalMs, qint32 bestMs = 0,
                       const QString &status = {}, qint64 bestSetAtMs = 0)
{
    THeatResult r;
    r.bestSetAtMs = bestSetAtMs;
    r.entrantId = id;
    r.laps = laps;
    r.totalMs = totalMs;
    r.bestMs = bestMs;
    r.status = status;
    return r;
}

QList<int> orderOf(const QList<TQualifyPlace> &places)
{
    QList<int> order;
    for (const TQualifyPlace &p : places)
        order << p.entrantId;
    return order;
}

} // namespace

class TestHeatsAndFinals : public QObject
{
    Q_OBJECT
private slots:
    void heatsAreFewBalancedAndLargerFirst_data();
    void heatsAreFewBalancedAndLargerFirst();
    void heatsFollowTheListTheDrawOrTheSeeding();
    void finalsAreSeededWithBumpUpPlaces_data();
    void finalsAreSeededWithBumpUpPlaces();
    void bumpUpTakesTheFirstFinishersOfTheLowerFinal();
    void qualifyingRanksByLapsAndTimeOrByBestLap();
    void twoRoundsCountTheBestResult();
    void twoRoundsAddTheBestTwoPlaces();
    void classResultEarnsPlacePointsStatusPointsAndBonus();
    void bestLapsCountAsShownAndTheFirstSetWins_data();
    void bestLapsCountAsShownAndTheFirstSetWins();
};

void TestHeatsAndFinals::heatsAreFewBalancedAndLargerFirst_data()
{
    QTest::addColumn<int>("drivers");
    QTest::addColumn<int>("maxSize");
    QTest::addColumn<QList<int>>("sizes");
    QTest::newRow("1") << 1 << 8 << QList<int>{1};
    QTest::newRow("12") << 12 << 8 << QList<int>{6, 6};
    QTest::newRow("13") << 13 << 8 << QList<int>{7, 6};
    QTest::newRow("25") << 25 << 8 << QList<int>{7, 6, 6, 6};
    QTest::newRow("60") << 60 << 8 << QList<int>{8, 8, 8, 8, 7, 7, 7, 7};
    QTest::newRow("no more than 12 keys") << 25 << 20 << QList<int>{9, 8, 8};
    QTest::newRow("none") << 0 << 8 << QList<int>{};
}

void TestHeatsAndFinals::heatsAreFewBalancedAndLargerFirst()
{
    QFETCH(int, drivers);
    QFETCH(int, maxSize);
    QFETCH(QList<int>, sizes);
    for (THeatOrder order : {THeatOrder::ListOrder, THeatOrder::Random, THeatOrder::Seeded}) {
        const QList<QList<int>> heats = SplitIntoHeats(ids(drivers), maxSize, order, 7);
        QCOMPARE(sizesOf(heats), sizes);
        QList<int> everyone = flat(heats);
        std::sort(everyone.begin(), everyone.end());
        QCOMPARE(everyone, ids(drivers));
    }
}

void TestHeatsAndFinals::heatsFollowTheListTheDrawOrTheSeeding()
{
    const QList<int> list = ids(13);
    QCOMPARE(SplitIntoHeats(list, 8, THeatOrder::ListOrder),
             (QList<QList<int>>{{1, 2, 3, 4, 5, 6, 7}, {8, 9, 10, 11, 12, 13}}));
    // The seeding deals the drivers out: the best of the earlier round in heat 1, the second
    // best in heat 2, ...
    QCOMPARE(SplitIntoHeats(list, 8, THeatOrder::Seeded),
             (QList<QList<int>>{{1, 3, 5, 7, 9, 11, 13}, {2, 4, 6, 8, 10, 12}}));
    QCOMPARE(SplitIntoHeats({9, 4, 7, 1}, 2, THeatOrder::Seeded),
             (QList<QList<int>>{{9, 7}, {4, 1}}));
    // A draw is repeatable from its seed and mixes the list.
    const QList<QList<int>> drawn = SplitIntoHeats(ids(25), 8, THeatOrder::Random, 2026);
    QCOMPARE(SplitIntoHeats(ids(25), 8, THeatOrder::Random, 2026), drawn);
    QVERIFY(flat(drawn) != ids(25));
    QVERIFY(SplitIntoHeats(ids(25), 8, THeatOrder::Random, 2027) != drawn);
}

void TestHeatsAndFinals::finalsAreSeededWithBumpUpPlaces_data()
{
    QTest::addColumn<int>("drivers");
    QTest::addColumn<int>("finalSize");
    QTest::addColumn<int>("bumpUp");
    QTest::addColumn<QList<QList<int>>>("finals");
    QTest::newRow("one final") << 10 << 12 << 0 << QList<QList<int>>{ids(10)};
    QTest::newRow("one driver over") << 13 << 12 << 0 << QList<QList<int>>{ids(12), {13}};
    QTest::newRow("bump-up of one") << 6 << 4 << 1 << QList<QList<int>>{{1, 2, 3}, {4, 5, 6}};
    // A and B keep two places each for the final below; C takes the rest.
    QTest::newRow("three finals") << 20 << 8 << 2
                                  << QList<QList<int>>{{1, 2, 3, 4, 5, 6},
                                                       {7, 8, 9, 10, 11, 12},
                                                       {13, 14, 15, 16, 17, 18, 19, 20}};
    QTest::newRow("bump-up never fills a final")
        << 5 << 2 << 5 << QList<QList<int>>{{1}, {2}, {3}, {4, 5}};
}

void TestHeatsAndFinals::finalsAreSeededWithBumpUpPlaces()
{
    QFETCH(int, drivers);
    QFETCH(int, finalSize);
    QFETCH(int, bumpUp);
    QFETCH(QList<QList<int>>, finals);
    QCOMPARE(SeedFinals(ids(drivers), finalSize, bumpUp), finals);
}

void TestHeatsAndFinals::bumpUpTakesTheFirstFinishersOfTheLowerFinal()
{
    // The winner of the lower final retired and the next one was disqualified: they do not go
    // up, the next two finishers do.
    const THeatResults lower = {lapsResult(21, 10, 600000, 0, u"DNF"_s),
                                lapsResult(22, 10, 601000, 0, u"DSQ"_s), lapsResult(23, 10, 602000),
                                lapsResult(24, 9, 590000), lapsResult(25, 9, 595000)};
    QCOMPARE(SeedBumpUp({1, 2, 3}, lower, 2), (QList<int>{1, 2, 3, 23, 24}));
    QCOMPARE(SeedBumpUp({1, 2, 3}, lower, 0), (QList<int>{1, 2, 3}));
    QCOMPARE(SeedBumpUp(ids(11), lower, 3), ids(11) << 23); // never more than 12
}

void TestHeatsAndFinals::qualifyingRanksByLapsAndTimeOrByBestLap()
{
    // One round of two heats. Driver 3 did not start, 5 was disqualified (with the most laps
    // and the fastest lap), 6 never crossed the line.
    const QList<QList<THeatResults>> round = {{
        {lapsResult(2, 6, 130000, 20000), lapsResult(1, 5, 100000, 19000),
         lapsResult(3, 0, 0, 0, u"DNS"_s)},
        {lapsResult(5, 6, 90000, 10000, u"DSQ"_s), lapsResult(4, 5, 99000, 18500),
         lapsResult(6, 0, 0)},
    }};
    const QList<TQualifyPlace> byLaps = RankQualifying(round, TQualifyRanking::LapsAndTime,
                                                       TQualifyCombine::BestResult, kHundredths);
    QCOMPARE(orderOf(byLaps), (QList<int>{2, 4, 1, 3, 5, 6}));
    QCOMPARE(byLaps.at(1).place, 2);
    QCOMPARE(byLaps.at(1).laps, 5);
    QCOMPARE(byLaps.at(1).totalMs, 99000);
    QCOMPARE(byLaps.at(4).laps, 0); // the disqualified driver's laps do not count

    QCOMPARE(orderOf(RankQualifying(round, TQualifyRanking::BestLap, TQualifyCombine::BestResult,
                                    kHundredths)),
             (QList<int>{4, 1, 2, 3, 5, 6}));
}

void TestHeatsAndFinals::twoRoundsCountTheBestResult()
{
    const QList<QList<THeatResults>> rounds = {
        {{lapsResult(1, 5, 100000, 19000), lapsResult(2, 5, 101000, 19500)},
         {lapsResult(3, 5, 99000, 19800), lapsResult(4, 0, 0)}},
        {{lapsResult(2, 6, 125000, 19900), lapsResult(4, 5, 102000, 18000),
          lapsResult(1, 4, 90000, 17000)}},
    };
    // By laps and time: 2 ran six laps in the second round; 1 keeps its first round.
    const QList<TQualifyPlace> byLaps = RankQualifying(rounds, TQualifyRanking::LapsAndTime,
                                                       TQualifyCombine::BestResult, kHundredths);
    QCOMPARE(orderOf(byLaps), (QList<int>{2, 3, 1, 4}));
    QCOMPARE(byLaps.at(0).laps, 6);
    QCOMPARE(byLaps.at(0).totalMs, 125000);
    QCOMPARE(byLaps.at(2).totalMs, 100000);
    // By best lap: 1 set the fastest lap of all in the second round.
    const QList<TQualifyPlace> byBest =
        RankQualifying(rounds, TQualifyRanking::BestLap, TQualifyCombine::BestResult, kHundredths);
    QCOMPARE(orderOf(byBest), (QList<int>{1, 4, 2, 3}));
    QCOMPARE(byBest.at(0).bestMs, 17000);
}

void TestHeatsAndFinals::twoRoundsAddTheBestTwoPlaces()
{
    // Three rounds of five laps each, the times in seconds. Round places worked out by hand:
    //   round 1: p 1, q 2, r 3, s 4, t 5
    //   round 2 (two heats ranked together): q 1, s 2, p 3
    //   round 3: u 1, r 2, s 3
    // Best two: q 2+1 = 3, p 1+3 = 4, r 3+2 = 5, s 2+3 = 5 (r's better single place is no
    // better than s's: the earlier in the list first). u and t have one place each; a missing
    // place counts 2 x 6 drivers = 12: u 1+12 = 13, t 5+12 = 17.
    enum { p = 1, q, r, s, t, u };
    const auto five = [](int id, int seconds) { return lapsResult(id, 5, seconds * 1000); };
    const QList<QList<THeatResults>> rounds = {
        {{five(p, 100), five(q, 101), five(r, 102), five(s, 103), five(t, 104)}},
        {{five(q, 100), five(p, 105)}, {five(s, 101)}},
        {{five(u, 98), five(r, 99), five(s, 100)}},
    };
    const QList<TQualifyPlace> order = RankQualifying(rounds, TQualifyRanking::LapsAndTime,
                                                      TQualifyCombine::SumOfBestTwo, kHundredths);
    QCOMPARE(orderOf(order), (QList<int>{q, p, r, s, u, t}));
    QList<int> sums;
    for (const TQualifyPlace &place : order)
        sums << place.placeSum;
    QCOMPARE(sums, (QList<int>{3, 4, 5, 5, 13, 17}));
    QCOMPARE(order.at(0).totalMs, 100000); // q's better result of the two counting
}

void TestHeatsAndFinals::classResultEarnsPlacePointsStatusPointsAndBonus()
{
    TPointsRules points;
    points.perPlace = {10, 8, 6, 5, 4, 3, 2, 1};
    points.fastestLap = 2;
    points.bestQualifier = 3;
    points.dns = 1;
    points.dnf = 4;
    points.dsq = 0;
    // 7 won the B final and went up into the A final, and won that too. 2 set the fastest lap
    // before retiring; 3 was faster still but disqualified. 6 never crossed the line.
    const QList<THeatResults> finals = {
        {lapsResult(7, 10, 200000, 21000), lapsResult(1, 10, 201000, 20500),
         lapsResult(2, 5, 100000, 19000, u"DNF"_s), lapsResult(3, 10, 199000, 18000, u"DSQ"_s),
         lapsResult(4, 0, 0, 0, u"DNS"_s)},
        {lapsResult(7, 9, 200000, 22000), lapsResult(5, 9, 205000, 22500), lapsResult(6, 0, 0)},
    };
    QList<TQualifyPlace> qualifying(1);
    qualifying[0].entrantId = 1;
    qualifying[0].place = 1;
    qualifying[0].laps = 6;

    const QList<TClassPlace> expected = {
        {7, 1, u'A', {}, 10, 0},          {1, 2, u'A', {}, 8 + 3, 3},
        {2, 3, u'A', u"DNF"_s, 4 + 2, 2}, {3, 4, u'A', u"DSQ"_s, 0, 0},
        {4, 5, u'A', u"DNS"_s, 1, 0},     {5, 6, u'B', {}, 3, 0},
        {6, 7, u'B', u"DNS"_s, 1, 0},
    };
    QCOMPARE(ClassResult(finals, points, qualifying, kHundredths), expected);
}

void TestHeatsAndFinals::bestLapsCountAsShownAndTheFirstSetWins_data()
{
    QTest::addColumn<int>("acc");
    QTest::addColumn<qint32>("bestOf1");
    QTest::addColumn<qint32>("bestOf2");
    QTest::addColumn<int>("first"); // who has the fastest lap: 1 set his at 10 s, 2 at 20 s
    QTest::addColumn<int>("holders");
    QTest::newRow("hundredths: 1 ms that no one sees") << 2 << 2351 << 2350 << 1 << 2;
    QTest::newRow("hundredths: 1 shown hundredth") << 2 << 2361 << 2350 << 2 << 1;
    QTest::newRow("tenths: 2.35 and 2.44 both show 2.4") << 1 << 2440 << 2350 << 1 << 2;
    QTest::newRow("tenths: 2.349 shows 2.3, 2.351 shows 2.4") << 1 << 2351 << 2349 << 2 << 1;
    QTest::newRow("seconds: both show 0:02") << 0 << 2999 << 2001 << 1 << 2;
}

void TestHeatsAndFinals::bestLapsCountAsShownAndTheFirstSetWins()
{
    QFETCH(int, acc);
    QFETCH(qint32, bestOf1);
    QFETCH(qint32, bestOf2);
    QFETCH(int, first);
    QFETCH(int, holders);
    const THeatResults final = {lapsResult(2, 10, 100000, bestOf2, {}, 20000),
                                lapsResult(1, 10, 101000, bestOf1, {}, 10000),
                                lapsResult(3, 10, 102000, 9000, u"DSQ"_s, 5000)};
    const QList<int> fastest = FastestLapHolders(final, acc);
    QCOMPARE(fastest.value(0), first);
    QCOMPARE(fastest.size(), holders);
    TPointsRules points;
    points.fastestLap = 5;
    for (const TClassPlace &p : ClassResult({final}, points, {}, acc))
        QCOMPARE(p.bonus, p.entrantId == first ? 5 : 0);
    // Qualifying by best lap compares them the same way.
    const QList<TQualifyPlace> byBest =
        RankQualifying({{final}}, TQualifyRanking::BestLap, TQualifyCombine::BestResult, acc);
    QCOMPARE(byBest.first().entrantId, first);
}

QTEST_GUILESS_MAIN(TestHeatsAndFinals)
#include "tst_heatsandfinals.moc"

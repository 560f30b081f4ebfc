#include "RaceDay.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Points 10, 8, 6, 5, 4, 3, 2, 1 for places 1 to 8.
int pointsOf(int place)
{
    static const QList<int> table = {10, 8, 6, 5, 4, 3, 2, 1};
    return place > 0 ? table.value(place - 1, 0) : 0;
}

TSeasonDay dayOf(const QString &name, const QList<std::pair<TSeasonDriver, int>> &places)
{
    TSeasonDay day;
    day.dayName = name;
    for (const auto &[who, place] : places)
        day.entries.append({who, place, pointsOf(place)});
    return day;
}

struct TExpected
{
    int place;
    QString driver;
    int total;
    QList<bool> dropped;
};

} // namespace

class TestSeasonTable : public QObject
{
    Q_OBJECT
private slots:
    void bestOfDropsTheWorstAndTiesGoByPlaces();
    void everyDayCountsWithoutBestOf();
};

namespace {

const TSeasonDriver anna{u"1"_s, u"Anna"_s};
const TSeasonDriver ben{u"2"_s, u"Ben"_s};
const TSeasonDriver carl{u"3"_s, u"Carl"_s};
const TSeasonDriver dora{u"4"_s, u"Dora"_s};
const TSeasonDriver emil{u"5"_s, u"Emil"_s};
const TSeasonDriver finn{u"6"_s, u"Finn"_s};
const TSeasonDriver gina{u"7"_s, u"Gina"_s};
const TSeasonDriver hugo{u"8"_s, u"Hugo"_s};
const TSeasonDriver ida{u"9"_s, u"Ida Kruger"_s};
const TSeasonDriver idaRenamed{u"9"_s, u"Ida Krüger"_s}; // her name spelled right from day 4

// Four days of eight drivers each; every place of a day given once.
QList<TSeasonDay> fourDays()
{
    return {
        dayOf(
            u"Tag 1"_s,
            {{anna, 1}, {carl, 2}, {ida, 3}, {dora, 4}, {emil, 5}, {gina, 6}, {ben, 7}, {finn, 8}}),
        dayOf(u"Tag 2"_s, {{carl, 1},
                           {gina, 2},
                           {dora, 3},
                           {ben, 4},
                           {finn, 5},
                           {hugo, 6},
                           {emil, 7},
                           {anna, 8}}),
        dayOf(u"Tag 3"_s, {{dora, 1},
                           {hugo, 2},
                           {ben, 3},
                           {anna, 4},
                           {finn, 5},
                           {emil, 6},
                           {gina, 7},
                           {carl, 8}}),
        dayOf(u"Tag 4"_s, {{idaRenamed, 1},
                           {ben, 2},
                           {emil, 3},
                           {finn, 4},
                           {anna, 5},
                           {carl, 6},
                           {hugo, 7},
                           {dora, 8}}),
    };
}

} // namespace

void TestSeasonTable::bestOfDropsTheWorstAndTiesGoByPlaces()
{
    // Best 3 of 4, worked out by hand (points per day; the dropped one in brackets):
    //   Carl  8 10 (1)  3 = 21   1 win, 1 second
    //   Dora  5  6 10  (1) = 21   1 win, no second        -> behind Carl by the seconds
    //   Anna 10 (1)  5  4 = 19   1 win
    //   Ben  (2)  5  6  8 = 19   no win                   -> behind Anna by the wins
    //   Ida   6  -  - 10 = 16   joined across her rename, two days: nothing dropped
    //   Gina  3  8  2  - = 13   1 second
    //   Hugo  -  3  8  2 = 13   1 second                  -> the same as Gina: shared place
    //   Emil  4 (2) 3  6 = 13   no win, no second, 1 third
    //   Finn (1) 4  4  5 = 13   no third                  -> behind Emil by the thirds
    const QList<TSeasonJoin> joins = {{idaRenamed, ida}};
    const QList<TSeasonLine> table = SeasonTable(fourDays(), 3, joins);
    const QList<TExpected> expected = {
        {1, u"Carl"_s, 21, {false, false, true, false}},
        {2, u"Dora"_s, 21, {false, false, false, true}},
        {3, u"Anna"_s, 19, {false, true, false, false}},
        {4, u"Ben"_s, 19, {true, false, false, false}},
        {5, u"Ida Kruger"_s, 16, {false, false, false, false}},
        {6, u"Gina"_s, 13, {false, false, false, false}},
        {6, u"Hugo"_s, 13, {false, false, false, false}},
        {8, u"Emil"_s, 13, {false, true, false, false}},
        {9, u"Finn"_s, 13, {true, false, false, false}},
    };
    QCOMPARE(table.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        const QString line = u"line %1"_s.arg(i + 1);
        QVERIFY2(table.at(i).who.driver == expected.at(i).driver, qPrintable(line));
        QVERIFY2(table.at(i).place == expected.at(i).place, qPrintable(line));
        QVERIFY2(table.at(i).total == expected.at(i).total, qPrintable(line));
        QVERIFY2(table.at(i).dropped == expected.at(i).dropped, qPrintable(line));
    }
    QCOMPARE(table.at(4).dayPoints, (QList<int>{6, 0, 0, 10}));
    QCOMPARE(table.at(4).present, (QList<bool>{true, false, false, true}));

    // Without the join the rename is a driver of its own.
    const QList<TSeasonLine> unjoined = SeasonTable(fourDays(), 3);
    QCOMPARE(unjoined.size(), 10);
}

void TestSeasonTable::everyDayCountsWithoutBestOf()
{
    const QList<TSeasonLine> table = SeasonTable(fourDays(), 0, {{idaRenamed, ida}});
    // Anna 10+1+5+4 = 20 and Carl 8+10+1+3 = 22, Dora 5+6+10+1 = 22: Carl ahead by a second.
    QCOMPARE(table.at(0).who, carl);
    QCOMPARE(table.at(0).total, 22);
    QCOMPARE(table.at(1).who, dora);
    QCOMPARE(table.at(1).place, 2);
    QCOMPARE(table.at(2).who, ben); // 2+5+6+8 = 21
    QCOMPARE(table.at(2).total, 21);
    for (const TSeasonLine &line : table)
        QCOMPARE(line.dropped, (QList<bool>{false, false, false, false}));
}

QTEST_GUILESS_MAIN(TestSeasonTable)
#include "tst_seasontable.moc"

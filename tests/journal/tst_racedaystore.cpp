#include "JournalSamples.h"
#include "JournalSchema.h"
#include "RaceDayOutcome.h"
#include "RaceDayStore.h"
#include "RaceJournal.h"
#include "RawDatabase.h"

#include <QTemporaryDir>
#include <QTest>

using namespace JournalSamples;

namespace {

TEntrant entrant(int id, const QString &className, bool absent = false)
{
    return {id, QString::number(100 + id), QStringLiteral("Fahrer %1 Ähnlich").arg(id), className,
            absent};
}

// Two classes, each with a qualifying round of two heats and a final round; one absent driver
// per class; rules and points away from their defaults.
TRaceDay sampleDay(const QString &name, QDate date)
{
    TRaceDay day;
    day.name = name;
    day.date = date;
    for (int id = 1; id <= 10; ++id)
        day.entrants.append(entrant(id, id <= 6 ? QStringLiteral("Klasse A") : QStringLiteral("B"),
                                    id == 3 || id == 9));
    day.rounds = {
        {1, QStringLiteral("Klasse A"), TRoundKind::Qualifying, 1, {{11, {5, 1}}, {12, {2, 4, 6}}}},
        {2, QStringLiteral("B"), TRoundKind::Qualifying, 1, {{13, {7, 8, 10}}}},
        {3, QStringLiteral("Klasse A"), TRoundKind::Final, 1, {{14, {1, 2, 4}}, {15, {5, 6}}}},
        {4, QStringLiteral("B"), TRoundKind::Final, 1, {}},
    };
    day.rules = {8, TQualifyRanking::BestLap, TQualifyCombine::SumOfBestTwo, 6, 2};
    day.points = {{10, 6, 4, 3}, 2, 1, -1, 0, -5};
    // The A final keeps a place for the B final's winner; the B final was moved by hand.
    day.seeded = {{14, {1, 2}}, {15, {6, 5}}};
    return day;
}

TRaceEvent heatStart(qint64 dayId, int heatId)
{
    TRaceEvent start = startEvent(QStringLiteral("Lauf %1").arg(heatId));
    LinkStartToHeat(start, dayId, heatId);
    return start;
}

} // namespace

class TestRaceDayStore : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void dayComesBackAsSavedAndIsReplacedWhole();
    void aPlanThatCannotBeStoredChangesNothing();
    void seasonKeepsItsJoinsAndLeavesItsDaysWhenRemoved();
    void heatFindsItsLatestRaceByTheStart();
    void secondLayoutIsUpgradedAndNewerRefused();
    void dayOfTheFourthLayoutReadsAsItWas();

private:
    QString dbPath() const { return m_dir->filePath(QStringLiteral("journal.sqlite")); }
    int rows(const QString &table)
    {
        RawDatabase raw(dbPath());
        return raw.value(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)).toInt();
    }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestRaceDayStore::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestRaceDayStore::dayComesBackAsSavedAndIsReplacedWhole()
{
    TRaceDay first = sampleDay(QStringLiteral("Frühjahrslauf"), QDate(2026, 4, 12));
    TRaceDay second = sampleDay(QStringLiteral("Sommerlauf"), QDate(2026, 7, 5));
    second.rounds.removeLast();
    {
        TRaceDayStore store(dbPath());
        QVERIFY2(store.isOpen(), qPrintable(store.errorString()));
        QVERIFY2(store.saveDay(first), qPrintable(store.errorString()));
        QVERIFY(store.saveDay(second));
        QVERIFY(first.id > 0);
        QVERIFY(second.id > first.id);
    }
    TRaceDayStore store(dbPath());
    QCOMPARE(store.day(first.id), first);
    // The latest date first.
    QCOMPARE(store.days(), (QList<TRaceDay>{second, first}));

    // Edited: a driver gone, heats moved, a round fewer, other rules.
    first.entrants.removeAt(4);
    first.entrants.first().absent = true;
    first.rounds[0].heats = {{11, {1}}, {12, {2, 4, 6}}};
    first.rounds[2].heats = {{14, {6, 4, 2, 1}}};
    first.seeded.remove(15);
    first.rounds.removeAt(1);
    first.rules.bumpUp = 0;
    first.points.perPlace = {3, 2, 1};
    const qint64 id = first.id;
    QVERIFY(store.saveDay(first));
    QCOMPARE(first.id, id);
    QCOMPARE(store.day(id), first);
    QCOMPARE(store.day(second.id), second);
    QCOMPARE(rows(QStringLiteral("day_entrants")), 9 + 10);
    QCOMPARE(rows(QStringLiteral("day_heats")), 3 + 5);

    QVERIFY(store.removeDay(id));
    QCOMPARE(store.day(id), std::nullopt);
    QVERIFY(store.errorString().isEmpty());
    QCOMPARE(store.days(), QList<TRaceDay>{second});
    QCOMPARE(rows(QStringLiteral("day_entrants")), 10);
    // A new day never takes a removed day's id: the races linked to it would come along.
    TRaceDay third = sampleDay(QStringLiteral("Herbstlauf"), QDate(2026, 9, 1));
    QVERIFY(store.saveDay(third));
    QVERIFY(third.id > second.id);
}

void TestRaceDayStore::aPlanThatCannotBeStoredChangesNothing()
{
    TRaceDayStore store(dbPath());
    TRaceDay day = sampleDay(QStringLiteral("Lauf"), QDate(2026, 5, 1));
    QVERIFY(store.saveDay(day));
    const TRaceDay stored = day;

    day.rounds[0].heats[0].entrantIds.append(99); // not entered
    QVERIFY(!store.saveDay(day));
    QVERIFY2(store.errorString().contains(QStringLiteral("nicht gemeldet")),
             qPrintable(store.errorString()));
    day = stored;
    day.entrants.append(entrant(2, QStringLiteral("B"))); // the id twice
    QVERIFY(!store.saveDay(day));
    day = stored;
    day.seasonId = 42; // no such season
    QVERIFY(!store.saveDay(day));
    QVERIFY2(store.errorString().contains(QStringLiteral("Meisterschaft")),
             qPrintable(store.errorString()));
    QCOMPARE(store.day(stored.id), stored);

    TRaceDay fresh = sampleDay(QStringLiteral("Neu"), QDate(2026, 6, 1));
    fresh.seasonId = 42;
    QVERIFY(!store.saveDay(fresh));
    QCOMPARE(fresh.id, 0);
    QCOMPARE(store.days().size(), 1);
}

void TestRaceDayStore::seasonKeepsItsJoinsAndLeavesItsDaysWhenRemoved()
{
    TRaceDayStore store(dbPath());
    TSeason season{0, QStringLiteral("Meisterschaft 2026"), 3, {}};
    season.joins = {
        {{QStringLiteral("7"), QStringLiteral("Jörg Meier")},
         {QStringLiteral("7"), QStringLiteral("Jörg Maier")}},
        {{QString(), QStringLiteral("Ann")}, {QStringLiteral("12"), QStringLiteral("Anna")}}};
    TSeason other{0, QStringLiteral("Pokal"), 0, {}};
    QVERIFY2(store.saveSeason(season), qPrintable(store.errorString()));
    QVERIFY(store.saveSeason(other));
    QVERIFY(season.id > 0 && other.id > season.id);
    // The newest first; an empty number comes back as an empty text, not a null one.
    season.joins[1].from.number = QStringLiteral("");
    QCOMPARE(store.seasons(), (QList<TSeason>{other, season}));

    TRaceDay day = sampleDay(QStringLiteral("Lauf 1"), QDate(2026, 5, 1));
    day.seasonId = season.id;
    QVERIFY(store.saveDay(day));
    TRaceDay elsewhere = sampleDay(QStringLiteral("Lauf 2"), QDate(2026, 5, 2));
    elsewhere.seasonId = other.id;
    QVERIFY(store.saveDay(elsewhere));

    // Saved again, the season keeps its days.
    season.bestOf = 2;
    season.joins.removeFirst();
    QVERIFY(store.saveSeason(season));
    QCOMPARE(store.seasons(), (QList<TSeason>{other, season}));
    QCOMPARE(store.day(day.id)->seasonId, season.id);

    QVERIFY(store.removeSeason(season.id));
    QCOMPARE(store.seasons(), QList<TSeason>{other});
    QCOMPARE(rows(QStringLiteral("season_joins")), 0);
    day.seasonId = 0;
    QCOMPARE(store.day(day.id), day);
    QCOMPARE(store.day(elsewhere.id)->seasonId, other.id);
}

void TestRaceDayStore::heatFindsItsLatestRaceByTheStart()
{
    TRaceJournal journal;
    QVERIFY2(journal.open(dbPath()), qPrintable(journal.errorString()));
    TRaceDayStore store(dbPath());
    TRaceDay day = sampleDay(QStringLiteral("Lauf"), QDate(2026, 5, 1));
    TRaceDay otherDay = sampleDay(QStringLiteral("Anderer"), QDate(2026, 5, 2));
    QVERIFY(store.saveDay(day));
    QVERIFY(store.saveDay(otherDay));

    const qint64 plain = journal.startRace(startEvent(QStringLiteral("Training")));
    const qint64 falseStart = journal.startRace(heatStart(day.id, 12));
    const qint64 restart = journal.startRace(heatStart(day.id, 12));
    journal.append(restart, press(0));
    const qint64 heat11 = journal.startRace(heatStart(day.id, 11));
    const qint64 elsewhere = journal.startRace(heatStart(otherDay.id, 12));
    QVERIFY(journal.flush(5000));
    QVERIFY(plain > 0 && elsewhere > heat11);

    const auto raceOf = [&](qint64 dayId, int heatId) {
        const std::optional<TRaceDay> found = store.day(dayId);
        return found && found->heat(heatId) ? found->heat(heatId)->raceId : -1;
    };
    QCOMPARE(raceOf(day.id, 11), heat11);
    QCOMPARE(raceOf(day.id, 12), restart);
    QCOMPARE(raceOf(day.id, 14), 0);
    QCOMPARE(raceOf(otherDay.id, 12), elsewhere);
    const QList<TRaceDay> days = store.days();
    QCOMPARE(days.size(), 2);
    QCOMPARE(days.at(1).heat(12)->raceId, restart);
    QCOMPARE(days.at(0).heat(12)->raceId, elsewhere);
    QCOMPARE(store.raceEvents(restart), journal.events(restart));
    QCOMPARE(store.raceEvents(restart).size(), 2);

    // Saving the plan again keeps the links: they come from the races.
    QVERIFY(store.saveDay(day));
    QCOMPARE(raceOf(day.id, 12), restart);

    // A deleted race no longer counts; the race before it does again.
    journal.deleteRace(restart);
    QVERIFY(journal.flush(5000));
    QCOMPARE(raceOf(day.id, 12), falseStart);

    // The last race deleted, the next session's next race does not get its id (a club server
    // may still hold that race), nor the heat.
    journal.deleteRace(elsewhere);
    QVERIFY(journal.flush(5000));
    QCOMPARE(raceOf(otherDay.id, 12), 0);
    journal.close();
    TRaceJournal next;
    QVERIFY(next.open(dbPath()));
    const qint64 reused = next.startRace(startEvent(QStringLiteral("Freies Training")));
    QVERIFY(next.flush(5000));
    QCOMPARE(reused, elsewhere + 1);
    const QString station = store.stationId();
    QCOMPARE(station.size(), 32);
    QCOMPARE(TRaceDayStore(dbPath()).stationId(), station);
    QCOMPARE(raceOf(otherDay.id, 12), 0);
    QCOMPARE(store.raceEvents(reused).size(), 1);
    QVERIFY(store.raceEvents(9999).isEmpty());
    QVERIFY(store.errorString().isEmpty());
}

void TestRaceDayStore::secondLayoutIsUpgradedAndNewerRefused()
{
    {
        RawDatabase raw(dbPath());
        QVERIFY(raw.makeSecondLayout());
    }
    {
        TRaceDayStore store(dbPath());
        QVERIFY2(store.isOpen(), qPrintable(store.errorString()));
        QVERIFY(store.days().isEmpty());
        QVERIFY(store.errorString().isEmpty());
        RawDatabase raw(dbPath());
        QCOMPARE(raw.value(QStringLiteral("PRAGMA user_version")).toInt(), JournalSchema::kVersion);
        QVERIFY(raw.exec(QStringLiteral("PRAGMA user_version = 99")));
    }
    TRaceDayStore store(dbPath());
    QVERIFY(!store.isOpen());
    QVERIFY2(store.errorString().contains(QStringLiteral("neueren Programmversion")),
             qPrintable(store.errorString()));
    TRaceDay day;
    QVERIFY(!store.saveDay(day));
    QVERIFY(store.days().isEmpty());
}

void TestRaceDayStore::dayOfTheFourthLayoutReadsAsItWas()
{
    TRaceDay day = sampleDay(QStringLiteral("Frühjahrslauf"), QDate(2026, 4, 12));
    {
        TRaceDayStore store(dbPath());
        QVERIFY(store.saveDay(day));
    }
    {
        // The file as the fourth layout kept it: no seeding.
        RawDatabase raw(dbPath());
        QVERIFY(raw.exec(QStringLiteral("ALTER TABLE day_heats DROP COLUMN seeded")));
        QVERIFY(raw.exec(QStringLiteral("PRAGMA user_version = 4")));
    }
    day.seeded.clear();
    TRaceDayStore store(dbPath());
    QCOMPARE(store.day(day.id), day);
    day.seeded = {{15, {5, 6}}};
    QVERIFY(store.saveDay(day));
    QCOMPARE(store.day(day.id), day);
}

QTEST_GUILESS_MAIN(TestRaceDayStore)
#include "tst_racedaystore.moc"

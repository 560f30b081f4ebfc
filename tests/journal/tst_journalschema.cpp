#include "JournalSamples.h"
#include "JournalSchema.h"
#include "RaceJournal.h"
#include "RawDatabase.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace JournalSamples;

class TestJournalSchema : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void newFileIsCurrentAndLogsAhead();
    void firstLayoutIsUpgradedWithItsRaces();
    void secondLayoutGetsRaceDaysAndKeepsItsArchive();
    void fileOfANewerVersionIsMovedAsideUntouched();

private:
    QString dbPath() const { return m_dir->filePath(QStringLiteral("journal.sqlite")); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestJournalSchema::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestJournalSchema::newFileIsCurrentAndLogsAhead()
{
    {
        TRaceJournal journal;
        QVERIFY(journal.open(dbPath()));
        journal.startRace(startEvent(QStringLiteral("A")));
    }
    RawDatabase raw(dbPath());
    QCOMPARE(raw.value(QStringLiteral("PRAGMA user_version")).toInt(), JournalSchema::kVersion);
    QCOMPARE(raw.value(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("wal"));
}

void TestJournalSchema::firstLayoutIsUpgradedWithItsRaces()
{
    {
        RawDatabase raw(dbPath());
        QVERIFY(raw.exec(QStringLiteral(
            "CREATE TABLE races (id INTEGER PRIMARY KEY, started_ms INTEGER NOT NULL,"
            " title TEXT NOT NULL DEFAULT '', session TEXT NOT NULL DEFAULT '',"
            " cars INTEGER NOT NULL DEFAULT 0, laps INTEGER NOT NULL DEFAULT 0,"
            " state TEXT NOT NULL, winner TEXT NOT NULL DEFAULT '')")));
        QVERIFY(raw.exec(QStringLiteral(
            "CREATE TABLE events (race_id INTEGER NOT NULL, seq INTEGER NOT NULL,"
            " kind TEXT NOT NULL, tick INTEGER NOT NULL, wall_ms INTEGER NOT NULL,"
            " car INTEGER NOT NULL DEFAULT 0, payload TEXT, PRIMARY KEY (race_id, seq))")));
        QVERIFY(raw.exec(QStringLiteral("INSERT INTO races VALUES (4, 1796000000000, 'Alt', "
                                        "'Training', 2, 3, 'running', '')")));
        QVERIFY(raw.exec(QStringLiteral("INSERT INTO events VALUES (4, 1, 'start', 10, "
                                        "1796000000000, 0, '{\"title\":\"Alt\"}')")));
        QVERIFY(raw.exec(QStringLiteral(
            "INSERT INTO events VALUES (4, 2, 'press', 20, 1796000000010, 2, NULL)")));
        QVERIFY(raw.exec(QStringLiteral("PRAGMA user_version = 1")));
    }

    TRaceJournal journal;
    QVERIFY2(journal.open(dbPath()), qPrintable(journal.errorString()));
    QVERIFY(journal.notice().isEmpty());
    const auto race = journal.unfinishedRace();
    QVERIFY(race);
    QCOMPARE(race->id, 4);
    QCOMPARE(race->title, QStringLiteral("Alt"));
    QCOMPARE(race->session, QStringLiteral("Training"));
    // Races from before the boot id are never taken for this boot.
    QCOMPARE(race->bootId, QString());
    const QList<TRaceEvent> events = journal.events(4);
    QCOMPARE(events.size(), 2);
    QCOMPARE(events.at(1).kind, TRaceEvent::Kind::Press);
    QCOMPARE(events.at(1).car, 2);
    QCOMPARE(events.at(0).payload.value(StartPayload::kTitle).toString(), QStringLiteral("Alt"));

    QCOMPARE(journal.startRace(startEvent(QStringLiteral("Neu"))), 5);
    QCOMPARE(journal.race(5)->bootId, TRaceJournal::currentBootId());
    journal.close();
    RawDatabase raw(dbPath());
    QCOMPARE(raw.value(QStringLiteral("PRAGMA user_version")).toInt(), JournalSchema::kVersion);
}

// A file as the program wrote it before race days: its races stay listed and readable, and
// the new tables are there for the race days.
void TestJournalSchema::secondLayoutGetsRaceDaysAndKeepsItsArchive()
{
    {
        RawDatabase raw(dbPath());
        QVERIFY(raw.makeSecondLayout());
        QVERIFY(raw.exec(QStringLiteral("INSERT INTO races VALUES (7, 1796000000000, 'Frühjahr', "
                                        "'Rennen', 3, 10, 'finished', 'Öhlschläger', 'b1')")));
        QVERIFY(raw.exec(QStringLiteral("INSERT INTO races VALUES (9, 1796000100000, 'Herbst', "
                                        "'Training', 2, 5, 'interrupted', '', 'b2')")));
        QVERIFY(raw.exec(QStringLiteral("INSERT INTO events VALUES (7, 1, 'start', 10, "
                                        "1796000000000, 0, '{\"title\":\"Frühjahr\"}')")));
        QVERIFY(raw.exec(QStringLiteral(
            "INSERT INTO events VALUES (7, 2, 'press', 20, 1796000000010, 3, NULL)")));
        QVERIFY(raw.exec(
            QStringLiteral("INSERT INTO events VALUES (7, 3, 'end', 30, 1796000000020, 0, NULL)")));
        QVERIFY(raw.exec(QStringLiteral("INSERT INTO events VALUES (9, 1, 'start', 10, "
                                        "1796000100000, 0, '{\"title\":\"Herbst\"}')")));
    }

    TRaceJournal journal;
    QVERIFY2(journal.open(dbPath()), qPrintable(journal.errorString()));
    QVERIFY(journal.notice().isEmpty());
    const QList<TRaceSummary> races = journal.races();
    QCOMPARE(races.size(), 2);
    QCOMPARE(races.at(0).id, 7);
    QCOMPARE(races.at(0).title, QStringLiteral("Frühjahr"));
    QCOMPARE(races.at(0).winner, QStringLiteral("Öhlschläger"));
    QCOMPARE(races.at(0).state, TRaceSummary::State::Finished);
    QCOMPARE(races.at(0).bootId, QStringLiteral("b1"));
    QCOMPARE(races.at(1).state, TRaceSummary::State::Interrupted);
    const QList<TRaceEvent> events = journal.events(7);
    QCOMPARE(events.size(), 3);
    QCOMPARE(events.at(1).car, 3);
    QCOMPARE(events.at(2).kind, TRaceEvent::Kind::End);
    QCOMPARE(journal.startRace(startEvent(QStringLiteral("Neu"))), 10);
    journal.deleteRace(9);
    QVERIFY(journal.flush(5000));
    QCOMPARE(journal.races().size(), 2);
    journal.close();

    RawDatabase raw(dbPath());
    QCOMPARE(raw.value(QStringLiteral("PRAGMA user_version")).toInt(), JournalSchema::kVersion);
    for (const QString &table :
         {QStringLiteral("race_days"), QStringLiteral("day_entrants"), QStringLiteral("day_rounds"),
          QStringLiteral("day_heats"), QStringLiteral("seasons"), QStringLiteral("season_joins"),
          QStringLiteral("race_heats")}) {
        QVERIFY2(raw.value(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = "
                                          "'table' AND name = '%1'")
                               .arg(table))
                         .toInt() == 1,
                 qPrintable(table));
    }
}

void TestJournalSchema::fileOfANewerVersionIsMovedAsideUntouched()
{
    {
        RawDatabase raw(dbPath());
        QVERIFY(raw.exec(QStringLiteral("CREATE TABLE future (x)")));
        QVERIFY(raw.exec(QStringLiteral("PRAGMA user_version = 99")));
    }
    TRaceJournal journal;
    QVERIFY(journal.open(dbPath()));
    QVERIFY2(journal.notice().contains(QStringLiteral("neueren Programmversion")),
             qPrintable(journal.notice()));
    QVERIFY(journal.races().isEmpty());

    const QStringList moved =
        QDir(m_dir->path()).entryList({QStringLiteral("journal.sqlite.neuer-*")}, QDir::Files);
    QCOMPARE(moved.size(), 1);
    QVERIFY(journal.notice().contains(moved.first()));
    RawDatabase raw(m_dir->filePath(moved.first()));
    QCOMPARE(raw.value(QStringLiteral("PRAGMA user_version")).toInt(), 99);
    QCOMPARE(raw.value(QStringLiteral("SELECT COUNT(*) FROM future")).toInt(), 0);
}

QTEST_GUILESS_MAIN(TestJournalSchema)
#include "tst_journalschema.moc"

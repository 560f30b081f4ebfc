#include "BlackHole.h"
#include "ClubServerFixture.h"
#include "JournalSamples.h"
#include "PlanDocuments.h"
#include "RaceDayOutcome.h"
#include "RaceDayStore.h"
#include "RaceJournal.h"
#include "Replicator.h"

#include <QFile>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

namespace {
TReplicator::Timing quick()
{
    TReplicator::Timing timing;
    timing.connectTimeoutS = 2;
    timing.retryMs = 100;
    timing.maxRetryMs = 400;
    timing.plansEveryMs = 200;
    return timing;
}

// One laptop: its journal in a folder of its own.
struct Station
{
    QTemporaryDir dir;
    TRaceJournal journal;
    QString path() const { return dir.filePath(QStringLiteral("journal.sqlite")); }
    bool open() { return dir.isValid() && journal.open(path()); }

    qint64 race(const QString &title, int presses, std::optional<std::pair<qint64, int>> heat = {})
    {
        TRaceEvent start = JournalSamples::startEvent(title, 4, 5);
        if (heat)
            LinkStartToHeat(start, heat->first, heat->second);
        const qint64 id = journal.startRace(start);
        for (int n = 0; n < presses; ++n)
            journal.append(id, JournalSamples::press(n, 4));
        journal.append(id, JournalSamples::plain(TRaceEvent::Kind::End));
        journal.setOutcome(id, TRaceSummary::State::Finished, QStringLiteral("Nr. 7"));
        return id;
    }
};

TRaceDay fourHeatDay()
{
    TRaceDay day;
    day.name = QStringLiteral("Vereinslauf Frühjahr");
    day.date = QDate(2026, 4, 18);
    TRound round;
    round.id = 1;
    round.kind = TRoundKind::Qualifying;
    for (int id = 1; id <= 8; ++id)
        day.entrants.append(
            {id, QString::number(id * 3), QStringLiteral("Fahrer %1").arg(id), QString(), false});
    for (int heat = 1; heat <= 4; ++heat)
        round.heats.append({heat, {2 * heat - 1, 2 * heat}, 0});
    day.rounds.append(round);
    return day;
}

// Every event of one station's race on the server, as "seq kind car tick".
QStringList serverEvents(QSqlDatabase &db, const QString &station, qint64 raceId)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT seq, kind, car, tick FROM talvenbahn.events "
                                 "WHERE station = ? AND race_id = ? ORDER BY seq"));
    query.addBindValue(station);
    query.addBindValue(raceId);
    query.exec();
    QStringList rows;
    while (query.next())
        rows << QStringLiteral("%1 %2 %3 %4")
                    .arg(query.value(0).toString(), query.value(1).toString(),
                         query.value(2).toString(), query.value(3).toString());
    return rows;
}

QStringList localEvents(TRaceJournal &journal, qint64 raceId)
{
    QStringList rows;
    for (const TRaceEvent &event : journal.events(raceId))
        rows << QStringLiteral("%1 %2 %3 %4")
                    .arg(event.seq)
                    .arg(TRaceEvent::kindName(event.kind))
                    .arg(event.car)
                    .arg(event.tick);
    return rows;
}
} // namespace

// A station's journal sent to a real PostgreSQL server.
class tst_Replicator : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QString error;
        QVERIFY2(m_club.start(&error), qPrintable(error));
        m_office = std::make_unique<TServerConnection>(
            m_club.config(QStringLiteral("buero")),
            ClubServerFixture::passwordOf(QStringLiteral("buero")));
        QVERIFY2(m_office->open(), qPrintable(m_office->errorString()));
    }

    // Two stations time the heats of one race day, each its own; the day's plan came from the
    // first. On the server both stations' heats belong to the one day.
    void twoStationsPushOneRaceDay()
    {
        Station a;
        Station b;
        QVERIFY(a.open() && b.open());
        TRaceDayStore storeA(a.path());
        TRaceDayStore storeB(b.path());
        TRaceDay dayA = fourHeatDay();
        QVERIFY2(storeA.saveDay(dayA), qPrintable(storeA.errorString()));
        const QString origin = PlanDocuments::dayOrigin(dayA, storeA.stationId());
        TRaceDay dayB =
            PlanDocuments::dayFromJson(PlanDocuments::dayToJson(dayA, QString()), origin);
        QVERIFY2(storeB.saveDay(dayB), qPrintable(storeB.errorString()));
        QVERIFY(storeA.stationId() != storeB.stationId());

        const qint64 heat1 = a.race(QStringLiteral("Lauf 1"), 20, std::pair(dayA.id, 1));
        a.race(QStringLiteral("Lauf 2"), 20, std::pair(dayA.id, 2));
        b.race(QStringLiteral("Lauf 3"), 20, std::pair(dayB.id, 3));
        b.race(QStringLiteral("Lauf 4"), 20, std::pair(dayB.id, 4));
        QVERIFY(a.journal.flush(5000) && b.journal.flush(5000));

        TReplicator pushA(a.path(), m_club.config(QStringLiteral("bahn_a")),
                          ClubServerFixture::passwordOf(QStringLiteral("bahn_a")), quick());
        TReplicator pushB(b.path(), m_club.config(QStringLiteral("bahn_b")),
                          ClubServerFixture::passwordOf(QStringLiteral("bahn_b")), quick());
        pushA.start();
        pushB.start();
        QVERIFY2(pushA.waitUntilCaughtUp(20000), qPrintable(pushA.state().text()));
        QVERIFY2(pushB.waitUntilCaughtUp(20000), qPrintable(pushB.state().text()));
        QCOMPARE(pushA.state().text(), QStringLiteral("Vereinsserver: verbunden"));

        QSqlQuery query(m_office->db());
        QVERIFY(query.exec(QStringLiteral("SELECT station, heat_id FROM talvenbahn.heat_races "
                                          "WHERE day_origin = '%1' ORDER BY heat_id")
                               .arg(origin)));
        QStringList heats;
        while (query.next())
            heats << QStringLiteral("%1:%2").arg(query.value(0).toString() == storeA.stationId()
                                                     ? QStringLiteral("A")
                                                     : QStringLiteral("B"),
                                                 query.value(1).toString());
        QCOMPARE(heats, (QStringList{QStringLiteral("A:1"), QStringLiteral("A:2"),
                                     QStringLiteral("B:3"), QStringLiteral("B:4")}));
        QCOMPARE(serverEvents(m_office->db(), storeA.stationId(), heat1),
                 localEvents(a.journal, heat1));
        QVERIFY(query.exec(QStringLiteral("SELECT title, state, winner FROM "
                                          "talvenbahn.latest_races WHERE station = '%1' AND "
                                          "race_id = %2")
                               .arg(storeA.stationId())
                               .arg(heat1)));
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toString(), QStringLiteral("Lauf 1"));
        QCOMPARE(query.value(1).toString(), QStringLiteral("finished"));
        QCOMPARE(query.value(2).toString(), QStringLiteral("Nr. 7"));
    }

    // The server dies in the middle of a race and comes back: every press reaches it once.
    void serverKilledDuringARaceLosesNothingAndDoublesNothing()
    {
        Station a;
        QVERIFY(a.open());
        TReplicator push(a.path(), m_club.config(QStringLiteral("bahn_a")),
                         ClubServerFixture::passwordOf(QStringLiteral("bahn_a")), quick());
        QObject::connect(&a.journal, &TRaceJournal::eventStored, &push,
                         [&push](qint64 raceId, int) { push.noteStored(raceId); });
        push.start();
        const qint64 race =
            a.journal.startRace(JournalSamples::startEvent(QStringLiteral("Finale")));
        bool sawUnreachable = false;
        for (int n = 0; n < 240; ++n) {
            a.journal.append(race, JournalSamples::press(n, 4));
            if (n == 80)
                m_club.server.kill();
            if (n == 160) {
                sawUnreachable = push.state().kind == TReplicationState::Kind::Unreachable &&
                                 push.state().text().startsWith(
                                     QStringLiteral("Vereinsserver nicht erreichbar: "));
                QVERIFY2(m_club.server.restart(), qPrintable(m_club.server.errorString()));
            }
            QTest::qWait(5);
        }
        a.journal.append(race, JournalSamples::plain(TRaceEvent::Kind::End));
        QVERIFY(a.journal.flush(5000));
        QVERIFY(sawUnreachable);
        QVERIFY2(push.waitUntilCaughtUp(30000), qPrintable(push.state().text()));

        TServerConnection office(m_club.config(QStringLiteral("buero")),
                                 ClubServerFixture::passwordOf(QStringLiteral("buero")));
        QVERIFY(office.open());
        const QString station = TRaceDayStore(a.path()).stationId();
        const QStringList sent = serverEvents(office.db(), station, race);
        QCOMPARE(sent.size(), 242);
        QCOMPARE(sent, localEvents(a.journal, race));
        m_office = std::make_unique<TServerConnection>(
            m_club.config(QStringLiteral("buero")),
            ClubServerFixture::passwordOf(QStringLiteral("buero")));
        QVERIFY(m_office->open());
    }

    // A station that could not reach the server all day sends the whole day once it can.
    void aStationOfflineAllDayCatchesUp()
    {
        Station a;
        QVERIFY(a.open());
        m_club.server.stop();
        TReplicator push(a.path(), m_club.config(QStringLiteral("bahn_a")),
                         ClubServerFixture::passwordOf(QStringLiteral("bahn_a")), quick());
        QSignalSpy states(&push, &TReplicator::stateChanged);
        push.start();

        TRaceDayStore store(a.path());
        TRaceDay day = fourHeatDay();
        QVERIFY(store.saveDay(day));
        QList<qint64> races;
        for (int heat = 1; heat <= 4; ++heat)
            races << a.race(QStringLiteral("Lauf %1").arg(heat), 60, std::pair(day.id, heat));
        QVERIFY(a.journal.flush(5000));
        QTRY_VERIFY_WITH_TIMEOUT(push.state().kind == TReplicationState::Kind::Unreachable, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(push.state().waiting, qint64(4 * 62), 10000);

        QVERIFY2(m_club.server.restart(), qPrintable(m_club.server.errorString()));
        QVERIFY2(push.waitUntilCaughtUp(30000), qPrintable(push.state().text()));
        QTRY_COMPARE(states.last().first().value<TReplicationState>().text(),
                     QStringLiteral("Vereinsserver: verbunden"));

        TServerConnection office(m_club.config(QStringLiteral("buero")),
                                 ClubServerFixture::passwordOf(QStringLiteral("buero")));
        QVERIFY(office.open());
        const QString station = store.stationId();
        for (qint64 race : races)
            QCOMPARE(serverEvents(office.db(), station, race), localEvents(a.journal, race));
        QSqlQuery query(office.db());
        QVERIFY(query.exec(QStringLiteral("SELECT body FROM talvenbahn.latest_documents "
                                          "WHERE station = '%1' AND kind = 'day'")
                               .arg(station)));
        QVERIFY(query.next());
        TRaceDay sent = PlanDocuments::dayFromJson(query.value(0).toString(), QString());
        QCOMPARE(sent.name, day.name);
        QCOMPARE(sent.rounds.first().heats.size(), 4);
        m_office = std::make_unique<TServerConnection>(
            m_club.config(QStringLiteral("buero")),
            ClubServerFixture::passwordOf(QStringLiteral("buero")));
        QVERIFY(m_office->open());
    }

    // A wrong password is said as such, not as an unreachable server; and the replicator never
    // makes a journal file of its own where the window has none yet.
    void aWrongPasswordIsRefusedAndNoJournalIsMade()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("journal.sqlite"));
        TReplicator push(path, m_club.config(QStringLiteral("bahn_a")), QStringLiteral("falsch"),
                         quick());
        push.start();
        QTest::qWait(300);
        QVERIFY(!QFile::exists(path));

        Station a;
        QVERIFY(a.open());
        a.race(QStringLiteral("Training"), 3);
        QVERIFY(a.journal.flush(5000));
        TReplicator refused(a.path(), m_club.config(QStringLiteral("bahn_a")),
                            QStringLiteral("falsch"), quick());
        refused.start();
        QTRY_COMPARE(refused.state().text(),
                     QStringLiteral("Vereinsserver lehnt ab: Anmeldung abgelehnt: Benutzer oder "
                                    "Passwort falsch."));
        QCOMPARE(refused.state().waiting, qint64(5));
    }

    // A server whose packets are dropped: the attempt gives up after its timeout and says so,
    // and presses handed over meanwhile only wait.
    void aServerThatDropsPacketsIsReportedAsNotAnswering()
    {
        BlackHole hole;
        QVERIFY(hole.isValid());
        Station a;
        QVERIFY(a.open());
        a.race(QStringLiteral("Training"), 3);
        QVERIFY(a.journal.flush(5000));
        TClubServerConfig config = m_club.config(QStringLiteral("bahn_a"));
        config.port = hole.port();
        TReplicator push(a.path(), config, ClubServerFixture::passwordOf(QStringLiteral("bahn_a")),
                         quick());
        push.start();
        QTRY_COMPARE_WITH_TIMEOUT(push.state().text(),
                                  QStringLiteral("Vereinsserver nicht erreichbar: Keine Antwort "
                                                 "vom Server (Zeitüberschreitung)."),
                                  10000);
        QCOMPARE(push.state().waiting, qint64(5));
    }

private:
    ClubServerFixture m_club;
    std::unique_ptr<TServerConnection> m_office;
};

QTEST_GUILESS_MAIN(tst_Replicator)
#include "tst_replicator.moc"

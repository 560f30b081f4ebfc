#include "ClubServerFixture.h"
#include "ServerMessages.h"
#include "ServerReads.h"
#include "StationAccess.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

// The server's schema, its logins and the reasons a connection fails, against a real server.
class tst_ServerSchema : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QString error;
        QVERIFY2(m_club.start(&error, 1), qPrintable(error));
    }

    // A database of the first version, with a station's race in it, is brought up to date
    // without losing the race; setting it up once more changes nothing.
    void schemaIsCreatedAndMigratedFromThePreviousVersion()
    {
        TServerConnection admin(m_club.adminConfig(),
                                QString::fromLatin1(PostgresRunner::kAdminPassword));
        QVERIFY2(admin.open(), qPrintable(admin.errorString()));
        QCOMPARE(admin.schemaVersion(), 1);
        const QString station = QStringLiteral("0123456789abcdef0123456789abcdef");
        QVERIFY(admin.exec(QStringLiteral("INSERT INTO talvenbahn.stations (id, login) "
                                          "VALUES ('%1', 'bahn_a')")
                               .arg(station)));
        QVERIFY(admin.exec(QStringLiteral("INSERT INTO talvenbahn.events (station, race_id, seq, "
                                          "kind, tick, wall_ms, car) VALUES "
                                          "('%1', 7, 1, 'start', 0, 1, 0), "
                                          "('%1', 7, 2, 'press', 10, 2, 3)")
                               .arg(station)));

        QString error;
        QVERIFY2(ServerSchema::upgrade(admin.db(), &error), qPrintable(error));
        QCOMPARE(admin.schemaVersion(), ServerSchema::kVersion);
        QVERIFY2(ServerSchema::upgrade(admin.db(), &error), qPrintable(error));
        QCOMPARE(admin.schemaVersion(), ServerSchema::kVersion);

        QSqlQuery query(admin.db());
        QVERIFY(query.exec(QStringLiteral("SELECT COUNT(*) FROM talvenbahn.events")));
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toInt(), 2);
        QVERIFY(query.exec(QStringLiteral("SELECT COUNT(*) FROM talvenbahn.documents")));
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toInt(), 0);

        // A database newer than the program is refused, not changed.
        QVERIFY(admin.exec(QStringLiteral("UPDATE talvenbahn.schema_version SET version = 99")));
        QVERIFY(!ServerSchema::upgrade(admin.db(), &error));
        QVERIFY2(error.contains(QStringLiteral("Version 99")), qPrintable(error));
        QVERIFY(admin.exec(QStringLiteral("UPDATE talvenbahn.schema_version SET version = %1")
                               .arg(ServerSchema::kVersion)));
    }

    // What a station's login may do: add its own rows and read everyone's, never change or
    // remove another's, never add rows in another's name.
    void aStationsLoginCannotChangeAnotherStationsRows()
    {
        const QString a = QStringLiteral("aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa");
        const QString b = QStringLiteral("bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb");
        TServerConnection stationA(m_club.config(QStringLiteral("bahn_a")),
                                   ClubServerFixture::passwordOf(QStringLiteral("bahn_a")));
        TServerConnection stationB(m_club.config(QStringLiteral("bahn_b")),
                                   ClubServerFixture::passwordOf(QStringLiteral("bahn_b")));
        QVERIFY2(stationA.open(), qPrintable(stationA.errorString()));
        QVERIFY2(stationB.open(), qPrintable(stationB.errorString()));
        QVERIFY2(stationA.exec(
                     QStringLiteral("INSERT INTO talvenbahn.stations (id) VALUES ('%1')").arg(a)),
                 qPrintable(stationA.errorString()));
        QVERIFY(stationA.exec(QStringLiteral("INSERT INTO talvenbahn.events (station, race_id, "
                                             "seq, kind, tick, wall_ms, car) VALUES "
                                             "('%1', 1, 1, 'press', 5, 5, 2)")
                                  .arg(a)));
        QVERIFY(stationB.exec(
            QStringLiteral("INSERT INTO talvenbahn.stations (id) VALUES ('%1')").arg(b)));

        const QString refused =
            QStringLiteral("Keine Berechtigung: diese Station darf nur eigene Zeilen anlegen.");
        // Another station's events: neither changed, nor removed, nor added to.
        QVERIFY(!stationB.exec(
            QStringLiteral("UPDATE talvenbahn.events SET car = 9 WHERE station = '%1'").arg(a)));
        QCOMPARE(stationB.errorString(), refused);
        QVERIFY(!stationB.exec(
            QStringLiteral("DELETE FROM talvenbahn.events WHERE station = '%1'").arg(a)));
        QCOMPARE(stationB.errorString(), refused);
        QVERIFY(!stationB.exec(QStringLiteral("INSERT INTO talvenbahn.events (station, race_id, "
                                              "seq, kind, tick, wall_ms, car) VALUES "
                                              "('%1', 1, 2, 'press', 6, 6, 2)")
                                   .arg(a)));
        QCOMPARE(stationB.errorString(), refused);
        // Nor can it take over the other's station, or its own race rows' history.
        QVERIFY(!stationB.exec(
            QStringLiteral("UPDATE talvenbahn.stations SET login = 'bahn_b' WHERE id = '%1'")
                .arg(a)));
        QVERIFY(!stationB.exec(QStringLiteral("DELETE FROM talvenbahn.documents")));

        // Reading everyone's rows is allowed, and the press is still as station A sent it.
        QSqlQuery read(stationB.db());
        QVERIFY(read.exec(
            QStringLiteral("SELECT car FROM talvenbahn.events WHERE station = '%1'").arg(a)));
        QVERIFY(read.next());
        QCOMPARE(read.value(0).toInt(), 2);
        QVERIFY(!read.next());

        // The results office only reads.
        TServerConnection office(m_club.config(QStringLiteral("buero")),
                                 ClubServerFixture::passwordOf(QStringLiteral("buero")));
        QVERIFY2(office.open(), qPrintable(office.errorString()));
        QVERIFY(!office.exec(QStringLiteral("INSERT INTO talvenbahn.stations (id) VALUES ('%1')")
                                 .arg(QStringLiteral("cccccccccccccccccccccccccccccccc"))));
        QCOMPARE(office.errorString(), refused);
    }

    // One station's row that its login may write but no station writes (a START that is no
    // JSON, or names its day with a text) spoils neither the heats' races nor the race days
    // for anyone; a plan that is no JSON is left out.
    void aBadRowOfOneStationSpoilsNothingForTheOthers()
    {
        const QString a = QStringLiteral("a1a1a1a1a1a1a1a1a1a1a1a1a1a1a1a1");
        TServerConnection stationA(m_club.config(QStringLiteral("bahn_a")),
                                   ClubServerFixture::passwordOf(QStringLiteral("bahn_a")));
        QVERIFY2(stationA.open(), qPrintable(stationA.errorString()));
        QVERIFY(stationA.exec(
            QStringLiteral("INSERT INTO talvenbahn.stations (id, label) VALUES ('%1', 'Ziel')")
                .arg(a)));
        const QString origin = a + QStringLiteral("/5");
        QVERIFY2(
            stationA.exec(QStringLiteral("INSERT INTO talvenbahn.documents (station, kind, "
                                         "doc_id, revision, origin, body) VALUES "
                                         "('%1', 'day', 5, 1, '%2', '{\"name\": \"Clubtag\"}'), "
                                         "('%1', 'day', 6, 1, '%1/6', 'kaputt')")
                              .arg(a, origin)),
            qPrintable(stationA.errorString()));
        QVERIFY2(
            stationA.exec(QStringLiteral("INSERT INTO talvenbahn.events (station, race_id, "
                                         "seq, kind, tick, wall_ms, payload) VALUES "
                                         "('%1', 1, 1, 'start', 0, 10, '{\"raceDay\": 5, "
                                         "\"heat\": 2}'), "
                                         "('%1', 2, 1, 'start', 0, 20, 'kein JSON'), "
                                         "('%1', 3, 1, 'start', 0, 30, '{\"raceDay\": \"x\"}'), "
                                         "('%1', 4, 1, 'start', 0, 40, '[\"raceDay\"]')")
                              .arg(a)),
            qPrintable(stationA.errorString()));
        QVERIFY(stationA.exec(QStringLiteral("INSERT INTO talvenbahn.races (station, race_id, "
                                             "revision, started_ms, state) VALUES "
                                             "('%1', 1, 1, 10, 'finished')")
                                  .arg(a)));

        TServerConnection office(m_club.config(QStringLiteral("buero")),
                                 ClubServerFixture::passwordOf(QStringLiteral("buero")));
        QVERIFY2(office.open(), qPrintable(office.errorString()));
        QString error;
        const QList<TServerHeatRace> heats =
            ServerReads::heatRaces(office.db(), {origin}, QString(), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(heats.size(), 1);
        QCOMPARE(heats.first().raceId, 1);
        QCOMPARE(heats.first().heatId, 2);
        QStringList days;
        for (const TServerDay &day : ServerReads::days(office.db(), &error)) {
            if (day.station == a)
                days << day.day.name;
        }
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(days, QStringList{QStringLiteral("Clubtag")});
    }

    // A login registers stations only as its own and names them without brackets; readers
    // show the login beside the label, so no label passes for another login's station. A
    // station's login renames its own stations only.
    void aStationsLabelCannotPassForAnotherLogins()
    {
        const QString b = QStringLiteral("b2b2b2b2b2b2b2b2b2b2b2b2b2b2b2b2");
        TServerConnection stationB(m_club.config(QStringLiteral("bahn_b")),
                                   ClubServerFixture::passwordOf(QStringLiteral("bahn_b")));
        QVERIFY2(stationB.open(), qPrintable(stationB.errorString()));
        QVERIFY(!stationB.exec(QStringLiteral("INSERT INTO talvenbahn.stations (id, label) "
                                              "VALUES ('%1', 'vm (bahn_a)')")
                                   .arg(b)));
        QVERIFY(!stationB.exec(QStringLiteral("INSERT INTO talvenbahn.stations (id, login, label) "
                                              "VALUES ('%1', 'bahn_a', 'vm')")
                                   .arg(b)));
        QSqlQuery query(stationB.db());
        QVERIFY(StationAccess::registerStation(query, b, QStringLiteral("vm")));
        QVERIFY(stationB.exec(QStringLiteral("INSERT INTO talvenbahn.races (station, race_id, "
                                             "revision, started_ms, state) VALUES "
                                             "('%1', 1, 1, 50, 'running')")
                                  .arg(b)));
        QVERIFY2(StationAccess::registerStation(query, b, QStringLiteral("Zeitnahme 2")),
                 qPrintable(query.lastError().text()));

        TServerConnection stationA(m_club.config(QStringLiteral("bahn_a")),
                                   ClubServerFixture::passwordOf(QStringLiteral("bahn_a")));
        QVERIFY2(stationA.open(), qPrintable(stationA.errorString()));
        QSqlQuery other(stationA.db());
        QVERIFY(!StationAccess::registerStation(other, b, QStringLiteral("gekapert")));
        QString error;
        QStringList shown;
        for (const TServerRace &race : ServerReads::races(stationA.db(), &error)) {
            if (race.station == b)
                shown << race.stationLabel;
        }
        QCOMPARE(shown, QStringList{QStringLiteral("Zeitnahme 2 (bahn_b)")});
        QCOMPARE(ServerReads::stationName(QStringLiteral("vm (bahn_a)"), QStringLiteral("bahn_b")),
                 QStringLiteral("vm bahn_a (bahn_b)"));
    }

    // "Verbindung testen" tries what the login will do there: send as this station, or read as
    // a results office. Nothing of the trial stays on the server.
    void connectionTestTriesWhatTheLoginWillDo_data()
    {
        QTest::addColumn<QString>("login");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QString>("station");
        QTest::addColumn<QString>("answer");
        const QString a = QStringLiteral("c3c3c3c3c3c3c3c3c3c3c3c3c3c3c3c3");
        QTest::newRow("station's login, a new station")
            << QStringLiteral("bahn_a") << false << QString() << QString();
        QTest::newRow("station's login, its own station")
            << QStringLiteral("bahn_a") << false << a << QString();
        QTest::newRow("office's login as a station")
            << QStringLiteral("buero") << false << QString()
            << QStringLiteral("Die Anmeldung \u201Ebuero\u201C darf nicht als diese Station "
                              "senden: Keine Berechtigung: diese Station darf nur eigene Zeilen "
                              "anlegen.");
        QTest::newRow("another login's station")
            << QStringLiteral("bahn_b") << false << a
            << QStringLiteral("Diese Station ist auf dem Server unter der Anmeldung "
                              "\u201Ebahn_a\u201C eingetragen; \u201Ebahn_b\u201C darf nicht "
                              "als sie senden.");
        QTest::newRow("office's login reading")
            << QStringLiteral("buero") << true << QString() << QString();
    }
    void connectionTestTriesWhatTheLoginWillDo()
    {
        QFETCH(QString, login);
        QFETCH(bool, readOnly);
        QFETCH(QString, station);
        QFETCH(QString, answer);
        TServerConnection admin(m_club.adminConfig(),
                                QString::fromLatin1(PostgresRunner::kAdminPassword));
        QVERIFY2(admin.open(), qPrintable(admin.errorString()));
        QVERIFY(admin.exec(QStringLiteral("INSERT INTO talvenbahn.stations (id, login) VALUES "
                                          "('c3c3c3c3c3c3c3c3c3c3c3c3c3c3c3c3', 'bahn_a') "
                                          "ON CONFLICT DO NOTHING")));
        const auto rows = [&admin] {
            QSqlQuery query(admin.db());
            query.exec(QStringLiteral("SELECT (SELECT COUNT(*) FROM talvenbahn.stations) + "
                                      "(SELECT COUNT(*) FROM talvenbahn.races) + "
                                      "(SELECT COUNT(*) FROM talvenbahn.events) + "
                                      "(SELECT COUNT(*) FROM talvenbahn.documents)"));
            return query.next() ? query.value(0).toLongLong() : -1;
        };
        const qint64 before = rows();

        TClubServerConfig config = m_club.config(login);
        config.readOnly = readOnly;
        QCOMPARE(TServerConnection::test(config, ClubServerFixture::passwordOf(login), station),
                 answer);
        QCOMPARE(rows(), before);
    }

    // A wrong password and a server without TLS where TLS is required, each in German, and the
    // test of a database that was never set up.
    void failedConnectionsAreReportedInGerman()
    {
        TClubServerConfig config = m_club.config(QStringLiteral("bahn_a"));
        QCOMPARE(TServerConnection::test(config, QStringLiteral("falsch")),
                 QStringLiteral("Anmeldung abgelehnt: Benutzer oder Passwort falsch."));
        QCOMPARE(TServerConnection::test(config, QString()),
                 QStringLiteral("Anmeldung abgelehnt: Benutzer oder Passwort falsch."));

        config.tls = TClubServerConfig::Tls::Required;
        QCOMPARE(TServerConnection::test(config,
                                         ClubServerFixture::passwordOf(QStringLiteral("bahn_a"))),
                 QStringLiteral("Der Server bietet keine verschlüsselte Verbindung (TLS) an, sie "
                                "ist aber verlangt."));

        config.tls = TClubServerConfig::Tls::IfOffered;
        QCOMPARE(TServerConnection::test(config,
                                         ClubServerFixture::passwordOf(QStringLiteral("bahn_a"))),
                 QString());

        config.database = QStringLiteral("postgres");
        QCOMPARE(TServerConnection::test(config,
                                         ClubServerFixture::passwordOf(QStringLiteral("bahn_a"))),
                 ServerMessages::notSetUp());

        config.database = m_club.database;
        config.port = m_club.server.port() == 1 ? 2 : 1;
        QCOMPARE(TServerConnection::test(config, QStringLiteral("x")),
                 QStringLiteral("Verbindung abgewiesen – läuft der Server unter dieser Adresse?"));
    }

private:
    ClubServerFixture m_club;
};

QTEST_GUILESS_MAIN(tst_ServerSchema)
#include "tst_serverschema.moc"

#include "ClubServerFixture.h"
#include "ServerMessages.h"

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

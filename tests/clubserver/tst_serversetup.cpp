#include "ClubServerConfig.h"
#include "PostgresRunner.h"
#include "ServerConnection.h"
#include "ServerSchema.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// "Talvenbahn --server-setup" as an administrator runs it: the built program, without a display,
// against a real PostgreSQL server with a fresh database.
class tst_ServerSetup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(m_server.start(), qPrintable(m_server.errorString()));
        QVERIFY2(m_server.createDatabase(kDatabase), qPrintable(m_server.errorString()));
    }

    // The schema is made on a fresh database with a station's login that can then connect;
    // a second run finds it up to date.
    void setupMakesTheSchemaAndAStationLogin()
    {
        const Run first =
            run({QStringLiteral("--station"), QStringLiteral("bahn_neu")},
                QString::fromLatin1(PostgresRunner::kAdminPassword), QStringLiteral("stations-pw"));
        QVERIFY2(first.code == 0, qPrintable(first.err));
        QVERIFY2(
            first.out.contains(
                QStringLiteral("Schema eingerichtet (Version %1)").arg(ServerSchema::kVersion)),
            qPrintable(first.out));
        QVERIFY2(first.out.contains(QStringLiteral("Anmeldung \u201Ebahn_neu\u201C")),
                 qPrintable(first.out));

        TServerConnection admin(config(QString::fromLatin1(PostgresRunner::kAdmin)),
                                QString::fromLatin1(PostgresRunner::kAdminPassword));
        QVERIFY2(admin.open(), qPrintable(admin.errorString()));
        QCOMPARE(admin.schemaVersion(), ServerSchema::kVersion);
        QCOMPARE(TServerConnection::test(config(QStringLiteral("bahn_neu")),
                                         QStringLiteral("stations-pw")),
                 QString());

        const Run again = run({}, QString::fromLatin1(PostgresRunner::kAdminPassword));
        QVERIFY2(again.code == 0, qPrintable(again.err));
        QVERIFY2(again.out.contains(QStringLiteral("schon auf dem neuesten Stand")),
                 qPrintable(again.out));
    }

    // Each failure ends the program with a German reason and an exit code that says so.
    void failuresAreToldInGerman()
    {
        const Run wrong = run({}, QStringLiteral("falsch"));
        QVERIFY(wrong.code != 0);
        QVERIFY2(wrong.err.contains(
                     QStringLiteral("Anmeldung abgelehnt: Benutzer oder Passwort falsch.")),
                 qPrintable(wrong.err));

        // A new login's password typed twice, differently (here through a pipe).
        const Run mismatch =
            run({QStringLiteral("--office"), QStringLiteral("buero_neu")},
                QString::fromLatin1(PostgresRunner::kAdminPassword), QString(), "eins\nzwei\n");
        QVERIFY(mismatch.code != 0);
        QVERIFY2(mismatch.err.contains(QStringLiteral("stimmen nicht überein")),
                 qPrintable(mismatch.err));
        QVERIFY(
            !TServerConnection::test(config(QStringLiteral("buero_neu")), QStringLiteral("eins"))
                 .isEmpty());

        // The second login's password mistyped: the first login is not made either, and the
        // run says so.
        const Run second = run({QStringLiteral("--station"), QStringLiteral("bahn_eins"),
                                QStringLiteral("--station"), QStringLiteral("bahn_zwei")},
                               QString::fromLatin1(PostgresRunner::kAdminPassword), QString(),
                               "gut\ngut\neins\nzwei\n");
        QVERIFY(second.code != 0);
        QVERIFY2(second.err.contains(QStringLiteral("Auf dem Server wurde nichts geändert.")),
                 qPrintable(second.err));
        QVERIFY2(!second.out.contains(QStringLiteral("bahn_eins")), qPrintable(second.out));
        QCOMPARE(
            TServerConnection::test(config(QStringLiteral("bahn_eins")), QStringLiteral("gut")),
            QStringLiteral("Anmeldung abgelehnt: Benutzer oder Passwort falsch."));
    }

private:
    static inline const QString kDatabase = QStringLiteral("frisch");

    struct Run
    {
        int code = -1;
        QString out;
        QString err;
    };

    TClubServerConfig config(const QString &user) const
    {
        TClubServerConfig config;
        config.host = m_server.host();
        config.port = m_server.port();
        config.database = kDatabase;
        config.user = user;
        return config;
    }

    // The program with PGPASSWORD set, and the new logins' password in the environment
    // unless loginPassword is null (then input is typed on its standard input).
    Run run(const QStringList &more, const QString &adminPassword,
            const QString &loginPassword = {}, const QByteArray &input = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(name));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.path());
        environment.insert(QStringLiteral("PGPASSWORD"), adminPassword);
        environment.remove(QStringLiteral("TALVENBAHN_LOGIN_PASSWORD"));
        if (!loginPassword.isNull())
            environment.insert(QStringLiteral("TALVENBAHN_LOGIN_PASSWORD"), loginPassword);
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(
            QStringLiteral(TALVENBAHN_PROGRAM),
            QStringList{QStringLiteral("--server-setup"), QStringLiteral("--host"), m_server.host(),
                        QStringLiteral("--port"), QString::number(m_server.port()),
                        QStringLiteral("--database=%1").arg(kDatabase), QStringLiteral("--user"),
                        QString::fromLatin1(PostgresRunner::kAdmin)} +
                more);
        program.write(input);
        program.closeWriteChannel();
        Run result;
        if (!program.waitForFinished(60000) || program.exitStatus() != QProcess::NormalExit)
            return result;
        result.code = program.exitCode();
        result.out = QString::fromUtf8(program.readAllStandardOutput());
        result.err = QString::fromUtf8(program.readAllStandardError());
        return result;
    }

    PostgresRunner m_server;
    QTemporaryDir m_home;
};

QTEST_GUILESS_MAIN(tst_ServerSetup)
#include "tst_serversetup.moc"

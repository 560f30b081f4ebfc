#include "ClubServerDialog.h"
#include "ClubServerFixture.h"
#include "ClubServerLink.h"
#include "ElidedLabel.h"
#include "PasswordKeeper.h"
#include "RaceDayStore.h"
#include "RaceJournal.h"
#include "Replicator.h"
#include "ResultsOfficeWindow.h"
#include "ServerReader.h"
#include "WindowUnderTest.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSqlQuery>

namespace {

// A keyring of the test's own: it holds what it was given, or says there is none.
class TestKeeper final : public TPasswordKeeper
{
public:
    explicit TestKeeper(bool available) : m_available(available) {}

    void Read(const QString &key, QObject *context,
              std::function<void(Found, const QString &)> done) override
    {
        // Later, as a real keyring answers.
        QMetaObject::invokeMethod(
            context,
            [this, key, done = std::move(done)] {
                if (!m_available)
                    done(Found::NoKeyring, QString());
                else if (kept.contains(key))
                    done(Found::Yes, kept.value(key));
                else
                    done(Found::No, QString());
            },
            Qt::QueuedConnection);
    }
    void Write(const QString &key, const QString &password, QObject *,
               std::function<void(bool)> done) override
    {
        if (m_available)
            kept.insert(key, password);
        done(m_available);
    }

    QHash<QString, QString> kept;

private:
    bool m_available;
};

} // namespace

// The club server through the window: the dialog and its test of the connection, the password
// kept out of the settings file, and a race's presses reaching a real server while the status
// bar tells how the link stands.
class TestClubServerWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QString error;
        QVERIFY2(m_club.start(&error), qPrintable(error));
    }

    // What the dialog was given is saved in the settings, and comes back the same; the password
    // goes to the keyring and the link, never into the file.
    void dialogSavesTheServerButNeverThePassword()
    {
        TWindowUnderTest w;
        auto keeper = std::make_unique<TestKeeper>(true);
        TestKeeper *keyring = keeper.get();
        w.window->ClubServer->UseKeeper(std::move(keeper));
        const QString password = QStringLiteral("Ganz-Geheim-4711");
        TClubServerConfig wanted = m_club.config(QStringLiteral("bahn_a"));
        wanted.tls = TClubServerConfig::Tls::Required;
        wanted.station = QStringLiteral("Zeitnahme Ziel");
        QTimer::singleShot(0, this, [&] {
            auto *dialog = qobject_cast<TClubServerDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->Host->setText(wanted.host);
            dialog->Port->setValue(wanted.port);
            dialog->Database->setText(wanted.database);
            dialog->User->setText(wanted.user);
            dialog->Tls->setCurrentIndex(2);
            dialog->PasswordEdit->setText(password);
            dialog->Station->setText(QStringLiteral(" Zeitnahme (Ziel) "));
            dialog->accept();
        });
        w.window->ShowClubServerSettings();

        QFile ini(w.SettingsPath());
        QVERIFY(ini.open(QIODevice::ReadOnly));
        const QByteArray stored = ini.readAll();
        QVERIFY(stored.contains("[Vereinsserver]"));
        QVERIFY(!stored.contains(password.toUtf8()));
        QCOMPARE(TSettingsStore(w.SettingsPath()).ReadClubServer(), wanted);
        QCOMPARE(keyring->kept.value(TPasswordKeeper::KeyOf(wanted)), password);
        QCOMPARE(w.window->ClubServer->KnownPassword(wanted), password);
        // The window saves its own settings too without losing the server's.
        w.Close();
        QCOMPARE(TSettingsStore(w.SettingsPath()).ReadClubServer(), wanted);
        w.Open();

        // A results office is kept as such; an empty host turns the server off.
        TClubServerDialog dialog;
        TClubServerConfig office = wanted;
        office.readOnly = true;
        office.tls = TClubServerConfig::Tls::VerifyFull;
        dialog.SetConfig(office);
        QCOMPARE(dialog.Config(), office);
        dialog.Host->clear();
        QVERIFY(!dialog.Config().isSet());
    }

    // Empty "Datenbank" and "Benutzer" show what they stand for and mean it; a station left
    // unnamed is the machine's; a long reason wraps and shows whole.
    void dialogShowsItsDefaultsAndWholeReasons()
    {
        TClubServerDialog dialog;
        TClubServerConfig typed;
        typed.host = QStringLiteral("127.0.0.1");
        typed.port = m_club.server.port() == 1 ? 2 : 1;
        dialog.SetConfig(typed);
        QCOMPARE(dialog.Database->placeholderText(), QStringLiteral("talvenbahn"));
        QCOMPARE(dialog.User->placeholderText(), TClubServerConfig::defaultUser());
        QVERIFY(!dialog.Station->placeholderText().isEmpty());
        const TClubServerConfig config = dialog.Config();
        QCOMPARE(config.database, QStringLiteral("talvenbahn"));
        QCOMPARE(config.user, TClubServerConfig::defaultUser());
        QCOMPARE(config.stationLabel(), dialog.Station->placeholderText());

        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::mouseClick(dialog.TestButton, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(dialog.TestResult->text(),
                                  QStringLiteral("Verbindung abgewiesen – läuft der Server unter "
                                                 "dieser Adresse?"),
                                  10000);
        QTRY_VERIFY(dialog.TestResult->height() >=
                    dialog.TestResult->heightForWidth(dialog.TestResult->width()));
        QVERIFY(dialog.TestResult->geometry().bottom() < dialog.height());
    }

    // The test runs beside the dialog, which goes on taking events; its answer is German.
    void connectionTestAnswersWithoutHoldingUpTheDialog()
    {
        TClubServerDialog dialog;
        dialog.SetConfig(m_club.config(QStringLiteral("bahn_a")));
        dialog.show();
        dialog.PasswordEdit->setText(QStringLiteral("falsch"));
        QTest::mouseClick(dialog.TestButton, Qt::LeftButton);
        QCOMPARE(dialog.TestResult->text(), TClubServerDialog::kTesting);
        QTRY_COMPARE_WITH_TIMEOUT(dialog.TestResult->text(),
                                  QStringLiteral("Anmeldung abgelehnt: Benutzer oder Passwort "
                                                 "falsch."),
                                  10000);

        // With the password field left empty, the known password is tried.
        dialog.SetConfig(m_club.config(QStringLiteral("bahn_a")),
                         ClubServerFixture::passwordOf(QStringLiteral("bahn_a")));
        QTest::mouseClick(dialog.TestButton, Qt::LeftButton);
        QCOMPARE(dialog.TestResult->text(), TClubServerDialog::kTesting);
        QTRY_COMPARE_WITH_TIMEOUT(dialog.TestResult->text(), TClubServerDialog::kTestOk, 10000);
    }

    // Without a server nothing runs and nothing is shown.
    void noServerStartsNothing()
    {
        TWindowUnderTest w;
        w.UseJournal();
        w.window->ConnectClubServer();
        QVERIFY(!w.window->ClubServer->Replicator());
        QVERIFY(w.window->ClubServerLine->isHidden());
    }

    // Without a keyring the password is asked for; the presses reach the server, and while it
    // is down they count at once and the status bar says why nothing is sent.
    void pressesReachTheServerAndTheLineFollowsIt()
    {
        TWindowUnderTest w;
        w.UseJournal();
        QVERIFY(TSettingsStore(w.SettingsPath())
                    .WriteClubServer(m_club.config(QStringLiteral("bahn_a"))));
        w.window->ClubServer->UseKeeper(std::make_unique<TestKeeper>(false));
        int asked = 0;
        w.window->ClubServer->AskPassword = [&asked](const TClubServerConfig &config,
                                                     std::function<void(const QString &)> done) {
            ++asked;
            done(ClubServerFixture::passwordOf(config.user));
        };
        w.window->ConnectClubServer();
        QTRY_COMPARE(asked, 1);
        QVERIFY(w.window->ClubServer->Replicator());
        // The same login reads every station's races.
        QVERIFY(w.window->ServerReader());

        w.window->seCarCount->setValue(3);
        w.ClickStart();
        for (const int car : {1, 2, 3, 1}) {
            w.Advance(1337);
            w.Lap(car);
        }
        QTRY_COMPARE_WITH_TIMEOUT(pressesOnServer(), 4, 15000);
        QTRY_COMPARE_WITH_TIMEOUT(w.window->ClubServerLine->text(),
                                  QStringLiteral("Vereinsserver: verbunden"), 15000);
        QVERIFY(w.window->ClubServerLine->isVisible());

        m_club.server.stop();
        for (const int car : {2, 3}) {
            w.Advance(1337);
            w.Lap(car);
            QCOMPARE(w.window->Race.LapTable[car].Count, 2);
        }
        QTRY_VERIFY_WITH_TIMEOUT(w.window->ClubServerLine->text().startsWith(
                                     QStringLiteral("Vereinsserver nicht erreichbar: ")),
                                 15000);

        QVERIFY2(m_club.server.restart(), qPrintable(m_club.server.errorString()));
        QTRY_COMPARE_WITH_TIMEOUT(pressesOnServer(), 6, 30000);
        QTRY_COMPARE_WITH_TIMEOUT(w.window->ClubServerLine->text(),
                                  QStringLiteral("Vereinsserver: verbunden"), 15000);
    }

    // A stop's winner reaches the server as the stop does, not with the next comparison of
    // every race; and a window closed right after the stop has sent it before it goes.
    void aStoppedRaceReachesTheServerWithItsWinner_data()
    {
        QTest::addColumn<bool>("closedAtOnce");
        QTest::newRow("window stays open") << false;
        QTest::newRow("window closed right after the stop") << true;
    }
    void aStoppedRaceReachesTheServerWithItsWinner()
    {
        QFETCH(bool, closedAtOnce);
        TWindowUnderTest w;
        w.UseJournal();
        TClubServerConfig named = m_club.config(QStringLiteral("bahn_a"));
        named.station = QStringLiteral("Start und Ziel");
        QVERIFY(TSettingsStore(w.SettingsPath()).WriteClubServer(named));
        w.window->ClubServer->UseKeeper(std::make_unique<TestKeeper>(false));
        w.window->ClubServer->AskPassword = [](const TClubServerConfig &config,
                                               std::function<void(const QString &)> done) {
            done(ClubServerFixture::passwordOf(config.user));
        };
        w.window->ConnectClubServer();
        QTRY_COMPARE_WITH_TIMEOUT(w.window->ClubServerLine->text(),
                                  QStringLiteral("Vereinsserver: verbunden"), 15000);
        const QString station = TRaceDayStore(w.JournalPath()).stationId();

        w.window->seCarCount->setValue(2);
        w.ClickStart();
        for (const int car : {2, 1, 2}) {
            w.Advance(20000);
            w.Lap(car);
        }
        w.Answer(TFDlgYesNo::daYes);
        w.ClickStart();
        QCOMPARE(w.window->RaceState(), TFormMain::rsStopped);
        const QString winner = w.window->Session.WinnerText();
        QVERIFY(!winner.isEmpty());
        const QStringList stopped{QStringLiteral("stopped"), winner};
        if (closedAtOnce) {
            w.Close();
            QCOMPARE(latestRaceOnServer(station), stopped);
        } else {
            QTRY_COMPARE_WITH_TIMEOUT(latestRaceOnServer(station), stopped, 5000);
        }
        QCOMPARE(stationLabelOnServer(station), QStringLiteral("Start und Ziel"));
    }

    // A results office's login is asked for its password too and opens the office, reading
    // only; turning the server off ends the reading.
    void aReadOnlyServerOpensTheResultsOffice()
    {
        TWindowUnderTest w;
        w.UseJournal();
        TClubServerConfig office = m_club.config(QStringLiteral("buero"));
        office.readOnly = true;
        QVERIFY(TSettingsStore(w.SettingsPath()).WriteClubServer(office));
        w.window->ClubServer->UseKeeper(std::make_unique<TestKeeper>(false));
        w.window->ClubServer->AskPassword = [](const TClubServerConfig &config,
                                               std::function<void(const QString &)> done) {
            done(ClubServerFixture::passwordOf(config.user));
        };
        w.window->ConnectClubServer();
        QTRY_VERIFY(w.window->ServerReader());
        QVERIFY(!w.window->ClubServer->Replicator());
        QVERIFY(w.window->ResultsOffice && w.window->ResultsOffice->isVisible());
        QTRY_COMPARE(w.window->ServerReader()->state().text(),
                     QStringLiteral("Vereinsserver: verbunden"));

        w.window->ClubServer->Apply(TClubServerConfig());
        QVERIFY(!w.window->ServerReader());
        QVERIFY(!w.window->ResultsOffice);
    }

private:
    // The state and winner of the station's latest race on the server.
    QStringList latestRaceOnServer(const QString &station)
    {
        TServerConnection admin(m_club.adminConfig(),
                                QString::fromLatin1(PostgresRunner::kAdminPassword));
        if (!admin.open())
            return {};
        QSqlQuery query(admin.db());
        query.prepare(QStringLiteral("SELECT state, winner FROM talvenbahn.latest_races "
                                     "WHERE station = ? ORDER BY race_id DESC LIMIT 1"));
        query.addBindValue(station);
        if (!query.exec() || !query.next())
            return {};
        return {query.value(0).toString(), query.value(1).toString()};
    }

    QString stationLabelOnServer(const QString &station)
    {
        TServerConnection admin(m_club.adminConfig(),
                                QString::fromLatin1(PostgresRunner::kAdminPassword));
        QSqlQuery query(admin.open() ? admin.db() : QSqlDatabase());
        query.prepare(QStringLiteral("SELECT label FROM talvenbahn.stations WHERE id = ?"));
        query.addBindValue(station);
        return query.exec() && query.next() ? query.value(0).toString() : QString();
    }

    int pressesOnServer()
    {
        TServerConnection admin(m_club.adminConfig(),
                                QString::fromLatin1(PostgresRunner::kAdminPassword));
        if (!admin.open())
            return -1;
        QSqlQuery query(admin.db());
        if (!query.exec(QStringLiteral("SELECT COUNT(*) FROM talvenbahn.events "
                                       "WHERE kind = 'press'")) ||
            !query.next())
            return -1;
        return query.value(0).toInt();
    }

    ClubServerFixture m_club;
};

QTEST_MAIN(TestClubServerWindow)
#include "tst_clubserverwindow.moc"

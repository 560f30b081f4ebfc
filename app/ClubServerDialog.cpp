#include "ClubServerDialog.h"

#include "ServerConnection.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QFutureWatcher>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QtConcurrent/QtConcurrentRun>

namespace {

constexpr int kMaxPort = 65535;
const QString kNoServer = QStringLiteral("Ohne Rechnernamen wird kein Vereinsserver benutzt.");
const QString kIncomplete = QStringLiteral("Bitte Rechnername, Datenbank und Benutzer angeben.");
const QList<TClubServerConfig::Tls> kTlsModes{
    TClubServerConfig::Tls::Off, TClubServerConfig::Tls::IfOffered,
    TClubServerConfig::Tls::Required, TClubServerConfig::Tls::VerifyFull};

} // namespace

TClubServerDialog::TClubServerDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ClubServerDialog"));
    setWindowTitle(QStringLiteral("Vereinsserver"));
    Host = new QLineEdit;
    Host->setObjectName(QStringLiteral("Host"));
    Host->setPlaceholderText(QStringLiteral("leer: kein Vereinsserver"));
    Port = new QSpinBox;
    Port->setRange(1, kMaxPort);
    Port->setValue(TClubServerConfig().port);
    Database = new QLineEdit;
    User = new QLineEdit;
    Tls = new QComboBox;
    for (const TClubServerConfig::Tls mode : kTlsModes)
        Tls->addItem(TClubServerConfig::tlsLabel(mode), int(mode));
    Tls->setCurrentIndex(int(kTlsModes.indexOf(TClubServerConfig().tls)));
    ReadOnly = new QCheckBox(QStringLiteral("Nur lesen (Ergebnisbüro)"));
    PasswordEdit = new QLineEdit;
    PasswordEdit->setEchoMode(QLineEdit::Password);
    TestButton = new QPushButton(QStringLiteral("Verbindung &testen"));
    TestButton->setObjectName(QStringLiteral("TestButton"));
    TestButton->setAutoDefault(false);
    TestResult = new QLabel(kNoServer);
    TestResult->setObjectName(QStringLiteral("TestResult"));
    // Wrapped, so a long reason makes the dialog taller, never wider than the screen.
    TestResult->setWordWrap(true);
    TestResult->setTextInteractionFlags(Qt::TextSelectableByMouse);
    connect(TestButton, &QPushButton::clicked, this, &TClubServerDialog::Test);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("&Rechner:"), Host);
    form->addRow(QStringLiteral("&Port:"), Port);
    form->addRow(QStringLiteral("&Datenbank:"), Database);
    form->addRow(QStringLiteral("&Benutzer:"), User);
    form->addRow(QStringLiteral("&Verschlüsselung:"), Tls);
    form->addRow(QStringLiteral("Pass&wort:"), PasswordEdit);
    form->addRow(ReadOnly);
    form->addRow(TestButton, TestResult);
    form->addRow(buttons);
}

void TClubServerDialog::SetConfig(const TClubServerConfig &config, const QString &knownPassword)
{
    Host->setText(config.host);
    Port->setValue(config.port);
    Database->setText(config.database);
    User->setText(config.user);
    Tls->setCurrentIndex(int(qMax(qsizetype(0), kTlsModes.indexOf(config.tls))));
    ReadOnly->setChecked(config.readOnly);
    FKnownPassword = knownPassword;
    PasswordEdit->clear();
    PasswordEdit->setPlaceholderText(
        knownPassword.isEmpty() ? QString() : QStringLiteral("gespeichert – leer lassen: bleibt"));
    TestResult->setText(config.isSet() ? QString() : kNoServer);
}

TClubServerConfig TClubServerDialog::Config() const
{
    TClubServerConfig config;
    config.host = Host->text().trimmed();
    config.port = Port->value();
    config.database = Database->text().trimmed();
    config.user = User->text().trimmed();
    config.tls = kTlsModes.value(Tls->currentIndex(), TClubServerConfig::Tls::IfOffered);
    config.readOnly = ReadOnly->isChecked();
    return config;
}

QString TClubServerDialog::Password() const
{
    return PasswordEdit->text();
}

void TClubServerDialog::Test()
{
    const TClubServerConfig config = Config();
    if (!config.isSet()) {
        TestResult->setText(config.host.isEmpty() ? kNoServer : kIncomplete);
        return;
    }
    const QString password = Password().isEmpty() ? FKnownPassword : Password();
    const int test = ++FTests;
    TestResult->setText(kTesting);
    // The watcher goes with the dialog: a test still running then has no one to tell.
    auto *watcher = new QFutureWatcher<QString>(this);
    connect(watcher, &QFutureWatcher<QString>::finished, this, [this, watcher, test] {
        watcher->deleteLater();
        if (test != FTests)
            return;
        const QString reason = watcher->result();
        TestResult->setText(reason.isEmpty() ? kTestOk : reason);
    });
    watcher->setFuture(QtConcurrent::run(&TServerConnection::test, config, password));
}

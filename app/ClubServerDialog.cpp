#include "ClubServerDialog.h"

#include "RaceDayStore.h"
#include "ServerConnection.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
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
    // Left empty, they are what --server-setup makes and what PostgreSQL's tools take.
    Database = new QLineEdit;
    Database->setPlaceholderText(TClubServerConfig::defaultDatabase());
    User = new QLineEdit;
    User->setPlaceholderText(TClubServerConfig::defaultUser());
    Tls = new QComboBox;
    for (const TClubServerConfig::Tls mode : kTlsModes)
        Tls->addItem(TClubServerConfig::tlsLabel(mode), int(mode));
    Tls->setCurrentIndex(int(kTlsModes.indexOf(TClubServerConfig().tls)));
    ReadOnly = new QCheckBox(QStringLiteral("Nur lesen (Ergebnisbüro)"));
    // Laptops installed from one image share the machine's name: the operator names each.
    Station = new QLineEdit;
    Station->setObjectName(QStringLiteral("Station"));
    Station->setMaxLength(TClubServerConfig::kLabelLength);
    Station->setPlaceholderText(TClubServerConfig().stationLabel());
    connect(ReadOnly, &QCheckBox::toggled, Station, &QWidget::setDisabled);
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
    form->addRow(QStringLiteral("&Stationsname:"), Station);
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
    Station->setText(config.station);
    Station->setDisabled(config.readOnly);
    FKnownPassword = knownPassword;
    PasswordEdit->clear();
    PasswordEdit->setPlaceholderText(
        knownPassword.isEmpty() ? QString() : QStringLiteral("gespeichert – leer lassen: bleibt"));
    ShowResult(config.isSet() ? QString() : kNoServer);
}

TClubServerConfig TClubServerDialog::Config() const
{
    TClubServerConfig config;
    config.host = Host->text().trimmed();
    config.port = Port->value();
    config.database = Database->text().trimmed();
    config.user = User->text().trimmed();
    if (!config.host.isEmpty()) {
        if (config.database.isEmpty())
            config.database = TClubServerConfig::defaultDatabase();
        if (config.user.isEmpty())
            config.user = TClubServerConfig::defaultUser();
    }
    config.tls = kTlsModes.value(Tls->currentIndex(), TClubServerConfig::Tls::IfOffered);
    config.readOnly = ReadOnly->isChecked();
    config.station = TClubServerConfig::cleanLabel(Station->text());
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
        ShowResult(config.host.isEmpty() ? kNoServer : kIncomplete);
        return;
    }
    const QString password = Password().isEmpty() ? FKnownPassword : Password();
    const int test = ++FTests;
    ShowResult(kTesting);
    // The watcher goes with the dialog: a test still running then has no one to tell.
    auto *watcher = new QFutureWatcher<QString>(this);
    connect(watcher, &QFutureWatcher<QString>::finished, this, [this, watcher, test] {
        watcher->deleteLater();
        if (test != FTests)
            return;
        const QString reason = watcher->result();
        ShowResult(reason.isEmpty() ? kTestOk : reason);
    });
    // As this journal's station: the test tries what the station will send.
    watcher->setFuture(QtConcurrent::run([config, password, journal = FJournalPath] {
        const QString station = !config.readOnly && QFileInfo(journal).isFile()
                                    ? TRaceDayStore(journal).stationId()
                                    : QString();
        return TServerConnection::test(config, password, station);
    }));
}

void TClubServerDialog::ShowResult(const QString &text)
{
    TestResult->setText(text);
    // A long reason wraps onto more lines: the dialog grows to show all of them.
    layout()->activate();
    const int wanted = layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(width())
                                                     : layout()->totalSizeHint().height();
    if (wanted > height())
        resize(width(), wanted);
}

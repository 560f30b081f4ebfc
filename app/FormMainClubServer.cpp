// The club server through the main window: its settings dialog, the password question where
// there is no keyring, the journal's events and the saved plans handed to the link, and the
// link's state in the status bar. The race never waits for any of it: the link only notes what
// the journal has stored, and its replicator works on a thread of its own.
#include "FormMain.h"

#include "ClubServerDialog.h"
#include "ClubServerLink.h"
#include "ElidedLabel.h"
#include "RaceJournal.h"
#include "Replicator.h"

#include <QAction>
#include <QInputDialog>
#include <QLineEdit>
#include <QStatusBar>

namespace {

const QString kPasswordQuestion =
    QStringLiteral("Passwort von \u201E%1\u201C für den Vereinsserver %2:\n"
                   "Ohne Schlüsselbund des Desktops wird es nur bis zum Beenden behalten.");
const QString kWaitingTip = QStringLiteral("%1\nNoch nicht auf dem Server: %2 Ereignisse.\n"
                                           "Das Rennjournal auf diesem Rechner hat alles.");

} // namespace

void TFormMain::BuildClubServer()
{
    // Cut rather than widening the window; never shown without a server.
    ClubServerLine = new TElidedLabel;
    ClubServerLine->setObjectName(QStringLiteral("ClubServerLine"));
    ClubServerLine->hide();
    StatusBar1->addPermanentWidget(ClubServerLine);
    ClubServer = new TClubServerLink(FJournalPath, std::make_unique<TKeyringPasswords>(), this);
    ClubServer->AskPassword = std::bind_front(&TFormMain::AskClubServerPassword, this);
    connect(ClubServer, &TClubServerLink::stateChanged, this, &TFormMain::ShowClubServerState);
    connect(ClubServer, &TClubServerLink::stopped, ClubServerLine, &QWidget::hide);
    // The same server and password serve the readers: other stations' races, the office.
    connect(ClubServer, &TClubServerLink::serverReady, this, &TFormMain::SetClubServer);
    // Only what the journal has stored is sent: the press itself is long on the screen.
    connect(Journal, &TRaceJournal::eventStored, ClubServer,
            [this](qint64 raceId) { ClubServer->NoteStored(raceId); });
    // A stop's winner, a deleted race: the race's row changed without a new event.
    connect(Journal, &TRaceJournal::raceChanged, ClubServer,
            [this](qint64 raceId) { ClubServer->NoteStored(raceId); });
    ClubServer1 = AddCommand(this, QStringLiteral("ClubServer1"), QStringLiteral("Vereinsserver…"),
                             {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V)},
                             std::bind_front(&TFormMain::ShowClubServerSettings, this));
}

void TFormMain::ConnectClubServer()
{
    const TClubServerConfig config = FSettings.ReadClubServer();
    // Nothing set up and nothing running: nothing to start or to stop.
    if (!config.isSet() && !ClubServer->Config().isSet())
        return;
    ClubServer->Apply(config);
}

void TFormMain::ShowClubServerSettings()
{
    TClubServerDialog dialog(this);
    const TClubServerConfig before = FSettings.ReadClubServer();
    dialog.SetConfig(before, ClubServer->KnownPassword(before));
    dialog.SetJournal(FJournalPath);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const TClubServerConfig config = dialog.Config();
    if (!FSettings.WriteClubServer(config))
        ShowNoticeText(QStringLiteral("Die Einstellungen des Vereinsservers lassen sich nicht in "
                                      "\u201E%1\u201C speichern.")
                           .arg(FSettings.FilePath()));
    if (config == ClubServer->Config() && dialog.Password().isEmpty() && ClubServer->Replicator())
        return;
    ClubServer->Apply(config, dialog.Password());
}

void TFormMain::FinishClubServer()
{
    if (!ClubServer->Replicator())
        return;
    // Its last pass sends what the journal holds: everything handed to the journal first.
    Journal->flush(TRaceJournal::kCloseWaitMs);
    ClubServer->Finish();
}

void TFormMain::NotePlansSaved()
{
    ClubServer->NotePlans();
}

void TFormMain::ShowClubServerState(const TReplicationState &state)
{
    ClubServerLine->setText(state.text());
    ClubServerLine->setToolTip(kWaitingTip.arg(state.text()).arg(state.waiting));
    const bool trouble = state.kind == TReplicationState::Kind::Unreachable ||
                         state.kind == TReplicationState::Kind::Refused;
    ClubServerLine->setStyleSheet(trouble ? QStringLiteral("color: #A04000") : QString());
    ClubServerLine->show();
}

void TFormMain::AskClubServerPassword(const TClubServerConfig &config,
                                      std::function<void(const QString &password)> done)
{
    // Opened, not run: the window and its keys go on while the question waits.
    auto *question = new QInputDialog(this);
    question->setAttribute(Qt::WA_DeleteOnClose);
    question->setWindowTitle(QStringLiteral("Vereinsserver"));
    question->setLabelText(kPasswordQuestion.arg(config.user, config.describe()));
    question->setTextEchoMode(QLineEdit::Password);
    question->setOkButtonText(QStringLiteral("OK"));
    question->setCancelButtonText(QStringLiteral("Abbrechen"));
    connect(question, &QInputDialog::textValueSelected, this,
            [done = std::move(done)](const QString &password) { done(password); });
    question->open();
}

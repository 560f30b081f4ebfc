// For the people around the track: the standings as a snapshot for the live page (and the
// spectator board), the spoken announcements of the presses, and the scale of the standings.
// Everything here runs after a press is on the screen, never between the key and the repaint.
#include "FormMain.h"

#include "AnalysisWindow.h"
#include "AnnouncementText.h"
#include "Announcer.h"
#include "LiveServer.h"
#include "ScreenChoices.h"
#include "SpectatorBoard.h"
#include "ThreadedSpeechOutput.h"

#include "TSortGrid.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QNetworkInterface>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>

namespace {

constexpr int kZoomStepPercent = 10;
const QString kSpeechNeeds =
    QStringLiteral("\nDie Ansagen brauchen speech-dispatcher mit espeak-ng und einer deutschen "
                   "Stimme (siehe Hilfe, \u201EFür die Zuschauer\u201C).");

} // namespace

void TFormMain::BuildAudience()
{
    LiveServer = new TLiveServer(this);
    ZoomIn1 =
        AddCommand(this, QStringLiteral("ZoomIn1"), QStringLiteral("Wertung größer"),
                   {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal),
                    QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Plus)},
                   [this] { SetStandingsZoom(StandingsZoomPercent + kZoomStepPercent); });
    ZoomOut1 = AddCommand(this, QStringLiteral("ZoomOut1"), QStringLiteral("Wertung kleiner"),
                          {QKeySequence(Qt::CTRL | Qt::Key_Minus)},
                          [this] { SetStandingsZoom(StandingsZoomPercent - kZoomStepPercent); });
    ZoomReset1 =
        AddCommand(this, QStringLiteral("ZoomReset1"), QStringLiteral("Wertung normal groß"),
                   {QKeySequence(Qt::CTRL | Qt::Key_0)}, [this] { SetStandingsZoom(100); });
    ExportFiles1 = AddCommand(this, QStringLiteral("ExportFiles1"),
                              QStringLiteral("Ergebnisse als PDF und CSV"),
                              {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P)},
                              std::bind_front(&TFormMain::ExportResultFiles, this));
    Print1 = AddCommand(this, QStringLiteral("Print1"), QStringLiteral("Ergebnisse drucken…"),
                        {QKeySequence(Qt::CTRL | Qt::Key_P)},
                        std::bind_front(&TFormMain::PrintResults, this));
    Analysis1 = AddCommand(this, QStringLiteral("Analysis1"), QStringLiteral("Rennanalyse"),
                           {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A)},
                           std::bind_front(&TFormMain::ShowAnalysis, this));
    Board1 = AddCommand(this, QStringLiteral("Board1"), QStringLiteral("Anzeigetafel"),
                        {QKeySequence(Qt::CTRL | Qt::Key_T)},
                        std::bind_front(&TFormMain::ToggleBoard, this));
    AudienceSettings1 =
        AddCommand(this, QStringLiteral("AudienceSettings1"),
                   QStringLiteral("Live-Seite und Ansagen…"), {QKeySequence(Qt::CTRL | Qt::Key_J)},
                   std::bind_front(&TFormMain::ShowAudienceSettings, this));
}

QScreen *TFormMain::BoardScreen() const
{
    const QList<TScreenChoice> choices = screenChoices();
    for (const TScreenChoice &choice : choices) {
        if (choice.screen && choice.screen->name() == BoardScreenName)
            return choice.screen;
    }
    // A second screen when there is one: the operator's window stays on the first.
    return choices.size() > 1 ? choices[1].screen : nullptr;
}

void TFormMain::ShowAnalysis()
{
    if (!Analysis)
        Analysis = new TAnalysisWindow(this);
    Analysis->Show(ResultsSnapshot());
    // Over the operator's window and wholly on its screen, also on a small one.
    if (!Analysis->isVisible())
        Analysis->OpenOn(frameGeometry().center(), AvailableArea());
    Analysis->raise();
}

void TFormMain::ToggleBoard()
{
    if (Board && Board->isVisible()) {
        Board->hide();
        return;
    }
    if (!Board) {
        Board = new TSpectatorBoard;
        Board->setAttribute(Qt::WA_DeleteOnClose, false);
    }
    Board->Show(AudienceStandings());
    Board->ShowOnScreen(BoardScreen());
}

void TFormMain::UseSpeechOutput(TSpeechOutput *output)
{
    delete Announcer;
    Announcer = new TAnnouncer(output, this);
    Announcer->setEnabled(SpeechOn);
    if (FSpeechOutput)
        disconnect(FSpeechOutput, &TSpeechOutput::errorChanged, this, nullptr);
    FSpeechOutput = output;
    connect(output, &TSpeechOutput::errorChanged, this, &TFormMain::ShowSpeechProblem);
    ShowSpeechProblem(output->errorString());
}

void TFormMain::SetSpeechOn(bool on)
{
    SpeechOn = on;
    if (on && !Announcer) {
        FSystemSpeech = CreateSystemSpeechOutput();
        UseSpeechOutput(FSystemSpeech.get());
        // A speech service that does not start is told now, not at the first press.
        FSystemSpeech->prepare();
    }
    if (Announcer)
        Announcer->setEnabled(on);
    ShowSpeechProblem(SpeechProblem);
}

void TFormMain::ShowSpeechProblem(const QString &reason)
{
    const QString shown = StatusBar1->currentMessage();
    const bool oursShown = !SpeechProblem.isEmpty() && shown == SpeechProblem;
    SpeechProblem = reason;
    // Only a message of its own is taken back; another one is left as it is.
    if (SpeechOn && !reason.isEmpty())
        StatusBar1->showMessage(reason);
    else if (oursShown)
        StatusBar1->clearMessage();
}

bool TFormMain::SetLivePage(bool on, int port)
{
    LivePort = port;
    LiveOn = on;
    if (!on) {
        LiveServer->stop();
        return true;
    }
    PublishAudience();
    if (LiveServer->start(quint16(port)))
        return true;
    LiveOn = false;
    return false;
}

QString TFormMain::LivePageAddresses() const
{
    QStringList addresses;
    for (const QHostAddress &address : QNetworkInterface::allAddresses()) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback())
            addresses
                << QStringLiteral("http://%1:%2/").arg(address.toString()).arg(LiveServer->port());
    }
    if (addresses.isEmpty())
        addresses << QStringLiteral("http://localhost:%1/").arg(LiveServer->port());
    return addresses.join(QStringLiteral("\n"));
}

void TFormMain::ShowAudienceSettings()
{
    QDialog dialog(this);
    dialog.setWindowTitle(QStringLiteral("Live-Seite und Ansagen"));
    auto *live = new QCheckBox(QStringLiteral("Live-Seite im lokalen Netz anbieten"));
    live->setChecked(LiveOn);
    auto *port = new QSpinBox;
    port->setRange(1024, 65535);
    port->setValue(LivePort);
    auto *where = new QLabel(LiveOn ? LivePageAddresses() : QString());
    where->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *screens = new QComboBox;
    const QList<TScreenChoice> choices = screenChoices();
    for (const TScreenChoice &choice : choices)
        screens->addItem(choice.label, choice.screen ? choice.screen->name() : QString());
    if (QScreen *current = BoardScreen())
        screens->setCurrentIndex(qMax(0, screens->findData(current->name())));
    auto *speech = new QCheckBox(QStringLiteral("Jede Durchfahrt ansagen (Sprachausgabe)"));
    speech->setChecked(SpeechOn);
    // Wrapped, so a long reason makes the dialog taller, never wider than the screen.
    auto *speechProblem = new QLabel(SpeechProblem + kSpeechNeeds);
    speechProblem->setObjectName(QStringLiteral("SpeechProblem"));
    speechProblem->setStyleSheet(QStringLiteral("color: #C00000"));
    speechProblem->setWordWrap(true);
    speechProblem->setVisible(SpeechOn && !SpeechProblem.isEmpty());
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto *form = new QFormLayout(&dialog);
    form->addRow(live);
    form->addRow(QStringLiteral("&Port:"), port);
    form->addRow(QStringLiteral("Adresse:"), where);
    form->addRow(QStringLiteral("Anzeigetafel (Strg+T) auf:"), screens);
    form->addRow(speech);
    form->addRow(speechProblem);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return;
    SetSpeechOn(speech->isChecked());
    BoardScreenName = screens->currentData().toString();
    if (Board && Board->isVisible())
        Board->ShowOnScreen(BoardScreen());
    if (!SetLivePage(live->isChecked(), port->value()))
        ShowNoticeText(LiveServer->errorString());
    else if (LiveOn)
        StatusBar1->showMessage(
            QStringLiteral("Live-Seite: ") +
            LivePageAddresses().replace(QLatin1Char('\n'), QStringLiteral("  ")));
    FSettingsSaver->start();
}

TLiveStandings TFormMain::AudienceStandings() const
{
    TLiveStandings standings = Session.Audience(eTitle->text(), cbTip->currentText(),
                                                meTime->text(), FTicks.GetTickCount());
    // The clock of the window counts the race time down, from the time set before START.
    standings.clockLabel = QStringLiteral("Restzeit");
    if (FHeat.dayId != 0) {
        standings.heat = FHeat.label;
        standings.schedule = FSchedule;
    }
    return standings;
}

void TFormMain::PublishAudience()
{
    // The analysis follows each new version of the race, not every tick of the clock.
    if (Analysis && Analysis->isVisible() && FAnalysisVersion != Session.Version()) {
        FAnalysisVersion = Session.Version();
        Analysis->Show(ResultsSnapshot());
    }
    // A heat's day is worked out again after each new version of its race.
    if (FHeat.dayId != 0 && FHeatVersion != Session.Version()) {
        FHeatVersion = Session.Version();
        emit heatRaceChanged();
    }
    // With nobody to show them to, the standings are not built at every press and every second:
    // the live page and the board are given them when they are switched on.
    const bool boardShown = Board && Board->isVisible();
    if (!LiveOn && !boardShown && !OnAudienceStandings)
        return;
    const TLiveStandings standings = AudienceStandings();
    if (LiveOn)
        LiveServer->publish(standings);
    if (boardShown)
        Board->Show(standings);
    if (OnAudienceStandings)
        OnAudienceStandings(standings);
}

void TFormMain::AnnouncePress(int crossing)
{
    if (!Session.NoteAnnounced(crossing) || !Announcer || !Announcer->isEnabled())
        return;
    TAnnouncedPress press;
    if (!Session.Announcement(crossing, press))
        return;
    const QString text = AnnouncementText(press);
    LastAnnouncement = text;
    Announcer->announce(text);
    // Back in the status bar once a timed message there has gone.
    if (!SpeechProblem.isEmpty() && StatusBar1->currentMessage().isEmpty())
        StatusBar1->showMessage(SpeechProblem);
}

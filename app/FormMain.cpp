#include "FormMain.h"
#include "ServerReader.h"

#include "Announcer.h"
#include "ClockText.h"
#include "CorrectionDesk.h"
#include "LapKeyFilter.h"
#include "LiveServer.h"
#include "RaceJournal.h"
#include "SpectatorBoard.h"
#include "StandingsView.h"
#include "ThreadedSpeechOutput.h"

#include "ApplicationHelp.h"
#include "DlgYesNo.h"
#include "FlEdit.h"
#include "LbButton.h"
#include "SPHTMLHelp.h"
#include "TSortGrid.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QLocale>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <cmath>

void InitWindowResources();

namespace {

constexpr int kMetresPerKm = 1000;
constexpr int kGridMargin = 5;
constexpr int kGridLineWidth = 1;
constexpr int kSettingsSaveDelayMs = 500;

} // namespace

TFormMain::TFormMain(const TTickCounter &ticks, const QString &settingsPath,
                     const QString &journalPath, QWidget *parent)
    : QMainWindow(parent), Session(ticks), FTicks(ticks), FSettings(settingsPath),
      FJournalPath(journalPath)
{
    InitWindowResources();
    OpenUrl = [](const QUrl &url) { return QDesktopServices::openUrl(url); };
    HelpContents = [] { ShowHelpContents(); };
    BootId = [] { return TRaceJournal::currentBootId(); };
    setObjectName(QStringLiteral("FormMain"));
    SetUpWindowLook();
    BuildHeader();
    BuildStandings();
    Standings = std::make_unique<TStandingsView>(SortGrid1, Session);
    Standings->OnStarterTyped = [this](int row, int col, const QString &text) {
        StarterTyped(row, col, text);
    };
    Standings->OnDirectionChanged = [this](bool descending) { Session.SetDescending(descending); };
    BuildMenu();
    BuildTimers();
    BuildCorrectionDesk();
    centralWidget()->layout()->addWidget(Desk);
    BuildAudience();
    BuildRaceDay();
    BuildServerReading();
    connect(&Session, &TRaceSession::leaderLap, seKrugs, &QSpinBox::setValue);
    connect(seCarCount, &QSpinBox::valueChanged, this, [this] { seCarCountChange(seCarCount); });
    connect(seKrugs, &QSpinBox::valueChanged, this, [this] { seKrugsChange(seKrugs); });
    connect(meTime, &QLineEdit::editingFinished, this, &TFormMain::meTimeExit);
    meTimeWarn->installEventFilter(this);
    connect(meTimeWarn, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (IsCompleteWarnTime(text))
            WarnTimeText = text;
    });
    // The lap keys reach the race from every window of the program, questions included.
    FLapKeyFilter = new TLapKeyFilter(ticks, this);
    FLapKeyFilter->OnLapKey = std::bind_front(&TFormMain::LapKey, this);
    FormCreate();
    OpenJournal(journalPath);
    BuildClubServer();
    WatchSettings();
    SortGrid1->setFocus();
}

TFormMain::~TFormMain()
{
    FClosing = true;
    FlushJournal();
    FinishClubServer();
    delete Announcer; // before the speech output it talks to
    Announcer = nullptr;
    delete Board;
    Board = nullptr;
    FormDestroy();
    // The controls go after this object has stopped being a TFormMain; a signal they send on
    // the way (a field losing the focus) must not reach its handlers any more.
    TimerALL->stop();
    Timer1->stop();
    const QList<QObject *> parts = findChildren<QObject *>();
    for (QObject *part : parts)
        QObject::disconnect(part, nullptr, this, nullptr);
    SortGrid1->OnSelectCell = nullptr;
    SortGrid1->OnGetCellFormat = nullptr;
    bSTART2->OnMouseDown = nullptr;
    bSTART2->OnMouseUp = nullptr;
    Session.disconnect(this);
    Session.disconnect(seKrugs);
    SortGrid1->OnSetEditText = nullptr;
    SortGrid1->OnTitleClick = nullptr;
    for (QLabel *logo : LogoLabels)
        logo->removeEventFilter(this);
    Panel1->removeEventFilter(this);
    SortGrid1->removeEventFilter(this);
    meTime->removeEventFilter(this);
    meTimeWarn->removeEventFilter(this);
    FLapKeyFilter->OnLapKey = nullptr;
}

TFDlgYesNo *TFormMain::DlgYesNo()
{
    if (!FDlgYesNo)
        FDlgYesNo = new TFDlgYesNo(this);
    return FDlgYesNo;
}

bool TFormMain::Running() const
{
    return Session.Running();
}

void TFormMain::FormCreate()
{
    QGuiApplication::setApplicationDisplayName(kCaption); // the yes/no dialog's caption
    SetApplicationHelpFile(HelpFileForExecutable());
    Standings->Setup();
    SortGrid1->OnGetCellFormat = [this](QObject *Sender, int Col, int Row, TGridDrawState State,
                                        TFormatOptions &FormatOptions, bool &CheckBox,
                                        bool &Combobox, bool &Ellipsis) {
        SortGrid1GetCellFormat(Sender, Col, Row, State, FormatOptions, CheckBox, Combobox,
                               Ellipsis);
    };
    SortGrid1->OnSelectCell = [this](QObject *Sender, int ACol, int ARow, bool &CanSelect) {
        SortGrid1SelectCell(Sender, ACol, ARow, CanSelect);
    };
    eTime->setText(QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
    eTime->adjustSize();
    ReadSettings();
    Session.Timing().RaceLaps = seKrugs->value();
    meTime->setText(FormatClock(RaceSeconds));
    seCarCountChange(seCarCount);
    bStartList->setToolTip(QStringLiteral("[Ctrl+O] Starterliste öffnen"));
    SortGrid1->SetFixedCols(0);
    Session.SetRowCount(seCarCount->value() + 1);
    Standings->Show();
    SortGrid1->SetFixedCols(2);
    // The current cell lands on a cell that can be typed into, with editing set up for it.
    SortGrid1->GotoCell(TRaceTiming::colNr, 1, false);
}

void TFormMain::ReadSettings()
{
    const TStoredSettings s = FSettings.Read();
    // Each value applies on its own, so a file that ends early still moves the window.
    if (s.Left)
        move(*s.Left, y());
    if (s.Top)
        move(x(), *s.Top);
    if (s.Width)
        resize(*s.Width, height());
    if (s.Height)
        resize(width(), *s.Height);
    KeepOnScreen();
    if (s.Acc)
        Session.SetAccuracy(*s.Acc);
    if (s.Dist)
        feDist->SetValue(double(*s.Dist) / kMetresPerKm);
    if (s.Autos)
        seCarCount->setValue(*s.Autos);
    if (s.Runden)
        seKrugs->setValue(*s.Runden);
    if (s.Time)
        RaceSeconds = qMax(0, *s.Time);
    if (s.Title)
        eTitle->setText(*s.Title);
    // A stored warning time that is not complete is not taken: the field keeps its default.
    if (s.TimeWarn && IsCompleteWarnTime(*s.TimeWarn))
        meTimeWarn->setText(*s.TimeWarn);
    if (s.MinLap)
        Desk->MinLapField()->setValue(*s.MinLap);
    if (s.PassLog)
        SetDeskVisible(*s.PassLog != 0);
    if (s.Zoom)
        SetStandingsZoom(*s.Zoom);
    if (s.BoardScreen)
        BoardScreenName = *s.BoardScreen;
    if (s.Finish)
        cbFinish->setCurrentIndex(qBound(0, *s.Finish, cbFinish->count() - 1));
    if (s.LivePort)
        LivePort = *s.LivePort;
    if (s.Speech && *s.Speech != 0)
        SetSpeechOn(true);
    if (s.LiveOn && *s.LiveOn != 0 && !SetLivePage(true, LivePort))
        FPendingNotice = LiveServer->errorString();
    eTitle->setCursorPosition(0);
}

void TFormMain::FormDestroy()
{
    FSettingsSaver->stop();
    SaveSettings();
}

void TFormMain::SaveSettings()
{
    TStoredSettings s;
    s.Left = x();
    s.Top = y();
    s.Width = width();
    s.Height = height();
    s.Acc = Race.Acc;
    s.Dist = int(std::lround(double(feDist->Value()) * kMetresPerKm));
    s.Autos = seCarCount->value();
    s.Runden = Race.RaceLaps;
    s.Time = RaceSeconds;
    s.Title = eTitle->text();
    // A heat leaves the keys when the program closes (a race it left unfinished comes back
    // with its own title from its START): its title must not stay for an ordinary race.
    if (FHeat.dayId != 0 && s.Title == FHeat.title)
        s.Title = QString();
    meTimeWarnExit();
    s.TimeWarn = WarnTimeText;
    s.MinLap = Desk->MinLapField()->value();
    s.PassLog = ShowDesk1->isChecked() ? 1 : 0;
    s.Zoom = StandingsZoomPercent;
    s.Finish = cbFinish->currentIndex();
    s.BoardScreen = BoardScreenName;
    s.LiveOn = LiveOn ? 1 : 0;
    s.LivePort = LivePort;
    s.Speech = SpeechOn ? 1 : 0;
    FSettings.Write(s); // settings that cannot be written are lost without a message
}

void TFormMain::WatchSettings()
{
    // Settings are written shortly after they change, not only at the close: a crash or a power
    // cut keeps them too. A burst of changes (a window dragged) is written once.
    FSettingsSaver = new QTimer(this);
    FSettingsSaver->setSingleShot(true);
    FSettingsSaver->setInterval(kSettingsSaveDelayMs);
    connect(FSettingsSaver, &QTimer::timeout, this, &TFormMain::SaveSettings);
    const auto changed = [this] { FSettingsSaver->start(); };
    connect(eTitle, &QLineEdit::textChanged, this, changed);
    connect(seCarCount, &QSpinBox::valueChanged, this, changed);
    // During a race the laps field counts the leader's remaining laps down: no setting changes,
    // and a file written at every leader's lap would hold up the presses around it.
    connect(seKrugs, &QSpinBox::valueChanged, this, [this] {
        if (RaceState() == rsReady)
            FSettingsSaver->start();
    });
    connect(feDist, &QLineEdit::textChanged, this, changed);
    connect(meTimeWarn, &QLineEdit::textChanged, this, changed);
    connect(meTime, &QLineEdit::editingFinished, this, changed);
    connect(Desk->MinLapField(), &QSpinBox::valueChanged, this, changed);
    connect(cbFinish, &QComboBox::currentIndexChanged, this, changed);
    connect(ShowDesk1, &QAction::toggled, this, changed);
}

void TFormMain::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    if (FSettingsSaver)
        FSettingsSaver->start();
}

void TFormMain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    if (FSettingsSaver)
        FSettingsSaver->start();
}

void TFormMain::FormResize()
{
    // A scrolling grid (a long starter list) gives its scroll bar's width to no column.
    const QScrollBar *bar = SortGrid1->verticalScrollBar();
    Standings->FitColumns(SortGrid1->width() - (bar->isVisibleTo(SortGrid1) ? bar->width() : 0));
}

void TFormMain::seCarCountChange(QObject *Sender)
{
    const auto *spin = qobject_cast<QSpinBox *>(Sender);
    if (!spin)
        return;
    // A race keeps the rows it started with; the field shows the race's cars then.
    if (Session.HasRace())
        return;
    SortGrid1->SetFixedCols(0);
    Session.SetRowCount(spin->value() + 1);
    Standings->Show();
    SortGrid1->SetFixedCols(2);
    // The current cell lands on a cell that can be typed into, with editing set up for it.
    SortGrid1->GotoCell(TRaceTiming::colNr, 1, false);
    FitHeightToRows();
}

void TFormMain::FitHeightToRows(int wantedWidth)
{
    // A grid of the title row alone (a starter list without starters) is lower than the grid
    // can be drawn; the header must not give up its height for it.
    const int gridHeight = std::max(SortGrid1->RowHeights(0) +
                                        (SortGrid1->RowCount() - 1) *
                                            (SortGrid1->DefaultRowHeight() + kGridLineWidth) +
                                        kGridMargin,
                                    SortGrid1->minimumSizeHint().height());
    // The window frame is not part of the client area here, so the window is exactly header,
    // grid and status bar, unless that is higher than the screen: then the grid scrolls.
    const int desk = Desk && !Desk->isHidden() ? Desk->height() : 0;
    const int wanted = HeaderHeight() + gridHeight + desk + StatusBar1->height();
    const int fitting = std::min(wanted, AvailableArea().height() - FrameExtent().height());
    SortGrid1->SetScrollBars(fitting < wanted ? ssVertical : ssNone);
    FormResize();
    setMinimumHeight(fitting);
    // A maximised window keeps the screen's size; its grid has room to spare.
    if (!isMaximized() && !isFullScreen())
        resize(wantedWidth > 0 ? wantedWidth : width(), fitting);
    KeepOnScreen();
}

QRect TFormMain::AvailableArea() const
{
    const QScreen *target = QGuiApplication::screenAt(geometry().center());
    if (!target)
        target = screen();
    if (!target)
        target = QGuiApplication::primaryScreen();
    return target ? target->availableGeometry() : QRect(0, 0, kInitialWidth, kInitialHeight);
}

QSize TFormMain::FrameExtent() const
{
    // Known once the window manager has framed the window; until then the client area is all.
    return frameGeometry().size() - geometry().size();
}

void TFormMain::KeepOnScreen()
{
    // A stored position from a screen that is gone, or a size larger than this screen, must
    // not leave the header with START out of reach: the window lies wholly on one screen.
    const QRect area = AvailableArea();
    const QSize frame = FrameExtent();
    const QSize largest(area.width() - frame.width(), area.height() - frame.height());
    QSize size = this->size().boundedTo(largest).expandedTo(minimumSize());
    if (size != this->size())
        resize(size);
    const QRect outer(pos(), size + frame);
    const int left = std::clamp(outer.left(), area.left(),
                                std::max(area.left(), area.right() + 1 - outer.width()));
    const int top = std::clamp(outer.top(), area.top(),
                               std::max(area.top(), area.bottom() + 1 - outer.height()));
    if (QPoint(left, top) != pos())
        move(left, top);
}

void TFormMain::sbHelpClick(QObject *)
{
    if (HelpContents)
        HelpContents();
}

void TFormMain::Label14Click(QObject *)
{
    if (OpenUrl)
        OpenUrl(kProductPage);
}

void TFormMain::closeEvent(QCloseEvent *event)
{
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

void TFormMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // The window manager's frame is known only once the window is shown; it must fit too.
    QTimer::singleShot(0, this, &TFormMain::KeepOnScreen);
}

bool TFormMain::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Resize:
        if (watched == Panel1)
            PlaceAnchoredControls();
        else if (watched == SortGrid1)
            FormResize();
        break;
    case QEvent::MouseButtonRelease:
        if (watched == LogoLabels[0] || watched == LogoLabels[1])
            Label14Click(watched);
        break;
    case QEvent::FocusOut:
        if (watched == meTimeWarn)
            meTimeWarnExit();
        break;
    case QEvent::KeyPress:
        if (watched == meTimeWarn) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
                meTimeWarnExit();
        }
        if (watched == meTime) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                meTimeExit();
                return true;
            }
            const QString typed = key->text();
            if (typed.size() == 1 && typed.at(0).isPrint() && !meTimeKeyPress(typed.at(0)))
                return true;
        }
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

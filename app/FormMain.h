#pragma once

#include "ClubServerConfig.h"
#include "CorrectionCommands.h"
#include "LapKeyFilter.h"
#include "LiveStandings.h"
#include "OpenDialog.h"
#include "RaceEvent.h"
#include "RaceSession.h"
#include "RaceSetup.h"
#include "RaceSummary.h"
#include "ResultsSnapshot.h"
#include "SettingsStore.h"
#include "StarterListReader.h"
#include "TFormatOptions.h"

#include <QEvent>
#include <QMainWindow>
#include <QPointer>
#include <QUrl>

#include <functional>
#include <memory>

class QAction;

// One starter list as a thread read it.
struct TStarterListRead
{
    bool ok = false;
    QString error;
    StarterList rows;
};
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QSpinBox;
class QStatusBar;
class QTimer;
class QToolButton;
class TFDlgYesNo;
class TAnalysisWindow;
class TAnnouncer;
class TArchiveWindow;
class TElidedLabel;
class TClubServerLink;
struct TReplicationState;
class TRaceDayWindow;
class TResultsOfficeWindow;
class TSeasonWindow;
class TServerReader;
class TLiveServer;
class TSpectatorBoard;
class QScreen;
class TSpeechOutput;
class TThreadedSpeechOutput;
class TCorrectionDesk;
class TRaceJournal;
class TLbButton;
class TSortGrid;
class TSpinFloatEdit;
class TStandingsView;

// The program's only main window: the header with the race settings and the command buttons,
// the standings grid and the status bar. The race itself is the session's (Session): the window
// turns keys, commands and dialogs into its events, hands them to the journal, runs the two
// timers and shows what the session says in its views.
//
// The tick counter and the settings file are handed in, so tests run a race on a clock they set
// by hand and never touch the user's settings. The settings are read when the window is built
// and written when it is destroyed.
class TFormMain : public QMainWindow
{
    Q_OBJECT

public:
    // The race state: the counter of the start button, stepped by every start command.
    enum TRaceState { rsReady, rsRunning, rsStopped };

    static inline const QString kCaption = QStringLiteral("Talvenbahn 1.7");
    static constexpr int kInitialWidth = 852;
    static constexpr int kInitialHeight = 467;
    static constexpr qint32 kDefaultRaceSeconds = 14400;
    static constexpr int kTimerAllMs = 10;
    static constexpr int kTimer1Ms = int(TRaceTiming::kKeyReleaseStepMs);

    // journalPath: the race journal's database; empty for none (the race is then kept in
    // memory only, as when the journal fails).
    TFormMain(const TTickCounter &ticks, const QString &settingsPath,
              const QString &journalPath = QString(), QWidget *parent = nullptr);
    ~TFormMain() override;

    // The one yes/no dialog of the program, created by the program start after this window.
    // Without one the window makes its own when it first asks.
    void SetDlgYesNo(TFDlgYesNo *dialog) { FDlgYesNo = dialog; }
    TFDlgYesNo *DlgYesNo();

    // ---- Header (Panel1) ----
    QWidget *Panel1 = nullptr;
    QLabel *Label7 = nullptr;
    QLineEdit *eTitle = nullptr;
    QLabel *Label4 = nullptr;
    QComboBox *cbTip = nullptr;
    QComboBox *cbFinish = nullptr; // how the race ends: every lap, or the chequered flag
    QLabel *eTime = nullptr;
    QLabel *Label11 = nullptr;
    QSpinBox *seCarCount = nullptr;
    QSpinBox *seKrugs = nullptr;
    TSpinFloatEdit *feDist = nullptr;
    QLineEdit *meTimeWarn = nullptr;
    QLabel *Label1 = nullptr;
    QLineEdit *meTime = nullptr;
    QFrame *Panel2 = nullptr;
    QToolButton *sbHelp = nullptr;
    QToolButton *sbExcel = nullptr;
    QToolButton *sbWeb = nullptr;
    QToolButton *sbNew = nullptr;
    QToolButton *bStartList = nullptr;
    TLbButton *bSTART2 = nullptr;
    QWidget *Panel5 = nullptr;
    QLabel *LogoLabels[2] = {};  // the coloured halves of the brand word; a click opens the page
    QLabel *LogoShadows[2] = {}; // their black shadows
    // ---- Standings and status ----
    QWidget *Panel4 = nullptr;
    TSortGrid *SortGrid1 = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    // ---- Invisible menu: lap keys F1..F12 (Tag = car number in data()), commands ----
    QMenuBar *MainMenu1 = nullptr; // never shown; it only groups the items below
    QMenu *Machine1 = nullptr;     // the lap keys and the start command
    QMenu *Hilfe1 = nullptr;       // new race, help and starter list
    QMenu *Archiv1 = nullptr;      // earlier races
    QAction *LapKeys[kMaxCars] = {};
    QAction *mStart = nullptr;
    QAction *New1 = nullptr;
    QAction *Help1 = nullptr;
    QAction *Open1 = nullptr;
    // ---- Timers, enabled only while the race is Running ----
    QTimer *TimerALL = nullptr;
    QTimer *Timer1 = nullptr;

    // The race: its events, tables, standings texts, corrections and verdicts.
    TRaceSession Session;
    // The race tables, for reading.
    const TRaceTiming &Race = Session.Timing();
    // The standings grid as a view of the session.
    std::unique_ptr<TStandingsView> Standings;
    // The durable record of every race (open or not: without it the race runs in memory).
    TRaceJournal *Journal = nullptr;
    // The journal's id of the race in the standings; 0 when none is recorded.
    qint64 JournalRaceId = 0;
    // Red words in the status bar while the journal cannot keep the race.
    QLabel *JournalWarning = nullptr;
    // Shows a notice about the journal (moved aside, resumed after a reboot); a message box
    // unless replaced (tests record the text).
    std::function<void(const QString &text)> ShowNotice;

    // This boot of the machine, as the journal records it with a race; tests replace it to
    // resume a race after a restart of the machine.
    std::function<QString()> BootId;

    // At program start, once the window shows: tells what happened to the journal file and
    // offers to continue a race that has no stop or end.
    void OfferResume();
    // The setup START takes from the header and the standings rows.
    TRaceSetup CurrentSetup() const;
    // A start number or driver put into a standings cell as if typed there.
    void TypeIntoStandings(int col, int row, const QString &text);
    // A new press of car's lap key whose event arrived at stamp.
    // A lap key with what its modifiers ask for.
    void LapKey(int car, quint32 stamp, TLapKeyFilter::TKind kind);
    // A press of car's lap key stamped at stamp; overLock: counted even within the key lock.
    void PressLap(int car, quint32 stamp, bool overLock = false);
    // Hands the presses not yet handed over to the journal (they wait for the repaint).
    void FlushJournal();

    // ---- Scale of the standings (Ctrl+Plus, Ctrl+Minus, Ctrl+0), in percent; saved ----
    int StandingsZoomPercent = 100;
    void SetStandingsZoom(int percent);

    // ---- For the people around the track ----
    TLiveServer *LiveServer = nullptr;
    TAnnouncer *Announcer = nullptr; // made when speech is first switched on
    bool LiveOn = false;
    int LivePort = 8080;
    bool SpeechOn = false;
    QString LastAnnouncement;
    QAction *ZoomIn1 = nullptr;
    QAction *ZoomOut1 = nullptr;
    QAction *ZoomReset1 = nullptr;
    QAction *AudienceSettings1 = nullptr;
    // The spectator board (Ctrl+T), made when first shown; full screen on BoardScreenName.
    TSpectatorBoard *Board = nullptr;
    QString BoardScreenName;
    QAction *Board1 = nullptr;
    void ToggleBoard();
    QScreen *BoardScreen() const;
    // Called with every new snapshot of the standings (the spectator board).
    std::function<void(const TLiveStandings &)> OnAudienceStandings;
    // The standings as the live page and the board show them.
    TLiveStandings AudienceStandings() const;
    void PublishAudience();
    // Starts or stops the live page; false (LiveServer->errorString()) when it cannot listen.
    bool SetLivePage(bool on, int port);
    QString LivePageAddresses() const;
    void SetSpeechOn(bool on);
    // Speaks through output (not owned) instead of the system's speech; for tests.
    void UseSpeechOutput(TSpeechOutput *output);
    // Why the announcements cannot be heard, empty while they can; shown in the status bar
    // while speech is on, and in the Ctrl+J dialog.
    QString SpeechProblem;
    void ShowAudienceSettings();

    // ---- Correction desk: the pass log, corrections, undo and redo ----
    TCorrectionDesk *Desk = nullptr;
    QAction *Undo1 = nullptr;
    QAction *Redo1 = nullptr;
    QAction *FindCrossing1 = nullptr;
    QAction *ShowDesk1 = nullptr;
    QAction *DeleteCrossing1 = nullptr;
    QAction *InsertCrossing1 = nullptr;
    QAction *SplitLap1 = nullptr;
    QAction *MoveCrossing1 = nullptr;
    QAction *EditCrossing1 = nullptr;
    QAction *ConfirmCrossing1 = nullptr;
    // The desk's commands on the race in the standings; the window records what they make.
    TCorrectionCommands *Commands = nullptr;
    // Asks for a car and a race time; nothing when cancelled. A dialog unless replaced (tests
    // answer it).
    using TCrossingQuestion = TCorrectionCommands::TCrossingQuestion;
    std::function<std::optional<QPair<int, quint32>>(const TCrossingQuestion &)> AskCrossing;
    // Asks for a whole number; nothing when cancelled. A dialog unless replaced (tests).
    std::function<std::optional<int>(const QString &question, int proposed, int min, int max)>
        AskNumber;
    // The verdict on the car of the standings' current row (its context menu and keys).
    using TVerdictCommand = TCorrectionCommands::TVerdict;
    void JudgeCurrentCar(TVerdictCommand command);
    void UndoCorrection();
    void RedoCorrection();
    void DeleteCrossing();
    void InsertCrossing();
    void SplitLap();
    void MoveCrossing();
    void EditCrossing();
    void ConfirmCrossing();
    // Selects the last crossing of the standings' current car in the pass log (Ctrl+L).
    void FindCrossingOfCurrentCar();
    // Selects car's latest crossing in the pass log; when one of its crossings is selected
    // already, the one before it.
    void FindCrossingOfCar(int car);
    // The standings' menu at pos (grid coordinates): the verdicts on the car of the row there.
    void ShowStandingsMenu(const QPoint &pos);
    // "F8  Nr. 7  Anna Berg": the key, start number and driver of a car.
    QString CarName(int car) const;
    void ShowCrossingOfCar(int car, bool stepBack);
    // Shows or hides the correction desk; the window grows or shrinks by its height.
    void SetDeskVisible(bool visible);
    // Records one correction and recomputes the race from its events; false when there is no
    // race to correct or the correction changes nothing.
    bool Correct(const TRaceEvent &correction);
    // The events of the race in the standings, START and corrections included, as recorded.
    const QList<TRaceEvent> &RaceEvents() const { return Session.Events(); }
    // The crossing the correction commands act on: the pass log's selection.
    int TargetCrossing() const;

    // ---- A club's race day (Ctrl+G) and its season (Ctrl+Shift+G) ----
    // A heat of a race day as the keys take it: its day and heat, its label, the race's title and
    // its drivers in key order (the first on F1).
    struct THeatOnKeys
    {
        qint64 dayId = 0; // 0: no heat
        int heatId = 0;
        QString label; // "Klasse A · Vorlauf 1 · Lauf 2"
        QString title; // the day's name and the label
        QList<TRaceSetup::TStarter> drivers;
    };
    // Puts a heat's drivers on the keys in heat order, with "Autos" and the title to match, while
    // no race runs; a stopped race's standings go only after a question that opens on "Nein".
    // The next START's event then names the heat. False when refused or not confirmed.
    bool PutHeatOnKeys(const THeatOnKeys &heat);
    // The heat the standings show or the next START will time; dayId 0 for an ordinary race.
    const THeatOnKeys &HeatOnKeys() const { return FHeat; }
    // What comes after the heat, and the day's heats, for the status line, the live page and the
    // board; the race-day window tells them whenever the day changes.
    void ShowRaceDayProgress(const QString &nextLabel, const QList<TLiveHeat> &schedule);
    // "Lauf: Klasse A · Vorlauf 1 · Lauf 2 — danach: Lauf 3" in the status bar while a heat is
    // on the keys; hidden otherwise.
    TElidedLabel *HeatLine = nullptr;
    TRaceDayWindow *RaceDay = nullptr; // made when first needed
    TSeasonWindow *Season = nullptr;
    QAction *RaceDay1 = nullptr;
    QAction *Season1 = nullptr;
    void ShowRaceDay();
    void ShowSeason();
    // A race-day window shown the first time: on the screen's free area, and clear of START where
    // the operator goes on to press it from there.
    void PlaceSideWindow(QWidget *window, bool clearOfStart);
    // A question of the race-day windows, answered in the yes/no dialog; it opens on "Nein".
    // The window that asked comes to the front again after the answer.
    bool AskSideQuestion(QWidget *asker, const QString &question);
    // The race-day window, made (not shown) when first needed.
    TRaceDayWindow *RaceDayWindow();
    // The journal file the race days live in; empty without a journal.
    QString JournalPath() const { return FJournalPath; }
    // The tick counter the window stamps its events with.
    const TTickCounter &Ticks() const { return FTicks; }

    // ---- The club server (Ctrl+Shift+V) ----
    // Sends the journal to the club server on a thread of its own, once a server is set up.
    TClubServerLink *ClubServer = nullptr;
    // "Vereinsserver: verbunden" in the status bar while the station sends; hidden otherwise.
    TElidedLabel *ClubServerLine = nullptr;
    QAction *ClubServer1 = nullptr;
    // The dialog "Vereinsserver"; its settings are saved and the link starts afresh.
    void ShowClubServerSettings();
    // Starts the link with the stored settings; the program start calls it once the window
    // shows (tests, after giving the link its password seams). Without a server: nothing.
    void ConnectClubServer();
    // A race day or a season was saved.
    void NotePlansSaved();
    // ---- The club server ----
    // Reads every station's races from the club server from now on (for "Frühere Rennen", the
    // race day, the season and the results office); a config that is not set ends it. A
    // read-only config (a results office) opens "Ergebnisbüro".
    void SetClubServer(const TClubServerConfig &config, const QString &password);
    // Null without a club server.
    TServerReader *ServerReader() const { return FServerReader.get(); }
    // This journal's station id on the club server; empty until read.
    QString StationId() const { return FStationId; }
    // Every station's races and the chosen one's standings, live (Ctrl+B).
    TResultsOfficeWindow *ResultsOffice = nullptr;
    QAction *ResultsOffice1 = nullptr;
    void ShowResultsOffice();
    // Reads another station's race from the club server on the reader's thread and then shows it
    // as ViewArchivedRace does.
    void ViewServerRace(const QString &station, qint64 raceId);
    // Called once a race of another station is shown or could not be, with an error or empty;
    // for tests.
    std::function<void(const QString &error)> OnServerRaceShown;

    // ---- Earlier races (Ctrl+R) ----
    QAction *Archive1 = nullptr;
    void ShowArchive(QObject *Sender);
    // Shows a race of the journal read-only in the standings, as a stopped race; only while no
    // race is in the standings. START then clears it and brings back the header as it was.
    bool ViewArchivedRace(qint64 raceId);
    // Deletes a race of the journal after a question; the race in the standings is not deleted,
    // and a notice says why.
    void DeleteArchivedRace(qint64 raceId);
    bool ViewingArchivedRace() const { return FViewingArchive; }
    // Race duration in seconds, saved as "Time".
    qint32 RaceSeconds = kDefaultRaceSeconds;
    // The last complete text of the warning time field: what START reads and the settings keep.
    QString WarnTimeText = QStringLiteral("05:00");

    // Stopped and ended races alike are rsStopped: START then resets them.
    TRaceState RaceState() const;
    bool Running() const;

    // Shows the help file's contents; tests replace it.
    std::function<void()> HelpContents;
    // Opens a web address (the logo's page); tests replace it.
    std::function<bool(const QUrl &)> OpenUrl;
    static inline const QUrl kProductPage = QUrl(QStringLiteral("https://chrovix.example/"));

    // ---- Window ----
    void FormCreate();
    void FormDestroy();
    void FormResize();
    void seCarCountChange(QObject *Sender);
    void sbHelpClick(QObject *Sender);
    void Label14Click(QObject *Sender);

    // ---- Race control ----
    void mStart2Click(QObject *Sender);
    void TimerALLTimer();
    void Timer1Timer();
    void meTimeExit();
    void meTimeWarnExit();
    void seKrugsChange(QObject *Sender);
    void sbNewClick(QObject *Sender);
    bool FormCloseQuery();
    void FormClose();
    void ClearStandings(bool KeepNothing);

    // ---- Results and starter list (their handlers are filled in elsewhere) ----
    void sbExcelClick(QObject *Sender);
    void sbWebClick(QObject *Sender);
    // Writes the results page to FileName; a file that cannot be written is reported, and
    // false returned.
    bool WriteResultsPage(const QString &FileName);
    // Shows an export's failure: the write error, the file's full path and the reason.
    void ReportWriteError(const QString &path, const QString &reason);
    // The results as the exports show them, read from the race, the standings and the header.
    TResultsSnapshot ResultsSnapshot() const;
    // Shows an export's write error; a message box unless replaced (tests record the text).
    std::function<void(const QString &text)> ShowWriteError;
    // The results as PDF and as CSV (the classification and every crossing), beside the results
    // page, written on a thread of their own (Ctrl+Shift+P).
    void ExportResultFiles();
    QStringList ResultFileNames() const;
    // Called once those files are written, with an error text or empty; for tests.
    std::function<void(const QString &error)> OnResultFilesWritten;
    // The results through the desktop's print dialog (Ctrl+P).
    void PrintResults();
    QAction *ExportFiles1 = nullptr;
    // The lap chart and the lap times in a window of their own (Ctrl+Shift+A); it follows the
    // race while it is open.
    TAnalysisWindow *Analysis = nullptr;
    QAction *Analysis1 = nullptr;
    void ShowAnalysis();
    QAction *Print1 = nullptr;
    void bStartListClick(QObject *Sender);
    // Fills standings columns 2 to 11 and the row count from a starter list; the whole list is read
    // first, so a file that fails leaves the grid as it was. Errors pass to the caller
    // (EStarterListError).
    void ReadStarterList(const QString &FileName);
    // The same on a thread of its own (the command's way): the window stays responsive and the
    // lap keys count while a list is read; a second list is refused until it is done.
    void ReadStarterListInBackground(const QString &FileName);
    bool StarterListReading() const { return FStarterListReading; }
    // The starter list's file dialog; it keeps the last chosen name between uses.
    TOpenDialog OpenDialog1 = StarterListOpenDialog();

    // ---- Standings cell formats ----
    void SortGrid1GetCellFormat(QObject *Sender, int Col, int Row, TGridDrawState State,
                                TFormatOptions &FormatOptions, bool &CheckBox, bool &Combobox,
                                bool &Ellipsis);
    void SortGrid1SelectCell(QObject *Sender, int ACol, int ARow, bool &CanSelect);

signals:
    // A heat's race changed (a press, a correction, START, stop, end): its day's results are
    // worked out again.
    void heatRaceChanged();
    // The club server has a new race row or plan of some station, or is reachable again.
    void serverRacesChanged();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool event(QEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static int HeaderHeight();
    // Sizes the window so that the grid shows its title row and every data row; wantedWidth:
    // the window's new width (0: as it is).
    void FitHeightToRows(int wantedWidth = 0);
    // Moves and shrinks the window as far as needed to lie wholly on its screen's free area.
    void KeepOnScreen();
    QRect AvailableArea() const;
    QSize FrameExtent() const;
    void SetUpWindowLook();
    void BuildHeader();
    void BuildCommandPanel();
    void BuildLogo();
    void BuildStandings();
    void BuildMenu();
    void BuildTimers();
    void PlaceAnchoredControls();
    void FitClockFont();

    void ReadSettings();
    void SaveSettings();
    void WatchSettings();
    // A keyboard command on owner (the window, or a widget for WidgetShortcut).
    QAction *AddCommand(QWidget *owner, const QString &name, const QString &caption,
                        const QList<QKeySequence> &keys, std::function<void()> handler,
                        Qt::ShortcutContext context = Qt::WindowShortcut);
    // Wall-clock time of the journal's events, ms since the epoch.
    static qint64 WallNow();
    void BuildCorrectionDesk();
    void BuildAudience();
    // The announcement of a counted press and the new version of the standings.
    void AnnouncePress(int crossing);
    // Empties the pass log and the correction log for the next race.
    void ClearCorrectionDesk();
    bool CanCorrect() const;
    // Applies an event to the session and hands it to the journal (at once, or after the
    // repaint for a counted press); then the views follow.
    TRaceSession::TApplied Record(TRaceEvent event);
    void Journalize(const TRaceEvent &event);
    // The views after the session changed: standings, pass log, laps field, board, live page.
    void ShowSession(bool passLogReload = true);
    // The window follows the session's state: timers, the start button, the header.
    void FollowState(TRaceSession::TState state);
    // After a race was started, resumed or opened: the header and the views show it.
    void ShowLoadedRace();
    void ShowCorrectionResult();
    // Shows a crossing (0: none) in the latest-press line.
    void ShowLatestPress(int crossing);
    // Confirms the held or locked press the latest-press line shows; false when it shows none.
    bool ConfirmShownPress();
    // Confirms a held or locked press; false when the crossing is neither.
    bool ConfirmPress(int crossing);
    QPair<QString, QString> StarterOfCar(int car) const;
    void OpenJournal(const QString &journalPath);
    void ShowJournalWarning(const QString &message);
    void GiveKeyListRoom(bool room);
    void ShowNoticeText(const QString &text);
    void ResumeRace(const TRaceSummary &race, const QList<TRaceEvent> &events);
    void RecordRaceEvent(TRaceEvent::Kind kind);
    void BeginRunning();
    void SyncState();
    // A start number or driver typed into the standings.
    void StarterTyped(int row, int col, const QString &text);
    void ShowRaceStopped();
    void ShowSetup(const TRaceSetup &setup);
    void LeaveArchivedRace();
    // Lists the other stations' races in "Frühere Rennen" too, read from the club server.
    void ListOtherStations(bool all);
    // Shows a race read-only from its events; false (and a notice) without a START.
    bool ShowRaceReadOnly(const QString &title, qint64 startedWallMs,
                          const QList<TRaceEvent> &events);
    void BuildServerReading();
    std::unique_ptr<TServerReader> FServerReader;
    QString FStationId;
    void ShowStarterList(const StarterList &rows);
    bool AskYesNo(const QString &question, bool focusOnNo);
    void ShowStartButton(const QString &caption, const QColor &color, const QColor &lightColor);
    void StartRace();
    void StopRace();
    void ResetRace();
    void EndRace();
    void SetHeaderLocked(bool locked);
    bool meTimeKeyPress(QChar typed);

    const TTickCounter &FTicks;
    TSettingsStore FSettings;
    TFDlgYesNo *FDlgYesNo = nullptr;
    TLapKeyFilter *FLapKeyFilter = nullptr;
    QString FPendingNotice;
    static constexpr QEvent::Type kJournalFlushEvent = QEvent::Type(QEvent::User + 1);
    QList<QPair<qint64, TRaceEvent>> FJournalOutbox;
    int FLatestCrossing = 0; // pressed, waiting for the pass log and the announcement
    // Presses made while the resume question is open: they go into the race if it is resumed.
    struct TWaitingPress
    {
        int car;
        quint32 stamp;
        bool overLock;
    };
    std::optional<QList<TWaitingPress>> FPressesAtResume;
    // The car whose crossing Ctrl and its lap key found last: pressed again, the one before.
    int FFoundCar = 0;
    // The window's size, and whether it was maximised, before the standings were zoomed.
    std::optional<std::pair<QSize, bool>> FSizeBeforeZoom;
    // The crossing the latest-press line shows.
    int FShownLatest = 0;
    bool FJournalFlushPosted = false;
    QTimer *FSettingsSaver = nullptr;
    TArchiveWindow *FArchive = nullptr;
    bool FViewingArchive = false;
    bool FStarterListReading = false;
    TRaceSetup FSetupBeforeArchive;
    bool FClosing = false;
    TRaceSession::TState FShownState = TRaceSession::TState::Ready;
    // The car whose row is marked for a moment after its press.
    int FMarkedCar = 0;
    bool FExportingFiles = false;
    qint64 FAnalysisVersion = -1;
    std::unique_ptr<TThreadedSpeechOutput> FSystemSpeech;
    QPointer<TSpeechOutput> FSpeechOutput; // the one the announcer speaks through
    void ShowSpeechProblem(const QString &reason);
    int FBaseRowHeight = 0;
    int FPendingMark = 0; // pressed, marked once the press is on the screen
    void MarkPressedRow();
    QTimer *FMarkTimer = nullptr;
    // The race day's heat on the keys, and what the status line and the audience show of its day.
    THeatOnKeys FHeat;
    THeatOnKeys FHeatBeforeArchive;
    QString FHeatNext;
    QList<TLiveHeat> FSchedule;
    qint64 FHeatVersion = -1;
    QString FJournalPath;
    void BuildRaceDay();
    void BuildClubServer();
    // At the close: the journal's last changes go to the server, within a bounded wait.
    void FinishClubServer();
    void ShowClubServerState(const TReplicationState &state);
    void AskClubServerPassword(const TClubServerConfig &config,
                               std::function<void(const QString &password)> done);
    void ShowHeatLine();
    // Forgets the heat on the keys (a new race, a starter list, a reset).
    void DropHeat();
    // After a race was started, resumed or opened: the heat its START names, if any.
    void FollowHeatOfRace();
};

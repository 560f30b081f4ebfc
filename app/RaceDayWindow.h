#pragma once

#include "FormMain.h"
#include "HeatsAcrossStations.h"
#include "OpenDialog.h"
#include "RaceDay.h"
#include "RaceDayOutcome.h"
#include "RaceDayStore.h"
#include "StarterListCollector.h"

#include <QHash>
#include <QMap>
#include <QPointer>
#include <QSet>
#include <QWidget>

#include <memory>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableWidget;
class QTextBrowser;
class QTimer;
class QTreeWidget;
class TLateCorrectionWindow;
class TRaceDayWorker;

// "Veranstaltung": a club's race day. Its entrants (read from a starter list, added, edited,
// marked absent), the club's rules, the heats of each class's rounds (split, seeded, a driver
// moved before his heat starts), a heat put on the main window's keys, and the day's results.
//
// The plan is kept in the journal file through the race-day store, on a thread of its own, as is
// the working out of the results (ComputeRaceDay over the heats' races): neither holds up the
// keys. The results are worked out when the window is shown and after a heat's race changed.
class TRaceDayWindow : public QWidget
{
    Q_OBJECT

public:
    explicit TRaceDayWindow(TFormMain *main);
    ~TRaceDayWindow() override;

    // ---- The day ----
    QComboBox *DayChoice = nullptr;
    QPushButton *NewDayButton = nullptr;
    QPushButton *DeleteDayButton = nullptr;
    // With a club server: a day made on another station, taken over to time heats of it here.
    QPushButton *TakeOverButton = nullptr;
    QLineEdit *NameEdit = nullptr;
    QDateEdit *DateEdit = nullptr;
    QComboBox *SeasonChoice = nullptr;
    QTabWidget *Tabs = nullptr;
    // ---- Entrants ----
    QTableWidget *Entrants = nullptr; // Nr., Fahrer, Klasse, abwesend
    QPushButton *ReadListButton = nullptr;
    QPushButton *AddButton = nullptr;
    QPushButton *RemoveButton = nullptr; // the marked rows, after a question
    QPushButton *UndoButton = nullptr;   // Ctrl+Z: the last removal or replaced list comes back
    TOpenDialog OpenDialog = StarterListOpenDialog();
    // ---- Rules ----
    QSpinBox *HeatSize = nullptr;
    QComboBox *Ranking = nullptr;
    QComboBox *Combine = nullptr;
    QSpinBox *FinalSize = nullptr;
    QSpinBox *BumpUp = nullptr;
    QLineEdit *PointsTable = nullptr;
    QSpinBox *FastestLapBonus = nullptr;
    QSpinBox *BestQualifierBonus = nullptr;
    QSpinBox *DnsPoints = nullptr;
    QSpinBox *DnfPoints = nullptr;
    QSpinBox *DsqPoints = nullptr;
    // ---- Heats ----
    QComboBox *ClassChoice = nullptr;
    QComboBox *OrderChoice = nullptr; // THeatOrder
    QPushButton *SplitButton = nullptr;
    QPushButton *FinalsButton = nullptr;
    QTreeWidget *Heats = nullptr; // round, heat, driver; a heat's or driver's data: heat id
    QPushButton *MoveUpButton = nullptr;
    QPushButton *MoveDownButton = nullptr;
    QPushButton *StartButton = nullptr;
    // "Nachträglich korrigieren…": a window of its own for the race of an ended heat.
    QPushButton *LateCorrectionButton = nullptr;
    // ---- Results ----
    // Heats timed on two stations, each with its races: the operator chooses which counts.
    QTreeWidget *Conflicts = nullptr;
    QPushButton *ChooseButton = nullptr;
    QTextBrowser *Results = nullptr;
    QPushButton *ExportButton = nullptr;
    QLabel *Message = nullptr;

    const TRaceDay &Day() const { return FDay; }
    const TRaceDayOutcome &Outcome() const { return FOutcome; }
    // Whether the store is being read or written or the results worked out; tests wait for it.
    bool Busy() const { return FJobs > 0; }
    // Waits for every job given to the store (tests).
    void WaitForStore();

    // Heats of the day timed on two stations, as last worked out.
    const QList<THeatConflict> &HeatConflicts() const { return FConflicts; }
    // Keeps which station's race counts for a heat timed on two, and works the results out again.
    void ChooseHeatRace(int heatId, const QString &station, qint64 raceId);
    // Keeps another station's day here (its origin kept), so heats of it can be timed here; a
    // day taken over before is only selected.
    void TakeOverDay(const TServerDay &day);
    // Lists the other stations' days on the club server to take one over.
    void OfferServerDays();
    // Picks one of the texts; -1 when cancelled. A dialog unless replaced (tests).
    std::function<int(const QStringList &days)> ChooseServerDay;

    // A new day; kept at once.
    void NewDay(const QString &name, const QDate &date);
    bool SelectDay(qint64 dayId);
    // Entrants from a starter list, read on a thread of its own. A day with entrants asks first
    // whether the list replaces them or adds to them; added start numbers a class has already
    // are reported.
    void ReadStarterList(const QString &fileName);
    // The day and its plan go, after a question naming it; its heats' races stay in the journal.
    void DeleteDay();
    // Brings back what the last removal of entrants or replaced starter list took.
    bool UndoRemoval();

    // Splits the class's present entrants into the heats of a qualifying round: the class's last
    // qualifying round again while none of its heats has started, else a new one.
    bool SplitHeats(const QString &className, THeatOrder order);
    // The finals of the class as the qualifying seeds them now; a class without qualifying is
    // seeded by its present entrants in list order. Says in the message line what was done.
    bool SeedFinals(const QString &className);
    // Moves a driver to the heat before (-1) or after (+1) his own in the same round, at its end;
    // only while neither heat has started.
    bool MoveDriver(int entrantId, int step);
    // Puts the heat on the main window's keys.
    bool StartHeat(int heatId);
    // The selected heat in the tree (a driver's line selects his heat); 0 when none.
    // Whether the heat's race may be corrected after a protest: it has ended and is no longer
    // on the keys (the main window corrects that one), and this station timed it.
    bool CanCorrectLate(int heatId) const;
    // Reads the heat's race from the journal on the store's thread and opens its window of late
    // corrections; that race's window when it is open already. False when refused.
    bool OpenLateCorrection(int heatId);
    // The open window of late corrections of a race; null when none.
    TLateCorrectionWindow *LateCorrection(qint64 raceId) const;
    int SelectedHeat() const;
    int SelectedEntrant() const;
    bool SelectEntrant(int entrantId);
    bool HeatStarted(int heatId) const;
    // A heat as the main window's keys take it; for a race resumed after a crash. Reads the day
    // from the store and waits for it (done once, at the resume).
    TFormMain::THeatOnKeys HeatOnKeysOf(qint64 dayId, int heatId);

    // The day's results as page, PDF and workbook beside the race exports.
    void ExportDay();

    // Reports a refusal or a failure; a message box unless replaced (tests record the text).
    std::function<void(const QString &text)> ShowMessage;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildDayRow();
    QWidget *BuildEntrantsTab();
    QWidget *BuildRulesTab();
    QWidget *BuildHeatsTab();
    QWidget *BuildResultsTab();
    void Reload(qint64 selectId);
    void ShowDay();
    void ShowEntrants();
    void ShowRules();
    void ShowHeats();
    void ShowResults();
    void ShowClasses();
    void TakeRules();
    // The latest kept day (of the season, unless 0) other than besides; null when none.
    const TRaceDay *LatestDay(qint64 seasonId, qint64 besides) const;
    // The day's rules and points from another day, said in the message line.
    bool TakeRulesOf(const TRaceDay *day);
    void EntrantEdited(int row, int column);
    void AddEntrant();
    void RemoveEntrants();
    // Keeps the entrants and heats as they are now for UndoRemoval().
    void KeepForUndo(const QString &what);
    // Another change of the entrants or heats: an undo would take it back too, so none is left.
    void DropUndo();
    // Takes the entrants read from a list: replacing the day's, or added to them.
    void TakeListEntrants(const StarterList &rows, const QString &fileName, bool replace);
    // Keeps the day as it is now; the store's answer comes back later.
    void Save();
    // Works the results out again, a moment after the last change asked for it.
    void Recompute();
    // The day's results from the journal and the other stations' heat races.
    void Work(const QList<TServerHeatRace> &server);
    // The results worked out at once, this station's heats only, waiting for the store.
    void WorkNow();
    void ShowConflicts();
    void TakeOutcome(const TRaceDay &stored, const TRaceDayOutcome &outcome,
                     const QList<THeatConflict> &conflicts);
    // Re-seeds the finals not yet started whose drivers are still as seeded last.
    void FollowSeeding();
    // Selects the first final and scrolls its round to the top of the heats.
    void ShowFinalsInView(int firstFinalId);
    // Tells the main window the next heat and the day's schedule.
    void TellProgress();
    void Report(const QString &text);
    int NextHeatId() const;
    int NextRoundId() const;
    TFormMain::THeatOnKeys HeatOnKeys(const TRaceDay &day, int heatId) const;
    template <class Result, class Job, class Done> void Ask(Job job, Done done);
    // The heat's race read for late corrections; read again while the journal still writes it.
    void ReadLateRace(int heatId, qint64 raceId, int tries);
    void ShowLateCorrection(int heatId, qint64 raceId, const QList<TRaceEvent> &events);
    void FollowLateCorrectionButton();

    TFormMain *FMain;
    std::unique_ptr<TRaceDayWorker> FWorker;
    // The id the store gave the day being made, shared with its saves still waiting; each new
    // day has its own.
    std::shared_ptr<qint64> FNewDayId;
    QList<TRaceDay> FDays;
    QList<TSeason> FSeasons;
    TRaceDay FDay;
    TRaceDayOutcome FOutcome;
    QList<THeatConflict> FConflicts;
    QString FStationId; // this journal's id on the club server
    QTimer *FRecomputeTimer = nullptr;
    // The message says the other stations' heats are missing; cleared once they are read.
    bool FServerMissingShown = false;
    // Heats whose race runs on another station now, as the server last said.
    QSet<int> FRunningElsewhere;
    // What the last removal took: the day's entrants and heats before it.
    struct TUndo
    {
        qint64 dayId = 0;
        QString what;
        QList<TEntrant> entrants;
        QList<TRound> rounds;
    } FUndo;
    // Per qualifying round, its heats as last drawn: a round changed by hand since is redrawn
    // only after a question.
    QMap<int, QList<QList<int>>> FDrawn;
    // Per driver moved by hand, the heats and places he left, latest last: moved back, he takes
    // his place (and key) again.
    QMap<int, QList<std::pair<int, qsizetype>>> FMovedFrom;
    int FJobs = 0;
    bool FShowing = false;
    // The windows of late corrections, by race; and the races whose latest correction the
    // journal is still storing, with its number, for the results to follow.
    QHash<qint64, QPointer<TLateCorrectionWindow>> FLateCorrections;
    QHash<qint64, int> FLateStoring;
    // The day's rules are those it took when it was made, not changed since.
    bool FRulesAsTaken = false;
};

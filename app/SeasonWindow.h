#pragma once

#include "RaceDay.h"
#include "RaceDayOutcome.h"
#include "RaceDayStore.h"
#include "ServerReads.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTableWidget;
class TFormMain;
class TRaceDayWorker;

// "Meisterschaft": the seasons (name, best N of M days), the race days in each, renames joined
// by hand, and per class the season table, worked out on the store's own thread from the
// journal.
class TSeasonWindow : public QWidget
{
    Q_OBJECT

public:
    explicit TSeasonWindow(TFormMain *main);
    ~TSeasonWindow() override;

    QComboBox *SeasonChoice = nullptr;
    QPushButton *NewButton = nullptr;
    QPushButton *DeleteButton = nullptr;
    QLineEdit *NameEdit = nullptr;
    QSpinBox *BestOf = nullptr;  // 0: every day counts
    QListWidget *Days = nullptr; // every race day, checked when in the season
    QComboBox *ClassChoice = nullptr;
    QTableWidget *Table = nullptr; // place, Nr., Fahrer, a column per day, Gesamt
    QPushButton *JoinButton = nullptr;
    QPushButton *UndoButton = nullptr; // Ctrl+Z: the last join is taken back
    QPushButton *ExportButton = nullptr;
    QLabel *Message = nullptr;

    // Reads seasons and days again and works the table out.
    void Reload();
    bool Busy() const { return FJobs > 0; }
    void WaitForStore();
    void NewSeason(const QString &name);
    // Joins the drivers of two table lines after a question naming both: the later spelling
    // counts as the earlier.
    bool JoinLines(int firstRow, int secondRow);
    // Takes the last join made here back.
    bool UndoJoin();
    // The season goes, after a question naming it; its days stay, in no season.
    void DeleteSeason();
    const QList<TSeasonLine> &Lines() const { return FLines; }
    void ExportSeason();

    std::function<void(const QString &text)> ShowMessage;

private:
    void ShowSeason();
    void TakeSeason();
    void DayToggled(qint64 dayId, bool inSeason);
    // Reads the other stations' races of the season's days, then works the table out.
    void Work();
    void WorkWith(const QList<TServerHeatRace> &server);
    void ShowTable();
    void Report(const QString &text);
    TSeason *Current();
    // A plan was written to the journal: the club server is told.
    void Saved(bool saved);
    // Stores the season on the store's thread and shows the table as it now stands.
    void StoreSeason(const TSeason &season);

    TFormMain *FMain;
    std::unique_ptr<TRaceDayWorker> FWorker;
    QList<TSeason> FSeasons;
    QList<TRaceDay> FDays;
    // The season's days with their results, latest last; worked out on the store's thread.
    QList<std::pair<TRaceDay, TRaceDayOutcome>> FWorked;
    QList<TSeasonLine> FLines;
    QList<TSeasonDay> FShownDays;
    qint64 FSeasonId = 0;
    // The join UndoJoin() takes back, in the season it was made in.
    qint64 FJoinSeasonId = 0;
    std::optional<TSeasonJoin> FLastJoin;
    QString FStationId; // this journal's id on the club server
    int FJobs = 0;
    bool FShowing = false;
    // A season just made (its id): its name is selected for typing once it is shown.
    qint64 FNameToType = 0;
};

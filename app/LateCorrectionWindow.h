#pragma once

#include "CorrectionCommands.h"
#include "RaceEvent.h"
#include "RaceSession.h"

#include <QWidget>

#include <functional>
#include <memory>

class QLabel;
class QStatusBar;
class TCorrectionDesk;
class TRaceJournal;
class TSortGrid;
class TStandingsView;

// "Nachträgliche Korrektur": a race that has ended, corrected after a protest while another race
// runs on the main window's keys. It holds the race in a session of its own, loaded from the
// race's events in the journal: the standings (read only), the pass log and the correction log,
// and the main window's correction desk commands with the same keys. Every correction is an
// event appended to that race in the journal, and the race's outcome there follows.
class TLateCorrectionWindow : public QWidget
{
    Q_OBJECT
public:
    // events: the race's events as the journal keeps them, START first; label: what the window
    // title names the race by.
    TLateCorrectionWindow(TRaceJournal *journal, qint64 raceId, const QString &label,
                          const QList<TRaceEvent> &events, const TTickCounter &ticks,
                          QWidget *parent);
    ~TLateCorrectionWindow() override;

    qint64 RaceId() const { return FRaceId; }

    TRaceSession Session;
    TSortGrid *Grid = nullptr;
    TCorrectionDesk *Desk = nullptr;
    QLabel *Heading = nullptr;
    QStatusBar *Status = nullptr;
    // The commands; tests answer their questions (AskCrossing, AskNumber).
    TCorrectionCommands *Commands = nullptr;
    TCorrectionCommands::TActions Actions;

    // Called after each correction is handed to the journal.
    std::function<void()> OnCorrected;

private:
    bool Correct(const TRaceEvent &correction);
    void ShowRace();
    void ShowStandingsMenu(const QPoint &pos);

    TRaceJournal *FJournal;
    qint64 FRaceId;
    std::unique_ptr<TStandingsView> FStandings;
};

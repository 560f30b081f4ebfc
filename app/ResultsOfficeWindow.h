#pragma once

#include "RaceEvent.h"
#include "RaceSession.h"
#include "ServerReads.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class QLabel;
class QTableWidget;
class QTimer;
class TServerReader;
struct TReplicationState;

// "Ergebnisbüro": every station's races on the club server, and the chosen race's standings as
// its station shows them, worked out from its events by the same race session that times it. A
// press at a station shows here as soon as the server tells of it. It only reads: no key here
// changes a race.
class TResultsOfficeWindow : public QWidget
{
    Q_OBJECT
public:
    // defaultAccuracy: the digits after the seconds for races recorded without their own.
    TResultsOfficeWindow(TServerReader *reader, int defaultAccuracy = 1, QWidget *parent = nullptr);
    ~TResultsOfficeWindow() override;

    // The wall-clock time in ms since the epoch (UTC); a running race's "Zeit" follows it.
    std::function<qint64()> WallNow;

    QLabel *ServerState = nullptr;
    QTableWidget *Races = nullptr; // Station, Beginn, Rennen, Zustand, Sieger
    QLabel *RaceTitle = nullptr;
    QTableWidget *Standings = nullptr; // the station's standings columns

    // Reads the race list again.
    void Refresh();
    const QList<TServerRace> &RaceList() const { return FRaces; }
    // Shows a race's standings and follows it; false when it is not listed.
    bool SelectRace(const QString &station, qint64 raceId);
    // The standings' text at a row (1 = first place) and column, as the station's grid has it.
    QString Cell(int column, int row) const;

private:
    void ShowRaces();
    void TakeEvents(const QString &station, qint64 raceId, const QList<TRaceEvent> &events);
    void Replay();
    void ShowStandings();
    void ShowState(const TReplicationState &state);
    // Writes the running lap times as the station's clock stands now.
    void TickClock();
    quint32 StationTickNow() const;

    // A clock that stands: the office shows laps and times as pressed, not a running clock.
    class TStandingClock : public TTickCounter
    {
    public:
        quint32 GetTickCount() const override { return 0; }
    };

    QPointer<TServerReader> FReader;
    TStandingClock FClock;
    QList<TServerRace> FRaces;
    QString FStation; // the race shown
    qint64 FRaceId = 0;
    QList<TRaceEvent> FEvents;
    std::unique_ptr<TRaceSession> FSession;
    QTimer *FRefreshTimer = nullptr;
    QTimer *FClockTimer = nullptr;
    int FDefaultAccuracy;
};

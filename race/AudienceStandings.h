#pragma once

#include <QList>
#include <QString>

// What the people around the track see of the race: a copy of the standings as the window shows
// them, with every time already written as text by the window, so this side formats nothing.
enum class TLiveState { lsReady, lsRunning, lsStopped, lsEnded };

struct TLiveRow
{
    int position = 0; // 1 for the leader; 0 for a car without a completed lap
    int car = 0;      // 1..12, the car's key F1..F12
    QString startNumber;
    QString driver;
    int laps = 0;
    QString lastLap;
    QString bestLap;
    QString gap;           // to the leader, in time; says nothing of laps (see lapsBehind)
    bool finished = false; // no longer awaited: its laps are done, or a verdict took it out
    bool overdue = false;  // not seen for the warning time
    QString status;        // "DNS", "DNF", "DSQ" when a verdict took the car out, else empty
    int lapsBehind = 0;    // whole laps behind the leader as classified; 0 without a lap
};

// One heat of a race day as the live page lists the day's schedule.
struct TLiveHeat
{
    QString label; // "Klasse A · Vorlauf 1 · Lauf 2"
    QString state; // "fertig", "läuft" or "offen"
};

struct TLiveStandings
{
    QString title;
    QString session;    // "Rennen" or "Training"
    QString clock;      // the race clock as the header shows it
    QString clockLabel; // what the clock shows, e.g. "Restzeit"
    TLiveState state = TLiveState::lsReady;
    int lapsToGo = 0; // for the leader
    int leaderLaps = 0;
    int lastCar = 0; // the car that crossed last, 0 before the first press
    // Rises with every press, so a client can tell a newer snapshot from the one it has.
    qint64 version = 0;
    QList<TLiveRow> rows; // in standings order
    // On a race day: the heat in the standings ("Klasse A · Vorlauf 1 · Lauf 2"), and every heat
    // of the day in running order; both empty for an ordinary race.
    QString heat;
    QList<TLiveHeat> schedule;
};

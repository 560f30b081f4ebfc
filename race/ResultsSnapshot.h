#pragma once

#include <QDate>
#include <QList>
#include <QString>

// One standings row as the results read it: the car standing in that grid row, the row's
// "Nr." and "Fahrer" texts and the car's completed laps.
struct TResultsRow
{
    int car = 0;         // the car's number, 1 to 12 (its lap key)
    QString startNo;     // grid column "Nr."
    QString driver;      // grid column "Fahrer"
    qint32 best = 0;     // shortest completed lap in ms; 2147483647 before the first lap
    QList<qint32> laps;  // duration of lap k at index k - 1, one entry per completed lap
    QList<qint32> cross; // race time at the end of lap k at index k - 1
    // The race control's verdict: "DNS", "DNF", "DSQ" or empty, a time penalty and laps taken
    // off; the row's place in the list already follows from them.
    QString status;
    qint32 penaltyMs = 0;
    int lapsOff = 0;

    int count() const { return int(laps.size()); }
    // Whether the race control gave the car a status, a penalty or laps off.
    bool hasVerdict() const { return !status.isEmpty() || penaltyMs > 0 || lapsOff > 0; }
    // What the exports write as the car's place: "3.", or its status, with a penalty or laps
    // taken off behind it ("3. (+10 s)", "DNF", "2. (-1 R.)").
    QString placeText(int position) const;
    // Duration of lap `lap`, or 0 when the car has not completed it.
    qint32 lapTime(int lap) const;
    // Race time at the end of lap `lap`, or 0 for lap 0 and for a lap not completed.
    qint32 total(int lap) const;
};

// One recorded crossing as the pass log lists it, counted or not.
struct TCrossingLine
{
    QString time; // time of day of the crossing, "14:03:12"
    int car = 0;
    QString startNo;
    QString driver;
    int lap = 0;       // the lap it completes; 0 when it does not count
    qint32 raceMs = 0; // race time
    qint32 lapMs = 0;  // that lap's duration; 0 when it does not count
    QString note;      // "gelöscht", "nach dem Ziel: zählt nicht", ...
};

// One line of the correction log: when the change was made and what it changed.
struct TCorrectionLine
{
    QString time; // time of day, "14:03:12"
    QString text; // "Runde von F3 bei 1:02.4 gelöscht"
    bool operator==(const TCorrectionLine &) const = default;
};

// Everything the results page and the workbook show, copied out of the window and the race
// tables so that the writers need no window and change nothing in the race.
struct TResultsSnapshot
{
    QString appTitle;        // the main window's caption
    QString title;           // race title
    QString mode;            // kind of run: "Rennen" or "Training"
    int raceLaps = 0;        // configured laps of the race
    int leaderLaps = 0;      // laps completed by the leader so far (n)
    bool flagFallen = false; // the chequered flag has fallen (never under "Alle Runden")
    double lapLength = 0;    // km
    int acc = 1;             // digits after the seconds in time texts
    QDate date;              // the day of the export
    QList<TResultsRow> rows; // grid rows 1 to N in standings order
    // The corrections made to the race, in the order made; empty for a race without any.
    QList<TCorrectionLine> corrections;
    // Every crossing recorded, in race-time order; empty where the race kept none.
    QList<TCrossingLine> crossings;

    int carCount() const { return int(rows.size()); }
    // Whether the lap tables show each car's own laps and total, penalty included: once the
    // flag has fallen (a lapped car ends with fewer laps than the leader) or when a verdict
    // applies (the order is no longer that of the race times). Otherwise every car shows the
    // leader's laps and its race time at the leader's last lap.
    bool showsOwnLaps() const;
};

// The race distance (lap length times laps) in the general number format of the default
// locale: up to 15 significant digits, no trailing zeros, no group separators.
QString DistanceText(const TResultsSnapshot &snapshot);

// The export date in the default locale's short date format.
QString DateText(const TResultsSnapshot &snapshot);

#pragma once

#include "ResultsSnapshot.h"

#include <QList>
#include <QString>

#include <optional>

// One line of the classification as the CSV and PDF results show it, every value as text.
struct TClassificationLine
{
    int position = 0; // 1 for the first standings row
    QString place;    // as written: "1.", "DNF", "3. (+10 s)"
    QString status;   // "DNS", "DNF", "DSQ" or empty
    QString carKey;   // the car's lap key, "F1" to "F12"
    QString startNo;
    QString driver;
    int laps = 0;      // completed laps, less any taken off
    QString totalTime; // race time at the car's last completed lap plus any penalty; empty
                       // before its first
    QString bestLap;   // empty before the first lap
    QString gap;       // to the leader: "+2 Runden" when laps behind, else the time; empty
                       // for the leader and for a car without laps
    // The same times in milliseconds, where the texts hold a time.
    std::optional<qint32> totalMs;
    std::optional<qint32> bestMs;
    std::optional<qint32> gapMs;
};

// The standings rows in order, with their times as long time texts of the snapshot's
// accuracy. The gap of a car on the leader's lap count is the difference of the two race
// times at that lap, as the standings show it.
QList<TClassificationLine> Classification(const TResultsSnapshot &snapshot);

// The car's race time at its last completed lap plus any penalty; none before its first lap.
std::optional<qint32> ClassifiedTotal(const TResultsRow &row);

// "+1 Runde", "+2 Runden".
QString LapsBehindText(int laps);

// The car's lap key text, "F3" for car 3.
QString CarKeyText(int car);

// A duration as the exports show it: always with hours, minutes and seconds.
QString LongTimeText(qint32 ms, int acc);

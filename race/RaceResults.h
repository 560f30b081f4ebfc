#pragma once

#include "ResultsSnapshot.h"

#include <QString>

class TRaceTiming;
class TStandingsTable;

// What the exports take from the window's header fields.
struct TResultsHeader
{
    QString appTitle;     // the window caption
    QString title;        // eTitle
    QString mode;         // cbTip: "Rennen" or "Training"
    int carCount = 0;     // seCarCount: the cars shown, N
    int lapsField = 0;    // seKrugs: during a race the leader's remaining laps
    double lapLength = 0; // feDist, km
};

// Copies the results out of the race tables, the standings and the header for the exports:
// standings rows 1 to N in their order with the car of each row, its "Nr." and "Fahrer" texts
// and its laps. The leader's laps are the configured laps minus what the laps
// field shows, kept within the laps actually recorded, so a field edited after a race can
// never point past the tables.
TResultsSnapshot RaceResults(const TRaceTiming &race, const TStandingsTable &standings,
                             const TResultsHeader &header);

// The rows of RaceResults alone, standings rows 1 to carCount: for working out results without
// the snapshot's header (its date is read through the time zone, slow for many races).
QList<TResultsRow> RaceResultRows(const TRaceTiming &race, const TStandingsTable &standings,
                                  int carCount);

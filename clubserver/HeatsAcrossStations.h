#pragma once

#include "RaceDay.h"
#include "RaceDayOutcome.h"
#include "RaceDayStore.h"
#include "ServerReads.h"

#include <QHash>
#include <QList>
#include <QString>

// A race day whose heats were timed on several stations: each heat's race is this station's
// (from its journal) or another station's (from the club server). Within one station the latest
// race of a heat counts; a heat timed on two stations is never merged: it counts only once the
// operator has chosen which station's race it is.

// One station's race of a heat.
struct THeatCandidate
{
    QString station;
    QString stationLabel; // its machine name as the server knows it
    qint64 raceId = 0;    // on that station
    bool operator==(const THeatCandidate &) const = default;
};

// A heat timed on two (or more) stations.
struct THeatConflict
{
    int heatId = 0;
    QList<THeatCandidate> candidates; // one per station, this station's first
    bool chosen = false;              // a candidate was chosen: the heat counts with it
    THeatCandidate choice;

    // "Lauf doppelt gezeitet: Station X und Station Y – bitte wählen"
    QString text() const;
};

struct TDayAcrossStations
{
    // THeat::raceId > 0: a race of this journal; < 0: another station's, its events in remote.
    TRaceDay day;
    QHash<qint64, QList<TRaceEvent>> remote;
    QList<THeatConflict> conflicts;
};

// The heats' races of the day (as the store read it, raceId of this journal set) with the other
// stations' races of the day on the server and the operator's choices.
TDayAcrossStations HeatsAcrossStations(const TRaceDay &day, const QString &ownStation,
                                       const QList<TServerHeatRace> &server,
                                       const QList<THeatChoice> &choices);

// The day's results with its heats' races from the journal and from the server; best laps
// compared as shown with acc digits after the seconds.
TRaceDayOutcome ComputeDayAcrossStations(const TDayAcrossStations &across, TRaceDayStore &store,
                                         int acc);

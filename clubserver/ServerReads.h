#pragma once

#include "RaceDay.h"
#include "RaceEvent.h"
#include "RaceSummary.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>

// What a reader takes from the club server: every station's races, a race's events, the race
// days' plans and which races timed their heats. Plain reads on an open connection, on the thread
// that owns it; a failure leaves error set (in German) and returns nothing.

// A race as its station last sent it.
struct TServerRace
{
    QString station;
    QString stationLabel; // stationName() of the station
    TRaceSummary summary; // id: the race's id on its station
};

// A race day's plan as a station sent it.
struct TServerDay
{
    QString station;
    QString stationLabel;
    qint64 docId = 0;
    QString origin;       // "<station>/<id>" where the day was made
    QString seasonOrigin; // the day's season, empty for none
    TRaceDay day;         // origin set, ids 0
};

// A race that timed a heat of a day, and (for another station's race) its events.
struct TServerHeatRace
{
    QString station;
    QString stationLabel;
    qint64 raceId = 0;
    QString dayOrigin;
    int heatId = 0;
    qint64 startedMs = 0;
    bool running = false; // no stop or end has reached the server yet
    QList<TRaceEvent> events;
};

namespace ServerReads {

// A station as readers show it: "<label> (<login>)", the login being the server's own record
// of who registered it, so no label can pass for another login's station; the login alone
// without a label.
QString stationName(const QString &label, const QString &login);

// Every race not removed on its station, oldest first.
QList<TServerRace> races(QSqlDatabase &db, QString *error);
// The race's events with a sequence number above afterSeq, in order.
QList<TRaceEvent> events(QSqlDatabase &db, const QString &station, qint64 raceId, int afterSeq,
                         QString *error);
// Every race day not removed on its station, the latest date first.
QList<TServerDay> days(QSqlDatabase &db, QString *error);
// The races that timed heats of the days made at these origins; the events are read for the
// races of stations other than ownStation (this station's races are in its own journal).
QList<TServerHeatRace> heatRaces(QSqlDatabase &db, const QStringList &dayOrigins,
                                 const QString &ownStation, QString *error);

} // namespace ServerReads

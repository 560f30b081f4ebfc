#pragma once

#include <QSqlDatabase>
#include <QString>

class QSqlQuery;

// What a station's login does to send as a station: register it (or give it its label anew),
// and whether it may, tried without leaving a trace.
namespace StationAccess {

// Registers station under the login with label, or sets the label of the login's station
// anew. On a failure query holds the error.
bool registerStation(QSqlQuery &query, const QString &station, const QString &label);

// Tries everything the station writes (its registration, a race's row, an event, a plan) in a
// transaction that is rolled back. Empty when the login may send as station (a new one when
// empty), else the reason in German.
QString tryToSend(QSqlDatabase &db, const QString &login, const QString &station,
                  const QString &label);

// Whether the login may read what a results office reads; empty when it may.
QString tryToRead(QSqlDatabase &db);

} // namespace StationAccess

#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// The club server's tables, in the schema "talvenbahn", and the steps that bring an older
// database up to date. Each step is an SQL file of its own (installed with the program, too), run
// in one transaction; a step that has shipped is never changed, the next one is added.
namespace ServerSchema {

// 1: stations, races, events and the station and reader roles. 2: race day and season plans,
// the heats' races, notices to listeners. 3: a bad START no longer breaks the heats' races;
// station labels without brackets, renamed by their own login.
inline constexpr int kVersion = 3;

// The statements of the step to version n, in order.
QStringList statementsOf(int version);

// The database's version; 0 without the schema, -1 on an error (error set, in German).
int version(QSqlDatabase &db, QString *error);
// Brings the database to version target (kVersion by default) in one transaction. Needs a
// login that may create schemas and roles (the database's owner with CREATEROLE, or a
// superuser). A database already there is left alone; a newer one is refused.
bool upgrade(QSqlDatabase &db, QString *error, int target = kVersion);

enum class Login { Station, Reader };
// A login may hold letters, digits and "_", starting with a letter.
bool isValidLoginName(const QString &name);
// Makes the login (or sets its password anew) as a station's or a results office's.
bool addLogin(QSqlDatabase &db, const QString &name, const QString &password, Login kind,
              QString *error);

struct TNewLogin
{
    QString name;
    QString password;
    Login kind = Login::Station;
};
// Brings the database to kVersion like upgrade() and makes the logins, all in one transaction:
// on any failure nothing is changed.
bool setUp(QSqlDatabase &db, const QList<TNewLogin> &logins, QString *error);

} // namespace ServerSchema

#pragma once

#include <QString>

class QSqlError;

// The German texts for what the club server answered. libpq gives its own texts in the
// program's language (English or German); both are understood.
namespace ServerMessages {

// Why it failed, as a short sentence for the status bar and the dialog.
QString reason(const QSqlError &error);

// The connection was lost or never made (as opposed to a refused statement): the replicator
// then waits and connects afresh.
bool isConnectionLost(const QSqlError &error);

// The server answered and said no: a wrong password, no TLS where it is required, an untrusted
// certificate, no such database, a login it does not admit.
bool isRefusal(const QSqlError &error);

QString notSetUp();
QString tooNew(int version, int known);
QString tooOld(int version);
// Why a database of version cannot be used by this program; empty when it can.
QString versionProblem(int version, int known);

} // namespace ServerMessages

#pragma once

#include "ClubServerConfig.h"

#include <QSqlDatabase>
#include <QString>

// One named connection to the club server through Qt's PostgreSQL driver, removed again when the
// object goes. A connection belongs to the thread that made it; make it on a worker thread,
// never on the window's, since connecting can take connectTimeoutS.
class TServerConnection
{
public:
    TServerConnection(const TClubServerConfig &config, const QString &password,
                      int connectTimeoutS = 5);
    ~TServerConnection();
    TServerConnection(const TServerConnection &) = delete;
    TServerConnection &operator=(const TServerConnection &) = delete;

    // Connects; false with errorString() in German.
    bool open();
    bool isOpen() const { return m_db.isOpen(); }
    QSqlDatabase &db() { return m_db; }
    QString errorString() const { return m_error; }
    // The server answered but would not let this login in (password, TLS, database, rules),
    // as opposed to not answering at all.
    bool wasRefused() const { return m_refused; }

    // Runs one statement; false with errorString() set.
    bool exec(const QString &statement);
    // The schema's version on the server; 0 when it is not set up, -1 on an error.
    int schemaVersion();

    // Tries the connection, the schema and what the login will do there: send as station (a
    // new one when empty), or read as a results office. Empty when all is well, else the
    // reason in German.
    static QString test(const TClubServerConfig &config, const QString &password,
                        const QString &station = QString());

private:
    QString m_name;
    QSqlDatabase m_db;
    QString m_error;
    bool m_refused = false;
};

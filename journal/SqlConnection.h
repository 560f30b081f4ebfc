#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

// One named connection to an SQLite file, removed again when the object goes. Qt's connections
// belong to the thread that made them, so each thread that touches the journal owns one of these.
class TSqlConnection
{
public:
    // Opens at once; see isOpen() and lastError(). busyWaitMs is how long a statement waits for
    // another connection's lock before it fails with "database is locked".
    TSqlConnection(const QString &path, int busyWaitMs);
    ~TSqlConnection();
    TSqlConnection(const TSqlConnection &) = delete;
    TSqlConnection &operator=(const TSqlConnection &) = delete;

    bool isOpen() const { return m_db.isOpen(); }
    QSqlDatabase &db() { return m_db; }
    // Runs one statement without results; false with the error kept in *error.
    bool exec(const QString &statement, QSqlError *error);

private:
    QString m_name;
    QSqlDatabase m_db;
};

#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

// A connection of the test's own, for making old files and looking inside.
class RawDatabase
{
public:
    explicit RawDatabase(const QString &path, const QString &name = QStringLiteral("raw"))
        : m_name(name)
    {
        m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        m_db.setDatabaseName(path);
        m_db.open();
    }
    ~RawDatabase()
    {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }
    bool exec(const QString &statement)
    {
        QSqlQuery query(m_db);
        if (!query.exec(statement))
            qWarning("%s: %s", qPrintable(statement), qPrintable(query.lastError().text()));
        return query.isActive();
    }
    // The tables as the program wrote them before race days (version 2), still empty.
    bool makeSecondLayout()
    {
        return exec(QStringLiteral(
                   "CREATE TABLE races (id INTEGER PRIMARY KEY, started_ms INTEGER NOT NULL,"
                   " title TEXT NOT NULL DEFAULT '', session TEXT NOT NULL DEFAULT '',"
                   " cars INTEGER NOT NULL DEFAULT 0, laps INTEGER NOT NULL DEFAULT 0,"
                   " state TEXT NOT NULL, winner TEXT NOT NULL DEFAULT '',"
                   " boot_id TEXT NOT NULL DEFAULT '')")) &&
               exec(QStringLiteral(
                   "CREATE TABLE events (race_id INTEGER NOT NULL, seq INTEGER NOT NULL,"
                   " kind TEXT NOT NULL, tick INTEGER NOT NULL, wall_ms INTEGER NOT NULL,"
                   " car INTEGER NOT NULL DEFAULT 0, payload TEXT, PRIMARY KEY (race_id, seq))")) &&
               exec(QStringLiteral("PRAGMA user_version = 2"));
    }
    QVariant value(const QString &statement)
    {
        QSqlQuery query(m_db);
        return query.exec(statement) && query.next() ? query.value(0) : QVariant();
    }

private:
    QString m_name;
    QSqlDatabase m_db;
};

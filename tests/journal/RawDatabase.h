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
    QVariant value(const QString &statement)
    {
        QSqlQuery query(m_db);
        return query.exec(statement) && query.next() ? query.value(0) : QVariant();
    }

private:
    QString m_name;
    QSqlDatabase m_db;
};

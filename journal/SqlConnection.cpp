#include "SqlConnection.h"

#include <QAtomicInt>
#include <QSqlError>
#include <QSqlQuery>

namespace {
QString nextConnectionName()
{
    static QAtomicInt counter;
    return QStringLiteral("talvenbahn-journal-%1").arg(counter.fetchAndAddRelaxed(1) + 1);
}
} // namespace

TSqlConnection::TSqlConnection(const QString &path, int busyWaitMs) : m_name(nextConnectionName())
{
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    m_db.setDatabaseName(path);
    m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyWaitMs));
    m_db.open();
}

TSqlConnection::~TSqlConnection()
{
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
}

bool TSqlConnection::exec(const QString &statement, QSqlError *error)
{
    QSqlQuery query(m_db);
    if (query.exec(statement))
        return true;
    if (error)
        *error = query.lastError();
    return false;
}

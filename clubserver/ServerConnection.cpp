#include "ServerConnection.h"

#include "ServerMessages.h"
#include "ServerSchema.h"
#include "StationAccess.h"

#include <QAtomicInt>
#include <QSqlError>
#include <QSqlQuery>

namespace {
QString nextConnectionName()
{
    static QAtomicInt counter;
    return QStringLiteral("talvenbahn-server-%1").arg(counter.fetchAndAddRelaxed(1) + 1);
}
} // namespace

TServerConnection::TServerConnection(const TClubServerConfig &config, const QString &password,
                                     int connectTimeoutS)
    : m_name(nextConnectionName())
{
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_name);
    m_db.setHostName(config.host.trimmed());
    m_db.setPort(config.port);
    m_db.setDatabaseName(config.database.trimmed());
    m_db.setUserName(config.user.trimmed());
    m_db.setPassword(password);
    m_db.setConnectOptions(config.connectOptions(connectTimeoutS));
}

TServerConnection::~TServerConnection()
{
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
}

bool TServerConnection::open()
{
    m_error.clear();
    if (!m_db.isValid()) {
        m_error = QStringLiteral("Der PostgreSQL-Treiber von Qt fehlt (Paket libqt6sql6-psql).");
        return false;
    }
    m_refused = false;
    if (m_db.open())
        return true;
    m_error = ServerMessages::reason(m_db.lastError());
    m_refused = ServerMessages::isRefusal(m_db.lastError());
    return false;
}

bool TServerConnection::exec(const QString &statement)
{
    QSqlQuery query(m_db);
    if (query.exec(statement))
        return true;
    m_error = ServerMessages::reason(query.lastError());
    return false;
}

int TServerConnection::schemaVersion()
{
    QString error;
    const int version = ServerSchema::version(m_db, &error);
    if (version < 0)
        m_error = error;
    return version;
}

QString TServerConnection::test(const TClubServerConfig &config, const QString &password,
                                const QString &station)
{
    TServerConnection connection(config, password);
    if (!connection.open())
        return connection.errorString();
    const int version = connection.schemaVersion();
    if (version < 0)
        return connection.errorString();
    if (const QString problem = ServerMessages::versionProblem(version, ServerSchema::kVersion);
        !problem.isEmpty())
        return problem;
    // What the station or the office will do, so "in Ordnung" means it works.
    return config.readOnly ? StationAccess::tryToRead(connection.db())
                           : StationAccess::tryToSend(connection.db(), config.user.trimmed(),
                                                      station, config.stationLabel());
}

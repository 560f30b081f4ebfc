#include "StationAccess.h"

#include "ServerMessages.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

namespace StationAccess {

namespace {
// Ids no station's journal hands out, for rows that are rolled back anyway.
constexpr qint64 kTrialId = -1;

QString refused(const QString &login, const QString &reason)
{
    return QStringLiteral("Die Anmeldung \u201E%1\u201C darf nicht als diese Station senden: %2")
        .arg(login, reason);
}
} // namespace

bool registerStation(QSqlQuery &query, const QString &station, const QString &label)
{
    query.prepare(QStringLiteral("INSERT INTO talvenbahn.stations (id, label) VALUES (?, ?) "
                                 "ON CONFLICT (id) DO UPDATE SET label = EXCLUDED.label "
                                 "WHERE talvenbahn.stations.label <> EXCLUDED.label"));
    query.addBindValue(station);
    query.addBindValue(label);
    return query.exec();
}

QString tryToSend(QSqlDatabase &db, const QString &login, const QString &station,
                  const QString &label)
{
    const QString id =
        station.isEmpty() ? QString::fromLatin1(QUuid::createUuid().toRfc4122().toHex()) : station;
    if (!db.transaction())
        return ServerMessages::reason(db.lastError());
    QString reason;
    QSqlQuery query(db);
    const auto run = [&](const QString &statement, const QVariantList &values) {
        query.prepare(statement);
        for (const QVariant &value : values)
            query.addBindValue(value);
        if (query.exec())
            return true;
        reason = refused(login, ServerMessages::reason(query.lastError()));
        return false;
    };
    // A station another login registered (a journal copied from another laptop) stays theirs.
    bool ok = run(QStringLiteral("SELECT login, login = current_user FROM talvenbahn.stations "
                                 "WHERE id = ?"),
                  {id});
    if (ok && query.next() && !query.value(1).toBool()) {
        reason =
            QStringLiteral("Diese Station ist auf dem Server unter der Anmeldung \u201E%1\u201C "
                           "eingetragen; \u201E%2\u201C darf nicht als sie senden.")
                .arg(query.value(0).toString(), login);
        ok = false;
    }
    if (ok && !registerStation(query, id, label)) {
        reason = refused(login, ServerMessages::reason(query.lastError()));
        ok = false;
    }
    ok = ok && run(QStringLiteral("INSERT INTO talvenbahn.races (station, race_id, revision, "
                                  "started_ms, state) VALUES (?, ?, 1, 0, 'running')"),
                   {id, kTrialId});
    ok = ok && run(QStringLiteral("INSERT INTO talvenbahn.events (station, race_id, seq, kind, "
                                  "tick, wall_ms) VALUES (?, ?, 1, 'start', 0, 0)"),
                   {id, kTrialId});
    ok = ok && run(QStringLiteral("INSERT INTO talvenbahn.documents (station, kind, doc_id, "
                                  "revision, origin, body) VALUES (?, 'day', ?, 1, '', '{}')"),
                   {id, kTrialId});
    // Nothing of the trial stays, and no listener hears of it.
    db.rollback();
    return reason;
}

QString tryToRead(QSqlDatabase &db)
{
    QSqlQuery query(db);
    for (const QString &view :
         {QStringLiteral("latest_races"), QStringLiteral("latest_documents"),
          QStringLiteral("heat_races"), QStringLiteral("events"), QStringLiteral("stations")}) {
        if (!query.exec(QStringLiteral("SELECT 1 FROM talvenbahn.%1 LIMIT 1").arg(view)))
            return ServerMessages::reason(query.lastError());
    }
    return {};
}

} // namespace StationAccess

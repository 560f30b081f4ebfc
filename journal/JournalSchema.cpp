#include "JournalSchema.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

namespace JournalSchema {

namespace {
bool run(QSqlDatabase &db, const QStringList &statements, QSqlError *error)
{
    QSqlQuery query(db);
    for (const QString &statement : statements) {
        if (!query.exec(statement)) {
            *error = query.lastError();
            return false;
        }
    }
    return true;
}

// Each step brings the file from version n-1 to n. Never change a step that has shipped;
// add the next one.
bool stepTo(int target, QSqlDatabase &db, QSqlError *error)
{
    switch (target) {
    case 1:
        return run(db,
                   {QStringLiteral("CREATE TABLE races ("
                                   " id INTEGER PRIMARY KEY,"
                                   " started_ms INTEGER NOT NULL,"
                                   " title TEXT NOT NULL DEFAULT '',"
                                   " session TEXT NOT NULL DEFAULT '',"
                                   " cars INTEGER NOT NULL DEFAULT 0,"
                                   " laps INTEGER NOT NULL DEFAULT 0,"
                                   " state TEXT NOT NULL,"
                                   " winner TEXT NOT NULL DEFAULT '')"),
                    QStringLiteral("CREATE TABLE events ("
                                   " race_id INTEGER NOT NULL,"
                                   " seq INTEGER NOT NULL,"
                                   " kind TEXT NOT NULL,"
                                   " tick INTEGER NOT NULL,"
                                   " wall_ms INTEGER NOT NULL,"
                                   " car INTEGER NOT NULL DEFAULT 0,"
                                   " payload TEXT,"
                                   " PRIMARY KEY (race_id, seq))")},
                   error);
    case 2:
        return run(
            db, {QStringLiteral("ALTER TABLE races ADD COLUMN boot_id TEXT NOT NULL DEFAULT ''")},
            error);
    default:
        return false;
    }
}
} // namespace

int version(QSqlDatabase &db, QSqlError *error)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next()) {
        *error = query.lastError();
        return -1;
    }
    return query.value(0).toInt();
}

bool upgrade(QSqlDatabase &db, QSqlError *error)
{
    // IMMEDIATE takes the write lock at once, so a file locked by another program is found
    // here and not halfway through the steps.
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        *error = query.lastError();
        return false;
    }
    int current = version(db, error);
    bool ok = current >= 0;
    for (int target = current + 1; ok && target <= kVersion; ++target)
        ok = stepTo(target, db, error);
    if (ok && current < kVersion)
        ok = run(db, {QStringLiteral("PRAGMA user_version = %1").arg(kVersion)}, error);
    if (ok)
        ok = run(db, {QStringLiteral("COMMIT")}, error);
    if (!ok)
        query.exec(QStringLiteral("ROLLBACK"));
    return ok;
}

} // namespace JournalSchema

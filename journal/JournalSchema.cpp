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
    case 3:
        // A club's race day: the plan only (entrants, rounds, heats, the club's rules as JSON
        // texts) and the seasons that group days. Every result is worked out from the heats'
        // races. Day and season ids are never used again, so a heat link left by a removed day
        // cannot come to belong to a new one.
        return run(db,
                   {QStringLiteral("CREATE TABLE seasons ("
                                   " id INTEGER PRIMARY KEY AUTOINCREMENT,"
                                   " name TEXT NOT NULL DEFAULT '',"
                                   " best_of INTEGER NOT NULL DEFAULT 0)"),
                    QStringLiteral("CREATE TABLE season_joins ("
                                   " season_id INTEGER NOT NULL"
                                   "  REFERENCES seasons (id) ON DELETE CASCADE,"
                                   " join_order INTEGER NOT NULL,"
                                   " from_number TEXT NOT NULL DEFAULT '',"
                                   " from_driver TEXT NOT NULL DEFAULT '',"
                                   " to_number TEXT NOT NULL DEFAULT '',"
                                   " to_driver TEXT NOT NULL DEFAULT '',"
                                   " PRIMARY KEY (season_id, join_order))"),
                    QStringLiteral("CREATE TABLE race_days ("
                                   " id INTEGER PRIMARY KEY AUTOINCREMENT,"
                                   " name TEXT NOT NULL DEFAULT '',"
                                   " date TEXT NOT NULL DEFAULT '',"
                                   " season_id INTEGER"
                                   "  REFERENCES seasons (id) ON DELETE SET NULL,"
                                   " class_rules TEXT NOT NULL DEFAULT '{}',"
                                   " points_rules TEXT NOT NULL DEFAULT '{}')"),
                    QStringLiteral("CREATE INDEX race_days_season ON race_days (season_id)"),
                    QStringLiteral("CREATE TABLE day_entrants ("
                                   " day_id INTEGER NOT NULL"
                                   "  REFERENCES race_days (id) ON DELETE CASCADE,"
                                   " id INTEGER NOT NULL,"
                                   " list_order INTEGER NOT NULL,"
                                   " number TEXT NOT NULL DEFAULT '',"
                                   " driver TEXT NOT NULL DEFAULT '',"
                                   " class TEXT NOT NULL DEFAULT '',"
                                   " absent INTEGER NOT NULL DEFAULT 0,"
                                   " PRIMARY KEY (day_id, id))"),
                    QStringLiteral("CREATE TABLE day_rounds ("
                                   " day_id INTEGER NOT NULL"
                                   "  REFERENCES race_days (id) ON DELETE CASCADE,"
                                   " id INTEGER NOT NULL,"
                                   " round_order INTEGER NOT NULL,"
                                   " class TEXT NOT NULL DEFAULT '',"
                                   " kind TEXT NOT NULL,"
                                   " number INTEGER NOT NULL DEFAULT 1,"
                                   " PRIMARY KEY (day_id, id))"),
                    // The drivers of a heat as a JSON array of entrant ids, the first on F1.
                    QStringLiteral("CREATE TABLE day_heats ("
                                   " day_id INTEGER NOT NULL,"
                                   " id INTEGER NOT NULL,"
                                   " round_id INTEGER NOT NULL,"
                                   " heat_order INTEGER NOT NULL,"
                                   " entrants TEXT NOT NULL DEFAULT '[]',"
                                   " PRIMARY KEY (day_id, id),"
                                   " FOREIGN KEY (day_id, round_id)"
                                   "  REFERENCES day_rounds (day_id, id) ON DELETE CASCADE)"),
                    // The race that timed a heat: written by the journal's writer with the
                    // race's START (whose payload names the day and the heat), and gone with
                    // the race. Not tied to race_days: a removed day leaves its races alone.
                    QStringLiteral("CREATE TABLE race_heats ("
                                   " race_id INTEGER PRIMARY KEY,"
                                   " day_id INTEGER NOT NULL,"
                                   " heat_id INTEGER NOT NULL)"),
                    QStringLiteral(
                        "CREATE INDEX race_heats_heat ON race_heats (day_id, heat_id, race_id)")},
                   error);
    case 4:
        // For a club server: the station id that keys this file's rows there (a file started
        // afresh is a station of its own, so its race ids never meet the old file's), the
        // highest race id ever handed out (a removed race's id is never given again, since the
        // server keeps that race), where a race day taken from the server came from, and which
        // station's race counts for a heat timed on two stations.
        return run(
            db,
            {QStringLiteral("CREATE TABLE journal_meta ("
                            " key TEXT PRIMARY KEY,"
                            " value TEXT NOT NULL)"),
             QStringLiteral("INSERT INTO journal_meta (key, value)"
                            " VALUES ('station', lower(hex(randomblob(16))))"),
             QStringLiteral("INSERT INTO journal_meta (key, value)"
                            " SELECT 'last_race_id', COALESCE(MAX(id), 0) FROM races"),
             QStringLiteral("ALTER TABLE race_days ADD COLUMN origin TEXT NOT NULL DEFAULT ''"),
             QStringLiteral("CREATE TABLE heat_choices ("
                            " day_key TEXT NOT NULL,"
                            " heat_id INTEGER NOT NULL,"
                            " station TEXT NOT NULL,"
                            " race_id INTEGER NOT NULL,"
                            " PRIMARY KEY (day_key, heat_id))")},
            error);
    case 5:
        // A final's drivers as last seeded (a JSON array like entrants), so it follows the
        // seeding after a restart; NULL for a heat that was never seeded.
        return run(db, {QStringLiteral("ALTER TABLE day_heats ADD COLUMN seeded TEXT")}, error);
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

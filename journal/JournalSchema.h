#pragma once

class QSqlDatabase;
class QSqlError;

// The tables of the journal and the steps that bring an older file up to date. The version
// lives in the file's PRAGMA user_version; 0 is a new, empty file.
namespace JournalSchema {

// 1: races and events. 2: the races keep the machine's boot id. 3: race days (entrants,
// rounds, heats), seasons, and the link from a heat's race to its heat. 4: the station id and
// the highest race id given (for a club server), a day's origin, the heat choices. 5: the
// drivers a final was last seeded with.
inline constexpr int kVersion = 5;

// The file's version; -1 when it cannot be read (the error says why).
int version(QSqlDatabase &db, QSqlError *error);
// Steps the file from its version up to kVersion in one transaction; a file that is already
// current is left alone. Fails without change (error set) when a step fails.
bool upgrade(QSqlDatabase &db, QSqlError *error);

} // namespace JournalSchema

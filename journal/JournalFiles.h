#pragma once

#include <QString>

// File chores around the journal's database.
namespace JournalFiles {

// This boot of the machine (Linux's random boot id); empty where the system has none.
QString currentBootId();

// Renames the database (or a folder in its place) and its -wal and -shm companions to
// "<path>.<label>-<local time>", keeping them together so the moved file still opens with
// everything it held. Returns the new path of the database, or an empty string (with *error set)
// when the database stays where it is. A companion that cannot be moved is deleted, since a stale
// -wal would be replayed into the new database.
QString moveAside(const QString &path, const QString &label, QString *error);

// Makes the folder of the database; false with a German reason when it cannot be made.
bool makeFolderFor(const QString &path, QString *error);

} // namespace JournalFiles

#pragma once

#include <QString>

class QSqlError;

// The German texts the journal hands to the window, and the SQLite result codes they rest on.
namespace JournalMessages {

// SQLite's primary result codes that the journal tells apart.
enum SqliteCode {
    kBusy = 5,
    kLocked = 6,
    kReadOnly = 8,
    kIoError = 10,
    kCorrupt = 11,
    kFull = 13,
    kCantOpen = 14,
    kConstraint = 19,
    kNotADatabase = 26,
};

// The primary result code of an error from Qt's SQLite driver; 0 when it carries none.
int sqliteCode(const QSqlError &error);
// Why it failed, in German, as the end of a sentence ("der Datenträger ist voll").
QString reason(const QSqlError &error);

QString cannotOpen(const QString &path, const QString &reason);
QString cannotWrite(const QString &path, const QString &reason);
QString refused(const QString &path, const QString &reason);
QString stillPending(const QString &path, int count);
QString damagedMovedAside(const QString &path, const QString &reason, const QString &newPath);
QString lockedMovedAside(const QString &path, const QString &newPath);
QString folderMovedAside(const QString &path, const QString &newPath);
QString newerMovedAside(const QString &path, int version, const QString &newPath);
QString inUseByOtherWindow(const QString &path);

} // namespace JournalMessages

#pragma once

#include "SqlConnection.h"

#include <QLockFile>
#include <QString>

#include <memory>

// Takes the journal's file for this program: its folder, the lock file that keeps a second
// program out, and a sound database in WAL mode with the current tables (TJournalOpening). Runs
// on any thread; the window's at program start, the writer's when that failed and is tried
// again.
struct TJournalClaim
{
    std::unique_ptr<QLockFile> lock; // held while the file is this program's; null on failure
    QString notice;                  // set when a file was moved aside
    QString error;                   // why the file cannot be used, when there is no lock
    qint64 lastRaceId = 0;           // the newest race in the file
    // A connection to the file on the thread that took it, open while there is a lock. Kept
    // open, it keeps the file's log in place, which a full disk might not let make again.
    std::unique_ptr<TSqlConnection> connection;

    bool ok() const { return lock != nullptr; }
    static TJournalClaim take(const QString &path);
};

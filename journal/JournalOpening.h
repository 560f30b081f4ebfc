#pragma once

#include <QString>

// Makes the database file ready for the journal: its folder, a sound SQLite file in WAL mode and
// the current tables. A damaged file, one locked by another program or one of a newer program
// version is moved aside and a new one started; the notice then says so.
struct TJournalOpening
{
    bool ok = false;
    QString notice; // set when a file was moved aside, also when ok
    QString error;  // why the journal cannot be used, when not ok

    static TJournalOpening prepare(const QString &path);
};

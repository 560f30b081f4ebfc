#pragma once

#include <QString>

// Makes the database file ready for the journal: its folder, a sound SQLite file in WAL mode and
// the current tables. A damaged file, one locked by another program, one of a newer program
// version or a folder in its place is moved aside and a new one started; the notice then says so.
struct TJournalOpening
{
    bool ok = false;
    QString notice; // set when a file was moved aside, also when ok
    QString error;  // why the journal cannot be used, when not ok

    // Thorough reads every page (SQLite's quick_check), which takes a while for a large archive;
    // Light reads only the header and the table layout, and damage elsewhere shows up when it
    // is read or written.
    enum class Check { Light, Thorough };
    static TJournalOpening prepare(const QString &path, Check check);
};

#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// "Talvenbahn --server-setup": the club server's schema created or brought up to date, and
// logins made for stations and results offices, from a terminal without a display.
struct TServerSetupOptions
{
    // Unset: the configured club server's, else localhost, 5432, "talvenbahn", and the user
    // who runs the program (the administrator is rarely the station's own login).
    std::optional<QString> host;
    std::optional<int> port;
    std::optional<QString> database;
    std::optional<QString> user;
    QStringList stations; // logins to make for stations
    QStringList offices;  // logins to make for results offices
};

// Asks for what is missing on the terminal (the administrator's password unless PGPASSWORD
// holds it, each new login's twice unless TALVENBAHN_LOGIN_PASSWORD holds it), reports in German
// on stdout and stderr and returns the exit code: 0 when all was done. Needs an application
// object for Qt's database drivers.
int RunServerSetup(const TServerSetupOptions &options);

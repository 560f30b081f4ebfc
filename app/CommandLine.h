#pragma once

#include "ServerSetup.h"

#include <QString>
#include <QStringList>

#include <functional>

class TFormMain;

// What the program was asked to do on its command line.
struct TCommandLine
{
    enum class Action {
        Run,          // start the window, importing starterList if one is given
        Help,         // print the usage and end
        Version,      // print the version and end
        CheckInstall, // check that the help file and the helpers are found, and end
        ServerSetup,  // set up the club server's schema and logins, and end
        Error         // print error and end
    };
    Action action = Action::Run;
    QString starterList;
    QString error;
    // What --server-setup was given.
    TServerSetupOptions serverSetup;
    // Whether an argument is one the application object takes for itself ("-platform xcb",
    // "-style=fusion"): only once it has, does a mistake in the rest count.
    bool applicationOptions = false;
};

// Reads the arguments, the first being the program itself. A request for the usage wins over
// everything else, then the version, then the check; a mistake elsewhere only counts when none
// of them was asked for. "--" ends the options, so a starter list may begin with a dash.
TCommandLine ParseCommandLine(const QStringList &arguments);

QString CommandLineUsage();
QString VersionText();

// Runs the actions that need no window (the usage, the version, the check, the server's set-up)
// and returns the
// program's exit code; -1 for Run and Error, which the caller handles once the application
// object has taken its own options away.
int RunCommandLineWithoutWindow(const TCommandLine &line, int &argc, char **argv);
// The command-line mistake on the error channel; returns the program's exit code.
int ReportCommandLineError(const TCommandLine &line);

// Checks what the installed program needs beside itself, prints one line per item and returns
// the exit code (0 when all is there). With a starter list, it is read through the same readers
// as in the window, so an .xls list proves that the helper program runs.
int CheckInstall(const QString &starterList);

// Imports the starter list into the window once the event loop runs, as the starter-list
// command does; a list that cannot be read is shown through showError and leaves the window
// as it was.
void ImportStarterListAtStart(TFormMain &form, const QString &fileName,
                              std::function<void(const QString &)> showError);

#include "CommandLine.h"
#include "DlgYesNo.h"
#include "ErrorReportingApplication.h"
#include "FormMain.h"
#include "QtGermanTexts.h"
#include "RaceJournal.h"
#include "SPHTMLHelp.h"
#include "SettingsStore.h"
#include "TerminationSignals.h"
#include "TickCounter.h"

#include <QTimer>

namespace {

QStringList argumentsOf(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

} // namespace

int main(int argc, char *argv[])
{
    // The usage, the version, the check and the server's set-up need no display, so they come
    // before the application object.
    if (const int code =
            RunCommandLineWithoutWindow(ParseCommandLine(argumentsOf(argc, argv)), argc, argv);
        code >= 0)
        return code;
    // A mistake is reported before the application object, which needs a display and would end
    // the program with its own message without one, unless an argument may be one of its own.
    if (const TCommandLine first = ParseCommandLine(argumentsOf(argc, argv));
        first.action == TCommandLine::Action::Error && !first.applicationOptions)
        return ReportCommandLineError(first);
    // The window is laid out in pixels and is not scaled with the screen's pixel density,
    // unless the user asks for scaling in the environment.
    if (!qEnvironmentVariableIsSet("QT_ENABLE_HIGHDPI_SCALING"))
        qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    TErrorReportingApplication app(argc, argv);
    InstallQtGermanTexts(app);
    UseGermanFormats();
    // Read again without the options the application object has taken.
    const TCommandLine commandLine = ParseCommandLine(app.arguments());
    if (commandLine.action == TCommandLine::Action::Error)
        return ReportCommandLineError(commandLine);
    // Help lives from before the main window until after it is gone.
    TSPHTMLHelp help;
    TSystemTickCounter ticks;
    TFormMain FormMain(ticks, TSettingsStore::DefaultFilePath(), TRaceJournal::defaultPath());
    // The one yes/no dialog, created after the main window so it takes the window's caption.
    TFDlgYesNo FDlgYesNo(&FormMain);
    FormMain.SetDlgYesNo(&FDlgYesNo);
    FormMain.show();
    // Asked once the window is up: what became of the journal, and whether to go on with a race
    // that a crash or a power cut interrupted.
    // Then the club server, if one is set up: its password may need a question of its own.
    QTimer::singleShot(0, &FormMain, [&FormMain] {
        FormMain.OfferResume();
        FormMain.ConnectClubServer();
    });
    // Logout, shutdown and kill end the program as closing it does, without the question: the
    // window saves the settings and closes the journal as it goes; an unfinished race is offered
    // for resuming at the next start.
    // exit(), not quit(): quit() would first ask every window to close, and a running race
    // asks "Beenden?", which no one answers at a logout.
    TTerminationSignals termination([](int) { QCoreApplication::exit(0); });
    if (!commandLine.starterList.isEmpty())
        ImportStarterListAtStart(FormMain, commandLine.starterList, app.ShowError);
    return app.exec();
}

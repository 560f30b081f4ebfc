#include "DlgYesNo.h"
#include "ErrorReportingApplication.h"
#include "FormMain.h"
#include "QtGermanTexts.h"
#include "SPHTMLHelp.h"
#include "SettingsStore.h"
#include "TickCounter.h"

int main(int argc, char *argv[])
{
    // The window is laid out in pixels and is not scaled with the screen's pixel density,
    // unless the user asks for scaling in the environment.
    if (!qEnvironmentVariableIsSet("QT_ENABLE_HIGHDPI_SCALING"))
        qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    TErrorReportingApplication app(argc, argv);
    InstallQtGermanTexts(app);
    // Help lives from before the main window until after it is gone.
    TSPHTMLHelp help;
    TSystemTickCounter ticks;
    TFormMain FormMain(ticks, TSettingsStore::DefaultFilePath());
    // The one yes/no dialog, created after the main window so it takes the window's caption.
    TFDlgYesNo FDlgYesNo(&FormMain);
    FormMain.SetDlgYesNo(&FDlgYesNo);
    FormMain.show();
    return app.exec();
}

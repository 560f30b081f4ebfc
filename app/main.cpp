#include "DlgYesNo.h"
#include "ErrorReportingApplication.h"
#include "FormMain.h"
#include "SettingsStore.h"
#include "TickCounter.h"

int main(int argc, char *argv[])
{
    TErrorReportingApplication app(argc, argv);
    TSystemTickCounter ticks;
    TFormMain FormMain(ticks, TSettingsStore::DefaultFilePath());
    // The one yes/no dialog, created after the main window so it takes the window's caption.
    TFDlgYesNo FDlgYesNo(&FormMain);
    FormMain.SetDlgYesNo(&FDlgYesNo);
    FormMain.show();
    return app.exec();
}

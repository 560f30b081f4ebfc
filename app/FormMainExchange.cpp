// The results and starter-list commands of the window. Their work lives with the exchange code;
// these handlers are where the window hands over to it.
#include "FormMain.h"

void TFormMain::sbExcelClick(QObject *) {}

void TFormMain::sbWebClick(QObject *) {}

void TFormMain::bStartListClick(QObject *) {}

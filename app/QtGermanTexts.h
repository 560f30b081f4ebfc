#pragma once

class QCoreApplication;

// Installs Qt's own German texts (file dialog, message box buttons, the edit fields' context
// menus), so every text the user sees is German whatever the system's language. Returns false
// when the translation files are not installed; Qt's texts then stay English.
bool InstallQtGermanTexts(QCoreApplication &app);

// Makes German the default locale, so dates and numbers read German whatever the system's
// locale; the CSV files keep the number format of the locale that was the default before, as
// a spreadsheet of that system reads them.
void UseGermanFormats();

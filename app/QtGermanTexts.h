#pragma once

class QCoreApplication;

// Installs Qt's own German texts (file dialog, message box buttons, the edit fields' context
// menus), so every text the user sees is German whatever the system's language. Returns false
// when the translation files are not installed; Qt's texts then stay English.
bool InstallQtGermanTexts(QCoreApplication &app);

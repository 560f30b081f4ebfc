#pragma once

#include <QString>

#include <functional>

// Hands an exported file to the desktop, which shows it in the user's browser or spreadsheet
// program. Tests replace the handler so that nothing is launched while they run.
class DocumentOpener
{
public:
    using Handler = std::function<void(const QString &fileName)>;

    // Opens fileName (relative names are taken from the working directory).
    static void open(const QString &fileName);
    // Replaces the desktop's opener; an empty handler restores it.
    static void setHandler(Handler handler);
};

#pragma once

#include "ChmLibrary.h"
#include "HtmlHelpAPI.h"

#include <QPointer>

class THelpWindow;

// Our help engine: the compiled-help reader, checked at start-up and run in a helper process
// for every file, and the one help window that HtmlHelpA opens, reuses and closes.
class THtmlHelpLibrary
{
public:
    THtmlHelpLibrary() = default;
    ~THtmlHelpLibrary();
    THtmlHelpLibrary(const THtmlHelpLibrary &) = delete;
    THtmlHelpLibrary &operator=(const THtmlHelpLibrary &) = delete;

    bool load(const QString &libraryPath);
    void unload();
    bool isLoaded() const { return m_reader.isLoaded(); }
    QString errorString() const { return m_reader.errorString(); }

    // Serves HH_DISPLAY_TOPIC, HH_DISPLAY_TOC, HH_DISPLAY_INDEX, HH_HELP_CONTEXT and
    // HH_CLOSE_ALL; every other command, a missing file and an unloaded library give nullptr
    // and show nothing. The file is read in the background; a file that cannot be read shows
    // the window with a message in place of the help.
    QWidget *HtmlHelpA(QWidget *caller, const QString &file, unsigned command,
                       const QVariant &data);

    // The entry point bound to this library, as the start-up takes it.
    THtmlHelpFunc entryPoint();
    THelpWindow *window() const;

private:
    void closeAll();

    TChmLibrary m_reader;
    QString m_libraryPath;
    QPointer<THelpWindow> m_window;
};

#pragma once

#include "ChmLibrary.h"
#include "HtmlHelpAPI.h"

#include <QPointer>

class THelpWindow;

// Our help engine: the compiled-help reader loaded at run time and the one help window that
// HtmlHelpA opens, reuses and closes.
class THtmlHelpLibrary
{
public:
    THtmlHelpLibrary() = default;
    ~THtmlHelpLibrary();
    THtmlHelpLibrary(const THtmlHelpLibrary &) = delete;
    THtmlHelpLibrary &operator=(const THtmlHelpLibrary &) = delete;

    bool load(const QString &libraryPath);
    // Closes the help window first: its open file belongs to the library.
    void unload();
    bool isLoaded() const { return m_reader.isLoaded(); }
    QString errorString() const { return m_reader.errorString(); }

    // Serves HH_DISPLAY_TOPIC, HH_DISPLAY_TOC, HH_DISPLAY_INDEX, HH_HELP_CONTEXT and
    // HH_CLOSE_ALL; every other command, a file that cannot be read and an unloaded library
    // give nullptr and show nothing.
    QWidget *HtmlHelpA(QWidget *caller, const QString &file, unsigned command,
                       const QVariant &data);

    // The entry point bound to this library, as the start-up takes it.
    THtmlHelpFunc entryPoint();
    THelpWindow *window() const;

private:
    void closeAll();

    TChmLibrary m_reader;
    QPointer<THelpWindow> m_window;
};

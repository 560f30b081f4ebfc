#pragma once

#include "HtmlHelpAPI.h"

#include <QString>

#include <functional>
#include <memory>

class THtmlHelpLibrary;
class TSPHelpViewer;
class TSPHelpSelector;
class TSPHelpTester;

// Connects the help file next to the executable to the help manager.
//
// The program start creates one TSPHTMLHelp before the main window and destroys it after the
// window is gone:
//
//     QApplication app(argc, argv);
//     TSPHTMLHelp help;                 // loads the help engine, installs the viewer
//     TFormMain window;                 // sets the help file at creation
//     ...
//
// The main window then calls SetApplicationHelpFile(HelpFileForExecutable()) when it is
// created and ShowHelpContents() for its help command.

// Everything the start-up takes from outside, so tests can replace it.
struct THtmlHelpSetup
{
    // The compiled-help reader library loaded at start-up.
    QString libraryPath = QStringLiteral("libchm.so.1");
    // Shows the start-up warning; empty means a modal message box.
    std::function<void(const QString &text, const QString &caption)> showWarning;
    // Replaces the loaded engine's entry point (the library must still load).
    THtmlHelpFunc entryPoint;
};

// Shown at start-up when the help engine cannot be loaded; the program then starts without
// help.
extern const QString kHtmlHelpMissingText;
extern const QString kHtmlHelpMissingCaption;

class TSPHTMLHelp
{
public:
    // Loads the engine and installs the viewer, the selector and the tester; on failure shows
    // the warning and installs nothing. Only one may exist at a time.
    explicit TSPHTMLHelp(THtmlHelpSetup setup = {});
    // Closes every help window, takes the viewer off the manager and unloads the engine.
    ~TSPHTMLHelp();
    TSPHTMLHelp(const TSPHTMLHelp &) = delete;
    TSPHTMLHelp &operator=(const TSPHTMLHelp &) = delete;

    bool IsLoaded() const { return m_library != nullptr; }
    const std::shared_ptr<TSPHelpViewer> &Viewer() const { return m_viewer; }
    const std::shared_ptr<TSPHelpSelector> &Selector() const { return m_selector; }
    const std::shared_ptr<TSPHelpTester> &Tester() const { return m_tester; }
    // The engine itself, for looking at its window; null when it did not load.
    THtmlHelpLibrary *Library() const { return m_library.get(); }

private:
    bool install(const THtmlHelpSetup &setup);

    std::unique_ptr<THtmlHelpLibrary> m_library;
    std::shared_ptr<TSPHelpViewer> m_viewer;
    std::shared_ptr<TSPHelpSelector> m_selector;
    std::shared_ptr<TSPHelpTester> m_tester;
};

// The help file of an executable: its full path with the extension ".chm" in place of its
// own, or, when no such file exists, the file of that name in the installed data folder if it
// is there. Empty means the running program's.
QString HelpFileForExecutable(const QString &executablePath = {});

// The main window's help command: the application's contents command, which shows the table
// of contents of the application's help file; nothing happens without the file or the engine.
void ShowHelpContents();
// Shows one page of the help file, such as "zeitnahme.htm"; nothing happens without the file
// or the engine.
void ShowHelpTopic(const QString &page);

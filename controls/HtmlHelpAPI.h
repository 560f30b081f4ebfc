#pragma once

#include <QString>
#include <QVariant>

#include <functional>

class QWidget;

// The help engine's entry point and the commands the program gives it.

// Shows the page named after "::" in the file argument ("help.chm::/page.htm"), or the
// file's default topic.
constexpr unsigned HH_DISPLAY_TOPIC = 0;
// Shows the table of contents beside the page named in the file argument, or the default one.
constexpr unsigned HH_DISPLAY_TOC = 1;
// Shows the keyword index searched for the keyword given as data (a QString).
constexpr unsigned HH_DISPLAY_INDEX = 2;
// Shows the page for the context number given as data (an int).
constexpr unsigned HH_HELP_CONTEXT = 15;
// Closes every help window; caller window and file are ignored.
constexpr unsigned HH_CLOSE_ALL = 18;

// The engine's entry point: caller window, help file (optionally with "::/page"), command
// and the command's data. Returns the help window it showed, or nullptr.
using THtmlHelpFunc = std::function<QWidget *(QWidget *caller, const QString &file,
                                              unsigned command, const QVariant &data)>;

// Splits "file.chm::/page.htm" into the file and the page; either may come back empty.
struct THtmlHelpTarget
{
    QString file;
    QString page;
};
THtmlHelpTarget SplitHelpTarget(const QString &fileArgument);

#pragma once

#include <QString>
#include <QtGlobal>

// The application-wide side of help: its help file and its help command, which the help
// manager carries out.

// Help command numbers the application understands.
constexpr unsigned HELP_CONTEXT = 1;
constexpr unsigned HELP_CONTENTS = 3;

QString ApplicationHelpFile();
void SetApplicationHelpFile(const QString &fileName);

// HELP_CONTENTS shows the table of contents, HELP_CONTEXT the page for the context number in
// data. Returns whether a viewer took the request; false when there is no help manager.
bool ApplicationHelpCommand(unsigned command, qintptr data);

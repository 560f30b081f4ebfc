#pragma once

#include "HelpInterfaces.h"

// Whenever the help manager has to choose between viewers, chooses the "HtmlHelp" viewer.
class TSPHelpSelector : public IHelpSelector
{
public:
    // The manager offers the viewers' names sorted; the built-in viewer's empty name comes
    // first, so "HtmlHelp" sits at its viewer number - 1.
    int SelectKeyword(const QStringList &keywords) override;
    int TableOfContents(const QStringList &contents) override;
};

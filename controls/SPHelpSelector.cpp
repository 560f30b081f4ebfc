#include "SPHelpSelector.h"

#include "SPHelpViewer.h"

// Looks the name up rather than trusting the numbering, so a list offered in another order
// or with another viewer in it still leads to the right one.
int TSPHelpSelector::SelectKeyword(const QStringList &keywords)
{
    return static_cast<int>(keywords.indexOf(kHtmlHelpViewerName));
}

int TSPHelpSelector::TableOfContents(const QStringList &contents)
{
    return static_cast<int>(contents.indexOf(kHtmlHelpViewerName));
}

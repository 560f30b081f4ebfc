#include "ApplicationHelp.h"

#include "HelpManager.h"

namespace {

QString &helpFile()
{
    static QString file;
    return file;
}

} // namespace

QString ApplicationHelpFile()
{
    return helpFile();
}

void SetApplicationHelpFile(const QString &fileName)
{
    helpFile() = fileName;
}

bool ApplicationHelpCommand(unsigned command, qintptr data)
{
    const auto manager = HelpManager();
    if (!manager)
        return false;
    switch (command) {
    case HELP_CONTENTS:
        return manager->ShowTableOfContents();
    case HELP_CONTEXT:
        return manager->ShowContextHelp(static_cast<int>(data), ApplicationHelpFile());
    default:
        return false;
    }
}

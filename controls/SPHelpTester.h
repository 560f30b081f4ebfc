#pragma once

#include "HelpInterfaces.h"

// Installed on the built-in viewer: declines every link, topic and context, so that those
// requests reach the "HtmlHelp" viewer.
class TSPHelpTester : public IWinHelpTester
{
public:
    bool CanShowALink(const QString &, const QString &) override { return false; }
    bool CanShowTopic(const QString &, const QString &) override { return false; }
    bool CanShowContext(int, const QString &) override { return false; }
    QStringList GetHelpStrings(const QString &) override { return {}; }
    QString GetHelpPath() override { return {}; }
    QString GetDefaultHelpViewer() override { return {}; }
};

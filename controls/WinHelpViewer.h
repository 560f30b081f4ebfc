#pragma once

#include "HelpInterfaces.h"

#include <memory>

// The help manager's built-in viewer, registered before any other. This platform has no
// engine behind it, so it shows nothing; it claims every request unless its tester declines.
class TWinHelpViewer : public ICustomHelpViewer, public IExtendedHelpViewer
{
public:
    void SetTester(std::shared_ptr<IWinHelpTester> tester) { m_tester = std::move(tester); }
    std::shared_ptr<IWinHelpTester> Tester() const { return m_tester; }
    int ViewerID() const { return m_viewerID; }

    QString GetViewerName() override { return {}; }
    int UnderstandsKeyword(const QString &keyword) override;
    QStringList GetHelpStrings(const QString &keyword) override;
    bool CanShowTableOfContents() override { return true; }
    void ShowTableOfContents() override {}
    void ShowHelp(const QString &) override {}
    void NotifyID(int viewerID) override { m_viewerID = viewerID; }
    void SoftShutDown() override {}
    void ShutDown() override {}

    bool UnderstandsTopic(const QString &topic) override;
    void DisplayTopic(const QString &) override {}
    bool UnderstandsContext(int contextID, const QString &helpFileName) override;
    void DisplayHelpByContext(int, const QString &) override {}

private:
    std::shared_ptr<IWinHelpTester> m_tester;
    int m_viewerID = 0;
};

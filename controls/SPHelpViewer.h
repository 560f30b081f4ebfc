#pragma once

#include "HelpInterfaces.h"
#include "HtmlHelpAPI.h"

#include <memory>

// The viewer named "HtmlHelp": shows every kind of help request through the help engine's
// entry point, in the help file resolved as ResolveHelpFile describes.
class TSPHelpViewer : public ICustomHelpViewer,
                      public IExtendedHelpViewer,
                      public ISpecialWinHelpViewer
{
public:
    // Called when the manager shuts the viewer down, so the tester can be taken off the
    // built-in viewer.
    using TShutDownHook = std::function<void()>;

    explicit TSPHelpViewer(THtmlHelpFunc htmlHelp, TShutDownHook onShutDown = {});

    int ViewerID() const { return m_viewerID; }
    const std::shared_ptr<IHelpManager> &HelpManager() const { return m_helpManager; }
    void SetHelpManager(std::shared_ptr<IHelpManager> manager)
    {
        m_helpManager = std::move(manager);
    }
    void DropHelpManager() { m_helpManager.reset(); }

    // The given file if not empty, else the manager's current file, else the application's;
    // empty unless a file of that name exists.
    QString ResolveHelpFile(const QString &fileName = {}) const;

    QString GetViewerName() override;
    int UnderstandsKeyword(const QString &keyword) override;
    QStringList GetHelpStrings(const QString &keyword) override;
    bool CanShowTableOfContents() override;
    void ShowTableOfContents() override;
    void ShowHelp(const QString &keyword) override;
    void NotifyID(int viewerID) override;
    void SoftShutDown() override;
    void ShutDown() override;

    bool UnderstandsTopic(const QString &topic) override;
    void DisplayTopic(const QString &topic) override;
    bool UnderstandsContext(int contextID, const QString &helpFileName) override;
    void DisplayHelpByContext(int contextID, const QString &helpFileName) override;

    bool CallWinHelp(QWidget *handle, const QString &helpFile, unsigned command,
                     qintptr data) override;

private:
    QWidget *callerWindow() const;

    THtmlHelpFunc m_htmlHelp;
    TShutDownHook m_onShutDown;
    int m_viewerID = 0;
    std::shared_ptr<IHelpManager> m_helpManager;
};

// The viewer's name, under which the manager offers it to the selector.
extern const QString kHtmlHelpViewerName;

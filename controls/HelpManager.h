#pragma once

#include "HelpInterfaces.h"

#include <QPointer>
#include <QWidget>

#include <memory>
#include <vector>

class TWinHelpViewer;

// Hands the program's help requests to the registered viewers. Viewers are numbered from 1
// in the order they are registered; the built-in viewer comes first, with an empty name.
class THelpManager : public IHelpManager, public std::enable_shared_from_this<THelpManager>
{
public:
    THelpManager();
    ~THelpManager() override;
    THelpManager(const THelpManager &) = delete;
    THelpManager &operator=(const THelpManager &) = delete;

    // Numbers the viewer (NotifyID) and returns the manager for the viewer to keep.
    std::shared_ptr<IHelpManager> RegisterViewer(const std::shared_ptr<ICustomHelpViewer> &viewer);
    void AssignHelpSelector(std::shared_ptr<IHelpSelector> selector);
    std::shared_ptr<IHelpSelector> HelpSelector() const { return m_selector; }
    TWinHelpViewer &WinHelpViewer() const { return *m_winHelpViewer; }
    int ViewerCount() const { return static_cast<int>(m_viewers.size()); }

    // Each returns whether a viewer took the request.
    bool ShowTableOfContents();
    bool ShowHelp(const QString &keyword);
    bool ShowTopicHelp(const QString &topic);
    bool ShowContextHelp(int contextID, const QString &helpFileName);
    // Tells every viewer to shut down and forgets them all.
    void ShutDownViewers();

    // The window help windows belong to; by default the active window.
    void SetHandle(QWidget *handle) { m_handle = handle; }
    // The help file of the current context; empty means the application's.
    void SetHelpFile(const QString &helpFile) { m_helpFile = helpFile; }

    QWidget *GetHandle() override;
    QString GetHelpFile() override { return m_helpFile; }
    void Release(int viewerID) override;

private:
    struct TRegisteredViewer
    {
        int id;
        std::shared_ptr<ICustomHelpViewer> viewer;
    };
    using TViewerList = std::vector<TRegisteredViewer>;

    // Picks one of several candidates through the selector, which sees their names sorted.
    std::shared_ptr<ICustomHelpViewer> choose(const TViewerList &candidates, bool forContents);

    TViewerList m_viewers;
    int m_lastID = 0;
    std::shared_ptr<TWinHelpViewer> m_winHelpViewer;
    std::shared_ptr<IHelpSelector> m_selector;
    QPointer<QWidget> m_handle;
    QString m_helpFile;
};

// The application's one help manager: null until created by EnsureHelpManager.
std::shared_ptr<THelpManager> HelpManager();
std::shared_ptr<THelpManager> EnsureHelpManager();
// Shuts the viewers down and drops the manager.
void FreeHelpManager();

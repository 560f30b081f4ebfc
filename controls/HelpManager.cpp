#include "HelpManager.h"

#include "WinHelpViewer.h"

#include <QApplication>

#include <algorithm>
#include <utility>

namespace {

std::shared_ptr<THelpManager> &managerInstance()
{
    static std::shared_ptr<THelpManager> instance;
    return instance;
}

} // namespace

THelpManager::THelpManager() : m_winHelpViewer(std::make_shared<TWinHelpViewer>())
{
    m_viewers.push_back({++m_lastID, m_winHelpViewer});
    m_winHelpViewer->NotifyID(m_lastID);
}

THelpManager::~THelpManager() = default;

std::shared_ptr<IHelpManager>
THelpManager::RegisterViewer(const std::shared_ptr<ICustomHelpViewer> &viewer)
{
    m_viewers.push_back({++m_lastID, viewer});
    viewer->NotifyID(m_lastID);
    return shared_from_this();
}

void THelpManager::AssignHelpSelector(std::shared_ptr<IHelpSelector> selector)
{
    m_selector = std::move(selector);
}

QWidget *THelpManager::GetHandle()
{
    if (m_handle != nullptr)
        return m_handle;
    return QApplication::activeWindow();
}

void THelpManager::Release(int viewerID)
{
    std::erase_if(m_viewers,
                  [viewerID](const TRegisteredViewer &entry) { return entry.id == viewerID; });
}

std::shared_ptr<ICustomHelpViewer> THelpManager::choose(const TViewerList &candidates,
                                                        bool forContents)
{
    if (candidates.empty())
        return nullptr;
    if (candidates.size() == 1 || !m_selector)
        return candidates.front().viewer;
    TViewerList sorted = candidates;
    std::stable_sort(sorted.begin(), sorted.end(), [](const auto &a, const auto &b) {
        return a.viewer->GetViewerName() < b.viewer->GetViewerName();
    });
    QStringList names;
    for (const TRegisteredViewer &entry : sorted)
        names.append(entry.viewer->GetViewerName());
    const int chosen =
        forContents ? m_selector->TableOfContents(names) : m_selector->SelectKeyword(names);
    if (chosen < 0 || chosen >= static_cast<int>(sorted.size()))
        return nullptr;
    return sorted[static_cast<size_t>(chosen)].viewer;
}

bool THelpManager::ShowTableOfContents()
{
    TViewerList candidates;
    for (const TRegisteredViewer &entry : m_viewers) {
        if (entry.viewer->CanShowTableOfContents())
            candidates.push_back(entry);
    }
    const auto viewer = choose(candidates, true);
    if (!viewer)
        return false;
    viewer->ShowTableOfContents();
    return true;
}

bool THelpManager::ShowHelp(const QString &keyword)
{
    TViewerList candidates;
    for (const TRegisteredViewer &entry : m_viewers) {
        if (entry.viewer->UnderstandsKeyword(keyword) > 0)
            candidates.push_back(entry);
    }
    const auto viewer = choose(candidates, false);
    if (!viewer)
        return false;
    viewer->ShowHelp(keyword);
    return true;
}

bool THelpManager::ShowTopicHelp(const QString &topic)
{
    const TViewerList viewers = m_viewers;
    for (const TRegisteredViewer &entry : viewers) {
        auto *extended = dynamic_cast<IExtendedHelpViewer *>(entry.viewer.get());
        if (extended != nullptr && extended->UnderstandsTopic(topic)) {
            extended->DisplayTopic(topic);
            return true;
        }
    }
    return false;
}

bool THelpManager::ShowContextHelp(int contextID, const QString &helpFileName)
{
    const TViewerList viewers = m_viewers;
    for (const TRegisteredViewer &entry : viewers) {
        auto *extended = dynamic_cast<IExtendedHelpViewer *>(entry.viewer.get());
        if (extended != nullptr && extended->UnderstandsContext(contextID, helpFileName)) {
            extended->DisplayHelpByContext(contextID, helpFileName);
            return true;
        }
    }
    return false;
}

void THelpManager::ShutDownViewers()
{
    // A viewer may call back into the manager while it shuts down.
    const TViewerList viewers = std::exchange(m_viewers, {});
    for (const TRegisteredViewer &entry : viewers)
        entry.viewer->ShutDown();
}

std::shared_ptr<THelpManager> HelpManager()
{
    return managerInstance();
}

std::shared_ptr<THelpManager> EnsureHelpManager()
{
    auto &instance = managerInstance();
    if (!instance)
        instance = std::make_shared<THelpManager>();
    return instance;
}

void FreeHelpManager()
{
    auto &instance = managerInstance();
    if (!instance)
        return;
    const auto manager = std::move(instance);
    instance.reset();
    manager->ShutDownViewers();
}

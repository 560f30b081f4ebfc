#include "SPHelpViewer.h"

#include "ApplicationHelp.h"

#include <QFileInfo>

const QString kHtmlHelpViewerName = QStringLiteral("HtmlHelp");

namespace {

const QString kTopicSeparator = QStringLiteral(" ::/");

} // namespace

TSPHelpViewer::TSPHelpViewer(THtmlHelpFunc htmlHelp, TShutDownHook onShutDown)
    : m_htmlHelp(std::move(htmlHelp)), m_onShutDown(std::move(onShutDown))
{}

QString TSPHelpViewer::ResolveHelpFile(const QString &fileName) const
{
    QString file = fileName;
    if (file.isEmpty() && m_helpManager)
        file = m_helpManager->GetHelpFile();
    if (file.isEmpty())
        file = ApplicationHelpFile();
    if (file.isEmpty() || !QFileInfo(file).isFile())
        return {};
    return file;
}

QWidget *TSPHelpViewer::callerWindow() const
{
    return m_helpManager ? m_helpManager->GetHandle() : nullptr;
}

QString TSPHelpViewer::GetViewerName()
{
    return kHtmlHelpViewerName;
}

int TSPHelpViewer::UnderstandsKeyword(const QString &)
{
    return 1;
}

QStringList TSPHelpViewer::GetHelpStrings(const QString &keyword)
{
    return {kHtmlHelpViewerName + QStringLiteral(": ") + keyword};
}

bool TSPHelpViewer::CanShowTableOfContents()
{
    return true;
}

void TSPHelpViewer::ShowTableOfContents()
{
    const QString file = ResolveHelpFile();
    if (!file.isEmpty() && m_htmlHelp)
        m_htmlHelp(callerWindow(), file, HH_DISPLAY_TOC, 0);
}

void TSPHelpViewer::ShowHelp(const QString &keyword)
{
    const QString file = ResolveHelpFile();
    if (!file.isEmpty() && m_htmlHelp)
        m_htmlHelp(callerWindow(), file, HH_DISPLAY_INDEX, keyword);
}

void TSPHelpViewer::NotifyID(int viewerID)
{
    m_viewerID = viewerID;
}

void TSPHelpViewer::SoftShutDown()
{
    if (m_htmlHelp)
        m_htmlHelp(nullptr, QString(), HH_CLOSE_ALL, 0);
}

void TSPHelpViewer::ShutDown()
{
    SoftShutDown();
    m_helpManager.reset();
    if (m_onShutDown)
        m_onShutDown();
}

bool TSPHelpViewer::UnderstandsTopic(const QString &)
{
    return true;
}

void TSPHelpViewer::DisplayTopic(const QString &topic)
{
    const QString file = ResolveHelpFile();
    if (!file.isEmpty() && m_htmlHelp)
        m_htmlHelp(callerWindow(), file + kTopicSeparator + topic, HH_DISPLAY_TOPIC, 0);
}

bool TSPHelpViewer::UnderstandsContext(int, const QString &)
{
    return true;
}

void TSPHelpViewer::DisplayHelpByContext(int contextID, const QString &helpFileName)
{
    const QString file = ResolveHelpFile(helpFileName);
    if (!file.isEmpty() && m_htmlHelp)
        m_htmlHelp(callerWindow(), file, HH_HELP_CONTEXT, contextID);
}

bool TSPHelpViewer::CallWinHelp(QWidget *, const QString &, unsigned, qintptr)
{
    return false;
}

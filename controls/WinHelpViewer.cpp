#include "WinHelpViewer.h"

int TWinHelpViewer::UnderstandsKeyword(const QString &keyword)
{
    if (m_tester && !m_tester->CanShowALink(keyword, {}))
        return 0;
    return 1;
}

QStringList TWinHelpViewer::GetHelpStrings(const QString &keyword)
{
    if (m_tester)
        return m_tester->GetHelpStrings(keyword);
    return {keyword};
}

bool TWinHelpViewer::UnderstandsTopic(const QString &topic)
{
    return !m_tester || m_tester->CanShowTopic(topic, {});
}

bool TWinHelpViewer::UnderstandsContext(int contextID, const QString &helpFileName)
{
    return !m_tester || m_tester->CanShowContext(contextID, helpFileName);
}

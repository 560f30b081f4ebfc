#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// The contracts between the help manager and the viewers that show help. A viewer is
// registered with the manager, which numbers it and hands every request to a viewer that
// understands it, asking the selector when more than one does.

class ICustomHelpViewer
{
public:
    virtual ~ICustomHelpViewer() = default;
    virtual QString GetViewerName() = 0;
    virtual int UnderstandsKeyword(const QString &keyword) = 0;
    // A new list; the caller owns it.
    virtual QStringList GetHelpStrings(const QString &keyword) = 0;
    virtual bool CanShowTableOfContents() = 0;
    virtual void ShowTableOfContents() = 0;
    virtual void ShowHelp(const QString &keyword) = 0;
    virtual void NotifyID(int viewerID) = 0;
    virtual void SoftShutDown() = 0;
    virtual void ShutDown() = 0;
};

class IExtendedHelpViewer
{
public:
    virtual ~IExtendedHelpViewer() = default;
    virtual bool UnderstandsTopic(const QString &topic) = 0;
    virtual void DisplayTopic(const QString &topic) = 0;
    virtual bool UnderstandsContext(int contextID, const QString &helpFileName) = 0;
    virtual void DisplayHelpByContext(int contextID, const QString &helpFileName) = 0;
};

class ISpecialWinHelpViewer
{
public:
    virtual ~ISpecialWinHelpViewer() = default;
    virtual bool CallWinHelp(QWidget *handle, const QString &helpFile, unsigned command,
                             qintptr data) = 0;
};

// Chooses among viewers; the answer is an index into the offered names, -1 for none.
class IHelpSelector
{
public:
    virtual ~IHelpSelector() = default;
    virtual int SelectKeyword(const QStringList &keywords) = 0;
    virtual int TableOfContents(const QStringList &contents) = 0;
};

// What a registered viewer may ask of the manager.
class IHelpManager
{
public:
    virtual ~IHelpManager() = default;
    virtual QWidget *GetHandle() = 0;
    virtual QString GetHelpFile() = 0;
    virtual void Release(int viewerID) = 0;
};

// Consulted by the built-in viewer before it claims a request.
class IWinHelpTester
{
public:
    virtual ~IWinHelpTester() = default;
    virtual bool CanShowALink(const QString &aLink, const QString &fileName) = 0;
    virtual bool CanShowTopic(const QString &topic, const QString &fileName) = 0;
    virtual bool CanShowContext(int context, const QString &fileName) = 0;
    virtual QStringList GetHelpStrings(const QString &aLink) = 0;
    virtual QString GetHelpPath() = 0;
    virtual QString GetDefaultHelpViewer() = 0;
};

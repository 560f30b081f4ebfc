#pragma once

#include "ChmArchive.h"
#include "HelpSitemap.h"

#include <QWidget>

class QLineEdit;
class QListWidget;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class THelpBrowser;
class TChmLibrary;

// The help window: the file's table of contents and keyword index beside the page browser.
class THelpWindow : public QWidget
{
    Q_OBJECT
public:
    // The library must stay loaded while the window lives.
    explicit THelpWindow(const TChmLibrary &library, QWidget *parent = nullptr);

    // Opens the help file unless it is the one already open; false when it cannot be read.
    bool openFile(const QString &fileName);
    QString fileName() const { return m_archive.fileName(); }

    // Each shows the window's matching tab and a page; an empty page means the file's
    // default topic (or else its first page in the contents).
    void showContents(const QString &page = {});
    void showTopic(const QString &page);
    // Fills the index search with the keyword and opens the best match, if any.
    void showIndex(const QString &keyword);

    QString defaultPage() const;
    QString currentPage() const;
    THelpBrowser *browser() const { return m_browser; }
    QTreeWidget *contentsTree() const { return m_contents; }
    QListWidget *indexList() const { return m_indexList; }
    QLineEdit *indexSearch() const { return m_indexSearch; }
    QTabWidget *tabs() const { return m_tabs; }

private:
    void fillContents();
    void fillIndex(const QString &keyword);
    void openPage(const QString &page);
    void syncContents(const QUrl &source);
    void bringToFront();

    TChmArchive m_archive;
    QList<THelpSitemapEntry> m_contentsEntries;
    QList<THelpSitemapEntry> m_indexEntries;
    QTabWidget *m_tabs = nullptr;
    QTreeWidget *m_contents = nullptr;
    QLineEdit *m_indexSearch = nullptr;
    QListWidget *m_indexList = nullptr;
    THelpBrowser *m_browser = nullptr;
};

#pragma once

#include "HelpSitemap.h"

#include <QWidget>

#include <functional>
#include <memory>

class QLineEdit;
class QListWidget;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class THelpBrowser;
class THelpContent;
class THelpFileReader;

// Shown instead of the help when its file cannot be read.
extern const QString kHelpFileDamagedText;

// The help window: the file's table of contents and keyword index beside the page browser.
// The file is read in a helper process while the window already shows; requests made in the
// meantime are carried out once it has been read. Escape closes it.
class THelpWindow : public QWidget
{
    Q_OBJECT
public:
    // The reader library that the helper process loads.
    explicit THelpWindow(const QString &libraryPath, QWidget *parent = nullptr);
    ~THelpWindow() override;

    // Starts reading the help file unless it is the one already read or being read; a file
    // that failed is read again.
    void openFile(const QString &fileName);
    QString fileName() const { return m_fileName; }
    bool isReading() const;
    // False when the file was not read successfully (yet).
    bool isReady() const { return m_content != nullptr; }
    // Why the file could not be read; empty while reading or after success.
    QString failureText() const { return m_failure; }
    // Blocks until the file is read or msecs passed; for tests, never the program.
    bool waitUntilRead(int msecs);
    THelpFileReader *reader() const { return m_reader; }

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

signals:
    // The file has been read, or has failed.
    void fileRead();

private:
    void readerDone();
    // Runs the request now when the file is read, or else once it is.
    void whenRead(std::function<void()> request);
    void showMessage(const QString &html);
    void fillContents();
    void fillIndex(const QString &keyword);
    void openPage(const QString &page);
    void syncContents(const QUrl &source);
    void bringToFront();

    THelpFileReader *m_reader = nullptr;
    QString m_fileName;
    std::shared_ptr<const THelpContent> m_content;
    QString m_failure;
    std::function<void()> m_pending;
    QList<THelpSitemapEntry> m_contentsEntries;
    QList<THelpSitemapEntry> m_indexEntries;
    QTabWidget *m_tabs = nullptr;
    QTreeWidget *m_contents = nullptr;
    QLineEdit *m_indexSearch = nullptr;
    QListWidget *m_indexList = nullptr;
    THelpBrowser *m_browser = nullptr;
};

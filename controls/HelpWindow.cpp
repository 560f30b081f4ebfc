#include "HelpWindow.h"

#include "HelpBrowser.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QSplitter>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

namespace {

constexpr int kPageRole = Qt::UserRole;
constexpr QSize kInitialSize(900, 620);
constexpr int kNavigationWidth = 240;
const QString kFallbackTitle = QStringLiteral("Hilfe");

} // namespace

THelpWindow::THelpWindow(const TChmLibrary &library, QWidget *parent)
    : QWidget(parent, Qt::Window), m_archive(library)
{
    auto *toolBar = new QToolBar(this);
    m_browser = new THelpBrowser(this);
    QAction *back =
        toolBar->addAction(QStringLiteral("Zurück"), m_browser, &QTextBrowser::backward);
    QAction *forward = toolBar->addAction(QStringLiteral("Vor"), m_browser, &QTextBrowser::forward);
    toolBar->addAction(QStringLiteral("Startseite"), this, [this] { openPage(defaultPage()); });
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);

    m_contents = new QTreeWidget(this);
    m_contents->setHeaderHidden(true);
    connect(m_contents, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem *item) { openPage(item->data(0, kPageRole).toString()); });
    connect(m_contents, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem *item) { openPage(item->data(0, kPageRole).toString()); });

    auto *indexPage = new QWidget(this);
    m_indexSearch = new QLineEdit(indexPage);
    m_indexSearch->setPlaceholderText(QStringLiteral("Stichwort"));
    m_indexList = new QListWidget(indexPage);
    auto *indexLayout = new QVBoxLayout(indexPage);
    indexLayout->setContentsMargins(0, 0, 0, 0);
    indexLayout->addWidget(m_indexSearch);
    indexLayout->addWidget(m_indexList);
    connect(m_indexSearch, &QLineEdit::textEdited, this, &THelpWindow::fillIndex);
    connect(m_indexSearch, &QLineEdit::returnPressed, this, [this] {
        if (m_indexList->count() > 0)
            openPage(m_indexList->item(0)->data(kPageRole).toString());
    });
    connect(m_indexList, &QListWidget::itemActivated, this,
            [this](QListWidgetItem *item) { openPage(item->data(kPageRole).toString()); });
    connect(m_indexList, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { openPage(item->data(kPageRole).toString()); });

    m_tabs = new QTabWidget(this);
    m_tabs->addTab(m_contents, QStringLiteral("Inhalt"));
    m_tabs->addTab(indexPage, QStringLiteral("Index"));

    auto *splitter = new QSplitter(this);
    splitter->addWidget(m_tabs);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({kNavigationWidth, kInitialSize.width() - kNavigationWidth});

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolBar);
    layout->addWidget(splitter);

    connect(m_browser, &QTextBrowser::sourceChanged, this, &THelpWindow::syncContents);
    setWindowTitle(kFallbackTitle);
    resize(kInitialSize);
    // An open help window must not keep the program running after its main window closed.
    setAttribute(Qt::WA_QuitOnClose, false);
}

bool THelpWindow::openFile(const QString &fileName)
{
    if (m_archive.isOpen() && m_archive.fileName() == fileName)
        return true;
    m_browser->setArchive(nullptr);
    if (!m_archive.open(fileName)) {
        m_contentsEntries.clear();
        m_indexEntries.clear();
        fillContents();
        fillIndex({});
        return false;
    }
    const TChmSystemInfo &info = m_archive.systemInfo();
    m_contentsEntries =
        THelpSitemap::parse(m_archive.read(info.contentsFile).value_or(QByteArray()));
    // Without a keyword index the contents serve as one.
    m_indexEntries =
        info.indexFile.isEmpty()
            ? QList<THelpSitemapEntry>()
            : THelpSitemap::parse(m_archive.read(info.indexFile).value_or(QByteArray()));
    if (m_indexEntries.isEmpty())
        m_indexEntries = m_contentsEntries;
    m_browser->setArchive(&m_archive);
    setWindowTitle(info.title.isEmpty() ? kFallbackTitle : info.title);
    fillContents();
    m_indexSearch->clear();
    fillIndex({});
    return true;
}

QString THelpWindow::defaultPage() const
{
    const QString topic = m_archive.systemInfo().defaultTopic;
    if (!topic.isEmpty())
        return TChmArchive::normalizedPath(topic);
    for (const THelpSitemapEntry &entry : m_contentsEntries) {
        if (!entry.local.isEmpty())
            return TChmArchive::normalizedPath(entry.local);
    }
    return {};
}

QString THelpWindow::currentPage() const
{
    return m_browser->currentPage();
}

void THelpWindow::showContents(const QString &page)
{
    m_tabs->setCurrentIndex(0);
    openPage(page.isEmpty() ? defaultPage() : page);
    bringToFront();
}

void THelpWindow::showTopic(const QString &page)
{
    openPage(page.isEmpty() ? defaultPage() : page);
    bringToFront();
}

void THelpWindow::showIndex(const QString &keyword)
{
    m_tabs->setCurrentIndex(1);
    m_indexSearch->setText(keyword);
    fillIndex(keyword);
    if (m_indexList->count() > 0 && !keyword.trimmed().isEmpty())
        openPage(m_indexList->item(0)->data(kPageRole).toString());
    else if (currentPage().isEmpty())
        openPage(defaultPage());
    bringToFront();
}

void THelpWindow::fillContents()
{
    m_contents->clear();
    QList<QTreeWidgetItem *> parents;
    for (const THelpSitemapEntry &entry : std::as_const(m_contentsEntries)) {
        // A level deeper than one below its predecessor hangs under the deepest open one.
        const int level = qMin(entry.level, static_cast<int>(parents.size()));
        parents.resize(level);
        auto *item =
            level == 0 ? new QTreeWidgetItem(m_contents) : new QTreeWidgetItem(parents.last());
        item->setText(0, entry.name);
        item->setData(0, kPageRole, entry.local);
        parents.append(item);
    }
    m_contents->expandAll();
}

void THelpWindow::fillIndex(const QString &keyword)
{
    m_indexList->clear();
    for (const THelpSitemapEntry &entry : THelpSitemap::match(m_indexEntries, keyword)) {
        auto *item = new QListWidgetItem(entry.name, m_indexList);
        item->setData(kPageRole, entry.local);
    }
    if (m_indexList->count() > 0)
        m_indexList->setCurrentRow(0);
}

void THelpWindow::openPage(const QString &page)
{
    if (page.isEmpty() || !m_archive.isOpen())
        return;
    m_browser->showPage(page);
}

void THelpWindow::syncContents(const QUrl &source)
{
    // The browser reports the new page before source() returns it.
    const QString page = TChmArchive::normalizedPath(source.path());
    for (QTreeWidgetItemIterator it(m_contents); *it; ++it) {
        const QString local = (*it)->data(0, kPageRole).toString();
        if (!local.isEmpty() && TChmArchive::normalizedPath(local) == page) {
            const QSignalBlocker blocker(m_contents);
            m_contents->setCurrentItem(*it);
            return;
        }
    }
}

void THelpWindow::bringToFront()
{
    show();
    raise();
    activateWindow();
}

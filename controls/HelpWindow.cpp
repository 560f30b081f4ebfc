#include "HelpWindow.h"

#include "ChmArchive.h"
#include "HelpBrowser.h"
#include "HelpContent.h"
#include "HelpFileReader.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QShortcut>
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

const QString kReadingPage =
    QStringLiteral("<html><body><p>Die Hilfedatei wird gelesen …</p></body></html>");
// The operator may open the help in the middle of a race: say that the timing is untouched.
const QString kDamagedPage =
    QStringLiteral("<html><body><h2>Keine Hilfe</h2><p><b>%1</b></p><p>%2: %3.</p>"
                   "<p>Die Zeitnahme läuft davon unberührt weiter.</p></body></html>");
const QString kNotShownPage = QStringLiteral(
    "<html><body><h2>Keine Hilfe</h2><p><b>Die Hilfe kann nicht angezeigt werden.</b></p>"
    "<p>%1.</p><p>Die Zeitnahme läuft davon unberührt weiter.</p></body></html>");

} // namespace

const QString kHelpFileDamagedText =
    QStringLiteral("Die Hilfedatei ist beschädigt und kann nicht angezeigt werden.");

THelpWindow::THelpWindow(const QString &libraryPath, QWidget *parent)
    : QWidget(parent, Qt::Window), m_reader(new THelpFileReader(libraryPath, this))
{
    connect(m_reader, &THelpFileReader::done, this, &THelpWindow::readerDone);

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
    // Read and put away as quickly as any other window of the program.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);
}

THelpWindow::~THelpWindow() = default;

void THelpWindow::openFile(const QString &fileName)
{
    if (fileName == m_fileName && (isReady() || isReading()))
        return;
    m_fileName = fileName;
    m_content.reset();
    m_failure.clear();
    m_pending = nullptr;
    m_browser->setContent(nullptr);
    m_contentsEntries.clear();
    m_indexEntries.clear();
    fillContents();
    m_indexSearch->clear();
    fillIndex({});
    setWindowTitle(kFallbackTitle);
    showMessage(kReadingPage);
    m_reader->start(fileName);
}

bool THelpWindow::isReading() const
{
    return m_reader->isReading();
}

bool THelpWindow::waitUntilRead(int msecs)
{
    return m_reader->waitForDone(msecs);
}

void THelpWindow::readerDone()
{
    m_content = m_reader->content();
    std::function<void()> pending = std::exchange(m_pending, nullptr);
    if (!m_content) {
        m_failure = m_reader->errorString();
        showMessage(m_reader->fileIsDamaged()
                        ? kDamagedPage.arg(kHelpFileDamagedText.toHtmlEscaped(),
                                           m_fileName.toHtmlEscaped(), m_failure.toHtmlEscaped())
                        : kNotShownPage.arg(m_failure.toHtmlEscaped()));
        emit fileRead();
        return;
    }
    const TChmSystemInfo &info = m_content->systemInfo();
    m_contentsEntries =
        THelpSitemap::parse(m_content->read(info.contentsFile).value_or(QByteArray()));
    // Without a keyword index the contents serve as one.
    m_indexEntries =
        info.indexFile.isEmpty()
            ? QList<THelpSitemapEntry>()
            : THelpSitemap::parse(m_content->read(info.indexFile).value_or(QByteArray()));
    if (m_indexEntries.isEmpty())
        m_indexEntries = m_contentsEntries;
    m_browser->setContent(m_content.get());
    setWindowTitle(info.title.isEmpty() ? kFallbackTitle : info.title);
    fillContents();
    fillIndex({});
    if (pending)
        pending();
    else
        openPage(defaultPage());
    emit fileRead();
}

void THelpWindow::whenRead(std::function<void()> request)
{
    if (isReading())
        m_pending = std::move(request);
    else if (isReady())
        request();
    bringToFront();
}

void THelpWindow::showMessage(const QString &html)
{
    m_browser->clearHistory();
    m_browser->setHtml(html);
}

QString THelpWindow::defaultPage() const
{
    if (!m_content)
        return {};
    const QString topic = m_content->systemInfo().defaultTopic;
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
    whenRead([this, page] { openPage(page.isEmpty() ? defaultPage() : page); });
}

void THelpWindow::showTopic(const QString &page)
{
    whenRead([this, page] { openPage(page.isEmpty() ? defaultPage() : page); });
}

void THelpWindow::showIndex(const QString &keyword)
{
    m_tabs->setCurrentIndex(1);
    m_indexSearch->setText(keyword);
    whenRead([this, keyword] {
        m_indexSearch->setText(keyword);
        fillIndex(keyword);
        if (m_indexList->count() > 0 && !keyword.trimmed().isEmpty())
            openPage(m_indexList->item(0)->data(kPageRole).toString());
        else if (currentPage().isEmpty())
            openPage(defaultPage());
    });
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
    if (page.isEmpty() || !m_content)
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

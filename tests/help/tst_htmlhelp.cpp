#include "ApplicationHelp.h"
#include "HelpBrowser.h"
#include "HelpContent.h"
#include "HelpFileReader.h"
#include "HelpManager.h"
#include "HelpWindow.h"
#include "HtmlHelpLibrary.h"
#include "SPHTMLHelp.h"
#include "SPHelpSelector.h"
#include "SPHelpTester.h"
#include "SPHelpViewer.h"
#include "TempFolder.h"
#include "WinHelpViewer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QTextBlock>
#include <QTreeWidget>
#include <QtTest>

namespace {

const QString kBuiltHelpFile = QStringLiteral(BUILT_HELP_FILE);
constexpr int kLoopTimeoutMs = 3000;
// Reading our help file takes the helper process milliseconds; this only stops a hung test.
constexpr int kReadTimeoutMs = 20000;
const QString kMissingLibrary = QStringLiteral("libno-help-reader.so.9");

struct THelpCall
{
    QWidget *caller;
    QString file;
    unsigned command;
    QVariant data;
};

struct TWarning
{
    QString text;
    QString caption;
};

// A copy of the built help file with one fault, as a damaged disk or download leaves it.
QString damagedHelpFile(const TempFolder &folder, const QString &fault)
{
    QFile built(kBuiltHelpFile);
    if (!built.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = built.readAll();
    // The compression's control data: its size, "LZXC", version, reset interval, window size.
    const qsizetype control = bytes.indexOf("LZXC");
    if (fault == u"compression version")
        bytes[control + 4] = 9;
    else if (fault == u"window size 0")
        bytes.replace(control + 12, 4, QByteArray(4, '\0'));
    else if (fault == u"cut in two")
        bytes.truncate(bytes.size() / 2);
    else if (fault == u"cut after its directory")
        bytes.truncate(control + 64);
    else if (fault == u"directory in a circle") // the first listing chunk names itself as next
        bytes.replace(bytes.indexOf("PMGL") + 16, 4, QByteArray(4, '\0'));
    const QString path = folder.filePath(QStringLiteral("Talvenbahn.chm"));
    QFile damaged(path);
    if (!damaged.open(QIODevice::WriteOnly) || damaged.write(bytes) != bytes.size())
        return {};
    return path;
}

// A stand-in for the helper program that misbehaves in one way.
QString fakeHelper(const TempFolder &folder, const QByteArray &script)
{
    const QString path = folder.filePath(QStringLiteral("fake-help-reader"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write("#!/bin/sh\n" + script + "\n");
    file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
    return path;
}

QList<QWidget *> visibleWindows()
{
    QList<QWidget *> windows;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible())
            windows.append(widget);
    }
    return windows;
}

} // namespace

// The help as the program uses it: the start-up, the viewer behind the help manager, the
// engine's commands and the help window on the help file the build compiles.
class TestHtmlHelp : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void missingLibraryShowsTheWarningAndHelpDoesNothing();
    void startUpInstallsViewerSelectorAndTester();
    void viewerGivesTheEngineItsCommands_data();
    void viewerGivesTheEngineItsCommands();
    void missingHelpFileCallsNothing_data();
    void missingHelpFileCallsNothing();
    void helpFileComesFromTheRequestTheManagerOrTheApplication();
    void shutDownClosesHelpAndTakesEverythingOff();
    void managerShutDownLeavesOnlyTheBuiltInViewer();

    void builtFileOpensOnItsContentsPage();
    void topicRequestAndLinksShowTheirPages();
    void indexSearchOpensTheBestMatch();
    void engineShowsNothingForWhatItCannotServe();
    void damagedHelpFileShowsTheDamagedLine_data();
    void damagedHelpFileShowsTheDamagedLine();
    void directoryInACircleIsReadOnce();
    void helperThatFailsShowsALineWhileTheProgramRuns_data();
    void helperThatFailsShowsALineWhileTheProgramRuns();
    void closingTheProgramClosesTheHelpWindow();
    void escapeClosesTheHelpWindow();
    void openHelpDoesNotKeepTheProgramRunning();

private:
    QString copyHelpFile(const TempFolder &folder) const;
    QList<THelpCall> m_calls;
    QList<TWarning> m_warnings;
    THtmlHelpSetup recordingSetup();
    THtmlHelpSetup realSetup();
};

void TestHtmlHelp::init()
{
    m_calls.clear();
    m_warnings.clear();
    SetApplicationHelpFile(kBuiltHelpFile);
}

void TestHtmlHelp::cleanup()
{
    FreeHelpManager();
    SetApplicationHelpFile({});
    QVERIFY(visibleWindows().isEmpty());
}

THtmlHelpSetup TestHtmlHelp::recordingSetup()
{
    THtmlHelpSetup setup;
    setup.showWarning = [this](const QString &text, const QString &caption) {
        m_warnings.append({text, caption});
    };
    setup.entryPoint = [this](QWidget *caller, const QString &file, unsigned command,
                              const QVariant &data) -> QWidget * {
        m_calls.append({caller, file, command, data});
        return nullptr;
    };
    return setup;
}

THtmlHelpSetup TestHtmlHelp::realSetup()
{
    THtmlHelpSetup setup = recordingSetup();
    setup.entryPoint = {};
    return setup;
}

QString TestHtmlHelp::copyHelpFile(const TempFolder &folder) const
{
    const QString copy = folder.filePath(QStringLiteral("Talvenbahn.chm"));
    QFile::copy(kBuiltHelpFile, copy);
    return copy;
}

void TestHtmlHelp::missingLibraryShowsTheWarningAndHelpDoesNothing()
{
    THtmlHelpSetup setup = realSetup();
    setup.libraryPath = kMissingLibrary;
    TSPHTMLHelp help(setup);

    QCOMPARE(m_warnings.size(), 1);
    QCOMPARE(m_warnings[0].text, QStringLiteral("Unable to view HTML help (*.chm). Update windows "
                                                "help system. Get new \"HHCTRL.OCX\" library."));
    QCOMPARE(m_warnings[0].caption, QStringLiteral("Warning!"));
    QVERIFY(!help.IsLoaded());
    QVERIFY(!help.Viewer());
    QVERIFY(!HelpManager());

    ShowHelpContents();
    ShowHelpTopic(QStringLiteral("index.htm"));
    QVERIFY(!ApplicationHelpCommand(HELP_CONTENTS, 0));
    QVERIFY(visibleWindows().isEmpty());
}

void TestHtmlHelp::startUpInstallsViewerSelectorAndTester()
{
    TSPHTMLHelp help(recordingSetup());
    QVERIFY(m_warnings.isEmpty());
    QVERIFY(help.IsLoaded());

    const auto manager = HelpManager();
    QVERIFY(manager);
    QCOMPARE(manager->ViewerCount(), 2);
    QCOMPARE(manager->WinHelpViewer().ViewerID(), 1);
    QCOMPARE(help.Viewer()->ViewerID(), 2);
    QCOMPARE(help.Viewer()->GetViewerName(), QStringLiteral("HtmlHelp"));
    QCOMPARE(help.Viewer()->HelpManager().get(), manager.get());
    QCOMPARE(manager->HelpSelector(), std::static_pointer_cast<IHelpSelector>(help.Selector()));
    QCOMPARE(manager->WinHelpViewer().Tester(),
             std::static_pointer_cast<IWinHelpTester>(help.Tester()));

    // The built-in viewer now declines everything the tester is asked about.
    TWinHelpViewer &builtIn = manager->WinHelpViewer();
    QCOMPARE(builtIn.UnderstandsKeyword(QStringLiteral("Runden")), 0);
    QVERIFY(!builtIn.UnderstandsTopic(QStringLiteral("index.htm")));
    QVERIFY(!builtIn.UnderstandsContext(7, kBuiltHelpFile));
    QVERIFY(help.Tester()->GetHelpStrings(QStringLiteral("x")).isEmpty());
    QVERIFY(help.Tester()->GetHelpPath().isEmpty());
    QVERIFY(help.Tester()->GetDefaultHelpViewer().isEmpty());

    // The manager offers both viewers' names sorted, the built-in empty one first.
    const QStringList offered = {QString(), QStringLiteral("HtmlHelp")};
    QCOMPARE(help.Selector()->TableOfContents(offered), help.Viewer()->ViewerID() - 1);
    QCOMPARE(help.Selector()->SelectKeyword(offered), 1);
    QCOMPARE(help.Selector()->TableOfContents({QStringLiteral("HtmlHelp"), QStringLiteral("Z")}),
             0);
    QCOMPARE(help.Selector()->TableOfContents({QStringLiteral("Z")}), -1);

    QCOMPARE(help.Viewer()->UnderstandsKeyword(QStringLiteral("egal")), 1);
    QCOMPARE(help.Viewer()->GetHelpStrings(QStringLiteral("Runden")),
             QStringList{QStringLiteral("HtmlHelp: Runden")});
    QVERIFY(help.Viewer()->CanShowTableOfContents());
    QVERIFY(help.Viewer()->UnderstandsTopic(QStringLiteral("x.htm")));
    QVERIFY(help.Viewer()->UnderstandsContext(3, QString()));
    QVERIFY(!help.Viewer()->CallWinHelp(nullptr, kBuiltHelpFile, HELP_CONTENTS, 0));
    QVERIFY(m_calls.isEmpty());
}

void TestHtmlHelp::viewerGivesTheEngineItsCommands_data()
{
    QTest::addColumn<QString>("request");
    QTest::addColumn<QString>("file");
    QTest::addColumn<uint>("command");
    QTest::addColumn<QVariant>("data");

    QTest::newRow("contents (Ctrl+H)") << "contents" << kBuiltHelpFile << 1u << QVariant(0);
    QTest::newRow("keyword") << "keyword" << kBuiltHelpFile << 2u << QVariant(u"Runden"_qs);
    QTest::newRow("topic") << "topic" << kBuiltHelpFile + QStringLiteral(" ::/page.htm") << 0u
                           << QVariant(0);
    QTest::newRow("context") << "context" << kBuiltHelpFile << 15u << QVariant(42);
}

void TestHtmlHelp::viewerGivesTheEngineItsCommands()
{
    QFETCH(QString, request);
    TSPHTMLHelp help(recordingSetup());
    QWidget mainWindow;
    HelpManager()->SetHandle(&mainWindow);

    // Every request goes the way the program sends it: through the application or the manager.
    if (request == u"contents")
        ShowHelpContents();
    else if (request == u"keyword")
        QVERIFY(HelpManager()->ShowHelp(QStringLiteral("Runden")));
    else if (request == u"topic")
        ShowHelpTopic(QStringLiteral("page.htm"));
    else
        QVERIFY(ApplicationHelpCommand(HELP_CONTEXT, 42));

    QCOMPARE(m_calls.size(), 1);
    QCOMPARE(m_calls[0].caller, &mainWindow);
    QTEST(m_calls[0].file, "file");
    QTEST(m_calls[0].command, "command");
    QTEST(m_calls[0].data, "data");

    help.Viewer()->SoftShutDown();
    QCOMPARE(m_calls.size(), 2);
    QCOMPARE(m_calls[1].caller, nullptr);
    QCOMPARE(m_calls[1].file, QString());
    QCOMPARE(m_calls[1].command, 18u);
    QCOMPARE(m_calls[1].data, QVariant(0));
}

void TestHtmlHelp::missingHelpFileCallsNothing_data()
{
    QTest::addColumn<QString>("applicationFile");
    QTest::newRow("no such file") << "/nowhere/Talvenbahn.chm";
    QTest::newRow("no help file set") << "";
    QTest::newRow("a folder") << "/tmp";
}

void TestHtmlHelp::missingHelpFileCallsNothing()
{
    QFETCH(QString, applicationFile);
    SetApplicationHelpFile(applicationFile);
    TSPHTMLHelp help(recordingSetup());

    ShowHelpContents();
    ShowHelpTopic(QStringLiteral("index.htm"));
    HelpManager()->ShowHelp(QStringLiteral("Runden"));
    ApplicationHelpCommand(HELP_CONTEXT, 1);
    QVERIFY(m_calls.isEmpty());
    QVERIFY(m_warnings.isEmpty());
}

void TestHtmlHelp::helpFileComesFromTheRequestTheManagerOrTheApplication()
{
    TempFolder folder;
    const QString other = copyHelpFile(folder);
    TSPHTMLHelp help(recordingSetup());
    const auto &viewer = help.Viewer();

    QCOMPARE(viewer->ResolveHelpFile(), kBuiltHelpFile);
    QCOMPARE(viewer->ResolveHelpFile(other), other);
    HelpManager()->SetHelpFile(other);
    QCOMPARE(viewer->ResolveHelpFile(), other);
    // A named file is used as it is, even when the manager's would exist.
    QCOMPARE(viewer->ResolveHelpFile(QStringLiteral("/nowhere/x.chm")), QString());
    HelpManager()->SetHelpFile({});

    viewer->DisplayHelpByContext(5, other);
    QCOMPARE(m_calls.size(), 1);
    QCOMPARE(m_calls[0].file, other);
}

void TestHtmlHelp::shutDownClosesHelpAndTakesEverythingOff()
{
    std::shared_ptr<TSPHelpViewer> viewer;
    {
        TSPHTMLHelp help(recordingSetup());
        viewer = help.Viewer();
    }
    QCOMPARE(m_calls.size(), 1);
    QCOMPARE(m_calls[0].command, 18u);
    const auto manager = HelpManager();
    QCOMPARE(manager->ViewerCount(), 1);
    QVERIFY(!manager->WinHelpViewer().Tester());
    QVERIFY(!manager->HelpSelector());
    QVERIFY(!viewer->HelpManager());

    // A second start-up after the first is gone installs afresh.
    TSPHTMLHelp again(recordingSetup());
    QCOMPARE(manager->ViewerCount(), 2);
    QCOMPARE(again.Viewer()->ViewerID(), 3);
    ShowHelpContents();
    QCOMPARE(m_calls.size(), 2);
    QCOMPARE(m_calls[1].command, 1u);
}

void TestHtmlHelp::managerShutDownLeavesOnlyTheBuiltInViewer()
{
    TSPHTMLHelp help(recordingSetup());
    const auto viewer = help.Viewer();
    const auto manager = HelpManager();
    manager->ShutDownViewers();
    QCOMPARE(m_calls.size(), 1);
    QCOMPARE(m_calls[0].command, 18u);
    QVERIFY(!viewer->HelpManager());
    QVERIFY(!manager->WinHelpViewer().Tester());
    // The start-up's own shutdown then has nothing left to close.
    m_calls.clear();
}

void TestHtmlHelp::builtFileOpensOnItsContentsPage()
{
    TSPHTMLHelp help(realSetup());
    QVERIFY(help.IsLoaded());
    ShowHelpContents();

    THelpWindow *window = help.Library()->window();
    QVERIFY(window != nullptr);
    QVERIFY(window->isVisible());
    QVERIFY(window->waitUntilRead(kReadTimeoutMs));
    QCOMPARE(window->windowTitle(), QStringLiteral("Talvenbahn Hilfe"));
    QCOMPARE(window->currentPage(), QStringLiteral("/index.htm"));
    QCOMPARE(window->tabs()->currentIndex(), 0);
    QVERIFY(window->browser()->toPlainText().contains(u"Zeitnahme für Rennen und Training"));

    QTreeWidget *tree = window->contentsTree();
    QCOMPARE(tree->topLevelItem(0)->text(0), u"Übersicht"_qs);
    QCOMPARE(tree->currentItem(), tree->topLevelItem(0));
    QCOMPARE(tree->topLevelItem(1)->child(1)->text(0),
             QStringLiteral("Zeiten nehmen mit F1 bis F12"));

    // The picture and the style sheet come out of the help file too.
    const QVariant picture = window->browser()->loadResource(QTextDocument::ImageResource,
                                                             QUrl(QStringLiteral("tasten.png")));
    QVERIFY(!QImage::fromData(picture.toByteArray()).isNull());
    QVERIFY(window->browser()
                ->loadResource(QTextDocument::StyleSheetResource, QUrl(QStringLiteral("hilfe.css")))
                .toString()
                .contains(u"kbd"));

    // A second Ctrl+H reuses the one window.
    ShowHelpContents();
    QCOMPARE(help.Library()->window(), window);

    window->resize(900, 620);
    const QString shot = QDir::current().filePath(QStringLiteral("help-window.png"));
    QVERIFY(window->grab().save(shot));
}

void TestHtmlHelp::topicRequestAndLinksShowTheirPages()
{
    TSPHTMLHelp help(realSetup());
    ShowHelpTopic(QStringLiteral("zeitnahme.htm"));
    THelpWindow *window = help.Library()->window();
    QVERIFY(window != nullptr);
    QVERIFY(window->waitUntilRead(kReadTimeoutMs));
    QCOMPARE(window->currentPage(), QStringLiteral("/zeitnahme.htm"));
    QCOMPARE(window->contentsTree()->currentItem()->text(0),
             QStringLiteral("Zeiten nehmen mit F1 bis F12"));

    // A relative link on the page leads to its neighbour in the file; back returns.
    window->browser()->setFocus();
    QTest::keyClick(window->browser(), Qt::Key_Tab);
    QTest::keyClick(window->browser(), Qt::Key_Return);
    QCOMPARE(window->currentPage(), QStringLiteral("/wertung.htm"));
    QVERIFY(window->browser()->toPlainText().contains(u"Farben"));
    window->browser()->backward();
    QCOMPARE(window->currentPage(), QStringLiteral("/zeitnahme.htm"));

    // Clicking an entry of the contents opens its page.
    QTreeWidgetItem *settings = window->contentsTree()->findItems(
        QStringLiteral("Einstellungen"), Qt::MatchExactly | Qt::MatchRecursive)[0];
    const QRect cell = window->contentsTree()->visualItemRect(settings);
    QTest::mouseClick(window->contentsTree()->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(window->currentPage(), QStringLiteral("/einstellungen.htm"));
    QVERIFY(window->browser()->toPlainText().contains(u"~/.config"));

    ShowHelpTopic(QStringLiteral("fehlt.htm"));
    QVERIFY(window->browser()->toPlainText().contains(u"Seite nicht gefunden"));
}

void TestHtmlHelp::indexSearchOpensTheBestMatch()
{
    TSPHTMLHelp help(realSetup());
    QVERIFY(HelpManager()->ShowHelp(QStringLiteral("warn")));
    THelpWindow *window = help.Library()->window();
    QVERIFY(window != nullptr);
    QVERIFY(window->waitUntilRead(kReadTimeoutMs));
    QCOMPARE(window->tabs()->currentIndex(), 1);
    QCOMPARE(window->indexSearch()->text(), QStringLiteral("warn"));
    QCOMPARE(window->indexList()->count(), 1);
    QCOMPARE(window->indexList()->item(0)->text(), QStringLiteral("Warnzeit"));
    QCOMPARE(window->currentPage(), QStringLiteral("/wertung.htm"));

    // Typing in the search narrows the list; Enter opens the first entry.
    window->indexSearch()->clear();
    QTest::keyClicks(window->indexSearch(), QStringLiteral("starter"));
    QCOMPARE(window->indexList()->count(), 1);
    QTest::keyClick(window->indexSearch(), Qt::Key_Return);
    QCOMPARE(window->currentPage(), QStringLiteral("/starterliste.htm"));
    QVERIFY(window->grab().save(QDir::current().filePath(QStringLiteral("help-index.png"))));

    // A keyword the index lacks leaves the page as it was and the list empty.
    QVERIFY(HelpManager()->ShowHelp(QStringLiteral("Regenreifen")));
    QCOMPARE(window->indexList()->count(), 0);
    QCOMPARE(window->currentPage(), QStringLiteral("/starterliste.htm"));
}

void TestHtmlHelp::engineShowsNothingForWhatItCannotServe()
{
    TempFolder folder;
    QFile notHelp(folder.filePath(QStringLiteral("kaputt.chm")));
    QVERIFY(notHelp.open(QIODevice::WriteOnly));
    notHelp.write("no help in here");
    notHelp.close();

    THtmlHelpLibrary engine;
    QVERIFY(engine.HtmlHelpA(nullptr, kBuiltHelpFile, HH_DISPLAY_TOC, 0) == nullptr);
    QVERIFY(engine.load(QStringLiteral("libchm.so.1")));
    QVERIFY(engine.HtmlHelpA(nullptr, kBuiltHelpFile, 7, 0) == nullptr);
    QVERIFY(engine.HtmlHelpA(nullptr, QStringLiteral("/nowhere/x.chm"), HH_DISPLAY_TOC, 0) ==
            nullptr);
    QVERIFY(engine.HtmlHelpA(nullptr, QString(), HH_DISPLAY_TOPIC, 0) == nullptr);
    QVERIFY(visibleWindows().isEmpty());

    // A file that is there but no help file shows the window with the reason instead.
    QWidget *window = engine.HtmlHelpA(nullptr, notHelp.fileName(), HH_DISPLAY_TOC, 0);
    QVERIFY(window != nullptr);
    QVERIFY(engine.window()->waitUntilRead(kReadTimeoutMs));
    QVERIFY(engine.window()->browser()->toPlainText().contains(kHelpFileDamagedText));
    QCOMPARE(engine.window()->contentsTree()->topLevelItemCount(), 0);

    QCOMPARE(engine.HtmlHelpA(nullptr, kBuiltHelpFile + QStringLiteral(" ::/export.htm"),
                              HH_DISPLAY_TOPIC, 0),
             window);
    QVERIFY(engine.window()->waitUntilRead(kReadTimeoutMs));
    QCOMPARE(engine.window()->currentPage(), QStringLiteral("/export.htm"));
    // Context numbers have no pages of their own: the start page shows.
    QCOMPARE(engine.HtmlHelpA(nullptr, kBuiltHelpFile, HH_HELP_CONTEXT, 9), window);
    QCOMPARE(engine.window()->currentPage(), QStringLiteral("/index.htm"));

    // Another file is opened in the same window.
    const QString other = copyHelpFile(folder);
    QCOMPARE(engine.HtmlHelpA(nullptr, other, HH_DISPLAY_TOC, 0), window);
    QCOMPARE(engine.window()->fileName(), other);
    QVERIFY(engine.window()->waitUntilRead(kReadTimeoutMs));
    QVERIFY(engine.window()->isReady());

    QPointer<QWidget> watched = window;
    QVERIFY(engine.HtmlHelpA(nullptr, QString(), HH_CLOSE_ALL, 0) == nullptr);
    QVERIFY(watched.isNull());
}

void TestHtmlHelp::damagedHelpFileShowsTheDamagedLine_data()
{
    QTest::addColumn<QString>("fault");
    // The first two crash the reader library itself (SIGSEGV, SIGFPE).
    QTest::newRow("compression version") << "compression version";
    QTest::newRow("window size 0") << "window size 0";
    QTest::newRow("cut in two") << "cut in two";
    QTest::newRow("cut after its directory") << "cut after its directory";
}

void TestHtmlHelp::damagedHelpFileShowsTheDamagedLine()
{
    QFETCH(QString, fault);
    TempFolder folder;
    const QString damaged = damagedHelpFile(folder, fault);
    QVERIFY(!damaged.isEmpty());
    SetApplicationHelpFile(damaged);
    TSPHTMLHelp help(realSetup());

    // Ctrl+H, then F1 as the operator goes on pressing keys: this process must live on.
    ShowHelpContents();
    THelpWindow *window = help.Library()->window();
    QVERIFY(window != nullptr);
    QVERIFY(window->isVisible());
    QVERIFY(window->waitUntilRead(kReadTimeoutMs));
    QTest::keyClick(window, Qt::Key_F1);
    QVERIFY(!window->isReady());
    QVERIFY(!window->failureText().isEmpty());
    QVERIFY(window->browser()->toPlainText().contains(kHelpFileDamagedText));
    QCOMPARE(window->contentsTree()->topLevelItemCount(), 0);
    QCOMPARE(window->indexList()->count(), 0);

    // Asked again, the window reads the file again and says the same.
    QVERIFY(HelpManager()->ShowHelp(QStringLiteral("Runden")));
    QCOMPARE(help.Library()->window(), window);
    QVERIFY(window->waitUntilRead(kReadTimeoutMs));
    QVERIFY(window->browser()->toPlainText().contains(kHelpFileDamagedText));
}

void TestHtmlHelp::directoryInACircleIsReadOnce()
{
    // The reader library walks such a directory for ever; the helper stops at the first entry
    // it sees again, well before the deadline.
    TempFolder folder;
    const QString damaged = damagedHelpFile(folder, QStringLiteral("directory in a circle"));
    THelpFileReader reader(QStringLiteral("libchm.so.1"));
    reader.setTimeoutMs(5000);
    reader.start(damaged);
    QVERIFY(reader.waitForDone(kReadTimeoutMs));
    QVERIFY2(reader.content() != nullptr, qPrintable(reader.errorString()));
    QVERIFY(reader.content()->contains(QStringLiteral("index.htm")));
}

void TestHtmlHelp::helperThatFailsShowsALineWhileTheProgramRuns_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<QString>("line");
    QTest::newRow("crashes") << QByteArray("kill -SEGV $$") << kHelpFileDamagedText;
    QTest::newRow("answers garbage") << QByteArray("echo no help here") << kHelpFileDamagedText;
    QTest::newRow("hangs") << QByteArray("exec sleep 60") << kHelpFileDamagedText;
    QTest::newRow("floods its output") << QByteArray("exec yes") << kHelpFileDamagedText;
    QTest::newRow("is missing") << QByteArray()
                                << QStringLiteral("Die Hilfe kann nicht angezeigt werden.");
}

void TestHtmlHelp::helperThatFailsShowsALineWhileTheProgramRuns()
{
    QFETCH(QByteArray, script);
    QFETCH(QString, line);
    TempFolder folder;
    const QString helper = script.isEmpty() ? folder.filePath(QStringLiteral("missing-reader"))
                                            : fakeHelper(folder, script);
    TSPHTMLHelp help(realSetup());
    ShowHelpContents();
    THelpWindow *window = help.Library()->window();
    QVERIFY(window != nullptr);
    // The first read has begun with the real helper; this request starts it again.
    window->reader()->setHelperPath(helper);
    window->reader()->setTimeoutMs(1000);
    window->openFile(kBuiltHelpFile + QStringLiteral(".copy"));
    window->showContents();

    // The race's timers go on ticking while the helper works.
    int ticks = 0;
    QTimer race;
    connect(&race, &QTimer::timeout, this, [&ticks] { ++ticks; });
    race.start(10);
    QElapsedTimer reading;
    reading.start();
    QTRY_VERIFY_WITH_TIMEOUT(!window->isReading(), kReadTimeoutMs);
    // A helper that answers at once may finish before the first tick; one that takes a
    // while must not stop the timers meanwhile.
    if (reading.elapsed() >= 200)
        QVERIFY2(ticks >= 5,
                 qPrintable(QStringLiteral("%1 ticks in %2 ms").arg(ticks).arg(reading.elapsed())));
    QVERIFY(!window->isReady());
    QVERIFY(window->browser()->toPlainText().contains(line));
}

void TestHtmlHelp::closingTheProgramClosesTheHelpWindow()
{
    QPointer<QWidget> window;
    {
        TSPHTMLHelp help(realSetup());
        ShowHelpContents();
        window = help.Library()->window();
        QVERIFY(window != nullptr && window->isVisible());
    }
    QVERIFY(window.isNull());
    QVERIFY(visibleWindows().isEmpty());
}

void TestHtmlHelp::escapeClosesTheHelpWindow()
{
    // From the page and from the index search alike; Ctrl+H brings it back.
    TSPHTMLHelp help(realSetup());
    ShowHelpContents();
    THelpWindow *window = help.Library()->window();
    QVERIFY(window->waitUntilRead(kReadTimeoutMs));
    for (QWidget *focus : {static_cast<QWidget *>(window->browser()),
                           static_cast<QWidget *>(window->indexSearch())}) {
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        window->tabs()->setCurrentIndex(focus == window->indexSearch() ? 1 : 0);
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_Escape);
        QVERIFY(!window->isVisible());
        ShowHelpContents();
        QVERIFY(window->isVisible());
    }
}

void TestHtmlHelp::openHelpDoesNotKeepTheProgramRunning()
{
    TSPHTMLHelp help(realSetup());
    QWidget mainWindow;
    mainWindow.show();
    ShowHelpContents();
    QVERIFY(help.Library()->window()->isVisible());

    bool loopEnded = true;
    QTimer timeout;
    timeout.setSingleShot(true);
    connect(&timeout, &QTimer::timeout, qApp, [&loopEnded] {
        loopEnded = false;
        QCoreApplication::quit();
    });
    timeout.start(kLoopTimeoutMs);
    QTimer::singleShot(0, &mainWindow, &QWidget::close);
    QCoreApplication::exec();
    QVERIFY(loopEnded);
}

QTEST_MAIN(TestHtmlHelp)
#include "tst_htmlhelp.moc"

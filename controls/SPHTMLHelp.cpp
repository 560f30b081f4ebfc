#include "SPHTMLHelp.h"

#include "ApplicationHelp.h"
#include "HelpManager.h"
#include "HtmlHelpLibrary.h"
#include "InstallPaths.h"
#include "SPHelpSelector.h"
#include "SPHelpTester.h"
#include "SPHelpViewer.h"
#include "WinHelpViewer.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>

const QString kHtmlHelpMissingText =
    QStringLiteral("Unable to view HTML help (*.chm). Update windows help system. Get new "
                   "\"HHCTRL.OCX\" library.");
const QString kHtmlHelpMissingCaption = QStringLiteral("Warning!");

namespace {

const QString kHelpFileSuffix = QStringLiteral(".chm");

bool &instanceExists()
{
    static bool exists = false;
    return exists;
}

void showWarningBox(const QString &text, const QString &caption)
{
    QMessageBox::warning(nullptr, caption, text, QMessageBox::Ok);
}

} // namespace

TSPHTMLHelp::TSPHTMLHelp(THtmlHelpSetup setup)
{
    Q_ASSERT_X(!instanceExists(), "TSPHTMLHelp", "only one help set-up at a time");
    instanceExists() = true;
    if (install(setup))
        return;
    const auto showWarning = setup.showWarning ? setup.showWarning : showWarningBox;
    showWarning(kHtmlHelpMissingText, kHtmlHelpMissingCaption);
}

bool TSPHTMLHelp::install(const THtmlHelpSetup &setup)
{
    auto library = std::make_unique<THtmlHelpLibrary>();
    if (!library->load(setup.libraryPath))
        return false;
    const THtmlHelpFunc entry = setup.entryPoint ? setup.entryPoint : library->entryPoint();

    m_tester = std::make_shared<TSPHelpTester>();
    m_selector = std::make_shared<TSPHelpSelector>();
    const auto manager = EnsureHelpManager();
    // Shutting the viewer down takes our tester off the built-in viewer, and only ours.
    const std::weak_ptr<TSPHelpTester> tester = m_tester;
    m_viewer = std::make_shared<TSPHelpViewer>(entry, [tester] {
        const auto installed = tester.lock();
        const auto current = HelpManager();
        if (installed && current && current->WinHelpViewer().Tester() == installed)
            current->WinHelpViewer().SetTester(nullptr);
    });
    m_viewer->SetHelpManager(manager->RegisterViewer(m_viewer));
    manager->WinHelpViewer().SetTester(m_tester);
    manager->AssignHelpSelector(m_selector);
    m_library = std::move(library);
    return true;
}

TSPHTMLHelp::~TSPHTMLHelp()
{
    if (m_library) {
        if (const auto manager = m_viewer->HelpManager()) {
            m_viewer->SoftShutDown();
            manager->Release(m_viewer->ViewerID());
            m_viewer->DropHelpManager();
        }
        if (const auto current = HelpManager()) {
            if (current->WinHelpViewer().Tester() == m_tester)
                current->WinHelpViewer().SetTester(nullptr);
            if (current->HelpSelector() == m_selector)
                current->AssignHelpSelector(nullptr);
        }
        m_tester.reset();
        m_selector.reset();
        m_library->unload();
        m_library.reset();
    }
    m_viewer.reset();
    instanceExists() = false;
}

QString HelpFileForExecutable(const QString &executablePath)
{
    const QString path =
        executablePath.isEmpty() ? QCoreApplication::applicationFilePath() : executablePath;
    // Only the file name's last extension is replaced; dots in folders stay.
    const QString suffix = QFileInfo(path).suffix();
    const QString base = suffix.isEmpty() ? path : path.chopped(suffix.size() + 1);
    const QString besideProgram = base + kHelpFileSuffix;
    if (QFileInfo::exists(besideProgram))
        return besideProgram;
    // An installed program keeps its help file in the installed data folder.
    const QFileInfo help(besideProgram);
    const QString installed = InstallPaths::dataFile(help.fileName(), help.absolutePath());
    return QFileInfo::exists(installed) ? installed : besideProgram;
}

void ShowHelpContents()
{
    ApplicationHelpCommand(HELP_CONTENTS, 0);
}

void ShowHelpTopic(const QString &page)
{
    if (const auto manager = HelpManager())
        manager->ShowTopicHelp(page);
}

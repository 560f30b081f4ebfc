#include "HtmlHelpLibrary.h"

#include "HelpWindow.h"

#include <QFileInfo>
#include <QLoggingCategory>

namespace {

Q_LOGGING_CATEGORY(lcHelp, "talvenbahn.help")

} // namespace

THtmlHelpLibrary::~THtmlHelpLibrary()
{
    unload();
}

bool THtmlHelpLibrary::load(const QString &libraryPath)
{
    unload();
    if (!m_reader.load(libraryPath))
        return false;
    m_libraryPath = libraryPath;
    return true;
}

void THtmlHelpLibrary::unload()
{
    closeAll();
    m_reader.unload();
}

THelpWindow *THtmlHelpLibrary::window() const
{
    return m_window;
}

THtmlHelpFunc THtmlHelpLibrary::entryPoint()
{
    return [this](QWidget *caller, const QString &file, unsigned command, const QVariant &data) {
        return HtmlHelpA(caller, file, command, data);
    };
}

QWidget *THtmlHelpLibrary::HtmlHelpA(QWidget *caller, const QString &file, unsigned command,
                                     const QVariant &data)
{
    if (command == HH_CLOSE_ALL) {
        closeAll();
        return nullptr;
    }
    const bool served = command == HH_DISPLAY_TOPIC || command == HH_DISPLAY_TOC ||
                        command == HH_DISPLAY_INDEX || command == HH_HELP_CONTEXT;
    if (!served || !isLoaded())
        return nullptr;
    const THtmlHelpTarget target = SplitHelpTarget(file);
    if (target.file.isEmpty() || !QFileInfo(target.file).isFile())
        return nullptr;

    if (m_window == nullptr) {
        m_window = new THelpWindow(m_libraryPath);
        QObject::connect(m_window, &THelpWindow::fileRead, m_window, [window = m_window.data()] {
            if (!window->isReady())
                qCWarning(lcHelp) << "cannot read the help file" << window->fileName() << ":"
                                  << window->failureText();
        });
    }
    m_window->openFile(target.file);
    if (caller != nullptr && !m_window->isVisible())
        m_window->move(caller->window()->geometry().center() - m_window->rect().center());

    switch (command) {
    case HH_DISPLAY_TOC:
        m_window->showContents(target.page);
        break;
    case HH_DISPLAY_INDEX:
        m_window->showIndex(data.toString());
        break;
    default:
        // Our help files carry no map from context numbers to pages: the default topic shows.
        m_window->showTopic(target.page);
        break;
    }
    return m_window;
}

void THtmlHelpLibrary::closeAll()
{
    // Deleted at once, not later: closing the program must not leave a help window or its
    // helper process behind.
    delete m_window.data();
}

#include "TempFolder.h"

#include <QDir>
#include <QFile>

TempFolder::TempFolder()
    : m_previousWorkDir(QDir::currentPath()), m_previousConfigHome(qgetenv("XDG_CONFIG_HOME"))
{
    if (!m_dir.isValid())
        return;
    QDir(m_dir.path()).mkpath(QStringLiteral("config"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("config"))));
    QDir::setCurrent(m_dir.path());
}

TempFolder::~TempFolder()
{
    QDir::setCurrent(m_previousWorkDir);
    qputenv("XDG_CONFIG_HOME", m_previousConfigHome);
}

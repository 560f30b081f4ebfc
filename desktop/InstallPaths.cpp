#include "InstallPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

// Set by the build from the install layout, relative to the program's folder.
const QString kProgramToHelpers = QStringLiteral(TALVENBAHN_PROGRAM_TO_HELPERS);
const QString kProgramToData = QStringLiteral(TALVENBAHN_PROGRAM_TO_DATA);

QString folderOrRunning(const QString &programFolder)
{
    return programFolder.isEmpty() ? InstallPaths::programFolder() : programFolder;
}

QString besideOrInstalled(const QString &name, const QString &programFolder,
                          const QString &installedFolder)
{
    const QString beside = QDir(programFolder).filePath(name);
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed = QDir(installedFolder).filePath(name);
    return QFileInfo::exists(installed) ? installed : beside;
}

} // namespace

namespace InstallPaths {

QString programFolder()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
}

QString installedHelperFolder(const QString &programFolder)
{
    return QDir::cleanPath(QDir(programFolder).filePath(kProgramToHelpers));
}

QString installedDataFolder(const QString &programFolder)
{
    return QDir::cleanPath(QDir(programFolder).filePath(kProgramToData));
}

QString helperProgram(const QString &name, const QString &programFolder)
{
    const QString folder = folderOrRunning(programFolder);
    return besideOrInstalled(name, folder, installedHelperFolder(folder));
}

QString dataFile(const QString &name, const QString &programFolder)
{
    const QString folder = folderOrRunning(programFolder);
    return besideOrInstalled(name, folder, installedDataFolder(folder));
}

} // namespace InstallPaths

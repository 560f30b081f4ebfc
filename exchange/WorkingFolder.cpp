#include "WorkingFolder.h"

#include <QDir>
#include <QFileInfo>

QString WorkingFolder()
{
    const QString current = QDir::currentPath();
    if (!current.isEmpty())
        return current;
    return QFileInfo(QStringLiteral("/proc/self/cwd")).symLinkTarget();
}

QString FullPathOf(const QString &fileName)
{
    if (QDir::isAbsolutePath(fileName))
        return QDir::cleanPath(fileName);
    return QDir::cleanPath(WorkingFolder() + QLatin1Char('/') + fileName);
}

#include "ShotPath.h"

#include <QCoreApplication>
#include <QDir>

QString ShotPath(const QString &fileName)
{
    const QString folder =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../screenshots"));
    QDir().mkpath(folder);
    return QDir(folder).filePath(fileName);
}

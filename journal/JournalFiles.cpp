#include "JournalFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace JournalFiles {

namespace {
const QStringList kCompanions{QStringLiteral("-wal"), QStringLiteral("-shm"),
                              QStringLiteral("-journal")};

bool anyExists(const QString &base)
{
    if (QFileInfo::exists(base))
        return true;
    for (const QString &suffix : kCompanions) {
        if (QFileInfo::exists(base + suffix))
            return true;
    }
    return false;
}
} // namespace

QString currentBootId()
{
    QFile file(QStringLiteral("/proc/sys/kernel/random/boot_id"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.readAll()).trimmed();
}

QString moveAside(const QString &path, const QString &label, QString *error)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString target = QStringLiteral("%1.%2-%3").arg(path, label, stamp);
    for (int n = 2; anyExists(target); ++n)
        target = QStringLiteral("%1.%2-%3-%4").arg(path, label, stamp).arg(n);

    QFile file(path);
    if (file.exists() && !file.rename(target)) {
        *error = file.errorString();
        return {};
    }
    for (const QString &suffix : kCompanions) {
        QFile companion(path + suffix);
        if (companion.exists() && !companion.rename(target + suffix) && !companion.remove()) {
            // The database is gone from its place, but a stale companion would spoil the new
            // one; move the database back and give up.
            QFile::rename(target, path);
            *error = companion.errorString();
            return {};
        }
    }
    return target;
}

bool makeFolderFor(const QString &path, QString *error)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (QFileInfo(folder).isDir())
        return true;
    if (QDir().mkpath(folder))
        return true;
    // Say which part stands in the way: a file where a folder should be, or missing rights.
    QFileInfo blocker(folder);
    while (!blocker.exists() && blocker.absoluteFilePath() != blocker.absolutePath())
        blocker = QFileInfo(blocker.absolutePath());
    if (blocker.exists() && !blocker.isDir()) {
        *error = QStringLiteral("„%1“ ist eine Datei und kein Ordner")
                     .arg(QDir::toNativeSeparators(blocker.absoluteFilePath()));
    } else {
        *error = QStringLiteral("der Ordner „%1“ lässt sich nicht anlegen (fehlen Schreibrechte?)")
                     .arg(QDir::toNativeSeparators(folder));
    }
    return false;
}

} // namespace JournalFiles

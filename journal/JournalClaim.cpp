#include "JournalClaim.h"

#include "JournalFiles.h"
#include "JournalMessages.h"
#include "JournalOpening.h"
#include "JournalReader.h"

#include <QFileInfo>

namespace {
// Up to this size a file is checked page by page at every open (about 25 long races).
constexpr qint64 kThoroughCheckBytes = 16 * 1024 * 1024;
// The connection waits this long for another connection's lock (the archive window reads
// while the writer deletes).
constexpr int kReadBusyWaitMs = 5000;
constexpr int kNamelessLockStaleMs = 1;

QString lockReason(QLockFile::LockError error)
{
    switch (error) {
    case QLockFile::PermissionError:
        return QStringLiteral("im Ordner darf nicht geschrieben werden");
    default:
        return QStringLiteral("die Sperrdatei lässt sich nicht anlegen");
    }
}
} // namespace

TJournalClaim TJournalClaim::take(const QString &path)
{
    TJournalClaim claim;
    QString folderError;
    if (!JournalFiles::makeFolderFor(path, &folderError)) {
        claim.error = JournalMessages::cannotOpen(path, folderError);
        return claim;
    }
    // A second program on the same file would hand out the same race ids; the lock file keeps
    // it out. A lock left by a crashed program is taken over, and so is an old one written
    // under another host name; a live holder keeps its lock through the system's file lock.
    const QString lockPath = path + QStringLiteral(".lock");
    const bool endedUncleanly = QFileInfo::exists(lockPath);
    auto lock = std::make_unique<QLockFile>(lockPath);
    // A program killed between making the lock file and writing its process id into it leaves
    // a file that names no holder; it is taken over as soon as it is older than a moment,
    // rather than after half a minute.
    // A live holder keeps its lock through the file lock whatever the file's age.
    lock->setStaleLockTime(kNamelessLockStaleMs);
    if (!lock->tryLock(0)) {
        claim.error = lock->error() == QLockFile::LockFailedError
                          ? JournalMessages::inUseByOtherWindow(path)
                          : JournalMessages::cannotOpen(path, lockReason(lock->error()));
        return claim;
    }

    // Every page is checked when the file is small or the last program ended without closing
    // it (a crash, a power cut); a large archive after a clean close would take seconds.
    const bool thorough = endedUncleanly || QFileInfo(path).size() <= kThoroughCheckBytes;
    const TJournalOpening opening = TJournalOpening::prepare(
        path, thorough ? TJournalOpening::Check::Thorough : TJournalOpening::Check::Light);
    claim.notice = opening.notice;
    if (!opening.ok) {
        claim.error = opening.error;
        return claim;
    }
    auto connection = std::make_unique<TSqlConnection>(path, kReadBusyWaitMs);
    QString readError;
    if (connection->isOpen()) {
        TJournalReader reading(connection->db());
        claim.lastRaceId = reading.lastRaceId();
        readError = reading.errorString();
    } else {
        readError = JournalMessages::reason(connection->db().lastError());
    }
    if (!readError.isEmpty()) {
        claim.error = JournalMessages::cannotOpen(path, readError);
        return claim;
    }
    claim.connection = std::move(connection);
    claim.lock = std::move(lock);
    return claim;
}

#include "JournalOpening.h"

#include "JournalFiles.h"
#include "JournalMessages.h"
#include "JournalSchema.h"
#include "SqlConnection.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {
using namespace JournalMessages;

// How long opening waits for another program's lock before the file counts as locked.
constexpr int kOpenBusyWaitMs = 1000;

enum class Verdict { Good, Damaged, Locked, Newer, Folder, Unusable };

struct Finding
{
    Verdict verdict = Verdict::Good;
    QString reason;
    int version = 0;
};

Finding fromError(const QSqlError &error)
{
    switch (sqliteCode(error)) {
    case kBusy:
    case kLocked:
        return {Verdict::Locked, reason(error)};
    case kCorrupt:
    case kNotADatabase:
        return {Verdict::Damaged, reason(error)};
    default:
        return {Verdict::Unusable, reason(error)};
    }
}

Finding examine(const QString &path, TJournalOpening::Check thoroughness)
{
    // SQLite cannot open a folder and would blame missing rights.
    if (QFileInfo(path).isDir())
        return {Verdict::Folder, {}};
    TSqlConnection connection(path, kOpenBusyWaitMs);
    if (!connection.isOpen())
        return fromError(connection.db().lastError());

    QSqlError error;
    if (QFileInfo(path).size() > 0 && thoroughness == TJournalOpening::Check::Light) {
        QSqlQuery layout(connection.db());
        if (!layout.exec(QStringLiteral("SELECT COUNT(*) FROM sqlite_master")))
            return fromError(layout.lastError());
    } else if (QFileInfo(path).size() > 0) {
        QSqlQuery check(connection.db());
        if (!check.exec(QStringLiteral("PRAGMA quick_check")))
            return fromError(check.lastError());
        if (!check.next())
            return {Verdict::Damaged, QStringLiteral("die Prüfung ergab kein Ergebnis")};
        const QString verdict = check.value(0).toString();
        if (verdict != u"ok")
            return {Verdict::Damaged, verdict};
    }
    const int version = JournalSchema::version(connection.db(), &error);
    if (version < 0)
        return fromError(error);
    if (version > JournalSchema::kVersion)
        return {Verdict::Newer, {}, version};

    QSqlQuery mode(connection.db());
    if (!mode.exec(QStringLiteral("PRAGMA journal_mode = WAL")))
        return fromError(mode.lastError());
    if (!mode.next() || mode.value(0).toString().compare(u"wal", Qt::CaseInsensitive) != 0)
        return {Verdict::Locked, {}};
    mode.finish();

    if (!JournalSchema::upgrade(connection.db(), &error))
        return fromError(error);
    return {};
}
} // namespace

TJournalOpening TJournalOpening::prepare(const QString &path, Check check)
{
    TJournalOpening result;
    QString folderError;
    if (!JournalFiles::makeFolderFor(path, &folderError)) {
        result.error = cannotOpen(path, folderError);
        return result;
    }

    // A second round runs on the new file that replaced a moved one.
    for (int round = 0; round < 2; ++round) {
        const Finding finding = examine(path, check);
        if (finding.verdict == Verdict::Good) {
            result.ok = true;
            return result;
        }
        if (finding.verdict == Verdict::Unusable || round > 0) {
            result.error =
                cannotOpen(path, finding.reason.isEmpty() ? QStringLiteral("unbekannter Fehler")
                                                          : finding.reason);
            return result;
        }

        const QString label = finding.verdict == Verdict::Damaged  ? QStringLiteral("beschaedigt")
                              : finding.verdict == Verdict::Locked ? QStringLiteral("gesperrt")
                              : finding.verdict == Verdict::Folder ? QStringLiteral("ordner")
                                                                   : QStringLiteral("neuer");
        QString moveError;
        const QString movedTo = JournalFiles::moveAside(path, label, &moveError);
        if (movedTo.isEmpty()) {
            result.error = cannotOpen(
                path, QStringLiteral("sie ist unbrauchbar und lässt sich nicht beiseitelegen (%1)")
                          .arg(moveError));
            return result;
        }
        switch (finding.verdict) {
        case Verdict::Damaged:
            result.notice = damagedMovedAside(path, finding.reason, movedTo);
            break;
        case Verdict::Locked:
            result.notice = lockedMovedAside(path, movedTo);
            break;
        case Verdict::Folder:
            result.notice = folderMovedAside(path, movedTo);
            break;
        default:
            result.notice = newerMovedAside(path, finding.version, movedTo);
            break;
        }
    }
    return result;
}

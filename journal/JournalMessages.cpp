#include "JournalMessages.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>

namespace JournalMessages {

namespace {
QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

const QString kInMemory = QStringLiteral("Das Rennen läuft weiter; die Zeiten werden nur im "
                                         "Speicher gehalten und nachgetragen, sobald das "
                                         "Rennprotokoll geöffnet werden kann (Versuch jede "
                                         "Sekunde).");
const QString kNewJournal = QStringLiteral("Ein neues Rennprotokoll wurde angelegt.");
} // namespace

int sqliteCode(const QSqlError &error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    // Extended codes carry the primary one in their low byte.
    return ok ? (code & 0xff) : 0;
}

QString reason(const QSqlError &error)
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
        return QStringLiteral("der SQLite-Treiber von Qt fehlt (Paket libqt6sql6-sqlite)");
    switch (sqliteCode(error)) {
    case kBusy:
    case kLocked:
        return QStringLiteral("die Datei ist von einem anderen Programm gesperrt");
    case kReadOnly:
        return QStringLiteral("die Datei ist schreibgeschützt");
    case kIoError:
        return QStringLiteral("Schreib- oder Lesefehler auf dem Datenträger (%1)")
            .arg(error.databaseText());
    case kCorrupt:
        return QStringLiteral("die Datei ist beschädigt");
    case kFull:
        return QStringLiteral("der Datenträger ist voll");
    case kCantOpen:
        return QStringLiteral("die Datei lässt sich nicht öffnen oder anlegen (fehlen "
                              "Schreibrechte im Ordner?)");
    case kNotADatabase:
        return QStringLiteral("die Datei ist keine SQLite-Datenbank");
    default:
        break;
    }
    const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    return text.isEmpty() ? QStringLiteral("unbekannter Fehler") : text;
}

QString cannotOpen(const QString &path, const QString &reason)
{
    return QStringLiteral("Das Rennprotokoll „%1“ kann nicht geöffnet werden: %2. %3")
        .arg(shown(path), reason, kInMemory);
}

QString cannotWrite(const QString &path, const QString &reason)
{
    return QStringLiteral("Das Rennprotokoll „%1“ kann nicht geschrieben werden: %2. Die "
                          "Ereignisse bleiben im Speicher und werden erneut geschrieben, sobald "
                          "es wieder geht.")
        .arg(shown(path), reason);
}

QString refused(const QString &path, const QString &reason)
{
    return QStringLiteral("Das Rennprotokoll „%1“ hat ein Ereignis abgewiesen: %2. Es fehlt im "
                          "Protokoll; die Anzeige des Rennens behält es.")
        .arg(shown(path), reason);
}

QString stillPending(const QString &path, int count)
{
    return QStringLiteral("%1 Ereignisse konnten nicht mehr in das Rennprotokoll „%2“ "
                          "geschrieben werden.")
        .arg(count)
        .arg(shown(path));
}

QString damagedMovedAside(const QString &path, const QString &reason, const QString &newPath)
{
    return QStringLiteral("Das Rennprotokoll „%1“ ist beschädigt (%2). Es wurde als „%3“ "
                          "beiseitegelegt. %4")
        .arg(shown(path), reason, shown(newPath), kNewJournal);
}

QString lockedMovedAside(const QString &path, const QString &newPath)
{
    return QStringLiteral("Das Rennprotokoll „%1“ ist von einem anderen Programm gesperrt. Es "
                          "wurde als „%2“ beiseitegelegt. %3")
        .arg(shown(path), shown(newPath), kNewJournal);
}

QString folderMovedAside(const QString &path, const QString &newPath)
{
    return QStringLiteral("An der Stelle des Rennprotokolls „%1“ stand ein Ordner. Er wurde "
                          "unverändert als „%2“ beiseitegelegt. %3")
        .arg(shown(path), shown(newPath), kNewJournal);
}

QString newerMovedAside(const QString &path, int version, const QString &newPath)
{
    return QStringLiteral("Das Rennprotokoll „%1“ stammt von einer neueren Programmversion "
                          "(Schema %2). Es wurde unverändert als „%3“ beiseitegelegt. %4")
        .arg(shown(path))
        .arg(version)
        .arg(shown(newPath), kNewJournal);
}

QString inUseByOtherWindow(const QString &path)
{
    return QStringLiteral("Das Rennprotokoll „%1“ wird schon von einem anderen laufenden "
                          "Talvenbahn benutzt. %2")
        .arg(shown(path), kInMemory);
}

} // namespace JournalMessages

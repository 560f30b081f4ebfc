#include "ServerMessages.h"

#include <QSqlError>
#include <QStringList>

namespace ServerMessages {

namespace {
bool mentions(const QString &text, const QStringList &parts)
{
    for (const QString &part : parts) {
        if (text.contains(part, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

// The first line libpq gave, without the "connection to server at ... failed:" lead.
QString firstLine(const QSqlError &error)
{
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.driverText().trimmed();
    text = text.section(QLatin1Char('\n'), 0, 0).trimmed();
    const int lead = text.indexOf(QLatin1String("failed: "));
    if (lead >= 0)
        text = text.mid(lead + 8);
    const int leadDe = text.indexOf(QLatin1String("fehlgeschlagen: "));
    if (leadDe >= 0)
        text = text.mid(leadDe + 16);
    return text.trimmed();
}
} // namespace

QString reason(const QSqlError &error)
{
    const QString text = error.databaseText() + QLatin1Char('\n') + error.driverText();
    const QString code = error.nativeErrorCode();
    if (mentions(text, {QStringLiteral("password authentication failed"),
                        QStringLiteral("Passwort-Authentifizierung"),
                        QStringLiteral("no password supplied"),
                        QStringLiteral("kein Passwort angegeben")}) ||
        code == QLatin1String("28P01"))
        return QStringLiteral("Anmeldung abgelehnt: Benutzer oder Passwort falsch.");
    if (mentions(text,
                 {QStringLiteral("does not support SSL"), QStringLiteral("unterstützt kein SSL")}))
        return QStringLiteral("Der Server bietet keine verschlüsselte Verbindung (TLS) an, "
                              "sie ist aber verlangt.");
    if (mentions(text, {QStringLiteral("certificate"), QStringLiteral("Zertifikat")}))
        return QStringLiteral("Das Zertifikat des Servers lässt sich nicht prüfen oder ist nicht "
                              "vertrauenswürdig.");
    if (mentions(text,
                 {QStringLiteral("Connection refused"), QStringLiteral("Verbindung verweigert")}))
        return QStringLiteral("Verbindung abgewiesen – läuft der Server unter dieser Adresse?");
    if (mentions(text, {QStringLiteral("timeout expired"), QStringLiteral("Timeout abgelaufen"),
                        QStringLiteral("timed out"), QStringLiteral("Zeitüberschreitung")}))
        return QStringLiteral("Keine Antwort vom Server (Zeitüberschreitung).");
    if (mentions(text, {QStringLiteral("could not translate host name"),
                        QStringLiteral("Hostnamen"), QStringLiteral("Hostname")}))
        return QStringLiteral("Den Rechnernamen des Servers gibt es nicht.");
    if (mentions(text, {QStringLiteral("pg_hba.conf")}))
        return QStringLiteral("Der Server lässt diese Anmeldung nicht zu (pg_hba.conf).");
    if (mentions(text, {QStringLiteral("database \""), QStringLiteral("Datenbank »")}) &&
        mentions(text, {QStringLiteral("does not exist"), QStringLiteral("existiert nicht")}))
        return QStringLiteral("Die Datenbank gibt es auf dem Server nicht.");
    if (mentions(text, {QStringLiteral("role \""), QStringLiteral("Rolle »")}) &&
        mentions(text, {QStringLiteral("does not exist"), QStringLiteral("existiert nicht")}))
        return QStringLiteral("Anmeldung abgelehnt: Benutzer oder Passwort falsch.");
    if (code == QLatin1String("42501") ||
        mentions(text, {QStringLiteral("row-level security"),
                        QStringLiteral("Sicherheit auf Zeilenebene"),
                        QStringLiteral("permission denied"), QStringLiteral("keine Berechtigung")}))
        return QStringLiteral("Keine Berechtigung: diese Station darf nur eigene Zeilen anlegen.");
    if (code == QLatin1String("42P01") || code == QLatin1String("3F000"))
        return notSetUp();
    if (isConnectionLost(error))
        return QStringLiteral("Die Verbindung zum Server ist abgebrochen.");
    const QString line = firstLine(error);
    return line.isEmpty() ? QStringLiteral("Der Server antwortet nicht.")
                          : QStringLiteral("Der Server meldet: %1").arg(line);
}

bool isConnectionLost(const QSqlError &error)
{
    if (error.type() == QSqlError::ConnectionError)
        return true;
    const QString code = error.nativeErrorCode();
    if (code.startsWith(QLatin1String("08")) || code.startsWith(QLatin1String("57P")))
        return true;
    const QString text = error.databaseText() + QLatin1Char('\n') + error.driverText();
    return mentions(text,
                    {QStringLiteral("server closed the connection"),
                     QStringLiteral("Server beendete die Verbindung"),
                     QStringLiteral("no connection to the server"),
                     QStringLiteral("keine Verbindung mit dem Server"),
                     QStringLiteral("connection to server"), QStringLiteral("SSL SYSCALL error"),
                     QStringLiteral("EOF detected"), QStringLiteral("terminating connection")});
}

bool isRefusal(const QSqlError &error)
{
    const QString why = reason(error);
    return why.startsWith(QLatin1String("Anmeldung abgelehnt")) ||
           why.startsWith(QLatin1String("Der Server bietet keine")) ||
           why.startsWith(QLatin1String("Das Zertifikat")) ||
           why.startsWith(QLatin1String("Die Datenbank gibt es")) ||
           why.startsWith(QLatin1String("Der Server lässt diese Anmeldung"));
}

QString notSetUp()
{
    return QStringLiteral("Die Datenbank ist nicht für Talvenbahn eingerichtet "
                          "(Talvenbahn --server-setup).");
}

QString tooNew(int version, int known)
{
    return QStringLiteral("Die Datenbank hat Version %1, dieses Programm kennt nur bis %2. "
                          "Bitte Talvenbahn aktualisieren.")
        .arg(version)
        .arg(known);
}

QString tooOld(int version)
{
    return QStringLiteral("Die Datenbank hat noch Version %1; bitte Talvenbahn --server-setup "
                          "ausführen.")
        .arg(version);
}

QString versionProblem(int version, int known)
{
    if (version == known)
        return {};
    return version == 0 ? notSetUp() : version > known ? tooNew(version, known) : tooOld(version);
}

} // namespace ServerMessages

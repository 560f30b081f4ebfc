#include "ServerSetup.h"

#include "ServerConnection.h"
#include "ServerSchema.h"
#include "SettingsStore.h"

#include <cstdio>
#include <iostream>
#include <string>

#include <termios.h>
#include <unistd.h>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kConnectTimeoutS = 10;

void print(std::FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

int fail(int code, const QString &text)
{
    print(stderr, QStringLiteral("Talvenbahn: %1\n").arg(text));
    return code;
}

// One line from the terminal, not shown while typed; from a pipe as it comes.
QString readSecret(const QString &prompt)
{
    print(stderr, prompt);
    termios before{};
    const bool terminal = isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &before) == 0;
    if (terminal) {
        termios quiet = before;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    std::string line;
    std::getline(std::cin, line);
    if (terminal)
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &before);
    // The Enter typed was not shown (nor is anything read from a pipe).
    print(stderr, QStringLiteral("\n"));
    return QString::fromLocal8Bit(line.c_str());
}

// A new login's password: from the environment for scripts, else typed twice.
std::optional<QString> loginPassword(const QString &login, QString *error)
{
    if (qEnvironmentVariableIsSet("TALVENBAHN_LOGIN_PASSWORD")) {
        const QString password = qEnvironmentVariable("TALVENBAHN_LOGIN_PASSWORD");
        if (password.isEmpty()) {
            *error = QStringLiteral("TALVENBAHN_LOGIN_PASSWORD ist leer; eine Anmeldung braucht "
                                    "ein Passwort.");
            return std::nullopt;
        }
        return password;
    }
    const QString first =
        readSecret(QStringLiteral("Neues Passwort für \u201E%1\u201C: ").arg(login));
    if (first.isEmpty()) {
        *error = QStringLiteral("Kein Passwort für \u201E%1\u201C eingegeben.").arg(login);
        return std::nullopt;
    }
    const QString second =
        readSecret(QStringLiteral("Passwort für \u201E%1\u201C wiederholen: ").arg(login));
    if (first != second) {
        *error = QStringLiteral("Die beiden Passwörter für \u201E%1\u201C stimmen nicht überein.")
                     .arg(login);
        return std::nullopt;
    }
    return first;
}

} // namespace

int RunServerSetup(const TServerSetupOptions &options)
{
    const TClubServerConfig configured =
        TSettingsStore(TSettingsStore::DefaultFilePath()).ReadClubServer();
    TClubServerConfig config;
    if (configured.isSet())
        config = configured;
    else
        config.database = TClubServerConfig::defaultDatabase();
    config.readOnly = false;
    config.host =
        options.host.value_or(configured.isSet() ? configured.host : QStringLiteral("localhost"));
    config.port = options.port.value_or(config.port);
    config.database = options.database.value_or(config.database);
    config.user = options.user.value_or(TClubServerConfig::defaultUser());

    for (const QString &login : options.stations + options.offices) {
        if (!ServerSchema::isValidLoginName(login))
            return fail(kExitUsage,
                        QStringLiteral("Der Anmeldename \u201E%1\u201C geht nicht: nur Buchstaben, "
                                       "Ziffern und _, am Anfang ein Buchstabe.")
                            .arg(login));
    }

    const QString password = qEnvironmentVariableIsSet("PGPASSWORD")
                                 ? qEnvironmentVariable("PGPASSWORD")
                                 : readSecret(QStringLiteral("Passwort von \u201E%1\u201C auf %2: ")
                                                  .arg(config.user, config.describe()));
    TServerConnection admin(config, password, kConnectTimeoutS);
    const QString where = QStringLiteral("Vereinsserver %1").arg(config.describe());
    if (!admin.open())
        return fail(kExitFailed, QStringLiteral("%1: %2").arg(where, admin.errorString()));
    QString error;
    const int before = ServerSchema::version(admin.db(), &error);
    if (before < 0)
        return fail(kExitFailed, QStringLiteral("%1: %2").arg(where, error));
    // Every password first: a mistyped one ends the run before anything is made.
    QList<ServerSchema::TNewLogin> logins;
    for (const QString &login : options.stations + options.offices) {
        const std::optional<QString> secret = loginPassword(login, &error);
        if (!secret)
            return fail(kExitFailed,
                        QStringLiteral("%1 Auf dem Server wurde nichts geändert.").arg(error));
        logins.append({login, *secret,
                       options.stations.contains(login) ? ServerSchema::Login::Station
                                                        : ServerSchema::Login::Reader});
    }
    // The schema and the logins in one transaction: all of it is made, or nothing.
    if (!ServerSchema::setUp(admin.db(), logins, &error))
        return fail(
            kExitFailed,
            QStringLiteral("%1: %2\nAuf dem Server wurde nichts geändert.").arg(where, error));
    if (before == ServerSchema::kVersion)
        print(stdout, QStringLiteral("%1: das Schema ist schon auf dem neuesten Stand (Version "
                                     "%2).\n")
                          .arg(where)
                          .arg(before));
    else if (before == 0)
        print(stdout, QStringLiteral("%1: Schema eingerichtet (Version %2).\n")
                          .arg(where)
                          .arg(ServerSchema::kVersion));
    else
        print(stdout, QStringLiteral("%1: Schema von Version %2 auf %3 gebracht.\n")
                          .arg(where)
                          .arg(before)
                          .arg(ServerSchema::kVersion));
    for (const ServerSchema::TNewLogin &login : std::as_const(logins))
        print(stdout, QStringLiteral("Anmeldung \u201E%1\u201C %2 eingerichtet.\n")
                          .arg(login.name, login.kind == ServerSchema::Login::Station
                                               ? QStringLiteral("für eine Station")
                                               : QStringLiteral("für ein Ergebnisbüro")));
    return kExitOk;
}

#include "ServerSchema.h"

#include "ServerMessages.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>

#include <functional>

namespace ServerSchema {

namespace {
QString stepFile(int version)
{
    const QStringList found = QDir(QStringLiteral(":/clubserver/sql"))
                                  .entryList({QStringLiteral("%1-*.sql").arg(version)});
    return found.isEmpty() ? QString() : QStringLiteral(":/clubserver/sql/") + found.first();
}

QString stepText(int version)
{
    QFile file(stepFile(version));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

bool run(QSqlDatabase &db, const QString &statement, QString *error)
{
    QSqlQuery query(db);
    if (query.exec(statement))
        return true;
    *error = ServerMessages::reason(query.lastError());
    return false;
}

// A literal for SQL: standard_conforming_strings is on since PostgreSQL 9.1, so only the quote
// is doubled.
QString literal(const QString &text)
{
    QString doubled = text;
    doubled.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + doubled + QLatin1Char('\'');
}
} // namespace

QStringList statementsOf(int version)
{
    // A statement ends with ";" at the end of a line, outside a $$ body.
    QStringList statements;
    QString current;
    bool inBody = false;
    const QStringList lines = stepText(version).split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        const QString trimmed = line.trimmed();
        if (current.isEmpty() && (trimmed.isEmpty() || trimmed.startsWith(QLatin1String("--"))))
            continue;
        current += line + QLatin1Char('\n');
        if (line.count(QLatin1String("$$")) % 2 == 1)
            inBody = !inBody;
        if (!inBody && trimmed.endsWith(QLatin1Char(';'))) {
            statements.append(current.trimmed());
            current.clear();
        }
    }
    if (!current.trimmed().isEmpty())
        statements.append(current.trimmed());
    return statements;
}

int version(QSqlDatabase &db, QString *error)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT to_regclass('talvenbahn.schema_version') IS NULL")) ||
        !query.next()) {
        *error = ServerMessages::reason(query.lastError());
        return -1;
    }
    if (query.value(0).toBool())
        return 0;
    if (!query.exec(QStringLiteral("SELECT MAX(version) FROM talvenbahn.schema_version")) ||
        !query.next()) {
        *error = ServerMessages::reason(query.lastError());
        return -1;
    }
    return query.value(0).toInt();
}

namespace {
// The steps up to target, inside the caller's transaction.
bool runSteps(QSqlDatabase &db, QString *error, int target)
{
    // One setup at a time: a second one waits here and then finds the work done.
    if (!run(db, QStringLiteral("SELECT pg_advisory_xact_lock(7102411)"), error))
        return false;
    const int current = version(db, error);
    if (current < 0)
        return false;
    if (current > kVersion) {
        *error = ServerMessages::tooNew(current, kVersion);
        return false;
    }
    for (int step = current + 1; step <= target; ++step) {
        const QStringList statements = statementsOf(step);
        if (statements.isEmpty()) {
            *error =
                QStringLiteral("Der Schritt zu Version %1 fehlt in diesem Programm.").arg(step);
            return false;
        }
        for (const QString &statement : statements) {
            if (!run(db, statement, error))
                return false;
        }
        if (!run(db, QStringLiteral("UPDATE talvenbahn.schema_version SET version = %1").arg(step),
                 error))
            return false;
    }
    return true;
}

// Runs work in one transaction: committed when it succeeds, else rolled back.
bool inTransaction(QSqlDatabase &db, QString *error, const std::function<bool()> &work)
{
    if (!db.transaction()) {
        *error = ServerMessages::reason(db.lastError());
        return false;
    }
    const bool ok = work();
    if (ok && db.commit())
        return true;
    if (ok)
        *error = ServerMessages::reason(db.lastError());
    db.rollback();
    return false;
}
} // namespace

bool upgrade(QSqlDatabase &db, QString *error, int target)
{
    return inTransaction(db, error, [&] { return runSteps(db, error, target); });
}

bool setUp(QSqlDatabase &db, const QList<TNewLogin> &logins, QString *error)
{
    return inTransaction(db, error, [&] {
        if (!runSteps(db, error, kVersion))
            return false;
        for (const TNewLogin &login : logins) {
            if (!addLogin(db, login.name, login.password, login.kind, error))
                return false;
        }
        return true;
    });
}

bool isValidLoginName(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z][A-Za-z0-9_]{0,62}$"));
    return pattern.match(name).hasMatch();
}

bool addLogin(QSqlDatabase &db, const QString &name, const QString &password, Login kind,
              QString *error)
{
    if (!isValidLoginName(name)) {
        *error = QStringLiteral("Der Name „%1“ taugt nicht als Anmeldename: nur Buchstaben, "
                                "Ziffern und „_“, zuerst ein Buchstabe.")
                     .arg(name);
        return false;
    }
    if (password.isEmpty() || password.contains(QChar(0))) {
        *error = QStringLiteral("Das Passwort darf nicht leer sein.");
        return false;
    }
    const QString role = name.toLower();
    const QString group = kind == Login::Station ? QStringLiteral("talvenbahn_station")
                                                 : QStringLiteral("talvenbahn_reader");
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT 1 FROM pg_roles WHERE rolname = ?"));
    query.addBindValue(role);
    if (!query.exec()) {
        *error = ServerMessages::reason(query.lastError());
        return false;
    }
    const bool exists = query.next();
    const QString make = exists ? QStringLiteral("ALTER ROLE %1 LOGIN PASSWORD %2")
                                : QStringLiteral("CREATE ROLE %1 LOGIN PASSWORD %2");
    return run(db, make.arg(role, literal(password)), error) &&
           run(db, QStringLiteral("GRANT %1 TO %2").arg(group, role), error);
}

} // namespace ServerSchema

#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>

// A PostgreSQL server of its own for a test or a benchmark: made with initdb in a temporary
// folder, listening on a free port of 127.0.0.1 only, run as an unprivileged user (as "nobody"
// when the test runs as root, which PostgreSQL refuses), and stopped when the object goes.
// Logins need a password (scram-sha-256); the server offers no TLS.
class PostgresRunner
{
public:
    static constexpr const char *kAdmin = "verwalter";
    static constexpr const char *kAdminPassword = "verwalter-pw";

    PostgresRunner();
    ~PostgresRunner();
    PostgresRunner(const PostgresRunner &) = delete;
    PostgresRunner &operator=(const PostgresRunner &) = delete;

    // initdb and start; false with errorString() when PostgreSQL is missing or will not start.
    bool start();
    // Starts again on the same folder and port after stop() or kill().
    bool restart();
    // A fast, clean shutdown.
    void stop();
    // SIGKILL to the server and all its processes, as a crash or a pulled cable would leave it.
    void kill();
    bool isRunning() const;

    QString host() const { return QStringLiteral("127.0.0.1"); }
    int port() const { return m_port; }
    QString errorString() const { return m_error; }

    // Runs SQL as the administrator with psql; false with errorString().
    bool psql(const QString &database, const QString &sql);
    bool createDatabase(const QString &name);

private:
    bool run(const QStringList &command, int timeoutMs);
    bool startServer();
    qint64 postmasterPid() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_bin;
    QString m_data;
    int m_port = 0;
    bool m_asNobody = false;
    QString m_error;
};

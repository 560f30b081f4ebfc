#include "PostgresRunner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTcpServer>
#include <QThread>

#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// The newest installed server, e.g. /usr/lib/postgresql/15/bin.
QString findBin()
{
    const QString given = qEnvironmentVariable("TALVENBAHN_PG_BIN");
    if (!given.isEmpty())
        return given;
    QDir root(QStringLiteral("/usr/lib/postgresql"));
    QStringList versions = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versions.begin(), versions.end(),
              [](const QString &a, const QString &b) { return a.toInt() > b.toInt(); });
    for (const QString &version : versions) {
        const QString bin = root.filePath(version + QStringLiteral("/bin"));
        if (QFileInfo(bin + QStringLiteral("/initdb")).isExecutable())
            return bin;
    }
    return {};
}

int freePort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

bool giveTo(const QString &path, uid_t uid, gid_t gid)
{
    return ::chown(QFile::encodeName(path).constData(), uid, gid) == 0;
}
} // namespace

PostgresRunner::PostgresRunner() = default;

PostgresRunner::~PostgresRunner()
{
    if (isRunning())
        kill();
}

bool PostgresRunner::run(const QStringList &command, int timeoutMs)
{
    QStringList args = command;
    QString program = args.takeFirst();
    if (m_asNobody) {
        args.prepend(program);
        args = QStringList{QStringLiteral("-u"), QStringLiteral("nobody"), QStringLiteral("--")} +
               args;
        program = QStringLiteral("runuser");
    }
    QProcess process;
    process.setWorkingDirectory(m_dir->path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    env.insert(QStringLiteral("PGPASSWORD"), QString::fromLatin1(kAdminPassword));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        m_error = QStringLiteral("%1 did not finish: %2")
                      .arg(command.first(), QString::fromLocal8Bit(process.readAll()));
        return false;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        m_error = QStringLiteral("%1 failed: %2")
                      .arg(command.first(), QString::fromLocal8Bit(process.readAll()));
        return false;
    }
    return true;
}

bool PostgresRunner::start()
{
    m_bin = findBin();
    if (m_bin.isEmpty()) {
        m_error = QStringLiteral("no PostgreSQL server found under /usr/lib/postgresql");
        return false;
    }
    m_dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/pg-XXXXXX"));
    if (!m_dir->isValid()) {
        m_error = m_dir->errorString();
        return false;
    }
    m_data = m_dir->filePath(QStringLiteral("data"));
    const QString passwordFile = m_dir->filePath(QStringLiteral("admin-password"));
    QFile file(passwordFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(kAdminPassword) < 0)
        return false;
    file.close();
    m_asNobody = ::geteuid() == 0;
    if (m_asNobody) {
        const passwd *nobody = ::getpwnam("nobody");
        if (!nobody || !giveTo(m_dir->path(), nobody->pw_uid, nobody->pw_gid) ||
            !giveTo(passwordFile, nobody->pw_uid, nobody->pw_gid)) {
            m_error = QStringLiteral("cannot hand the folder to the user nobody");
            return false;
        }
    }
    if (!run({m_bin + QStringLiteral("/initdb"), QStringLiteral("-D"), m_data, QStringLiteral("-U"),
              QString::fromLatin1(kAdmin), QStringLiteral("--pwfile=") + passwordFile,
              QStringLiteral("-A"), QStringLiteral("scram-sha-256"), QStringLiteral("-E"),
              QStringLiteral("UTF8"), QStringLiteral("--locale=C.UTF-8"),
              QStringLiteral("--no-sync")},
             120000))
        return false;
    m_port = freePort();
    return startServer();
}

bool PostgresRunner::startServer()
{
    // fsync off: a test's server may be killed, but the machine is not; committed rows stay.
    const QString options =
        QStringLiteral("-p %1 -k %2 -c listen_addresses=127.0.0.1 -c fsync=off "
                       "-c full_page_writes=off -c max_connections=60 -c lc_messages=C")
            .arg(m_port)
            .arg(m_dir->path());
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (run({m_bin + QStringLiteral("/pg_ctl"), QStringLiteral("-D"), m_data,
                 QStringLiteral("-o"), options, QStringLiteral("-l"),
                 m_dir->filePath(QStringLiteral("server.log")), QStringLiteral("-w"),
                 QStringLiteral("-t"), QStringLiteral("60"), QStringLiteral("start")},
                90000))
            return true;
        // The processes of a killed server may still be going away.
        QThread::msleep(250);
    }
    QFile log(m_dir->filePath(QStringLiteral("server.log")));
    if (log.open(QIODevice::ReadOnly))
        m_error += QString::fromLocal8Bit(log.readAll().right(2000));
    return false;
}

bool PostgresRunner::restart()
{
    return m_dir && startServer();
}

void PostgresRunner::stop()
{
    if (isRunning())
        run({m_bin + QStringLiteral("/pg_ctl"), QStringLiteral("-D"), m_data, QStringLiteral("-m"),
             QStringLiteral("fast"), QStringLiteral("-w"), QStringLiteral("stop")},
            60000);
}

qint64 PostgresRunner::postmasterPid() const
{
    if (!m_dir)
        return 0;
    QFile pidFile(m_data + QStringLiteral("/postmaster.pid"));
    if (!pidFile.open(QIODevice::ReadOnly))
        return 0;
    return pidFile.readLine().trimmed().toLongLong();
}

bool PostgresRunner::isRunning() const
{
    const qint64 pid = postmasterPid();
    return pid > 0 && ::kill(pid_t(pid), 0) == 0;
}

void PostgresRunner::kill()
{
    const qint64 pid = postmasterPid();
    if (pid <= 0)
        return;
    // The server's own processes first, so none lingers on after its parent.
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &entry : entries) {
        bool isPid = false;
        const qint64 child = entry.toLongLong(&isPid);
        if (!isPid)
            continue;
        QFile status(QStringLiteral("/proc/%1/status").arg(child));
        if (!status.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("PPid:") && line.mid(5).trimmed().toLongLong() == pid)
                ::kill(pid_t(child), SIGKILL);
        }
    }
    ::kill(pid_t(pid), SIGKILL);
    for (int i = 0; i < 100 && ::kill(pid_t(pid), 0) == 0; ++i)
        QThread::msleep(20);
}

bool PostgresRunner::psql(const QString &database, const QString &sql)
{
    return run({m_bin + QStringLiteral("/psql"), QStringLiteral("-X"), QStringLiteral("-q"),
                QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"), QStringLiteral("-h"),
                host(), QStringLiteral("-p"), QString::number(m_port), QStringLiteral("-U"),
                QString::fromLatin1(kAdmin), QStringLiteral("-d"), database, QStringLiteral("-c"),
                sql},
               60000);
}

bool PostgresRunner::createDatabase(const QString &name)
{
    return psql(QStringLiteral("postgres"), QStringLiteral("CREATE DATABASE %1").arg(name));
}

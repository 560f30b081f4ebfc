#include "HelperProcess.h"

#include "InstallPaths.h"
#include "SanitizerBuild.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>

#include <sys/resource.h>

namespace {

void setLimit(int resource, rlim_t value)
{
    const rlimit limit{value, value};
    setrlimit(resource, &limit);
}

} // namespace

QString HelperProgramPath(const QString &name)
{
    // Beside the program in the build folder, in libexec/talvenbahn/ once installed.
    return InstallPaths::helperProgram(name);
}

THelperProcess::THelperProcess(QObject *parent) : QObject(parent)
{
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] { finish(TimedOut); });
}

THelperProcess::~THelperProcess()
{
    // The running helper and any dropped one not yet deleted are children: end them here, so
    // that deleting them does not wait on a helper that hangs.
    for (QProcess *process : findChildren<QProcess *>(Qt::FindDirectChildrenOnly)) {
        process->disconnect(this);
        process->kill();
        process->waitForFinished(1000);
    }
}

void THelperProcess::start(const QString &program, const QStringList &arguments,
                           const TLimits &limits)
{
    if (m_process != nullptr)
        drop(std::exchange(m_process, nullptr));
    m_limits = limits;
    m_program = program;
    m_startError.clear();
    m_output.clear();
    m_outcome = NotDone;
    m_exitCode = -1;

    m_process = new QProcess(this);
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const TLimits bounds = limits;
    m_process->setChildProcessModifier([bounds] {
        // A crashing helper leaves no core file behind, and a runaway one stops on its own.
        setLimit(RLIMIT_CORE, 0);
        setLimit(RLIMIT_CPU, rlim_t(bounds.cpuSeconds));
        // The address sanitizer reserves far more address space than it uses.
        if (!kAddressSanitizerBuild)
            setLimit(RLIMIT_AS, rlim_t(bounds.memoryBytes));
    });
    connect(m_process, &QProcess::readyReadStandardOutput, this, &THelperProcess::collectOutput);
    connect(m_process, &QProcess::finished, this, &THelperProcess::processEnded);
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            m_startError = m_process->errorString();
            finish(FailedToStart);
        }
    });
    m_deadline.start(limits.timeoutMs);
    m_process->start(program, arguments);
}

bool THelperProcess::waitForDone(int msecs)
{
    const QDeadlineTimer deadline(msecs);
    while (m_process != nullptr && !deadline.hasExpired()) {
        if (m_deadline.remainingTime() == 0) {
            finish(TimedOut);
            break;
        }
        const int step =
            int(qMin<qint64>(deadline.remainingTime(), qMax(1, m_deadline.remainingTime())));
        m_process->waitForFinished(step);
    }
    return m_process == nullptr;
}

QString THelperProcess::failureText() const
{
    switch (m_outcome) {
    case FailedToStart:
        return QStringLiteral("Das Hilfsprogramm %1 kann nicht gestartet werden: %2")
            .arg(m_program, m_startError);
    case Crashed:
        return QStringLiteral("das Lesen ist abgestürzt");
    case TimedOut:
        return QStringLiteral("das Lesen dauert länger als %1 s").arg(m_limits.timeoutMs / 1000);
    case TooMuchOutput:
        return QStringLiteral("sie ist größer als %1 MB")
            .arg(m_limits.maxOutputBytes / (1024 * 1024));
    case NotDone:
    case Finished:
        break;
    }
    return {};
}

void THelperProcess::collectOutput()
{
    if (m_process == nullptr)
        return;
    m_output += m_process->readAllStandardOutput();
    if (m_output.size() > m_limits.maxOutputBytes)
        finish(TooMuchOutput);
}

void THelperProcess::processEnded(int exitCode, QProcess::ExitStatus status)
{
    collectOutput();
    if (m_process == nullptr)
        return;
    m_exitCode = status == QProcess::NormalExit ? exitCode : -1;
    finish(status == QProcess::NormalExit ? Finished : Crashed);
}

void THelperProcess::drop(QProcess *process)
{
    // This may run inside one of the process's own signals, even inside its waitForFinished():
    // no waiting here. A killed helper is deleted once it has ended; should this object go
    // first, it takes its children along.
    process->disconnect(this);
    if (process->state() == QProcess::NotRunning) {
        process->deleteLater();
        return;
    }
    connect(process, &QProcess::finished, process, &QObject::deleteLater);
    process->kill();
}

void THelperProcess::finish(TOutcome outcome)
{
    if (m_process == nullptr)
        return;
    m_deadline.stop();
    drop(std::exchange(m_process, nullptr));
    m_outcome = outcome;
    if (outcome != Finished)
        m_output.clear();
    emit done();
}

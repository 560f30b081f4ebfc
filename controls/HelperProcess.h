#pragma once

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>

// The full path of one of the program's helper programs, such as "talvenbahn-help-reader".
// Helpers are installed next to the program (the build puts them side by side in bin/); every
// place that starts a helper asks here, so a further location needs only this function.
QString HelperProgramPath(const QString &name);

// Runs a helper program that reads an untrusted file with a library we cannot make safe: the
// helper gets bounded memory and processor time, a deadline and a cap on what it may print, so
// whatever the file does to it, the program only sees an outcome. Runs without blocking: the
// caller hears done() from its own event loop.
class THelperProcess : public QObject
{
    Q_OBJECT
public:
    enum TOutcome {
        NotDone,
        Finished,      // ended by itself; exitCode() and output() tell how
        FailedToStart, // missing or not executable
        Crashed,       // killed by a signal
        TimedOut,      // still running at the deadline, killed
        TooMuchOutput, // printed more than the cap, killed
    };

    struct TLimits
    {
        int timeoutMs = 10000;
        qint64 maxOutputBytes = 64 * 1024 * 1024;
        qint64 memoryBytes = qint64(1) * 1024 * 1024 * 1024;
        int cpuSeconds = 5;
    };

    explicit THelperProcess(QObject *parent = nullptr);
    ~THelperProcess() override;

    // Starts the helper; an earlier run that is still going is ended first.
    void start(const QString &program, const QStringList &arguments, const TLimits &limits);
    bool isRunning() const { return m_process != nullptr; }
    // Blocks until the run is done or msecs passed; for tools and tests, never the window.
    bool waitForDone(int msecs);

    TOutcome outcome() const { return m_outcome; }
    int exitCode() const { return m_exitCode; }
    QByteArray output() const { return m_output; }
    // Why the run failed, in German, for the log and the user; empty after Finished.
    QString failureText() const;

signals:
    void done();

private:
    void collectOutput();
    void finish(TOutcome outcome);
    void drop(QProcess *process);
    void processEnded(int exitCode, QProcess::ExitStatus status);

    QProcess *m_process = nullptr;
    QTimer m_deadline;
    TLimits m_limits;
    QString m_program;
    QString m_startError;
    QByteArray m_output;
    TOutcome m_outcome = NotDone;
    int m_exitCode = -1;
};

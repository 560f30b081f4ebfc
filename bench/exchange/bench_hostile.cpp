// Reads workbooks built to take memory and time (written by make_hostile_lists.py) and, when
// folders are given, every file in them (a fuzz corpus), each in a fresh process, and prints
// per file whether it was read or refused, the time and the peak memory of that process.
// Goal: every file refused or read within 2 s and under 200 MB.
#include "StarterListReader.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>

#include <algorithm>
#include <cstdio>

#include <sys/resource.h>

namespace {

constexpr double kGoalSeconds = 2.0;
constexpr double kGoalMegabytes = 200.0;

double peakMegabytes(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return double(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

// In the child: read one file, print "<ms> <peak MB> <outcome>".
int readOne(const QString &path)
{
    QElapsedTimer timer;
    timer.start();
    StarterListReader reader;
    const bool ok = reader.read(path);
    const qint64 ms = timer.elapsed();
    const double peak = std::max(peakMegabytes(RUSAGE_SELF), peakMegabytes(RUSAGE_CHILDREN));
    const QString outcome = ok ? QStringLiteral("gelesen, %1 Zeilen").arg(reader.rows().size())
                               : QStringLiteral("abgelehnt: ") + reader.errorString().left(90);
    std::printf("%lld %.1f %s\n", static_cast<long long>(ms), peak, qPrintable(outcome));
    return 0;
}

QStringList filesIn(const QString &folder)
{
    QStringList files;
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Files, QDir::Name)) {
        if (name != u"stamp") // the build's mark that the folder is complete
            files << dir.filePath(name);
    }
    return files;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
    const QStringList arguments = application.arguments();
    if (arguments.size() == 3 && arguments.at(1) == u"--one")
        return readOne(arguments.at(2));

    QStringList files = filesIn(QStringLiteral(HOSTILE_LISTS_DIR));
    for (const QString &folder : arguments.mid(1))
        files << filesIn(folder);
    double worstSeconds = 0;
    double worstMegabytes = 0;
    QString slowest;
    QString largest;
    int refused = 0;
    const bool listEach = arguments.size() == 1 || files.size() <= 50;
    for (const QString &file : std::as_const(files)) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--one"), file});
        child.waitForFinished(-1);
        const QString line = QString::fromLocal8Bit(child.readAllStandardOutput()).trimmed();
        const QStringList parts = line.split(u' ');
        if (parts.size() < 3) {
            std::printf("%-28s the reading process failed (exit %d)\n",
                        qPrintable(QFileInfo(file).fileName()), child.exitCode());
            continue;
        }
        const double seconds = parts.at(0).toDouble() / 1000.0;
        const double megabytes = parts.at(1).toDouble();
        refused += line.contains(QStringLiteral("abgelehnt")) ? 1 : 0;
        if (seconds > worstSeconds) {
            worstSeconds = seconds;
            slowest = file;
        }
        if (megabytes > worstMegabytes) {
            worstMegabytes = megabytes;
            largest = file;
        }
        if (listEach)
            std::printf("%-22s %6.2f s %7.1f MB  %s\n", qPrintable(QFileInfo(file).fileName()),
                        seconds, megabytes, qPrintable(parts.mid(2).join(u' ')));
    }
    std::printf("%lld files, %d refused; slowest %.2f s (%s), peak memory %.1f MB (%s); "
                "goal: each under %.0f s and %.0f MB\n",
                static_cast<long long>(files.size()), refused, worstSeconds,
                qPrintable(QFileInfo(slowest).fileName()), worstMegabytes,
                qPrintable(QFileInfo(largest).fileName()), kGoalSeconds, kGoalMegabytes);
    return 0;
}

// Times the starter-list import's reading of a 65,536-row list (the most rows the old workbook
// format holds) as .xls (through the helper process) and .xlsx. Goal: under 500 ms each. Besides
// the wall time it prints the processor time (this process and the helper), which a busy
// machine does not stretch.
#include "StarterListReader.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocale>

#include <algorithm>
#include <cstdio>

#include <sys/resource.h>

namespace {

constexpr int kRuns = 5;

// Processor time used so far by this process and its finished children, in ms.
qint64 cpuMs()
{
    qint64 total = 0;
    for (const int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage usage{};
        getrusage(who, &usage);
        total += (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000 +
                 (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000;
    }
    return total;
}

void timeReading(const char *label, const QString &path)
{
    qint64 best = -1;
    qint64 total = 0;
    qint64 cpuTotal = 0;
    qsizetype rows = 0;
    for (int run = 0; run < kRuns; ++run) {
        StarterListReader reader;
        QElapsedTimer timer;
        const qint64 cpuBefore = cpuMs();
        timer.start();
        if (!reader.read(path)) {
            std::printf("%-6s failed: %s\n", label, qPrintable(reader.errorString()));
            return;
        }
        const qint64 ms = timer.elapsed();
        cpuTotal += cpuMs() - cpuBefore;
        best = best < 0 ? ms : std::min(best, ms);
        total += ms;
        rows = reader.rows().size();
    }
    std::printf("%-6s %lld rows: wall best %lld ms, mean %lld ms; processor mean %lld ms; "
                "%d runs (goal < 500 ms)\n",
                label, static_cast<long long>(rows), static_cast<long long>(best),
                static_cast<long long>(total / kRuns), static_cast<long long>(cpuTotal / kRuns),
                kRuns);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
    const QString folder = QStringLiteral(LONG_LISTS_DIR "/");
    timeReading(".xls", folder + QStringLiteral("long.xls"));
    timeReading(".xlsx", folder + QStringLiteral("long.xlsx"));
    return 0;
}

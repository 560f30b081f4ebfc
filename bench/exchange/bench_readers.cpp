// Times the starter-list import's reading of a 65,536-row list (the most rows the old workbook
// format holds) as .xls (through the helper process) and .xlsx. Goal: under 500 ms each. Besides
// the wall time it prints the processor time (this process and the helper), which a busy
// machine does not stretch. Then it reads the .xlsx three times each with our reader and with
// Python's openpyxl in read-only mode, alternating, and prints both and their ratio (goal: our
// time under a quarter of openpyxl's).
#include "StarterListReader.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocale>
#include <QProcess>

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

// openpyxl reads the list as the import does: the first sheet, columns A to J, up to the
// first row whose A is empty. It prints its own time, without the interpreter's start.
const char *const kOpenpyxlScript = R"(
import sys, time
import openpyxl
start = time.perf_counter()
book = openpyxl.load_workbook(sys.argv[1], read_only=True, data_only=True)
rows = 0
for row in book.worksheets[0].iter_rows(max_col=10, values_only=True):
    if row[0] is None or row[0] == "":
        break
    rows += 1
book.close()
print(int((time.perf_counter() - start) * 1000), rows)
)";

// -1 when Python or openpyxl is missing.
qint64 openpyxlMs(const QString &path, qsizetype *rows)
{
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"), QString::fromLatin1(kOpenpyxlScript), path});
    if (!python.waitForFinished(120000) || python.exitStatus() != QProcess::NormalExit ||
        python.exitCode() != 0)
        return -1;
    const QList<QByteArray> parts = python.readAllStandardOutput().trimmed().split(' ');
    if (parts.size() != 2)
        return -1;
    *rows = parts.at(1).toLongLong();
    return parts.at(0).toLongLong();
}

void compareWithOpenpyxl(const QString &path)
{
    constexpr int kComparisonRuns = 3;
    qint64 oursTotal = 0;
    qint64 theirsTotal = 0;
    for (int run = 1; run <= kComparisonRuns; ++run) {
        StarterListReader reader;
        QElapsedTimer timer;
        timer.start();
        if (!reader.read(path)) {
            std::printf("ours failed: %s\n", qPrintable(reader.errorString()));
            return;
        }
        const qint64 ours = timer.elapsed();
        qsizetype theirRows = 0;
        const qint64 theirs = openpyxlMs(path, &theirRows);
        if (theirs < 0) {
            std::printf("openpyxl comparison skipped: python3 with openpyxl is not installed "
                        "(/usr/bin/python3, Debian package python3-openpyxl)\n");
            return;
        }
        std::printf(".xlsx run %d: ours %lld ms (%lld rows), openpyxl read-only %lld ms (%lld "
                    "rows), ratio %.3f\n",
                    run, static_cast<long long>(ours), static_cast<long long>(reader.rows().size()),
                    static_cast<long long>(theirs), static_cast<long long>(theirRows),
                    theirs > 0 ? double(ours) / double(theirs) : 0.0);
        oursTotal += ours;
        theirsTotal += theirs;
    }
    std::printf(".xlsx mean of %d: ours %lld ms, openpyxl %lld ms, ratio %.3f (goal < 0.25)\n",
                kComparisonRuns, static_cast<long long>(oursTotal / kComparisonRuns),
                static_cast<long long>(theirsTotal / kComparisonRuns),
                theirsTotal > 0 ? double(oursTotal) / double(theirsTotal) : 0.0);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
    const QString folder = QStringLiteral(LONG_LISTS_DIR "/");
    timeReading(".xls", folder + QStringLiteral("long.xls"));
    timeReading(".xlsx", folder + QStringLiteral("long.xlsx"));
    compareWithOpenpyxl(folder + QStringLiteral("long.xlsx"));
    return 0;
}

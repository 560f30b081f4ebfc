// Times writing the results page and the results workbook for a full field: 12 cars that all
// completed the most laps a race may have.
#include "DocumentOpener.h"
#include "Excel.h"
#include "ResultsPageWriter.h"
#include "ResultsWorkbook.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kCars = 12;
constexpr int kLaps = 999;
constexpr int kRuns = 7;
constexpr qint32 kBaseLapMs = 61000;

TResultsSnapshot fullField()
{
    TResultsSnapshot s;
    s.appTitle = QStringLiteral("Talvenbahn 1.7");
    s.title = QStringLiteral("Langstrecke <Nord> & Süd");
    s.mode = QStringLiteral("Rennen");
    s.raceLaps = kLaps;
    s.leaderLaps = kLaps;
    s.lapLength = 3.7;
    s.date = QDate(2026, 12, 7);
    for (int car = 1; car <= kCars; ++car) {
        TResultsRow row;
        row.car = car;
        row.startNo = QString::number(car * 3);
        row.driver = QStringLiteral("Fahrer Łódź %1").arg(car);
        qint32 raceTime = 0;
        for (int lap = 1; lap <= kLaps; ++lap) {
            const qint32 lapMs = kBaseLapMs + car * 137 + (lap * 7919) % 3000;
            row.laps.append(lapMs);
            row.cross.append(raceTime += lapMs);
        }
        row.best = *std::min_element(row.laps.begin(), row.laps.end());
        s.rows << row;
    }
    return s;
}

template <typename Work> double medianMs(Work work)
{
    QList<double> times;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        work();
        times << timer.nsecsElapsed() / 1e6;
    }
    std::sort(times.begin(), times.end());
    return times.at(kRuns / 2);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    DocumentOpener::setHandler([](const QString &) {});
    const TResultsSnapshot snapshot = fullField();

    qint64 pageBytes = 0;
    const double pageMs = medianMs([&] {
        TResultsPageWriter writer;
        if (!writer.writeFile(dir.filePath(QStringLiteral("Talvenbahn.html")), snapshot))
            qFatal("page not written: %s", qPrintable(writer.errorString()));
        pageBytes = QFileInfo(dir.filePath(QStringLiteral("Talvenbahn.html"))).size();
    });

    qint64 bookBytes = 0;
    const double bookMs = medianMs([&] {
        TExcel excel;
        excel.SetFolder(dir.path());
        if (!excel.Connect() || !WriteResultsWorkbook(excel, snapshot) || !excel.Save())
            qFatal("workbook not written: %s", qPrintable(excel.errorString()));
        bookBytes = QFileInfo(excel.fileName()).size();
        QFile::remove(excel.fileName());
    });

    std::printf("results of %d cars x %d laps, median of %d runs\n", kCars, kLaps, kRuns);
    std::printf("  page:     %8.2f ms  (%lld bytes; goal < 20 ms)\n", pageMs, pageBytes);
    std::printf("  workbook: %8.2f ms  (%lld bytes; goal < 500 ms)\n", bookMs, bookBytes);
    return 0;
}

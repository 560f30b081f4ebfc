#include "ResultsCsv.h"

#include "Classification.h"
#include "CsvText.h"

#include <algorithm>

namespace {

struct Crossing
{
    int row = 0;
    int lap = 0;
    qint32 raceTime = 0;
};

// The times again as numbers, after the columns the files always had, so a spreadsheet can
// add them up and a reader of the older columns finds them where they were.
const QString kRaceSeconds = QStringLiteral("Rennzeit (s)");
const QString kLapSeconds = QStringLiteral("Rundenzeit (s)");

// Every recorded crossing as the pass log lists it, with its time of day and its note.
QByteArray RecordedCrossingsCsv(const TResultsSnapshot &s)
{
    QList<QStringList> lines;
    lines.reserve(s.crossings.size() + 1);
    lines << QStringList{QStringLiteral("Uhrzeit"),
                         QStringLiteral("Wagen"),
                         QStringLiteral("Start-Nr."),
                         QStringLiteral("Fahrer"),
                         QStringLiteral("Runde"),
                         QStringLiteral("Rennzeit"),
                         QStringLiteral("Rundenzeit"),
                         QStringLiteral("Hinweis"),
                         kRaceSeconds,
                         kLapSeconds};
    for (const TCrossingLine &c : s.crossings) {
        lines << QStringList{c.time,
                             CarKeyText(c.car),
                             CsvUserText(c.startNo),
                             CsvUserText(c.driver),
                             c.lap > 0 ? QString::number(c.lap) : QString(),
                             LongTimeText(c.raceMs, s.acc),
                             c.lap > 0 ? LongTimeText(c.lapMs, s.acc) : QString(),
                             c.note,
                             CsvSeconds(c.raceMs, s.acc),
                             c.lap > 0 ? CsvSeconds(c.lapMs, s.acc) : QString()};
    }
    return CsvDocument(lines, CsvSeparator());
}

} // namespace

QByteArray CrossingsCsv(const TResultsSnapshot &s)
{
    if (!s.crossings.isEmpty())
        return RecordedCrossingsCsv(s);
    QList<Crossing> crossings;
    for (int row = 0; row < s.carCount(); ++row) {
        const TResultsRow &r = s.rows.at(row);
        for (int lap = 1; lap <= int(r.cross.size()); ++lap)
            crossings.append({row, lap, r.total(lap)});
    }
    std::stable_sort(crossings.begin(), crossings.end(),
                     [](const Crossing &a, const Crossing &b) { return a.raceTime < b.raceTime; });

    QList<QStringList> lines;
    lines.reserve(crossings.size() + 1);
    lines << QStringList{QStringLiteral("Wagen"),
                         QStringLiteral("Start-Nr."),
                         QStringLiteral("Fahrer"),
                         QStringLiteral("Runde"),
                         QStringLiteral("Rennzeit"),
                         QStringLiteral("Rundenzeit"),
                         kRaceSeconds,
                         kLapSeconds};
    for (const Crossing &c : std::as_const(crossings)) {
        const TResultsRow &r = s.rows.at(c.row);
        lines << QStringList{CarKeyText(r.car),
                             CsvUserText(r.startNo),
                             CsvUserText(r.driver),
                             QString::number(c.lap),
                             LongTimeText(c.raceTime, s.acc),
                             LongTimeText(r.lapTime(c.lap), s.acc),
                             CsvSeconds(c.raceTime, s.acc),
                             CsvSeconds(r.lapTime(c.lap), s.acc)};
    }
    return CsvDocument(lines, CsvSeparator());
}

QByteArray ResultsCsv(const TResultsSnapshot &s)
{
    QList<QStringList> lines;
    lines << QStringList{QStringLiteral("Position"),        QStringLiteral("Wagen"),
                         QStringLiteral("Start-Nr."),       QStringLiteral("Fahrer"),
                         QStringLiteral("Runden"),          QStringLiteral("Gesamtzeit"),
                         QStringLiteral("Beste Runde"),     QStringLiteral("Abstand"),
                         QStringLiteral("Wertung"),         QStringLiteral("Gesamtzeit (s)"),
                         QStringLiteral("Beste Runde (s)"), QStringLiteral("Abstand (s)")};
    const auto seconds = [&s](std::optional<qint32> ms) {
        return ms ? CsvSeconds(*ms, s.acc) : QString();
    };
    for (const TClassificationLine &line : Classification(s)) {
        // A number a spreadsheet can sort by, or the status of a car not classified by place;
        // "Wertung" is the place as every export writes it, penalty and laps off included.
        lines << QStringList{line.status.isEmpty() ? QString::number(line.position) : line.status,
                             line.carKey,
                             CsvUserText(line.startNo),
                             CsvUserText(line.driver),
                             QString::number(line.laps),
                             line.totalTime,
                             line.bestLap,
                             line.gap,
                             line.place,
                             seconds(line.totalMs),
                             seconds(line.bestMs),
                             seconds(line.gapMs)};
    }
    return CsvDocument(lines, CsvSeparator());
}

#include "Classification.h"

#include "FormatTime.h"
#include "RaceTables.h"

namespace {

constexpr int kLongTimeMode = 9;

} // namespace

QString LongTimeText(qint32 ms, int acc)
{
    return FormatTime(ms, acc, kLongTimeMode);
}

QString LapsBehindText(int laps)
{
    return laps == 1 ? QStringLiteral("+1 Runde") : QStringLiteral("+%1 Runden").arg(laps);
}

QString CarKeyText(int car)
{
    return u'F' + QString::number(car);
}

std::optional<qint32> ClassifiedTotal(const TResultsRow &row)
{
    if (row.count() == 0)
        return std::nullopt;
    return row.total(row.count()) + row.penaltyMs;
}

QList<TClassificationLine> Classification(const TResultsSnapshot &s)
{
    QList<TClassificationLine> lines;
    lines.reserve(s.carCount());
    const TResultsRow *leader = s.rows.isEmpty() ? nullptr : &s.rows.first();
    for (int i = 0; i < s.carCount(); ++i) {
        const TResultsRow &row = s.rows.at(i);
        TClassificationLine line;
        line.position = i + 1;
        line.place = row.placeText(i + 1);
        line.status = row.status;
        line.carKey = CarKeyText(row.car);
        line.startNo = row.startNo;
        line.driver = row.driver;
        line.laps = qMax(0, row.count() - row.lapsOff);
        line.totalMs = ClassifiedTotal(row);
        if (line.totalMs) {
            line.totalTime = LongTimeText(*line.totalMs, s.acc);
            // A car whose every lap borders a crossing recorded late has no best lap yet.
            if (row.best != kNoBestLap) {
                line.bestMs = row.best;
                line.bestLap = LongTimeText(row.best, s.acc);
            }
        }
        const int leaderLaps = qMax(0, leader->count() - leader->lapsOff);
        const int behind = leaderLaps - line.laps;
        if (behind > 0) {
            line.gap = LapsBehindText(behind);
        } else if (i > 0 && line.totalMs && line.laps == leaderLaps) {
            line.gapMs = *line.totalMs - leader->total(leader->count()) - leader->penaltyMs;
            line.gap = LongTimeText(*line.gapMs, s.acc);
        }
        lines << line;
    }
    return lines;
}

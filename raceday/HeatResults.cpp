#include "RaceDayOutcome.h"

#include "FormatTime.h"
#include "RaceResults.h"
#include "RaceSession.h"
#include "TickCounter.h"

#include <QSet>

namespace {

// A finished race needs no clock: its times come from the recorded race times.
class TStillClock final : public TTickCounter
{
public:
    quint32 GetTickCount() const override { return 0; }
};

// The race time at which the row first ran its best lap as shown with acc digits.
qint32 bestSetAt(const TResultsRow &row, int acc)
{
    const qint32 shownBest = TimeAsShown(row.best, acc);
    for (int k = 0; k < row.count(); ++k) {
        if (TimeAsShown(row.laps.at(k), acc) == shownBest)
            return row.cross.at(k);
    }
    return row.cross.isEmpty() ? 0 : row.cross.last();
}

THeatResult resultOf(int entrantId, const TResultsRow &row, qint64 startWallMs, int acc)
{
    THeatResult r;
    r.entrantId = entrantId;
    r.laps = qMax(0, row.count() - row.lapsOff);
    if (row.count() > 0) {
        r.totalMs = row.cross.last() + row.penaltyMs;
        // A car whose every lap borders a crossing recorded late has no best lap yet.
        if (row.best != kNoBestLap) {
            r.bestMs = row.best;
            r.bestSetAtMs = startWallMs + bestSetAt(row, acc);
        }
    }
    r.status = row.status;
    return r;
}

} // namespace

THeatResults HeatResultsFromEvents(const QList<TRaceEvent> &events,
                                   const QList<int> &entrantIdsInKeyOrder, int acc)
{
    const auto start = std::find_if(events.begin(), events.end(), [](const TRaceEvent &e) {
        return e.kind == TRaceEvent::Kind::Start;
    });
    if (start == events.end())
        return {};
    // The race as the window would show it: corrections and verdicts applied.
    TStillClock clock;
    TRaceSession session(clock);
    session.Load(events, start->tick);
    if (!session.HasRace())
        return {};
    // The rows of the session's Results(), without the pass log and correction texts it adds
    // for the exports, nor the header (each a time of day or date read through the time zone:
    // slow, and not needed).
    const QList<TResultsRow> rows =
        RaceResultRows(session.Timing(), session.Standings(), session.Timing().CarCount());

    THeatResults ranked;
    QSet<int> placed;
    for (const TResultsRow &row : rows) {
        if (row.car < 1 || row.car > entrantIdsInKeyOrder.size() || row.count() == 0 ||
            row.status == QLatin1String("DNS"))
            continue;
        ranked.append(resultOf(entrantIdsInKeyOrder.at(row.car - 1), row, start->wallMs, acc));
        placed.insert(row.car);
    }
    // Cars without a lap, and drivers without a car in the race, stand last in key order.
    for (int car = 1; car <= entrantIdsInKeyOrder.size(); ++car) {
        if (placed.contains(car))
            continue;
        const int id = entrantIdsInKeyOrder.at(car - 1);
        const auto row = std::find_if(rows.begin(), rows.end(),
                                      [car](const TResultsRow &r) { return r.car == car; });
        if (row != rows.end()) {
            ranked.append(resultOf(id, *row, start->wallMs, acc));
        } else {
            THeatResult r;
            r.entrantId = id;
            ranked.append(r);
        }
    }
    for (qsizetype i = 0; i < ranked.size(); ++i)
        ranked[i].place = int(i) + 1;
    return ranked;
}

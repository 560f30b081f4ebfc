#include "RaceDayOutcome.h"

#include <QSet>

#include <algorithm>

// Everything is worked out again from the plan and the heats' races, so a correction in any
// heat reaches the qualifying order, the finals not yet started and the points at once. A
// final that has a race keeps the drivers it was started with; the others are seeded afresh,
// a final's bump-up places filled once the final below it has a race.

namespace {

// A heat's results from its race, each race read and replayed once; empty without a race.
THeatResults heatResults(const THeat &heat, const TRaceEventsOf &events, int acc)
{
    if (heat.raceId == 0 || !events)
        return {};
    return HeatResultsFromEvents(events(heat.raceId), heat.entrantIds, acc);
}

QList<const TRound *> roundsOf(const TRaceDay &day, const QString &className, TRoundKind kind)
{
    QList<const TRound *> rounds;
    for (const TRound &r : day.rounds) {
        if (r.className == className && r.kind == kind)
            rounds.append(&r);
    }
    std::stable_sort(rounds.begin(), rounds.end(),
                     [](const TRound *a, const TRound *b) { return a->number < b->number; });
    return rounds;
}

// The order the finals are seeded by: the qualifying order, then the drivers of qualifying
// heats not yet timed in heat order; on a day without qualifying, the class's entrants.
QList<int> seedingOrder(const TRaceDay &day, const QString &className,
                        const QList<const TRound *> &qualifying, TClassOutcome &outcome)
{
    QList<int> order;
    for (const TQualifyPlace &q : outcome.qualifying)
        order.append(q.entrantId);
    for (const TRound *round : qualifying) {
        for (const THeat &heat : round->heats) {
            for (int id : heat.entrantIds) {
                if (order.contains(id))
                    continue;
                order.append(id);
                TQualifyPlace line;
                line.entrantId = id;
                line.place = int(outcome.qualifying.size()) + 1;
                outcome.qualifying.append(line);
            }
        }
    }
    if (order.isEmpty()) {
        for (const TEntrant &e : day.entrants) {
            if (e.className == className && !e.absent)
                order.append(e.id);
        }
    }
    return order;
}

TClassOutcome classOutcome(const TRaceDay &day, const QString &className,
                           const TRaceEventsOf &events, int acc)
{
    TClassOutcome outcome;
    outcome.className = className;
    const QList<const TRound *> qualifying = roundsOf(day, className, TRoundKind::Qualifying);
    for (const TRound *round : qualifying) {
        QList<THeatResults> heats;
        for (const THeat &heat : round->heats)
            heats.append(heatResults(heat, events, acc));
        outcome.qualifyingHeats.append(heats);
    }
    outcome.qualifying =
        RankQualifying(outcome.qualifyingHeats, day.rules.ranking, day.rules.combine, acc);

    const QList<int> order = seedingOrder(day, className, qualifying, outcome);
    const QList<QList<int>> seeded = SeedFinals(order, day.rules.finalSize, day.rules.bumpUp);
    const QList<const TRound *> finalRounds = roundsOf(day, className, TRoundKind::Final);
    const TRound *finals = finalRounds.isEmpty() ? nullptr : finalRounds.first();
    const qsizetype count = qMax(seeded.size(), finals ? finals->heats.size() : 0);

    outcome.finalsSeeded = QList<QList<int>>(count);
    outcome.finals = QList<THeatResults>(count);
    QList<bool> started(count, false);
    QSet<int> raced; // the drivers of finals that have a race
    for (qsizetype f = 0; f < count; ++f) {
        const THeat *heat = finals && f < finals->heats.size() ? &finals->heats.at(f) : nullptr;
        if (heat)
            outcome.finals[f] = heatResults(*heat, events, acc);
        if (outcome.finals.at(f).isEmpty())
            continue;
        started[f] = true;
        outcome.finalsSeeded[f] = heat->entrantIds;
        for (int id : heat->entrantIds)
            raced.insert(id);
    }
    // The finals not yet started share the drivers of no started final, each as many as the
    // seeding gives it and the lowest of them the rest: after a correction moved a driver past
    // a final that has already run, nobody is left out and nobody is in two finals.
    QList<int> rest;
    for (int id : order) {
        if (!raced.contains(id))
            rest.append(id);
    }
    qsizetype lastOpen = count - 1;
    while (lastOpen >= 0 && started.at(lastOpen))
        --lastOpen;
    qsizetype next = 0;
    for (qsizetype f = 0; f <= lastOpen; ++f) {
        if (started.at(f))
            continue;
        const qsizetype left = rest.size() - next;
        const qsizetype take = f == lastOpen ? left : qMin(seeded.value(f).size(), left);
        outcome.finalsSeeded[f] = rest.mid(next, take);
        next += take;
        if (f + 1 < count && started.at(f + 1))
            outcome.finalsSeeded[f] =
                SeedBumpUp(outcome.finalsSeeded.at(f), outcome.finals.at(f + 1), day.rules.bumpUp);
    }

    bool complete = count > 0;
    for (qsizetype f = 0; f < count; ++f) {
        if (!outcome.finalsSeeded.at(f).isEmpty() && outcome.finals.at(f).isEmpty())
            complete = false;
    }
    if (complete) {
        outcome.result = ClassResult(outcome.finals, day.points, outcome.qualifying, acc);
        const QList<int> fastest = FastestLapHolders(outcome.finals.first(), acc);
        if (fastest.size() > 1 && day.points.fastestLap > 0)
            outcome.fastestLapTie = fastest;
    }
    return outcome;
}

} // namespace

const TClassOutcome *TRaceDayOutcome::ofClass(const QString &className) const
{
    for (const TClassOutcome &c : classes) {
        if (c.className == className)
            return &c;
    }
    return nullptr;
}

TRaceDayOutcome ComputeRaceDay(const TRaceDay &day, const TRaceEventsOf &events, int acc)
{
    TRaceDayOutcome outcome;
    for (const QString &className : day.classes())
        outcome.classes.append(classOutcome(day, className, events, acc));
    return outcome;
}

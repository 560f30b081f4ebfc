#include "RaceDay.h"

// Finals fill from the top: the A final takes the best qualifiers, each lower final the next
// ones, and the lowest final the rest, so only the lowest can be short. With a bump-up of k a
// final above another keeps its last k places for the lower final's first k finishers.

namespace {

constexpr int kMaxFinalSize = 12; // one lap key per driver

} // namespace

QList<QList<int>> SeedFinals(const QList<int> &qualifyOrder, int finalSize, int bumpUp)
{
    const int size = qBound(1, finalSize, kMaxFinalSize);
    const int kept = size - qBound(0, bumpUp, size - 1); // places seeded from qualifying
    QList<QList<int>> finals;
    qsizetype next = 0;
    while (next < qualifyOrder.size()) {
        const qsizetype rest = qualifyOrder.size() - next;
        // The lowest final has no one below it to keep places for.
        const qsizetype take = rest <= size ? rest : kept;
        finals.append(qualifyOrder.mid(next, take));
        next += take;
    }
    return finals;
}

QList<int> SeedBumpUp(const QList<int> &higherFinal, const THeatResults &lowerFinal, int bumpUp)
{
    QList<int> seeded = higherFinal;
    int moved = 0;
    for (const THeatResult &r : lowerFinal) {
        if (moved >= bumpUp || seeded.size() >= kMaxFinalSize)
            break;
        // Only a driver who finished the lower final goes up.
        if (r.laps <= 0 || !r.status.isEmpty() || seeded.contains(r.entrantId))
            continue;
        seeded.append(r.entrantId);
        ++moved;
    }
    return seeded;
}

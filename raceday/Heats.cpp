#include "RaceDay.h"

#include <QRandomGenerator>

#include <algorithm>

namespace {

constexpr int kMaxHeatSize = 12; // one lap key per driver

} // namespace

QList<QList<int>> SplitIntoHeats(const QList<int> &entrantIds, int maxSize, THeatOrder order,
                                 quint32 seed)
{
    const int drivers = int(entrantIds.size());
    if (drivers == 0)
        return {};
    const int size = qBound(1, maxSize, kMaxHeatSize);
    const int heats = (drivers + size - 1) / size;
    QList<QList<int>> result(heats);

    if (order == THeatOrder::Seeded) {
        // Dealt out like cards: the heats with one driver more are the first ones.
        for (int i = 0; i < drivers; ++i)
            result[i % heats].append(entrantIds.at(i));
        return result;
    }

    QList<int> ids = entrantIds;
    if (order == THeatOrder::Random) {
        // The seed makes the draw repeatable: the same seed gives the same heats.
        QRandomGenerator random(seed);
        for (int i = drivers - 1; i > 0; --i)
            std::swap(ids[i], ids[int(random.bounded(quint32(i + 1)))]);
    }
    const int base = drivers / heats;
    const int larger = drivers % heats; // the first heats take one driver more
    int next = 0;
    for (int h = 0; h < heats; ++h) {
        const int count = base + (h < larger ? 1 : 0);
        result[h] = ids.mid(next, count);
        next += count;
    }
    return result;
}

#include "RaceDayOutcome.h"

#include <limits>

namespace {

const QString kRaceDay = QStringLiteral("raceDay");
const QString kHeat = QStringLiteral("heat");

} // namespace

void LinkStartToHeat(TRaceEvent &start, qint64 dayId, int heatId)
{
    start.payload.insert(kRaceDay, dayId);
    start.payload.insert(kHeat, heatId);
}

std::optional<std::pair<qint64, int>> HeatOfStart(const TRaceEvent &start)
{
    if (start.kind != TRaceEvent::Kind::Start)
        return std::nullopt;
    const QJsonValue day = start.payload.value(kRaceDay);
    const QJsonValue heat = start.payload.value(kHeat);
    // An ordinary race, or keys this program did not write: no heat.
    if (!day.isDouble() || !heat.isDouble())
        return std::nullopt;
    const qint64 dayId = day.toInteger();
    const qint64 heatId = heat.toInteger();
    if (dayId <= 0 || heatId <= 0 || heatId > std::numeric_limits<int>::max())
        return std::nullopt;
    return std::pair<qint64, int>(dayId, int(heatId));
}

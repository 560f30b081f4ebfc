#pragma once

#include "RaceDay.h"
#include "RaceDayStore.h"

#include <QString>

// A race day's and a season's plan as the JSON text the club server keeps; the same plan always
// gives the same text, so a station sends a plan again only when it changed. The heats' races
// are not part of it: the server finds them by the days' START events.
namespace PlanDocuments {

// "<station>/<id>": where a day or season was made, the same on every station that has it.
QString originOf(const QString &stationId, qint64 id);
QString dayOrigin(const TRaceDay &day, const QString &stationId);

// seasonOrigin names the day's season (originOf the season), empty for none.
QString dayToJson(const TRaceDay &day, const QString &seasonOrigin);
// id, seasonId and THeat::raceId stay 0; origin is set to the given one.
TRaceDay dayFromJson(const QString &json, const QString &origin, QString *seasonOrigin = nullptr);

QString seasonToJson(const TSeason &season);
TSeason seasonFromJson(const QString &json);

} // namespace PlanDocuments

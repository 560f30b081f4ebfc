#pragma once

#include "RaceDay.h"

#include <QString>

// A race day's club rules as the JSON texts the journal keeps them in. Reading fills what a
// text lacks (or cannot be read) with the defaults, so a day keeps opening when rules are added.
namespace RaceDayRules {

QString toJson(const TClassRules &rules);
QString toJson(const TPointsRules &points);
TClassRules classRulesFromJson(const QString &json);
TPointsRules pointsRulesFromJson(const QString &json);

// The texts of the rounds' kind column.
QString kindName(TRoundKind kind);
TRoundKind kindFromName(const QString &name);

// A heat's drivers in key order as a JSON array of entrant ids ("[3,1,7]").
QString idsToJson(const QList<int> &ids);
QList<int> idsFromJson(const QString &json);

} // namespace RaceDayRules

#include "PlanDocuments.h"

#include "RaceDayRules.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace PlanDocuments {

namespace {
QString compact(const QJsonObject &object)
{
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

QJsonObject objectOf(const QString &json)
{
    return QJsonDocument::fromJson(json.toUtf8()).object();
}

QJsonArray idsArray(const QList<int> &ids)
{
    QJsonArray array;
    for (int id : ids)
        array.append(id);
    return array;
}

QList<int> idsOf(const QJsonArray &array)
{
    QList<int> ids;
    for (const QJsonValue &value : array)
        ids.append(value.toInt());
    return ids;
}

QJsonObject driverObject(const TSeasonDriver &driver)
{
    return {{QStringLiteral("number"), driver.number}, {QStringLiteral("driver"), driver.driver}};
}

TSeasonDriver driverOf(const QJsonObject &object)
{
    return {object.value(QStringLiteral("number")).toString(),
            object.value(QStringLiteral("driver")).toString()};
}
} // namespace

QString originOf(const QString &stationId, qint64 id)
{
    return QStringLiteral("%1/%2").arg(stationId).arg(id);
}

QString dayOrigin(const TRaceDay &day, const QString &stationId)
{
    return day.origin.isEmpty() ? originOf(stationId, day.id) : day.origin;
}

QString dayToJson(const TRaceDay &day, const QString &seasonOrigin)
{
    QJsonArray entrants;
    for (const TEntrant &e : day.entrants)
        entrants.append(QJsonObject{{QStringLiteral("id"), e.id},
                                    {QStringLiteral("number"), e.number},
                                    {QStringLiteral("driver"), e.driver},
                                    {QStringLiteral("class"), e.className},
                                    {QStringLiteral("absent"), e.absent}});
    QJsonArray rounds;
    for (const TRound &r : day.rounds) {
        QJsonArray heats;
        for (const THeat &h : r.heats) {
            QJsonObject heat{{QStringLiteral("id"), h.id},
                             {QStringLiteral("entrants"), idsArray(h.entrantIds)}};
            if (const auto seeded = day.seeded.constFind(h.id); seeded != day.seeded.cend())
                heat.insert(QStringLiteral("seeded"), idsArray(*seeded));
            heats.append(heat);
        }
        rounds.append(QJsonObject{{QStringLiteral("id"), r.id},
                                  {QStringLiteral("class"), r.className},
                                  {QStringLiteral("kind"), RaceDayRules::kindName(r.kind)},
                                  {QStringLiteral("number"), r.number},
                                  {QStringLiteral("heats"), heats}});
    }
    return compact({{QStringLiteral("name"), day.name},
                    {QStringLiteral("date"), day.date.toString(Qt::ISODate)},
                    {QStringLiteral("season"), seasonOrigin},
                    {QStringLiteral("classRules"), objectOf(RaceDayRules::toJson(day.rules))},
                    {QStringLiteral("points"), objectOf(RaceDayRules::toJson(day.points))},
                    {QStringLiteral("entrants"), entrants},
                    {QStringLiteral("rounds"), rounds}});
}

TRaceDay dayFromJson(const QString &json, const QString &origin, QString *seasonOrigin)
{
    const QJsonObject object = objectOf(json);
    TRaceDay day;
    day.origin = origin;
    day.name = object.value(QStringLiteral("name")).toString();
    day.date = QDate::fromString(object.value(QStringLiteral("date")).toString(), Qt::ISODate);
    const auto textOf = [](const QJsonValue &value) {
        return QString::fromUtf8(QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact));
    };
    day.rules =
        RaceDayRules::classRulesFromJson(textOf(object.value(QStringLiteral("classRules"))));
    day.points = RaceDayRules::pointsRulesFromJson(textOf(object.value(QStringLiteral("points"))));
    for (const QJsonValue &value : object.value(QStringLiteral("entrants")).toArray()) {
        const QJsonObject e = value.toObject();
        day.entrants.append({e.value(QStringLiteral("id")).toInt(),
                             e.value(QStringLiteral("number")).toString(),
                             e.value(QStringLiteral("driver")).toString(),
                             e.value(QStringLiteral("class")).toString(),
                             e.value(QStringLiteral("absent")).toBool()});
    }
    for (const QJsonValue &value : object.value(QStringLiteral("rounds")).toArray()) {
        const QJsonObject r = value.toObject();
        TRound round;
        round.id = r.value(QStringLiteral("id")).toInt();
        round.className = r.value(QStringLiteral("class")).toString();
        round.kind = RaceDayRules::kindFromName(r.value(QStringLiteral("kind")).toString());
        round.number = r.value(QStringLiteral("number")).toInt(1);
        for (const QJsonValue &heatValue : r.value(QStringLiteral("heats")).toArray()) {
            const QJsonObject h = heatValue.toObject();
            THeat heat;
            heat.id = h.value(QStringLiteral("id")).toInt();
            heat.entrantIds = idsOf(h.value(QStringLiteral("entrants")).toArray());
            // A day kept before finals were seeded in the plan has none.
            if (const QJsonValue seeded = h.value(QStringLiteral("seeded")); seeded.isArray())
                day.seeded.insert(heat.id, idsOf(seeded.toArray()));
            round.heats.append(std::move(heat));
        }
        day.rounds.append(std::move(round));
    }
    if (seasonOrigin)
        *seasonOrigin = object.value(QStringLiteral("season")).toString();
    return day;
}

QString seasonToJson(const TSeason &season)
{
    QJsonArray joins;
    for (const TSeasonJoin &join : season.joins)
        joins.append(QJsonObject{{QStringLiteral("from"), driverObject(join.from)},
                                 {QStringLiteral("to"), driverObject(join.to)}});
    return compact({{QStringLiteral("name"), season.name},
                    {QStringLiteral("bestOf"), season.bestOf},
                    {QStringLiteral("joins"), joins}});
}

TSeason seasonFromJson(const QString &json)
{
    const QJsonObject object = objectOf(json);
    TSeason season;
    season.name = object.value(QStringLiteral("name")).toString();
    season.bestOf = object.value(QStringLiteral("bestOf")).toInt();
    for (const QJsonValue &value : object.value(QStringLiteral("joins")).toArray()) {
        const QJsonObject join = value.toObject();
        season.joins.append({driverOf(join.value(QStringLiteral("from")).toObject()),
                             driverOf(join.value(QStringLiteral("to")).toObject())});
    }
    return season;
}

} // namespace PlanDocuments

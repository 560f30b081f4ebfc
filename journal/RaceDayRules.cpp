#include "RaceDayRules.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace RaceDayRules {

namespace {
constexpr QLatin1StringView kMaxHeatSize{"maxHeatSize"};
constexpr QLatin1StringView kRanking{"ranking"};
constexpr QLatin1StringView kCombine{"combine"};
constexpr QLatin1StringView kFinalSize{"finalSize"};
constexpr QLatin1StringView kBumpUp{"bumpUp"};
constexpr QLatin1StringView kPerPlace{"perPlace"};
constexpr QLatin1StringView kFastestLap{"fastestLap"};
constexpr QLatin1StringView kBestQualifier{"bestQualifier"};
constexpr QLatin1StringView kDns{"dns"};
constexpr QLatin1StringView kDnf{"dnf"};
constexpr QLatin1StringView kDsq{"dsq"};

// Names, not numbers, so the file reads on its own.
const QString kLapsAndTime = QStringLiteral("lapsAndTime");
const QString kBestLap = QStringLiteral("bestLap");
const QString kBestResult = QStringLiteral("bestResult");
const QString kSumOfBestTwo = QStringLiteral("sumOfBestTwo");
const QString kQualifying = QStringLiteral("qualifying");
const QString kFinal = QStringLiteral("final");

QString compact(const QJsonDocument &document)
{
    return QString::fromUtf8(document.toJson(QJsonDocument::Compact));
}

QJsonObject objectOf(const QString &json)
{
    return QJsonDocument::fromJson(json.toUtf8()).object();
}

int intOr(const QJsonObject &object, QLatin1StringView key, int fallback)
{
    const QJsonValue value = object.value(key);
    return value.isDouble() ? value.toInt(fallback) : fallback;
}
} // namespace

QString toJson(const TClassRules &rules)
{
    return compact(QJsonDocument(QJsonObject{
        {kMaxHeatSize, rules.maxHeatSize},
        {kRanking, rules.ranking == TQualifyRanking::BestLap ? kBestLap : kLapsAndTime},
        {kCombine, rules.combine == TQualifyCombine::SumOfBestTwo ? kSumOfBestTwo : kBestResult},
        {kFinalSize, rules.finalSize},
        {kBumpUp, rules.bumpUp}}));
}

QString toJson(const TPointsRules &points)
{
    QJsonArray perPlace;
    for (int value : points.perPlace)
        perPlace.append(value);
    return compact(QJsonDocument(QJsonObject{{kPerPlace, perPlace},
                                             {kFastestLap, points.fastestLap},
                                             {kBestQualifier, points.bestQualifier},
                                             {kDns, points.dns},
                                             {kDnf, points.dnf},
                                             {kDsq, points.dsq}}));
}

TClassRules classRulesFromJson(const QString &json)
{
    const QJsonObject object = objectOf(json);
    TClassRules rules;
    rules.maxHeatSize = intOr(object, kMaxHeatSize, rules.maxHeatSize);
    rules.ranking = object.value(kRanking).toString() == kBestLap ? TQualifyRanking::BestLap
                                                                  : TQualifyRanking::LapsAndTime;
    rules.combine = object.value(kCombine).toString() == kSumOfBestTwo
                        ? TQualifyCombine::SumOfBestTwo
                        : TQualifyCombine::BestResult;
    rules.finalSize = intOr(object, kFinalSize, rules.finalSize);
    rules.bumpUp = intOr(object, kBumpUp, rules.bumpUp);
    return rules;
}

TPointsRules pointsRulesFromJson(const QString &json)
{
    const QJsonObject object = objectOf(json);
    TPointsRules points;
    if (const QJsonValue perPlace = object.value(kPerPlace); perPlace.isArray()) {
        points.perPlace.clear();
        for (const QJsonValue &value : perPlace.toArray())
            points.perPlace.append(value.toInt());
    }
    points.fastestLap = intOr(object, kFastestLap, points.fastestLap);
    points.bestQualifier = intOr(object, kBestQualifier, points.bestQualifier);
    points.dns = intOr(object, kDns, points.dns);
    points.dnf = intOr(object, kDnf, points.dnf);
    points.dsq = intOr(object, kDsq, points.dsq);
    return points;
}

QString kindName(TRoundKind kind)
{
    return kind == TRoundKind::Final ? kFinal : kQualifying;
}

TRoundKind kindFromName(const QString &name)
{
    return name == kFinal ? TRoundKind::Final : TRoundKind::Qualifying;
}

QString idsToJson(const QList<int> &ids)
{
    QJsonArray array;
    for (int id : ids)
        array.append(id);
    return compact(QJsonDocument(array));
}

QList<int> idsFromJson(const QString &json)
{
    QList<int> ids;
    for (const QJsonValue &value : QJsonDocument::fromJson(json.toUtf8()).array())
        ids.append(value.toInt());
    return ids;
}

} // namespace RaceDayRules

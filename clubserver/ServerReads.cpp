#include "ServerReads.h"

#include "ClubServerConfig.h"
#include "PlanDocuments.h"
#include "ServerMessages.h"

#include <QJsonDocument>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace ServerReads {

namespace {
const QString kRemoved = QStringLiteral("removed");

bool run(QSqlQuery &query, QString *error)
{
    query.setForwardOnly(true);
    if (query.exec())
        return true;
    if (error)
        *error = ServerMessages::reason(query.lastError());
    return false;
}

QString placeholders(qsizetype count)
{
    QStringList marks;
    for (qsizetype i = 0; i < count; ++i)
        marks << QStringLiteral("?");
    return marks.join(QStringLiteral(", "));
}
} // namespace

QString stationName(const QString &label, const QString &login)
{
    // Labels registered before the server refused brackets lose theirs here.
    const QString clean = TClubServerConfig::cleanLabel(label);
    return clean.isEmpty() ? login : QStringLiteral("%1 (%2)").arg(clean, login);
}

QList<TServerRace> races(QSqlDatabase &db, QString *error)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT r.station, s.label, s.login, %1 FROM "
                                 "talvenbahn.latest_races r JOIN talvenbahn.stations s ON "
                                 "s.id = r.station WHERE r.state <> ? "
                                 "ORDER BY r.started_ms, r.station, r.race_id")
                      .arg(TRaceSummary::columns(QStringLiteral("r."), QStringLiteral("race_id"))));
    query.addBindValue(kRemoved);
    if (!run(query, error))
        return {};
    QList<TServerRace> found;
    while (query.next()) {
        TServerRace race;
        race.station = query.value(0).toString();
        race.stationLabel = stationName(query.value(1).toString(), query.value(2).toString());
        race.summary = TRaceSummary::fromRow(query, 3);
        found.append(std::move(race));
    }
    return found;
}

QList<TRaceEvent> events(QSqlDatabase &db, const QString &station, qint64 raceId, int afterSeq,
                         QString *error)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT seq, kind, tick, wall_ms, car, payload FROM "
                                 "talvenbahn.events WHERE station = ? AND race_id = ? AND seq > ? "
                                 "ORDER BY seq"));
    query.addBindValue(station);
    query.addBindValue(raceId);
    query.addBindValue(afterSeq);
    if (!run(query, error))
        return {};
    QList<TRaceEvent> found;
    while (query.next()) {
        TRaceEvent event;
        event.seq = query.value(0).toInt();
        event.kind = TRaceEvent::kindFromName(query.value(1).toString());
        event.tick = quint32(query.value(2).toLongLong());
        event.wallMs = query.value(3).toLongLong();
        event.car = query.value(4).toInt();
        if (const QVariant payload = query.value(5); !payload.isNull())
            event.payload = QJsonDocument::fromJson(payload.toString().toUtf8()).object();
        found.append(std::move(event));
    }
    return found;
}

QList<TServerDay> days(QSqlDatabase &db, QString *error)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT d.station, s.label, s.login, d.doc_id, d.origin, "
                                 "d.body FROM talvenbahn.latest_documents d JOIN "
                                 "talvenbahn.stations s ON s.id = d.station "
                                 "WHERE d.kind = 'day' AND NOT d.removed"));
    if (!run(query, error))
        return {};
    QList<TServerDay> found;
    while (query.next()) {
        // A plan that is no JSON object was not sent by a station: it is left out.
        const QString body = query.value(5).toString();
        if (!QJsonDocument::fromJson(body.toUtf8()).isObject())
            continue;
        TServerDay day;
        day.station = query.value(0).toString();
        day.stationLabel = stationName(query.value(1).toString(), query.value(2).toString());
        day.docId = query.value(3).toLongLong();
        day.origin = query.value(4).toString();
        day.day = PlanDocuments::dayFromJson(body, day.origin, &day.seasonOrigin);
        found.append(std::move(day));
    }
    std::stable_sort(found.begin(), found.end(), [](const TServerDay &a, const TServerDay &b) {
        return a.day.date > b.day.date;
    });
    return found;
}

QList<TServerHeatRace> heatRaces(QSqlDatabase &db, const QStringList &dayOrigins,
                                 const QString &ownStation, QString *error)
{
    if (dayOrigins.isEmpty())
        return {};
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT h.station, h.race_id, h.day_origin, h.heat_id, "
                                 "h.started_ms, s.label, r.state, s.login FROM "
                                 "talvenbahn.heat_races h JOIN "
                                 "talvenbahn.latest_races r ON r.station = h.station AND "
                                 "r.race_id = h.race_id JOIN talvenbahn.stations s ON "
                                 "s.id = h.station WHERE r.state <> ? AND h.day_origin IN "
                                 "(%1) ORDER BY h.started_ms, h.station, h.race_id")
                      .arg(placeholders(dayOrigins.size())));
    query.addBindValue(kRemoved);
    for (const QString &origin : dayOrigins)
        query.addBindValue(origin);
    if (!run(query, error))
        return {};
    QList<TServerHeatRace> found;
    while (query.next()) {
        TServerHeatRace race;
        race.station = query.value(0).toString();
        race.raceId = query.value(1).toLongLong();
        race.dayOrigin = query.value(2).toString();
        race.heatId = query.value(3).toInt();
        race.startedMs = query.value(4).toLongLong();
        race.stationLabel = stationName(query.value(5).toString(), query.value(7).toString());
        race.running =
            TRaceSummary::stateFromName(query.value(6).toString()) == TRaceSummary::State::Running;
        found.append(std::move(race));
    }
    for (TServerHeatRace &race : found) {
        if (race.station == ownStation)
            continue;
        QString failed;
        race.events = events(db, race.station, race.raceId, 0, &failed);
        if (!failed.isEmpty()) {
            if (error)
                *error = failed;
            return {};
        }
    }
    return found;
}

} // namespace ServerReads

#include "JournalReader.h"

#include "JournalMessages.h"

#include <QJsonDocument>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

std::optional<TRaceSummary> TJournalReader::unfinishedRace()
{
    const QList<TRaceSummary> found =
        selectRaces(QStringLiteral("WHERE state = 'running' ORDER BY id DESC LIMIT 1"), {});
    if (found.isEmpty())
        return std::nullopt;
    return found.first();
}

QList<TRaceEvent> TJournalReader::events(qint64 raceId)
{
    m_error.clear();
    QList<TRaceEvent> events;
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT seq, kind, tick, wall_ms, car, payload FROM events "
                                 "WHERE race_id = ? ORDER BY seq"));
    query.addBindValue(raceId);
    if (!query.exec()) {
        noteError(query);
        return {};
    }
    while (query.next()) {
        TRaceEvent event;
        event.seq = query.value(0).toInt();
        event.kind = TRaceEvent::kindFromName(query.value(1).toString());
        event.tick = quint32(query.value(2).toLongLong());
        event.wallMs = query.value(3).toLongLong();
        event.car = query.value(4).toInt();
        const QVariant payload = query.value(5);
        if (!payload.isNull())
            event.payload = QJsonDocument::fromJson(payload.toString().toUtf8()).object();
        events.append(std::move(event));
    }
    if (query.lastError().isValid()) {
        noteError(query);
        return {};
    }
    return events;
}

QList<TRaceSummary> TJournalReader::races()
{
    return selectRaces(QStringLiteral("ORDER BY id"), {});
}

std::optional<TRaceSummary> TJournalReader::race(qint64 raceId)
{
    const QList<TRaceSummary> found = selectRaces(QStringLiteral("WHERE id = ?"), {raceId});
    if (found.isEmpty())
        return std::nullopt;
    return found.first();
}

qint64 TJournalReader::lastRaceId()
{
    m_error.clear();
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("SELECT COALESCE(MAX(id), 0) FROM races")) || !query.next()) {
        noteError(query);
        return 0;
    }
    return query.value(0).toLongLong();
}

int TJournalReader::lastSeq(qint64 raceId)
{
    m_error.clear();
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("SELECT COALESCE(MAX(seq), 0) FROM events WHERE race_id = ?"));
    query.addBindValue(raceId);
    if (!query.exec() || !query.next()) {
        noteError(query);
        return 0;
    }
    return query.value(0).toInt();
}

QList<TRaceSummary> TJournalReader::selectRaces(const QString &condition,
                                                const QVariantList &values)
{
    m_error.clear();
    QList<TRaceSummary> races;
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT id, started_ms, title, session, cars, laps, state, "
                                 "winner, boot_id FROM races ") +
                  condition);
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec()) {
        noteError(query);
        return {};
    }
    while (query.next()) {
        TRaceSummary race;
        race.id = query.value(0).toLongLong();
        race.startedWallMs = query.value(1).toLongLong();
        race.title = query.value(2).toString();
        race.session = query.value(3).toString();
        race.cars = query.value(4).toInt();
        race.laps = query.value(5).toInt();
        race.state = TRaceSummary::stateFromName(query.value(6).toString());
        race.winner = query.value(7).toString();
        race.bootId = query.value(8).toString();
        races.append(std::move(race));
    }
    return races;
}

void TJournalReader::noteError(const QSqlQuery &query)
{
    m_error = JournalMessages::reason(query.lastError());
}

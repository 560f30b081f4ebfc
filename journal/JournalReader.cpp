#include "JournalReader.h"

#include "JournalMessages.h"

#include <QJsonDocument>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

// A press's payload as the writer stores it, {"ms":17804}: read without the JSON parser, which
// would take most of the time of reading a race. Anything else (a locked press, another kind,
// a number a parse would read otherwise) goes through the parser.
std::optional<QJsonObject> plainPressPayload(QByteArrayView text)
{
    static const QString key = QStringLiteral("ms");
    constexpr QByteArrayView prefix = "{\"ms\":";
    constexpr qsizetype kMaxDigits = 15; // exact in a double, as the parser would keep it
    if (!text.startsWith(prefix) || !text.endsWith('}'))
        return std::nullopt;
    const QByteArrayView digits = text.sliced(prefix.size(), text.size() - prefix.size() - 1);
    if (digits.isEmpty() || digits.size() > kMaxDigits || (digits.size() > 1 && digits[0] == '0'))
        return std::nullopt;
    qint64 value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    // A copy of one made before and its value set: cheaper than building one from a list.
    static const QJsonObject plain{{key, qint64(0)}};
    QJsonObject payload = plain;
    payload[key] = value;
    return payload;
}

// The payload's UTF-8 bytes as stored.
QJsonObject payloadOf(const QByteArray &text)
{
    if (std::optional<QJsonObject> press = plainPressPayload(text))
        return *std::move(press);
    return QJsonDocument::fromJson(text).object();
}

} // namespace

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
    // Most events are presses: their kind comes as NULL, read without making a text of it, and
    // the payload as its stored bytes, without a turn through UTF-16 before the parse.
    static const QString select =
        QStringLiteral("SELECT seq, NULLIF(kind, '%1'), tick, wall_ms, car, "
                       "CAST(payload AS BLOB) FROM events WHERE race_id = ? ORDER BY seq")
            .arg(TRaceEvent::kindName(TRaceEvent::Kind::Press));
    query.prepare(select);
    query.addBindValue(raceId);
    if (!query.exec()) {
        noteError(query);
        return {};
    }
    while (query.next()) {
        TRaceEvent event;
        event.seq = query.value(0).toInt();
        const QVariant kind = query.value(1);
        event.kind =
            kind.isNull() ? TRaceEvent::Kind::Press : TRaceEvent::kindFromName(kind.toString());
        event.tick = quint32(query.value(2).toLongLong());
        event.wallMs = query.value(3).toLongLong();
        event.car = query.value(4).toInt();
        const QVariant payload = query.value(5);
        if (!payload.isNull())
            event.payload = payloadOf(payload.toByteArray());
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
    // A removed race's id counts too: a club server may still hold that race.
    if (!query.exec(QStringLiteral("SELECT MAX((SELECT COALESCE(MAX(id), 0) FROM races),"
                                   " COALESCE((SELECT CAST(value AS INTEGER) FROM journal_meta"
                                   " WHERE key = 'last_race_id'), 0))")) ||
        !query.next()) {
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
    query.prepare(QStringLiteral("SELECT %1 FROM races ").arg(TRaceSummary::columns()) + condition);
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec()) {
        noteError(query);
        return {};
    }
    while (query.next()) {
        TRaceSummary race = TRaceSummary::fromRow(query);
        races.append(std::move(race));
    }
    return races;
}

void TJournalReader::noteError(const QSqlQuery &query)
{
    m_error = JournalMessages::reason(query.lastError());
}

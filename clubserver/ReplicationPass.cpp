#include "ReplicationPass.h"

#include "PlanDocuments.h"
#include "RaceDayStore.h"
#include "ServerConnection.h"
#include "ServerMessages.h"
#include "ServerSchema.h"
#include "StationAccess.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace {
// Rows per INSERT: large enough that a catch-up of thousands of events takes few round trips.
constexpr int kBatch = 500;
constexpr int kEventColumns = 8;

QString nextLocalName()
{
    static QAtomicInt counter;
    return QStringLiteral("talvenbahn-replica-%1").arg(counter.fetchAndAddRelaxed(1) + 1);
}

QString documentKey(const QString &kind, qint64 id)
{
    return kind + QLatin1Char('/') + QString::number(id);
}

QString eventInsert(int rows)
{
    QString sql = QStringLiteral("INSERT INTO talvenbahn.events (station, race_id, seq, kind, "
                                 "tick, wall_ms, car, payload) VALUES ");
    const QString row = QStringLiteral("(?, ?, ?, ?, ?, ?, ?, ?)");
    for (int i = 0; i < rows; ++i)
        sql += (i ? QStringLiteral(", ") : QString()) + row;
    return sql + QStringLiteral(" ON CONFLICT DO NOTHING");
}
} // namespace

TReplicationPass::TReplicationPass(const QString &journalPath, const TClubServerConfig &config,
                                   const QString &password, int connectTimeoutS)
    : m_journalPath(journalPath), m_config(config), m_password(password),
      m_connectTimeoutS(connectTimeoutS), m_localName(nextLocalName())
{}

TReplicationPass::~TReplicationPass()
{
    m_plans.reset();
    m_server.reset();
    if (m_local.isValid()) {
        m_local.close();
        m_local = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_localName);
    }
}

bool TReplicationPass::isConnected() const
{
    return m_server && m_server->isOpen();
}

void TReplicationPass::disconnect()
{
    m_server.reset();
    m_serverKnown = false;
}

TReplicationPass::Outcome TReplicationPass::connect()
{
    if (isConnected())
        return Outcome::Done;
    m_server = std::make_unique<TServerConnection>(m_config, m_password, m_connectTimeoutS);
    if (!m_server->open()) {
        m_reason = m_server->errorString();
        const bool refused = m_server->wasRefused();
        m_server.reset();
        return refused ? Outcome::Refused : Outcome::Lost;
    }
    const int version = m_server->schemaVersion();
    if (version != ServerSchema::kVersion) {
        m_reason = version < 0 ? m_server->errorString()
                               : ServerMessages::versionProblem(version, ServerSchema::kVersion);
        m_server.reset();
        return version < 0 ? Outcome::Lost : Outcome::Refused;
    }
    m_serverKnown = false;
    return Outcome::Done;
}

bool TReplicationPass::openJournal()
{
    if (m_local.isOpen())
        return true;
    // Never make the file: the journal's writer does, with its schema.
    if (!QFileInfo(m_journalPath).isFile())
        return false;
    if (!m_local.isValid()) {
        m_local = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_localName);
        m_local.setDatabaseName(m_journalPath);
        m_local.setConnectOptions(
            QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=2000"));
    }
    if (!m_local.open())
        return false;
    m_plans = std::make_unique<TRaceDayStore>(m_journalPath);
    return true;
}

bool TReplicationPass::readStation()
{
    QSqlQuery query(m_local);
    if (!query.exec(QStringLiteral("SELECT value FROM journal_meta WHERE key = 'station'")) ||
        !query.next())
        return false;
    const QString station = query.value(0).toString();
    if (station != m_station) {
        // A journal started afresh is a station of its own.
        m_station = station;
        m_serverKnown = false;
        m_localMarks.clear();
    }
    return !m_station.isEmpty();
}

TReplicationPass::Outcome TReplicationPass::failed(const QSqlQuery &query)
{
    const QSqlError error = query.lastError();
    m_reason = ServerMessages::reason(error);
    // What the server holds is asked again before the next round.
    m_serverKnown = false;
    if (ServerMessages::isConnectionLost(error) || !m_server->db().isOpen()) {
        disconnect();
        return Outcome::Lost;
    }
    return Outcome::Refused;
}

TReplicationPass::Outcome TReplicationPass::failedLocal(const QSqlQuery &query)
{
    m_reason =
        QStringLiteral("Das Journal lässt sich nicht lesen: %1").arg(query.lastError().text());
    m_local.close();
    return Outcome::NoJournal;
}

TReplicationPass::Outcome TReplicationPass::loadServer()
{
    QSqlDatabase &db = m_server->db();
    QSqlQuery query(db);
    if (!StationAccess::registerStation(query, m_station, m_config.stationLabel()))
        return failed(query);

    m_serverMarks.clear();
    query.prepare(QStringLiteral("SELECT race_id, MAX(seq), COUNT(*) FROM talvenbahn.events "
                                 "WHERE station = ? GROUP BY race_id"));
    query.addBindValue(m_station);
    if (!query.exec())
        return failed(query);
    while (query.next())
        m_serverMarks.insert(query.value(0).toLongLong(),
                             {query.value(1).toInt(), query.value(2).toLongLong()});

    m_serverRaces.clear();
    query.prepare(QStringLiteral("SELECT %1, revision FROM talvenbahn.latest_races "
                                 "WHERE station = ?")
                      .arg(TRaceSummary::columns(QString(), QStringLiteral("race_id"))));
    query.addBindValue(m_station);
    if (!query.exec())
        return failed(query);
    while (query.next()) {
        ServerRace race;
        race.summary = TRaceSummary::fromRow(query);
        race.revision = query.value(9).toInt();
        if (query.value(6).toString() == QLatin1String("removed"))
            race.summary.id = 0;
        m_serverRaces.insert(query.value(0).toLongLong(), race);
    }

    m_serverDocuments.clear();
    query.prepare(QStringLiteral("SELECT kind, doc_id, revision, body, removed "
                                 "FROM talvenbahn.latest_documents WHERE station = ?"));
    query.addBindValue(m_station);
    if (!query.exec())
        return failed(query);
    while (query.next())
        m_serverDocuments.insert(
            documentKey(query.value(0).toString(), query.value(1).toLongLong()),
            {query.value(2).toInt(), query.value(3).toString(), query.value(4).toBool()});
    m_serverKnown = true;
    return Outcome::Done;
}

bool TReplicationPass::localMarks(const QSet<qint64> *only, QHash<qint64, Mark> *marks)
{
    QSqlQuery query(m_local);
    if (!only) {
        if (!query.exec(
                QStringLiteral("SELECT race_id, MAX(seq), COUNT(*) FROM events GROUP BY race_id")))
            return false;
        marks->clear();
        while (query.next())
            marks->insert(query.value(0).toLongLong(),
                          {query.value(1).toInt(), query.value(2).toLongLong()});
        return true;
    }
    query.prepare(QStringLiteral("SELECT MAX(seq), COUNT(*) FROM events WHERE race_id = ?"));
    for (qint64 raceId : *only) {
        query.bindValue(0, raceId);
        if (!query.exec() || !query.next())
            return false;
        if (query.value(1).toLongLong() == 0)
            marks->remove(raceId);
        else
            marks->insert(raceId, {query.value(0).toInt(), query.value(1).toLongLong()});
    }
    return true;
}

TReplicationPass::Outcome TReplicationPass::run(const Work &work)
{
    m_reason.clear();
    if (!openJournal() || !readStation())
        return Outcome::NoJournal;
    if (!isConnected()) {
        // So the window can say how much waits while the server cannot be reached.
        localMarks(nullptr, &m_localMarks);
        if (const Outcome outcome = connect(); outcome != Outcome::Done)
            return outcome;
    }
    const bool everything = work.everything || !m_serverKnown;
    if (!m_serverKnown) {
        if (const Outcome outcome = loadServer(); outcome != Outcome::Done)
            return outcome;
    }

    // One read transaction, so the races and their events are of one moment.
    QSqlQuery begin(m_local);
    if (!begin.exec(QStringLiteral("BEGIN")))
        return failedLocal(begin);
    Outcome outcome = sendRaces(everything ? nullptr : &work.races);
    if (outcome == Outcome::Done) {
        QSqlQuery marks(m_local);
        if (!localMarks(everything ? nullptr : &work.races, &m_localMarks))
            outcome = failedLocal(marks);
    }
    if (outcome == Outcome::Done) {
        // Oldest race first, so a reader sees races complete in the order they were run.
        QList<qint64> ids = everything ? m_localMarks.keys() : work.races.values();
        std::sort(ids.begin(), ids.end());
        for (qint64 raceId : ids) {
            const auto local = m_localMarks.constFind(raceId);
            if (local == m_localMarks.cend())
                continue;
            if (outcome = sendEvents(raceId, *local); outcome != Outcome::Done)
                break;
        }
    }
    if (outcome == Outcome::Done && (everything || work.plans))
        outcome = sendPlans();
    QSqlQuery(m_local).exec(QStringLiteral("COMMIT"));
    return outcome;
}

TReplicationPass::Outcome TReplicationPass::sendRaces(const QSet<qint64> *only)
{
    // After a press only that race's row is read, however long the archive.
    QString where;
    if (only) {
        QStringList ids;
        for (qint64 id : *only)
            ids << QString::number(id);
        where = QStringLiteral(" WHERE id IN (%1)").arg(ids.join(QLatin1Char(',')));
    }
    QSqlQuery local(m_local);
    if (!local.exec(QStringLiteral("SELECT %1 FROM races%2 ORDER BY id")
                        .arg(TRaceSummary::columns(), where)))
        return failedLocal(local);
    QSet<qint64> seen;
    QSqlQuery push(m_server->db());
    const QString insert = QStringLiteral(
        "INSERT INTO talvenbahn.races (station, race_id, revision, started_ms, title, session, "
        "cars, laps, state, winner, boot_id) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) "
        "ON CONFLICT DO NOTHING");
    const auto send = [&](qint64 id, const TRaceSummary &race, const QString &state) {
        ServerRace &known = m_serverRaces[id];
        push.prepare(insert);
        const QVariantList values{m_station,  id,           known.revision + 1, race.startedWallMs,
                                  race.title, race.session, race.cars,          race.laps,
                                  state,      race.winner,  race.bootId};
        for (const QVariant &value : values)
            push.addBindValue(value);
        if (!push.exec())
            return false;
        known.revision += 1;
        known.summary = race;
        return true;
    };
    while (local.next()) {
        const TRaceSummary race = TRaceSummary::fromRow(local);
        seen.insert(race.id);
        const auto known = m_serverRaces.constFind(race.id);
        if (known != m_serverRaces.cend() && known->summary == race)
            continue;
        if (!send(race.id, race, TRaceSummary::stateName(race.state)))
            return failed(push);
    }
    if (only)
        return Outcome::Done;
    // A race removed here stays on the server, marked so.
    for (auto it = m_serverRaces.begin(); it != m_serverRaces.end(); ++it) {
        if (seen.contains(it.key()) || it->summary.id == 0)
            continue;
        TRaceSummary gone = it->summary;
        gone.id = 0;
        if (!send(it.key(), gone, QStringLiteral("removed")))
            return failed(push);
    }
    return Outcome::Done;
}

TReplicationPass::Outcome TReplicationPass::sendEvents(qint64 raceId, const Mark &local)
{
    Mark &server = m_serverMarks[raceId];
    if (server.maxSeq >= local.maxSeq && server.count >= local.count)
        return Outcome::Done;
    // The server lacks events below its highest (it was restored from an older state): send the
    // race again; what it has is left alone.
    int after = server.maxSeq;
    if (server.count > 0) {
        QSqlQuery below(m_local);
        below.prepare(QStringLiteral("SELECT COUNT(*) FROM events WHERE race_id = ? AND seq <= ?"));
        below.addBindValue(raceId);
        below.addBindValue(server.maxSeq);
        if (!below.exec() || !below.next())
            return failedLocal(below);
        if (below.value(0).toLongLong() > server.count)
            after = 0;
    }
    QSqlQuery read(m_local);
    read.prepare(QStringLiteral("SELECT seq, kind, tick, wall_ms, car, payload FROM events "
                                "WHERE race_id = ? AND seq > ? ORDER BY seq LIMIT %1")
                     .arg(kBatch));
    QSqlQuery push(m_server->db());
    int preparedRows = -1;
    for (;;) {
        read.bindValue(0, raceId);
        read.bindValue(1, after);
        if (!read.exec())
            return failedLocal(read);
        QVariantList values;
        values.reserve(kBatch * kEventColumns);
        int rows = 0;
        while (read.next()) {
            values << m_station << raceId << read.value(0) << read.value(1) << read.value(2)
                   << read.value(3) << read.value(4) << read.value(5);
            after = read.value(0).toInt();
            ++rows;
        }
        if (rows == 0)
            break;
        if (rows != preparedRows) {
            push.prepare(eventInsert(rows));
            preparedRows = rows;
        }
        for (int i = 0; i < values.size(); ++i)
            push.bindValue(i, values.at(i));
        if (!push.exec())
            return failed(push);
        server.count += push.numRowsAffected();
        server.maxSeq = std::max(server.maxSeq, after);
        if (rows < kBatch)
            break;
    }
    return Outcome::Done;
}

TReplicationPass::Outcome TReplicationPass::sendDocument(const QString &kind, qint64 id,
                                                         const QString &origin, const QString &body,
                                                         bool removed)
{
    ServerDocument &known = m_serverDocuments[documentKey(kind, id)];
    QSqlQuery push(m_server->db());
    push.prepare(QStringLiteral("INSERT INTO talvenbahn.documents (station, kind, doc_id, "
                                "revision, origin, body, removed) VALUES (?, ?, ?, ?, ?, ?, ?) "
                                "ON CONFLICT DO NOTHING"));
    for (const QVariant &value :
         QVariantList{m_station, kind, id, known.revision + 1, origin, body, removed})
        push.addBindValue(value);
    if (!push.exec())
        return failed(push);
    known = {known.revision + 1, body, removed};
    return Outcome::Done;
}

TReplicationPass::Outcome TReplicationPass::sendPlans()
{
    const QString day = QStringLiteral("day");
    const QString season = QStringLiteral("season");
    QSet<QString> present;
    QHash<qint64, QString> seasonOrigins;
    const QList<TSeason> seasons = m_plans->seasons();
    if (!m_plans->errorString().isEmpty()) {
        m_reason = m_plans->errorString();
        return Outcome::NoJournal;
    }
    for (const TSeason &s : seasons) {
        const QString origin = PlanDocuments::originOf(m_station, s.id);
        seasonOrigins.insert(s.id, origin);
        const QString body = PlanDocuments::seasonToJson(s);
        present.insert(documentKey(season, s.id));
        const ServerDocument known = m_serverDocuments.value(documentKey(season, s.id));
        if (known.revision > 0 && !known.removed && known.body == body)
            continue;
        if (const Outcome outcome = sendDocument(season, s.id, origin, body, false);
            outcome != Outcome::Done)
            return outcome;
    }
    const QList<TRaceDay> days = m_plans->days();
    if (!m_plans->errorString().isEmpty()) {
        m_reason = m_plans->errorString();
        return Outcome::NoJournal;
    }
    for (const TRaceDay &d : days) {
        const QString body = PlanDocuments::dayToJson(d, seasonOrigins.value(d.seasonId));
        present.insert(documentKey(day, d.id));
        const ServerDocument known = m_serverDocuments.value(documentKey(day, d.id));
        if (known.revision > 0 && !known.removed && known.body == body)
            continue;
        if (const Outcome outcome =
                sendDocument(day, d.id, PlanDocuments::dayOrigin(d, m_station), body, false);
            outcome != Outcome::Done)
            return outcome;
    }
    // A plan removed here is marked removed on the server; its races stay.
    const QList<QString> keys = m_serverDocuments.keys();
    for (const QString &key : keys) {
        const ServerDocument known = m_serverDocuments.value(key);
        if (present.contains(key) || known.removed)
            continue;
        const QString kind = key.section(QLatin1Char('/'), 0, 0);
        const qint64 id = key.section(QLatin1Char('/'), 1).toLongLong();
        if (const Outcome outcome =
                sendDocument(kind, id, PlanDocuments::originOf(m_station, id), known.body, true);
            outcome != Outcome::Done)
            return outcome;
    }
    return Outcome::Done;
}

qint64 TReplicationPass::waiting() const
{
    qint64 waiting = 0;
    for (auto it = m_localMarks.cbegin(); it != m_localMarks.cend(); ++it) {
        const Mark server = m_serverMarks.value(it.key());
        waiting += std::max<qint64>(0, it->count - server.count);
    }
    return waiting;
}

#include "JournalWriter.h"

#include "JournalClaim.h"
#include "JournalMessages.h"
#include "RaceDayOutcome.h"
#include "SqlConnection.h"

#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QSqlQuery>
#include <QVariant>

#include <memory>

namespace {
// Another connection writing (an archive deletion, a checkpoint) is waited for this long.
constexpr int kWriteBusyWaitMs = 5000;

enum class Outcome { Stored, Retry, Refused };

// Qt binds a null string as NULL; the text columns want an empty text instead.
QVariant text(const QString &value)
{
    return value.isNull() ? QVariant(QStringLiteral("")) : QVariant(value);
}
} // namespace

// The writer thread's connection and its prepared statements; made and dropped on that thread.
class TJournalWriter::Session
{
public:
    explicit Session(const QString &path) : m_path(path) {}
    ~Session() { close(); }

    // *commitFailed tells, across attempts, whether a COMMIT of this change failed before: such
    // a failure may come after the change reached the disk.
    Outcome commit(const TJournalCommand &command, bool *commitFailed, QSqlError *error)
    {
        if (!open(error))
            return Outcome::Retry;
        if (!exec(m_begin, error))
            return failed();
        if (!apply(command, error)) {
            rollback();
            // A change that breaks a key can never be stored, unless it is there already
            // from an attempt whose COMMIT reported a failure.
            if (JournalMessages::sqliteCode(*error) == JournalMessages::kConstraint)
                return *commitFailed ? Outcome::Stored : Outcome::Refused;
            return failed();
        }
        if (!exec(m_commit, error)) {
            *commitFailed = true;
            rollback();
            return failed();
        }
        return Outcome::Stored;
    }

    // Whether the last START stored marked other races interrupted.
    bool interruptedOthers() const { return m_interruptedOthers; }

private:
    bool open(QSqlError *error)
    {
        if (m_connection)
            return true;
        m_connection = std::make_unique<TSqlConnection>(m_path, kWriteBusyWaitMs);
        QSqlDatabase &db = m_connection->db();
        // FULL syncs the log at every commit: a stored event survives a power cut.
        bool ok = m_connection->isOpen() &&
                  m_connection->exec(QStringLiteral("PRAGMA synchronous = FULL"), error);
        if (!m_connection->isOpen())
            *error = db.lastError();
        const auto prepare = [&](std::unique_ptr<QSqlQuery> &query, const QString &statement) {
            query = std::make_unique<QSqlQuery>(db);
            if (ok && !query->prepare(statement)) {
                *error = query->lastError();
                ok = false;
            }
        };
        prepare(m_begin, QStringLiteral("BEGIN IMMEDIATE"));
        prepare(m_commit, QStringLiteral("COMMIT"));
        prepare(m_rollbackQuery, QStringLiteral("ROLLBACK"));
        prepare(m_insertEvent,
                QStringLiteral("INSERT INTO events (race_id, seq, kind, tick, "
                               "wall_ms, car, payload) VALUES (?, ?, ?, ?, ?, ?, ?)"));
        prepare(m_insertRace, QStringLiteral("INSERT INTO races (id, started_ms, title, session, "
                                             "cars, laps, state, winner, boot_id) "
                                             "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        prepare(m_interruptOthers, QStringLiteral("UPDATE races SET state = 'interrupted' "
                                                  "WHERE state = 'running' AND id <> ?"));
        // Stop and end close a race, but an end is not taken back by a later stop.
        prepare(m_stop, QStringLiteral("UPDATE races SET state = 'stopped' "
                                       "WHERE id = ? AND state = 'running'"));
        prepare(m_end, QStringLiteral("UPDATE races SET state = 'finished' "
                                      "WHERE id = ? AND state IN ('running', 'stopped')"));
        // A NULL winner keeps the one stored.
        prepare(m_resume, QStringLiteral("UPDATE races SET boot_id = ? WHERE id = ?"));
        prepare(m_setOutcome, QStringLiteral("UPDATE races SET state = ?, "
                                             "winner = COALESCE(?, winner) WHERE id = ?"));
        prepare(m_deleteEvents, QStringLiteral("DELETE FROM events WHERE race_id = ?"));
        prepare(m_deleteRace, QStringLiteral("DELETE FROM races WHERE id = ?"));
        // OR REPLACE: a link can never keep a START from being stored.
        prepare(m_noteRaceId, QStringLiteral("UPDATE journal_meta SET value = "
                                             "MAX(CAST(value AS INTEGER), ?) "
                                             "WHERE key = 'last_race_id'"));
        prepare(m_linkHeat, QStringLiteral("INSERT OR REPLACE INTO race_heats "
                                           "(race_id, day_id, heat_id) VALUES (?, ?, ?)"));
        prepare(m_unlinkHeat, QStringLiteral("DELETE FROM race_heats WHERE race_id = ?"));
        if (!ok)
            close();
        return ok;
    }

    void close()
    {
        for (auto *query :
             {&m_begin, &m_commit, &m_rollbackQuery, &m_insertEvent, &m_insertRace,
              &m_interruptOthers, &m_stop, &m_end, &m_resume, &m_setOutcome, &m_deleteEvents,
              &m_deleteRace, &m_linkHeat, &m_unlinkHeat, &m_noteRaceId})
            query->reset();
        m_connection.reset();
    }

    // Undoes whatever the transaction holds; a failed rollback is of no further interest, the
    // connection is made afresh anyway.
    void rollback()
    {
        if (m_rollbackQuery)
            m_rollbackQuery->exec();
    }

    // After a failure the connection is made afresh for the next attempt, so a connection left
    // in a bad state by a disk error cannot keep failing.
    Outcome failed()
    {
        close();
        return Outcome::Retry;
    }

    static bool exec(const std::unique_ptr<QSqlQuery> &query, QSqlError *error)
    {
        if (query->exec())
            return true;
        *error = query->lastError();
        return false;
    }

    bool apply(const TJournalCommand &command, QSqlError *error)
    {
        const qint64 raceId = command.race.id;
        switch (command.type) {
        case TJournalCommand::Type::StartRace: {
            const TRaceSummary &race = command.race;
            m_interruptOthers->bindValue(0, raceId);
            const QVariantList values{raceId,
                                      race.startedWallMs,
                                      text(race.title),
                                      text(race.session),
                                      race.cars,
                                      race.laps,
                                      TRaceSummary::stateName(TRaceSummary::State::Running),
                                      text(race.winner),
                                      text(race.bootId)};
            for (int i = 0; i < values.size(); ++i)
                m_insertRace->bindValue(i, values.at(i));
            if (!exec(m_interruptOthers, error))
                return false;
            m_interruptedOthers = m_interruptOthers->numRowsAffected() > 0;
            return exec(m_insertRace, error) && execFor(m_noteRaceId, raceId, error) &&
                   insertEvent(raceId, command.event, error) &&
                   linkHeat(raceId, command.event, error);
        }
        case TJournalCommand::Type::AddEvent:
            if (!insertEvent(raceId, command.event, error))
                return false;
            if (command.event.kind == TRaceEvent::Kind::Stop)
                return execFor(m_stop, raceId, error);
            if (command.event.kind == TRaceEvent::Kind::End)
                return execFor(m_end, raceId, error);
            if (command.event.kind == TRaceEvent::Kind::Resume) {
                m_resume->bindValue(0, text(command.race.bootId));
                m_resume->bindValue(1, raceId);
                return exec(m_resume, error);
            }
            return true;
        case TJournalCommand::Type::SetOutcome:
            m_setOutcome->bindValue(0, TRaceSummary::stateName(command.race.state));
            m_setOutcome->bindValue(
                1, command.race.winner.isNull() ? QVariant() : QVariant(command.race.winner));
            m_setOutcome->bindValue(2, raceId);
            return exec(m_setOutcome, error);
        case TJournalCommand::Type::DeleteRace:
            return execFor(m_deleteEvents, raceId, error) && execFor(m_unlinkHeat, raceId, error) &&
                   execFor(m_deleteRace, raceId, error);
        }
        return false;
    }

    static bool execFor(const std::unique_ptr<QSqlQuery> &query, qint64 raceId, QSqlError *error)
    {
        query->bindValue(0, raceId);
        return exec(query, error);
    }

    bool insertEvent(qint64 raceId, const TRaceEvent &event, QSqlError *error)
    {
        QSqlQuery &q = *m_insertEvent;
        q.bindValue(0, raceId);
        q.bindValue(1, event.seq);
        q.bindValue(2, TRaceEvent::kindName(event.kind));
        q.bindValue(3, qint64(event.tick));
        q.bindValue(4, event.wallMs);
        q.bindValue(5, event.car);
        // An event without a payload is stored as NULL, which needs no parsing when read back;
        // a press carries its race time ({"ms":N}), which the reader parses on a fast path.
        q.bindValue(6, event.payload.isEmpty()
                           ? QVariant()
                           : QVariant(QString::fromUtf8(
                                 QJsonDocument(event.payload).toJson(QJsonDocument::Compact))));
        return exec(m_insertEvent, error);
    }

    // A heat's race is found by its heat without reading every START.
    bool linkHeat(qint64 raceId, const TRaceEvent &start, QSqlError *error)
    {
        const auto heat = HeatOfStart(start);
        if (!heat)
            return true;
        m_linkHeat->bindValue(0, raceId);
        m_linkHeat->bindValue(1, heat->first);
        m_linkHeat->bindValue(2, heat->second);
        return exec(m_linkHeat, error);
    }

    QString m_path;
    std::unique_ptr<TSqlConnection> m_connection;
    std::unique_ptr<QSqlQuery> m_begin, m_commit, m_rollbackQuery, m_insertEvent, m_insertRace,
        m_interruptOthers, m_stop, m_end, m_resume, m_setOutcome, m_deleteEvents, m_deleteRace,
        m_linkHeat, m_unlinkHeat, m_noteRaceId;
    bool m_interruptedOthers = false;
};

TJournalWriter::TJournalWriter(const QString &path, Reports reports,
                               std::unique_ptr<QLockFile> lock)
    : m_path(path), m_reports(std::move(reports)), m_lock(std::move(lock))
{}

TJournalWriter::~TJournalWriter()
{
    finish(0);
}

void TJournalWriter::hand(TJournalCommand command)
{
    QMutexLocker lock(&m_mutex);
    m_queue.push_back(std::move(command));
    m_work.wakeOne();
}

bool TJournalWriter::waitUntilStored(int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    QMutexLocker lock(&m_mutex);
    while (!m_queue.empty()) {
        if (!isRunning() || !m_stored.wait(&m_mutex, deadline))
            return m_queue.empty();
    }
    return true;
}

int TJournalWriter::finish(int timeoutMs)
{
    if (isRunning())
        waitUntilStored(timeoutMs);
    {
        QMutexLocker lock(&m_mutex);
        m_ending = true;
        m_work.wakeAll();
    }
    wait();
    return pendingCount();
}

int TJournalWriter::pendingCount() const
{
    QMutexLocker lock(&m_mutex);
    return int(m_queue.size());
}

qint64 TJournalWriter::fileId(qint64 raceId) const
{
    QMutexLocker lock(&m_mutex);
    return m_fileIds.value(raceId, raceId);
}

qint64 TJournalWriter::handedId(qint64 fileId) const
{
    QMutexLocker lock(&m_mutex);
    for (auto it = m_fileIds.cbegin(); it != m_fileIds.cend(); ++it) {
        if (it.value() == fileId)
            return it.key();
    }
    return fileId;
}

qint64 TJournalWriter::fileIdForLocked(const TJournalCommand &command)
{
    const qint64 id = command.race.id;
    if (id >= 0)
        return id;
    if (const auto found = m_fileIds.constFind(id); found != m_fileIds.cend())
        return found.value();
    if (command.type != TJournalCommand::Type::StartRace)
        return id;
    const qint64 fileId = ++m_lastFileRaceId;
    m_fileIds.insert(id, fileId);
    return fileId;
}

void TJournalWriter::report(TJournalCommand::Type type, qint64 raceId, int seq,
                            bool interruptedOthers)
{
    const bool rowOnly =
        type == TJournalCommand::Type::SetOutcome || type == TJournalCommand::Type::DeleteRace;
    if (!rowOnly && m_reports.stored)
        m_reports.stored(raceId, seq);
    if (!m_reports.changed)
        return;
    if (rowOnly)
        m_reports.changed(raceId);
    else if (type == TJournalCommand::Type::StartRace && interruptedOthers)
        m_reports.changed(0);
}

void TJournalWriter::waitToRetry()
{
    // Changes handed over meanwhile do not hurry the next attempt: a failing disk is not
    // hammered with one per key press.
    const QDeadlineTimer retryAt(kRetryMs);
    while (!m_ending && !retryAt.hasExpired())
        m_work.wait(&m_mutex, retryAt);
}

bool TJournalWriter::takeFile(QMutexLocker<QMutex> &lock)
{
    lock.unlock();
    TJournalClaim claim = TJournalClaim::take(m_path);
    if (claim.ok() && m_reports.opened)
        m_reports.opened(claim.notice);
    lock.relock();
    if (!claim.ok())
        return false;
    m_lock = std::move(claim.lock);
    m_connection = std::move(claim.connection);
    m_lastFileRaceId = claim.lastRaceId;
    return true;
}

void TJournalWriter::run()
{
    Session session(m_path);
    // Without the lock the opening has failed, and the window was told already.
    bool failing = !m_lock;
    // Changes kept through a failure and not yet stored; -1 until writing works again.
    qsizetype backlog = -1;
    bool commitFailed = false;
    QMutexLocker lock(&m_mutex);
    for (;;) {
        if (failing && backlog == 0) {
            failing = false;
            backlog = -1;
            if (m_reports.recovered) {
                lock.unlock();
                m_reports.recovered();
                lock.relock();
            }
        }
        while (m_queue.empty() && !m_ending && m_lock)
            m_work.wait(&m_mutex);
        if (m_ending)
            break;
        if (!m_lock) {
            if (takeFile(lock))
                backlog = qsizetype(m_queue.size());
            else
                waitToRetry();
            continue;
        }

        const qint64 handedRaceId = m_queue.front().race.id;
        TJournalCommand command = m_queue.front();
        command.race.id = fileIdForLocked(command);
        lock.unlock();

        QSqlError error;
        const Outcome outcome = session.commit(command, &commitFailed, &error);
        if (outcome == Outcome::Retry) {
            if (!failing && m_reports.failed)
                m_reports.failed(
                    JournalMessages::cannotWrite(m_path, JournalMessages::reason(error)));
            failing = true;
            backlog = -1;
            lock.relock();
            waitToRetry();
            continue;
        }

        if (outcome == Outcome::Refused && m_reports.failed)
            m_reports.failed(JournalMessages::refused(m_path, JournalMessages::reason(error)));
        commitFailed = false;
        if (outcome == Outcome::Stored)
            report(command.type, handedRaceId, command.event.seq, session.interruptedOthers());
        lock.relock();
        if (failing && backlog < 0)
            backlog = qsizetype(m_queue.size());
        if (failing)
            --backlog;
        m_queue.pop_front();
        m_stored.wakeAll();
    }
    // Made on this thread, so dropped on it.
    m_connection.reset();
}

#include "RaceJournal.h"

#include "JournalClaim.h"
#include "JournalFiles.h"
#include "JournalMessages.h"
#include "JournalReader.h"
#include "JournalWriter.h"
#include "SqlConnection.h"

#include <QDateTime>
#include <QDir>
#include <QStandardPaths>

namespace {
// Reading waits this long for pending events before it reads what is there.
constexpr int kReadWaitMs = 2000;
// The archive window may read while the writer deletes; such reads wait this long.
constexpr int kReadBusyWaitMs = 5000;
} // namespace

TRaceJournal::TRaceJournal(QObject *parent) : QObject(parent) {}

TRaceJournal::~TRaceJournal()
{
    close();
}

QString TRaceJournal::defaultPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("Talvenbahn/journal.sqlite"));
}

QString TRaceJournal::currentBootId()
{
    return JournalFiles::currentBootId();
}

bool TRaceJournal::open(const QString &path)
{
    close();
    ++m_generation;
    m_path = path;
    m_notice.clear();
    m_error.clear();
    m_lastSeq.clear();

    TJournalClaim claim = TJournalClaim::take(path);
    m_notice = claim.notice;
    if (claim.ok()) {
        m_reader = std::move(claim.connection);
        m_lastRaceId = std::max(m_lastRaceId, claim.lastRaceId);
    }
    m_error = claim.error;
    // Without the file the races get ids of their own, which the file's cannot take.
    m_handingOwnIds = !claim.ok();
    m_ownRaces = 0;

    // The reports come from the writer thread; queued to this object's thread, and dropped
    // with it.
    TJournalWriter::Reports reports;
    reports.stored = [this](qint64 raceId, int seq) {
        QMetaObject::invokeMethod(
            this, [this, raceId, seq] { emit eventStored(raceId, seq); }, Qt::QueuedConnection);
    };
    reports.changed = [this](qint64 raceId) {
        QMetaObject::invokeMethod(
            this, [this, raceId] { emit raceChanged(raceId); }, Qt::QueuedConnection);
    };
    reports.failed = [this](const QString &message) {
        QMetaObject::invokeMethod(
            this, [this, message] { emit journalFailed(message); }, Qt::QueuedConnection);
    };
    reports.recovered = [this] {
        QMetaObject::invokeMethod(
            this, [this] { emit journalRecovered(); }, Qt::QueuedConnection);
    };
    reports.opened = [this, generation = m_generation](const QString &notice) {
        QMetaObject::invokeMethod(
            this, [this, generation, notice] { fileTaken(generation, notice); },
            Qt::QueuedConnection);
    };
    m_writer = std::make_unique<TJournalWriter>(path, std::move(reports), std::move(claim.lock));
    m_writer->start();
    return m_reader != nullptr;
}

void TRaceJournal::fileTaken(quint64 generation, const QString &notice)
{
    if (generation != m_generation || !m_writer || m_reader)
        return;
    auto reader = std::make_unique<TSqlConnection>(m_path, kReadBusyWaitMs);
    if (reader->isOpen())
        m_reader = std::move(reader);
    m_notice = notice;
    if (!notice.isEmpty())
        emit journalNotice(notice);
}

bool TRaceJournal::close(int timeoutMs)
{
    ++m_generation;
    m_handingOwnIds = false;
    if (!m_writer)
        return true;
    const int left = m_writer->finish(timeoutMs);
    m_reader.reset();
    // The writer holds the file's lock: the file is let go last.
    m_writer.reset();
    if (left > 0) {
        m_error = JournalMessages::stillPending(m_path, left);
        return false;
    }
    return true;
}

qint64 TRaceJournal::fileId(qint64 raceId) const
{
    return m_writer && raceId < 0 ? m_writer->fileId(raceId) : raceId;
}

TRaceSummary TRaceJournal::handed(TRaceSummary race) const
{
    if (m_writer && m_handingOwnIds)
        race.id = m_writer->handedId(race.id);
    return race;
}

qint64 TRaceJournal::startRace(TRaceEvent start)
{
    if (start.wallMs == 0)
        start.wallMs = QDateTime::currentMSecsSinceEpoch();
    start.seq = 1;

    TJournalCommand command;
    command.type = TJournalCommand::Type::StartRace;
    command.race.id = m_handingOwnIds ? -++m_ownRaces : ++m_lastRaceId;
    command.race.startedWallMs = start.wallMs;
    command.race.title = start.payload.value(StartPayload::kTitle).toString();
    command.race.session = start.payload.value(StartPayload::kSession).toString();
    command.race.cars = start.payload.value(StartPayload::kCars).toInt();
    command.race.laps = start.payload.value(StartPayload::kLaps).toInt();
    command.race.bootId = currentBootId();
    command.event = std::move(start);
    m_lastSeq.insert(command.race.id, 1);
    const qint64 raceId = command.race.id;
    if (m_writer)
        m_writer->hand(std::move(command));
    return raceId;
}

int TRaceJournal::append(qint64 raceId, TRaceEvent event)
{
    if (event.wallMs == 0)
        event.wallMs = QDateTime::currentMSecsSinceEpoch();
    event.seq = nextSeq(raceId, event.seq);
    if (m_writer) {
        TJournalCommand command;
        command.type = TJournalCommand::Type::AddEvent;
        command.race.id = raceId;
        if (event.kind == TRaceEvent::Kind::Resume)
            command.race.bootId = currentBootId();
        command.event = std::move(event);
        const int seq = command.event.seq;
        m_writer->hand(std::move(command));
        return seq;
    }
    return event.seq;
}

int TRaceJournal::nextSeq(qint64 raceId, int wanted)
{
    auto found = m_lastSeq.find(raceId);
    if (found == m_lastSeq.end()) {
        // A race of an earlier session: nothing of it is pending, so the file knows its end.
        const int stored = m_reader ? TJournalReader(m_reader->db()).lastSeq(fileId(raceId)) : 0;
        found = m_lastSeq.insert(raceId, stored);
    }
    // The race session numbers its events; a number already used is never stored twice.
    found.value() = wanted > found.value() ? wanted : found.value() + 1;
    return found.value();
}

void TRaceJournal::setOutcome(qint64 raceId, TRaceSummary::State state, const QString &winner)
{
    if (!m_writer)
        return;
    TJournalCommand command;
    command.type = TJournalCommand::Type::SetOutcome;
    command.race.id = raceId;
    command.race.state = state;
    command.race.winner = winner;
    m_writer->hand(std::move(command));
}

void TRaceJournal::markInterrupted(qint64 raceId)
{
    setOutcome(raceId, TRaceSummary::State::Interrupted);
}

void TRaceJournal::deleteRace(qint64 raceId)
{
    m_lastSeq.remove(raceId);
    if (!m_writer)
        return;
    TJournalCommand command;
    command.type = TJournalCommand::Type::DeleteRace;
    command.race.id = raceId;
    m_writer->hand(std::move(command));
}

bool TRaceJournal::flush(int timeoutMs)
{
    return !m_writer || m_writer->waitUntilStored(timeoutMs);
}

int TRaceJournal::pendingCount() const
{
    return m_writer ? m_writer->pendingCount() : 0;
}

bool TRaceJournal::prepareRead()
{
    m_error.clear();
    if (!m_reader)
        return false;
    // What cannot be stored now is read without; the failure was reported already.
    flush(kReadWaitMs);
    return true;
}

std::optional<TRaceSummary> TRaceJournal::unfinishedRace()
{
    if (!prepareRead())
        return std::nullopt;
    TJournalReader reader(m_reader->db());
    auto found = reader.unfinishedRace();
    m_error = reader.errorString();
    return found ? std::optional(handed(*found)) : std::nullopt;
}

std::optional<TRaceSummary> TRaceJournal::race(qint64 raceId)
{
    if (!prepareRead())
        return std::nullopt;
    TJournalReader reader(m_reader->db());
    auto found = reader.race(fileId(raceId));
    m_error = reader.errorString();
    return found ? std::optional(handed(*found)) : std::nullopt;
}

QList<TRaceEvent> TRaceJournal::events(qint64 raceId)
{
    if (!prepareRead())
        return {};
    TJournalReader reader(m_reader->db());
    auto found = reader.events(fileId(raceId));
    m_error = reader.errorString();
    return found;
}

QList<TRaceSummary> TRaceJournal::races()
{
    if (!prepareRead())
        return {};
    TJournalReader reader(m_reader->db());
    QList<TRaceSummary> found = reader.races();
    m_error = reader.errorString();
    for (TRaceSummary &race : found)
        race = handed(std::move(race));
    return found;
}

#include "RaceJournal.h"

#include "JournalFiles.h"
#include "JournalMessages.h"
#include "JournalOpening.h"
#include "JournalReader.h"
#include "JournalWriter.h"
#include "SqlConnection.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
// Reading waits this long for pending events before it reads what is there.
constexpr int kReadWaitMs = 2000;
// Up to this size a file is checked page by page at every open (about 25 long races).
constexpr qint64 kThoroughCheckBytes = 16 * 1024 * 1024;
// The archive window may read while the writer deletes; such reads wait this long.
constexpr int kReadBusyWaitMs = 5000;

QString lockReason(QLockFile::LockError error)
{
    switch (error) {
    case QLockFile::PermissionError:
        return QStringLiteral("im Ordner darf nicht geschrieben werden");
    default:
        return QStringLiteral("die Sperrdatei lässt sich nicht anlegen");
    }
}
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
    m_path = path;
    m_notice.clear();
    m_error.clear();

    QString folderError;
    if (!JournalFiles::makeFolderFor(path, &folderError)) {
        m_error = JournalMessages::cannotOpen(path, folderError);
        return false;
    }
    // A second program on the same file would hand out the same race ids; the lock file keeps
    // it out. A lock left by a crashed program is taken over, and so is an old one written
    // under another host name; a live holder keeps its lock through the system's file lock.
    const QString lockPath = path + QStringLiteral(".lock");
    const bool endedUncleanly = QFileInfo::exists(lockPath);
    auto lock = std::make_unique<QLockFile>(lockPath);
    if (!lock->tryLock(0)) {
        m_error = lock->error() == QLockFile::LockFailedError
                      ? JournalMessages::inUseByOtherWindow(path)
                      : JournalMessages::cannotOpen(path, lockReason(lock->error()));
        return false;
    }

    // Every page is checked when the file is small or the last program ended without closing
    // it (a crash, a power cut); a large archive after a clean close would take seconds.
    const bool thorough = endedUncleanly || QFileInfo(path).size() <= kThoroughCheckBytes;
    const TJournalOpening opening = TJournalOpening::prepare(
        path, thorough ? TJournalOpening::Check::Thorough : TJournalOpening::Check::Light);
    m_notice = opening.notice;
    if (!opening.ok) {
        m_error = opening.error;
        return false;
    }
    auto reader = std::make_unique<TSqlConnection>(path, kReadBusyWaitMs);
    TJournalReader reading(reader->db());
    const qint64 lastRaceId = reader->isOpen() ? reading.lastRaceId() : 0;
    if (!reader->isOpen() || !reading.errorString().isEmpty()) {
        m_error = JournalMessages::cannotOpen(
            path, reader->isOpen() ? reading.errorString()
                                   : JournalMessages::reason(reader->db().lastError()));
        return false;
    }

    m_lock = std::move(lock);
    m_reader = std::move(reader);
    m_lastRaceId = std::max(m_lastRaceId, lastRaceId);
    m_lastSeq.clear();

    // The reports come from the writer thread; queued to this object's thread, and dropped
    // with it.
    TJournalWriter::Reports reports;
    reports.stored = [this](qint64 raceId, int seq) {
        QMetaObject::invokeMethod(
            this, [this, raceId, seq] { emit eventStored(raceId, seq); }, Qt::QueuedConnection);
    };
    reports.failed = [this](const QString &message) {
        QMetaObject::invokeMethod(
            this, [this, message] { emit journalFailed(message); }, Qt::QueuedConnection);
    };
    reports.recovered = [this] {
        QMetaObject::invokeMethod(
            this, [this] { emit journalRecovered(); }, Qt::QueuedConnection);
    };
    m_writer = std::make_unique<TJournalWriter>(path, std::move(reports));
    m_writer->start();
    return true;
}

bool TRaceJournal::close(int timeoutMs)
{
    if (!m_writer)
        return true;
    const int left = m_writer->finish(timeoutMs);
    m_writer.reset();
    m_reader.reset();
    m_lock.reset();
    if (left > 0) {
        m_error = JournalMessages::stillPending(m_path, left);
        return false;
    }
    return true;
}

qint64 TRaceJournal::startRace(TRaceEvent start)
{
    if (start.wallMs == 0)
        start.wallMs = QDateTime::currentMSecsSinceEpoch();
    start.seq = 1;

    TJournalCommand command;
    command.type = TJournalCommand::Type::StartRace;
    command.race.id = ++m_lastRaceId;
    command.race.startedWallMs = start.wallMs;
    command.race.title = start.payload.value(StartPayload::kTitle).toString();
    command.race.session = start.payload.value(StartPayload::kSession).toString();
    command.race.cars = start.payload.value(StartPayload::kCars).toInt();
    command.race.laps = start.payload.value(StartPayload::kLaps).toInt();
    command.race.bootId = currentBootId();
    command.event = std::move(start);
    m_lastSeq.insert(command.race.id, 1);
    if (m_writer)
        m_writer->hand(std::move(command));
    return m_lastRaceId;
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
        const int stored = m_reader ? TJournalReader(m_reader->db()).lastSeq(raceId) : 0;
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
    return found;
}

std::optional<TRaceSummary> TRaceJournal::race(qint64 raceId)
{
    if (!prepareRead())
        return std::nullopt;
    TJournalReader reader(m_reader->db());
    auto found = reader.race(raceId);
    m_error = reader.errorString();
    return found;
}

QList<TRaceEvent> TRaceJournal::events(qint64 raceId)
{
    if (!prepareRead())
        return {};
    TJournalReader reader(m_reader->db());
    auto found = reader.events(raceId);
    m_error = reader.errorString();
    return found;
}

QList<TRaceSummary> TRaceJournal::races()
{
    if (!prepareRead())
        return {};
    TJournalReader reader(m_reader->db());
    auto found = reader.races();
    m_error = reader.errorString();
    return found;
}

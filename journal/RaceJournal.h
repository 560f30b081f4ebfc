#pragma once

#include "RaceEvent.h"
#include "RaceSummary.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class TJournalWriter;
class TSqlConnection;

// The durable record of every race: each event is committed to an SQLite file, one transaction
// each, synced to the disk, by a writer thread. startRace() and append() only hand the event
// over and return at once; eventStored() says when it is on the disk, journalFailed() when it
// cannot be written (it is kept and tried again, so nothing is lost when the disk frees up).
//
// When open() fails, the journal keeps what it is handed and tries the file again every second;
// once the file can be had, it stores everything kept, in order, and says journalRecovered().
// The races of such a session keep ids of their own (negative ones), which the journal
// translates to the file's. Without open() at all, it hands out race ids and sequence numbers
// but stores nothing, so the caller carries on in memory the same way.
//
// Reading is meant for when no race runs (resume, the archive): it first waits for the pending
// events and then reads on the caller's thread.
//
// Use one journal from the thread that opened it (the window's); the writer thread is its own.
class TRaceJournal : public QObject
{
    Q_OBJECT
public:
    // A close waits this long for pending events (a normal exit, SIGTERM).
    static constexpr int kCloseWaitMs = 3000;

    explicit TRaceJournal(QObject *parent = nullptr);
    ~TRaceJournal() override;

    // "$XDG_DATA_HOME/Talvenbahn/journal.sqlite" (by default ~/.local/share/...).
    static QString defaultPath();
    static QString currentBootId();

    // Opens or makes the database. A damaged, locked or too new file, or a folder in its place,
    // is moved aside and a new one started: open() succeeds and notice() says what happened.
    // False when the file cannot be had now; errorString() names the path and the reason, and
    // the journal goes on trying (see above).
    bool open(const QString &path);
    // The file is in use: events are written to it and can be read back.
    bool isOpen() const { return m_reader != nullptr; }
    QString path() const { return m_path; }
    QString notice() const { return m_notice; }
    QString errorString() const { return m_error; }
    // Waits up to timeoutMs for pending events, then closes. False (errorString() set) when
    // some could not be stored.
    bool close(int timeoutMs = kCloseWaitMs);

    // Writing: each returns at once and keeps the order of the calls.
    // A new race from its START event (kind Start; the payload holds the keys of StartPayload).
    // Any race still running is marked interrupted. Returns the new race's id.
    qint64 startRace(TRaceEvent start);
    // Returns the event's sequence number within the race: its own seq when it has one above
    // the race's last, else the next. A race of an earlier session (a resumed one) continues
    // after its last stored event; its Resume event records this boot.
    int append(qint64 raceId, TRaceEvent event);
    // Sets the race's state and, unless winner is a null string, its winner text.
    void setOutcome(qint64 raceId, TRaceSummary::State state, const QString &winner = QString());
    void markInterrupted(qint64 raceId);
    void deleteRace(qint64 raceId);

    // The last sequence number handed out for the race in this session; 0 when none was (the
    // file then holds all of the race). Someone reading the race elsewhere, on a thread of its
    // own, knows by it whether events of the race are still on their way to the file.
    int handedSeq(qint64 raceId) const { return m_lastSeq.value(raceId, 0); }
    // Waits until everything handed over is committed; false after timeoutMs.
    bool flush(int timeoutMs);
    int pendingCount() const;

    // Reading; see above. On a failure errorString() says why and the result is empty.
    std::optional<TRaceSummary> unfinishedRace();
    std::optional<TRaceSummary> race(qint64 raceId);
    QList<TRaceEvent> events(qint64 raceId);
    QList<TRaceSummary> races();

signals:
    void eventStored(qint64 raceId, int seq);
    // A race's row changed on the disk without a new event: its outcome (stop, winner) was set
    // or it was deleted. raceId 0: several races' rows (a START marked the running ones
    // interrupted).
    void raceChanged(qint64 raceId);
    // A German message for the window: the path, the reason, and that the race goes on.
    void journalFailed(const QString &message);
    // Writing works again after a failure; what was kept has been stored.
    void journalRecovered();
    // The file could be had only after open() failed, and a file was moved aside for it.
    void journalNotice(const QString &notice);

private:
    int nextSeq(qint64 raceId, int wanted);
    bool prepareRead();
    void fileTaken(quint64 generation, const QString &notice);
    qint64 fileId(qint64 raceId) const;
    TRaceSummary handed(TRaceSummary race) const;

    QString m_path;
    QString m_notice;
    QString m_error;
    std::unique_ptr<TJournalWriter> m_writer; // it holds the file's lock

    std::unique_ptr<TSqlConnection> m_reader;
    qint64 m_lastRaceId = 0;
    QHash<qint64, int> m_lastSeq; // of the races written to in this session
    bool m_handingOwnIds = false; // open() failed: races get negative ids of their own
    qint64 m_ownRaces = 0;
    quint64 m_generation = 0; // of open() and close(), for the writer's queued reports
};

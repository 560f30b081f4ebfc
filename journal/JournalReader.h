#pragma once

#include "RaceEvent.h"
#include "RaceSummary.h"

#include <QList>
#include <QSqlDatabase>

#include <optional>

class QSqlQuery;

// Reads races and events from an open journal database, on the thread that owns the connection.
// Each call returns what is committed; a failure leaves errorString() set and returns nothing.
class TJournalReader
{
public:
    explicit TJournalReader(QSqlDatabase db) : m_db(std::move(db)) {}

    // The newest race still running: no stop, end or interruption is recorded for it.
    std::optional<TRaceSummary> unfinishedRace();
    // Every event of the race, in the order of their sequence numbers.
    QList<TRaceEvent> events(qint64 raceId);
    // Every race, oldest first.
    QList<TRaceSummary> races();
    std::optional<TRaceSummary> race(qint64 raceId);
    qint64 lastRaceId();
    int lastSeq(qint64 raceId);

    QString errorString() const { return m_error; }

private:
    QList<TRaceSummary> selectRaces(const QString &condition, const QVariantList &values);
    void noteError(const QSqlQuery &query);

    QSqlDatabase m_db;
    QString m_error;
};

#pragma once

#include "RaceDay.h"
#include "RaceEvent.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>

class QSqlQuery;

// Which station's race counts for a heat timed on two stations, as the operator chose.
struct THeatChoice
{
    int heatId = 0;
    QString station;
    qint64 raceId = 0;
    bool operator==(const THeatChoice &) const = default;
};
class TSqlConnection;

// A season: race days grouped for one championship table per class.
struct TSeason
{
    qint64 id = 0;
    QString name;             // "Meisterschaft 2026"
    int bestOf = 0;           // 0: every day counts; N: the best N days count
    QList<TSeasonJoin> joins; // renames joined by hand
    bool operator==(const TSeason &) const = default;
};

// The race days and seasons in the journal's file: only their plans; each heat's race is an
// ordinary journal race whose START names the day and the heat, and the journal's writer links
// the two when it stores that START. A failure leaves errorString() set (in German) and returns
// false or nothing.
class TRaceDayStore
{
public:
    // Opens its own connection to the journal file at journalPath (the file TRaceJournal
    // uses; JournalSchema::upgrade brings it to the current version). Use it on one thread.
    explicit TRaceDayStore(const QString &journalPath);
    ~TRaceDayStore();
    TRaceDayStore(const TRaceDayStore &) = delete;
    TRaceDayStore &operator=(const TRaceDayStore &) = delete;

    bool isOpen() const;
    QString errorString() const { return m_error; }

    // Every day, the latest date first; THeat::raceId filled from the journal's START events.
    QList<TRaceDay> days();
    // With THeat::raceId filled; nothing when there is no such day (errorString() empty).
    std::optional<TRaceDay> day(qint64 id);
    // Inserts (sets day.id) or replaces the day's whole plan, in one transaction. THeat::raceId
    // is not stored: it always comes from the journal.
    bool saveDay(TRaceDay &day);
    // The plan only; the heats' races stay in the journal.
    bool removeDay(qint64 id);

    // Every season, the newest first.
    QList<TSeason> seasons();
    // Inserts (sets season.id) or replaces.
    bool saveSeason(TSeason &season);
    // Days in it keep existing, with seasonId 0.
    bool removeSeason(qint64 id);

    // The id that keys this journal file's rows on a club server (32 hex digits).
    QString stationId();

    // The races chosen for heats of the day with this key (its origin on the club server) that
    // were timed on two stations.
    QList<THeatChoice> heatChoices(const QString &dayKey);
    // Keeps the choice, replacing an earlier one for the heat.
    bool chooseHeatRace(const QString &dayKey, const THeatChoice &choice);

    // A race's events in order, for ComputeRaceDay; empty when there is no such race.
    QList<TRaceEvent> raceEvents(qint64 raceId);

private:
    QList<TRaceDay> loadDays(std::optional<qint64> only);
    bool writeDay(const TRaceDay &day, qint64 id);
    bool writeSeason(const TSeason &season, qint64 id);
    bool ready();
    bool begin();
    bool commit();
    bool failed(const QSqlQuery &query, const QString &what);
    bool refuse(const QString &message);

    std::unique_ptr<TSqlConnection> m_connection;
    QString m_path;
    QString m_error;
};

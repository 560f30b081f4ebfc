#pragma once

#include "ClubServerConfig.h"
#include "RaceSummary.h"

#include <QHash>
#include <QSet>
#include <QSqlDatabase>
#include <QString>

#include <memory>

class TRaceDayStore;
class TServerConnection;

// One round of sending, on the replicator's thread: compares what the journal holds with what
// the server holds of this station and sends the difference. It keeps what it learned of the
// server between rounds, so a round after a single press reads and sends only that race.
class TReplicationPass
{
public:
    struct Work
    {
        bool everything = false; // compare every race, not only the noted ones
        bool plans = false;      // compare the days and seasons
        QSet<qint64> races;      // races with new events
    };
    enum class Outcome { Done, NoJournal, Lost, Refused };

    TReplicationPass(const QString &journalPath, const TClubServerConfig &config,
                     const QString &password, int connectTimeoutS);
    ~TReplicationPass();

    // Connects when not connected. Lost: the server cannot be reached (reason says why).
    Outcome connect();
    bool isConnected() const;
    void disconnect();

    Outcome run(const Work &work);
    QString reason() const { return m_reason; }
    // Events of the journal the server does not have, as far as known.
    qint64 waiting() const;

private:
    struct Mark
    {
        int maxSeq = 0;
        qint64 count = 0;
    };
    struct ServerRace
    {
        int revision = 0;
        TRaceSummary summary;
    };
    struct ServerDocument
    {
        int revision = 0;
        QString body;
        bool removed = false;
    };

    bool openJournal();
    bool readStation();
    Outcome loadServer();
    Outcome sendRaces(const QSet<qint64> *only);
    Outcome sendEvents(qint64 raceId, const Mark &local);
    Outcome sendPlans();
    Outcome sendDocument(const QString &kind, qint64 id, const QString &origin, const QString &body,
                         bool removed);
    bool localMarks(const QSet<qint64> *only, QHash<qint64, Mark> *marks);
    Outcome failed(const class QSqlQuery &query);
    Outcome failedLocal(const class QSqlQuery &query);

    QString m_journalPath;
    TClubServerConfig m_config;
    QString m_password;
    int m_connectTimeoutS;
    QString m_localName;
    QSqlDatabase m_local;
    std::unique_ptr<TRaceDayStore> m_plans;
    std::unique_ptr<TServerConnection> m_server;
    QString m_station;
    bool m_serverKnown = false;
    QHash<qint64, Mark> m_localMarks;
    QHash<qint64, Mark> m_serverMarks;
    QHash<qint64, ServerRace> m_serverRaces;
    QHash<QString, ServerDocument> m_serverDocuments; // by "kind/id"
    QString m_reason;
};

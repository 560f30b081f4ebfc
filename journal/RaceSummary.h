#pragma once

#include <QString>

class QSqlQuery;
#include <QtGlobal>

// One race of the archive, as its row in the journal holds it.
struct TRaceSummary
{
    // Stored as the short texts of stateName(). Running means no stop or end has been
    // recorded: after a crash such a race is offered for resuming.
    enum class State { Running, Stopped, Finished, Interrupted };

    qint64 id = 0;
    qint64 startedWallMs = 0; // wall-clock time of its START, ms since the epoch (UTC)
    QString title;
    QString session;
    int cars = 0;
    int laps = 0;
    State state = State::Running;
    QString winner;
    // The machine's boot id at START, and again at each resume: when it matches the current one,
    // the tick counter of the events since the last resume continues; otherwise the machine was
    // restarted in between and only the wall-clock times connect them.
    QString bootId;

    static QString stateName(State state);
    static State stateFromName(const QString &name);

    bool operator==(const TRaceSummary &other) const = default;

    // The columns a race's row is read with, in this order: id, started_ms, title, session,
    // cars, laps, state, winner, boot_id (the journal's, and the club server's as well, whose
    // id column is race_id), each after prefix.
    static QString columns(const QString &prefix = QString(),
                           const QString &idColumn = QStringLiteral("id"));
    // The race from those columns of query's current row, the first at column first.
    static TRaceSummary fromRow(const QSqlQuery &query, int first = 0);
};

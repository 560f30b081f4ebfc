#pragma once

#include <QString>
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
};

#include "RaceSummary.h"

#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

QString TRaceSummary::stateName(State state)
{
    switch (state) {
    case State::Running:
        return QStringLiteral("running");
    case State::Stopped:
        return QStringLiteral("stopped");
    case State::Finished:
        return QStringLiteral("finished");
    case State::Interrupted:
        return QStringLiteral("interrupted");
    }
    return QStringLiteral("running");
}

TRaceSummary::State TRaceSummary::stateFromName(const QString &name)
{
    if (name == u"stopped")
        return State::Stopped;
    if (name == u"finished")
        return State::Finished;
    if (name == u"running")
        return State::Running;
    // A state this program does not know is never offered for resuming.
    return State::Interrupted;
}

QString TRaceSummary::columns(const QString &prefix, const QString &idColumn)
{
    QStringList names{idColumn,
                      QStringLiteral("started_ms"),
                      QStringLiteral("title"),
                      QStringLiteral("session"),
                      QStringLiteral("cars"),
                      QStringLiteral("laps"),
                      QStringLiteral("state"),
                      QStringLiteral("winner"),
                      QStringLiteral("boot_id")};
    for (QString &name : names)
        name.prepend(prefix);
    return names.join(QStringLiteral(", "));
}

TRaceSummary TRaceSummary::fromRow(const QSqlQuery &query, int first)
{
    TRaceSummary race;
    race.id = query.value(first).toLongLong();
    race.startedWallMs = query.value(first + 1).toLongLong();
    race.title = query.value(first + 2).toString();
    race.session = query.value(first + 3).toString();
    race.cars = query.value(first + 4).toInt();
    race.laps = query.value(first + 5).toInt();
    race.state = stateFromName(query.value(first + 6).toString());
    race.winner = query.value(first + 7).toString();
    race.bootId = query.value(first + 8).toString();
    return race;
}

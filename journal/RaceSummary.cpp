#include "RaceSummary.h"

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

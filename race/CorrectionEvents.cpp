#include "CorrectionEvents.h"

#include "RaceTables.h"

#include "RaceSetup.h"

namespace CorrectionEvents {

namespace {

const QString kTarget = QStringLiteral("target");
const QString kRaceMs = QStringLiteral("ms");
const QString kStatus = QStringLiteral("status");
const QString kFromLap = QStringLiteral("fromLap");
const QString kPenaltyMs = QStringLiteral("penaltyMs");
const QString kLapsOff = QStringLiteral("lapsOff");
constexpr int kMaxPenaltyMs = 24 * 3600 * 1000;
const QString kMinLapMs = QStringLiteral("minLapMs");
const QString kOrigin = QStringLiteral("row");
const QString kNumber = QStringLiteral("number");
const QString kDriver = QStringLiteral("driver");

TRaceEvent make(TRaceEvent::Kind kind, int car, quint32 tick, qint64 wallMs, QJsonObject payload)
{
    TRaceEvent event;
    event.kind = kind;
    event.car = car;
    event.tick = tick;
    event.wallMs = wallMs;
    event.payload = std::move(payload);
    return event;
}

} // namespace

TRaceEvent Delete(int crossing, int car, quint32 tick, qint64 wallMs)
{
    return make(TRaceEvent::Kind::DeleteCrossing, car, tick, wallMs, {{kTarget, crossing}});
}

TRaceEvent Insert(int car, quint32 raceMs, quint32 tick, qint64 wallMs)
{
    return make(TRaceEvent::Kind::InsertCrossing, car, tick, wallMs, {{kRaceMs, qint64(raceMs)}});
}

TRaceEvent Move(int crossing, int toCar, quint32 tick, qint64 wallMs)
{
    return make(TRaceEvent::Kind::MoveCrossing, toCar, tick, wallMs, {{kTarget, crossing}});
}

TRaceEvent Edit(int crossing, int car, quint32 raceMs, quint32 tick, qint64 wallMs)
{
    return make(TRaceEvent::Kind::EditCrossing, car, tick, wallMs,
                {{kTarget, crossing}, {kRaceMs, qint64(raceMs)}});
}

TRaceEvent Confirm(int crossing, int car, quint32 tick, qint64 wallMs)
{
    return make(TRaceEvent::Kind::ConfirmCrossing, car, tick, wallMs, {{kTarget, crossing}});
}

TRaceEvent StarterEdit(int origin, const TRaceSetup::TStarter &starter, quint32 tick, qint64 wallMs)
{
    return make(TRaceEvent::Kind::StarterEdit, 0, tick, wallMs,
                {{kOrigin, origin}, {kNumber, starter.number}, {kDriver, starter.driver}});
}

int StarterOrigin(const TRaceEvent &event)
{
    return event.payload.value(kOrigin).toInt();
}

TRaceSetup::TStarter StarterOf(const TRaceEvent &event)
{
    return {event.payload.value(kNumber).toString(), event.payload.value(kDriver).toString()};
}

TRaceEvent Undo(int action, quint32 tick, qint64 wallMs)
{
    return make(TRaceEvent::Kind::Undo, 0, tick, wallMs, {{kTarget, action}});
}

TRaceEvent Redo(int undo, quint32 tick, qint64 wallMs)
{
    return make(TRaceEvent::Kind::Redo, 0, tick, wallMs, {{kTarget, undo}});
}

TRaceEvent Verdict(int car, const TCarVerdict &verdict, quint32 tick, qint64 wallMs)
{
    return make(TRaceEvent::Kind::CarVerdict, car, tick, wallMs,
                {{kStatus, TCarVerdict::StatusText(verdict.status)},
                 {kFromLap, verdict.fromLap},
                 {kPenaltyMs, verdict.penaltyMs},
                 {kLapsOff, verdict.lapsOff}});
}

TCarVerdict VerdictOf(const TRaceEvent &event)
{
    TCarVerdict verdict;
    verdict.status = TCarVerdict::StatusFromText(event.payload.value(kStatus).toString());
    verdict.fromLap = qMax(0, event.payload.value(kFromLap).toInt());
    verdict.penaltyMs = qBound(0, event.payload.value(kPenaltyMs).toInt(), kMaxPenaltyMs);
    verdict.lapsOff = qBound(0, event.payload.value(kLapsOff).toInt(), kMaxLaps);
    return verdict;
}

int Target(const TRaceEvent &event)
{
    return event.payload.value(kTarget).toInt();
}

quint32 RaceMs(const TRaceEvent &event)
{
    return PressRaceMs(event);
}

void SetMinLapMs(TRaceEvent &start, quint32 ms)
{
    start.payload.insert(kMinLapMs, qint64(ms));
}

qint64 MinLapMs(const TRaceEvent &start)
{
    return start.payload.contains(kMinLapMs) ? start.payload.value(kMinLapMs).toInteger() : -1;
}

bool IsCorrection(TRaceEvent::Kind kind)
{
    using Kind = TRaceEvent::Kind;
    switch (kind) {
    case Kind::DeleteCrossing:
    case Kind::InsertCrossing:
    case Kind::MoveCrossing:
    case Kind::EditCrossing:
    case Kind::ConfirmCrossing:
    case Kind::StarterEdit:
    case Kind::CarVerdict:
    case Kind::Undo:
    case Kind::Redo:
        return true;
    default:
        return false;
    }
}

} // namespace CorrectionEvents

#include "RaceSetup.h"

#include "CorrectionEvents.h"

#include <QJsonArray>

namespace {

const QString kWarnTime = QStringLiteral("warnTime");
const QString kRaceMs = QStringLiteral("ms");
const QString kFinishRule = QStringLiteral("finish");
const QString kLocked = QStringLiteral("locked");
const QString kLate = QStringLiteral("late");

} // namespace

TRaceEvent TRaceSetup::StartEvent(quint32 startTick, qint64 wallMs) const
{
    QJsonArray rows;
    for (const TStarter &starter : starters) {
        rows.append(QJsonObject{{StartPayload::kStartNumber, starter.number},
                                {StartPayload::kDriver, starter.driver}});
    }
    TRaceEvent event;
    event.kind = TRaceEvent::Kind::Start;
    event.tick = startTick;
    event.wallMs = wallMs;
    event.payload = QJsonObject{{StartPayload::kTitle, title},
                                {StartPayload::kSession, session},
                                {StartPayload::kCars, cars},
                                {StartPayload::kLaps, laps},
                                {StartPayload::kLapLength, lapLengthKm},
                                {StartPayload::kRaceSeconds, raceSeconds},
                                {kWarnTime, warnTime},
                                {StartPayload::kStarters, rows}};
    // Only a guard that is on is recorded: a START without it reads as off.
    if (minLapMs > 0)
        CorrectionEvents::SetMinLapMs(event, minLapMs);
    if (finishRule != 0)
        event.payload.insert(kFinishRule, finishRule);
    if (accuracy >= 0)
        event.payload.insert(StartPayload::kAccuracy, accuracy);
    return event;
}

TRaceSetup TRaceSetup::FromStartEvent(const TRaceEvent &start)
{
    const QJsonObject &p = start.payload;
    TRaceSetup setup;
    setup.title = p.value(StartPayload::kTitle).toString();
    setup.session = p.value(StartPayload::kSession).toString();
    setup.cars = p.value(StartPayload::kCars).toInt();
    setup.laps = p.value(StartPayload::kLaps).toInt();
    setup.lapLengthKm = p.value(StartPayload::kLapLength).toDouble();
    setup.raceSeconds = p.value(StartPayload::kRaceSeconds).toInt();
    setup.warnTime = p.value(kWarnTime).toString();
    setup.minLapMs = quint32(qMax<qint64>(0, CorrectionEvents::MinLapMs(start)));
    setup.finishRule = p.value(kFinishRule).toInt();
    setup.accuracy = p.value(StartPayload::kAccuracy).toInt(-1);
    for (const QJsonValue row : p.value(StartPayload::kStarters).toArray()) {
        const QJsonObject o = row.toObject();
        setup.starters.append({o.value(StartPayload::kStartNumber).toString(),
                               o.value(StartPayload::kDriver).toString()});
    }
    return setup;
}

TRaceEvent PressEvent(int car, quint32 stamp, quint32 startTick, qint64 wallMs, bool locked,
                      bool late)
{
    TRaceEvent event;
    event.kind = TRaceEvent::Kind::Press;
    event.car = car;
    event.tick = stamp;
    event.wallMs = wallMs;
    // The race time, not only the tick: after a restart of the machine the ticks start again.
    event.payload = QJsonObject{{kRaceMs, qint64(stamp - startTick)}};
    // Only a locked press says so: every press recorded before reads as a plain one.
    if (locked)
        event.payload.insert(kLocked, true);
    if (late)
        event.payload.insert(kLate, true);
    return event;
}

bool CrossingLate(const TRaceEvent &event)
{
    return event.payload.value(kLate).toBool();
}

void MarkLate(TRaceEvent &event)
{
    event.payload.insert(kLate, true);
}

bool PressLocked(const TRaceEvent &press)
{
    return press.payload.value(kLocked).toBool();
}

quint32 PressRaceMs(const TRaceEvent &press)
{
    return quint32(press.payload.value(kRaceMs).toInteger());
}

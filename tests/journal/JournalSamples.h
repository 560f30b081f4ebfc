#pragma once

#include "RaceEvent.h"

#include <QJsonArray>

// Events as the window hands them to the journal, for the journal's tests and benchmarks.
namespace JournalSamples {

inline TRaceEvent startEvent(const QString &title, int cars = 3, int laps = 10)
{
    QJsonArray starters;
    for (int car = 1; car <= cars; ++car) {
        starters.append(QJsonObject{
            {StartPayload::kStartNumber, QString::number(car * 7)},
            {StartPayload::kDriver, QStringLiteral("Fahrer „%1“ Öhlschläger").arg(car)}});
    }
    TRaceEvent event;
    event.kind = TRaceEvent::Kind::Start;
    event.tick = 1000;
    event.wallMs = 1'796'000'000'000;
    event.payload = QJsonObject{
        {StartPayload::kTitle, title},       {StartPayload::kSession, QStringLiteral("Rennen")},
        {StartPayload::kCars, cars},         {StartPayload::kLaps, laps},
        {StartPayload::kLapLength, 7.5},     {StartPayload::kRaceSeconds, 600},
        {StartPayload::kWarningSeconds, 60}, {StartPayload::kStarters, starters}};
    return event;
}

// The n-th press of a race: the car and the stamps follow from n, so a reader can check them.
inline TRaceEvent press(int n, int cars = 12)
{
    TRaceEvent event;
    event.kind = TRaceEvent::Kind::Press;
    event.car = 1 + n % cars;
    event.tick = quint32(5000 + 37 * n);
    event.wallMs = 1'796'000'000'000 + 37 * n;
    return event;
}

inline TRaceEvent plain(TRaceEvent::Kind kind, quint32 tick = 9000)
{
    TRaceEvent event;
    event.kind = kind;
    event.tick = tick;
    event.wallMs = 1'796'000'100'000;
    return event;
}

} // namespace JournalSamples

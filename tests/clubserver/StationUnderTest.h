#pragma once

#include "ClubServerFixture.h"
#include "JournalSamples.h"
#include "RaceDayOutcome.h"
#include "RaceJournal.h"
#include "Replicator.h"

#include <QTemporaryDir>

#include <memory>

// One laptop sending its journal to the club server: its journal in a folder of its own and a
// replicator told of every event stored.
struct StationUnderTest
{
    QTemporaryDir dir;
    TRaceJournal journal;
    std::unique_ptr<TReplicator> push;

    QString path() const { return dir.filePath(QStringLiteral("journal.sqlite")); }

    bool open(ClubServerFixture &club, const QString &login)
    {
        if (!dir.isValid() || !journal.open(path()))
            return false;
        TReplicator::Timing timing;
        timing.connectTimeoutS = 2;
        timing.retryMs = 100;
        timing.maxRetryMs = 400;
        timing.plansEveryMs = 200;
        push = std::make_unique<TReplicator>(path(), club.config(login),
                                             ClubServerFixture::passwordOf(login), timing);
        QObject::connect(&journal, &TRaceJournal::eventStored, push.get(),
                         [this](qint64 raceId, int) { push->noteStored(raceId); });
        push->start();
        return true;
    }

    // A press of car at race time ms, as the window records it.
    static TRaceEvent press(int car, quint32 ms)
    {
        TRaceEvent event = JournalSamples::press(0, 12);
        event.car = car;
        event.tick = 1000 + ms;
        event.wallMs = 1'796'000'000'000 + ms;
        event.payload = QJsonObject{{QStringLiteral("ms"), qint64(ms)}};
        return event;
    }

    // A race of the given cars and laps with the first lapsPressed laps of every car pressed
    // (car c's lap n at n * 20 s + c * 1 s; all laps when -1); heat links it to a heat of a day.
    qint64 race(const QString &title, int cars, int laps,
                std::optional<std::pair<qint64, int>> heat = {}, int lapsPressed = -1)
    {
        TRaceEvent start = JournalSamples::startEvent(title, cars, laps);
        if (heat)
            LinkStartToHeat(start, heat->first, heat->second);
        const qint64 id = journal.startRace(start);
        for (int lap = 1; lap <= (lapsPressed < 0 ? laps : lapsPressed); ++lap) {
            for (int car = 1; car <= cars; ++car)
                journal.append(id, press(car, quint32(lap * 20000 + car * 1000)));
        }
        return id;
    }
};

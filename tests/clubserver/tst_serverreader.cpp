#include "ClubServerFixture.h"
#include "HeatsAcrossStations.h"
#include "PlanDocuments.h"
#include "RaceDayStore.h"
#include "ServerReader.h"
#include "StationUnderTest.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

namespace {
TServerReader::Timing quick()
{
    TServerReader::Timing timing;
    timing.connectTimeoutS = 2;
    timing.retryMs = 100;
    timing.maxRetryMs = 400;
    timing.checkEveryMs = 200;
    return timing;
}

// The seqs of the presses of car the spy has seen, in order.
QList<int> pressesSeen(const QSignalSpy &spy, int car)
{
    QList<int> seqs;
    for (const QList<QVariant> &signal : spy) {
        for (const TRaceEvent &event : signal.at(2).value<QList<TRaceEvent>>()) {
            if (event.kind == TRaceEvent::Kind::Press && event.car == car)
                seqs << event.seq;
        }
    }
    return seqs;
}

TRaceDay twoClassDay()
{
    TRaceDay day;
    day.name = QStringLiteral("Vereinslauf Herbst");
    day.date = QDate(2026, 10, 3);
    TRound round;
    round.id = 1;
    for (int id = 1; id <= 8; ++id)
        day.entrants.append(
            {id, QString::number(id * 3), QStringLiteral("Fahrer %1").arg(id), QString(), false});
    for (int heat = 1; heat <= 4; ++heat)
        round.heats.append({heat, {2 * heat - 1, 2 * heat}, 0});
    day.rounds.append(round);
    return day;
}
} // namespace

// Reading every station's races from a real PostgreSQL server while the stations send them.
class tst_ServerReader : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qRegisterMetaType<QList<TRaceEvent>>();
        QString error;
        QVERIFY2(m_club.start(&error), qPrintable(error));
    }

    // A press stored at a station is handed on by a reader following the race within a second,
    // through the server's notice; after the server was gone and came back, the reader connects
    // again by itself and hands on what was pressed meanwhile, nothing twice.
    void aPressReachesTheReaderWithinASecondAndAfterAnOutage()
    {
        StationUnderTest a;
        QVERIFY(a.open(m_club, QStringLiteral("bahn_a")));
        const qint64 race = a.race(QStringLiteral("Finale"), 2, 1);
        QVERIFY(a.journal.flush(5000));
        QVERIFY2(a.push->waitUntilCaughtUp(20000), qPrintable(a.push->state().text()));
        const QString station = TRaceDayStore(a.path()).stationId();

        TServerReader reader(m_club.config(QStringLiteral("buero")),
                             ClubServerFixture::passwordOf(QStringLiteral("buero")), quick());
        QSignalSpy arrived(&reader, &TServerReader::eventsArrived);
        reader.start();
        reader.follow(station, race);
        QTRY_COMPARE_WITH_TIMEOUT(pressesSeen(arrived, 1), (QList<int>{2}), 10000);
        QCOMPARE(reader.state().text(), QStringLiteral("Vereinsserver: verbunden"));

        QElapsedTimer pressed;
        pressed.start();
        a.journal.append(race, StationUnderTest::press(1, 40000));
        QTRY_VERIFY_WITH_TIMEOUT(pressesSeen(arrived, 1).size() == 2, 1000);
        qInfo("press at the station to the reader: %lld ms", pressed.elapsed());

        m_club.server.kill();
        QTRY_VERIFY_WITH_TIMEOUT(reader.state().kind == TReplicationState::Kind::Unreachable,
                                 10000);
        QVERIFY2(
            reader.state().text().startsWith(QStringLiteral("Vereinsserver nicht erreichbar: ")),
            qPrintable(reader.state().text()));
        a.journal.append(race, StationUnderTest::press(1, 60000));
        a.journal.append(race, StationUnderTest::press(2, 61000));
        QVERIFY2(m_club.server.restart(), qPrintable(m_club.server.errorString()));
        QTRY_COMPARE_WITH_TIMEOUT(pressesSeen(arrived, 2), (QList<int>{3, 6}), 20000);
        QCOMPARE(pressesSeen(arrived, 1), (QList<int>{2, 4, 5}));
        QCOMPARE(reader.state().text(), QStringLiteral("Vereinsserver: verbunden"));
    }

    // Station A made the day and times heats 1 and 2; station B took the day over and times
    // heats 3 and 4, and by mistake heat 2 as well. From A, the day has all four heats, heat 2
    // is a conflict that counts no race until chosen, and then counts the chosen one.
    void heatsOfTwoStationsMakeOneDayAndAHeatTimedTwiceWaitsForAChoice()
    {
        StationUnderTest a;
        StationUnderTest b;
        QVERIFY(a.open(m_club, QStringLiteral("bahn_a")));
        QVERIFY(b.open(m_club, QStringLiteral("bahn_b")));
        TRaceDayStore storeA(a.path());
        TRaceDayStore storeB(b.path());
        TRaceDay dayA = twoClassDay();
        QVERIFY(storeA.saveDay(dayA));
        const QString origin = PlanDocuments::dayOrigin(dayA, storeA.stationId());
        TRaceDay dayB = PlanDocuments::dayFromJson(PlanDocuments::dayToJson(dayA, {}), origin);
        QVERIFY(storeB.saveDay(dayB));

        a.race(QStringLiteral("Lauf 1"), 2, 3, std::pair(dayA.id, 1));
        const qint64 heat2A = a.race(QStringLiteral("Lauf 2"), 2, 3, std::pair(dayA.id, 2));
        b.race(QStringLiteral("Lauf 3"), 2, 4, std::pair(dayB.id, 3));
        b.race(QStringLiteral("Lauf 4"), 2, 5, std::pair(dayB.id, 4));
        // B's heat 2: car 2 ahead, unlike A's.
        const qint64 heat2B = b.journal.startRace([&] {
            TRaceEvent start = JournalSamples::startEvent(QStringLiteral("Lauf 2"), 2, 3);
            LinkStartToHeat(start, dayB.id, 2);
            return start;
        }());
        for (int lap = 1; lap <= 3; ++lap) {
            b.journal.append(heat2B, StationUnderTest::press(2, quint32(lap * 20000)));
            b.journal.append(heat2B, StationUnderTest::press(1, quint32(lap * 20000 + 500)));
        }
        QVERIFY(a.journal.flush(5000) && b.journal.flush(5000));
        QVERIFY2(a.push->waitUntilCaughtUp(20000), qPrintable(a.push->state().text()));
        QVERIFY2(b.push->waitUntilCaughtUp(20000), qPrintable(b.push->state().text()));

        TServerConnection office(m_club.config(QStringLiteral("bahn_a")),
                                 ClubServerFixture::passwordOf(QStringLiteral("bahn_a")));
        QVERIFY(office.open());
        const QString stationA = storeA.stationId();
        const QString stationB = storeB.stationId();
        const auto resultOfA = [&] {
            QString error;
            const QList<TServerHeatRace> server =
                ServerReads::heatRaces(office.db(), {origin}, stationA, &error);
            [&] { QVERIFY2(error.isEmpty(), qPrintable(error)); }();
            const TRaceDay stored = *storeA.day(dayA.id);
            const TDayAcrossStations across =
                HeatsAcrossStations(stored, stationA, server, storeA.heatChoices(origin));
            return std::pair(across, ComputeDayAcrossStations(across, storeA, 1));
        };

        auto [across, outcome] = resultOfA();
        QCOMPARE(across.conflicts.size(), 1);
        const THeatConflict &conflict = across.conflicts.first();
        QCOMPARE(conflict.heatId, 2);
        QVERIFY(!conflict.chosen);
        QCOMPARE(conflict.candidates.size(), 2);
        QCOMPARE(conflict.candidates.at(0).station, stationA);
        QCOMPARE(conflict.candidates.at(1).station, stationB);
        QVERIFY2(conflict.text().startsWith(QStringLiteral("Lauf doppelt gezeitet: Station ")) &&
                     conflict.text().endsWith(QStringLiteral(" – bitte wählen")),
                 qPrintable(conflict.text()));
        const QList<THeatResults> heats = outcome.classes.first().qualifyingHeats.first();
        QCOMPARE(heats.size(), 4);
        QCOMPARE(heats[0].first().laps, 3);
        QVERIFY(heats[1].isEmpty()); // not merged, not either race silently
        QCOMPARE(heats[2].first().laps, 4);
        QCOMPARE(heats[3].first().laps, 5);

        QVERIFY(storeA.chooseHeatRace(origin, {2, stationB, heat2B}));
        std::tie(across, outcome) = resultOfA();
        QVERIFY(across.conflicts.first().chosen);
        const THeatResults chosen = outcome.classes.first().qualifyingHeats.first()[1];
        QCOMPARE(chosen.first().entrantId, 4); // B's race: car 2, driver 4, ahead
        QCOMPARE(chosen, HeatResultsFromEvents(b.journal.events(heat2B), {3, 4}, 1));

        // The choice can be changed back to this station's race.
        QVERIFY(storeA.chooseHeatRace(origin, {2, stationA, heat2A}));
        std::tie(across, outcome) = resultOfA();
        QCOMPARE(outcome.classes.first().qualifyingHeats.first()[1].first().entrantId, 3);
    }

private:
    ClubServerFixture m_club;
};

QTEST_GUILESS_MAIN(tst_ServerReader)
#include "tst_serverreader.moc"

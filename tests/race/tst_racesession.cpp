#include "CorrectionEvents.h"
#include "ManualTickCounter.h"
#include "RaceSession.h"

#include <QHash>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

using State = TRaceSession::TState;
constexpr quint32 kStart = 50000;
constexpr qint64 kStartWall = 1'800'000'000'000;

TRaceEvent stopEvent()
{
    TRaceEvent stop;
    stop.kind = TRaceEvent::Kind::Stop;
    return stop;
}

TRaceSetup setupOf(int cars, int laps)
{
    TRaceSetup setup;
    setup.title = u"Vereinslauf"_s;
    setup.session = u"Rennen"_s;
    setup.cars = cars;
    setup.laps = laps;
    setup.lapLengthKm = 2.5;
    setup.raceSeconds = 3600;
    setup.warnTime = u"05:00"_s;
    for (int car = 1; car <= cars; ++car)
        setup.starters.append({QString::number(10 + car), u"Fahrer %1"_s.arg(car)});
    return setup;
}

// A race session on a clock set by hand, pressed as the window presses it.
struct TRace
{
    TManualTickCounter Clock{kStart};
    TRaceSession Session{Clock};

    TRace(int cars, int laps) { Session.Apply(setupOf(cars, laps).StartEvent(kStart, kStartWall)); }
    TRaceSession::TApplied press(int car, quint32 raceMs)
    {
        Clock.Set(kStart + raceMs);
        return Session.Press(car, kStart + raceMs, kStartWall + raceMs);
    }
    // Every key lock has run out by then.
    TRaceSession::TApplied pressLater(int car, quint32 raceMs)
    {
        Clock.Set(kStart + raceMs);
        Session.ReleaseKeyLocks();
        return press(car, raceMs);
    }
    void apply(const TRaceEvent &event) { Session.Apply(event); }
    const TRaceCorrections::TCrossing &crossing(int id) const
    {
        const TRaceCorrections::TCrossing *c = Session.Corrections().Crossing(id);
        Q_ASSERT(c);
        return *c;
    }
    int laps(int car) const { return Session.Timing().LapTable[car].Count; }
};

QStringList cells(const TRaceSession &session)
{
    QStringList all;
    const TStandingsTable &table = session.Standings();
    for (int row = 1; row < table.RowCount(); ++row) {
        QStringList line;
        for (int col = 0; col < TStandingsTable::kColumns; ++col)
            line << table.Cell(col, row);
        all << line.join(u'|');
    }
    return all;
}

} // namespace

class TestRaceSession : public QObject
{
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void raceLoadedFromItsEventsEqualsTheRacePressedLive();
    void nameTypedAfterStartIsAnEventOfTheRace();
    void slipThatEndsTheRaceEarlyIsTakenBack();
    void pressWithinTheKeyLockIsKeptAndCanBeMoved();
    void insertedCrossingKeepsTheTimeOfDayOfTheRace();
    void spectatorsAreToldVerdictsAndLapsBehind();
};

void TestRaceSession::raceLoadedFromItsEventsEqualsTheRacePressedLive()
{
    TRace live(3, 4);
    quint32 ms = 0;
    for (int lap = 1; lap <= 3; ++lap) {
        for (int car = 1; car <= 3; ++car)
            live.pressLater(car, ms += 20000 + 700 * quint32(car * lap));
    }
    const int slip = live.pressLater(2, ms += 500).event.seq;
    live.apply(CorrectionEvents::Move(slip, 3, live.Clock.GetTickCount(), 0));
    TCarVerdict penalty;
    penalty.penaltyMs = 3000;
    live.apply(CorrectionEvents::Verdict(1, penalty, live.Clock.GetTickCount(), 0));
    live.Session.EditStarter(2, TStandingsTable::colFahrer, u"Mia Lang"_s, 0, 0);
    live.apply(CorrectionEvents::Undo(live.Session.Corrections().UndoTarget(), 0, 0));

    // A resume after a reboot: the same race on a counter that starts elsewhere.
    TManualTickCounter clock(7);
    TRaceSession loaded(clock);
    loaded.Load(live.Session.Events(), 7);
    QCOMPARE(loaded.State(), State::Running);
    QCOMPARE(cells(loaded), cells(live.Session));
    QCOMPARE(loaded.Corrections().Crossings().size(),
             live.Session.Corrections().Crossings().size());
    QCOMPARE(loaded.Results({}).rows.size(), live.Session.Results({}).rows.size());
    QCOMPARE(loaded.WinnerText(), live.Session.WinnerText());
    // The next event continues the race's numbering.
    QCOMPARE(loaded.Apply(stopEvent()).event.seq, live.Session.Events().last().seq + 1);
}

void TestRaceSession::nameTypedAfterStartIsAnEventOfTheRace()
{
    TRace race(2, 3);
    race.pressLater(1, 60000);
    const int row = race.Session.Timing().RowOfCar(2);
    const TRaceSession::TApplied typed =
        race.Session.EditStarter(row, TStandingsTable::colFahrer, u"Jonas Weiß"_s, 0, 0);
    QVERIFY(typed.recorded);
    QCOMPARE(typed.event.kind, TRaceEvent::Kind::StarterEdit);
    QCOMPARE(race.Session.StarterOfCar(2).second, u"Jonas Weiß"_s);
    // A correction recomputes the race from its events: the name stays.
    const int press = race.pressLater(2, 61000).event.seq;
    race.apply(CorrectionEvents::Delete(press, 2, 0, 0));
    QCOMPARE(race.Session.StarterOfCar(2).second, u"Jonas Weiß"_s);
    // Resumed or opened later, the race shows it too.
    TRaceSession loaded(race.Clock);
    loaded.Load(race.Session.Events(), kStart);
    QCOMPARE(loaded.StarterOfCar(2).second, u"Jonas Weiß"_s);
    QCOMPARE(loaded.StarterOfCar(1).second, u"Fahrer 1"_s);
    // Undone like a correction; an unchanged name is no event.
    race.apply(CorrectionEvents::Undo(race.Session.Corrections().UndoTarget(), 0, 0)); // delete
    race.apply(CorrectionEvents::Undo(race.Session.Corrections().UndoTarget(), 0, 0)); // name
    QCOMPARE(race.Session.StarterOfCar(2).second, u"Fahrer 2"_s);
    QVERIFY(
        !race.Session.EditStarter(row, TStandingsTable::colFahrer, u"Fahrer 2"_s, 0, 0).recorded);
}

void TestRaceSession::slipThatEndsTheRaceEarlyIsTakenBack()
{
    TRace race(3, 2);
    race.pressLater(1, 60000);
    race.pressLater(2, 61000);
    race.pressLater(3, 62000);
    race.pressLater(1, 120000);
    race.pressLater(2, 121000);
    QCOMPARE(race.Session.State(), State::Running);
    // Car 1 crosses once more; F3 is pressed by mistake: car 3's last lap, the race ends.
    const int slip = race.pressLater(3, 180000).event.seq;
    QCOMPARE(race.Session.State(), State::Ended);
    QCOMPARE(race.laps(3), 2);
    // Car 3's real crossing 3 s later is kept, though it does not count now.
    const TRaceSession::TApplied real = race.pressLater(3, 183000);
    QVERIFY(real.recorded);
    QVERIFY(race.Session.AfterFinish(3, 183000));
    // The slip goes to car 1: car 3's own crossing is its last lap.
    race.apply(CorrectionEvents::Move(slip, 1, 0, 0));
    QCOMPARE(race.laps(3), 2);
    QCOMPARE(race.Session.Timing().CrossTable[3].Slot[2], 183000);
    QCOMPARE(race.Session.State(), State::Ended);
    // Deleting that crossing takes the end back: the race runs on and counts car 3 again.
    race.apply(CorrectionEvents::Delete(real.event.seq, 3, 0, 0));
    QCOMPARE(race.Session.State(), State::Running);
    race.pressLater(3, 190000);
    QCOMPARE(race.laps(3), 2);
    QCOMPARE(race.Session.State(), State::Ended);
    // A race the operator stopped stays stopped whatever a correction does.
    TRace stopped(2, 2);
    stopped.pressLater(1, 60000);
    const int early = stopped.pressLater(2, 61000).event.seq;
    stopped.apply(stopEvent());
    stopped.apply(CorrectionEvents::Delete(early, 2, 0, 0));
    QCOMPARE(stopped.Session.State(), State::Stopped);
}

void TestRaceSession::pressWithinTheKeyLockIsKeptAndCanBeMoved()
{
    TRace race(2, 5);
    race.pressLater(1, 60000);
    // F1 again 0.4 s later, while its key is locked: car 2 crossed and the wrong key was hit.
    const TRaceSession::TApplied locked = race.press(1, 60400);
    QVERIFY(locked.recorded);
    QVERIFY(PressLocked(locked.event));
    QCOMPARE(race.crossing(locked.event.seq).state, TRaceCorrections::State::Locked);
    QCOMPARE(race.laps(1), 1);
    race.apply(CorrectionEvents::Move(locked.event.seq, 2, 0, 0));
    QCOMPARE(race.laps(1), 1);
    QCOMPARE(race.laps(2), 1);
    QCOMPARE(race.Session.Timing().CrossTable[2].Slot[1], 60400);
    // Confirmed instead, a locked press counts for its own car.
    TRace confirmed(1, 5);
    confirmed.pressLater(1, 60000);
    const int id = confirmed.press(1, 60900).event.seq;
    confirmed.apply(CorrectionEvents::Confirm(id, 1, 0, 0));
    QCOMPARE(confirmed.laps(1), 2);
}

void TestRaceSession::insertedCrossingKeepsTheTimeOfDayOfTheRace()
{
    TRace race(2, 5);
    race.pressLater(1, 60000);
    race.Clock.Set(kStart + 300000);
    // Inserted five minutes later, for a crossing at 1:30.0 race time.
    const int inserted =
        race.Session.Apply(CorrectionEvents::Insert(2, 90000, kStart + 300000, kStartWall + 300000))
            .event.seq;
    QCOMPARE(race.crossing(inserted).wallMs, kStartWall + 90000);
    race.apply(CorrectionEvents::Edit(inserted, 2, 95000, kStart + 310000, kStartWall + 310000));
    QCOMPARE(race.crossing(inserted).wallMs, kStartWall + 95000);
}

void TestRaceSession::spectatorsAreToldVerdictsAndLapsBehind()
{
    TRace race(5, 10);
    quint32 ms = 0;
    // Car 1 drives four laps, car 2 one, car 3 three and then retires, car 4 four with one taken
    // off, car 5 none.
    for (int lap = 1; lap <= 4; ++lap) {
        race.pressLater(1, ms += 60000);
        race.pressLater(4, ms += 1000);
        if (lap == 1)
            race.pressLater(2, ms += 1000);
        if (lap <= 3)
            race.pressLater(3, ms += 1000);
    }
    TCarVerdict retired;
    retired.status = TCarVerdict::Status::Retired;
    retired.fromLap = 3;
    race.apply(CorrectionEvents::Verdict(3, retired, race.Clock.GetTickCount(), 0));
    TCarVerdict lapOff;
    lapOff.lapsOff = 1;
    race.apply(CorrectionEvents::Verdict(4, lapOff, race.Clock.GetTickCount(), 0));

    const TLiveStandings standings = race.Session.Audience({}, {}, {}, race.Clock.GetTickCount());
    QHash<int, TLiveRow> byCar;
    for (const TLiveRow &row : standings.rows)
        byCar.insert(row.car, row);
    QCOMPARE(standings.rows.first().car, 1);
    QCOMPARE(byCar[1].lapsBehind, 0);
    // Three laps down: its time gap compares only the lap both drove.
    QCOMPARE(byCar[2].lapsBehind, 3);
    QVERIFY(!byCar[2].gap.isEmpty());
    QCOMPARE(byCar[3].status, u"DNF"_s);
    QCOMPARE(byCar[3].lapsBehind, 1);
    QVERIFY(byCar[3].finished); // no longer awaited, as before
    // Laps taken off count as laps behind, as the ranking counts them.
    QCOMPARE(byCar[4].lapsBehind, 1);
    QCOMPARE(byCar[4].status, QString());
    QCOMPARE(byCar[5].lapsBehind, 0); // without a lap it is behind nobody yet
}

QTEST_GUILESS_MAIN(TestRaceSession)
#include "tst_racesession.moc"

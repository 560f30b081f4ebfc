#include "CorrectionEvents.h"
#include "ManualTickCounter.h"
#include "PassLogModel.h"
#include "PassReplay.h"
#include "RaceCorrections.h"
#include "RaceSetup.h"
#include "RaceTiming.h"

#include <QDateTime>
#include <QTest>
#include <cstring>
#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

using Kind = TRaceEvent::Kind;
using State = TRaceCorrections::State;
namespace CE = CorrectionEvents;

constexpr quint32 kStart = 500000;
constexpr int kCars = 4;
constexpr int kLaps = 5;
constexpr quint32 kLapMs = 60000;

// The race time at which car crosses the line to complete lap: every car laps in kLapMs, one
// second apart, so the midpoint of two crossings is the crossing between them.
quint32 crossingMs(int car, int lap)
{
    return quint32(lap) * kLapMs + quint32(car) * 1000;
}

// A race's events as the journal numbers them, made one after another.
struct TRecorder
{
    QList<TRaceEvent> events;

    int add(TRaceEvent event)
    {
        event.seq = int(events.size()) + 1;
        if (event.wallMs == 0)
            event.wallMs = 1700000000000 + event.seq * 1000;
        events.append(event);
        return event.seq;
    }
    int press(int car, quint32 raceMs) { return add(PressEvent(car, kStart + raceMs, kStart, 0)); }
    int correct(TRaceEvent event) { return add(event); }
};

// Presses of the correct race, lap after lap, cars in order; skip(car, lap) leaves a press out
// and extra(car, lap) lets the test add slips right after that press.
TRecorder pressedRace(const std::function<void(TRecorder &, int car, int lap, int seq)> &after = {})
{
    TRecorder r;
    TRaceSetup setup;
    setup.cars = kCars;
    setup.laps = kLaps;
    r.add(setup.StartEvent(kStart, 0));
    for (int lap = 1; lap <= kLaps; ++lap) {
        for (int car = 1; car <= kCars; ++car) {
            const int seq = r.press(car, crossingMs(car, lap));
            if (after)
                after(r, car, lap, seq);
        }
    }
    return r;
}

// The race tables and standings built from the counted crossings, as the window rebuilds them.
struct TTables
{
    TManualTickCounter Clock{kStart};
    TStandingsTable Grid;
    TRaceTiming Timing{&Grid, Clock};

    explicit TTables(const QList<TRaceCorrections::TPass> &passes)
    {
        for (int row = 1; row <= kMaxCars; ++row)
            Grid.SetCell(TRaceTiming::colKey, row, QStringLiteral("F%1").arg(row));
        Grid.SetRowCount(kCars + 1);
        rebuild(passes);
    }
    void rebuild(const QList<TRaceCorrections::TPass> &passes)
    {
        Timing.StartRaceAt(kCars, kLaps, 15.0, kStart);
        for (const TRaceCorrections::TPass &pass : passes)
            Timing.ApplyPress(pass.car, kStart + pass.raceMs);
    }
    QStringList cells() const
    {
        QStringList all;
        for (int row = 1; row < Grid.RowCount(); ++row) {
            for (int col = 0; col < TRaceTiming::kStandingsColumns; ++col)
                all << Grid.Cell(col, row);
        }
        return all;
    }
};

void compareTables(const TTables &got, const TTables &want)
{
    for (int car = 0; car <= kCars; ++car) {
        QVERIFY2(std::memcmp(&got.Timing.LapTable[car], &want.Timing.LapTable[car],
                             sizeof(TLapRecord)) == 0,
                 qPrintable(QStringLiteral("LapTable[%1]").arg(car)));
        QVERIFY2(std::memcmp(&got.Timing.CrossTable[car], &want.Timing.CrossTable[car],
                             sizeof(TCrossRecord)) == 0,
                 qPrintable(QStringLiteral("CrossTable[%1]").arg(car)));
    }
    QVERIFY(std::memcmp(got.Timing.Ranking, want.Timing.Ranking, sizeof(got.Timing.Ranking)) == 0);
    QCOMPARE(got.cells(), want.cells());
}

QList<TRaceCorrections::TPass> countedOf(const QList<TRaceEvent> &events, quint32 minLapMs = 0)
{
    TRaceCorrections corrections(minLapMs);
    corrections.Rebuild(events);
    return corrections.Counted();
}

using TScenario = std::function<void(TRecorder &)>;

} // namespace

Q_DECLARE_METATYPE(TScenario)

class TestRaceCorrections : public QObject
{
    Q_OBJECT
private slots:
    void correctedRaceEqualsCorrectRace_data();
    void correctedRaceEqualsCorrectRace();
    void undoAndRedo();
    void undoRedoChainAndPresses();
    void strayUndoAndRedoIgnored();
    void appendKeepsTablesAsRebuild();
    void guardHoldsAndReleases();
    void likelyMissedAndSplit();
    void likelyDoublePress();
    void fastReplayEqualsPressByPress();
    void passLogFollowsEveryCorrection();
    void logTexts();
};

void TestRaceCorrections::correctedRaceEqualsCorrectRace_data()
{
    QTest::addColumn<TScenario>("scenario");

    QTest::newRow("wrong key, moved") << TScenario([](TRecorder &r) {
        r = pressedRace([](TRecorder &rr, int car, int lap, int) {
            if (car == 4 && lap == 3) {
                const int wrong = rr.events.last().seq;
                rr.events.last().car = 3; // F3 pressed for car 4
                rr.correct(CE::Move(wrong, 4, 0, 0));
            }
        });
    });
    QTest::newRow("double press, deleted") << TScenario([](TRecorder &r) {
        r = pressedRace([](TRecorder &rr, int car, int lap, int) {
            if (car == 2 && lap == 2) {
                const int extra = rr.press(2, crossingMs(2, 2) + 1500);
                rr.correct(CE::Delete(extra, 2, 0, 0));
            }
        });
    });
    QTest::newRow("missed press, inserted later") << TScenario([](TRecorder &r) {
        r = pressedRace([](TRecorder &rr, int car, int lap, int) {
            if (car == 1 && lap == 2)
                rr.events.removeLast(); // never pressed (the next press takes its seq)
        });
        r.correct(CE::Insert(1, crossingMs(1, 2), 0, 0));
    });
    QTest::newRow("missed press, lap split") << TScenario([](TRecorder &r) {
        int next = 0;
        r = pressedRace([&next](TRecorder &rr, int car, int lap, int) {
            if (car == 3 && lap == 3)
                rr.events.removeLast();
            if (car == 3 && lap == 4)
                next = rr.events.last().seq;
        });
        TRaceCorrections c;
        c.Rebuild(r.events);
        r.correct(CE::Insert(3, c.SplitMs(next), 0, 0));
    });
    QTest::newRow("late press, edited") << TScenario([](TRecorder &r) {
        r = pressedRace([](TRecorder &rr, int car, int lap, int seq) {
            if (car == 2 && lap == 4) {
                rr.events.last() = PressEvent(2, kStart + crossingMs(2, 4) + 700, kStart, 0);
                rr.events.last().seq = seq;
                rr.events.last().wallMs = 1;
                rr.correct(CE::Edit(seq, 2, crossingMs(2, 4), 0, 0));
            }
        });
    });
    QTest::newRow("early press, edited later") << TScenario([](TRecorder &r) {
        // F2 pressed half a lap early, before car 1's crossing: once edited it stands after a
        // crossing pressed later.
        int early = 0;
        r = pressedRace([&early](TRecorder &rr, int car, int lap, int) {
            if (car == 4 && lap == 1)
                early = rr.press(2, crossingMs(2, 2) - kLapMs / 2);
            if (car == 2 && lap == 2) {
                rr.events.removeLast();
                rr.correct(CE::Edit(early, 2, crossingMs(2, 2), 0, 0));
            }
        });
    });
    QTest::newRow("stray press, taken back") << TScenario([](TRecorder &r) {
        r = pressedRace([](TRecorder &rr, int car, int lap, int) {
            if (car == 4 && lap == 1)
                rr.correct(CE::Undo(rr.press(1, crossingMs(4, 1) + 200), 0, 0));
        });
    });
    QTest::newRow("insert on the wrong car and time, then moved and edited")
        << TScenario([](TRecorder &r) {
               r = pressedRace([](TRecorder &rr, int car, int lap, int) {
                   if (car == 4 && lap == 5)
                       rr.events.removeLast();
               });
               const int inserted = r.correct(CE::Insert(3, 123456, 0, 0));
               r.correct(CE::Move(inserted, 4, 0, 0));
               r.correct(CE::Edit(inserted, 4, crossingMs(4, 5), 0, 0));
           });
    QTest::newRow("after the end, every car wrong") << TScenario([](TRecorder &r) {
        // Four slips in one race, corrected after END.
        r = pressedRace([](TRecorder &rr, int car, int lap, int) {
            if (car == 1 && lap == 5)
                rr.events.last().car = 2;
            if (car == 3 && lap == 1)
                rr.events.removeLast();
            if (car == 4 && lap == 2)
                rr.press(4, crossingMs(4, 2) + 900);
        });
        TRaceEvent end;
        end.kind = Kind::End;
        r.add(end);
        for (const TRaceEvent &e : QList<TRaceEvent>(r.events)) {
            if (e.kind == Kind::Press && e.car == 2 && PressRaceMs(e) == crossingMs(1, 5))
                r.correct(CE::Move(e.seq, 1, 0, 0));
            if (e.kind == Kind::Press && e.car == 4 && PressRaceMs(e) == crossingMs(4, 2) + 900)
                r.correct(CE::Delete(e.seq, 4, 0, 0));
        }
        r.correct(CE::Insert(3, crossingMs(3, 1), 0, 0));
    });
}

void TestRaceCorrections::correctedRaceEqualsCorrectRace()
{
    QFETCH(TScenario, scenario);
    const QList<TRaceCorrections::TPass> want = countedOf(pressedRace().events);
    TRecorder slipped;
    scenario(slipped);
    // The slips alone put the race wrong; the corrections put it right.
    QList<TRaceEvent> uncorrected;
    for (const TRaceEvent &e : slipped.events) {
        if (!CE::IsCorrection(e.kind))
            uncorrected.append(e);
    }
    QVERIFY(countedOf(uncorrected) != want);
    const QList<TRaceCorrections::TPass> got = countedOf(slipped.events);
    QCOMPARE(got, want);
    const auto wantTables = std::make_unique<TTables>(want);
    const auto gotTables = std::make_unique<TTables>(got);
    compareTables(*gotTables, *wantTables);
}

void TestRaceCorrections::undoAndRedo()
{
    TRecorder r = pressedRace();
    const QList<TRaceCorrections::TPass> correct = countedOf(r.events);
    const int target = r.events[5].seq;
    const int del = r.correct(CE::Delete(target, r.events[5].car, 0, 0));
    const QList<TRaceCorrections::TPass> deleted = countedOf(r.events);
    QCOMPARE(deleted.size(), correct.size() - 1);

    TRaceCorrections c;
    c.Rebuild(r.events);
    QCOMPARE(c.UndoTarget(), del);
    QCOMPARE(c.RedoTarget(), 0);
    QCOMPARE(c.Crossing(target)->state, State::Deleted);

    const int undo = r.correct(CE::Undo(del, 0, 0));
    QVERIFY(c.Append(r.events.last()));
    QCOMPARE(c.Counted(), correct);
    QCOMPARE(c.RedoTarget(), undo);
    QCOMPARE(c.UndoTarget(), 0); // presses are no corrections to take back
    QVERIFY(c.Log().first().undone);

    r.correct(CE::Redo(undo, 0, 0));
    QVERIFY(c.Append(r.events.last()));
    QCOMPARE(c.Counted(), deleted);
    QCOMPARE(c.UndoTarget(), del);
    QCOMPARE(c.RedoTarget(), 0);
    QVERIFY(!c.Log().first().undone);
    QVERIFY(c.Log()[1].undone); // the undo itself was reversed
}

void TestRaceCorrections::undoRedoChainAndPresses()
{
    TRecorder r = pressedRace();
    const QList<TRaceCorrections::TPass> correct = countedOf(r.events);
    const int target = r.events[7].seq;
    const int edit = r.correct(CE::Edit(target, r.events[7].car, 99999, 0, 0));
    const QList<TRaceCorrections::TPass> edited = countedOf(r.events);
    const int undo1 = r.correct(CE::Undo(edit, 0, 0));
    r.correct(CE::Redo(undo1, 0, 0));
    TRaceCorrections c;
    c.Rebuild(r.events);
    QCOMPARE(c.Counted(), edited);
    // The redone edit is again what Ctrl+Z takes back, and again what Ctrl+Y brings back.
    QCOMPARE(c.UndoTarget(), edit);
    const int undo2 = r.correct(CE::Undo(edit, 0, 0));
    c.Rebuild(r.events);
    QCOMPARE(c.Counted(), correct);
    QCOMPARE(c.RedoTarget(), undo2);

    // A press in between keeps the redo; the redo brings the edit back.
    const int lastPress = r.press(1, crossingMs(1, 6));
    c.Rebuild(r.events);
    QCOMPARE(c.RedoTarget(), undo2);
    r.correct(CE::Redo(undo2, 0, 0));
    c.Rebuild(r.events);
    QCOMPARE(c.Crossing(target)->raceMs, 99999u);

    // Taking back the edit leaves nothing for Ctrl+Z: the press after it is no correction. An
    // undo of that press, as an older journal may hold it, is still replayed.
    const int undo3 = r.correct(CE::Undo(edit, 0, 0));
    c.Rebuild(r.events);
    QCOMPARE(c.UndoTarget(), 0);
    r.correct(CE::Undo(lastPress, 0, 0));
    c.Rebuild(r.events);
    QCOMPARE(c.Counted(), correct);
    QCOMPARE(c.Crossing(lastPress)->state, State::Deleted);

    // A new correction clears the redo: neither undo can be redone any more.
    r.correct(CE::Insert(2, 12345, 0, 0));
    c.Rebuild(r.events);
    QCOMPARE(c.RedoTarget(), 0);
    QVERIFY(!c.Append(CE::Redo(undo3, 0, 0)));
    QCOMPARE(c.Crossing(target)->raceMs, crossingMs(r.events[7].car, 2));
}

void TestRaceCorrections::strayUndoAndRedoIgnored()
{
    TRecorder r = pressedRace();
    const int first = r.correct(CE::Delete(r.events[1].seq, 1, 0, 0));
    r.correct(CE::Delete(r.events[2].seq, 2, 0, 0));
    TRaceCorrections c;
    c.Rebuild(r.events);
    const QList<TRaceCorrections::TPass> before = c.Counted();
    // Only the last correction can be taken back; a redo needs an undo to reverse.
    TRaceEvent undo = CE::Undo(first, 0, 0);
    undo.seq = 1000;
    QVERIFY(!c.Append(undo));
    TRaceEvent redo = CE::Redo(first, 0, 0);
    redo.seq = 1001;
    QVERIFY(!c.Append(redo));
    TRaceEvent deleteAgain = CE::Delete(r.events[1].seq, 1, 0, 0);
    deleteAgain.seq = 1002;
    QVERIFY(!c.Append(deleteAgain));
    QCOMPARE(c.Counted(), before);
    QCOMPARE(c.Log().size(), 2);

    // Presses the journal could not number, or numbered twice, still count.
    TRaceEvent unnumbered = PressEvent(1, kStart + 400000, kStart, 0);
    QVERIFY(!c.Append(unnumbered));
    QVERIFY(!c.Append(unnumbered));
    unnumbered.seq = first;
    QVERIFY(!c.Append(unnumbered));
    QCOMPARE(c.Counted().size(), before.size() + 3);
    QVERIFY(c.Crossing(1005));
    QCOMPARE(c.UndoTarget(), r.events.last().seq); // the last correction, not a press
}

void TestRaceCorrections::appendKeepsTablesAsRebuild()
{
    // The window's way: a pass appended at the end is applied alone, anything else rebuilds.
    TRecorder r = pressedRace([](TRecorder &rr, int car, int lap, int seq) {
        if (car == 2 && lap == 2)
            rr.correct(CE::Undo(seq, 0, 0));
        if (car == 3 && lap == 3)
            rr.press(3, crossingMs(3, 3) + 200); // held by the guard
        if (car == 4 && lap == 4)
            rr.correct(CE::Move(seq, 1, 0, 0));
    });
    TRaceCorrections live(30000);
    TTables tables({});
    int rebuilds = 0;
    for (const TRaceEvent &e : r.events) {
        if (live.Append(e)) {
            tables.rebuild(live.Counted());
            ++rebuilds;
        } else if (live.LastPassAppended()) {
            const TRaceCorrections::TPass &pass = live.Counted().last();
            tables.Timing.ApplyPress(pass.car, kStart + pass.raceMs);
        }
    }
    QCOMPARE(rebuilds, 2);
    TRaceCorrections replayed(30000);
    replayed.Rebuild(r.events);
    QCOMPARE(live.Counted(), replayed.Counted());
    QCOMPARE(live.Log().size(), replayed.Log().size());
    const auto fresh = std::make_unique<TTables>(replayed.Counted());
    compareTables(tables, *fresh);
}

void TestRaceCorrections::guardHoldsAndReleases()
{
    TRecorder r;
    r.press(1, 60000);
    const int doubled = r.press(1, 60400);
    const int next = r.press(1, 118000); // 58 s after the counted crossing
    TRaceCorrections c(30000);
    c.Rebuild(r.events);
    QCOMPARE(c.Crossing(doubled)->state, State::Held);
    QCOMPARE(c.Crossing(next)->lap, 2);
    QCOMPARE(c.Crossing(next)->lapMs, 58000);
    QCOMPARE(c.Counted().size(), 2);

    const int confirm = r.correct(CE::Confirm(doubled, 1, 0, 0));
    QVERIFY(c.Append(r.events.last()));
    QCOMPARE(c.Crossing(doubled)->state, State::Counted);
    QCOMPARE(c.Crossing(doubled)->lapMs, 400);
    QCOMPARE(c.Crossing(next)->lap, 3);
    QCOMPARE(c.Counted().size(), 3);

    r.correct(CE::Undo(confirm, 0, 0));
    c.Rebuild(r.events);
    QCOMPARE(c.Crossing(doubled)->state, State::Held);

    // A race replays with the guard its START recorded, not with today's setting.
    TRecorder started;
    TRaceSetup setup;
    setup.cars = 2;
    TRaceEvent start = setup.StartEvent(kStart, 0);
    CE::SetMinLapMs(start, 30000);
    started.add(start);
    started.press(1, 60000);
    const int early = started.press(1, 61500);
    TRaceCorrections unguarded(0);
    unguarded.Rebuild(started.events);
    QCOMPARE(unguarded.MinLapMs(), 30000u);
    QCOMPARE(unguarded.Crossing(early)->state, State::Held);

    // Off, nothing is held; a held press appended live needs no rebuild and adds no pass.
    c.SetMinLapMs(0);
    QCOMPARE(c.Counted().size(), 3);
    c.SetMinLapMs(30000);
    TRaceEvent again = PressEvent(1, kStart + 118500, kStart, 0);
    again.seq = 100;
    QVERIFY(!c.Append(again));
    QVERIFY(!c.LastPassAppended());
    QCOMPARE(c.Crossing(100)->state, State::Held);
    QCOMPARE(c.Counted().size(), 2);
}

void TestRaceCorrections::likelyMissedAndSplit()
{
    TRecorder r;
    for (quint32 ms : {60000u, 121000u, 180000u, 300000u, 361000u})
        r.press(5, ms);
    TRaceCorrections c;
    c.Rebuild(r.events);
    const QList<TRaceCorrections::TCrossing> all = c.Crossings();
    QList<bool> marks;
    for (const TRaceCorrections::TCrossing &x : all)
        marks << x.likelyMissed;
    QCOMPARE(marks, QList<bool>({false, false, false, true, false}));
    QCOMPARE(c.SplitMs(all[3].id), 240000u);
    QCOMPARE(c.SplitMs(all[0].id), 30000u);
    r.correct(CE::Insert(5, c.SplitMs(all[3].id), 0, 0));
    c.Rebuild(r.events);
    for (const TRaceCorrections::TCrossing &x : c.Crossings())
        QVERIFY(!x.likelyMissed);
    QCOMPARE(c.Counted().size(), 6);
}

void TestRaceCorrections::likelyDoublePress()
{
    // Laps of about a minute, then F5 pressed twice 1.6 s apart.
    TRecorder r;
    int doubled = 0;
    for (quint32 ms : {60000u, 121000u, 180000u, 181600u, 240000u}) {
        const int id = r.press(5, ms);
        if (ms == 181600u)
            doubled = id;
    }
    TRaceCorrections c;
    c.Rebuild(r.events);
    QList<bool> marks;
    for (const TRaceCorrections::TCrossing &x : c.Crossings())
        marks << x.likelyDouble;
    QCOMPARE(marks, QList<bool>({false, false, false, true, false}));
    QCOMPARE(TRaceCorrections::NoteText(*c.Crossing(doubled), false),
             QStringLiteral("Runde zu kurz \u2013 doppelt gedrückt?"));
    // Deleted, it is no lap and no question any more.
    r.correct(CE::Delete(doubled, 5, 0, 0));
    c.Rebuild(r.events);
    QCOMPARE(TRaceCorrections::NoteText(*c.Crossing(doubled), false), QStringLiteral("gelöscht"));
    for (const TRaceCorrections::TCrossing &x : c.Crossings())
        QVERIFY(!x.likelyDouble || x.state != TRaceCorrections::State::Counted);
}

void TestRaceCorrections::logTexts()
{
    TRecorder r;
    const int f3 = r.press(3, 62400);
    const int f4 = r.press(4, 125100);
    const int held = r.press(5, 126000);
    const int del = r.correct(CE::Delete(f3, 3, 0, 0));
    const int undo = r.correct(CE::Undo(del, 0, 0));
    r.correct(CE::Redo(undo, 0, 0));
    r.correct(CE::Move(f4, 5, 0, 0));
    const int ins = r.correct(CE::Insert(7, 3723400, 0, 0));
    r.correct(CE::Edit(ins, 7, 3724000, 0, 0));
    r.correct(CE::Confirm(held, 5, 0, 0));
    TRaceCorrections c(30000);
    c.Rebuild(r.events);
    QStringList texts;
    for (const TRaceCorrections::TLogEntry &entry : c.Log())
        texts << entry.text;
    QCOMPARE(texts, QStringList({
                        u"Runde von F3 bei 1:02.4 gelöscht"_s,
                        u"Zurückgenommen: Runde von F3 bei 1:02.4 gelöscht"_s,
                        u"Wiederhergestellt: Runde von F3 bei 1:02.4 gelöscht"_s,
                        u"F4 bei 2:05.1 auf F5 verschoben"_s,
                        u"Runde von F7 bei 1:02:03.4 eingefügt"_s,
                        u"Zeit von F7 von 1:02:03.4 auf 1:02:04.0 geändert"_s,
                        u"Gehaltene Runde von F5 bei 2:06.0 bestätigt"_s,
                    }));
    QCOMPARE(c.Log()[3].wallMs, r.events[6].wallMs);
    const QString made = QDateTime::fromMSecsSinceEpoch(r.events[6].wallMs).toString(u"HH:mm:ss"_s);
    QCOMPARE(TRaceCorrections::LogLine(c.Log()[3]), made + u"  F4 bei 2:05.1 auf F5 verschoben"_s);
    QCOMPARE(c.UndoText(), u"Rückgängig: Gehaltene Runde von F5 bei 2:06.0 bestätigt"_s);
    r.correct(CE::Undo(r.events.last().seq, 0, 0));
    c.Rebuild(r.events);
    QCOMPARE(c.RedoText(), u"Wiederherstellen: Gehaltene Runde von F5 bei 2:06.0 bestätigt"_s);
    r.correct(CE::Undo(ins + 1, 0, 0));
    r.correct(CE::Undo(ins, 0, 0));
    c.Rebuild(r.events);
    QCOMPARE(c.UndoText(), u"Rückgängig: F4 bei 2:05.1 auf F5 verschoben"_s);
    QCOMPARE(c.Log().last().text, u"Zurückgenommen: Runde von F7 bei 1:02:03.4 eingefügt"_s);
    r.correct(CE::Undo(f4 + 0, 0, 0)); // not the last action: ignored
    c.Rebuild(r.events);
    QCOMPARE(c.Log().last().text, u"Zurückgenommen: Runde von F7 bei 1:02:03.4 eingefügt"_s);

    // A press's text, made only when asked for, reads the same live and after a rebuild.
    TRecorder p;
    const int pressed = p.press(2, 187500);
    TRaceCorrections live(30000);
    live.Append(p.events.last());
    QCOMPARE(live.UndoText(), QString()); // Ctrl+Z takes back no press
    p.correct(CE::Undo(pressed, 0, 0));
    TRaceCorrections rebuilt(30000);
    rebuilt.Rebuild(p.events);
    QCOMPARE(rebuilt.Log().last().text, u"Zurückgenommen: Druck von F2 bei 3:07.5"_s);
    QCOMPARE(rebuilt.RedoText(), u"Wiederherstellen: Druck von F2 bei 3:07.5"_s);
    p.correct(CE::Redo(p.events.last().seq, 0, 0));
    rebuilt.Rebuild(p.events);
    QCOMPARE(rebuilt.Log().last().text, u"Wiederhergestellt: Druck von F2 bei 3:07.5"_s);
}

void TestRaceCorrections::fastReplayEqualsPressByPress()
{
    // Car 2 stops after two laps, car 4 is pressed beyond the race distance, car 1 is moved and
    // car 3 loses a lap: every row must read as if the crossings had been pressed one by one.
    TRecorder r = pressedRace([](TRecorder &rr, int car, int lap, int seq) {
        if (car == 2 && lap > 2)
            rr.events.removeLast();
        if (car == 1 && lap == 3)
            rr.correct(CE::Move(seq, 3, 0, 0));
        if (car == 3 && lap == 4)
            rr.correct(CE::Delete(seq, 3, 0, 0));
    });
    r.press(4, crossingMs(4, 6));
    r.press(4, crossingMs(4, 7));
    TRaceCorrections c;
    c.Rebuild(r.events);
    const auto oneByOne = std::make_unique<TTables>(c.Counted());
    // Stale cells of an earlier build of the same grid are all overwritten.
    const auto fast = std::make_unique<TTables>(countedOf(pressedRace().events));
    fast->Timing.StartRaceAt(kCars, kLaps, 15.0, kStart);
    ApplyPasses(fast->Timing, c.Counted());
    compareTables(*fast, *oneByOne);
}

void TestRaceCorrections::passLogFollowsEveryCorrection()
{
    // The log updates its rows in place where it can: after each correction it must list the
    // same crossings in the same order as a log read afresh, and keep the operator's row.
    TRecorder r = pressedRace();
    TRaceCorrections c;
    c.Rebuild(r.events);
    TPassLogModel log(c);
    log.Reload();
    const auto ids = [](const TPassLogModel &model) {
        QList<int> all;
        for (int row = 0; row < model.rowCount(); ++row)
            all << model.IdAt(row);
        return all;
    };
    const int kept = log.IdAt(7);
    QPersistentModelIndex selected = log.index(7, 0);
    const auto correct = [&](const TRaceEvent &event) {
        c.Append(r.events[r.correct(event) - 1]);
        log.Reload();
        TPassLogModel fresh(c);
        fresh.Reload();
        return ids(log) == ids(fresh);
    };
    const auto carAt = [&](int row) { return c.Crossing(log.IdAt(row))->car; };
    QVERIFY(correct(CE::Insert(2, crossingMs(2, 3) + 10, 0, 0))); // a row in the middle
    QCOMPARE(log.IdAt(selected.row()), kept);
    QVERIFY(correct(CE::Delete(log.IdAt(3), carAt(3), 0, 0)));
    QVERIFY(correct(CE::Move(log.IdAt(5), carAt(5) % kCars + 1, 0, 0)));
    QCOMPARE(log.IdAt(selected.row()), kept);
    QVERIFY(correct(CE::Insert(4, crossingMs(4, kLaps) + 5000, 0, 0))); // a row on top
    QVERIFY(correct(CE::Edit(log.IdAt(12), carAt(12), crossingMs(3, 1) - 100, 0, 0))); // moved down
    QVERIFY(correct(CE::Undo(c.UndoTarget(), 0, 0)));
    QCOMPARE(log.rowCount(), int(c.Crossings().size()));
}

QTEST_MAIN(TestRaceCorrections)
#include "tst_racecorrections.moc"

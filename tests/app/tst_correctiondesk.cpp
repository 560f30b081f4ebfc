#include "CorrectionDesk.h"
#include "CrossingDialog.h"
#include "LatestPressLine.h"
#include "PassLogModel.h"
#include "RaceJournal.h"
#include "ResultsCsv.h"
#include "ResultsPageWriter.h"
#include "ResultsWorkbook.h"
#include "WindowUnderTest.h"

#include <QLabel>
#include <QScrollBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>

namespace {

constexpr int kCars = 4;
constexpr int kLaps = 4;

struct TPress
{
    quint32 ms; // race time
    int car;
};

// A race of four cars pressed as it happened: car c completes lap k at k * (60 + 0.7 c) s.
QList<TPress> rightPresses()
{
    QList<TPress> presses;
    for (int lap = 1; lap <= kLaps; ++lap) {
        for (int car = 1; car <= kCars; ++car)
            presses.append({quint32(lap * (60000 + 700 * car) + 300 * car), car});
    }
    std::sort(presses.begin(), presses.end(),
              [](const TPress &a, const TPress &b) { return a.ms < b.ms; });
    return presses;
}

void startRace(TWindowUnderTest &t)
{
    t.window->seCarCount->setValue(kCars);
    t.window->seKrugs->setValue(kLaps);
    for (int r = 1; r <= kCars; ++r) {
        t.window->TypeIntoStandings(TRaceTiming::colNr, r, QString::number(10 + r));
        t.window->TypeIntoStandings(TRaceTiming::colFahrer, r, QStringLiteral("Fahrer %1").arg(r));
    }
    t.ClickStart();
}

// Presses the keys at their race times; the clock stands at `now` race ms and moves on.
void press(TWindowUnderTest &t, quint32 &now, const QList<TPress> &presses)
{
    for (const TPress &p : presses) {
        t.Advance(p.ms - now);
        now = p.ms;
        t.Lap(p.car);
    }
    // The presses reach the corrections once the repaint is done.
    QCoreApplication::processEvents();
    t.window->FlushJournal();
}

// Every standings cell but the running times, which go on ticking.
QStringList standings(TWindowUnderTest &t)
{
    QStringList cells;
    TSortGrid *grid = t.window->SortGrid1;
    for (int r = 0; r < grid->RowCount(); ++r) {
        for (int c = 0; c < TRaceTiming::kStandingsColumns; ++c) {
            if (c != TRaceTiming::colZeit || !t.window->Running())
                cells << grid->Cells(c, r);
        }
    }
    return cells;
}

QList<qint32> tables(const TRaceTiming &race)
{
    QList<qint32> values;
    for (int car = 0; car <= kCars; ++car) {
        const TLapRecord &record = race.LapTable[car];
        values << record.Count << record.Best;
        for (int k = 1; k <= record.Count; ++k)
            values << record.Slot[k] << race.CrossTable[car].Slot[k];
    }
    for (int i = 0; i < kCars; ++i)
        values << qint32(race.Ranking[i]);
    return values;
}

// What both exports show of the race, the corrections list left out.
struct TExports
{
    QStringList workbook;
    QByteArray page;
};

TExports exports(TWindowUnderTest &t)
{
    TResultsSnapshot snapshot = t.window->ResultsSnapshot();
    snapshot.corrections.clear();
    return {ResultsWorkbookLines(snapshot), TResultsPageWriter::page(snapshot)};
}

int crossingOf(const TFormMain &w, int car, quint32 raceMs)
{
    for (const TRaceCorrections::TCrossing &c : w.Session.Corrections().Crossings()) {
        if (c.car == car && c.raceMs == raceMs && c.state != TRaceCorrections::State::Deleted)
            return c.id;
    }
    return 0;
}

// Selects a crossing in the pass log and gives the log a key, as the operator would.
void keyOnCrossing(TWindowUnderTest &t, int id, int key, Qt::KeyboardModifiers modifiers = {})
{
    QVERIFY(id != 0);
    t.window->Desk->SelectCrossing(id);
    QCOMPARE(t.window->Desk->SelectedCrossing(), id);
    QTest::keyClick(t.window->Desk->PassView(), Qt::Key(key), modifiers);
}

// Answers the correction dialog that the next command opens: types into its car field, then
// Enter.
void answerCrossingDialog(const QString &typed)
{
    QTimer::singleShot(0, [typed] {
        QWidget *dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        QApplication::setActiveWindow(dialog);
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        auto *chooser = dialog->findChild<QWidget *>(QStringLiteral("CrossingCar"));
        QTRY_COMPARE(QApplication::focusWidget(), chooser);
        QTest::keyClicks(chooser, typed);
        QTest::keyClick(chooser, Qt::Key_Return);
    });
}

} // namespace

class TestCorrectionDesk : public QObject
{
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale::c()); }
    void slipsCorrectedEqualTheRacePressedRightly();
    void undoAndRedoGoOnAfterAResume();
    void correctionAfterTheEndChangesTheResult();
    void guardHoldsAPressUntilConfirmed();
    void fKeysNeverCorrect();
    void pressesLeaveTheLayoutAlone();
    void verdictsChangeTheClassification();
    void movingThePressThatLockedAKeyLetsTheRealOneCount();
    void undoTakesBackCorrectionsNotPresses();
    void carFieldPicksByStartNumberAndLapKey_data();
    void carFieldPicksByStartNumberAndLapKey();
    void crossingRecordedLateIsNoBestLapUntilConfirmed();
    void pressAfterTheFinishHasNoLap();
};

void TestCorrectionDesk::slipsCorrectedEqualTheRacePressedRightly()
{
    const QList<TPress> right = rightPresses();
    TWindowUnderTest reference;
    startRace(reference);
    quint32 now = 0;
    press(reference, now, right);
    reference.Advance(20);
    QCOMPARE(reference.window->RaceState(), TFormMain::rsStopped); // every car finished

    // The same race with three slips: car 2's second lap pressed on F3, car 1 pressed twice
    // after its second lap, car 4's third lap not pressed at all.
    QList<TPress> slipped;
    TPress wrong{}, missed{};
    for (const TPress &p : right) {
        if (p.car == 2 && p.ms / 60000 == 2) {
            wrong = {p.ms, 3};
            slipped.append(wrong);
        } else if (p.car == 4 && p.ms / 60000 == 3) {
            missed = p;
        } else {
            slipped.append(p);
        }
        if (p.car == 1 && p.ms / 60000 == 2)
            slipped.append({p.ms + 4000, 1});
    }
    std::sort(slipped.begin(), slipped.end(),
              [](const TPress &a, const TPress &b) { return a.ms < b.ms; });
    TWindowUnderTest t;
    t.window->AskCrossing = [&](const TFormMain::TCrossingQuestion &q) {
        // Moving asks for the car, inserting for the car and the time.
        return q.timeEditable ? std::optional(QPair<int, quint32>(missed.car, missed.ms))
                              : std::optional(QPair<int, quint32>(2, q.raceMs));
    };
    startRace(t);
    now = 0;
    qsizetype doubledAt = 0;
    while (!(slipped[doubledAt].car == 1 && slipped[doubledAt].ms == right[4].ms + 4000))
        ++doubledAt;
    press(t, now, slipped.mid(0, doubledAt + 1));
    // The double press is corrected while the race runs; it stands in the pass log on top.
    const int doubled = crossingOf(*t.window, 1, right[4].ms + 4000);
    QCOMPARE(t.window->Desk->Model()->IdAt(0), doubled);
    QCOMPARE(t.window->Race.LapTable[1].Count, 3);
    keyOnCrossing(t, doubled, Qt::Key_Delete);
    QCOMPARE(t.window->Race.LapTable[1].Count, 2);
    keyOnCrossing(t, crossingOf(*t.window, 3, wrong.ms), Qt::Key_M, Qt::ControlModifier);
    QCOMPARE(t.window->Race.LapTable[2].Count, 2);
    // The race runs on with the keys as before.
    press(t, now, slipped.mid(doubledAt + 1));
    t.Advance(20);
    QCOMPARE(t.window->RaceState(), TFormMain::rsRunning); // car 4 lacks a lap
    // The missed crossing is added from car 4's last crossing: Ctrl+L in the standings, Einfg.
    t.window->SortGrid1->setFocus();
    t.window->SortGrid1->GotoCell(TRaceTiming::colNr, t.window->Race.RowOfCar(4), false);
    QTest::keyClick(t.window->SortGrid1, Qt::Key_L, Qt::ControlModifier);
    QVERIFY(t.window->Desk->PassView()->hasFocus());
    QTest::keyClick(t.window->Desk->PassView(), Qt::Key_Insert);
    t.Advance(20);
    QCOMPARE(t.window->RaceState(), TFormMain::rsStopped);

    QCOMPARE(tables(t.window->Race), tables(reference.window->Race));
    QCOMPARE(standings(t), standings(reference));
    const TExports corrected = exports(t);
    const TExports pressedRightly = exports(reference);
    QCOMPARE(corrected.workbook, pressedRightly.workbook);
    QCOMPARE(corrected.page, pressedRightly.page);

    // The corrections list follows the results, once each.
    const TResultsSnapshot snapshot = t.window->ResultsSnapshot();
    QCOMPARE(snapshot.corrections.size(), 3);
    QVERIFY(snapshot.corrections[0].text.contains(QStringLiteral("gelöscht")));
    QVERIFY(snapshot.corrections[1].text.contains(QStringLiteral("auf F2 verschoben")));
    QVERIFY(snapshot.corrections[2].text.contains(QStringLiteral("eingefügt")));
    const QByteArray page = TResultsPageWriter::page(snapshot);
    QCOMPARE(page.count("<li>"), 3);
    QVERIFY(page.indexOf("Korrekturen:") > page.indexOf("Gesamt:"));
    // The reference page has no list at all.
    QVERIFY(!TResultsPageWriter::page(reference.window->ResultsSnapshot()).contains("Korrekturen"));
}

void TestCorrectionDesk::undoAndRedoGoOnAfterAResume()
{
    const QList<TPress> right = rightPresses();
    TWindowUnderTest t;
    t.UseJournal();
    startRace(t);
    quint32 now = 0;
    press(t, now, right.mid(0, 8));
    const QList<qint32> asPressed = tables(t.window->Race);
    const int last = t.window->Desk->Model()->IdAt(0);
    keyOnCrossing(t, last, Qt::Key_Delete);
    const QList<qint32> deleted = tables(t.window->Race);
    QVERIFY(deleted != asPressed);
    t.Key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(tables(t.window->Race), asPressed);
    t.Key(Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(tables(t.window->Race), deleted);
    t.Key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(tables(t.window->Race), asPressed);
    QVERIFY(t.window->Journal->flush(5000));

    // A crash between the undo and the redo: the redo is still there after the resume.
    t.Close();
    t.Open();
    t.Answer(TFDlgYesNo::daYes);
    t.window->OfferResume();
    QCOMPARE(t.window->RaceState(), TFormMain::rsRunning);
    QCOMPARE(tables(t.window->Race), asPressed);
    QCOMPARE(t.window->Session.Corrections().Log().size(), 4); // delete, undo, redo, undo
    t.Key(Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(tables(t.window->Race), deleted);
    // Undo goes back through the correction only: the presses stay.
    t.Key(Qt::Key_Z, Qt::ControlModifier);
    t.Key(Qt::Key_Z, Qt::ControlModifier);
    int counted = 0;
    for (int car = 1; car <= kCars; ++car)
        counted += t.window->Race.LapTable[car].Count;
    QCOMPARE(counted, 8);
    // Presses after the resume still count and can be corrected.
    press(t, now, right.mid(8, 4));
    counted = 0;
    for (int car = 1; car <= kCars; ++car)
        counted += t.window->Race.LapTable[car].Count;
    QCOMPARE(counted, 12);
}

void TestCorrectionDesk::correctionAfterTheEndChangesTheResult()
{
    TWindowUnderTest t;
    t.UseJournal();
    startRace(t);
    quint32 now = 0;
    press(t, now, rightPresses());
    t.Advance(20);
    QCOMPARE(t.window->RaceState(), TFormMain::rsStopped);
    const QString winnerRow = t.Cell(TRaceTiming::colKey, 1);
    QCOMPARE(winnerRow, QStringLiteral("F1"));
    // Car 1's last crossing belonged to car 4: car 4 wins.
    t.window->AskCrossing = [](const TFormMain::TCrossingQuestion &q) {
        return std::optional(QPair<int, quint32>(4, q.raceMs));
    };
    const quint32 lastOfCar1 = quint32(t.window->Race.CrossTable[1].Slot[kLaps]);
    keyOnCrossing(t, crossingOf(*t.window, 1, lastOfCar1), Qt::Key_M, Qt::ControlModifier);
    QCOMPARE(t.Cell(TRaceTiming::colKey, 1), QStringLiteral("F4"));
    QCOMPARE(t.window->Race.LapTable[1].Count, kLaps - 1);
    // Car 1 has a lap to go again: the race runs on until it has run it.
    QCOMPARE(t.window->RaceState(), TFormMain::rsRunning);
    QVERIFY(t.window->TimerALL->isActive());
    t.Advance(5000);
    t.Lap(1);
    QCOMPARE(t.window->Race.LapTable[1].Count, kLaps);
    QCOMPARE(t.window->RaceState(), TFormMain::rsStopped);
    QVERIFY(!t.Cell(TRaceTiming::colZeit, 1).isEmpty());
    const TResultsSnapshot snapshot = t.window->ResultsSnapshot();
    QCOMPARE(snapshot.rows[0].car, 4);
    QVERIFY(t.window->Journal->flush(5000));
    const std::optional<TRaceSummary> race = t.window->Journal->race(t.window->JournalRaceId);
    QVERIFY(race);
    QCOMPARE(race->winner, QStringLiteral("14 Fahrer 4"));
}

void TestCorrectionDesk::guardHoldsAPressUntilConfirmed()
{
    TWindowUnderTest t;
    t.window->Desk->MinLapField()->setValue(30);
    startRace(t);
    QVERIFY(!t.window->Desk->MinLapField()->isEnabled());
    quint32 now = 0;
    press(t, now, {{60000, 1}, {70000, 1}});
    // The second press would make a lap of 10 s: held, shown, not counted.
    QCOMPARE(t.window->Race.LapTable[1].Count, 1);
    const int held = t.window->Desk->Model()->IdAt(0);
    QCOMPARE(t.window->Session.Corrections().Crossing(held)->state, TRaceCorrections::State::Held);
    QVERIFY(t.window->Desk->LatestLine()->text().contains(QStringLiteral("gehalten")));
    QVERIFY(t.window->Desk->Model()
                ->data(t.window->Desk->Model()->index(0, TPassLogModel::colNote), Qt::DisplayRole)
                .toString()
                .contains(QStringLiteral("gehalten")));
    // A lap long enough counts at once.
    press(t, now, {{125000, 1}});
    QCOMPARE(t.window->Race.LapTable[1].Count, 2);
    QCOMPARE(t.window->Race.CrossTable[1].Slot[2], 125000);
    // Confirmed, the held press counts in its place.
    keyOnCrossing(t, held, Qt::Key_Return);
    QCOMPARE(t.window->Race.LapTable[1].Count, 3);
    QCOMPARE(t.window->Race.CrossTable[1].Slot[2], 70000);
    t.Key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(t.window->Race.LapTable[1].Count, 2);
}

void TestCorrectionDesk::fKeysNeverCorrect()
{
    TWindowUnderTest t;
    startRace(t);
    quint32 now = 0;
    press(t, now, {{60000, 1}, {61000, 2}});
    // F-keys in the pass log are laps, never corrections.
    keyOnCrossing(t, t.window->Desk->Model()->IdAt(0), Qt::Key_F2);
    t.window->FlushJournal();
    QVERIFY(t.window->Session.Corrections().Log().isEmpty());
    QCOMPARE(t.window->Race.LapTable[2].Count, 1); // locked: 0 ms after its lap
    t.Advance(5000);
    QTest::keyClick(t.window->Desk->PassView(), Qt::Key_F2);
    t.window->FlushJournal();
    QCOMPARE(t.window->Race.LapTable[2].Count, 2);
    QVERIFY(t.window->Session.Corrections().Log().isEmpty());
}

void TestCorrectionDesk::pressesLeaveTheLayoutAlone()
{
    // The latest press line and the pass log change with every press; laying the window out
    // again for them costs more than the press itself.
    TWindowUnderTest t;
    t.UseJournal();
    t.window->seCarCount->setValue(kCars);
    t.window->seKrugs->setValue(20);
    t.ClickStart();
    quint32 now = 0;
    QList<TPress> presses;
    for (int lap = 1; lap <= 10; ++lap) {
        for (int car = 1; car <= kCars; ++car)
            presses.append({quint32(lap * 60000 + car * 1000), car});
    }
    // Once the log has its scroll bar, its layout is done.
    const QScrollBar *bar = t.window->Desk->PassView()->verticalScrollBar();
    while (!bar->isVisible() && presses.size() > 6) {
        press(t, now, {presses.takeFirst()});
        QCoreApplication::processEvents();
    }
    QVERIFY(bar->isVisible());
    QTest::qWait(50);
    struct TLayoutCounter : QObject
    {
        int requests = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            requests += event->type() == QEvent::LayoutRequest;
            return false;
        }
    } counter;
    qApp->installEventFilter(&counter);
    press(t, now, presses.mid(0, 6));
    QCoreApplication::processEvents();
    qApp->removeEventFilter(&counter);
    int laps = 0;
    for (int car = 1; car <= kCars; ++car)
        laps += t.window->Race.LapTable[car].Count;
    QCOMPARE(laps, 40 - int(presses.size()) + 6);
    QCOMPARE(counter.requests, 0);
}

void TestCorrectionDesk::verdictsChangeTheClassification()
{
    TWindowUnderTest t;
    t.UseJournal();
    startRace(t);
    quint32 now = 0;
    const QList<TPress> right = rightPresses();
    press(t, now, right.mid(0, 8)); // two laps each, cars in order 1, 2, 3, 4
    std::optional<int> answer;
    t.window->AskNumber = [&answer](const QString &, int, int, int) { return answer; };
    const auto judge = [&t](int car, int key) {
        t.window->SortGrid1->setFocus();
        t.window->SortGrid1->GotoCell(TRaceTiming::colNr, t.window->Race.RowOfCar(car), false);
        QTest::keyClick(t.window->SortGrid1, Qt::Key(key), Qt::ControlModifier | Qt::ShiftModifier);
    };
    const auto keysInOrder = [&t] {
        QStringList keys;
        for (int r = 1; r <= kCars; ++r)
            keys << t.Cell(TRaceTiming::colPos, r) + u' ' + t.Cell(TRaceTiming::colKey, r);
        return keys;
    };
    // Car 1 is 1.7 s ahead of car 2 after two laps: a penalty of 2 s puts it behind.
    answer = 2;
    judge(1, Qt::Key_T);
    QCOMPARE(keysInOrder(), (QStringList{"1. F2", "2. F1", "3. F3", "4. F4"}));
    // Car 2 is disqualified: last. Car 3 retired after its first lap: behind those running.
    judge(2, Qt::Key_Q);
    answer = 1;
    judge(3, Qt::Key_F);
    QCOMPARE(keysInOrder(), (QStringList{"1. F1", "2. F4", "DNF F3", "DSQ F2"}));
    QCOMPARE(t.window->Race.LapTable[3].Count, 1);
    // A car that is out is not awaited: the race ends once cars 1 and 4 have their laps.
    press(t, now, right.mid(8));
    t.Advance(20);
    QCOMPARE(t.window->RaceState(), TFormMain::rsStopped);
    QCOMPARE(t.window->Race.LapTable[3].Count, 1);
    QCOMPARE(t.window->Race.LapTable[2].Count, kLaps);

    // Every export shows the verdicts.
    const TResultsSnapshot snapshot = t.window->ResultsSnapshot();
    QCOMPARE(snapshot.rows[0].placeText(1), QStringLiteral("1. (+2 s)"));
    QCOMPARE(snapshot.rows[2].placeText(3), QStringLiteral("DNF"));
    QCOMPARE(snapshot.rows[3].placeText(4), QStringLiteral("DSQ"));
    const QByteArray page = TResultsPageWriter::page(snapshot);
    QVERIFY(page.contains("<th>1. (+2 s)<th>2.<th>DNF<th>DSQ"));
    const QByteArray csv = ResultsCsv(snapshot);
    QVERIFY(csv.contains("\nDNF,F3,13,") && csv.contains("\nDSQ,F2,12,"));
    QVERIFY(ResultsWorkbookLines(snapshot).contains(
        QStringLiteral("Position:,\"1. (+2 s)\",2.,DNF,DSQ,")));

    // Cleared, car 2 is back in its place; Ctrl+Z brings the disqualification back.
    judge(2, Qt::Key_W);
    QCOMPARE(keysInOrder(), (QStringList{"1. F1", "2. F2", "3. F4", "DNF F3"}));
    t.window->Desk->PassView()->setFocus();
    t.Key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(keysInOrder(), (QStringList{"1. F1", "2. F4", "DNF F3", "DSQ F2"}));
    QVERIFY(t.window->Journal->flush(5000));
    const qint64 raceId = t.window->JournalRaceId;
    t.Close();
    t.Open();
    const QList<TRaceEvent> stored = t.window->Journal->events(raceId);
    TRaceCorrections replayed;
    replayed.Rebuild(stored);
    QCOMPARE(replayed.Verdict(1).penaltyMs, 2000);
    QCOMPARE(replayed.Verdict(2).status, TCarVerdict::Status::Disqualified);
    QCOMPARE(replayed.Verdict(3).status, TCarVerdict::Status::Retired);
}

void TestCorrectionDesk::movingThePressThatLockedAKeyLetsTheRealOneCount()
{
    // F3 is pressed as car 1 crosses; car 3 crosses 0.9 s later and its F3 falls in the lock.
    TWindowUnderTest t;
    startRace(t);
    quint32 now = 0;
    press(t, now, {{60000, 1}, {60700, 2}, {61000, 3}, {61300, 4}});
    press(t, now, {{120000, 3}, {120500, 2}, {120900, 3}});
    const int real = crossingOf(*t.window, 3, 120900);
    QCOMPARE(t.window->Session.Corrections().Crossing(real)->state,
             TRaceCorrections::State::Locked);
    // Ctrl+F3 twice finds the wrong press; Ctrl+M gives it to car 1 by its start number.
    t.Key(Qt::Key_F3, Qt::ControlModifier);
    t.Key(Qt::Key_F3, Qt::ControlModifier);
    QCOMPARE(t.window->Desk->SelectedCrossing(), crossingOf(*t.window, 3, 120000));
    answerCrossingDialog(QStringLiteral("11"));
    QTest::keyClick(t.window->Desk->PassView(), Qt::Key_M, Qt::ControlModifier);
    QCOMPARE(t.window->Race.LapTable[1].Count, 2);
    QCOMPARE(t.window->Session.Corrections().Crossing(real)->state,
             TRaceCorrections::State::Counted);
    QCOMPARE(t.window->Race.LapTable[3].Count, 2);
    QCOMPARE(t.window->Race.CrossTable[3].Slot[2], 120900);
    // Taken back, the move locks the real press again.
    QApplication::setActiveWindow(t.window.get());
    t.Key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(t.window->Session.Corrections().Crossing(real)->state,
             TRaceCorrections::State::Locked);
}

void TestCorrectionDesk::undoTakesBackCorrectionsNotPresses()
{
    TWindowUnderTest t;
    t.window->AskCrossing = [](const TFormMain::TCrossingQuestion &q) {
        return std::optional(QPair<int, quint32>(1, q.raceMs));
    };
    startRace(t);
    quint32 now = 0;
    press(t, now, {{60000, 3}, {60700, 2}, {61300, 4}});
    keyOnCrossing(t, crossingOf(*t.window, 3, 60000), Qt::Key_M, Qt::ControlModifier);
    QCOMPARE(t.window->Race.LapTable[1].Count, 1);
    // Two cars cross, then Ctrl+Z: the move is taken back, both laps stay.
    press(t, now, {{62000, 3}, {63000, 2}});
    t.Key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(t.window->Race.LapTable[1].Count, 0);
    QCOMPARE(t.window->Race.LapTable[2].Count, 2);
    QCOMPARE(t.window->Race.LapTable[3].Count, 2);
    QCOMPARE(t.window->Session.Corrections().UndoTarget(), 0);
    // Nothing else to take back: the presses stay.
    t.Key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(t.window->Race.LapTable[3].Count, 2);
    QCOMPARE(t.window->StatusBar1->currentMessage(), QStringLiteral("Nichts zum Zurücknehmen."));
}

void TestCorrectionDesk::carFieldPicksByStartNumberAndLapKey_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("lapKey");
    QTest::addColumn<int>("picked");
    // The cars carry the numbers 7, 12 and 23; car 4 has none. The dialog proposes car 3.
    QTest::newRow("number on the car") << QStringLiteral("7") << 0 << 1;
    QTest::newRow("two digits") << QStringLiteral("12") << 0 << 2;
    QTest::newRow("third car") << QStringLiteral("23") << 0 << 3;
    QTest::newRow("a car without a number by its key") << QStringLiteral("4") << 0 << 4;
    QTest::newRow("a key whose car has a number") << QStringLiteral("2") << 0 << 3;
    QTest::newRow("no such number") << QStringLiteral("9") << 0 << 3;
    QTest::newRow("lap key") << QString() << 2 << 2;
}

void TestCorrectionDesk::carFieldPicksByStartNumberAndLapKey()
{
    QFETCH(QString, typed);
    QFETCH(int, lapKey);
    QFETCH(int, picked);
    TWindowUnderTest t;
    startRace(t);
    const qsizetype events = t.window->Session.Events().size();
    TCrossingDialog dialog(QStringLiteral("Durchfahrt einem anderen Auto zuordnen"),
                           t.window->Session.CarTexts(), 3, 61000, true, false, t.window.get());
    dialog.SetStartNumbers({QStringLiteral("7"), QStringLiteral("12"), QStringLiteral("23"), {}});
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    auto *chooser = dialog.findChild<QWidget *>(QStringLiteral("CrossingCar"));
    QTRY_COMPARE(QApplication::focusWidget(), chooser);
    QTest::keyClicks(chooser, typed);
    if (lapKey)
        QTest::keyClick(chooser, Qt::Key(Qt::Key_F1 + lapKey - 1));
    QCOMPARE(dialog.Answer().car, picked);
    // A lap key that picks a car is no press.
    t.window->FlushJournal();
    QCOMPARE(t.window->Session.Events().size(), events);
}

void TestCorrectionDesk::crossingRecordedLateIsNoBestLapUntilConfirmed()
{
    TWindowUnderTest t;
    startRace(t);
    quint32 now = 0;
    press(t, now, {{7000, 1}, {14100, 1}});
    // Car 1 crosses at 21 s unseen; Shift+F1 records it 3 s late.
    t.Advance(24000 - now);
    now = 24000;
    t.Key(Qt::Key_F1, Qt::ShiftModifier);
    press(t, now, {{28200, 1}});
    const int late = crossingOf(*t.window, 1, 24000);
    QVERIFY(t.window->Session.Corrections().Crossing(late)->late);
    // Laps of 9.9 and 4.2 s: neither is the best lap, nor in the exports.
    const int row = t.window->Race.RowOfCar(1);
    QCOMPARE(t.Cell(TRaceTiming::colBestLap, row), QStringLiteral("0:07.0"));
    QCOMPARE(t.window->ResultsSnapshot().rows[0].best, 7000);
    QVERIFY(t.window->Desk->Model()
                ->data(t.window->Desk->Model()->index(1, TPassLogModel::colNote), Qt::DisplayRole)
                .toString()
                .contains(QStringLiteral("spät erfasst")));
    // Splitting the 4.2 s lap asks first; "Nein" splits nothing.
    t.Answer(TFDlgYesNo::daNo);
    keyOnCrossing(t, crossingOf(*t.window, 1, 28200), Qt::Key_Insert, Qt::ControlModifier);
    QVERIFY(t.dialog->Label1->text().contains(QStringLiteral("nicht zu lang")));
    QCOMPARE(t.window->Race.LapTable[1].Count, 4);
    // Confirmed, the late crossing's laps count as they are.
    keyOnCrossing(t, late, Qt::Key_Return);
    QCOMPARE(t.Cell(TRaceTiming::colBestLap, t.window->Race.RowOfCar(1)), QStringLiteral("0:04.2"));
    // Given its true time instead, too.
    t.Key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(t.window->ResultsSnapshot().rows[0].best, 7000);
    t.window->AskCrossing = [](const TFormMain::TCrossingQuestion &) {
        return std::optional(QPair<int, quint32>(1, 21000));
    };
    keyOnCrossing(t, late, Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(t.window->ResultsSnapshot().rows[0].best, 6900);
}

void TestCorrectionDesk::pressAfterTheFinishHasNoLap()
{
    TWindowUnderTest t;
    startRace(t);
    quint32 now = 0;
    QList<TPress> car1;
    for (int lap = 1; lap <= kLaps; ++lap)
        car1.append({quint32(lap * 60000), 1});
    car1.append({quint32(kLaps * 60000 + 5000), 1});
    press(t, now, car1);
    QVERIFY(t.window->Desk->LatestLine()->text().contains(
        QStringLiteral("nach dem Ziel: zählt nicht")));
    QCOMPARE(t.window->Race.LapTable[1].Count, kLaps);
    const TResultsSnapshot snapshot = t.window->ResultsSnapshot();
    QCOMPARE(snapshot.crossings.last().lap, 0);
    QVERIFY(!CrossingsCsv(snapshot).contains(";" + QByteArray::number(kLaps + 1) + ";"));
}

QTEST_MAIN(TestCorrectionDesk)
#include "tst_correctiondesk.moc"

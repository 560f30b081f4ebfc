// A club's race day through the windows: entrants read, heats split and a driver moved, a heat
// put on the keys and linked by its START, a heat race resumed after a crash, and the lap keys
// counting while the race-day windows are open.
#include "ArchiveModel.h"
#include "ArchiveWindow.h"
#include "DocumentOpener.h"
#include "ElidedLabel.h"
#include "FlEdit.h"
#include "LateCorrectionWindow.h"
#include "RaceDayEntrants.h"
#include "RaceDayOutcome.h"
#include "RaceDayStore.h"
#include "RaceDayWindow.h"
#include "RaceJournal.h"
#include "SeasonWindow.h"
#include "WindowUnderTest.h"

#include <QComboBox>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableWidget>
#include <QTreeWidget>

class TestRaceDay : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        DocumentOpener::setHandler([](const QString &) {});
    }
    void cleanup() { DocumentOpener::setHandler({}); }
    void entrantsFromAList_data();
    void entrantsFromAList();
    void aDayNamedBeforeNewKeepsTheDateShown();
    void thirtyDriversInTwoClassesAreReadSplitAndMoved();
    void finalsFollowTheRulesAsTheyStandWhenSeededAgain();
    void finalsWithoutQualifyingComeFromTheEntrantsInView();
    void bumpedUpDriversReachTheAFinalAfterARestart();
    void aNewDayTakesTheRulesOfTheLastDayOrOfItsSeason();
    void newRaceAfterAHeatLeavesNoHeatBehind();
    void deletingAHeatsRaceNamesItsDayAndSeason();
    void startedHeatRunsOnTheKeysAndItsStartNamesIt();
    void heatKilledMidRaceResumesStillLinked();
    void lapKeysCountWhileTheRaceDayWindowsAreOpen();
    void lateProtestMovesTheDayWhileTheNextHeatRuns();
    void longHeatLineKeepsTheWindowOnTheScreen();
    void nameTypedAfterNewReplacesTheProposal();
    void typedDate_data();
    void typedDate();
    void seasonAndDayAreDeletedAfterAQuestion();
    void listReadAgainReplacesOrAdds_data();
    void listReadAgainReplacesOrAdds();
    void markedEntrantsRemovedComeBackWithCtrlZ();
    void heatsMovedByHandAreRedrawnOnlyAfterAQuestion();
    void driverMovedDownAndBackKeepsHisKey();
    void seasonOpensFromTheRaceDayWindow();
    void joinedDriversAreAskedForAndComeApartWithCtrlZ();
};

namespace {

// A day of 30 drivers: 18 in class A, 12 in class B, with a title row.
QString writeList(const QString &folder)
{
    const QString path = folder + QStringLiteral("/starter.csv");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    QByteArray text = "Nr.;Fahrer;Klasse\n";
    for (int i = 1; i <= 30; ++i)
        text += QByteArray::number(100 + i) + ";Fahrer " + QByteArray::number(i) + ";" +
                (i % 5 == 0 || i % 5 == 3 ? "B" : "A") + "\n";
    file.write(text);
    return path;
}

// A race-day window on a day of the given list, with its heats split in list order.
TRaceDayWindow *dayOf(TWindowUnderTest &t)
{
    TRaceDayWindow *day = t.window->RaceDayWindow();
    day->ShowMessage = [](const QString &text) { QFAIL(qPrintable(text)); };
    day->NewDay(QStringLiteral("Clubtag"), QDate(2026, 5, 1));
    day->ReadStarterList(writeList(t.folder.path()));
    if (!QTest::qWaitFor([day] { return !day->Busy(); }, 20000))
        qWarning("the race day is still busy");
    return day;
}

// Waits until the window has no job left with its store.
bool settled(TRaceDayWindow *day)
{
    day->WaitForStore();
    return QTest::qWaitFor([day] { return !day->Busy(); }, 20000);
}

bool settled(TSeasonWindow *season)
{
    season->WaitForStore();
    return QTest::qWaitFor([season] { return !season->Busy(); }, 20000);
}

// Clicks the button with this text in the next message box, once it is open.
void clickInNextBox(const QString &button)
{
    auto *timer = new QTimer;
    auto *waited = new QElapsedTimer;
    waited->start();
    QObject::connect(timer, &QTimer::timeout, [timer, waited, button] {
        const auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        for (QAbstractButton *b : box ? box->buttons() : QList<QAbstractButton *>()) {
            if (b->text() == button)
                QTest::mouseClick(b, Qt::LeftButton);
        }
        if (box || waited->elapsed() > 10000) {
            timer->stop();
            timer->deleteLater();
            delete waited;
        }
    });
    timer->start(20);
}

QList<QList<int>> heatsOf(const TRaceDay &day)
{
    QList<QList<int>> heats;
    for (const TRound &round : day.rounds) {
        for (const THeat &heat : round.heats)
            heats << heat.entrantIds;
    }
    return heats;
}

QStringList keyRows(TWindowUnderTest &t)
{
    QStringList rows;
    for (int r = 1; r < t.window->SortGrid1->RowCount(); ++r)
        rows << t.Cell(TRaceTiming::colKey, r) + QLatin1Char(' ') + t.Cell(TRaceTiming::colNr, r) +
                    QLatin1Char(' ') + t.Cell(TRaceTiming::colFahrer, r);
    return rows;
}

// Selects the heat's line in the race-day window's tree, as a click on it does.
bool selectHeat(TRaceDayWindow *day, int heatId)
{
    for (QTreeWidgetItemIterator it(day->Heats); *it; ++it) {
        if ((*it)->data(0, Qt::UserRole).toInt() == heatId &&
            (*it)->data(1, Qt::UserRole).toInt() == 0) {
            day->Heats->setCurrentItem(*it);
            return true;
        }
    }
    return false;
}

// A season kept in the journal before the race-day window reads it.
qint64 addSeason(TWindowUnderTest &t, const QString &name)
{
    TRaceDayStore store(t.JournalPath());
    TSeason season;
    season.name = name;
    return store.saveSeason(season) ? season.id : 0;
}

// A new day by the "Neu" button, named by the keys.
bool newDayByHand(TRaceDayWindow *day, const QString &name)
{
    QTest::mouseClick(day->NewDayButton, Qt::LeftButton);
    QTest::keyClicks(day->NameEdit, name);
    QTest::keyClick(day->NameEdit, Qt::Key_Return);
    day->WaitForStore();
    return QTest::qWaitFor([day] { return !day->Busy() && day->Day().id != 0; }, 20000);
}

// The entrant's place in the day's qualifying as last worked out; 0 when not placed.
int qualifyingPlace(const TRaceDayWindow *day, int entrantId)
{
    for (const TClassOutcome &c : day->Outcome().classes) {
        for (const TQualifyPlace &q : c.qualifying) {
            if (q.entrantId == entrantId)
                return q.place;
        }
    }
    return 0;
}

QList<THeat> finalsOf(const TRaceDay &day, const QString &className)
{
    for (const TRound &r : day.rounds) {
        if (r.className == className && r.kind == TRoundKind::Final)
            return r.heats;
    }
    return {};
}

} // namespace

void TestRaceDay::entrantsFromAList_data()
{
    QTest::addColumn<StarterList>("rows");
    QTest::addColumn<QStringList>("expected"); // "number|driver|class"
    QTest::newRow("no title row: A number, B driver, C class")
        << StarterList{{"7", "Anna", "A"}, {"9", "Ben", ""}} << QStringList{"7|Anna|A", "9|Ben|"};
    QTest::newRow("title row names the columns")
        << StarterList{{"Klasse", "Fahrer", "Nr."}, {"B", "Cem", "3"}} << QStringList{"3|Cem|B"};
    QTest::newRow("a first row without \"Klasse\" is an entrant")
        << StarterList{{"Nr.", "Fahrer"}, {"4", "Dora"}} << QStringList{"Nr.|Fahrer|", "4|Dora|"};
}

void TestRaceDay::entrantsFromAList()
{
    QFETCH(StarterList, rows);
    QFETCH(QStringList, expected);
    QStringList got;
    for (const TEntrant &e : EntrantsFromStarterList(rows))
        got << e.number + QLatin1Char('|') + e.driver + QLatin1Char('|') + e.className;
    QCOMPARE(got, expected);
}

void TestRaceDay::aDayNamedBeforeNewKeepsTheDateShown()
{
    TWindowUnderTest t;
    t.UseJournal();
    TRaceDayWindow *day = t.window->RaceDayWindow();
    day->ShowMessage = [](const QString &text) { QFAIL(qPrintable(text)); };
    day->NameEdit->setText(QStringLiteral("Vereinslauf"));
    emit day->NameEdit->editingFinished();
    day->WaitForStore();
    QTRY_VERIFY(!day->Busy());
    TRaceDayStore store(t.window->JournalPath());
    const QList<TRaceDay> days = store.days();
    QCOMPARE(days.size(), 1);
    QCOMPARE(days.first().name, QStringLiteral("Vereinslauf"));
    QCOMPARE(days.first().date, day->DateEdit->date());
}

void TestRaceDay::thirtyDriversInTwoClassesAreReadSplitAndMoved()
{
    TWindowUnderTest t;
    t.UseJournal();
    TRaceDayWindow *day = dayOf(t);
    QCOMPARE(day->Day().entrants.size(), 30);
    QCOMPARE(day->Day().classes(), QStringList({"A", "B"}));
    QVERIFY(day->SplitHeats(QStringLiteral("A"), THeatOrder::ListOrder));
    day->WaitForStore();
    QTRY_VERIFY(!day->Busy());
    // 18 drivers of class A in the fewest heats of at most 12: two of 9.
    const TRound &round = day->Day().rounds.first();
    QCOMPARE(round.heats.size(), 2);
    QCOMPARE(round.heats[0].entrantIds.size(), 9);
    QCOMPARE(round.heats[1].entrantIds.size(), 9);
    // The first driver of heat 1 goes to heat 2 by the keys, at its end.
    const int moved = round.heats[0].entrantIds.first();
    day->show();
    day->Tabs->setCurrentIndex(2);
    QVERIFY(day->SelectEntrant(moved));
    day->Heats->setFocus();
    QTest::keyClick(day->Heats, Qt::Key_Down, Qt::AltModifier);
    QCOMPARE(day->Day().rounds.first().heats[0].entrantIds.size(), 8);
    QCOMPARE(day->Day().rounds.first().heats[1].entrantIds.last(), moved);
    // Kept in the journal file, as another connection reads it.
    day->WaitForStore();
    TRaceDayStore store(t.JournalPath());
    const std::optional<TRaceDay> stored = store.day(day->Day().id);
    QVERIFY(stored);
    QCOMPARE(stored->entrants.size(), 30);
    QCOMPARE(stored->rounds.first().heats[1].entrantIds.last(), moved);
}

void TestRaceDay::finalsFollowTheRulesAsTheyStandWhenSeededAgain()
{
    // Seeded with finals of 4 and a bump-up of 1, class B's 12 drivers make four finals; with
    // finals of 8 and no bump-up, seeding again must give two, not leave two empty finals that
    // would never be run and keep the class without a result.
    TWindowUnderTest t;
    t.UseJournal();
    TRaceDayWindow *day = dayOf(t);
    QVERIFY(day->SplitHeats(QStringLiteral("B"), THeatOrder::ListOrder));
    day->WaitForStore();
    day->show(); // works the day out, as the operator sees it
    QTRY_VERIFY(!day->Busy());
    const auto finalsOfB = [day] {
        for (const TRound &r : day->Day().rounds) {
            if (r.className == QLatin1String("B") && r.kind == TRoundKind::Final)
                return r.heats;
        }
        return QList<THeat>();
    };
    const auto seed = [day](int size, int bumpUp) {
        day->FinalSize->setValue(size);
        day->BumpUp->setValue(bumpUp);
        day->WaitForStore();
        return QTest::qWaitFor([day] { return !day->Busy(); }, 20000) &&
               day->SeedFinals(QStringLiteral("B"));
    };
    QVERIFY(seed(4, 1));
    QCOMPARE(finalsOfB().size(), 4);
    QVERIFY(seed(8, 0));
    const QList<THeat> finals = finalsOfB();
    QCOMPARE(finals.size(), 2);
    QCOMPARE(finals[0].entrantIds.size(), 8);
    QCOMPARE(finals[1].entrantIds.size(), 4);
}

void TestRaceDay::finalsWithoutQualifyingComeFromTheEntrantsInView()
{
    // Class A has its qualifying heats; class B none: its finals come from its entrants in list
    // order, the message line says so, and the A final is selected where it can be seen.
    TWindowUnderTest t;
    t.UseJournal();
    TRaceDayWindow *day = dayOf(t);
    QVERIFY(day->SplitHeats(QStringLiteral("A"), THeatOrder::ListOrder));
    day->FinalSize->setValue(8);
    day->show();
    day->Tabs->setCurrentIndex(2);
    QTRY_VERIFY(!day->Busy());
    day->ClassChoice->setCurrentIndex(day->ClassChoice->findText(QStringLiteral("B")));
    QTest::mouseClick(day->FinalsButton, Qt::LeftButton);

    const QList<THeat> finals = finalsOf(day->Day(), QStringLiteral("B"));
    QCOMPARE(finals.size(), 2);
    QCOMPARE(finals[0].entrantIds, (QList<int>{3, 5, 8, 10, 13, 15, 18, 20}));
    QCOMPARE(finals[1].entrantIds, (QList<int>{23, 25, 28, 30}));
    QCOMPARE(
        day->Message->text(),
        QStringLiteral("Finale der Klasse „B“ eingeteilt: A-Finale 8 Fahrer, B-Finale 4 "
                       "Fahrer. Ohne Vorläufe nach der Reihenfolge der Starterliste gesetzt."));
    const QTreeWidgetItem *current = day->Heats->currentItem();
    QVERIFY(current);
    QCOMPARE(current->data(0, Qt::UserRole).toInt(), finals[0].id);
    QVERIFY(day->Heats->viewport()->rect().contains(day->Heats->visualItemRect(current)));
}

void TestRaceDay::bumpedUpDriversReachTheAFinalAfterARestart()
{
    // Class B's 12 drivers in finals of 8 with two bumped up: A 6 + 2, B 6. The finals are
    // seeded, the program is closed and started again, and the B final is run: the A final goes
    // on the keys with B's first two.
    TWindowUnderTest t;
    t.UseJournal();
    qint64 dayId = 0;
    {
        TRaceDayWindow *day = dayOf(t);
        day->FinalSize->setValue(8);
        day->BumpUp->setValue(2);
        QVERIFY(day->SplitHeats(QStringLiteral("B"), THeatOrder::ListOrder));
        day->WaitForStore();
        day->show();
        day->Tabs->setCurrentIndex(2);
        QTRY_VERIFY(!day->Busy());
        day->ClassChoice->setCurrentIndex(day->ClassChoice->findText(QStringLiteral("B")));
        QTest::mouseClick(day->FinalsButton, Qt::LeftButton);
        QCOMPARE(finalsOf(day->Day(), QStringLiteral("B")).first().entrantIds.size(), 6);
        QVERIFY(
            day->Message->text().contains(QStringLiteral("A-Finale 6 Fahrer und 2 Aufsteiger")));
        dayId = day->Day().id;
        day->WaitForStore();
        QTRY_VERIFY(!day->Busy());
    }
    t.Close();
    t.Open();
    TRaceDayWindow *day = t.window->RaceDayWindow();
    day->ShowMessage = [](const QString &text) { QFAIL(qPrintable(text)); };
    day->show();
    day->Tabs->setCurrentIndex(2);
    // The day is read again and worked out, on a busy machine too.
    QTRY_VERIFY_WITH_TIMEOUT(day->Day().id == dayId && !day->Busy(), 20000);
    const QList<THeat> finals = finalsOf(day->Day(), QStringLiteral("B"));
    QCOMPARE(finals.size(), 2);
    // The A final before the B final would lack the two bumped up: asked first, "Nein" keeps it
    // off the keys.
    QVERIFY(selectHeat(day, finals[0].id));
    t.Answer(TFDlgYesNo::daNo);
    QTest::mouseClick(day->StartButton, Qt::LeftButton);
    QVERIFY(t.dialog->AskedQuestions().last().contains(
        QStringLiteral("Das B-Finale ist noch nicht gefahren")));
    QCOMPARE(t.window->HeatOnKeys().heatId, 0);

    QVERIFY(selectHeat(day, finals[1].id));
    QTest::mouseClick(day->StartButton, Qt::LeftButton);
    QCOMPARE(t.window->HeatOnKeys().heatId, finals[1].id);
    t.ClickStart();
    for (int car = 1; car <= 6; ++car) {
        t.Advance(1500);
        t.Lap(car);
    }
    t.Answer(TFDlgYesNo::daYes);
    t.ClickStart(); // stop

    QVERIFY(selectHeat(day, finals[0].id));
    t.Answer(TFDlgYesNo::daYes); // the stopped B final leaves the standings
    QTest::mouseClick(day->StartButton, Qt::LeftButton);
    QCOMPARE(t.window->HeatOnKeys().heatId, finals[0].id);
    const QStringList rows = keyRows(t);
    QCOMPARE(rows.size(), 8);
    const TEntrant *first = day->Day().entrant(finals[1].entrantIds[0]);
    const TEntrant *second = day->Day().entrant(finals[1].entrantIds[1]);
    QCOMPARE(rows[6], QStringLiteral("F7 %1 %2").arg(first->number, first->driver));
    QCOMPARE(rows[7], QStringLiteral("F8 %1 %2").arg(second->number, second->driver));
}

void TestRaceDay::aNewDayTakesTheRulesOfTheLastDayOrOfItsSeason()
{
    TWindowUnderTest t;
    t.UseJournal();
    QVERIFY(addSeason(t, QStringLiteral("Meisterschaft 2026")) != 0);
    TRaceDayWindow *day = t.window->RaceDayWindow();
    day->ShowMessage = [](const QString &text) { QFAIL(qPrintable(text)); };
    day->show();
    QTRY_VERIFY(!day->Busy());

    // Lauf 1, in the season: finals of 6, points 10, 8, 6.
    QVERIFY(newDayByHand(day, QStringLiteral("Lauf 1")));
    day->SeasonChoice->setFocus();
    QTest::keyClick(day->SeasonChoice, Qt::Key_Down);
    day->FinalSize->setValue(6);
    day->PointsTable->setFocus();
    day->PointsTable->selectAll();
    QTest::keyClicks(day->PointsTable, QStringLiteral("10, 8, 6"));
    QTest::keyClick(day->PointsTable, Qt::Key_Return);
    day->WaitForStore();
    QTRY_VERIFY(!day->Busy());

    // Clubabend, in no season, takes them from the last day; then finals of 10.
    QVERIFY(newDayByHand(day, QStringLiteral("Clubabend")));
    QCOMPARE(day->Day().rules.finalSize, 6);
    QCOMPARE(day->Day().points.perPlace, (QList<int>{10, 8, 6}));
    QCOMPARE(day->PointsTable->text(), QStringLiteral("10, 8, 6"));
    day->FinalSize->setValue(10);
    day->WaitForStore();
    QTRY_VERIFY(!day->Busy());

    // Lauf 2 starts from Clubabend's, and put into the season it takes the season's.
    QVERIFY(newDayByHand(day, QStringLiteral("Lauf 2")));
    QCOMPARE(day->FinalSize->value(), 10);
    day->SeasonChoice->setFocus();
    QTest::keyClick(day->SeasonChoice, Qt::Key_Down);
    QCOMPARE(day->FinalSize->value(), 6);
    QCOMPARE(day->Message->text(), QStringLiteral("Regeln von „Lauf 1“ übernommen."));
    day->WaitForStore();
    QTRY_VERIFY(!day->Busy());
    TRaceDayStore store(t.JournalPath());
    QCOMPARE(store.day(day->Day().id)->rules.finalSize, 6);
}

void TestRaceDay::newRaceAfterAHeatLeavesNoHeatBehind()
{
    TWindowUnderTest t;
    t.UseJournal();
    TRaceDayWindow *day = dayOf(t);
    QVERIFY(day->SplitHeats(QStringLiteral("B"), THeatOrder::ListOrder));
    day->WaitForStore();
    QTRY_VERIFY(!day->Busy());
    QVERIFY(day->StartHeat(day->Day().rounds.first().heats.first().id));
    const QString heatTitle = t.window->eTitle->text();
    t.ClickStart();
    t.Advance(2000);
    t.Lap(1);
    t.Answer(TFDlgYesNo::daYes);
    t.ClickStart(); // stop

    QApplication::setActiveWindow(t.window.get());
    t.Answer(TFDlgYesNo::daYes);
    t.Key(Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(t.window->HeatOnKeys().dayId, 0);
    QVERIFY(t.window->eTitle->text() != heatTitle);
    QVERIFY(!t.window->HeatLine->isVisible());
    // A test race now is no heat's race.
    t.ClickStart();
    t.Advance(2000);
    t.Lap(1);
    QVERIFY(t.window->Journal->flush(5000));
    const QList<TRaceEvent> events = t.window->Journal->events(t.window->JournalRaceId);
    QVERIFY(!events.isEmpty());
    QCOMPARE(HeatOfStart(events.first()), std::nullopt);
}

void TestRaceDay::deletingAHeatsRaceNamesItsDayAndSeason()
{
    TWindowUnderTest t;
    t.UseJournal();
    QVERIFY(addSeason(t, QStringLiteral("Meisterschaft 2026")) != 0);
    TRaceDayWindow *day = dayOf(t);
    day->show();
    QTRY_VERIFY(!day->Busy());
    day->SeasonChoice->setFocus();
    QTest::keyClick(day->SeasonChoice, Qt::Key_Down);
    QVERIFY(day->Day().seasonId != 0);
    QVERIFY(day->SplitHeats(QStringLiteral("B"), THeatOrder::ListOrder));
    day->WaitForStore();
    QTRY_VERIFY(!day->Busy());
    const int heatId = day->Day().rounds.first().heats.first().id;
    QVERIFY(day->StartHeat(heatId));
    t.ClickStart();
    t.Advance(2000);
    t.Lap(1);
    t.Answer(TFDlgYesNo::daYes);
    t.ClickStart(); // stop
    t.ClickStart(); // reset: the race may go

    QApplication::setActiveWindow(t.window.get());
    t.Key(Qt::Key_R, Qt::ControlModifier);
    auto *archive = t.window->findChild<TArchiveWindow *>();
    QVERIFY(archive && archive->isVisible());
    QCOMPARE(archive->Model->rowCount(), 1);
    t.Answer(TFDlgYesNo::daNo);
    archive->DeleteButton->click();
    QCOMPARE(archive->Model->rowCount(), 1);
    const QString question = t.dialog->AskedQuestions().last();
    QVERIFY2(question.contains(QStringLiteral("Lauf „%1“ der Veranstaltung „Clubtag“")
                                   .arg(HeatLabel(day->Day(), heatId))) &&
                 question.contains(QStringLiteral("Meisterschaft „Meisterschaft 2026“")),
             qPrintable(question));
}

void TestRaceDay::startedHeatRunsOnTheKeysAndItsStartNamesIt()
{
    TWindowUnderTest t;
    t.UseJournal();
    TRaceDayWindow *day = dayOf(t);
    QVERIFY(day->SplitHeats(QStringLiteral("B"), THeatOrder::ListOrder));
    QVERIFY(day->Message->text().startsWith(
        QStringLiteral("Vorlauf 1 der Klasse \u201EB\u201C eingeteilt: ")));
    QTRY_VERIFY(!day->Busy());
    day->WaitForStore();
    QTRY_VERIFY(!day->Busy());
    const THeat heat = day->Day().rounds.first().heats.first();
    // The lap length field had the keyboard: a digit typed after the heat is on the keys must
    // not land there.
    const auto inLapLength = [&t] {
        QWidget *focus = t.window->focusWidget();
        return focus && (focus == t.window->feDist || t.window->feDist->isAncestorOf(focus));
    };
    t.window->feDist->setFocus();
    QVERIFY(inLapLength());
    QVERIFY(day->StartHeat(heat.id));
    QVERIFY(!inLapLength());
    QStringList expected;
    for (int k = 0; k < heat.entrantIds.size(); ++k) {
        const TEntrant *e = day->Day().entrant(heat.entrantIds[k]);
        expected << QStringLiteral("F%1 %2 %3").arg(k + 1).arg(e->number, e->driver);
    }
    QCOMPARE(keyRows(t), expected);
    QCOMPARE(t.window->seCarCount->value(), int(heat.entrantIds.size()));
    const QString label = HeatLabel(day->Day(), heat.id);
    QCOMPARE(t.window->eTitle->text(), QStringLiteral("Clubtag – ") + label);
    QVERIFY(t.window->HeatLine->isVisible());
    QVERIFY(t.window->HeatLine->text().contains(label));
    QCOMPARE(t.window->AudienceStandings().heat, label);
    {
        // Closed before START, the program forgets the heat and its title with it.
        TWindowUnderTest other;
        other.window->PutHeatOnKeys(t.window->HeatOnKeys());
        other.Close();
        other.Open();
        QVERIFY(!other.window->eTitle->text().contains(label));
    }

    t.ClickStart();
    t.Advance(2000);
    t.Lap(1);
    QVERIFY(t.window->Journal->flush(5000));
    const QList<TRaceEvent> events = t.window->Journal->events(t.window->JournalRaceId);
    QVERIFY(!events.isEmpty());
    QCOMPARE(HeatOfStart(events.first()), std::make_optional(std::pair(day->Day().id, heat.id)));
    // The store finds the heat's race by its START; the schedule says it runs.
    day->WaitForStore();
    TRaceDayStore store(t.JournalPath());
    QCOMPARE(store.day(day->Day().id)->heat(heat.id)->raceId, t.window->JournalRaceId);
    const TLiveStandings live = t.window->AudienceStandings();
    QVERIFY(!live.schedule.isEmpty());
    QCOMPARE(live.schedule.first().label, label);
    QCOMPARE(live.schedule.first().state, QStringLiteral("läuft"));

    // A stopped heat gives way to the next only after a question that opens on "Nein".
    t.Answer(TFDlgYesNo::daYes);
    t.ClickStart(); // stop
    QCOMPARE(t.window->RaceState(), TFormMain::rsStopped);
    t.Answer(TFDlgYesNo::daNo);
    const THeat second = day->Day().rounds.first().heats.last();
    QVERIFY(!day->StartHeat(second.id));
    QCOMPARE(t.window->RaceState(), TFormMain::rsStopped);
    QCOMPARE(t.window->HeatOnKeys().heatId, heat.id);
}

void TestRaceDay::heatKilledMidRaceResumesStillLinked()
{
    TWindowUnderTest t;
    t.UseJournal();
    qint64 dayId = 0;
    int heatId = 0;
    {
        TRaceDayWindow *day = dayOf(t);
        QVERIFY(day->SplitHeats(QStringLiteral("A"), THeatOrder::ListOrder));
        day->WaitForStore();
        QTRY_VERIFY(!day->Busy());
        dayId = day->Day().id;
        heatId = day->Day().rounds.first().heats.last().id;
        QVERIFY(day->StartHeat(heatId));
    }
    const QString label = t.window->HeatOnKeys().label;
    t.ClickStart();
    for (int car = 1; car <= 3; ++car) {
        t.Advance(1500);
        t.Lap(car);
    }
    QVERIFY(t.window->Journal->flush(5000));
    const qint64 raceId = t.window->JournalRaceId;
    t.Close(); // without a stop, as a crash would end it
    t.Open();
    t.Answer(TFDlgYesNo::daYes);
    t.window->OfferResume();
    QCOMPARE(t.window->RaceState(), TFormMain::rsRunning);
    QCOMPARE(t.window->JournalRaceId, raceId);
    QCOMPARE(t.window->HeatOnKeys().dayId, dayId);
    QCOMPARE(t.window->HeatOnKeys().heatId, heatId);
    QCOMPARE(t.window->HeatOnKeys().label, label);
    QVERIFY(t.window->HeatLine->text().contains(label));
    t.Advance(1500);
    t.Lap(1);
    QCOMPARE(t.window->Race.LapTable[1].Count, 2);
    QVERIFY(t.window->Journal->flush(5000));
    TRaceDayStore store(t.JournalPath());
    QCOMPARE(store.day(dayId)->heat(heatId)->raceId, raceId);
}

void TestRaceDay::lapKeysCountWhileTheRaceDayWindowsAreOpen()
{
    TWindowUnderTest t;
    t.UseJournal();
    t.window->seCarCount->setValue(3);
    t.ClickStart();
    t.Key(Qt::Key_G, Qt::ControlModifier);
    QVERIFY(t.window->RaceDay && t.window->RaceDay->isVisible());
    QApplication::setActiveWindow(t.window->RaceDay);
    t.window->RaceDay->NameEdit->setFocus();
    t.Advance(2000);
    QTest::keyClick(t.window->RaceDay->NameEdit, Qt::Key_F2);
    QCOMPARE(t.window->Race.LapTable[2].Count, 1);
    QApplication::setActiveWindow(t.window.get());
    t.Key(Qt::Key_G, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(t.window->Season && t.window->Season->isVisible());
    QApplication::setActiveWindow(t.window->Season);
    t.window->Season->NameEdit->setFocus();
    t.Advance(2000);
    QTest::keyClick(t.window->Season->NameEdit, Qt::Key_F2);
    QCOMPARE(t.window->Race.LapTable[2].Count, 2);
}

void TestRaceDay::lateProtestMovesTheDayWhileTheNextHeatRuns()
{
    // Heat 1: F1 two laps ahead of F2 by 2 s, stopped and left for heat 2, which runs. A 10 s
    // penalty on F1 of heat 1, given in its own window, puts F2 ahead in the day's results;
    // heat 2 counts its lap keys meanwhile, and after a restart heat 1 still has the penalty.
    TWindowUnderTest t;
    t.UseJournal();
    TRaceDayWindow *day = dayOf(t);
    day->HeatSize->setValue(6);
    QVERIFY(day->SplitHeats(QStringLiteral("B"), THeatOrder::ListOrder));
    day->WaitForStore();
    QTRY_VERIFY(!day->Busy());
    const QList<THeat> heats = day->Day().rounds.first().heats;
    QCOMPARE(heats.size(), 2);
    const int first = heats[0].entrantIds[0];
    const int second = heats[0].entrantIds[1];
    QVERIFY(day->StartHeat(heats[0].id));
    t.ClickStart();
    t.Advance(60000);
    t.Lap(1);
    t.Advance(2000);
    t.Lap(2);
    t.Advance(58000);
    t.Lap(1);
    t.Advance(2000);
    t.Lap(2);
    t.Answer(TFDlgYesNo::daYes);
    t.ClickStart(); // stop
    const qint64 heatRace = t.window->JournalRaceId;

    day->show();
    day->Tabs->setCurrentIndex(2);
    QVERIFY(selectHeat(day, heats[1].id));
    t.Answer(TFDlgYesNo::daYes); // the stopped heat 1 leaves the standings
    QTest::mouseClick(day->StartButton, Qt::LeftButton);
    t.ClickStart();
    t.Advance(30000);
    t.Lap(3);
    const qint64 runningRace = t.window->JournalRaceId;
    QTRY_VERIFY_WITH_TIMEOUT(day->Day().heat(heats[0].id)->raceId == heatRace &&
                                 qualifyingPlace(day, first) != 0 &&
                                 qualifyingPlace(day, first) < qualifyingPlace(day, second),
                             20000);

    // The heat on the keys is corrected in the main window, not here.
    QVERIFY(!day->LateCorrectionButton->isEnabled());
    QVERIFY(selectHeat(day, heats[0].id));
    QVERIFY(day->LateCorrectionButton->isEnabled());
    QApplication::setActiveWindow(day);
    QTest::keyClick(day, Qt::Key_H, Qt::AltModifier);
    QTRY_VERIFY(day->LateCorrection(heatRace));
    TLateCorrectionWindow *late = day->LateCorrection(heatRace);
    QApplication::setActiveWindow(late);
    late->Grid->SetRow(late->Session.Timing().RowOfCar(1));
    late->Grid->setFocus();
    // A lap key counts for heat 2 whichever window has the keyboard.
    t.Advance(30000);
    QTest::keyClick(late->Grid, Qt::Key_F3);
    QCOMPARE(t.window->Race.LapTable[3].Count, 2);
    QTimer::singleShot(0, [] {
        QWidget *dialog = QApplication::activeModalWidget();
        QVERIFY(dialog && dialog->focusWidget());
        QTest::keyClick(dialog->focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(dialog->focusWidget(), QStringLiteral("10"));
        QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
    });
    QTest::keyClick(late->Grid, Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(late->Session.Corrections().Verdict(1).penaltyMs, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(qualifyingPlace(day, first) > qualifyingPlace(day, second), 20000);
    QCOMPARE(t.window->JournalRaceId, runningRace);
    QCOMPARE(t.window->RaceState(), TFormMain::rsRunning);
    QCOMPARE(t.window->Race.LapTable[1].Count, 0);

    t.Answer(TFDlgYesNo::daYes);
    t.ClickStart(); // stop
    t.Close();
    t.Open();
    day = t.window->RaceDayWindow();
    day->ShowMessage = [](const QString &text) { QFAIL(qPrintable(text)); };
    day->show();
    day->Tabs->setCurrentIndex(2);
    QTRY_VERIFY_WITH_TIMEOUT(!day->Busy() && qualifyingPlace(day, first) != 0, 20000);
    QVERIFY(qualifyingPlace(day, first) > qualifyingPlace(day, second));
    QVERIFY(selectHeat(day, heats[0].id));
    QTest::mouseClick(day->LateCorrectionButton, Qt::LeftButton);
    QTRY_VERIFY(day->LateCorrection(heatRace));
    QCOMPARE(day->LateCorrection(heatRace)->Session.Corrections().Verdict(1).penaltyMs, 10000);
}

void TestRaceDay::longHeatLineKeepsTheWindowOnTheScreen()
{
    TWindowUnderTest t;
    const QRect screen = t.window->screen()->availableGeometry();
    t.window->resize(qMin(1024, screen.width()), qMin(768, screen.height()));
    const QSize before = t.window->size();
    TFormMain::THeatOnKeys heat;
    heat.dayId = 1;
    heat.heatId = 1;
    heat.label = QStringLiteral("Klasse Elektro-Tourenwagen bis 1:10 Maßstab Junioren · Vorlauf 1 "
                                "· Lauf 2 ")
                     .repeated(4);
    heat.title = QStringLiteral("Clubtag");
    heat.drivers = {{QStringLiteral("7"), QStringLiteral("Anna")}};
    QVERIFY(t.window->PutHeatOnKeys(heat));
    QTest::qWait(50);
    QVERIFY(t.window->HeatLine->isVisible());
    QVERIFY(t.window->width() <= before.width());
    QVERIFY(t.window->frameGeometry().width() <= screen.width());
    QVERIFY(t.window->HeatLine->shownText() != t.window->HeatLine->text());
    // The standings keep their rows: the heat's one driver on F1.
    QCOMPARE(keyRows(t), QStringList{QStringLiteral("F1 7 Anna")});
}

void TestRaceDay::nameTypedAfterNewReplacesTheProposal()
{
    TWindowUnderTest t;
    t.UseJournal();
    TRaceDayWindow *day = t.window->RaceDayWindow();
    day->ShowMessage = [](const QString &text) { QFAIL(qPrintable(text)); };
    day->show();
    QApplication::setActiveWindow(day);
    QTest::mouseClick(day->NewDayButton, Qt::LeftButton);
    QVERIFY(settled(day)); // the store has answered and the day is shown again
    QTest::keyClicks(day->NameEdit, QStringLiteral("Probe Name"));
    QTest::keyClick(day->NameEdit, Qt::Key_Return);
    QVERIFY(settled(day));
    TRaceDayStore store(t.JournalPath());
    const QList<TRaceDay> days = store.days();
    QCOMPARE(days.size(), 1);
    QCOMPARE(days.first().name, QStringLiteral("Probe Name"));
}

void TestRaceDay::typedDate_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QDate>("kept");
    QTest::addColumn<bool>("told"); // a message says the text is no date
    const QDate before(2026, 5, 1);
    QTest::newRow("two-digit year") << "03.04.26" << QDate(2026, 4, 3) << false;
    QTest::newRow("day and month of one digit") << "3.4.26" << QDate(2026, 4, 3) << false;
    QTest::newRow("four-digit year") << "03.04.2026" << QDate(2026, 4, 3) << false;
    QTest::newRow("no such day") << "31.02.26" << before << true;
    QTest::newRow("year cut short") << "1.1.2" << before << true;
}

void TestRaceDay::typedDate()
{
    QFETCH(QString, typed);
    QFETCH(QDate, kept);
    QFETCH(bool, told);
    TWindowUnderTest t;
    t.UseJournal();
    TRaceDayWindow *day = t.window->RaceDayWindow();
    QStringList messages;
    day->ShowMessage = [&messages](const QString &text) { messages << text; };
    day->NewDay(QStringLiteral("Clubtag"), QDate(2026, 5, 1));
    QVERIFY(settled(day));
    day->show();
    QApplication::setActiveWindow(day);
    day->DateEdit->setFocus();
    day->DateEdit->findChild<QLineEdit *>()->selectAll();
    QTest::keyClicks(day->DateEdit, typed);
    QTest::keyClick(day->DateEdit, Qt::Key_Return);
    QVERIFY(settled(day));
    QCOMPARE(day->DateEdit->date(), kept);
    TRaceDayStore store(t.JournalPath());
    QCOMPARE(store.days().first().date, kept);
    QCOMPARE(messages.size(), told ? 1 : 0);
    if (told)
        QVERIFY(messages.first().contains(typed));
}

void TestRaceDay::seasonAndDayAreDeletedAfterAQuestion()
{
    TWindowUnderTest t;
    t.UseJournal();
    TRaceDayWindow *day = dayOf(t);
    t.Key(Qt::Key_G, Qt::ControlModifier | Qt::ShiftModifier);
    TSeasonWindow *season = t.window->Season;
    season->ShowMessage = [](const QString &text) { QFAIL(qPrintable(text)); };
    QTest::mouseClick(season->NewButton, Qt::LeftButton);
    QVERIFY(settled(season));
    // The name typed right after "Neu" replaces the proposal; a space makes no second season.
    QApplication::setActiveWindow(season);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Club 2026"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    season->Days->item(0)->setCheckState(Qt::Checked);
    QVERIFY(settled(season));
    TRaceDayStore store(t.JournalPath());
    QCOMPARE(store.seasons().size(), 1);
    const QString name = store.seasons().first().name;
    QCOMPARE(name, QStringLiteral("Club 2026"));

    t.Answer(TFDlgYesNo::daNo);
    QTest::mouseClick(season->DeleteButton, Qt::LeftButton);
    QVERIFY(settled(season));
    QCOMPARE(store.seasons().size(), 1);
    QVERIFY(t.dialog->AskedQuestions().last().contains(name));
    t.Answer(TFDlgYesNo::daYes);
    QTest::mouseClick(season->DeleteButton, Qt::LeftButton);
    QVERIFY(settled(season));
    QCOMPARE(store.seasons().size(), 0);
    QCOMPARE(store.days().first().seasonId, 0); // the day stays, in no season
    QVERIFY(!season->NameEdit->isEnabled());    // nothing typed is lost without a season

    t.Answer(TFDlgYesNo::daNo);
    QTest::mouseClick(day->DeleteDayButton, Qt::LeftButton);
    QVERIFY(settled(day));
    QCOMPARE(store.days().size(), 1);
    QVERIFY(t.dialog->AskedQuestions().last().contains(QStringLiteral("\u201EClubtag\u201C")));
    QVERIFY(t.dialog->AskedQuestions().last().contains(QStringLiteral("30 Startern")));
    t.Answer(TFDlgYesNo::daYes);
    QTest::mouseClick(day->DeleteDayButton, Qt::LeftButton);
    QVERIFY(settled(day));
    QCOMPARE(store.days().size(), 0);
    QCOMPARE(day->DayChoice->count(), 0);
    QCOMPARE(day->Day().id, 0);
}

void TestRaceDay::listReadAgainReplacesOrAdds_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("entrants");
    QTest::addColumn<bool>("warned"); // of start numbers a class has twice
    QTest::newRow("replaced") << QStringLiteral("&Ersetzen") << 30 << false;
    QTest::newRow("added") << QStringLiteral("&Hinzufügen") << 60 << true;
    QTest::newRow("neither") << QStringLiteral("Abbrechen") << 30 << false;
}

void TestRaceDay::listReadAgainReplacesOrAdds()
{
    QFETCH(QString, button);
    QFETCH(int, entrants);
    QFETCH(bool, warned);
    TWindowUnderTest t;
    t.UseJournal();
    TRaceDayWindow *day = dayOf(t);
    QStringList messages;
    day->ShowMessage = [&messages](const QString &text) { messages << text; };
    clickInNextBox(button);
    day->ReadStarterList(writeList(t.folder.path()));
    QVERIFY(settled(day));
    QCOMPARE(day->Day().entrants.size(), entrants);
    QSet<int> ids;
    for (const TEntrant &e : day->Day().entrants)
        ids.insert(e.id);
    QCOMPARE(ids.size(), entrants);
    QCOMPARE(messages.size(), warned ? 1 : 0);
    if (warned)
        QVERIFY(messages.first().contains(QStringLiteral("101, 102, 103")));
    TRaceDayStore store(t.JournalPath());
    // Saved again before the store answered the first save, the day is kept once.
    QCOMPARE(store.days().size(), 1);
    QCOMPARE(store.days().first().entrants.size(), entrants);
}

void TestRaceDay::markedEntrantsRemovedComeBackWithCtrlZ()
{
    TWindowUnderTest t;
    t.UseJournal();
    TRaceDayWindow *day = dayOf(t);
    QVERIFY(day->SplitHeats(QStringLiteral("A"), THeatOrder::ListOrder));
    QVERIFY(settled(day));
    const TRaceDay before = day->Day();
    day->show();
    QApplication::setActiveWindow(day);
    day->Tabs->setCurrentIndex(0);
    const auto cell = [day](int row) {
        return day->Entrants->visualItemRect(day->Entrants->item(row, 1)).center();
    };
    QTest::mouseClick(day->Entrants->viewport(), Qt::LeftButton, {}, cell(0));
    QTest::mouseClick(day->Entrants->viewport(), Qt::LeftButton, Qt::ShiftModifier, cell(2));
    t.Answer(TFDlgYesNo::daNo);
    QTest::mouseClick(day->RemoveButton, Qt::LeftButton);
    QCOMPARE(day->Day().entrants.size(), 30);
    const QString question = t.dialog->AskedQuestions().last();
    for (const char *named : {"101 Fahrer 1", "102 Fahrer 2", "103 Fahrer 3"})
        QVERIFY2(question.contains(QLatin1String(named)), qPrintable(question));

    t.Answer(TFDlgYesNo::daYes);
    QTest::mouseClick(day->RemoveButton, Qt::LeftButton);
    QCOMPARE(day->Day().entrants.size(), 27);
    QCOMPARE(heatsOf(day->Day()).first().size(),
             before.rounds.first().heats.first().entrantIds.size() - 2);

    QTest::keyClick(day->Entrants, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(day->Day().entrants, before.entrants);
    QCOMPARE(heatsOf(day->Day()), heatsOf(before));
    QVERIFY(settled(day));
    TRaceDayStore store(t.JournalPath());
    QCOMPARE(store.days().first().entrants.size(), 30);
}

void TestRaceDay::heatsMovedByHandAreRedrawnOnlyAfterAQuestion()
{
    TWindowUnderTest t;
    t.UseJournal();
    TRaceDayWindow *day = dayOf(t);
    QVERIFY(day->SplitHeats(QStringLiteral("A"), THeatOrder::ListOrder));
    QVERIFY(day->SplitHeats(QStringLiteral("A"), THeatOrder::ListOrder)); // as drawn: no question
    QCOMPARE(t.dialog->AskedQuestions().size(), 0);
    QVERIFY(day->MoveDriver(day->Day().rounds.first().heats.first().entrantIds.first(), +1));
    const QList<QList<int>> moved = heatsOf(day->Day());

    t.Answer(TFDlgYesNo::daNo);
    day->show();
    day->Tabs->setCurrentIndex(2);
    QTest::mouseClick(day->SplitButton, Qt::LeftButton);
    QCOMPARE(t.dialog->AskedQuestions().size(), 1);
    QVERIFY(t.dialog->AskedQuestions().first().contains(QStringLiteral("\u201EA\u201C")));
    QCOMPARE(heatsOf(day->Day()), moved);
    t.Answer(TFDlgYesNo::daYes);
    QTest::mouseClick(day->SplitButton, Qt::LeftButton);
    QCOMPARE(heatsOf(day->Day()).first().size(), 9);
}

void TestRaceDay::driverMovedDownAndBackKeepsHisKey()
{
    TWindowUnderTest t;
    t.UseJournal();
    TRaceDayWindow *day = dayOf(t);
    QVERIFY(day->SplitHeats(QStringLiteral("A"), THeatOrder::ListOrder));
    const QList<QList<int>> drawn = heatsOf(day->Day());
    day->show();
    day->Tabs->setCurrentIndex(2);
    day->Heats->setFocus();
    // The first, a middle and the last driver of the first heat, each down and up again.
    for (const qsizetype at : {qsizetype(0), qsizetype(4), drawn.first().size() - 1}) {
        QVERIFY(day->SelectEntrant(drawn.first()[at]));
        QTest::keyClick(day->Heats, Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(heatsOf(day->Day())[1].last(), drawn.first()[at]);
        QTest::keyClick(day->Heats, Qt::Key_Up, Qt::AltModifier);
        QCOMPARE(heatsOf(day->Day()), drawn);
    }
}

void TestRaceDay::seasonOpensFromTheRaceDayWindow()
{
    TWindowUnderTest t;
    t.UseJournal();
    t.Key(Qt::Key_G, Qt::ControlModifier);
    QApplication::setActiveWindow(t.window->RaceDay);
    QTest::keyClick(t.window->RaceDay->Tabs, Qt::Key_G, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(t.window->Season && t.window->Season->isVisible());
    QApplication::setActiveWindow(t.window->Season);
    t.window->RaceDay->hide();
    QTest::keyClick(t.window->Season->Table, Qt::Key_G, Qt::ControlModifier);
    QVERIFY(t.window->RaceDay->isVisible());
}

void TestRaceDay::joinedDriversAreAskedForAndComeApartWithCtrlZ()
{
    // A day of two drivers in a season, its heat and its final timed: two lines to join.
    TWindowUnderTest t;
    t.UseJournal();
    TRaceDayWindow *day = t.window->RaceDayWindow();
    day->ShowMessage = [](const QString &text) { QFAIL(qPrintable(text)); };
    day->NewDay(QStringLiteral("Clubtag"), QDate(2026, 5, 1));
    QVERIFY(settled(day));
    const QString list = t.folder.filePath(QStringLiteral("zwei.csv"));
    QFile file(list);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("7;Jörg Weiss;A\n8;Jörg Weiß;A\n");
    file.close();
    day->ReadStarterList(list);
    QVERIFY(settled(day));
    QVERIFY(day->SplitHeats(QStringLiteral("A"), THeatOrder::ListOrder));
    const auto run = [&t, day](int heatId) {
        if (t.window->RaceState() == TFormMain::rsStopped)
            t.Answer(TFDlgYesNo::daYes);
        QVERIFY(day->StartHeat(heatId));
        t.ClickStart();
        for (int car = 1; car <= 2; ++car) {
            t.Advance(1000 * car);
            t.Lap(car);
        }
        t.Answer(TFDlgYesNo::daYes);
        t.ClickStart();
        QVERIFY(t.window->Journal->flush(5000));
        day->show(); // works the day out again
        QVERIFY(settled(day));
    };
    run(day->Day().rounds.first().heats.first().id);
    QVERIFY(day->SeedFinals(QStringLiteral("A")));
    run(day->Day().rounds.last().heats.first().id);

    t.Key(Qt::Key_G, Qt::ControlModifier | Qt::ShiftModifier);
    TSeasonWindow *season = t.window->Season;
    season->ShowMessage = [](const QString &text) { QFAIL(qPrintable(text)); };
    QTest::mouseClick(season->NewButton, Qt::LeftButton);
    QVERIFY(settled(season));
    season->Days->item(0)->setCheckState(Qt::Checked);
    QVERIFY(settled(season));
    QCOMPARE(season->Lines().size(), 2);
    QApplication::setActiveWindow(season);
    season->Table->selectAll();

    t.Answer(TFDlgYesNo::daNo);
    QTest::mouseClick(season->JoinButton, Qt::LeftButton);
    QCOMPARE(season->Lines().size(), 2);
    const QString question = t.dialog->AskedQuestions().last();
    QVERIFY2(question.contains(QStringLiteral("7 Jörg Weiss")) &&
                 question.contains(QStringLiteral("8 Jörg Weiß")),
             qPrintable(question));
    t.Answer(TFDlgYesNo::daYes);
    QTest::mouseClick(season->JoinButton, Qt::LeftButton);
    QCOMPARE(season->Lines().size(), 1);
    QTest::keyClick(season->Table, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(season->Lines().size(), 2);
    QVERIFY(settled(season));
    TRaceDayStore store(t.JournalPath());
    QCOMPARE(store.seasons().first().joins.size(), 0);
}

QTEST_MAIN(TestRaceDay)
#include "tst_raceday.moc"

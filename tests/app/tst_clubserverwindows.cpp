// The club server through the windows, against a real PostgreSQL server: the results office
// follows a station's race live, and "Frühere Rennen" lists and opens another station's race.
#include "ArchiveModel.h"
#include "ArchiveWindow.h"
#include "ClubServerFixture.h"
#include "CorrectionEvents.h"
#include "ResultsOfficeWindow.h"
#include "StationUnderTest.h"
#include "WindowUnderTest.h"

#include "PlanDocuments.h"
#include "RaceDayStore.h"
#include "RaceDayWindow.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace {
// The standings of a race as its station shows them: the same events through a race session
// showing accuracy digits, its clock at tick now (0: not run).
QList<QStringList> standingsOf(const QList<TRaceEvent> &events, int accuracy = 1, quint32 now = 0)
{
    TManualTickCounter ticks(0);
    TRaceSession session(ticks);
    const int cars = events.first().payload.value(StartPayload::kCars).toInt();
    session.SetAccuracy(accuracy);
    session.SetRowCount(cars + 1);
    session.LabelKeys(cars);
    session.Load(events, events.first().tick);
    if (now != 0)
        session.Tick(now);
    QList<QStringList> rows;
    for (int r = 1; r < session.Standings().RowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < TStandingsTable::kColumns; ++c)
            row << session.Standings().Cell(c, r);
        rows << row;
    }
    return rows;
}

QList<QStringList> officeStandings(const TResultsOfficeWindow &office)
{
    QList<QStringList> rows;
    for (int r = 1; r <= office.Standings->rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < TStandingsTable::kColumns; ++c)
            row << office.Cell(c, r);
        rows << row;
    }
    return rows;
}

// The laps the office shows for a car (its key "F1" ...).
QString officeLaps(const TResultsOfficeWindow &office, int car)
{
    for (int r = 1; r <= office.Standings->rowCount(); ++r) {
        if (office.Cell(TStandingsTable::colKey, r) == TStandingsTable::KeyText(car))
            return office.Cell(TStandingsTable::colLaps, r);
    }
    return {};
}
// The results office of the read-only login "buero", opened in the window.
TResultsOfficeWindow *openOffice(TWindowUnderTest &t, ClubServerFixture &club)
{
    TClubServerConfig office = club.config(QStringLiteral("buero"));
    office.readOnly = true;
    t.window->SetClubServer(office, ClubServerFixture::passwordOf(QStringLiteral("buero")));
    return t.window->ResultsOffice;
}

} // namespace

class TestClubServerWindows : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QString error;
        QVERIFY2(m_club.start(&error), qPrintable(error));
    }

    // A press at a station shows in the office's standings within a second, exactly as the
    // station's race session has it; a lap key in the office changes nothing.
    void resultsOfficeShowsAPressWithinASecond()
    {
        StationUnderTest a;
        QVERIFY(a.open(m_club, QStringLiteral("bahn_a")));
        const qint64 race = a.race(QStringLiteral("Sprint Klasse A"), 3, 10, {}, 2);
        QVERIFY(a.journal.flush(5000));
        QVERIFY2(a.push->waitUntilCaughtUp(20000), qPrintable(a.push->state().text()));

        TWindowUnderTest t;
        TResultsOfficeWindow *shown = openOffice(t, m_club);
        QVERIFY(shown && shown->isVisible());
        // 70 s into the race by the station's clock: the running laps' "Zeit" stands there.
        shown->WallNow = [] { return StationUnderTest::press(1, 70000).wallMs; };
        const quint32 now = StationUnderTest::press(1, 70000).tick;
        QTRY_VERIFY_WITH_TIMEOUT(!shown->RaceList().isEmpty(), 10000);
        const QString station = TRaceDayStore(a.path()).stationId();
        QVERIFY(shown->SelectRace(station, race));
        QTRY_COMPARE_WITH_TIMEOUT(officeLaps(*shown, 1), QStringLiteral("2"), 10000);
        QTRY_COMPARE(shown->ServerState->text(), QStringLiteral("Vereinsserver: verbunden"));

        QElapsedTimer pressed;
        pressed.start();
        a.journal.append(race, StationUnderTest::press(1, 60000));
        QTRY_COMPARE_WITH_TIMEOUT(officeLaps(*shown, 1), QStringLiteral("3"), 1000);
        qInfo("press at the station to the office's standings: %lld ms", pressed.elapsed());
        QCOMPARE(officeStandings(*shown), standingsOf(a.journal.events(race), 1, now));

        // A correction replays the race: the office follows it too.
        const TRaceEvent last = a.journal.events(race).last();
        a.journal.append(race, CorrectionEvents::Delete(last.seq, last.car, last.tick + 5000,
                                                        last.wallMs + 5000));
        QTRY_COMPARE_WITH_TIMEOUT(officeLaps(*shown, 1), QStringLiteral("2"), 5000);
        QCOMPARE(officeStandings(*shown), standingsOf(a.journal.events(race), 1, now));

        const QList<QStringList> before = officeStandings(*shown);
        QTest::keyClick(shown, Qt::Key_F1);
        QTest::keyClick(shown, Qt::Key_F2);
        QTest::qWait(300);
        QCOMPARE(officeStandings(*shown), before);
        QCOMPARE(a.journal.events(race).size(), 9);
    }

    // The office shows a race with the digits its station timed it with, the running laps'
    // "Zeit" as the station's clock stands, and every column in its 900 px.
    void resultsOfficeShowsTheRaceAsItsStationDoes()
    {
        StationUnderTest a;
        QVERIFY(a.open(m_club, QStringLiteral("bahn_a")));
        TRaceEvent start = JournalSamples::startEvent(QStringLiteral("Hundertstel"), 2, 5);
        start.payload.insert(StartPayload::kAccuracy, 2);
        const qint64 race = a.journal.startRace(start);
        a.journal.append(race, StationUnderTest::press(1, 2100));
        QVERIFY(a.journal.flush(5000));
        QVERIFY2(a.push->waitUntilCaughtUp(20000), qPrintable(a.push->state().text()));
        const TRaceEvent pressed = a.journal.events(race).last();

        TWindowUnderTest t;
        TResultsOfficeWindow *shown = openOffice(t, m_club);
        QVERIFY(shown && shown->isVisible());
        // Five seconds after the press, by the station's clock.
        shown->WallNow = [&pressed] { return pressed.wallMs + 5000; };
        QTRY_VERIFY_WITH_TIMEOUT(shown->SelectRace(TRaceDayStore(a.path()).stationId(), race),
                                 10000);
        QTRY_COMPARE_WITH_TIMEOUT(officeLaps(*shown, 1), QStringLiteral("1"), 10000);
        const QList<QStringList> expected =
            standingsOf(a.journal.events(race), 2, pressed.tick + 5000);
        QTRY_COMPARE(officeStandings(*shown), expected);
        QCOMPARE(expected.first().at(TStandingsTable::colLastLap), QStringLiteral("0:02.10"));
        QVERIFY(!expected.last().at(TStandingsTable::colZeit).isEmpty());

        shown->resize(900, 600);
        QTRY_COMPARE(shown->width(), 900);
        for (const QTableWidget *table : {shown->Standings, shown->Races}) {
            const int last = table->columnCount() - 1;
            QVERIFY2(table->columnViewportPosition(last) + table->columnWidth(last) <=
                         table->viewport()->width(),
                     qPrintable(table->horizontalHeaderItem(last)->text()));
        }
    }

    // With a club server, "alle Stationen" lists another station's race beside this journal's;
    // it opens read-only with its events read from the server.
    void archiveListsAndOpensAnotherStationsRace()
    {
        StationUnderTest b;
        QVERIFY(b.open(m_club, QStringLiteral("bahn_b")));
        const qint64 race = b.race(QStringLiteral("Lauf der Station B"), 2, 3);
        QVERIFY(b.journal.flush(5000));
        QVERIFY2(b.push->waitUntilCaughtUp(20000), qPrintable(b.push->state().text()));

        TWindowUnderTest t;
        t.UseJournal();
        t.window->SetClubServer(m_club.config(QStringLiteral("bahn_a")),
                                ClubServerFixture::passwordOf(QStringLiteral("bahn_a")));
        QTRY_VERIFY_WITH_TIMEOUT(!t.window->StationId().isEmpty(), 10000);
        t.Key(Qt::Key_R, Qt::ControlModifier);
        auto *archive = t.window->findChild<TArchiveWindow *>();
        QVERIFY(archive && archive->isVisible());
        QCOMPARE(archive->Model->rowCount(), 0);
        QVERIFY(archive->AllStationsBox->isVisible());
        archive->AllStationsBox->setChecked(true);
        QTRY_VERIFY_WITH_TIMEOUT(archive->Model->rowCount() > 0, 10000);
        int row = -1;
        for (int r = 0; r < archive->Model->rowCount(); ++r) {
            if (archive->Model->Row(r)->race.id == race &&
                archive->Model->Row(r)->station == TRaceDayStore(b.path()).stationId())
                row = r;
        }
        QVERIFY(row >= 0);
        QCOMPARE(archive->Model->index(row, TArchiveModel::colTitle).data().toString(),
                 QStringLiteral("Lauf der Station B"));
        QVERIFY(!archive->Model->index(row, TArchiveModel::colStation).data().toString().isEmpty());
        archive->Table->selectRow(row);
        QVERIFY(!archive->DeleteButton->isEnabled()); // that station's race to delete

        QString shownError = QStringLiteral("nicht gezeigt");
        t.window->OnServerRaceShown = [&](const QString &error) { shownError = error; };
        archive->OpenButton->click();
        QTRY_VERIFY_WITH_TIMEOUT(shownError.isEmpty(), 10000);
        QVERIFY(t.window->ViewingArchivedRace());
        QCOMPARE(t.window->eTitle->text(), QStringLiteral("Lauf der Station B"));
        const QList<QStringList> expected = standingsOf(b.journal.events(race));
        QCOMPARE(t.Cell(TRaceTiming::colLaps, t.RowOfKey(QStringLiteral("F1"))),
                 expected.first().at(TStandingsTable::colLaps));
        QCOMPARE(t.Cell(TRaceTiming::colFahrer, 1),
                 expected.first().at(TStandingsTable::colFahrer));
    }

    // A day made on another station is taken over; the heats that station timed count in the
    // day's results here, read from the server.
    void aDayTakenOverCountsTheOtherStationsHeats()
    {
        StationUnderTest b;
        QVERIFY(b.open(m_club, QStringLiteral("bahn_b")));
        TRaceDayStore storeB(b.path());
        TRaceDay day;
        day.name = QStringLiteral("Clubtag der Station B");
        day.date = QDate(2026, 6, 6);
        TRound round;
        round.id = 1;
        for (int id = 1; id <= 4; ++id)
            day.entrants.append(
                {id, QString::number(id), QStringLiteral("Fahrer %1").arg(id), QString(), false});
        round.heats = {{1, {1, 2}, 0}, {2, {3, 4}, 0}};
        day.rounds.append(round);
        QVERIFY(storeB.saveDay(day));
        b.race(QStringLiteral("Lauf 1"), 2, 3, std::pair(day.id, 1));
        QVERIFY(b.journal.flush(5000));
        QVERIFY2(b.push->waitUntilCaughtUp(20000), qPrintable(b.push->state().text()));

        TWindowUnderTest t;
        t.UseJournal();
        t.window->SetClubServer(m_club.config(QStringLiteral("bahn_a")),
                                ClubServerFixture::passwordOf(QStringLiteral("bahn_a")));
        TRaceDayWindow *window = t.window->RaceDayWindow();
        window->ShowMessage = [](const QString &text) { QFAIL(qPrintable(text)); };
        QStringList offered;
        window->ChooseServerDay = [&](const QStringList &days) {
            offered = days;
            for (int i = 0; i < days.size(); ++i) {
                if (days[i].startsWith(QStringLiteral("Clubtag der Station B")))
                    return i;
            }
            return -1;
        };
        QTRY_VERIFY_WITH_TIMEOUT(!window->Busy(), 10000);
        window->OfferServerDays();
        QTRY_VERIFY_WITH_TIMEOUT(!offered.isEmpty(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(window->Day().id != 0, 10000);
        QCOMPARE(window->Day().name, QStringLiteral("Clubtag der Station B"));
        QCOMPARE(window->Day().origin, PlanDocuments::dayOrigin(day, storeB.stationId()));

        const auto heatOne = [window] {
            const TClassOutcome *c = window->Outcome().ofClass(QString());
            return c && !c->qualifyingHeats.isEmpty() ? c->qualifyingHeats.first().value(0)
                                                      : THeatResults();
        };
        QTRY_VERIFY_WITH_TIMEOUT(!heatOne().isEmpty(), 10000);
        QCOMPARE(heatOne().first().laps, 3);
        QVERIFY(window->HeatStarted(1));  // timed on station B: its drivers stay
        QVERIFY(!window->HeatStarted(2)); // still to be timed, here
        QVERIFY(window->HeatConflicts().isEmpty());

        // Station B times the second heat too: the open window follows it without being asked,
        // as running elsewhere and then counted.
        window->show();
        const auto heatState = [window](int heatId) {
            for (QTreeWidgetItemIterator it(window->Heats); *it; ++it) {
                if ((*it)->parent() && !(*it)->parent()->parent() &&
                    (*it)->data(0, Qt::UserRole).toInt() == heatId)
                    return (*it)->text(2);
            }
            return QString();
        };
        TRaceEvent start = JournalSamples::startEvent(QStringLiteral("Lauf 2"), 2, 4);
        LinkStartToHeat(start, day.id, 2);
        const qint64 running = b.journal.startRace(start);
        QVERIFY(b.journal.flush(5000));
        QTRY_COMPARE_WITH_TIMEOUT(heatState(2), QStringLiteral("läuft auf einer anderen Station"),
                                  15000);
        b.journal.deleteRace(running);
        const qint64 timed = b.race(QStringLiteral("Lauf 2"), 2, 4, std::pair(day.id, 2));
        b.journal.append(timed, JournalSamples::plain(TRaceEvent::Kind::End));
        QVERIFY(b.journal.flush(5000));
        const auto heatTwo = [window] {
            const TClassOutcome *c = window->Outcome().ofClass(QString());
            return c && !c->qualifyingHeats.isEmpty() ? c->qualifyingHeats.first().value(1)
                                                      : THeatResults();
        };
        QTRY_COMPARE_WITH_TIMEOUT(heatTwo().value(0).laps, 4, 15000);
        QTRY_COMPARE(heatState(2), QStringLiteral("fertig"));
        QVERIFY(window->HeatStarted(2));
    }

private:
    ClubServerFixture m_club;
};

QTEST_MAIN(TestClubServerWindows)
#include "tst_clubserverwindows.moc"

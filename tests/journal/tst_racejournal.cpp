#include "JournalSamples.h"
#include "RaceJournal.h"
#include "RaceSetup.h"
#include "RawDatabase.h"

#include <QDateTime>
#include <QFile>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace JournalSamples;
using namespace Qt::StringLiterals;
using Kind = TRaceEvent::Kind;
using State = TRaceSummary::State;

class TestRaceJournal : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void everyKindComesBackAsStored();
    void pressPayloadsReadAsTheParserReadsThem();
    void sequenceNumbersFollowTheOrderOfTheCalls();
    void closeStoresEverythingHandedOver();

    void raceStateFollowsStopAndEnd();
    void outcomeAndInterruption();
    void aNewRaceInterruptsTheRunningOne();
    void rowChangesWithoutAnEventAreTold();
    void unfinishedRaceContinuesAfterReopening();
    void archiveListsAndDeletesRaces();

    void anEventTheFileRefusesDoesNotHoldUpTheRest();
    void secondJournalOnTheSameFileIsRefused();
    void lockFileWithoutAHolderIsTakenOver();
    void withoutAFileTheRaceStillCounts();

private:
    QString dbPath() const { return m_dir->filePath(QStringLiteral("data/journal.sqlite")); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestRaceJournal::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestRaceJournal::everyKindComesBackAsStored()
{
    QList<TRaceEvent> handed;
    qint64 raceId = 0;
    {
        TRaceJournal journal;
        QVERIFY2(journal.open(dbPath()), qPrintable(journal.errorString()));
        QVERIFY(journal.notice().isEmpty());
        QSignalSpy stored(&journal, &TRaceJournal::eventStored);

        handed.append(startEvent(QStringLiteral("Großer Preis, Nord")));
        raceId = journal.startRace(handed.last());
        handed.last().seq = 1;
        TRaceEvent lastTick = press(1);
        lastTick.tick = 0xFFFFFFFFu; // the tick counter's last value before it wraps
        TRaceEvent future = plain(Kind::Reset);
        future.payload = QJsonObject{{QStringLiteral("note"), QStringLiteral("ä\"\\\n")}};
        for (TRaceEvent event :
             {press(0), lastTick, plain(Kind::Stop), plain(Kind::Reset), plain(Kind::NewRace),
              future, plain(Kind::Resume), plain(Kind::DeleteCrossing), plain(Kind::InsertCrossing),
              plain(Kind::MoveCrossing), plain(Kind::EditCrossing), plain(Kind::ConfirmCrossing),
              plain(Kind::Undo), plain(Kind::Redo), plain(Kind::End)}) {
            event.seq = journal.append(raceId, event);
            handed.append(event);
        }
        QTRY_COMPARE(stored.count(), handed.size());
        QCOMPARE(stored.first(), (QList<QVariant>{raceId, 1}));
    }

    TRaceJournal reopened;
    QVERIFY(reopened.open(dbPath()));
    QCOMPARE(reopened.events(raceId), handed);
    const auto race = reopened.race(raceId);
    QVERIFY(race);
    QCOMPARE(race->title, QStringLiteral("Großer Preis, Nord"));
    QCOMPARE(race->session, QStringLiteral("Rennen"));
    QCOMPARE(race->cars, 3);
    QCOMPARE(race->laps, 10);
    QCOMPARE(race->startedWallMs, handed.first().wallMs);
    QCOMPARE(race->bootId, TRaceJournal::currentBootId());
}

void TestRaceJournal::pressPayloadsReadAsTheParserReadsThem()
{
    // A plain press's payload is read without the JSON parser; every other shape, and every
    // number the parser would not keep as written, must still come back as the parser reads it.
    const QStringList texts = {
        u"{\"ms\":0}"_s,
        u"{\"ms\":17804}"_s,
        u"{\"ms\":4294967295}"_s,
        u"{\"ms\":999999999999999}"_s,
        u"{\"ms\":12345678901234567}"_s, // past a double's exact integers
        u"{\"ms\":017}"_s,               // no JSON: an empty payload
        u"{\"ms\":-5}"_s,
        u"{\"ms\":1e3}"_s,
        u"{\"ms\":12.5}"_s,
        u"{\"ms\":}"_s,
        u"{\"ms\":12,\"locked\":true}"_s,
        u"{\"ms\": 12}"_s,
        u"{\"ms\":\"12\"}"_s,
        u"{\"m\":12}"_s,
    };
    qint64 raceId = 0;
    {
        TRaceJournal journal;
        QVERIFY(journal.open(dbPath()));
        raceId = journal.startRace(startEvent(QStringLiteral("A")));
        QVERIFY(journal.close(30000));
    }
    {
        RawDatabase raw(dbPath());
        for (int i = 0; i < texts.size(); ++i) {
            QString text = texts.at(i);
            QVERIFY(raw.exec(u"INSERT INTO events (race_id, seq, kind, tick, wall_ms, car, "
                             u"payload) VALUES (%1, %2, 'press', 0, 0, 1, '%3')"_s.arg(raceId)
                                 .arg(i + 2)
                                 .arg(text.replace(u'\'', u"''"_s))));
        }
    }
    TRaceJournal reopened;
    QVERIFY(reopened.open(dbPath()));
    const QList<TRaceEvent> events = reopened.events(raceId);
    QCOMPARE(events.size(), texts.size() + 1);
    for (int i = 0; i < texts.size(); ++i) {
        const QJsonObject parsed = QJsonDocument::fromJson(texts.at(i).toUtf8()).object();
        QCOMPARE(events.at(i + 1).kind, Kind::Press);
        QCOMPARE(events.at(i + 1).payload, parsed);
        QCOMPARE(QJsonDocument(events.at(i + 1).payload).toJson(), QJsonDocument(parsed).toJson());
    }
    QCOMPARE(PressRaceMs(events.at(3)), 4294967295u);
}

void TestRaceJournal::sequenceNumbersFollowTheOrderOfTheCalls()
{
    TRaceJournal journal;
    QVERIFY(journal.open(dbPath()));
    QSignalSpy stored(&journal, &TRaceJournal::eventStored);
    const qint64 raceId = journal.startRace(startEvent(QStringLiteral("A"), 12));
    constexpr int kPresses = 300;
    for (int n = 0; n < kPresses; ++n)
        QCOMPARE(journal.append(raceId, press(n)), n + 2);
    QTRY_COMPARE_WITH_TIMEOUT(stored.count(), kPresses + 1, 30000);
    for (int i = 0; i < stored.count(); ++i)
        QCOMPARE(stored.at(i).at(1).toInt(), i + 1);

    const QList<TRaceEvent> events = journal.events(raceId);
    QCOMPARE(events.size(), kPresses + 1);
    for (int n = 0; n < kPresses; ++n) {
        TRaceEvent expected = press(n);
        expected.seq = n + 2;
        QCOMPARE(events.at(n + 1), expected);
    }
}

void TestRaceJournal::closeStoresEverythingHandedOver()
{
    constexpr int kPresses = 200;
    qint64 raceId = 0;
    {
        TRaceJournal journal;
        QVERIFY(journal.open(dbPath()));
        raceId = journal.startRace(startEvent(QStringLiteral("A")));
        for (int n = 0; n < kPresses; ++n)
            journal.append(raceId, press(n));
        QVERIFY(journal.close(30000));
        QCOMPARE(journal.pendingCount(), 0);
    }
    TRaceJournal reopened;
    QVERIFY(reopened.open(dbPath()));
    QCOMPARE(reopened.events(raceId).size(), kPresses + 1);
}

void TestRaceJournal::raceStateFollowsStopAndEnd()
{
    TRaceJournal journal;
    QVERIFY(journal.open(dbPath()));
    const qint64 stopped = journal.startRace(startEvent(QStringLiteral("gestoppt")));
    journal.append(stopped, press(1));
    journal.append(stopped, plain(Kind::Stop));
    journal.append(stopped, plain(Kind::Reset));
    QCOMPARE(journal.race(stopped)->state, State::Stopped);

    const qint64 ended = journal.startRace(startEvent(QStringLiteral("beendet")));
    journal.append(ended, plain(Kind::End));
    journal.append(ended, plain(Kind::Stop)); // the end stands
    QCOMPARE(journal.race(ended)->state, State::Finished);

    const qint64 running = journal.startRace(startEvent(QStringLiteral("läuft")));
    journal.append(running, plain(Kind::NewRace));
    QCOMPARE(journal.race(running)->state, State::Running);
    QCOMPARE(journal.unfinishedRace()->id, running);
}

void TestRaceJournal::outcomeAndInterruption()
{
    TRaceJournal journal;
    QVERIFY(journal.open(dbPath()));
    const qint64 raceId = journal.startRace(startEvent(QStringLiteral("A")));
    journal.setOutcome(raceId, State::Finished, QStringLiteral("7 Anna Berg"));
    QCOMPARE(journal.race(raceId)->state, State::Finished);
    QCOMPARE(journal.race(raceId)->winner, QStringLiteral("7 Anna Berg"));

    journal.markInterrupted(raceId);
    QCOMPARE(journal.race(raceId)->state, State::Interrupted);
    QCOMPARE(journal.race(raceId)->winner, QStringLiteral("7 Anna Berg"));
    QVERIFY(!journal.unfinishedRace());

    journal.setOutcome(raceId, State::Stopped, QString(""));
    QCOMPARE(journal.race(raceId)->winner, QString());
}

void TestRaceJournal::aNewRaceInterruptsTheRunningOne()
{
    TRaceJournal journal;
    QVERIFY(journal.open(dbPath()));
    const qint64 first = journal.startRace(startEvent(QStringLiteral("A")));
    journal.append(first, press(1));
    const qint64 second = journal.startRace(startEvent(QStringLiteral("B")));
    QVERIFY(second > first);
    QCOMPARE(journal.race(first)->state, State::Interrupted);
    QCOMPARE(journal.unfinishedRace()->id, second);
}

// What changes a race's row without an event of its own is told, so the club server hears of
// it: the outcome, a deletion, and the races a START marked interrupted (0: several).
void TestRaceJournal::rowChangesWithoutAnEventAreTold()
{
    TRaceJournal journal;
    QVERIFY(journal.open(dbPath()));
    QSignalSpy changed(&journal, &TRaceJournal::raceChanged);
    const qint64 first = journal.startRace(startEvent(QStringLiteral("A")));
    journal.setOutcome(first, State::Stopped, QStringLiteral("7 Anna Berg"));
    const qint64 second = journal.startRace(startEvent(QStringLiteral("B")));
    journal.startRace(startEvent(QStringLiteral("C")));
    journal.deleteRace(second);
    QVERIFY(journal.flush(5000));
    QTRY_COMPARE(changed.count(), 3);
    QCOMPARE(changed.at(0).at(0).toLongLong(), first);
    QCOMPARE(changed.at(1).at(0).toLongLong(), 0); // C interrupted B; A was stopped already
    QCOMPARE(changed.at(2).at(0).toLongLong(), second);
}

void TestRaceJournal::unfinishedRaceContinuesAfterReopening()
{
    qint64 raceId = 0;
    {
        TRaceJournal journal;
        QVERIFY(journal.open(dbPath()));
        journal.startRace(startEvent(QStringLiteral("fertig")));
        raceId = journal.startRace(startEvent(QStringLiteral("abgebrochen")));
        for (int n = 0; n < 5; ++n)
            journal.append(raceId, press(n));
    }

    TRaceJournal journal;
    QVERIFY(journal.open(dbPath()));
    const auto unfinished = journal.unfinishedRace();
    QVERIFY(unfinished);
    QCOMPARE(unfinished->id, raceId);
    QCOMPARE(unfinished->title, QStringLiteral("abgebrochen"));
    QCOMPARE(unfinished->bootId, TRaceJournal::currentBootId());

    // The resumed race goes on after its last stored event and its ticks now count in this
    // boot; a new race gets a new id.
    journal.close();
    {
        RawDatabase raw(dbPath());
        QVERIFY(raw.exec(QStringLiteral("UPDATE races SET boot_id = 'vor dem Neustart'")));
    }
    QVERIFY(journal.open(dbPath()));
    QCOMPARE(journal.race(raceId)->bootId, QStringLiteral("vor dem Neustart"));
    QCOMPARE(journal.append(raceId, plain(Kind::Resume)), 7);
    QCOMPARE(journal.race(raceId)->bootId, TRaceJournal::currentBootId());
    QCOMPARE(journal.append(raceId, press(5)), 8);
    QCOMPARE(journal.events(raceId).size(), 8);
    QCOMPARE(journal.startRace(startEvent(QStringLiteral("neu"))), raceId + 1);
}

void TestRaceJournal::archiveListsAndDeletesRaces()
{
    TRaceJournal journal;
    QVERIFY(journal.open(dbPath()));
    const qint64 a = journal.startRace(startEvent(QStringLiteral("A"), 2, 5));
    journal.append(a, press(1));
    journal.append(a, plain(Kind::End));
    journal.setOutcome(a, State::Finished, QStringLiteral("Sieger A"));
    const qint64 b = journal.startRace(startEvent(QStringLiteral("B"), 12, 999));
    journal.append(b, press(1));
    const qint64 c = journal.startRace(startEvent(QStringLiteral("C")));

    QList<TRaceSummary> races = journal.races();
    QCOMPARE(races.size(), 3);
    QCOMPARE(races.at(0).id, a);
    QCOMPARE(races.at(0).state, State::Finished);
    QCOMPARE(races.at(0).winner, QStringLiteral("Sieger A"));
    QCOMPARE(races.at(0).cars, 2);
    QCOMPARE(races.at(1).laps, 999);
    QCOMPARE(races.at(1).state, State::Interrupted);
    QCOMPARE(races.at(2).id, c);
    QCOMPARE(races.at(2).state, State::Running);

    journal.deleteRace(b);
    races = journal.races();
    QCOMPARE(races.size(), 2);
    QCOMPARE(races.at(0).id, a);
    QCOMPARE(races.at(1).id, c);
    QVERIFY(journal.events(b).isEmpty());
    QVERIFY(journal.errorString().isEmpty());
    QCOMPARE(journal.events(a).size(), 3);
}

void TestRaceJournal::anEventTheFileRefusesDoesNotHoldUpTheRest()
{
    TRaceJournal journal;
    QVERIFY(journal.open(dbPath()));
    QSignalSpy stored(&journal, &TRaceJournal::eventStored);
    QSignalSpy failed(&journal, &TRaceJournal::journalFailed);
    const qint64 raceId = journal.startRace(startEvent(QStringLiteral("A")));
    QVERIFY(journal.flush(5000));
    {
        // Something else took the place of the next event.
        RawDatabase raw(dbPath());
        QVERIFY(raw.exec(QStringLiteral("INSERT INTO events VALUES (%1, 2, 'press', 1, 1, 1, NULL)")
                             .arg(raceId)));
    }
    journal.append(raceId, press(1));
    journal.append(raceId, press(2));
    QTRY_COMPARE(failed.count(), 1);
    QVERIFY2(failed.first().first().toString().contains(QStringLiteral("abgewiesen")),
             qPrintable(failed.first().first().toString()));
    QTRY_COMPARE(stored.count(), 2);
    QCOMPARE(stored.last().at(1).toInt(), 3);
    QCOMPARE(journal.pendingCount(), 0);
}

void TestRaceJournal::secondJournalOnTheSameFileIsRefused()
{
    TRaceJournal first;
    QVERIFY(first.open(dbPath()));
    const qint64 raceId = first.startRace(startEvent(QStringLiteral("A")));
    // The first has been running for hours.
    QFile lockFile(dbPath() + QStringLiteral(".lock"));
    QVERIFY(lockFile.open(QIODevice::ReadWrite));
    QVERIFY(lockFile.setFileTime(QDateTime::currentDateTime().addSecs(-3 * 3600),
                                 QFileDevice::FileModificationTime));
    lockFile.close();

    TRaceJournal second;
    QVERIFY(!second.open(dbPath()));
    QVERIFY2(second.errorString().contains(QStringLiteral("anderen laufenden")),
             qPrintable(second.errorString()));
    QVERIFY(second.errorString().contains(dbPath()));

    // The first keeps its file, untouched by the attempt.
    QCOMPARE(first.events(raceId).size(), 1);
    first.close();
    QVERIFY(second.open(dbPath()));
}

void TestRaceJournal::lockFileWithoutAHolderIsTakenOver()
{
    // A program killed between making the lock file and writing into it leaves it empty.
    QVERIFY(QDir().mkpath(QFileInfo(dbPath()).path()));
    QFile lockFile(dbPath() + QStringLiteral(".lock"));
    QVERIFY(lockFile.open(QIODevice::WriteOnly));
    QVERIFY(lockFile.setFileTime(QDateTime::currentDateTime().addSecs(-1),
                                 QFileDevice::FileModificationTime));
    lockFile.close();
    TRaceJournal journal;
    QVERIFY2(journal.open(dbPath()), qPrintable(journal.errorString()));
}

void TestRaceJournal::withoutAFileTheRaceStillCounts()
{
    TRaceJournal journal;
    QSignalSpy stored(&journal, &TRaceJournal::eventStored);
    const qint64 raceId = journal.startRace(startEvent(QStringLiteral("A")));
    QCOMPARE(journal.append(raceId, press(1)), 2);
    QCOMPARE(journal.startRace(startEvent(QStringLiteral("B"))), raceId + 1);
    QVERIFY(journal.flush(100));
    QVERIFY(journal.events(raceId).isEmpty());
    QVERIFY(!journal.unfinishedRace());
    QCOMPARE(stored.count(), 0);
}

QTEST_GUILESS_MAIN(TestRaceJournal)
#include "tst_racejournal.moc"

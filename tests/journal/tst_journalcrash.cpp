#include "JournalSamples.h"
#include "RaceJournal.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace JournalSamples;

namespace {
constexpr int kKills = 30;
constexpr int kLongestRunMs = 400;

struct ChildReport
{
    qint64 raceId = 0;
    QList<int> stored;
};

ChildReport parse(const QByteArray &output)
{
    ChildReport report;
    for (const QByteArray &line : output.split('\n')) {
        const QList<QByteArray> words = line.split(' ');
        if (words.size() != 2)
            continue; // the line cut off by the kill
        if (words.first() == "race")
            report.raceId = words.last().toLongLong();
        else if (words.first() == "stored")
            report.stored.append(words.last().toInt());
    }
    return report;
}
} // namespace

// A program killed at any moment leaves every event it was told is stored, intact, and a file
// that opens without repair.
class TestJournalCrash : public QObject
{
    Q_OBJECT
private slots:
    void acknowledgedEventsSurviveAKill();
};

void TestJournalCrash::acknowledgedEventsSurviveAKill()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("journal.sqlite"));
    int acknowledged = 0;
    int racesSeen = 0;

    for (int round = 0; round < kKills; ++round) {
        QProcess child;
        child.start(QStringLiteral(CRASH_CHILD), {path, QStringLiteral("1")});
        QVERIFY(child.waitForStarted());
        QTest::qWait(int(QRandomGenerator::global()->bounded(kLongestRunMs)));
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished());
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        const ChildReport report = parse(child.readAllStandardOutput());

        TRaceJournal journal;
        QVERIFY2(journal.open(path), qPrintable(journal.errorString()));
        QVERIFY2(journal.notice().isEmpty(), qPrintable(journal.notice()));
        if (report.raceId == 0)
            continue; // killed while opening
        ++racesSeen;
        const QList<TRaceEvent> events = journal.events(report.raceId);
        for (int seq : report.stored)
            QVERIFY2(seq <= events.size(),
                     qPrintable(QStringLiteral("round %1: event %2 lost").arg(round).arg(seq)));
        acknowledged += int(report.stored.size());

        // Whatever reached the file is whole and in order, acknowledged or not.
        for (int i = 0; i < events.size(); ++i) {
            QCOMPARE(events.at(i).seq, i + 1);
            if (i == 0) {
                QCOMPARE(events.at(i).payload, startEvent(QStringLiteral("Absturz"), 12).payload);
                continue;
            }
            TRaceEvent expected = press(i - 1);
            expected.seq = i + 1;
            QCOMPARE(events.at(i), expected);
        }
    }
    qInfo("%d kills, %d races started, %d acknowledged events checked", kKills, racesSeen,
          acknowledged);
    QVERIFY(acknowledged > 0);
}

QTEST_GUILESS_MAIN(TestJournalCrash)
#include "tst_journalcrash.moc"

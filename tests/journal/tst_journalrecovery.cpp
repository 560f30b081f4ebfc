#include "JournalSamples.h"
#include "JournalWriter.h"
#include "RaceJournal.h"
#include "RawDatabase.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

using namespace JournalSamples;

namespace {
// Starts a race in the journal and checks that it comes back: the journal works.
void checkJournalWorks(TRaceJournal &journal)
{
    const qint64 raceId = journal.startRace(startEvent(QStringLiteral("danach")));
    journal.append(raceId, press(1));
    QCOMPARE(journal.events(raceId).size(), 2);
    QCOMPARE(journal.unfinishedRace()->id, raceId);
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// A small tmpfs mounted for one test, so the disk can really run full; only root may mount.
class TinyDisk
{
public:
    explicit TinyDisk(const QString &folder) : m_folder(folder)
    {
        QDir().mkpath(folder);
        m_mounted =
            geteuid() == 0 &&
            QProcess::execute(QStringLiteral("mount"),
                              {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                               QStringLiteral("size=1m"), QStringLiteral("tmpfs"), folder}) == 0;
    }
    ~TinyDisk()
    {
        if (m_mounted)
            QProcess::execute(QStringLiteral("umount"), {m_folder});
    }
    bool isMounted() const { return m_mounted; }

    // Fills the free space with one file; false when it could not.
    bool fill()
    {
        const int fd =
            ::open(QFile::encodeName(fillerPath()).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0)
            return false;
        const QByteArray block(4096, 'x');
        while (::write(fd, block.constData(), size_t(block.size())) > 0) {
        }
        const bool full = errno == ENOSPC;
        ::close(fd);
        return full;
    }
    void free() { QFile::remove(fillerPath()); }

private:
    QString fillerPath() const { return m_folder + QStringLiteral("/filler"); }
    QString m_folder;
    bool m_mounted = false;
};

// A folder nobody may write into, not even root: without write rights, and for root mounted
// read-only over itself (a bind mount), which needs the right to mount.
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(const QString &folder) : m_folder(folder)
    {
        QDir().mkpath(folder);
        if (geteuid() != 0) {
            m_readOnly = QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
            return;
        }
        m_mounted = mount({QStringLiteral("--bind"), folder, folder});
        m_readOnly =
            m_mounted && mount({QStringLiteral("-o"), QStringLiteral("remount,bind,ro"), folder});
    }
    ~ReadOnlyFolder()
    {
        if (m_mounted)
            QProcess::execute(QStringLiteral("umount"), {m_folder});
        QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    bool isReadOnly() const { return m_readOnly; }
    void makeWritable()
    {
        if (m_mounted)
            QVERIFY(mount({QStringLiteral("-o"), QStringLiteral("remount,bind,rw"), m_folder}));
        else
            QVERIFY(QFile::setPermissions(m_folder,
                                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

private:
    static bool mount(const QStringList &arguments)
    {
        QProcess process;
        process.start(QStringLiteral("mount"), arguments);
        return process.waitForFinished() && process.exitStatus() == QProcess::NormalExit &&
               process.exitCode() == 0;
    }
    QString m_folder;
    bool m_mounted = false;
    bool m_readOnly = false;
};
} // namespace

class TestJournalRecovery : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void damagedFileIsMovedAside_data();
    void damagedFileIsMovedAside();
    void largeFileIsCheckedThroughAfterACrash();
    void lockedFileIsMovedAside();

    void folderInPlaceOfTheFileIsMovedAside();
    void unwritableFolderIsTriedAgainUntilItTakesTheRace_data();
    void unwritableFolderIsTriedAgainUntilItTakesTheRace();
    void secondProgramTakesTheFileOverWhenTheFirstCloses();
    void fullDiskKeepsTheEventsUntilThereIsRoom();

private:
    QString dbPath() const { return m_dir->filePath(QStringLiteral("journal.sqlite")); }
    QStringList movedAside(const QString &label) const
    {
        // The database itself, without its -wal, -shm or -journal companions.
        QStringList names =
            QDir(m_dir->path())
                .entryList({QStringLiteral("journal.sqlite.%1-*").arg(label)}, QDir::Files);
        names.removeIf([](const QString &name) { return name.count(u'-') > 2; });
        return names;
    }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestJournalRecovery::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestJournalRecovery::damagedFileIsMovedAside_data()
{
    QTest::addColumn<QString>("damage");
    QTest::newRow("not a database") << "garbage";
    QTest::newRow("a broken page") << "page";
    QTest::newRow("a cut-off file") << "truncated";
}

void TestJournalRecovery::damagedFileIsMovedAside()
{
    QFETCH(QString, damage);
    if (damage == u"garbage") {
        writeFile(dbPath(), QByteArray("Zeiten vom Sonntag\n").repeated(300));
    } else {
        {
            RawDatabase raw(dbPath());
            QVERIFY(raw.exec(QStringLiteral("CREATE TABLE t (a INTEGER PRIMARY KEY, b TEXT)")));
            QVERIFY(raw.exec(QStringLiteral("CREATE INDEX tb ON t (b)")));
            QVERIFY(raw.exec(QStringLiteral(
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
                "INSERT INTO t SELECT i, printf('Fahrer %d', i) FROM n")));
        }
        QFile file(dbPath());
        QVERIFY(file.open(QIODevice::ReadWrite));
        const qint64 pageSize = 4096;
        QVERIFY(file.size() > 8 * pageSize);
        if (damage == u"page") {
            file.seek(3 * pageSize);
            file.write(QByteArray(pageSize, '\x5a'));
        } else {
            QVERIFY(file.resize(file.size() / 2));
        }
    }
    const QByteArray original = readAll(dbPath());

    TRaceJournal journal;
    QVERIFY2(journal.open(dbPath()), qPrintable(journal.errorString()));
    QVERIFY2(journal.notice().contains(QStringLiteral("beschädigt")), qPrintable(journal.notice()));
    QVERIFY(journal.notice().contains(dbPath()));
    const QStringList moved = movedAside(QStringLiteral("beschaedigt"));
    QCOMPARE(moved.size(), 1);
    QVERIFY(journal.notice().contains(moved.first()));
    QCOMPARE(readAll(m_dir->filePath(moved.first())), original);
    checkJournalWorks(journal);
}

void TestJournalRecovery::largeFileIsCheckedThroughAfterACrash()
{
    {
        RawDatabase raw(dbPath());
        QVERIFY(raw.exec(QStringLiteral("CREATE TABLE t (a INTEGER PRIMARY KEY, b TEXT)")));
        QVERIFY(raw.exec(QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 90000) "
            "INSERT INTO t SELECT i, printf('%.200c', 'x') FROM n")));
    }
    QFile file(dbPath());
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.size() > 17 * 1024 * 1024);
    file.seek(file.size() / 2 / 4096 * 4096);
    file.write(QByteArray(4096, '\x5a'));
    file.close();
    // The lock of a program that crashed with the file open, before the host was renamed.
    const QString lockPath = dbPath() + QStringLiteral(".lock");
    writeFile(lockPath, "4321\nTalvenbahn\nnirgendwo\n");
    QFile lock(lockPath);
    QVERIFY(lock.open(QIODevice::ReadWrite));
    QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                             QFileDevice::FileModificationTime));
    lock.close();

    TRaceJournal journal;
    QVERIFY2(journal.open(dbPath()), qPrintable(journal.errorString()));
    QVERIFY2(journal.notice().contains(QStringLiteral("beschädigt")), qPrintable(journal.notice()));
    QCOMPARE(movedAside(QStringLiteral("beschaedigt")).size(), 1);
    checkJournalWorks(journal);
}

void TestJournalRecovery::lockedFileIsMovedAside()
{
    // Another program holds the file in a write transaction and does not let go.
    RawDatabase other(dbPath(), QStringLiteral("other"));
    QVERIFY(other.exec(QStringLiteral("CREATE TABLE t (a)")));
    QVERIFY(other.exec(QStringLiteral("BEGIN EXCLUSIVE")));
    QVERIFY(other.exec(QStringLiteral("INSERT INTO t VALUES (1)")));

    TRaceJournal journal;
    QVERIFY2(journal.open(dbPath()), qPrintable(journal.errorString()));
    QVERIFY2(journal.notice().contains(QStringLiteral("gesperrt")), qPrintable(journal.notice()));
    QCOMPARE(movedAside(QStringLiteral("gesperrt")).size(), 1);
    checkJournalWorks(journal);
}

void TestJournalRecovery::folderInPlaceOfTheFileIsMovedAside()
{
    QVERIFY(QDir().mkpath(dbPath()));
    writeFile(dbPath() + QStringLiteral("/Notizen.txt"), "Zeiten vom Sonntag");

    TRaceJournal journal;
    QVERIFY2(journal.open(dbPath()), qPrintable(journal.errorString()));
    QVERIFY2(journal.notice().contains(QStringLiteral("ein Ordner")), qPrintable(journal.notice()));
    QVERIFY(!journal.notice().contains(QStringLiteral("Schreibrechte")));
    QVERIFY(journal.notice().contains(dbPath()));
    const QStringList moved =
        QDir(m_dir->path()).entryList({QStringLiteral("journal.sqlite.ordner-*")}, QDir::Dirs);
    QCOMPARE(moved.size(), 1);
    QVERIFY(journal.notice().contains(moved.first()));
    QCOMPARE(readAll(m_dir->filePath(moved.first() + QStringLiteral("/Notizen.txt"))),
             QByteArray("Zeiten vom Sonntag"));
    checkJournalWorks(journal);
}

void TestJournalRecovery::unwritableFolderIsTriedAgainUntilItTakesTheRace_data()
{
    QTest::addColumn<QString>("blocker");
    QTest::newRow("a file where the folder should be") << "file";
    QTest::newRow("a folder without write rights") << "rights";
}

void TestJournalRecovery::unwritableFolderIsTriedAgainUntilItTakesTheRace()
{
    QFETCH(QString, blocker);
    const QString folder = m_dir->filePath(QStringLiteral("Talvenbahn"));
    const QString path = folder + QStringLiteral("/journal.sqlite");
    std::unique_ptr<ReadOnlyFolder> readOnly;
    qint64 earlierRace = 0;
    if (blocker == u"file") {
        writeFile(folder, "kein Ordner");
    } else {
        // An archive is there already: the race kept in memory must not take its id.
        TRaceJournal earlier;
        QVERIFY(earlier.open(path));
        earlierRace = earlier.startRace(startEvent(QStringLiteral("früher")));
        QVERIFY(earlier.close());
        readOnly = std::make_unique<ReadOnlyFolder>(folder);
        if (!readOnly->isReadOnly())
            QSKIP("running as root without the right to mount: no folder can be made read-only");
    }

    constexpr int kPresses = 18;
    TRaceJournal journal;
    QSignalSpy stored(&journal, &TRaceJournal::eventStored);
    QSignalSpy recovered(&journal, &TRaceJournal::journalRecovered);
    QVERIFY(!journal.open(path));
    QVERIFY(!journal.isOpen());
    QVERIFY2(journal.errorString().contains(path), qPrintable(journal.errorString()));
    QVERIFY(journal.errorString().contains(QStringLiteral("nur im Speicher")));
    if (blocker == u"file")
        QVERIFY(journal.errorString().contains(QStringLiteral("ist eine Datei und kein Ordner")));

    QList<TRaceEvent> handed{startEvent(QStringLiteral("spät"), 12)};
    const qint64 raceId = journal.startRace(handed.first());
    handed.first().seq = 1;
    for (int n = 0; n < kPresses / 2; ++n) {
        handed.append(press(n));
        handed.last().seq = journal.append(raceId, press(n));
    }
    QTest::qWait(TJournalWriter::kRetryMs + 500); // tried again at least once, still shut
    QCOMPARE(stored.count(), 0);
    QCOMPARE(journal.pendingCount(), kPresses / 2 + 1);

    if (readOnly) {
        readOnly->makeWritable();
    } else {
        QVERIFY(QFile::remove(folder));
        QVERIFY(QDir().mkpath(folder));
    }
    for (int n = kPresses / 2; n < kPresses; ++n) {
        handed.append(press(n));
        handed.last().seq = journal.append(raceId, press(n));
    }
    QTRY_COMPARE_WITH_TIMEOUT(recovered.count(), 1, 5000);
    QTRY_COMPARE(stored.count(), kPresses + 1);
    for (int i = 0; i < stored.count(); ++i)
        QCOMPARE(stored.at(i), (QList<QVariant>{raceId, i + 1}));
    QVERIFY(journal.isOpen());
    QCOMPARE(journal.pendingCount(), 0);
    QCOMPARE(journal.events(raceId), handed);
    QCOMPARE(journal.unfinishedRace()->id, raceId);
    QVERIFY(journal.close());

    // In the file, after the archive's race, as any race would be.
    TRaceJournal reopened;
    QVERIFY(reopened.open(path));
    const QList<TRaceSummary> races = reopened.races();
    QCOMPARE(races.size(), earlierRace ? 2 : 1);
    QCOMPARE(races.last().title, QStringLiteral("spät"));
    QVERIFY(races.last().id > earlierRace);
    QCOMPARE(reopened.events(races.last().id), handed);
    if (earlierRace)
        QCOMPARE(reopened.events(earlierRace).size(), 1);
}

void TestJournalRecovery::secondProgramTakesTheFileOverWhenTheFirstCloses()
{
    auto first = std::make_unique<TRaceJournal>();
    QVERIFY(first->open(dbPath()));
    const qint64 firstRace = first->startRace(startEvent(QStringLiteral("erstes")));
    first->append(firstRace, press(0));

    TRaceJournal second;
    QSignalSpy recovered(&second, &TRaceJournal::journalRecovered);
    QVERIFY(!second.open(dbPath()));
    const qint64 secondRace = second.startRace(startEvent(QStringLiteral("zweites")));
    for (int n = 0; n < 3; ++n)
        second.append(secondRace, press(n));
    QTest::qWait(TJournalWriter::kRetryMs + 500);
    QCOMPARE(second.pendingCount(), 4);
    QVERIFY(first->close());
    first.reset();

    QTRY_COMPARE_WITH_TIMEOUT(recovered.count(), 1, 5000);
    QCOMPARE(second.events(secondRace).size(), 4);
    const QList<TRaceSummary> races = second.races();
    QCOMPARE(races.size(), 2);
    QCOMPARE(races.first().id, firstRace);
    QCOMPARE(second.events(firstRace).size(), 2);
    // The ids handed out before stay the ids of this program's races.
    QCOMPARE(races.last().id, secondRace);
    QCOMPARE(second.race(secondRace)->title, QStringLiteral("zweites"));
    QCOMPARE(races.first().state, TRaceSummary::State::Interrupted);
    QCOMPARE(second.unfinishedRace()->id, secondRace);
}

void TestJournalRecovery::fullDiskKeepsTheEventsUntilThereIsRoom()
{
    const QString folder = m_dir->filePath(QStringLiteral("tiny"));
    TinyDisk disk(folder);
    if (!disk.isMounted())
        QSKIP("a small disk to fill needs root and tmpfs");
    constexpr int kPresses = 40;
    {
        TRaceJournal journal;
        QVERIFY2(journal.open(folder + QStringLiteral("/journal.sqlite")),
                 qPrintable(journal.errorString()));
        QSignalSpy stored(&journal, &TRaceJournal::eventStored);
        QSignalSpy failed(&journal, &TRaceJournal::journalFailed);
        QSignalSpy recovered(&journal, &TRaceJournal::journalRecovered);
        QVERIFY(disk.fill());

        const qint64 raceId = journal.startRace(startEvent(QStringLiteral("voll"), 12));
        for (int n = 0; n < kPresses; ++n)
            journal.append(raceId, press(n));
        QTRY_COMPARE(failed.count(), 1);
        QVERIFY2(failed.first().first().toString().contains(QStringLiteral("voll")),
                 qPrintable(failed.first().first().toString()));
        QVERIFY(journal.pendingCount() > 0);

        disk.free();
        QTRY_COMPARE_WITH_TIMEOUT(recovered.count(), 1, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(stored.count(), kPresses + 1, 10000);
        QCOMPARE(failed.count(), 1); // one message for the whole stretch
        QCOMPARE(journal.pendingCount(), 0);
        const QList<TRaceEvent> events = journal.events(raceId);
        QCOMPARE(events.size(), kPresses + 1);
        for (int n = 0; n < kPresses; ++n)
            QCOMPARE(events.at(n + 1).tick, press(n).tick);
    }
}

QTEST_GUILESS_MAIN(TestJournalRecovery)
#include "tst_journalrecovery.moc"

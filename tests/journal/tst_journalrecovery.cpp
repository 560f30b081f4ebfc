#include "JournalSamples.h"
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

    void unwritableFolderLeavesTheRaceInMemory_data();
    void unwritableFolderLeavesTheRaceInMemory();
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

void TestJournalRecovery::unwritableFolderLeavesTheRaceInMemory_data()
{
    QTest::addColumn<QString>("blocker");
    QTest::newRow("a file where the folder should be") << "file";
    QTest::newRow("a folder without write rights") << "rights";
}

void TestJournalRecovery::unwritableFolderLeavesTheRaceInMemory()
{
    QFETCH(QString, blocker);
    QString path;
    if (blocker == u"file") {
        writeFile(m_dir->filePath(QStringLiteral("Talvenbahn")), "kein Ordner");
        path = m_dir->filePath(QStringLiteral("Talvenbahn/journal.sqlite"));
    } else {
        if (geteuid() == 0)
            QSKIP("root writes into folders without write rights");
        const QString folder = m_dir->filePath(QStringLiteral("locked"));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        path = folder + QStringLiteral("/journal.sqlite");
    }

    TRaceJournal journal;
    QVERIFY(!journal.open(path));
    QVERIFY(!journal.isOpen());
    QVERIFY2(journal.errorString().contains(path), qPrintable(journal.errorString()));
    QVERIFY(journal.errorString().contains(QStringLiteral("nur im Speicher")));
    if (blocker == u"file")
        QVERIFY(journal.errorString().contains(QStringLiteral("ist eine Datei und kein Ordner")));

    const qint64 raceId = journal.startRace(startEvent(QStringLiteral("A")));
    QCOMPARE(journal.append(raceId, press(1)), 2);
    QVERIFY(journal.close());
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

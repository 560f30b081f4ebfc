#include "SettingsStore.h"
#include "TempFolder.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {

void writeIni(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

TStoredSettings complete()
{
    TStoredSettings s;
    s.Left = 10;
    s.Top = 20;
    s.Width = 900;
    s.Height = 500;
    s.Acc = 2;
    s.Dist = 15250;
    s.Autos = 7;
    s.Runden = 40;
    s.Time = 5400;
    s.Title = QStringLiteral("Circuit de Monaco, Monte Carlo");
    s.TimeWarn = QStringLiteral("02:30");
    return s;
}

} // namespace

class TestSettingsStore : public QObject
{
    Q_OBJECT
private slots:
    void defaultPathFollowsConfigHome();
    void missingFileGivesNothing();
    void roundTrip();
    void stopsAtFirstBadInteger_data();
    void stopsAtFirstBadInteger();
    void missingTextReadsEmpty();
    void unquotedCommaInTitleIsKept();
    void unwritableFileReportsFailure();
};

void TestSettingsStore::defaultPathFollowsConfigHome()
{
    TempFolder folder;
    const QString expected =
        folder.filePath(QStringLiteral("config/")) + QStringLiteral("tst_settingsstore.ini");
    QCOMPARE(TSettingsStore::DefaultFilePath(), expected);
}

void TestSettingsStore::missingFileGivesNothing()
{
    TempFolder folder;
    const TStoredSettings s = TSettingsStore(folder.filePath(QStringLiteral("none.ini"))).Read();
    QVERIFY(!s.Left && !s.Acc && !s.Time && !s.Title && !s.TimeWarn);
}

void TestSettingsStore::roundTrip()
{
    TempFolder folder;
    const TSettingsStore store(folder.filePath(QStringLiteral("deep/er/t.ini")));
    const TStoredSettings written = complete();
    QVERIFY(store.Write(written));
    const TStoredSettings read = store.Read();
    QCOMPARE(read.Left, written.Left);
    QCOMPARE(read.Top, written.Top);
    QCOMPARE(read.Width, written.Width);
    QCOMPARE(read.Height, written.Height);
    QCOMPARE(read.Acc, written.Acc);
    QCOMPARE(read.Dist, written.Dist);
    QCOMPARE(read.Autos, written.Autos);
    QCOMPARE(read.Runden, written.Runden);
    QCOMPARE(read.Time, written.Time);
    QCOMPARE(read.Title, written.Title);
    QCOMPARE(read.TimeWarn, written.TimeWarn);
}

void TestSettingsStore::stopsAtFirstBadInteger_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<int>("integersRead"); // how many of Left..Time came through
    QTest::addColumn<bool>("textsRead");

    const QByteArray all = "[General]\nLeft=1\nTop=2\nWidth=3\nHeight=4\nAcc=0\nDist=5\n"
                           "Autos=6\nRunden=7\nTime=8\nTitle=T\nTimeWarn=01:00\n";
    QTest::newRow("everything") << all << 9 << true;
    QByteArray noWidth = all;
    noWidth.replace("Width=3\n", "");
    QTest::newRow("missing Width keeps Left and Top") << noWidth << 2 << false;
    QByteArray badAcc = all;
    badAcc.replace("Acc=0", "Acc=zwei");
    QTest::newRow("text where Acc belongs") << badAcc << 4 << false;
    QByteArray fraction = all;
    fraction.replace("Time=8", "Time=8.5");
    QTest::newRow("fraction is not an integer") << fraction << 8 << false;
    QByteArray list = all;
    list.replace("Left=1", "Left=1, 2");
    QTest::newRow("list is not an integer") << list << 0 << false;
    QTest::newRow("empty file") << QByteArray() << 0 << false;
}

void TestSettingsStore::stopsAtFirstBadInteger()
{
    QFETCH(QByteArray, ini);
    QFETCH(int, integersRead);
    QFETCH(bool, textsRead);
    TempFolder folder;
    const QString path = folder.filePath(QStringLiteral("t.ini"));
    writeIni(path, ini);
    const TStoredSettings s = TSettingsStore(path).Read();
    const std::optional<int> integers[] = {s.Left, s.Top,   s.Width,  s.Height, s.Acc,
                                           s.Dist, s.Autos, s.Runden, s.Time};
    for (int i = 0; i < 9; ++i)
        QCOMPARE(integers[i].has_value(), i < integersRead);
    QCOMPARE(s.Title.has_value(), textsRead);
    QCOMPARE(s.TimeWarn.has_value(), textsRead);
    if (integersRead > 0)
        QCOMPARE(*s.Left, 1);
    if (integersRead > 1)
        QCOMPARE(*s.Top, 2);
}

void TestSettingsStore::missingTextReadsEmpty()
{
    TempFolder folder;
    const QString path = folder.filePath(QStringLiteral("t.ini"));
    writeIni(path, "[General]\nLeft=1\nTop=2\nWidth=3\nHeight=4\nAcc=1\nDist=5\n"
                   "Autos=6\nRunden=7\nTime=8\nTimeWarn=03:00\n");
    const TStoredSettings s = TSettingsStore(path).Read();
    QCOMPARE(s.Title, QString());
    QCOMPARE(s.TimeWarn, QStringLiteral("03:00"));
}

void TestSettingsStore::unquotedCommaInTitleIsKept()
{
    TempFolder folder;
    const QString path = folder.filePath(QStringLiteral("t.ini"));
    writeIni(path, "[General]\nLeft=1\nTop=2\nWidth=3\nHeight=4\nAcc=1\nDist=5\n"
                   "Autos=6\nRunden=7\nTime=8\nTitle=Spa, Belgien\nTimeWarn=03:00\n");
    QCOMPARE(TSettingsStore(path).Read().Title, QStringLiteral("Spa, Belgien"));
}

void TestSettingsStore::unwritableFileReportsFailure()
{
    TempFolder folder;
    // A folder where the file should be cannot be replaced by the settings file.
    const QString path = folder.filePath(QStringLiteral("blocked.ini"));
    QVERIFY(QDir().mkpath(path));
    QVERIFY(!TSettingsStore(path).Write(complete()));
}

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"

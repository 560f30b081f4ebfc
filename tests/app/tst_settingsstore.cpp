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
    void eachValueIsReadOnItsOwn_data();
    void eachValueIsReadOnItsOwn();
    void missingTextStaysAbsent();
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

void TestSettingsStore::eachValueIsReadOnItsOwn_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QStringList>("absent"); // the values of Left..Time, Title, TimeWarn not read

    const QByteArray all = "[General]\nLeft=1\nTop=2\nWidth=3\nHeight=4\nAcc=0\nDist=5\n"
                           "Autos=6\nRunden=7\nTime=8\nTitle=T\nTimeWarn=01:00\n";
    QTest::newRow("everything") << all << QStringList();
    QByteArray noWidth = all;
    noWidth.replace("Width=3\n", "");
    QTest::newRow("missing Width") << noWidth << QStringList{"Width"};
    QByteArray badAcc = all;
    badAcc.replace("Acc=0", "Acc=zwei");
    QTest::newRow("text where Acc belongs") << badAcc << QStringList{"Acc"};
    QByteArray fraction = all;
    fraction.replace("Time=8", "Time=8.5");
    QTest::newRow("fraction is not an integer") << fraction << QStringList{"Time"};
    QByteArray list = all;
    list.replace("Left=1", "Left=1, 2");
    QTest::newRow("list is not an integer") << list << QStringList{"Left"};
    QTest::newRow("only the cars and laps")
        << QByteArray("[General]\nAutos=6\nRunden=7\n")
        << QStringList{"Left", "Top",  "Width", "Height",  "Acc",
                       "Dist", "Time", "Title", "TimeWarn"};
    QTest::newRow("empty file") << QByteArray() << QStringList{"Left", "Top",   "Width",   "Height",
                                                               "Acc",  "Dist",  "Autos",   "Runden",
                                                               "Time", "Title", "TimeWarn"};
}

void TestSettingsStore::eachValueIsReadOnItsOwn()
{
    QFETCH(QByteArray, ini);
    QFETCH(QStringList, absent);
    TempFolder folder;
    const QString path = folder.filePath(QStringLiteral("t.ini"));
    writeIni(path, ini);
    const TStoredSettings s = TSettingsStore(path).Read();
    const std::optional<int> integers[] = {s.Left, s.Top,   s.Width,  s.Height, s.Acc,
                                           s.Dist, s.Autos, s.Runden, s.Time};
    const char *const names[] = {"Left", "Top",   "Width",  "Height", "Acc",
                                 "Dist", "Autos", "Runden", "Time"};
    const int values[] = {1, 2, 3, 4, 0, 5, 6, 7, 8};
    for (int i = 0; i < 9; ++i) {
        const bool expected = !absent.contains(QLatin1String(names[i]));
        QVERIFY2(integers[i].has_value() == expected, names[i]);
        if (expected)
            QCOMPARE(*integers[i], values[i]);
    }
    QCOMPARE(s.Title.has_value(), !absent.contains(QStringLiteral("Title")));
    QCOMPARE(s.TimeWarn.has_value(), !absent.contains(QStringLiteral("TimeWarn")));
}

void TestSettingsStore::missingTextStaysAbsent()
{
    // A title the file does not hold keeps the window's; one written empty is empty.
    TempFolder folder;
    const QString path = folder.filePath(QStringLiteral("t.ini"));
    writeIni(path, "[General]\nLeft=1\nTop=2\nWidth=3\nHeight=4\nAcc=1\nDist=5\n"
                   "Autos=6\nRunden=7\nTime=8\nTimeWarn=03:00\n");
    TStoredSettings s = TSettingsStore(path).Read();
    QVERIFY(!s.Title);
    QCOMPARE(s.TimeWarn, QStringLiteral("03:00"));
    writeIni(path, "[General]\nTitle=\n");
    s = TSettingsStore(path).Read();
    QCOMPARE(s.Title, QString());
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

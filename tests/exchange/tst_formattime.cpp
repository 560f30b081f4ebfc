#include "FormatTime.h"

#include <QTest>

class TestFormatTime : public QObject
{
    Q_OBJECT
private slots:
    void formats_data();
    void formats();
};

void TestFormatTime::formats_data()
{
    QTest::addColumn<int>("ms");
    QTest::addColumn<int>("acc");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("text");

    QTest::newRow("mode 5 tenths") << 83456 << 1 << 5 << "1:23.5";
    QTest::newRow("mode 9 tenths") << 83456 << 1 << 9 << "00:01:23.5";
    QTest::newRow("rounding carries into minutes") << 59960 << 1 << 5 << "1:00.0";
    QTest::newRow("just below the carry") << 59949 << 1 << 5 << "0:59.9";
    QTest::newRow("mode 5 drops the hours") << 3723400 << 1 << 5 << "2:03.4";
    QTest::newRow("hundredths truncate") << 83456 << 2 << 5 << "1:23.45";
    QTest::newRow("whole seconds truncate") << 83999 << 0 << 5 << "1:23";
    QTest::newRow("acc above 2 gives hundredths") << 83456 << 7 << 5 << "1:23.45";
    QTest::newRow("negative acc counts as 0") << 83999 << -1 << 5 << "1:23";
    QTest::newRow("zero") << 0 << 1 << 5 << "0:00.0";
    QTest::newRow("zero long form") << 0 << 1 << 9 << "00:00:00.0";
    QTest::newRow("mode 6 pads minutes") << 83456 << 1 << 6 << "01:23.5";
    QTest::newRow("mode 7 short hours") << 3723400 << 1 << 7 << "1:02:03.4";
    QTest::newRow("mode 8 pads hours") << 3723400 << 2 << 8 << "01:02:03.40";
    QTest::newRow("hours modulo 100") << 363600000 << 0 << 9 << "01:00:00";
    QTest::newRow("largest duration") << 2147483647 << 1 << 9 << "96:31:23.6";
    QTest::newRow("negative duration formats as zero") << -5000 << 1 << 5 << "0:00.0";
}

void TestFormatTime::formats()
{
    QFETCH(int, ms);
    QFETCH(int, acc);
    QFETCH(int, mode);
    QFETCH(QString, text);
    QCOMPARE(FormatTime(ms, acc, mode), text);
}

QTEST_GUILESS_MAIN(TestFormatTime)
#include "tst_formattime.moc"

#include "ClockText.h"

#include <QTest>

class TestClockText : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void formatsClock_data();
    void formatsClock();
    void parsesClock_data();
    void parsesClock();
    void refusesClockBeyondInt32_data();
    void refusesClockBeyondInt32();
    void clockRoundTrip();
    void parsesWarnTime_data();
    void parsesWarnTime();
    void filtersClockChars_data();
    void filtersClockChars();
    void findsLocaleTimeSeparator();
};

void TestClockText::init()
{
    QLocale::setDefault(QLocale::c());
}

void TestClockText::formatsClock_data()
{
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("four hours") << 14400 << "04:00:00";
    QTest::newRow("zero") << 0 << "00:00:00";
    QTest::newRow("mixed fields") << 3723 << "01:02:03";
    QTest::newRow("countdown step") << 1790 << "00:29:50";
    QTest::newRow("hours grow past two digits") << 360000 << "100:00:00";
    QTest::newRow("largest duration") << 2147483647 << "596523:14:07";
    QTest::newRow("negative shows zero") << -5 << "00:00:00";
}

void TestClockText::formatsClock()
{
    QFETCH(int, seconds);
    QFETCH(QString, text);
    QCOMPARE(FormatClock(seconds), text);
}

void TestClockText::parsesClock_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("seconds");
    QTest::newRow("full clock") << "04:00:00" << 14400;
    QTest::newRow("minutes and seconds") << "1:30" << 90;
    QTest::newRow("seconds only") << "90" << 90;
    QTest::newRow("minutes overflow into hours") << "0:90:00" << 5400;
    QTest::newRow("no digits") << "::" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("fourth run ignored") << "7:01:00:05" << 3605;
    QTest::newRow("repeated separators") << "1::::2" << 62;
    QTest::newRow("trailing separator") << "5:" << 5;
    QTest::newRow("other separator") << "1.30" << 90;
    QTest::newRow("hundred hours") << "100:00:00" << 360000;
    QTest::newRow("largest duration") << "596523:14:07" << 2147483647;
    QTest::newRow("large seconds run") << "2147483647" << 2147483647;
}

void TestClockText::parsesClock()
{
    QFETCH(QString, text);
    QFETCH(int, seconds);
    const std::optional<qint32> parsed = ParseClock(text);
    QVERIFY(parsed.has_value());
    QCOMPARE(*parsed, seconds);
}

void TestClockText::refusesClockBeyondInt32_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("seconds run too long") << "2147483648";
    QTest::newRow("very long run") << "99999999999999999999";
    QTest::newRow("hours overflow the total") << "596524:00:00";
    QTest::newRow("sum just beyond") << "596523:14:08";
}

void TestClockText::refusesClockBeyondInt32()
{
    QFETCH(QString, text);
    QVERIFY(!ParseClock(text).has_value());
}

void TestClockText::clockRoundTrip()
{
    for (qint32 s : {0, 59, 60, 3599, 3600, 86399, 359999, 360000, 2147483647})
        QCOMPARE(ParseClock(FormatClock(s)).value(), s);
}

void TestClockText::parsesWarnTime_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("ms");
    QTest::newRow("five minutes") << "05:00" << 300000;
    QTest::newRow("seconds") << "00:05" << 5000;
    QTest::newRow("zero") << "00:00" << 0;
    QTest::newRow("largest") << "99:99" << 99 * 60000 + 99 * 1000;
    QTest::newRow("short text completed from the left") << "5" << 5000;
    QTest::newRow("one minute digit") << "1:00" << 60000;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("minutes not digits") << "ab:07" << 7000;
    QTest::newRow("seconds not digits") << "02:x1" << 120000;
    QTest::newRow("negative part refused") << "-5:10" << 10000;
    QTest::newRow("blank in a part") << " 5:10" << 310000;
}

void TestClockText::parsesWarnTime()
{
    QFETCH(QString, text);
    QFETCH(int, ms);
    QCOMPARE(ParseWarnTime(text), ms);
}

void TestClockText::filtersClockChars_data()
{
    QTest::addColumn<QChar>("typed");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("digit 0") << QChar(u'0') << QChar(u':') << true;
    QTest::newRow("digit 9") << QChar(u'9') << QChar(u':') << true;
    QTest::newRow("backspace") << QChar(0x08) << QChar(u':') << true;
    QTest::newRow("separator") << QChar(u':') << QChar(u':') << true;
    QTest::newRow("other locale's separator") << QChar(u'.') << QChar(u'.') << true;
    QTest::newRow("colon when the locale uses a dot") << QChar(u':') << QChar(u'.') << false;
    QTest::newRow("letter") << QChar(u'a') << QChar(u':') << false;
    QTest::newRow("minus") << QChar(u'-') << QChar(u':') << false;
    QTest::newRow("space") << QChar(u' ') << QChar(u':') << false;
    QTest::newRow("arabic-indic digit") << QChar(0x0663) << QChar(u':') << false;
}

void TestClockText::filtersClockChars()
{
    QFETCH(QChar, typed);
    QFETCH(QChar, separator);
    QFETCH(bool, accepted);
    QCOMPARE(IsClockCharAccepted(typed, separator), accepted);
}

void TestClockText::findsLocaleTimeSeparator()
{
    QCOMPARE(LocaleTimeSeparator(QLocale::c()), QChar(u':'));
    QCOMPARE(LocaleTimeSeparator(QLocale(QLocale::German, QLocale::Germany)), QChar(u':'));
    QCOMPARE(LocaleTimeSeparator(QLocale(QLocale::Finnish, QLocale::Finland)), QChar(u'.'));
}

QTEST_GUILESS_MAIN(TestClockText)
#include "tst_clocktext.moc"

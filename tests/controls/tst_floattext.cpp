#include "FloatText.h"

#include <QTest>

#include <cmath>

class TestFloatText : public QObject
{
    Q_OBJECT

private slots:
    void reading_data();
    void reading();
    void writing_data();
    void writing();
    void writtenTextReadsBack();
    void longDoublePrecision();
};

void TestFloatText::reading_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<bool>("isNumber");
    QTest::addColumn<double>("value");
    const QChar comma(u',');
    const QChar point(u'.');
    QTest::newRow("integer") << "15" << comma << true << 15.0;
    QTest::newRow("comma decimals") << "15,25" << comma << true << 15.25;
    QTest::newRow("point where comma is the separator") << "15.25" << comma << false << 0.0;
    QTest::newRow("point decimals") << "15.25" << point << true << 15.25;
    QTest::newRow("comma where point is the separator") << "15,25" << point << false << 0.0;
    QTest::newRow("blanks around") << "  -3,5  " << comma << true << -3.5;
    QTest::newRow("plus sign") << "+7" << comma << true << 7.0;
    QTest::newRow("separator alone") << "," << comma << true << 0.0;
    QTest::newRow("sign and separator") << "-," << comma << true << 0.0;
    QTest::newRow("leading separator") << ",5" << comma << true << 0.5;
    QTest::newRow("trailing separator") << "5," << comma << true << 5.0;
    QTest::newRow("sign alone") << "-" << comma << false << 0.0;
    QTest::newRow("empty") << "" << comma << false << 0.0;
    QTest::newRow("blanks only") << "   " << comma << false << 0.0;
    QTest::newRow("exponent") << "1,5e2" << comma << true << 150.0;
    QTest::newRow("upper-case exponent with sign") << "25E-1" << comma << true << 2.5;
    QTest::newRow("exponent without digits") << "15e" << comma << true << 15.0;
    QTest::newRow("exponent sign without digits") << "15e-" << comma << true << 15.0;
    QTest::newRow("exponent alone") << "E" << comma << false << 0.0;
    QTest::newRow("two separators") << "1,2,3" << comma << false << 0.0;
    QTest::newRow("two signs") << "--1" << comma << false << 0.0;
    QTest::newRow("blank inside") << "1 5" << comma << false << 0.0;
    QTest::newRow("letters") << "abc" << comma << false << 0.0;
    QTest::newRow("overflow") << "1e99999" << comma << false << 0.0;
    QTest::newRow("underflow reads zero") << "1e-99999" << comma << true << 0.0;
    QTest::newRow("beyond double, within long double") << "1e400" << point << true << 0.0;
}

void TestFloatText::reading()
{
    QFETCH(QString, text);
    QFETCH(QChar, separator);
    QFETCH(bool, isNumber);
    QFETCH(double, value);
    long double result = -12345;
    QCOMPARE(TextToFloat(text, separator, result), isNumber);
    if (!isNumber)
        QCOMPARE(static_cast<double>(result), -12345.0); // untouched
    else if (QByteArray(QTest::currentDataTag()).startsWith("beyond"))
        QCOMPARE(result, 1e400L);
    else
        QCOMPARE(static_cast<double>(result), value);
}

void TestFloatText::writing_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("digits");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QString>("text");
    const QChar comma(u',');
    const QChar point(u'.');
    QTest::newRow("lap length") << 15.0 << 3 << point << "15.000";
    QTest::newRow("lap length, comma") << 15.0 << 3 << comma << "15,000";
    QTest::newRow("no decimals") << 15.4 << 0 << comma << "15";
    QTest::newRow("rounds half up") << 2.5 << 0 << comma << "3";
    QTest::newRow("rounds the last decimal") << 99.9996 << 3 << comma << "100,000";
    QTest::newRow("decimal fraction shown as typed") << 15.1 << 3 << comma << "15,100";
    QTest::newRow("small") << 0.05 << 1 << comma << "0,1";
    QTest::newRow("very small") << 0.0004 << 3 << comma << "0,000";
    QTest::newRow("negative") << -3.25 << 2 << comma << "-3,25";
    QTest::newRow("negative rounding to zero") << -0.0004 << 3 << comma << "0,000";
    QTest::newRow("zero") << 0.0 << 1 << comma << "0,0";
    QTest::newRow("eighteen decimals") << 15.0 << 18 << comma << "15,000000000000000000";
    QTest::newRow("eighteen integer digits") << 1e17 << 0 << comma << "100000000000000000";
    QTest::newRow("nineteen integer digits") << 1e18 << 2 << comma << "1,00000000000000000E+18";
}

void TestFloatText::writing()
{
    QFETCH(double, value);
    QFETCH(int, digits);
    QFETCH(QChar, separator);
    QFETCH(QString, text);
    QCOMPARE(FloatToText(value, digits, separator), text);
}

void TestFloatText::writtenTextReadsBack()
{
    // The edit reformats on leave by writing and reading back: it must be stable.
    for (const long double value : {0.1L, 15.1L, 99.95L, -42.125L, 1e20L, 0.0L}) {
        for (const QChar separator : {QChar(u','), QChar(u'.')}) {
            const QString text = FloatToText(value, 3, separator);
            long double read = 0;
            QVERIFY2(TextToFloat(text, separator, read), qPrintable(text));
            QCOMPARE(FloatToText(read, 3, separator), text);
        }
    }
}

void TestFloatText::longDoublePrecision()
{
    // Eighteen significant digits survive; rounding happens on the decimal digits.
    QCOMPARE(FloatToText(123456789012345678.0L, 0, u'.'), QStringLiteral("123456789012345678"));
    QCOMPARE(FloatToText(2.675L, 2, u'.'), QStringLiteral("2.68"));
    QCOMPARE(FloatToText(0.1L + 0.2L, 18, u'.'), QStringLiteral("0.300000000000000000"));
    long double value = 0;
    QVERIFY(TextToFloat(QStringLiteral("123456789012345678"), u'.', value));
    QCOMPARE(value, 123456789012345678.0L);
}

QTEST_GUILESS_MAIN(TestFloatText)
#include "tst_floattext.moc"

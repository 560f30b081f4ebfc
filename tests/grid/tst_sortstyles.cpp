#include "CommaText.h"
#include "LocaleConvert.h"
#include "SortStyleCompare.h"

#include <QLocale>
#include <QTest>

using namespace SortStyleCompare;

namespace {
int Sign(int value)
{
    return (value > 0) - (value < 0);
}

// The body of the data-driven tests whose rows name a locale: a compares to b as expected.
void CompareInLocale(TSortStyle style)
{
    QFETCH(QString, locale);
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, expected);
    QLocale::setDefault(QLocale(locale));
    QCOMPARE(Sign(Compare(style, a, b)), expected);
}
} // namespace

class TestSortStyles : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void bytes_data();
    void bytes();
    void foldingTouchesOnlyAsciiCapitals();
    void numeric_data();
    void numeric();
    void numericExtended_data();
    void numericExtended();
    void dateTime_data();
    void dateTime();
    void time_data();
    void time();
    void customWithoutFunctionComparesBytes();
    void integerConversion_data();
    void integerConversion();
    void commaText_data();
    void commaText();
};

void TestSortStyles::bytes_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("expected");
    QTest::newRow("equal") << "abc"
                           << "abc" << 0;
    QTest::newRow("prefix first") << "ab"
                                  << "abc" << -1;
    QTest::newRow("empty first") << ""
                                 << "a" << -1;
    QTest::newRow("capital before small") << "Z"
                                          << "a" << -1;
    QTest::newRow("digit before letter") << "9"
                                         << "A" << -1;
    QTest::newRow("non-ASCII after ASCII") << QStringLiteral("\u00e4") << "z" << 1;
    // Code point order, as the UTF-8 bytes would give: U+1F600 after U+FFFD.
    QTest::newRow("astral after BMP")
        << QStringLiteral("\U0001F600") << QStringLiteral("\uFFFD") << 1;
}

void TestSortStyles::bytes()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, expected);
    QCOMPARE(Sign(CompareBytes(a, b)), expected);
    QCOMPARE(Sign(CompareBytes(b, a)), -expected);
    QCOMPARE(Sign(Compare(ssNormal, a, b)), expected);
    QCOMPARE(Sign(Compare(ssAutomatic, a, b)), expected);
}

void TestSortStyles::foldingTouchesOnlyAsciiCapitals()
{
    QString text = QStringLiteral("Zebra \u00c4PFEL [Q]");
    const QString shared = text;
    FoldAsciiLower(text);
    QCOMPARE(text, QStringLiteral("zebra \u00c4pfel [q]"));
    QCOMPARE(shared, QStringLiteral("Zebra \u00c4PFEL [Q]"));
}

void TestSortStyles::numeric_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("expected");
    for (const char *localeName : {"C", "de_DE"}) {
        const QString locale = QString::fromLatin1(localeName);
        const bool german = locale != QLatin1String("C");
        const QString half = german ? QStringLiteral("0,5") : QStringLiteral("0.5");
        const QString tenth = german ? QStringLiteral("1,25") : QStringLiteral("1.25");
        auto row = [&](const char *name) {
            return &QTest::newRow(qPrintable(locale + QLatin1Char(' ') + QLatin1String(name)));
        };
        *row("9 before 10") << locale << "9"
                            << "10" << -1;
        *row("decimal separator") << locale << half << tenth << -1;
        *row("blanks and sign") << locale << " -3 "
                                << "+2" << -1;
        *row("exponent") << locale << "1e3"
                         << "999" << 1;
        *row("equal values") << locale << "5"
                             << "5.0e0" << (german ? -1 : 0);
        *row("number before word by bytes") << locale << "5"
                                            << "abc" << -1;
        *row("empty before number by bytes") << locale << ""
                                             << "7" << -1;
        // Group separators are not numbers: "1,000" vs "2" falls back to bytes in C.
        *row("group separator is bytes") << locale << (german ? "1.000" : "1,000") << "0" << 1;
        *row("the other separator is bytes") << locale << (german ? "0.5" : "0,5") << "0" << 1;
        *row("infinity is a word") << locale << "inf"
                                   << "5" << 1;
    }
}

void TestSortStyles::numeric()
{
    CompareInLocale(ssNumeric);
}

void TestSortStyles::numericExtended_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("expected");
    QTest::newRow("lap 2 before lap 10") << "lap 2"
                                         << "lap 10" << -1;
    QTest::newRow("x10y after x9y") << "x10y"
                                    << "x9y" << 1;
    QTest::newRow("ab ties abc") << "ab"
                                 << "abc" << 0;
    QTest::newRow("both empty tie") << ""
                                    << "" << 0;
    QTest::newRow("empty first") << ""
                                 << "a" << -1;
    QTest::newRow("non-empty after empty") << "a"
                                           << "" << 1;
    QTest::newRow("07 against 7 is not a tie") << "07"
                                               << "7" << 1;
    QTest::newRow("same text ties") << "car 12"
                                    << "car 12" << 0;
    QTest::newRow("letters fall back to bytes of the rest") << "b1"
                                                            << "c1" << -1;
    QTest::newRow("digits at a common position count") << "r11"
                                                       << "r12" << -1;
    QTest::newRow("overflow falls back to bytes") << "n99999999999"
                                                  << "n2" << 1;
}

void TestSortStyles::numericExtended()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, expected);
    QCOMPARE(Sign(Compare(ssNumericExtended, a, b)), expected);
}

void TestSortStyles::dateTime_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("expected");
    const QDate early(2024, 3, 9);
    const QDate late(2024, 11, 2);
    for (const char *localeName : {"C", "de_DE"}) {
        const QString locale = QString::fromLatin1(localeName);
        const QLocale loc(locale);
        const QString earlyText = loc.toString(early, QLocale::ShortFormat);
        const QString lateText = loc.toString(late, QLocale::ShortFormat);
        const QString timeText = loc.toString(QTime(13, 5), QLocale::ShortFormat);
        auto row = [&](const char *name) {
            return &QTest::newRow(qPrintable(locale + QLatin1Char(' ') + QLatin1String(name)));
        };
        *row("dates by value") << locale << lateText << earlyText << 1;
        *row("date with time after the bare date")
            << locale << (earlyText + QLatin1Char(' ') + timeText) << earlyText << 1;
        *row("not a date falls back to bytes") << locale << "yesterday" << earlyText << 1;
    }
    // Four-digit years and days and months without their leading zero are dates too, and a
    // two-digit year lies in the same century as a four-digit one.
    auto german = [](const char *name) {
        return &QTest::newRow(qPrintable(QLatin1String("de_DE ") + QLatin1String(name)));
    };
    *german("four-digit year before a two-digit one") << "de_DE"
                                                      << "24.12.2023"
                                                      << "1.2.24" << -1;
    *german("short day and month") << "de_DE"
                                   << "1.2.23"
                                   << "24.12.22" << 1;
    *german("four-digit years") << "de_DE"
                                << "9.3.2024"
                                << "02.11.2023" << 1;
    *german("four-digit year with a time") << "de_DE"
                                           << "24.12.2023 13:05"
                                           << "24.12.2023" << 1;
}

void TestSortStyles::dateTime()
{
    CompareInLocale(ssDateTime);
}

void TestSortStyles::time_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("expected");
    for (const char *localeName : {"C", "de_DE"}) {
        const QString locale = QString::fromLatin1(localeName);
        auto row = [&](const char *name) {
            return &QTest::newRow(qPrintable(locale + QLatin1Char(' ') + QLatin1String(name)));
        };
        // By bytes "9:05" would come after "10:00".
        *row("9:05 before 10:00") << locale << "9:05"
                                  << "10:00" << -1;
        *row("seconds count") << locale << "10:00:01"
                              << "10:00" << 1;
        *row("equal times tie") << locale << "08:30"
                                << "8:30" << 0;
        *row("not a time falls back to bytes") << locale << "25:00"
                                               << "10:00" << 1;
    }
}

void TestSortStyles::time()
{
    CompareInLocale(ssTime);
}

void TestSortStyles::customWithoutFunctionComparesBytes()
{
    QCOMPARE(Sign(Compare(ssCustom, "b", "a")), 1);
    QCOMPARE(Sign(Compare(ssCustom, "b", "a", [](const QString &, const QString &) { return -7; })),
             -1);
}

void TestSortStyles::integerConversion_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << "42" << true << 42;
    QTest::newRow("signed") << "-7" << true << -7;
    QTest::newRow("blanks") << " 3 " << true << 3;
    QTest::newRow("largest") << "2147483647" << true << 2147483647;
    QTest::newRow("overflow") << "2147483648" << false << 0;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("sign alone") << "-" << false << 0;
    QTest::newRow("trailing letter") << "3a" << false << 0;
    QTest::newRow("decimal") << "3.0" << false << 0;
}

void TestSortStyles::integerConversion()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, value);
    int converted = 0;
    QCOMPARE(LocaleConvert::TextToInt32(text, converted), ok);
    if (ok)
        QCOMPARE(converted, value);
}

void TestSortStyles::commaText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("empty") << "" << QStringList{};
    QTest::newRow("two") << "3,4" << QStringList{"3", "4"};
    QTest::newRow("blanks around") << " 3 , 4 " << QStringList{"3", "4"};
    QTest::newRow("blank separates") << "3 4" << QStringList{"3", "4"};
    QTest::newRow("quoted") << "\"1 2\",5" << QStringList{"1 2", "5"};
    QTest::newRow("empty item") << "1,,2" << QStringList{"1", "", "2"};
    QTest::newRow("trailing comma") << "1," << QStringList{"1", ""};
}

void TestSortStyles::commaText()
{
    QFETCH(QString, text);
    QFETCH(QStringList, items);
    QCOMPARE(SplitCommaText(text), items);
}

QTEST_GUILESS_MAIN(TestSortStyles)
#include "tst_sortstyles.moc"

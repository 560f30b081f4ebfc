#include "CellText.h"
#include "StarterListCollector.h"

#include <QLocale>
#include <QTest>

// The texts cells give whatever their file format, and the list rules every reader shares.
class TestCellText : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void numbers_data();
    void numbers();
    void serialDates_data();
    void serialDates();
    void listEndsAtFirstEmptyA_data();
    void listEndsAtFirstEmptyA();
    void errorCellFailsOnlyWhereRead();
    void listBounds();
};

void TestCellText::init()
{
    QLocale::setDefault(QLocale::c());
}

void TestCellText::numbers_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("c");
    QTest::addColumn<QString>("german");
    QTest::newRow("whole number") << 7.0 << "7"
                                  << "7";
    QTest::newRow("fraction") << 2.5 << "2.5"
                              << "2,5";
    QTest::newRow("no group separator") << 1234567.0 << "1234567"
                                        << "1234567";
    QTest::newRow("15 significant digits") << 0.1 + 0.2 << "0.3"
                                           << "0,3";
    QTest::newRow("long fraction rounds") << 1.0 / 3.0 << "0.333333333333333"
                                          << "0,333333333333333";
    QTest::newRow("negative") << -12.75 << "-12.75"
                              << "-12,75";
    QTest::newRow("negative zero") << -0.0 << "0"
                                   << "0";
    QTest::newRow("large exponent") << 1e20 << "1E20"
                                    << "1E20";
    QTest::newRow("small exponent") << 1.5e-7 << "1.5E-7"
                                    << "1,5E-7";
    QTest::newRow("largest plain") << 123456789012345.0 << "123456789012345"
                                   << "123456789012345";
}

void TestCellText::numbers()
{
    QFETCH(double, value);
    QFETCH(QString, c);
    QFETCH(QString, german);
    QCOMPARE(CellText::numberText(value), c);
    QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
    QCOMPARE(CellText::numberText(value), german);
}

void TestCellText::serialDates_data()
{
    QTest::addColumn<double>("serial");
    QTest::addColumn<bool>("date1904");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("time");
    QTest::newRow("day after the phantom leap day") << 61.0 << false << QDate(1900, 3, 1) << "";
    QTest::newRow("before it") << 59.0 << false << QDate(1900, 2, 28) << "";
    QTest::newRow("first day") << 1.0 << false << QDate(1900, 1, 1) << "";
    QTest::newRow("race day") << 46363.0 << false << QDate(2026, 12, 7) << "";
    QTest::newRow("with time") << 46363.4375 << false << QDate(2026, 12, 7) << "10:30:00";
    QTest::newRow("1904 system") << 44901.0 << true << QDate(2026, 12, 7) << "";
    QTest::newRow("time only") << 0.5 << false << QDate() << "12:00:00";
    QTest::newRow("rounds up to midnight") << 46362.9999999999 << false << QDate(2026, 12, 7) << "";
}

void TestCellText::serialDates()
{
    QFETCH(double, serial);
    QFETCH(bool, date1904);
    QFETCH(QDate, date);
    QFETCH(QString, time);
    for (const char *locale : {"C", "de_DE"}) {
        QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
        QString expected = date.isValid() ? QLocale().toString(date, QLocale::ShortFormat) : "";
        if (!time.isEmpty())
            expected += (expected.isEmpty() ? "" : " ") + time;
        QCOMPARE(CellText::serialDateText(serial, date1904), expected);
    }
    // Outside the calendar a day number stays a number.
    QCOMPARE(CellText::serialDateText(-1, false), "-1");
    QCOMPARE(CellText::serialDateText(3e6, false), "3000000");
}

namespace {

SheetRow row(std::initializer_list<const char *> texts)
{
    SheetRow cells;
    for (const char *text : texts)
        cells.append(SheetCell{QString::fromUtf8(text), false});
    return cells;
}

SheetCell errorCell()
{
    return SheetCell{QString(), true};
}

} // namespace

void TestCellText::listEndsAtFirstEmptyA_data()
{
    QTest::addColumn<QList<int>>("rowNumbers");
    QTest::addColumn<QList<SheetRow>>("rows");
    QTest::addColumn<int>("starters");
    QTest::addColumn<int>("rowsTaken");
    QTest::newRow("empty A ends even with B filled")
        << QList<int>{0, 1, 2} << QList<SheetRow>{row({"1", "A"}), row({"", "B"}), row({"3"})} << 1
        << 2;
    QTest::newRow("empty driver still counts")
        << QList<int>{0, 1} << QList<SheetRow>{row({"1", ""}), row({"2"})} << 2 << 2;
    QTest::newRow("row left out is empty")
        << QList<int>{0, 2} << QList<SheetRow>{row({"1"}), row({"3"})} << 1 << 2;
    QTest::newRow("row without cells")
        << QList<int>{0, 1} << QList<SheetRow>{row({"1"}), {}} << 1 << 2;
    QTest::newRow("no title row: A1 empty")
        << QList<int>{0} << QList<SheetRow>{row({"", "X"})} << 0 << 1;
}

void TestCellText::listEndsAtFirstEmptyA()
{
    QFETCH(QList<int>, rowNumbers);
    QFETCH(QList<SheetRow>, rows);
    QFETCH(int, starters);
    QFETCH(int, rowsTaken);
    StarterListCollector collector;
    int taken = 0;
    for (int i = 0; i < rows.size(); ++i) {
        ++taken;
        if (!collector.takeRow(rowNumbers.at(i), rows.at(i)))
            break;
    }
    QCOMPARE(collector.rows().size(), starters);
    QCOMPARE(taken, rowsTaken);
    QVERIFY(collector.errorString().isEmpty());
    for (const QStringList &texts : collector.rows())
        QCOMPARE(texts.size(), 10);
}

void TestCellText::errorCellFailsOnlyWhereRead()
{
    // Column K and the row that ends the list are never read, so their errors do not count.
    SheetRow wide = row({"1", "A", "", "", "", "", "", "", "", "", ""});
    wide[10] = errorCell();
    SheetRow ending = row({"", "B"});
    ending[1] = errorCell();
    StarterListCollector collector;
    QVERIFY(collector.takeRow(0, wide));
    QVERIFY(!collector.takeRow(1, ending));
    QVERIFY(collector.errorString().isEmpty());
    QCOMPARE(collector.rows().size(), 1);

    SheetRow inList = row({"1", "A", "x"});
    inList[2] = errorCell();
    StarterListCollector failing;
    QVERIFY(!failing.takeRow(0, inList));
    QCOMPARE(failing.errorString(), CellText::conversionErrorText());

    SheetRow errorInA = row({"", "A"});
    errorInA[0] = errorCell();
    StarterListCollector failingA;
    QVERIFY(!failingA.takeRow(0, errorInA));
    QCOMPARE(failingA.errorString(),
             "Could not convert variant of type (Error) into type (String)");
}

void TestCellText::listBounds()
{
    StarterListCollector rows;
    int row = 0;
    while (rows.takeRow(row, {SheetCell{QStringLiteral("1"), false}}))
        ++row;
    QCOMPARE(row, 65536);
    QVERIFY2(rows.errorString().contains(QLatin1String("65536 Zeilen")),
             qPrintable(rows.errorString()));

    // One long text in every cell, as repeated cells or shared strings make cheap to write.
    StarterListCollector chars;
    const SheetRow longRow(10, SheetCell{QString(30000, QLatin1Char('x')), false});
    row = 0;
    while (chars.takeRow(row, longRow))
        ++row;
    QVERIFY(row < 100);
    QVERIFY2(chars.errorString().contains(QLatin1String("Zeichen")),
             qPrintable(chars.errorString()));
}

QTEST_GUILESS_MAIN(TestCellText)
#include "tst_celltext.moc"

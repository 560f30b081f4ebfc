#include "Classification.h"
#include "CsvText.h"
#include "ResultsCsv.h"
#include "ResultsSamples.h"

#include <QLocale>
#include <QTest>

#include <utility>

namespace {

using Table = QList<QStringList>;

// Reads CSV as a spreadsheet program does: quoted fields may hold the separator, doubled
// quotes and line breaks; every line ends with CRLF. Without the BOM it reads nothing.
Table parseCsv(const QByteArray &bytes, QChar separator)
{
    if (!bytes.startsWith("\xEF\xBB\xBF"))
        return {};
    const QString text = QString::fromUtf8(bytes.mid(3));
    Table table{{}};
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'"' && quoted && text.mid(i + 1, 1) == u"\"")
            field += text.at(++i);
        else if (c == u'"')
            quoted = !quoted;
        else if (!quoted && c == separator)
            table.last() << std::exchange(field, QString());
        else if (!quoted && text.mid(i, 2) == u"\r\n") {
            table.last() << std::exchange(field, QString());
            table << QStringList();
            ++i;
        } else
            field += c;
    }
    table.removeLast(); // after the last CRLF
    return table;
}

} // namespace

class TestResultsCsv : public QObject
{
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale::c()); }

    void oddTextsComeBackWholeInEitherLocale_data();
    void oddTextsComeBackWholeInEitherLocale();
    void crossingsRunInRaceTimeOrder();
    void gapsAreTimesOrLaps();
    void twelveCarsFiftyLapsGiveEveryCrossing();
    void placesShowPenaltiesAndLapsOff();
    void secondsAreNumbersOfTheLocale_data();
    void secondsAreNumbersOfTheLocale();
    void secondsAgreeWithTheTimeTexts_data();
    void secondsAgreeWithTheTimeTexts();
};

void TestResultsCsv::oddTextsComeBackWholeInEitherLocale_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QChar>("separator");
    QTest::newRow("C") << QLocale::c() << QChar(u',');
    QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << QChar(u';');
}

void TestResultsCsv::oddTextsComeBackWholeInEitherLocale()
{
    QFETCH(QLocale, locale);
    QFETCH(QChar, separator);
    QLocale::setDefault(locale);
    const Table results = parseCsv(ResultsCsv(ResultsSamples::oddTexts()), separator);
    QCOMPARE(results.size(), 4);
    QCOMPARE(results.at(0), (QStringList{"Position", "Wagen", "Start-Nr.", "Fahrer", "Runden",
                                         "Gesamtzeit", "Beste Runde", "Abstand", "Wertung",
                                         "Gesamtzeit (s)", "Beste Runde (s)", "Abstand (s)"}));
    QCOMPARE(results.at(1).mid(0, 5), (QStringList{"1", "F4", "1;2", "<b>&\"", "2"}));
    QCOMPARE(results.at(2).mid(2, 2), (QStringList{"3,4", "Jürgen Öß\nzweite Zeile"}));
    // Typed texts that a spreadsheet would run as formulas are kept as text.
    QCOMPARE(results.at(3).mid(2, 2), (QStringList{"'=1+2", "'@Kim; \"K\""}));

    const Table crossings = parseCsv(CrossingsCsv(ResultsSamples::oddTexts()), separator);
    QCOMPARE(crossings.size(), 4);
    QCOMPARE(crossings.at(2).mid(0, 4), (QStringList{"F9", "3,4", "Jürgen Öß\nzweite Zeile", "1"}));
}

void TestResultsCsv::crossingsRunInRaceTimeOrder()
{
    // Car 2 leads; car 1 crosses 10 s later at lap 1; car 3 crosses once, after both.
    const Table expected{
        {"Wagen", "Start-Nr.", "Fahrer", "Runde", "Rennzeit", "Rundenzeit", "Rennzeit (s)",
         "Rundenzeit (s)"},
        {"F2", "7", "Łukasz Nowak", "1", "00:25:00.0", "00:25:00.0", "1500.0", "1500.0"},
        {"F1", "", "Anna \"Flash\" Berg", "1", "00:25:10.0", "00:25:10.0", "1510.0", "1510.0"},
        {"F3", "12", "Jörg Weiß", "1", "00:26:40.0", "00:26:40.0", "1600.0", "1600.0"},
        {"F2", "7", "Łukasz Nowak", "2", "00:47:00.0", "00:22:00.0", "2820.0", "1320.0"},
        {"F1", "", "Anna \"Flash\" Berg", "2", "00:47:20.0", "00:22:10.0", "2840.0", "1330.0"},
        {"F2", "7", "Łukasz Nowak", "3", "01:08:30.5", "00:21:30.5", "4110.5", "1290.5"},
        {"F1", "", "Anna \"Flash\" Berg", "3", "01:09:00.0", "00:21:40.0", "4140.0", "1300.0"},
    };
    QCOMPARE(parseCsv(CrossingsCsv(ResultsSamples::threeCars()), u','), expected);
    QCOMPARE(parseCsv(CrossingsCsv(ResultsSamples::noLaps()), u',').size(), 1);
}

void TestResultsCsv::gapsAreTimesOrLaps()
{
    TResultsSnapshot s = ResultsSamples::threeCars();
    s.rows << ResultsSamples::row(4, QStringLiteral("9"), QStringLiteral("Uli"),
                                  {1700000, 1700000});
    const Table t = parseCsv(ResultsCsv(s), u',');
    QCOMPARE(t.at(1).mid(4, 4), (QStringList{"3", "01:08:30.5", "00:21:30.5", ""})); // leader
    QCOMPARE(t.at(2).at(7), QStringLiteral("00:00:29.5")); // 4140049 - 4110500 ms
    QCOMPARE(t.at(3).mid(4, 4), (QStringList{"1", "00:26:40.0", "00:26:40.0", "+2 Runden"}));
    QCOMPARE(t.at(4).at(7), QStringLiteral("+1 Runde"));

    const Table none = parseCsv(ResultsCsv(ResultsSamples::noLaps()), u',');
    QCOMPARE(none.size(), 4);
    QCOMPARE(none.at(3).mid(3), (QStringList{"Jörg Weiß", "0", "", "", "", "3.", "", "", ""}));
}

void TestResultsCsv::twelveCarsFiftyLapsGiveEveryCrossing()
{
    const Table t = parseCsv(CrossingsCsv(ResultsSamples::twelveCarsFiftyLaps()), u',');
    QCOMPARE(t.size(), 1 + 12 * 50);
    QHash<QString, int> lapsSeen;
    for (int i = 1; i < t.size(); ++i) {
        QVERIFY(i == 1 || t.at(i - 1).at(4) <= t.at(i).at(4));
        QCOMPARE(t.at(i).at(3).toInt(), ++lapsSeen[t.at(i).at(0)]);
    }
    QCOMPARE(lapsSeen.size(), 12);
}

void TestResultsCsv::placesShowPenaltiesAndLapsOff()
{
    TResultsSnapshot s = ResultsSamples::flagWithVerdicts();
    s.rows[2].lapsOff = 1;
    const Table t = parseCsv(ResultsCsv(s), u',');
    QCOMPARE(t.at(0).at(8), QStringLiteral("Wertung"));
    QStringList places;
    for (const QStringList &line : t.mid(1))
        places << line.at(8);
    QCOMPARE(places, (QStringList{"1.", "2. (+2 s)", "3. (-1 R.)", "DNF", "DNS"}));
}

void TestResultsCsv::secondsAreNumbersOfTheLocale_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::newRow("C") << QLocale::c();
    QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany);
}

// The seconds columns read back as numbers in the locale of the file, and add up to what the
// time texts beside them say; gaps of whole laps and cars without laps leave them empty.
void TestResultsCsv::secondsAreNumbersOfTheLocale()
{
    QFETCH(QLocale, locale);
    QLocale::setDefault(locale);
    const QChar separator = locale.decimalPoint() == u"," ? u';' : u',';
    const auto seconds = [&locale](const QString &text) {
        bool ok = false;
        const double value = locale.toDouble(text, &ok);
        return ok ? value : -1.0;
    };

    const Table results = parseCsv(ResultsCsv(ResultsSamples::flagWithVerdicts()), separator);
    QCOMPARE(results.at(0).mid(9),
             (QStringList{"Gesamtzeit (s)", "Beste Runde (s)", "Abstand (s)"}));
    QCOMPARE(seconds(results.at(1).at(9)), 10.2);
    QCOMPARE(seconds(results.at(2).at(9)), 11.0); // the penalty included, as in the text
    QCOMPARE(seconds(results.at(2).at(10)), 3.0);
    QCOMPARE(seconds(results.at(2).at(11)), 0.8);
    QCOMPARE(results.at(3).mid(7),
             (QStringList{"+1 Runde", "3.", results.at(3).at(9), results.at(3).at(10), ""}));
    QCOMPARE(results.at(5).mid(9), (QStringList{"", "", ""}));

    const Table crossings =
        parseCsv(CrossingsCsv(ResultsSamples::twelveCarsFiftyLaps()), separator);
    QCOMPARE(crossings.at(0).mid(6), (QStringList{"Rennzeit (s)", "Rundenzeit (s)"}));
    // The sum of the lap times in hundredths, each cut as its text is.
    double sum = 0;
    qint64 expected = 0;
    for (const QStringList &line : crossings.mid(1)) {
        QVERIFY2(seconds(line.at(7)) >= 0, qPrintable(line.at(7)));
        sum += seconds(line.at(7));
    }
    for (const TResultsRow &row : ResultsSamples::twelveCarsFiftyLaps().rows) {
        for (const qint32 lap : row.laps)
            expected += lap / 10;
    }
    QCOMPARE(qRound64(sum * 100), expected);
}

void TestResultsCsv::secondsAgreeWithTheTimeTexts_data()
{
    QTest::addColumn<qint32>("ms");
    QTest::addColumn<int>("acc");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("seconds");
    QTest::newRow("tenths round") << 83449 << 1 << "00:01:23.4"
                                  << "83.4";
    QTest::newRow("tenths carry into the minute") << 59951 << 1 << "00:01:00.0"
                                                  << "60.0";
    QTest::newRow("hundredths are cut") << 83459 << 2 << "00:01:23.45"
                                        << "83.45";
    QTest::newRow("thousandths show hundredths") << 83459 << 3 << "00:01:23.45"
                                                 << "83.45";
    QTest::newRow("whole seconds are cut") << 83999 << 0 << "00:01:23"
                                           << "83";
    QTest::newRow("over 100 hours, where the text wraps") << 360061000 << 1 << "00:01:01.0"
                                                          << "360061.0";
    QTest::newRow("negative counts as zero") << -5 << 2 << "00:00:00.00"
                                             << "0.00";
}

void TestResultsCsv::secondsAgreeWithTheTimeTexts()
{
    QFETCH(qint32, ms);
    QFETCH(int, acc);
    QFETCH(QString, text);
    QFETCH(QString, seconds);
    QCOMPARE(LongTimeText(ms, acc), text);
    QCOMPARE(CsvSeconds(ms, acc), seconds);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(CsvSeconds(ms, acc), QString(seconds).replace(u'.', u','));
}

QTEST_GUILESS_MAIN(TestResultsCsv)
#include "tst_resultscsv.moc"

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
                                         "Gesamtzeit", "Beste Runde", "Abstand"}));
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
        {"Wagen", "Start-Nr.", "Fahrer", "Runde", "Rennzeit", "Rundenzeit"},
        {"F2", "7", "Łukasz Nowak", "1", "00:25:00.0", "00:25:00.0"},
        {"F1", "", "Anna \"Flash\" Berg", "1", "00:25:10.0", "00:25:10.0"},
        {"F3", "12", "Jörg Weiß", "1", "00:26:40.0", "00:26:40.0"},
        {"F2", "7", "Łukasz Nowak", "2", "00:47:00.0", "00:22:00.0"},
        {"F1", "", "Anna \"Flash\" Berg", "2", "00:47:20.0", "00:22:10.0"},
        {"F2", "7", "Łukasz Nowak", "3", "01:08:30.5", "00:21:30.5"},
        {"F1", "", "Anna \"Flash\" Berg", "3", "01:09:00.0", "00:21:40.0"},
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
    QCOMPARE(t.at(1).mid(4), (QStringList{"3", "01:08:30.5", "00:21:30.5", ""})); // the leader
    QCOMPARE(t.at(2).at(7), QStringLiteral("00:00:29.5")); // 4140049 - 4110500 ms
    QCOMPARE(t.at(3).mid(4), (QStringList{"1", "00:26:40.0", "00:26:40.0", "+2 Runden"}));
    QCOMPARE(t.at(4).at(7), QStringLiteral("+1 Runde"));

    const Table none = parseCsv(ResultsCsv(ResultsSamples::noLaps()), u',');
    QCOMPARE(none.size(), 4);
    QCOMPARE(none.at(3).mid(3), (QStringList{"Jörg Weiß", "0", "", "", ""}));
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

QTEST_GUILESS_MAIN(TestResultsCsv)
#include "tst_resultscsv.moc"

#include "ResultsCsv.h"
#include "ResultsSamples.h"

#include <QLocale>
#include <QTest>

namespace {

using Table = QList<QStringList>;

// Reads a CSV file the way a spreadsheet program does: quoted fields may hold the separator,
// doubled quotes and line breaks; lines end with CRLF. Fails the test on a missing BOM.
Table parseCsv(const QByteArray &bytes, QChar separator)
{
    const QByteArray bom("\xEF\xBB\xBF");
    if (!bytes.startsWith(bom)) {
        qWarning("no byte order mark");
        return {};
    }
    const QString text = QString::fromUtf8(bytes.mid(bom.size()));
    Table table;
    QStringList line;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == separator) {
            line << field;
            field.clear();
        } else if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') {
            line << field;
            table << line;
            line.clear();
            field.clear();
            ++i;
        } else {
            field += c;
        }
    }
    if (!field.isEmpty() || !line.isEmpty())
        qWarning("last line without CRLF");
    return table;
}

} // namespace

class TestResultsCsv : public QObject
{
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale::c()); }

    void separatorFollowsTheDecimalPoint_data();
    void separatorFollowsTheDecimalPoint();
    void crossingsRunInRaceTimeOrder();
    void oddTextsComeBackWhole();
    void userTextsCannotStartAFormula();
    void resultsShowGapsInTimeOrLaps();
    void withoutLapsEveryCarIsListedWithoutTimes();
    void twelveCarsFiftyLapsGiveEveryCrossing();
};

void TestResultsCsv::separatorFollowsTheDecimalPoint_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QChar>("separator");
    QTest::newRow("C") << QLocale::c() << QChar(u',');
    QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << QChar(u';');
}

void TestResultsCsv::separatorFollowsTheDecimalPoint()
{
    QFETCH(QLocale, locale);
    QFETCH(QChar, separator);
    QLocale::setDefault(locale);
    const Table results = parseCsv(ResultsCsv(ResultsSamples::threeCars()), separator);
    QCOMPARE(results.size(), 4);
    QCOMPARE(results.at(0), (QStringList{"Position", "Wagen", "Start-Nr.", "Fahrer", "Runden",
                                         "Gesamtzeit", "Beste Runde", "Abstand"}));
    QCOMPARE(results.at(1),
             (QStringList{"1", "F2", "7", "Łukasz Nowak", "3", "01:08:30.5", "00:21:30.5", ""}));
    const Table crossings = parseCsv(CrossingsCsv(ResultsSamples::threeCars()), separator);
    QCOMPARE(crossings.at(0),
             (QStringList{"Wagen", "Start-Nr.", "Fahrer", "Runde", "Rennzeit", "Rundenzeit"}));
    for (const QStringList &line : crossings)
        QCOMPARE(line.size(), 6);
}

void TestResultsCsv::crossingsRunInRaceTimeOrder()
{
    const Table t = parseCsv(CrossingsCsv(ResultsSamples::threeCars()), u',');
    // Car 2 leads; car 1 is 10.049 s later at lap 1 and catches up to 0.5 s; car 3 crosses
    // once, after both.
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
    QCOMPARE(t, expected);
}

void TestResultsCsv::oddTextsComeBackWhole()
{
    for (const QLocale &locale : {QLocale::c(), QLocale(QLocale::German, QLocale::Germany)}) {
        QLocale::setDefault(locale);
        const QChar separator = locale == QLocale::c() ? u',' : u';';
        const Table t = parseCsv(ResultsCsv(ResultsSamples::oddTexts()), separator);
        QCOMPARE(t.size(), 4);
        QCOMPARE(t.at(1).mid(2, 2), (QStringList{"1;2", "<b>&\""}));
        QCOMPARE(t.at(2).mid(2, 2), (QStringList{"3,4", "Jürgen Öß\nzweite Zeile"}));
        const Table c = parseCsv(CrossingsCsv(ResultsSamples::oddTexts()), separator);
        QCOMPARE(c.size(), 4);
        QCOMPARE(c.at(2).mid(1, 2), (QStringList{"3,4", "Jürgen Öß\nzweite Zeile"}));
    }
}

void TestResultsCsv::userTextsCannotStartAFormula()
{
    const Table t = parseCsv(ResultsCsv(ResultsSamples::oddTexts()), u',');
    QCOMPARE(t.at(3).mid(2, 2), (QStringList{"'=1+2", "'@Kim; \"K\""}));
}

void TestResultsCsv::resultsShowGapsInTimeOrLaps()
{
    TResultsSnapshot s = ResultsSamples::threeCars();
    s.rows << ResultsSamples::row(4, QStringLiteral("9"), QStringLiteral("Uli"),
                                  {1700000, 1700000});
    const Table t = parseCsv(ResultsCsv(s), u',');
    QCOMPARE(t.size(), 5);
    QCOMPARE(t.at(1).at(7), QString());                    // the leader
    QCOMPARE(t.at(2).at(7), QStringLiteral("00:00:29.5")); // 4140049 - 4110500 ms, rounded
    QCOMPARE(t.at(3).at(7), QStringLiteral("+2 Runden"));
    QCOMPARE(t.at(4).at(7), QStringLiteral("+1 Runde"));
    QCOMPARE(t.at(3).mid(4, 3), (QStringList{"1", "00:26:40.0", "00:26:40.0"}));
}

void TestResultsCsv::withoutLapsEveryCarIsListedWithoutTimes()
{
    const Table t = parseCsv(ResultsCsv(ResultsSamples::noLaps()), u',');
    QCOMPARE(t.size(), 4);
    for (int i = 1; i < 4; ++i) {
        QCOMPARE(t.at(i).at(0), QString::number(i));
        QCOMPARE(t.at(i).mid(4), (QStringList{"0", "", "", ""}));
    }
    QCOMPARE(parseCsv(CrossingsCsv(ResultsSamples::noLaps()), u',').size(), 1);
}

void TestResultsCsv::twelveCarsFiftyLapsGiveEveryCrossing()
{
    const TResultsSnapshot s = ResultsSamples::twelveCarsFiftyLaps();
    const Table t = parseCsv(CrossingsCsv(s), u',');
    QCOMPARE(t.size(), 1 + 12 * 50);
    QHash<QString, int> lapsSeen;
    for (int i = 1; i < t.size(); ++i) {
        QVERIFY2(t.at(i - 1).at(4) <= t.at(i).at(4) || i == 1, qPrintable(t.at(i).join(u' ')));
        QCOMPARE(t.at(i).at(3).toInt(), ++lapsSeen[t.at(i).at(0)]); // each car's laps in order
    }
    QCOMPARE(lapsSeen.size(), 12);
}

QTEST_GUILESS_MAIN(TestResultsCsv)
#include "tst_resultscsv.moc"

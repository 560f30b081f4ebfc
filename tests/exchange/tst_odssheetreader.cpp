#include "OdsSheetReader.h"
#include "StarterListTestData.h"

#include <QLocale>
#include <QTest>

using namespace StarterListTestData;

class TestOdsSheetReader : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void readsWhatSpreadsheetProgramsWrite();
    void outcomes_data();
    void outcomes();
};

void TestOdsSheetReader::init()
{
    QLocale::setDefault(QLocale::c());
}

void TestOdsSheetReader::readsWhatSpreadsheetProgramsWrite()
{
    // Header rows and row groups, repeated and covered cells, spaces, tabs, line breaks,
    // spans, links, a note left out, a second paragraph, percentages, times, currencies,
    // a string value that differs from its display, column K left out.
    for (const char *locale : {"C", "de_DE"}) {
        QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
        OdsSheetReader reader;
        const Outcome outcome = readWith(reader, fixture(QStringLiteral("handmade.ods")));
        QVERIFY2(outcome.ok, qPrintable(outcome.error));
        const QString quarter = QLocale().toString(0.25);
        const QString price = QLocale().toString(12.5);
        QCOMPARE(outcome.rows, (QStringList{"1|A   B\tC\nDEF\nzweiter Absatz|rep|rep||" + quarter +
                                                "|10:30:05|" + price + "|mit Notiz|Wert",
                                            "wdh", "wdh", "wdh"}));
    }
}

void TestOdsSheetReader::outcomes_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("message");
    QTest::newRow("two million repeated starters")
        << "bigrepeat.ods" << false << 0 << "65536 Zeilen";
    QTest::newRow("number that is none") << "badvalue.ods" << false << 0 << "ungültige Zahl";
    QTest::newRow("cut-off XML") << "broken.ods" << false << 0 << "content.xml, Zeile";
    QTest::newRow("no table") << "notable.ods" << true << 0 << "";
    QTest::newRow("trailing rows repeated a million times") << "eight.ods" << true << 8 << "";
}

void TestOdsSheetReader::outcomes()
{
    QFETCH(QString, file);
    QFETCH(bool, ok);
    QFETCH(int, rows);
    QFETCH(QString, message);
    OdsSheetReader reader;
    const Outcome outcome = readWith(reader, fixture(file));
    QCOMPARE(outcome.ok, ok);
    QVERIFY2(outcome.error.contains(message), qPrintable(outcome.error));
    if (ok)
        QCOMPARE(outcome.rows.size(), rows);
}

QTEST_GUILESS_MAIN(TestOdsSheetReader)
#include "tst_odssheetreader.moc"

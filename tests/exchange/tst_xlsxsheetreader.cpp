#include "ReadLimits.h"
#include "StarterListTestData.h"
#include "XlsxSheetReader.h"
#include "ZipArchive.h"

#include <QLocale>
#include <QTest>

using namespace StarterListTestData;

class TestXlsxSheetReader : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void readsWhatSpreadsheetProgramsWrite();
    void dateFormats_data();
    void dateFormats();
    void refusesBrokenRules_data();
    void refusesBrokenRules();
    void longListsStopAtTheBound();
    void inflatingPartsStopAtTheBound();
};

void TestXlsxSheetReader::init()
{
    QLocale::setDefault(QLocale::c());
}

void TestXlsxSheetReader::readsWhatSpreadsheetProgramsWrite()
{
    // The first sheet in workbook order lives in sheet2.xml; the workbook counts days from
    // 1904; texts come inline, rich, shared with phonetic guides, and as formula results.
    for (const char *locale : {"C", "de_DE"}) {
        QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
        XlsxSheetReader reader;
        const Outcome outcome = readWith(reader, fixture(QStringLiteral("handmade.xlsx")));
        QVERIFY2(outcome.ok, qPrintable(outcome.error));
        const QString day1904 =
            QLocale().toString(QDate(1904, 1, 1).addDays(45631), QLocale::ShortFormat);
        const QString raceDay = QLocale().toString(QDate(2026, 12, 7), QLocale::ShortFormat);
        const QString half = QLocale().toString(-0.5);
        QCOMPARE(outcome.rows,
                 (QStringList{"A-1|Jürgen Groß|" + day1904,
                              "B-2|Zoë|B-2x|" + raceDay + " 10:30:05|True", "3|||||||||" + half}));
    }
}

void TestXlsxSheetReader::dateFormats_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("isDate");
    QTest::newRow("general") << "General" << false;
    QTest::newRow("two decimals") << "0.00" << false;
    QTest::newRow("scientific") << "0.00E+00" << false;
    QTest::newRow("text") << "@" << false;
    QTest::newRow("colour is no day") << "[Red]0.00" << false;
    QTest::newRow("quoted letters") << "0 \"days\"" << false;
    QTest::newRow("escaped letter") << "\\d0" << false;
    QTest::newRow("padding after underscore") << "0_)" << false;
    QTest::newRow("date") << "dd.mm.yyyy" << true;
    QTest::newRow("locale prefix and text section") << "[$-407]DD/MM/YYYY;@" << true;
    QTest::newRow("time") << "h:mm" << true;
    QTest::newRow("elapsed hours") << "[h]:mm:ss" << true;
    QTest::newRow("minutes and seconds") << "mm:ss" << true;
}

void TestXlsxSheetReader::dateFormats()
{
    QFETCH(QString, code);
    QFETCH(bool, isDate);
    QCOMPARE(XlsxSheetReader::isDateFormatCode(code), isDate);
}

void TestXlsxSheetReader::refusesBrokenRules_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("message");
    QTest::newRow("shared text missing") << "badindex.xlsx"
                                         << "ein Text fehlt";
    QTest::newRow("row repeated") << "rowsback.xlsx"
                                  << "Zeilennummer";
    QTest::newRow("number that is none") << "badnumber.xlsx"
                                         << "ungültige Zahl";
    QTest::newRow("no sheet") << "nosheet.xlsx"
                              << "kein Tabellenblatt";
}

void TestXlsxSheetReader::refusesBrokenRules()
{
    QFETCH(QString, file);
    QFETCH(QString, message);
    XlsxSheetReader reader;
    const Outcome outcome = readWith(reader, fixture(file));
    QVERIFY(!outcome.ok);
    QVERIFY2(outcome.error.contains(message), qPrintable(outcome.error));
}

void TestXlsxSheetReader::longListsStopAtTheBound()
{
    XlsxSheetReader reader;
    const Outcome outcome = readWith(reader, fixture(QStringLiteral("bigrows.xlsx")));
    QVERIFY(!outcome.ok);
    QVERIFY2(outcome.error.contains(QLatin1String("65536 Zeilen")), qPrintable(outcome.error));
}

void TestXlsxSheetReader::inflatingPartsStopAtTheBound()
{
    // The bound on a part's inflated size, tried with a small one on a real sheet.
    const QByteArray data = fixture(QStringLiteral("bigrows.xlsx"));
    ZipArchive zip(data);
    QByteArray content;
    QVERIFY(!zip.readEntry(QStringLiteral("xl/worksheets/sheet1.xml"), 100000, &content));
    QVERIFY2(zip.errorString().contains(QStringLiteral("entpackt größer")),
             qPrintable(zip.errorString()));
    QVERIFY(zip.readEntry(QStringLiteral("xl/worksheets/sheet1.xml"), ReadLimits::kMaxPartBytes,
                          &content));
    QVERIFY(content.size() > 100000);
}

QTEST_GUILESS_MAIN(TestXlsxSheetReader)
#include "tst_xlsxsheetreader.moc"

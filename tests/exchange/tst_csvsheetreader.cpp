#include "CsvSheetReader.h"
#include "ReadLimits.h"
#include "StarterListTestData.h"

#include <QStringEncoder>
#include <QTest>

using namespace StarterListTestData;

class TestCsvSheetReader : public QObject
{
    Q_OBJECT
private slots:
    void reads_data();
    void reads();
    void refuses_data();
    void refuses();
    void latin1FixtureFromTheBuild();
};

void TestCsvSheetReader::reads_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("rows");

    QTest::newRow("semicolons, CRLF")
        << QByteArray("1;Anna;x\r\n2;Bert\r\n") << QStringList{"1|Anna|x", "2|Bert"};
    QTest::newRow("commas, LF, no final line end")
        << QByteArray("1,Anna\n2,Bert") << QStringList{"1|Anna", "2|Bert"};
    QTest::newRow("old line ends") << QByteArray("1;A\r2;B\r") << QStringList{"1|A", "2|B"};
    QTest::newRow("separator the first line uses more")
        << QByteArray("7;Müller, Anna;3\n") << QStringList{"7|Müller, Anna|3"};
    QTest::newRow("semicolon list with commas in a name on the first line")
        << QByteArray("1;Schmidt, Peter, Dr.\n2;Meier\n3;Kurz, Eva\n")
        << QStringList{"1|Schmidt, Peter, Dr.", "2|Meier", "3|Kurz, Eva"};
    QTest::newRow("comma list with a semicolon in the first name")
        << QByteArray("1,Anna; Berta\n2,Carl\n3,Dora\n")
        << QStringList{"1|Anna; Berta", "2|Carl", "3|Dora"};
    QTest::newRow("quoted commas do not count")
        << QByteArray("1;\"A, B, C\"\n2;D\n") << QStringList{"1|A, B, C", "2|D"};
    QTest::newRow("quoted separator, quote and line end")
        << QByteArray("1;\"Anna; \"\"die Schnelle\"\"\nzwei\"\n2;B")
        << QStringList{"1|Anna; \"die Schnelle\"\nzwei", "2|B"};
    QTest::newRow("quote inside a plain field stays")
        << QByteArray("1;O\"Brien\n") << QStringList{"1|O\"Brien"};
    QTest::newRow("empty line ends the list") << QByteArray("1;A\n\n2;B\n") << QStringList{"1|A"};
    QTest::newRow("empty A ends the list") << QByteArray("1;A\n;B\n3;C\n") << QStringList{"1|A"};
    QTest::newRow("empty driver still counts")
        << QByteArray("1;\n2;B\n") << QStringList{"1", "2|B"};
    QTest::newRow("column K not read")
        << QByteArray("1;2;3;4;5;6;7;8;9;10;11;12\n") << QStringList{"1|2|3|4|5|6|7|8|9|10"};
    QTest::newRow("texts stay as written")
        << QByteArray("007;7,0;1e3\n") << QStringList{"007|7,0|1e3"};
    QTest::newRow("UTF-8 with byte order mark") << QByteArray("\xEF\xBB\xBF"
                                                              "7;Zoë\n")
                                                << QStringList{"7|Zoë"};
    QTest::newRow("Windows Latin-1") << QByteArray("7;J\xFCrgen \x80 \x84"
                                                   "a\x93\n")
                                     << QStringList{"7|Jürgen € „a“"};
    QStringEncoder utf16(QStringEncoder::Utf16LE);
    QTest::newRow("UTF-16 with byte order mark")
        << QByteArray("\xFF\xFE") + QByteArray(utf16.encode(u"7;Łukasz\r\n8;李\r\n"))
        << QStringList{"7|Łukasz", "8|李"};
    QTest::newRow("empty file") << QByteArray() << QStringList{};
}

void TestCsvSheetReader::reads()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, rows);
    CsvSheetReader reader;
    const Outcome outcome = readWith(reader, content);
    QVERIFY2(outcome.ok, qPrintable(outcome.error));
    QCOMPARE(outcome.rows, rows);
}

void TestCsvSheetReader::refuses_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");
    QTest::newRow("quote never closed") << QByteArray("1;\"Anna\n2;B\n") << "Anführungszeichen";
    QTest::newRow("binary") << QByteArray("1;A\0\x01\x02", 6) << "Binärdaten";
    // Short rows far past the list's bound: refused before the file is turned into text.
    QTest::newRow("file past the size bound")
        << QByteArray("1;A\n").repeated(ReadLimits::kMaxCsvBytes / 4 + 1) << "32 MB";
    QTest::newRow("field longer than a cell")
        << QByteArray("1;") + QByteArray(40000, 'x') << "32767 Zeichen";
}

void TestCsvSheetReader::refuses()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    CsvSheetReader reader;
    const Outcome outcome = readWith(reader, content);
    QVERIFY(!outcome.ok);
    QVERIFY2(outcome.error.contains(message), qPrintable(outcome.error));
}

void TestCsvSheetReader::latin1FixtureFromTheBuild()
{
    CsvSheetReader reader;
    const Outcome outcome = readWith(reader, fixture(QStringLiteral("latin1.csv")));
    QVERIFY2(outcome.ok, qPrintable(outcome.error));
    QCOMPARE(outcome.rows, (QStringList{"7|Jürgen Groß", "8|Zoë, die Schnelle"}));
}

QTEST_GUILESS_MAIN(TestCsvSheetReader)
#include "tst_csvsheetreader.moc"

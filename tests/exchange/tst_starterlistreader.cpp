#include "CellText.h"
#include "ReadLimits.h"
#include "StarterListReader.h"
#include "StarterListTestData.h"
#include "TempFolder.h"

#include <QLocale>
#include <QTest>

using namespace StarterListTestData;

class TestStarterListReader : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void eightStarters_data();
    void eightStarters();
    void fifteenStarters_data();
    void fifteenStarters();
    void emptyA1GivesNoStarters_data();
    void emptyA1GivesNoStarters();
    void errorCellInTheListFails_data();
    void errorCellInTheListFails();
    void formatFollowsContentNotName_data();
    void formatFollowsContentNotName();
    void unreadableFilesGiveMessages_data();
    void unreadableFilesGiveMessages();
    void damagedFilesGiveMessagesNotCrashes_data();
    void damagedFilesGiveMessagesNotCrashes();
    void failedReadLeavesNoRows();
    void readingDetails();
    void workbookNameWithoutWorkbookIsRefused_data();
    void workbookNameWithoutWorkbookIsRefused();

private:
    void addFormatsAndLocales(const QString &list, const QStringList &extensions);
};

namespace {

const QStringList kAllFormats = {QStringLiteral("xls"), QStringLiteral("xlsx"),
                                 QStringLiteral("ods"), QStringLiteral("csv")};
const QStringList kWorkbookFormats = {QStringLiteral("xls"), QStringLiteral("xlsx"),
                                      QStringLiteral("ods")};

} // namespace

void TestStarterListReader::init()
{
    QLocale::setDefault(QLocale::c());
}

void TestStarterListReader::addFormatsAndLocales(const QString &list, const QStringList &extensions)
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("locale");
    for (const QString &extension : extensions) {
        for (const char *locale : {"C", "de_DE"}) {
            const QString file = list + QLatin1Char('.') + extension;
            QTest::addRow("%s %s", qPrintable(file), locale) << file << QString::fromLatin1(locale);
        }
    }
}

void TestStarterListReader::eightStarters_data()
{
    addFormatsAndLocales(QStringLiteral("eight"), kAllFormats);
}

void TestStarterListReader::eightStarters()
{
    QFETCH(QString, file);
    QFETCH(QString, locale);
    QLocale::setDefault(QLocale(locale));
    StarterListReader reader;
    QVERIFY2(reader.read(fixturePath(file)), qPrintable(reader.errorString()));

    // The list ends at the empty A9: B9 and A10 are not read, nor the errors in C9 and K2.
    QCOMPARE(reader.rows().size(), 8);
    for (const QStringList &row : reader.rows())
        QCOMPARE(row.size(), ReadLimits::kSheetColumns); // column K is never read
    const QStringList numbers = {"7", "12", "3", "44", "5", "61", "8", "9"};
    const QStringList names = {"Jürgen Groß", "Zoë Ærøskøbing", "",
                               "Łukasz Żółć", "Ἀθηνᾶ Παππᾶ",    "Søren O'Brien",
                               "Ñandú Pérez", "李小龍"};
    for (int row = 0; row < 8; ++row) {
        QCOMPARE(reader.rows().at(row).at(0), numbers.at(row));
        QCOMPARE(reader.rows().at(row).at(1), names.at(row));
    }
    if (file.endsWith(QLatin1String(".csv")))
        return; // CSV holds no typed cells

    // Numbers in the general format with the locale's separator, dates in its short format.
    const bool german = locale == QLatin1String("de_DE");
    const QString date = QLocale().toString(QDate(2026, 12, 7), QLocale::ShortFormat);
    const auto cell = [&](int row, int column) { return reader.rows().at(row).at(column); };
    QCOMPARE(cell(0, 2), german ? "2,5" : "2.5");
    QCOMPARE(cell(1, 2), date);
    QCOMPARE(cell(2, 2), "True");
    QCOMPARE(cell(3, 2), german ? "1234567,125" : "1234567.125");
    QCOMPARE(cell(4, 2), german ? "0,3" : "0.3");
    QCOMPARE(cell(5, 2), "1E20");
    QCOMPARE(cell(0, 3), date + " 10:30:05");
    QCOMPARE(cell(1, 3), "False");
    QCOMPARE(cell(2, 3), german ? "12,5" : "12.5");
    QCOMPARE(cell(6, 2), QString());
}

void TestStarterListReader::fifteenStarters_data()
{
    addFormatsAndLocales(QStringLiteral("fifteen"), kAllFormats);
}

void TestStarterListReader::fifteenStarters()
{
    QFETCH(QString, file);
    StarterListReader reader;
    QVERIFY2(reader.read(fixturePath(file)), qPrintable(reader.errorString()));
    QCOMPARE(reader.rows().size(), 15);
    QCOMPARE(rowText(reader.rows().first()), "100|Fahrer 1");
    QCOMPARE(rowText(reader.rows().last()), "114|Fahrer 15");
}

void TestStarterListReader::emptyA1GivesNoStarters_data()
{
    addFormatsAndLocales(QStringLiteral("emptyA1"), kAllFormats);
}

void TestStarterListReader::emptyA1GivesNoStarters()
{
    QFETCH(QString, file);
    StarterListReader reader;
    QVERIFY2(reader.read(fixturePath(file)), qPrintable(reader.errorString()));
    QVERIFY(reader.rows().isEmpty());
}

void TestStarterListReader::errorCellInTheListFails_data()
{
    addFormatsAndLocales(QStringLiteral("error"), kWorkbookFormats);
}

void TestStarterListReader::errorCellInTheListFails()
{
    QFETCH(QString, file);
    StarterListReader reader;
    QVERIFY(!reader.read(fixturePath(file)));
    QCOMPARE(reader.errorString(), CellText::conversionErrorText());
    QVERIFY(reader.rows().isEmpty());
}

void TestStarterListReader::formatFollowsContentNotName_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<QString>("savedAs");
    QTest::newRow("xlsx named .xls") << "eight.xlsx"
                                     << "liste.xls";
    QTest::newRow("xls named .xlsx") << "eight.xls"
                                     << "liste.xlsx";
    QTest::newRow("ods named .xls") << "eight.ods"
                                    << "liste.xls";
    QTest::newRow("csv named .xls") << "eight.csv"
                                    << "liste.xls";
    QTest::newRow("xls without extension") << "eight.xls"
                                           << "liste";
}

void TestStarterListReader::formatFollowsContentNotName()
{
    QFETCH(QString, fixture);
    QFETCH(QString, savedAs);
    TempFolder folder;
    QVERIFY(QFile::copy(fixturePath(fixture), folder.filePath(savedAs)));
    StarterListReader reader;
    QVERIFY2(reader.read(folder.filePath(savedAs)), qPrintable(reader.errorString()));
    QCOMPARE(reader.rows().size(), 8);
    QCOMPARE(reader.rows().at(0).at(1), "Jürgen Groß");
}

void TestStarterListReader::unreadableFilesGiveMessages_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");
    QTest::newRow("binary") << QByteArray("\x7f"
                                          "ELF\x02\x01\x01\x00\x00\x00",
                                          10)
                            << "weder eine Arbeitsmappe";
    QTest::newRow("zip without workbook") << fixture(QStringLiteral("eight.ods"))
                                                 .replace("content.xml", "contenX.xml")
                                                 .replace("opendocument", "opendokument")
                                          << "weder eine Arbeitsmappe";
    QTest::newRow("truncated zip")
        << fixture(QStringLiteral("eight.xlsx")).left(200) << "keine lesbare";
    QTest::newRow("truncated compound file")
        << fixture(QStringLiteral("eight.xls")).left(600) << "keine lesbare";
}

void TestStarterListReader::unreadableFilesGiveMessages()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    StarterListReader reader;
    QVERIFY(!reader.readData(content));
    QVERIFY2(reader.errorString().contains(message), qPrintable(reader.errorString()));
}

void TestStarterListReader::damagedFilesGiveMessagesNotCrashes_data()
{
    QTest::addColumn<QString>("file");
    for (const char *name :
         {"eight.xls", "eight.xlsx", "eight.ods", "eight.csv", "handmade.xlsx", "handmade.ods"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestStarterListReader::damagedFilesGiveMessagesNotCrashes()
{
    // Cut short and overwritten copies: each is read or refused with a message.
    QFETCH(QString, file);
    const QByteArray original = fixture(file);
    const qsizetype step = std::max<qsizetype>(1, original.size() / 97);
    for (qsizetype length = 0; length < original.size(); length += step) {
        StarterListReader reader;
        if (!reader.readData(original.left(length)))
            QVERIFY(!reader.errorString().isEmpty());
    }
    for (qsizetype at = 0; at < original.size(); at += step) {
        QByteArray damaged = original;
        damaged[at] = char(damaged.at(at) ^ 0x5A);
        StarterListReader reader;
        if (!reader.readData(damaged))
            QVERIFY(!reader.errorString().isEmpty());
    }
}

void TestStarterListReader::failedReadLeavesNoRows()
{
    TempFolder folder;
    StarterListReader reader;
    QVERIFY(reader.read(fixturePath(QStringLiteral("eight.xlsx"))));
    QVERIFY(!reader.read(folder.filePath(QStringLiteral("fehlt.xls"))));
    QVERIFY(reader.errorString().contains(QLatin1String("fehlt.xls")));
    QVERIFY(reader.rows().isEmpty());

    // Too big to be a starter list: refused before it is read (the file is sparse).
    QFile big(folder.filePath(QStringLiteral("gross.csv")));
    QVERIFY(big.open(QIODevice::WriteOnly));
    QVERIFY(big.resize(ReadLimits::kMaxFileBytes + 1));
    big.close();
    QVERIFY(!reader.read(big.fileName()));
    QVERIFY2(reader.errorString().contains(QLatin1String("64 MB")),
             qPrintable(reader.errorString()));
}

void TestStarterListReader::readingDetails()
{
    StarterListReader reader;
    // A chart sheet in first place has no cells: the first worksheet is the list.
    QVERIFY2(reader.read(fixturePath(QStringLiteral("chartfirst.xlsx"))),
             qPrintable(reader.errorString()));
    QCOMPARE(rowTexts(reader.rows()), QStringList{"7|Anna"});

    // A start number whose formula was saved without its result does not end the list unseen.
    QVERIFY(!reader.read(fixturePath(QStringLiteral("nocache.xlsx"))));
    QVERIFY2(reader.errorString().contains(QStringLiteral("A2")) &&
                 reader.errorString().contains(QStringLiteral("Formel")),
             qPrintable(reader.errorString()));

    // A document behind a password says so, instead of "damaged".
    QVERIFY(!reader.read(fixturePath(QStringLiteral("locked.ods"))));
    QVERIFY2(reader.errorString().contains(QStringLiteral("Kennwort")),
             qPrintable(reader.errorString()));
}

void TestStarterListReader::workbookNameWithoutWorkbookIsRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");
    for (const char *name : {"lauf.xlsx", "lauf.xls", "lauf.ods", "LAUF.XLSX"})
        QTest::addRow("empty %s", name) << QString::fromLatin1(name) << QByteArray() << "leer";
    QTest::newRow("blank .ods") << "lauf.ods" << QByteArray(" \r\n") << "leer";
    QTest::newRow("text .xlsx") << "lauf.xlsx" << QByteArray("1;Anna\n") << "Text";
    QTest::newRow("text .ods") << "lauf.ods" << QByteArray("1;Anna\n") << "Text";
    QTest::newRow("binary .xls") << "lauf.xls"
                                 << QByteArray("\x7f"
                                               "ELF\x02\x01\x01\x00",
                                               8)
                                 << "keine Arbeitsmappe";
}

void TestStarterListReader::workbookNameWithoutWorkbookIsRefused()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    TempFolder folder;
    QFile file(folder.filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    StarterListReader reader;
    QVERIFY(!reader.read(file.fileName()));
    QVERIFY2(reader.errorString().contains(file.fileName()), qPrintable(reader.errorString()));
    QVERIFY2(reader.errorString().contains(message), qPrintable(reader.errorString()));
    QVERIFY(reader.rows().isEmpty());
}

QTEST_GUILESS_MAIN(TestStarterListReader)
#include "tst_starterlistreader.moc"

#include "DocumentOpener.h"
#include "Excel.h"
#include "FileSizeLimit.h"
#include "ResultsSamples.h"
#include "ResultsWorkbook.h"
#include "TempFolder.h"
#include "XlsxSheetReader.h"
#include "XlsxTestReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QTest>
#include <QtMath>

#include <memory>

namespace {

using Row = QStringList;

// Checks every cell of one sheet row, and that nothing stands to the right of it.
void compareRow(const XlsxTestReader &book, int row, const Row &cells)
{
    for (int column = 1; column <= qMax(int(cells.size()), book.lastColumn()); ++column)
        QCOMPARE(book.cell(row, column), cells.value(column - 1));
}

} // namespace

class TestResultsWorkbook : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void everyRowOfTheLayout_data();
    void everyRowOfTheLayout();
    void withoutLapsTheTotalsFollowTheLapHeading();
    void ownLapsAndTotalsAfterTheFlagOrUnderAVerdict();
    void starterListReaderReadsTheSameCells();
    void titleLineKeepsItsLastCharacter_data();
    void titleLineKeepsItsLastCharacter();

    void eachExportGetsANewFile();
    void folderThatRefusesFilesFailsToConnect();
    void nothingWrittenLeavesNoFile();
    void failedSaveLeavesNoFileAndSaysWhy();
    void everyNameTakenIsReported();
    void deletedWorkingFolderIsNamed();
    void columnsFitTheirLongestText();
    void writesDownColumnsWhenNotHorizontal();

private:
    std::unique_ptr<TempFolder> m_folder;
    QStringList m_opened;
};

void TestResultsWorkbook::init()
{
    QLocale::setDefault(QLocale::c());
    m_folder = std::make_unique<TempFolder>();
    m_opened.clear();
    DocumentOpener::setHandler([this](const QString &fileName) { m_opened << fileName; });
}

void TestResultsWorkbook::cleanup()
{
    DocumentOpener::setHandler({});
    m_folder.reset();
}

void TestResultsWorkbook::everyRowOfTheLayout_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("distance");
    QTest::addColumn<QString>("date");
    QTest::newRow("C") << QLocale::c() << "7.5"
                       << "7 Dec 2026";
    QTest::newRow("de_DE keeps the decimal comma in one cell")
        << QLocale(QLocale::German, QLocale::Germany) << "7,5"
        << "07.12.26";
}

void TestResultsWorkbook::everyRowOfTheLayout()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, distance);
    QFETCH(QString, date);
    QLocale::setDefault(locale);

    TResultsSnapshot s = ResultsSamples::threeCars();
    s.title = QStringLiteral("Preis \"Nord\", Süd");
    s.rows[1].driver = QStringLiteral("Berg, Anna \"Flash\"");
    QString fileName;
    {
        TExcel excel;
        QVERIFY(excel.Connect());
        QVERIFY(WriteResultsWorkbook(excel, s));
        fileName = excel.fileName();
        QVERIFY(m_opened.isEmpty()); // opened only once it is saved
    }
    QCOMPARE(m_opened, QStringList{fileName});
    QVERIFY(QRegularExpression(
                QStringLiteral("^tst_resultsworkbook-\\d{4}-\\d\\d-\\d\\d-\\d{6}\\.xlsx$"))
                .match(QFileInfo(fileName).fileName())
                .hasMatch());
    QCOMPARE(QFileInfo(fileName).absolutePath(), QDir::currentPath());

    XlsxTestReader book;
    QVERIFY2(book.read(fileName), qPrintable(book.error()));
    QVERIFY(book.allCellsAreText());
    compareRow(book, 1, Row{"Rennen:", "Preis \"Nord\", Süd"});
    compareRow(book, 2, Row{"Runden:", "3", "Länge:", distance, "Km"});
    compareRow(book, 3, Row{"Session:", "Rennen"});
    compareRow(book, 4, Row{"Datum:", date});
    compareRow(book, 5, Row{"Ergebnis:"});
    compareRow(book, 6, Row{"Position:", "1.", "2.", "3."});
    compareRow(book, 7, Row{"Start-Nr.:", "7", "", "12"});
    compareRow(book, 8, Row{"Fahrer:", "Łukasz Nowak", "Berg, Anna \"Flash\"", "Jörg Weiß"});
    compareRow(book, 9, Row{"Runde:"});
    // The car in the last column completed only lap 1: zero times after it.
    compareRow(book, 10, Row{"1.", "00:25:00.0", "00:25:10.0", "00:26:40.0"});
    compareRow(book, 11, Row{"2.", "00:22:00.0", "00:22:10.0", "00:00:00.0"});
    compareRow(book, 12, Row{"3.", "00:21:30.5", "00:21:40.0", "00:00:00.0"});
    compareRow(book, 13, Row{"Gesamt:", "01:08:30.5", "01:09:00.0", "00:00:00.0"});
    QCOMPARE(book.lastRow(), 13);
    QCOMPARE(book.lastColumn(), 5); // "Km" in row 2
}

void TestResultsWorkbook::withoutLapsTheTotalsFollowTheLapHeading()
{
    TResultsSnapshot s = ResultsSamples::threeCars();
    s.leaderLaps = 0;
    {
        TExcel excel;
        QVERIFY(excel.Connect());
        QVERIFY(WriteResultsWorkbook(excel, s));
    }
    QCOMPARE(m_opened.size(), 1);
    XlsxTestReader book;
    QVERIFY2(book.read(m_opened.first()), qPrintable(book.error()));
    compareRow(book, 9, Row{"Runde:"});
    compareRow(book, 10, Row{"Gesamt:", "00:00:00.0", "00:00:00.0", "00:00:00.0"});
    QCOMPARE(book.lastRow(), 10);
}

// As the results page: each car's own laps and the totals of the classification, penalty
// included, not zeros for a lapped or retired car.
void TestResultsWorkbook::ownLapsAndTotalsAfterTheFlagOrUnderAVerdict()
{
    {
        TExcel excel;
        QVERIFY(excel.Connect());
        QVERIFY(WriteResultsWorkbook(excel, ResultsSamples::flagWithVerdicts()));
    }
    XlsxTestReader book;
    QVERIFY2(book.read(m_opened.value(0)), qPrintable(book.error()));
    compareRow(book, 6, Row{"Position:", "1.", "2. (+2 s)", "3.", "DNF", "DNS"});
    compareRow(book, 10, Row{"1.", "00:00:03.4", "00:00:03.0", "00:00:03.6", "00:00:03.5", ""});
    compareRow(book, 11, Row{"2.", "00:00:03.4", "00:00:03.0", "00:00:03.6", "", ""});
    compareRow(book, 12, Row{"3.", "00:00:03.4", "00:00:03.0", "", "", ""});
    compareRow(book, 13, Row{"Gesamt:", "00:00:10.2", "00:00:11.0", "00:00:07.2", "00:00:03.5"});
    QCOMPARE(book.lastRow(), 13);
}

// The program's own workbook import takes our exports back cell for cell.
void TestResultsWorkbook::starterListReaderReadsTheSameCells()
{
    {
        TExcel excel;
        QVERIFY(excel.Connect());
        QVERIFY(WriteResultsWorkbook(excel, ResultsSamples::threeCars()));
    }
    QFile file(m_opened.value(0));
    QVERIFY(file.open(QIODevice::ReadOnly));
    struct Collect : SheetRowSink
    {
        QHash<QPoint, QString> cells;
        bool takeRow(int row, const SheetRow &rowCells) override
        {
            for (int col = 0; col < rowCells.size(); ++col) {
                if (!rowCells.at(col).text.isEmpty())
                    cells[QPoint(col + 1, row + 1)] = rowCells.at(col).text;
            }
            return true;
        }
    } imported;
    XlsxSheetReader reader;
    QVERIFY2(reader.read(file.readAll(), imported), qPrintable(reader.errorString()));

    XlsxTestReader book;
    QVERIFY(book.read(file.fileName()));
    int compared = 0;
    for (int row = 1; row <= book.lastRow(); ++row) {
        for (int col = 1; col <= book.lastColumn(); ++col) {
            QCOMPARE(imported.cells.value(QPoint(col, row)), book.cell(row, col));
            compared += book.cell(row, col).isEmpty() ? 0 : 1;
        }
    }
    QCOMPARE(imported.cells.size(), compared);
}

void TestResultsWorkbook::titleLineKeepsItsLastCharacter_data()
{
    QTest::addColumn<QString>("title");
    QTest::newRow("quote at the end") << "Preis \"Nord\"";
    QTest::newRow("comma at the end") << "Nord,";
    QTest::newRow("blank at the end") << "Nord ";
    QTest::newRow("only a quote") << "\"";
    QTest::newRow("empty") << "";
}

void TestResultsWorkbook::titleLineKeepsItsLastCharacter()
{
    QFETCH(QString, title);
    TResultsSnapshot s = ResultsSamples::oneCar();
    s.title = title;
    QVERIFY(ResultsWorkbookLines(s).first().startsWith(QStringLiteral("Rennen: \"")));
    {
        TExcel excel;
        QVERIFY(excel.Connect());
        QVERIFY(WriteResultsWorkbook(excel, s));
    }
    XlsxTestReader book;
    QVERIFY2(book.read(m_opened.value(0)), qPrintable(book.error()));
    compareRow(book, 1, Row{"Rennen:", title});
}

void TestResultsWorkbook::eachExportGetsANewFile()
{
    const QDateTime time(QDate(2026, 12, 7), QTime(15, 30, 12));
    QCOMPARE(TExcel::fileNameFor(QStringLiteral("Talvenbahn"), time),
             QStringLiteral("Talvenbahn-2026-12-07-153012.xlsx"));
    QCOMPARE(TExcel::fileNameFor(QStringLiteral("Talvenbahn"), time, 3),
             QStringLiteral("Talvenbahn-2026-12-07-153012-3.xlsx"));

    // Two exports within one second still get two files.
    TExcel first;
    TExcel second;
    QVERIFY(first.Connect());
    QVERIFY(second.Connect());
    QVERIFY(first.fileName() != second.fileName());
    WriteResultsWorkbook(first, ResultsSamples::oneCar());
    WriteResultsWorkbook(second, ResultsSamples::threeCars());
    QVERIFY(first.Save());
    QVERIFY(second.Save());
    XlsxTestReader one;
    XlsxTestReader three;
    QVERIFY(one.read(first.fileName()));
    QVERIFY(three.read(second.fileName()));
    QCOMPARE(one.cell(8, 2), QStringLiteral("Kim"));
    QCOMPARE(three.cell(8, 2), QStringLiteral("Łukasz Nowak"));
    QCOMPARE(m_opened, (QStringList{first.fileName(), second.fileName()}));
}

void TestResultsWorkbook::folderThatRefusesFilesFailsToConnect()
{
    TExcel excel;
    excel.SetFolder(m_folder->filePath(QStringLiteral("missing")));
    QVERIFY(!excel.Connect());
    QVERIFY(!excel.errorString().isEmpty());
    QVERIFY2(excel.targetPath().startsWith(m_folder->filePath(QStringLiteral("missing/"))),
             qPrintable(excel.targetPath()));
    QVERIFY(!excel.Save());
    QVERIFY(m_opened.isEmpty());
}

void TestResultsWorkbook::failedSaveLeavesNoFileAndSaysWhy()
{
    TResultsSnapshot s = ResultsSamples::threeCars();
    s.title = QString(20000, u'x'); // well past the room left on the "disk"
    TExcel excel;
    QVERIFY(excel.Connect());
    QVERIFY(WriteResultsWorkbook(excel, s));
    {
        const FileSizeLimit limit(2048);
        QVERIFY(!excel.Save());
    }
    QVERIFY(!excel.errorString().isEmpty());
    QVERIFY(m_opened.isEmpty());
    QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden), QStringList());
}

void TestResultsWorkbook::everyNameTakenIsReported()
{
    const QDateTime now = QDateTime::currentDateTime();
    // Every name of this second and the next is taken, so the export cannot find one.
    for (const QDateTime &time : {now, now.addSecs(1)}) {
        for (int attempt = 1; attempt <= 100; ++attempt) {
            QFile taken(TExcel::fileNameFor(QStringLiteral("tst_resultsworkbook"), time, attempt));
            QVERIFY(taken.open(QIODevice::WriteOnly));
        }
    }
    TExcel excel;
    QVERIFY(!excel.Connect());
    QVERIFY2(excel.errorString().contains(QStringLiteral("vergeben")),
             qPrintable(excel.errorString()));
    QVERIFY(excel.targetPath().startsWith(QDir::currentPath()));
}

void TestResultsWorkbook::deletedWorkingFolderIsNamed()
{
    const QString gone = m_folder->filePath(QStringLiteral("heute"));
    QVERIFY(QDir().mkdir(gone));
    QVERIFY(QDir::setCurrent(gone));
    QVERIFY(QDir().rmdir(gone));
    TExcel excel;
    const bool connected = excel.Connect();
    const QString path = excel.targetPath();
    QVERIFY(QDir::setCurrent(m_folder->path()));
    QVERIFY(!connected);
    QVERIFY(!excel.errorString().isEmpty());
    // The message can still say where the export was to go.
    QVERIFY2(path.startsWith(gone), qPrintable(path));
}

void TestResultsWorkbook::nothingWrittenLeavesNoFile()
{
    {
        TExcel excel;
        QVERIFY(excel.Connect());
        QVERIFY(QFileInfo::exists(excel.fileName())); // the name is taken at once
    }
    QVERIFY(QDir().entryList(QDir::Files).isEmpty());
    QVERIFY(m_opened.isEmpty());

    TExcel excel;
    QVERIFY(!excel.WriteLine()); // no workbook yet
    QCOMPARE(excel.line(), 2);
}

void TestResultsWorkbook::columnsFitTheirLongestText()
{
    TExcel excel;
    QVERIFY(excel.Connect());
    excel.NewWorkbook();
    excel.Fields = QStringList{"Start-Nr.:", "Ł", ""};
    QVERIFY(excel.WriteLine());
    excel.Fields = QStringList{"a", "Jörg Weiß"};
    QVERIFY(excel.WriteLine());
    excel.Fields.clear();
    QVERIFY(excel.WriteLine()); // an empty list still takes a row
    QCOMPARE(excel.line(), 4);
    excel.AutoFitColumns();
    QVERIFY(excel.Save());

    XlsxTestReader book;
    QVERIFY(book.read(excel.fileName()));
    QCOMPARE(book.cell(2, 2), QStringLiteral("Jörg Weiß"));
    // The file stores a little cell padding on top of the width in characters.
    QCOMPARE(qFloor(book.columnWidth(1)), 11); // "Start-Nr.:" and one character of room
    QCOMPARE(qFloor(book.columnWidth(2)), 10); // "Jörg Weiß"
    QCOMPARE(book.columnWidth(3), 0.0);        // only empty texts: default width
}

void TestResultsWorkbook::writesDownColumnsWhenNotHorizontal()
{
    TExcel excel;
    excel.SetHorizontal(false);
    QVERIFY(excel.Connect());
    excel.NewWorkbook();
    excel.Fields = QStringList{"a", "b"};
    QVERIFY(excel.WriteLine());
    excel.Fields = QStringList{"c"};
    QVERIFY(excel.WriteLine());
    QVERIFY(excel.Save());
    XlsxTestReader book;
    QVERIFY(book.read(excel.fileName()));
    QCOMPARE(book.cell(1, 1), QStringLiteral("a"));
    QCOMPARE(book.cell(2, 1), QStringLiteral("b"));
    QCOMPARE(book.cell(1, 2), QStringLiteral("c"));
}

QTEST_GUILESS_MAIN(TestResultsWorkbook)
#include "tst_resultsworkbook.moc"

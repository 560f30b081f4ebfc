#include "BiffCellScan.h"
#include "CompoundFile.h"
#include "StarterListTestData.h"
#include "TempFolder.h"
#include "XlsInProcessReader.h"
#include "XlsSheetReader.h"

#include <QLocale>
#include <QTest>
#include <QtEndian>

#include <cstring>

using namespace StarterListTestData;

class TestXlsSheetReader : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void helperAndInProcessReadersAgree_data();
    void helperAndInProcessReadersAgree();
    void scanFindsWhatFreeXlCannotTell();
    void scanRefusesDamagedRecords_data();
    void scanRefusesDamagedRecords();
    void formulaResultsInDateFormatsAreDates();
    void containerWithLoopIsRefused();
    void containerCutShortIsRefused();
    void crashingHelperGivesMessage();
    void missingHelperGivesMessage();
};

namespace {

QByteArray u16(int value)
{
    QByteArray bytes(2, '\0');
    qToLittleEndian<quint16>(quint16(value), bytes.data());
    return bytes;
}

QByteArray record(int type, const QByteArray &body)
{
    return u16(type) + u16(int(body.size())) + body;
}

QByteArray cellHead(int row, int column)
{
    return u16(row) + u16(column) + u16(15);
}

QByteArray formulaResult(const QByteArray &result8)
{
    return result8 + u16(0) + QByteArray(4, '\0') + u16(0); // flags, chain, empty formula
}

QByteArray nonNumber(int kind, int value)
{
    QByteArray result(8, '\0');
    result[0] = char(kind);
    result[2] = char(value);
    result[6] = char(0xFF);
    result[7] = char(0xFF);
    return result;
}

QByteArray number(double value)
{
    QByteArray result(8, '\0');
    std::memcpy(result.data(), &value, sizeof value);
    return result;
}

// A workbook stream: globals with one sheet, then that sheet with the given cell records.
QByteArray workbookStream(const QByteArray &globals, const QByteArray &cells)
{
    const QByteArray bof = record(0x0809, u16(0x0600) + u16(0x0005) + QByteArray(12, '\0'));
    const QByteArray eof = record(0x000A, QByteArray());
    const int sheetNameSize = 8;
    const int globalsSize =
        int(bof.size() + globals.size()) + 4 + 6 + sheetNameSize + int(eof.size());
    QByteArray sheetOffset(4, '\0');
    qToLittleEndian<quint32>(quint32(globalsSize), sheetOffset.data());
    const QByteArray boundSheet =
        record(0x0085, sheetOffset + QByteArray(2, '\0') + u16(6) + QByteArray("Liste", 6));
    return bof + globals + boundSheet + eof + bof + cells + eof;
}

} // namespace

void TestXlsSheetReader::init()
{
    QLocale::setDefault(QLocale::c());
}

void TestXlsSheetReader::helperAndInProcessReadersAgree_data()
{
    QTest::addColumn<QString>("file");
    for (const char *name : {"eight.xls", "fifteen.xls", "emptyA1.xls", "error.xls"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestXlsSheetReader::helperAndInProcessReadersAgree()
{
    // The helper process formats with the program's locale, so German texts cross over too.
    QFETCH(QString, file);
    QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
    XlsSheetReader throughHelper;
    XlsInProcessReader inProcess;
    const Outcome helper = readWith(throughHelper, fixture(file));
    const Outcome direct = readWith(inProcess, fixture(file));
    QCOMPARE(helper.ok, direct.ok);
    QCOMPARE(helper.error, direct.error);
    QCOMPARE(helper.rows, direct.rows);
}

void TestXlsSheetReader::scanFindsWhatFreeXlCannotTell()
{
    QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
    const QByteArray cells =
        record(0x0205, cellHead(0, 0) + QByteArray("\x01\x00", 2)) +      // TRUE
        record(0x0205, cellHead(0, 1) + QByteArray("\x07\x01", 2)) +      // #DIV/0!
        record(0x0006, cellHead(1, 0) + formulaResult(number(2.5))) +     // =5/2
        record(0x0006, cellHead(1, 1) + formulaResult(nonNumber(0, 0))) + // text result
        record(0x0207, u16(4) + QByteArray("\x01", 1) + QByteArray("Z\0o\0\xEB\0!\0", 8)) +
        record(0x0006, cellHead(1, 2) + formulaResult(nonNumber(1, 0))) +    // FALSE
        record(0x0006, cellHead(1, 3) + formulaResult(nonNumber(2, 0x2A))) + // #N/A
        record(0x0006, cellHead(1, 10) + formulaResult(nonNumber(2, 0x2A))); // column K
    BiffCellScan scan;
    QVERIFY2(scan.scan(workbookStream(QByteArray(), cells)), qPrintable(scan.errorString()));
    QCOMPARE(scan.cellCount(), 6);
    SheetCell cell;
    QVERIFY(scan.cellAt(0, 0, &cell) && !cell.error && cell.text == u"True");
    QVERIFY(scan.cellAt(0, 1, &cell) && cell.error);
    QVERIFY(scan.cellAt(1, 0, &cell) && cell.text == u"2,5");
    QVERIFY(scan.cellAt(1, 1, &cell) && cell.text == u"Zoë!");
    QVERIFY(scan.cellAt(1, 2, &cell) && cell.text == u"False");
    QVERIFY(scan.cellAt(1, 3, &cell) && cell.error);
    QVERIFY(!scan.cellAt(1, 10, &cell));
}

void TestXlsSheetReader::scanRefusesDamagedRecords_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QString>("message");
    const QByteArray good = workbookStream(QByteArray(), QByteArray());
    QTest::newRow("record past the end") << good.left(good.size() - 2) + u16(40) << "abgeschnitten";
    QTest::newRow("no start record") << good.mid(20) << "Anfang";
    // A number format whose text claims more characters than its record holds.
    QTest::newRow("number format too long")
        << workbookStream(record(0x041E, u16(164) + u16(60000) + QByteArray("\0Gen", 4)),
                          QByteArray())
        << "Zahlenformat";
    QByteArray wrongSheet = good;
    wrongSheet[good.indexOf(QByteArray("Liste")) - 8] = char(0x7F);
    QTest::newRow("sheet position off") << wrongSheet << "Tabellenblatt";
    // Behind a password the records are encrypted: the number format looks damaged.
    QTest::newRow("password to open")
        << workbookStream(record(0x002F, u16(1) + QByteArray(52, '\x5A')) +
                              record(0x041E, u16(164) + u16(60000) + QByteArray("\0Gen", 4)),
                          QByteArray())
        << "Kennwort";
}

void TestXlsSheetReader::scanRefusesDamagedRecords()
{
    QFETCH(QByteArray, stream);
    QFETCH(QString, message);
    BiffCellScan scan;
    QVERIFY(!scan.scan(stream));
    QVERIFY2(scan.errorString().contains(message), qPrintable(scan.errorString()));
}

void TestXlsSheetReader::formulaResultsInDateFormatsAreDates()
{
    QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
    // Cell formats 0 to 14 plain, 15 the built-in date 14, 16 the workbook's own date format
    // 164, 17 the number format 2 ("0.00").
    const auto xf = [](int format) {
        return record(0x00E0, u16(0) + u16(format) + QByteArray(16, '\0'));
    };
    QByteArray globals = record(0x041E, u16(164) + u16(10) + QByteArray("\0", 1) + "dd.mm.yyyy");
    for (int i = 0; i < 15; ++i)
        globals += xf(0);
    globals += xf(14) + xf(164) + xf(2);
    const auto formula = [](int row, int format, double value) {
        return record(0x0006, u16(row) + u16(0) + u16(format) + formulaResult(number(value)));
    };
    const QByteArray cells =
        formula(0, 15, 46143) + formula(1, 16, 46143.5) + formula(2, 17, 46143) + formula(3, 99, 7);
    BiffCellScan scan;
    QVERIFY2(scan.scan(workbookStream(globals, cells)), qPrintable(scan.errorString()));
    const QString day = QLocale().toString(QDate(2026, 5, 1), QLocale::ShortFormat);
    SheetCell cell;
    QVERIFY(scan.cellAt(0, 0, &cell));
    QCOMPARE(cell.text, day);
    QVERIFY(scan.cellAt(1, 0, &cell));
    QCOMPARE(cell.text, day + QStringLiteral(" 12:00:00"));
    QVERIFY(scan.cellAt(2, 0, &cell));
    QCOMPARE(cell.text, QStringLiteral("46143"));
    QVERIFY(scan.cellAt(3, 0, &cell)); // a cell format the workbook does not have
    QCOMPARE(cell.text, QStringLiteral("7"));
}

void TestXlsSheetReader::containerWithLoopIsRefused()
{
    // Point the directory's sector at itself in the allocation table.
    QByteArray data = fixture(QStringLiteral("eight.xls"));
    const quint32 fatSector = qFromLittleEndian<quint32>(data.constData() + 0x4C);
    const quint32 directorySector = qFromLittleEndian<quint32>(data.constData() + 0x30);
    qToLittleEndian<quint32>(directorySector,
                             data.data() + (fatSector + 1) * 512 + 4 * directorySector);
    CompoundFile container;
    QByteArray stream;
    QVERIFY(!container.readStream(data, {QStringLiteral("Workbook")}, &stream));
    QVERIFY2(container.errorString().contains(QStringLiteral("Sektorkette")),
             qPrintable(container.errorString()));
    XlsSheetReader reader;
    const Outcome outcome = readWith(reader, data);
    QVERIFY(!outcome.ok);
    QVERIFY(outcome.error.contains(QStringLiteral("Sektorkette")));
}

void TestXlsSheetReader::containerCutShortIsRefused()
{
    const QByteArray data = fixture(QStringLiteral("eight.xls"));
    for (const qsizetype length : {qsizetype(0), qsizetype(100), qsizetype(512), data.size() / 2}) {
        XlsSheetReader reader;
        const Outcome outcome = readWith(reader, data.left(length));
        QVERIFY(!outcome.ok);
        QVERIFY2(outcome.error.contains(QStringLiteral(".xls")), qPrintable(outcome.error));
    }
}

void TestXlsSheetReader::crashingHelperGivesMessage()
{
    // Stands in for FreeXL thrown off course by a damaged workbook.
    TempFolder folder;
    const QString helper = folder.filePath(QStringLiteral("crashing-helper"));
    QFile script(helper);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nkill -SEGV $$\n");
    script.close();
    QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::ExeOwner));

    XlsSheetReader reader;
    reader.setHelperPath(helper);
    const Outcome outcome = readWith(reader, fixture(QStringLiteral("eight.xls")));
    QVERIFY(!outcome.ok);
    QVERIFY2(outcome.error.contains(QStringLiteral("abgebrochen")), qPrintable(outcome.error));
    QVERIFY(outcome.rows.isEmpty());
}

void TestXlsSheetReader::missingHelperGivesMessage()
{
    XlsSheetReader reader;
    reader.setHelperPath(QStringLiteral("/nonexistent/talvenbahn-xls-reader"));
    const Outcome outcome = readWith(reader, fixture(QStringLiteral("eight.xls")));
    QVERIFY(!outcome.ok);
    QVERIFY2(outcome.error.contains(QStringLiteral("Hilfsprogramm")), qPrintable(outcome.error));
}

QTEST_GUILESS_MAIN(TestXlsSheetReader)
#include "tst_xlssheetreader.moc"

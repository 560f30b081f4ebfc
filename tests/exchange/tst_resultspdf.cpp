#include "Classification.h"
#include "FailingDevice.h"
#include "ResultsPdfWriter.h"
#include "ResultsSamples.h"
#include "TempFolder.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

namespace {

// Runs one of the PDF tools on a file and returns what it prints.
QString runTool(const QString &tool, const QStringList &arguments)
{
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        qWarning() << tool << process.readAllStandardError();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class TestResultsPdf : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init() { QLocale::setDefault(QLocale::c()); }

    void headingAndClassificationReadBack();
    void oddTextsArePrintedAsTyped();
    void everyLapTimeOfTwelveCarsIsPrinted();
    void withoutLapsTheClassificationStillShows();
    void pagesAreA4();
    void writeFileIsAllOrNothing();
    void failedWriteIsReported();

private:
    // The PDF of snapshot written to a file in m_folder and read back as text.
    QString textOf(const TResultsSnapshot &snapshot, bool layout = false);

    std::unique_ptr<TempFolder> m_folder;
};

void TestResultsPdf::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext (poppler-utils) is missing");
    m_folder = std::make_unique<TempFolder>();
}

QString TestResultsPdf::textOf(const TResultsSnapshot &snapshot, bool layout)
{
    const QString name = m_folder->filePath(QStringLiteral("ergebnis.pdf"));
    TResultsPdfWriter writer;
    if (!writer.writeFile(name, snapshot)) {
        qWarning() << writer.errorString();
        return {};
    }
    QStringList arguments{QStringLiteral("-enc"), QStringLiteral("UTF-8")};
    if (layout)
        arguments << QStringLiteral("-layout");
    return runTool(QStringLiteral("pdftotext"), arguments << name << QStringLiteral("-"));
}

void TestResultsPdf::headingAndClassificationReadBack()
{
    const QString text = textOf(ResultsSamples::threeCars(), true);
    for (const QString &expected :
         {QStringLiteral("Preis <Nord> & Süd"),
          QStringLiteral("Rennen, ") + DateText(ResultsSamples::threeCars()),
          QStringLiteral("Runden: 3, Länge: 7.5 Km"), QStringLiteral("Ergebnis"),
          QStringLiteral("Rundenzeiten")})
        QVERIFY2(text.contains(expected), qPrintable(expected));
    const QString headingLine = QStringLiteral("Pos.\\s+Nr.\\s+Fahrer\\s+Runden\\s+Gesamtzeit\\s+"
                                               "Beste Runde\\s+Abstand");
    QVERIFY(text.contains(QRegularExpression(headingLine)));
    // One line per car, in standings order, with its values side by side.
    const QStringList lines{
        QStringLiteral("1\\.\\s+7\\s+Łukasz Nowak\\s+3\\s+01:08:30\\.5\\s+00:21:30\\.5\\n"),
        QStringLiteral("2\\.\\s+Anna \"Flash\" Berg\\s+3\\s+01:09:00\\.0\\s+00:21:40\\.0\\s+"
                       "00:00:29\\.5\\n"),
        QStringLiteral("3\\.\\s+12\\s+Jörg Weiß\\s+1\\s+00:26:40\\.0\\s+00:26:40\\.0\\s+"
                       "\\+2 Runden\\n")};
    qsizetype from = 0;
    for (const QString &line : lines) {
        const QRegularExpressionMatch match = QRegularExpression(line).match(text, from);
        QVERIFY2(match.hasMatch(), qPrintable(line + u'\n' + text));
        from = match.capturedEnd();
    }
}

void TestResultsPdf::oddTextsArePrintedAsTyped()
{
    const QString text = textOf(ResultsSamples::oddTexts());
    for (const QString &expected :
         {QStringLiteral("<b>&\"Lauf\"; Öß"), QStringLiteral("<b>&\""), QStringLiteral("1;2"),
          QStringLiteral("Jürgen Öß"), QStringLiteral("@Kim; \"K\""), QStringLiteral("=1+2")})
        QVERIFY2(text.contains(expected), qPrintable(expected + u'\n' + text));
}

void TestResultsPdf::everyLapTimeOfTwelveCarsIsPrinted()
{
    const TResultsSnapshot s = ResultsSamples::twelveCarsFiftyLaps();
    const QString text = textOf(s, true);
    // Lap lines: the lap number, then one time per car of the table.
    static const QRegularExpression lapLine(
        QStringLiteral("^\\s*(\\d+)\\.((?:\\s+\\d\\d:\\d\\d:\\d\\d\\.\\d\\d)+)\\s*$"),
        QRegularExpression::MultilineOption);
    QList<QStringList> printed; // per car in standings order, its lap times in lap order
    int table = -1;
    for (auto it = lapLine.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const QStringList times = match.captured(2).split(u' ', Qt::SkipEmptyParts);
        if (match.captured(1) == u"1") {
            ++table;
            printed.resize(printed.size() + times.size());
        }
        QCOMPARE(times.size(), 6);
        for (int k = 0; k < times.size(); ++k)
            printed[table * 6 + k] << times.at(k);
    }
    QCOMPARE(printed.size(), 12);
    for (int i = 0; i < 12; ++i) {
        QStringList expected;
        for (const qint32 lap : s.rows.at(i).laps)
            expected << LongTimeText(lap, s.acc);
        QCOMPARE(printed.at(i), expected);
    }
    for (int car = 1; car <= 12; ++car)
        QVERIFY(text.contains(QStringLiteral("Fahrer %1").arg(car)));
    QVERIFY2(text.count(u'\f') >= 2, "fifty laps of twelve cars need more than one page");
}

void TestResultsPdf::withoutLapsTheClassificationStillShows()
{
    const QString text = textOf(ResultsSamples::noLaps(), true);
    QVERIFY(text.contains(QStringLiteral("Noch keine Runde abgeschlossen.")));
    QVERIFY(text.contains(QRegularExpression(QStringLiteral("3\\.\\s+12\\s+Jörg Weiß\\s+0\\n"))));
}

void TestResultsPdf::pagesAreA4()
{
    const QString name = m_folder->filePath(QStringLiteral("a4.pdf"));
    QVERIFY(TResultsPdfWriter().writeFile(name, ResultsSamples::twelveCarsFiftyLaps()));
    const QString info = runTool(QStringLiteral("pdfinfo"), {name});
    QVERIFY2(info.contains(QStringLiteral("(A4)")), qPrintable(info));
    QVERIFY2(info.contains(QStringLiteral("Großer Preis")), qPrintable(info)); // the title
}

void TestResultsPdf::writeFileIsAllOrNothing()
{
    const QString name = m_folder->filePath(QStringLiteral("ganz.pdf"));
    QFile earlier(name);
    QVERIFY(earlier.open(QIODevice::WriteOnly));
    earlier.write("frühere Datei");
    earlier.close();
    TResultsPdfWriter writer;
    QVERIFY2(writer.writeFile(name, ResultsSamples::oneCar()), qPrintable(writer.errorString()));
    QFile file(name);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().startsWith("%PDF-"));

    QVERIFY(QDir(m_folder->path()).mkdir(QStringLiteral("ordner.pdf")));
    QVERIFY(!writer.writeFile(m_folder->filePath(QStringLiteral("ordner.pdf")),
                              ResultsSamples::oneCar()));
    QVERIFY(writer.createFailed());
    QVERIFY(!writer.errorString().isEmpty());
    const QStringList leftOver =
        QDir(m_folder->path()).entryList({QStringLiteral(".*.pdf.*")}, QDir::Files | QDir::Hidden);
    QVERIFY2(leftOver.isEmpty(), qPrintable(leftOver.join(u' ')));
}

void TestResultsPdf::failedWriteIsReported()
{
    FailingDevice device;
    QVERIFY(device.open(QIODevice::WriteOnly));
    TResultsPdfWriter writer;
    QVERIFY(!writer.write(device, ResultsSamples::oneCar()));
    QVERIFY(!writer.errorString().isEmpty());
}

QTEST_MAIN(TestResultsPdf)
#include "tst_resultspdf.moc"

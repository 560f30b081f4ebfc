#include "Classification.h"
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

#include <memory>

using namespace Qt::StringLiterals;

class TestResultsPdf : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init() { QLocale::setDefault(QLocale::c()); }

    void headingAndClassificationReadBack();
    void oddTextsAndNoLapsArePrintedAsTheyAre();
    void everyLapTimeOfTwelveCarsIsPrinted();
    void writeFileMakesAnA4FileAllOrNothing();

private:
    // Runs a poppler tool and returns what it prints.
    static QString run(const QString &tool, const QStringList &arguments);
    // The PDF of the snapshot read back as text, laid out as on the page.
    QString textOf(const TResultsSnapshot &snapshot);

    std::unique_ptr<TempFolder> m_folder;
};

void TestResultsPdf::initTestCase()
{
    if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
        QSKIP("pdftotext (poppler-utils) is missing");
    m_folder = std::make_unique<TempFolder>();
}

QString TestResultsPdf::run(const QString &tool, const QStringList &arguments)
{
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return u"failed: "_s + QString::fromUtf8(process.readAllStandardError());
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString TestResultsPdf::textOf(const TResultsSnapshot &snapshot)
{
    const QString name = m_folder->filePath(u"ergebnis.pdf"_s);
    TResultsPdfWriter writer;
    if (!writer.writeFile(name, snapshot))
        return writer.errorString();
    return run(u"pdftotext"_s, {u"-enc"_s, u"UTF-8"_s, u"-layout"_s, name, u"-"_s});
}

void TestResultsPdf::headingAndClassificationReadBack()
{
    const TResultsSnapshot s = ResultsSamples::threeCars();
    const QString text = textOf(s);
    for (const QString &expected : {u"Preis <Nord> & Süd"_s, u"Rennen, "_s + DateText(s),
                                    u"Runden: 3, Länge: 7.5 Km"_s, u"Rundenzeiten"_s})
        QVERIFY2(text.contains(expected), qPrintable(expected + u'\n' + text));
    // The headings, then one line per car in standings order with its values side by side.
    const QStringList lines{
        u"Pos.\\s+Nr.\\s+Fahrer\\s+Runden\\s+Gesamtzeit\\s+Beste Runde\\s+Abstand\\n"_s,
        u"1\\.\\s+7\\s+Łukasz Nowak\\s+3\\s+01:08:30\\.5\\s+00:21:30\\.5\\n"_s,
        u"2\\.\\s+Anna \"Flash\" Berg\\s+3\\s+01:09:00\\.0\\s+00:21:40\\.0\\s+00:00:29\\.5\\n"_s,
        u"3\\.\\s+12\\s+Jörg Weiß\\s+1\\s+00:26:40\\.0\\s+00:26:40\\.0\\s+\\+2 Runden\\n"_s};
    qsizetype from = 0;
    for (const QString &line : lines) {
        const QRegularExpressionMatch match = QRegularExpression(line).match(text, from);
        QVERIFY2(match.hasMatch(), qPrintable(line + u'\n' + text));
        from = match.capturedEnd();
    }
}

void TestResultsPdf::oddTextsAndNoLapsArePrintedAsTheyAre()
{
    const QString odd = textOf(ResultsSamples::oddTexts());
    for (const QString &expected : {u"<b>&\"Lauf\"; Öß"_s, u"1;2"_s, u"<b>&\""_s, u"Jürgen Öß"_s,
                                    u"@Kim; \"K\""_s, u"=1+2"_s})
        QVERIFY2(odd.contains(expected), qPrintable(expected + u'\n' + odd));
    const QString none = textOf(ResultsSamples::noLaps());
    QVERIFY(none.contains(u"Noch keine Runde abgeschlossen."_s));
    QVERIFY(none.contains(QRegularExpression(u"3\\.\\s+12\\s+Jörg Weiß\\s+0\\n"_s)));
}

void TestResultsPdf::everyLapTimeOfTwelveCarsIsPrinted()
{
    const TResultsSnapshot s = ResultsSamples::twelveCarsFiftyLaps();
    const QString text = textOf(s);
    // Lap lines: the lap number, then the times of the cars of that table; lap 1 opens a table.
    static const QRegularExpression lapLine(
        u"^\\s*(\\d+)\\.((?:\\s+\\d\\d:\\d\\d:\\d\\d\\.\\d\\d)+)\\s*$"_s,
        QRegularExpression::MultilineOption);
    QList<QStringList> printed; // per car in standings order
    for (auto it = lapLine.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const QStringList times = match.captured(2).split(u' ', Qt::SkipEmptyParts);
        if (match.captured(1) == u"1")
            printed.resize(printed.size() + times.size());
        for (qsizetype k = 0; k < times.size(); ++k)
            printed[printed.size() - times.size() + k] << times.at(k);
    }
    QCOMPARE(printed.size(), 12);
    for (int i = 0; i < 12; ++i) {
        QStringList expected;
        for (const qint32 lap : s.rows.at(i).laps)
            expected << LongTimeText(lap, s.acc);
        QCOMPARE(printed.at(i), expected);
    }
}

void TestResultsPdf::writeFileMakesAnA4FileAllOrNothing()
{
    const QString name = m_folder->filePath(u"a4.pdf"_s);
    TResultsPdfWriter writer;
    QVERIFY(writer.writeFile(name, ResultsSamples::twelveCarsFiftyLaps()));
    const QString info = run(u"pdfinfo"_s, {name});
    QVERIFY2(info.contains(u"(A4)"_s) && info.contains(u"Großer Preis"_s), qPrintable(info));
    QVERIFY2(!info.contains(QRegularExpression(u"Pages:\\s+1\\n"_s)), "50 laps need more pages");

    QVERIFY(QDir(m_folder->path()).mkdir(u"ordner.pdf"_s));
    QVERIFY(!writer.writeFile(m_folder->filePath(u"ordner.pdf"_s), ResultsSamples::oneCar()));
    QVERIFY(writer.createFailed() && !writer.errorString().isEmpty());
    QVERIFY(QDir(m_folder->path()).entryList({u".*"_s}, QDir::Files | QDir::Hidden).isEmpty());
}

QTEST_MAIN(TestResultsPdf)
#include "tst_resultspdf.moc"

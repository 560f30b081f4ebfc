#include "AnnouncementText.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// The announcement as the German voice of the system speaks it, written to a file and measured:
// it must be audible speech of a plausible length, not silence or an empty file.
class TestSpeechSynthesis : public QObject
{
    Q_OBJECT
private slots:
    void announcementIsSpokenInGerman();
};

namespace {

double statValue(const QString &stat, const QString &name)
{
    const QRegularExpression line(QRegularExpression::escape(name) +
                                  QStringLiteral(R"(\s*:\s*(-?[0-9.]+))"));
    const QRegularExpressionMatch match = line.match(stat);
    return match.hasMatch() ? match.captured(1).toDouble() : -1.0;
}

} // namespace

void TestSpeechSynthesis::announcementIsSpokenInGerman()
{
    const QString espeak = QStandardPaths::findExecutable(QStringLiteral("espeak-ng"));
    const QString sox = QStandardPaths::findExecutable(QStringLiteral("sox"));
    if (espeak.isEmpty() || sox.isEmpty())
        QSKIP("espeak-ng or sox is not installed (scripts/setup.sh installs both)");

    TAnnouncedPress press;
    press.startNumber = QStringLiteral("7");
    press.car = 3;
    press.lap = 5;
    press.lapMs = 83400;
    press.lastLapBegins = true;
    const QString text = AnnouncementText(press);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString wav = dir.filePath(QStringLiteral("out.wav"));
    QProcess speak;
    speak.setWorkingDirectory(dir.path());
    speak.start(espeak,
                {QStringLiteral("-v"), QStringLiteral("de"), QStringLiteral("-w"), wav, text});
    QVERIFY(speak.waitForFinished(30000));
    QCOMPARE(speak.exitCode(), 0);

    QProcess measure;
    measure.start(sox, {wav, QStringLiteral("-n"), QStringLiteral("stat")});
    QVERIFY(measure.waitForFinished(30000));
    QCOMPARE(measure.exitCode(), 0);
    // sox writes its statistics to the error channel.
    const QString stat = QString::fromLocal8Bit(measure.readAllStandardError());
    const double seconds = statValue(stat, QStringLiteral("Length (seconds)"));
    const double rms = statValue(stat, QStringLiteral("RMS     amplitude"));
    QVERIFY2(seconds > 1.0, qPrintable(stat));
    QVERIFY2(rms > 0.0, qPrintable(stat));
}

QTEST_GUILESS_MAIN(TestSpeechSynthesis)
#include "tst_speechsynthesis.moc"

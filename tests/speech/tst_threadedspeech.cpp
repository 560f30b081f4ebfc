#include "SpeechEngine.h"
#include "ThreadedSpeechOutput.h"

#include <QElapsedTimer>
#include <QMutex>
#include <QSemaphore>
#include <QSignalSpy>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <memory>

namespace {

// What the fake engines saw, shared with the test's thread.
struct EngineLog
{
    QMutex mutex;
    QStringList spoken;
    QSemaphore gate; // a blocking engine waits here in every speak()
    std::atomic<bool> engineGone{false};

    QStringList texts()
    {
        QMutexLocker lock(&mutex);
        return spoken;
    }
};

// Speaks for a given time, then reports done, like a working engine.
class TimedEngine : public TSpeechEngine
{
public:
    TimedEngine(std::shared_ptr<EngineLog> log, int ms) : m_log(std::move(log)), m_ms(ms) {}
    void speak(const QString &text) override
    {
        {
            QMutexLocker lock(&m_log->mutex);
            m_log->spoken.append(text);
        }
        QTimer::singleShot(m_ms, this, [this] { emit done(); });
    }

private:
    std::shared_ptr<EngineLog> m_log;
    int m_ms;
};

// Hangs in every speak() until the test opens the gate, like a daemon that does not answer.
class HangingEngine : public TSpeechEngine
{
public:
    explicit HangingEngine(std::shared_ptr<EngineLog> log) : m_log(std::move(log)) {}
    ~HangingEngine() override { m_log->engineGone.store(true); }
    void speak(const QString &text) override
    {
        {
            QMutexLocker lock(&m_log->mutex);
            m_log->spoken.append(text);
        }
        m_log->gate.acquire();
        emit done();
    }

private:
    std::shared_ptr<EngineLog> m_log;
};

// Fails while the log says the service is down, like one that is started only later.
class FlakyEngine : public TSpeechEngine
{
public:
    explicit FlakyEngine(std::shared_ptr<std::atomic<bool>> down) : m_down(std::move(down)) {}
    void start() override
    {
        if (m_down->load())
            emit failed(QStringLiteral("Die Sprachausgabe ist nicht verfügbar."));
    }
    void speak(const QString &) override
    {
        start();
        emit done();
    }

private:
    std::shared_ptr<std::atomic<bool>> m_down;
};

} // namespace

class TestThreadedSpeech : public QObject
{
    Q_OBJECT
private slots:
    void speaksAndReportsTheEnd();
    void onlyTheNewestTextWaitsForABusyEngine();
    void aHangingEngineNeitherBlocksNorStopsTheAnnouncements();
    void aServiceThatDoesNotStartIsReportedAtOnce();
    void theReasonGoesOnceATextIsHeard();
};

void TestThreadedSpeech::speaksAndReportsTheEnd()
{
    auto log = std::make_shared<EngineLog>();
    TThreadedSpeechOutput output([log] { return new TimedEngine(log, 50); });
    QSignalSpy finished(&output, &TSpeechOutput::finished);
    output.say(QStringLiteral("Runde eins"));
    QVERIFY(output.isSpeaking());
    QVERIFY(finished.wait(3000));
    QVERIFY(!output.isSpeaking());
    QCOMPARE(log->texts(), QStringList{QStringLiteral("Runde eins")});
    QVERIFY(output.errorString().isEmpty());
}

void TestThreadedSpeech::onlyTheNewestTextWaitsForABusyEngine()
{
    auto log = std::make_shared<EngineLog>();
    {
        TThreadedSpeechOutput output([log] { return new HangingEngine(log); }, 60000);
        output.say(QStringLiteral("eins"));
        QTRY_COMPARE(log->texts().size(), 1);
        // The engine is stuck in "eins"; three more texts come meanwhile.
        output.say(QStringLiteral("zwei"));
        output.say(QStringLiteral("drei"));
        output.say(QStringLiteral("vier"));
        log->gate.release();
        QTRY_COMPARE(log->texts().size(), 2);
        QCOMPARE(log->texts().last(), QStringLiteral("vier"));
        log->gate.release();
        QTest::qWait(100);
        QCOMPARE(log->texts().size(), 2);
    }
}

void TestThreadedSpeech::aHangingEngineNeitherBlocksNorStopsTheAnnouncements()
{
    auto log = std::make_shared<EngineLog>();
    constexpr int kTimeoutMs = 300;
    auto output = std::make_unique<TThreadedSpeechOutput>([log] { return new HangingEngine(log); },
                                                          kTimeoutMs);
    QSignalSpy finished(output.get(), &TSpeechOutput::finished);
    QElapsedTimer clock;
    clock.start();
    output->say(QStringLiteral("eins"));
    // Waiting for the engine would take the whole time limit; a busy machine may take a while.
    QVERIFY(clock.elapsed() < kTimeoutMs - 50);
    // Given up after the time limit, so the next text can be said.
    QVERIFY(finished.wait(3000));
    QVERIFY(clock.elapsed() >= kTimeoutMs - 50);
    QVERIFY(!output->isSpeaking());
    QVERIFY(output->errorString().contains(QStringLiteral("antwortet nicht")));
    output->say(QStringLiteral("zwei"));
    QVERIFY(output->isSpeaking());

    // Ending the program must not wait for the engine for ever.
    clock.restart();
    output.reset();
    QVERIFY(clock.elapsed() < TThreadedSpeechOutput::kStopWaitMs + 1000);
    // Should the engine come back, the left-behind thread ends and frees everything.
    log->gate.release(10);
    QTRY_VERIFY(log->engineGone.load());
}

void TestThreadedSpeech::aServiceThatDoesNotStartIsReportedAtOnce()
{
    // The system's own speech, pointed at a speech service that is not there.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray before = qgetenv("SPEECHD_ADDRESS");
    qputenv("SPEECHD_ADDRESS", QStringLiteral("unix_socket:%1")
                                   .arg(dir.filePath(QStringLiteral("keiner.sock")))
                                   .toLocal8Bit());
    {
        std::unique_ptr<TThreadedSpeechOutput> output = CreateSystemSpeechOutput();
        QSignalSpy changed(output.get(), &TSpeechOutput::errorChanged);
        // Known before anything is said, so the operator learns it before the race.
        output->prepare();
        QVERIFY(changed.wait(10000));
        QVERIFY2(output->errorString().startsWith(QStringLiteral("Die Sprachausgabe")),
                 qPrintable(output->errorString()));
        QCOMPARE(changed.first().first().toString(), output->errorString());

        // The announcements go on: each text is given up at once, not after the time limit.
        QSignalSpy finished(output.get(), &TSpeechOutput::finished);
        QElapsedTimer clock;
        clock.start();
        output->say(QStringLiteral("Runde eins"));
        QVERIFY(finished.wait(5000));
        QVERIFY(clock.elapsed() < TThreadedSpeechOutput::kSpeechTimeoutMs);
        QVERIFY(!output->errorString().isEmpty());
        QCOMPARE(changed.size(), 1); // told once, not at every text
    }
    if (before.isNull())
        qunsetenv("SPEECHD_ADDRESS");
    else
        qputenv("SPEECHD_ADDRESS", before);
}

void TestThreadedSpeech::theReasonGoesOnceATextIsHeard()
{
    auto down = std::make_shared<std::atomic<bool>>(true);
    TThreadedSpeechOutput output([down] { return new FlakyEngine(down); });
    QSignalSpy changed(&output, &TSpeechOutput::errorChanged);
    QSignalSpy finished(&output, &TSpeechOutput::finished);
    output.say(QStringLiteral("eins"));
    QVERIFY(finished.wait(3000));
    QVERIFY(!output.errorString().isEmpty());
    // The service is started meanwhile: the next text is heard and the reason is gone.
    down->store(false);
    output.say(QStringLiteral("zwei"));
    QVERIFY(finished.wait(3000));
    QVERIFY(output.errorString().isEmpty());
    QCOMPARE(changed.size(), 2);
    QVERIFY(changed.last().first().toString().isEmpty());
}

QTEST_GUILESS_MAIN(TestThreadedSpeech)
#include "tst_threadedspeech.moc"

#include "SpeechEngine.h"
#include "ThreadedSpeechOutput.h"

#include <QElapsedTimer>
#include <QMutex>
#include <QSemaphore>
#include <QSignalSpy>
#include <QStringList>
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

} // namespace

class TestThreadedSpeech : public QObject
{
    Q_OBJECT
private slots:
    void speaksAndReportsTheEnd();
    void onlyTheNewestTextWaitsForABusyEngine();
    void aHangingEngineNeitherBlocksNorStopsTheAnnouncements();
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

QTEST_GUILESS_MAIN(TestThreadedSpeech)
#include "tst_threadedspeech.moc"

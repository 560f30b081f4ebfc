#pragma once

#include "SpeechOutput.h"

#include <QTimer>

#include <functional>
#include <memory>

class QThread;
class TSpeechEngine;
class TSpeechHost;
struct TSpeechSlot;

// A speech output whose engine runs in a thread of its own, so say() only leaves the text
// there and returns. Only the newest text waits for the engine. An engine that does not report
// the end of a text within the time limit is taken as finished, so the announcements go on
// (and the error says so); one that hangs completely cannot hold the program at its end.
class TThreadedSpeechOutput : public TSpeechOutput
{
    Q_OBJECT
public:
    static constexpr int kSpeechTimeoutMs = 15000;
    static constexpr int kStopWaitMs = 2000;

    // The factory runs in the speech thread when the first text comes.
    explicit TThreadedSpeechOutput(std::function<TSpeechEngine *()> factory,
                                   int timeoutMs = kSpeechTimeoutMs, QObject *parent = nullptr);
    ~TThreadedSpeechOutput() override;

    // Makes the engine now rather than at the first text, so a failure to start shows at once.
    void prepare();
    void say(const QString &text) override;
    bool isSpeaking() const override { return m_speaking; }

    // Empty while all is well; a German reason once the engine failed or stopped answering,
    // until a text is spoken without a failure.
    QString errorString() const override { return m_error; }

private:
    void onDone(quint64 sequence);
    void setError(const QString &reason);

    std::shared_ptr<TSpeechSlot> m_slot;
    QThread *m_thread;
    TSpeechHost *m_host; // lives in m_thread
    QTimer m_watchdog;
    quint64 m_sequence = 0;
    bool m_speaking = false;
    bool m_textFailed = false; // the text being spoken was reported as failed
    QString m_error;
};

// The system's German speech (speech-dispatcher), in its own thread.
std::unique_ptr<TThreadedSpeechOutput> CreateSystemSpeechOutput(QObject *parent = nullptr);

#pragma once

#include "SpeechOutput.h"

class QThread;
class TSpeechWorker;

// The system's speech: Qt's text to speech over speech-dispatcher, with a German voice when
// one is installed. The engine is talked to from a thread of its own, because connecting to
// the speech daemon or handing it a text can take a while; say() only posts the text there.
class TTextToSpeechOutput : public TSpeechOutput
{
    Q_OBJECT
public:
    explicit TTextToSpeechOutput(QObject *parent = nullptr);
    ~TTextToSpeechOutput() override;

    void say(const QString &text) override;
    bool isSpeaking() const override { return m_speaking; }

    // Empty while all is well; a German reason once the engine reported that it cannot speak.
    QString errorString() const { return m_error; }

private:
    QThread *m_thread;
    TSpeechWorker *m_worker; // lives in m_thread
    bool m_speaking = false;
    QString m_error;
};

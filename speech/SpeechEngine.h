#pragma once

#include <QObject>
#include <QString>

// The side of the speech that talks to the engine; it lives in the speech thread, where it is
// also made, because even making it can take long (connecting to the speech daemon).
class TSpeechEngine : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    // Gets ready to speak (connects to the speech service), so that a failure is reported by
    // failed() before the first text. speak() does it too when it has not been done.
    virtual void start() {}
    // Starts speaking; done() follows when the text has been spoken or given up.
    virtual void speak(const QString &text) = 0;

signals:
    void done();
    // Reported before the done() of the text it concerns; a text without it was heard.
    void failed(const QString &germanReason);
};

// Qt's text to speech through speech-dispatcher, with a German voice when one is installed.
TSpeechEngine *CreateSystemSpeechEngine();

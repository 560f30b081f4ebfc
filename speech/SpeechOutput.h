#pragma once

#include <QObject>
#include <QString>

// Where announcements are spoken. say() must return at once; finished() follows when the text
// has been spoken (or given up). Tests put a recording fake here.
class TSpeechOutput : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    virtual void say(const QString &text) = 0;
    virtual bool isSpeaking() const = 0;
    // Empty while all is well; else, in German, why the announcements cannot be heard.
    virtual QString errorString() const { return QString(); }

signals:
    void finished();
    // The reason of errorString() changed: a new failure, or empty once a text was spoken.
    void errorChanged(const QString &reason);
};

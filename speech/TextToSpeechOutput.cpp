#include "TextToSpeechOutput.h"

#include <QLocale>
#include <QTextToSpeech>
#include <QThread>

// Owns the engine inside the speech thread; made there on the first text.
class TSpeechWorker : public QObject
{
    Q_OBJECT
public:
    void say(const QString &text)
    {
        if (!m_speech)
            create();
        if (m_speech->state() == QTextToSpeech::Error) {
            emit failed(QStringLiteral("Die Sprachausgabe ist nicht verfügbar: %1")
                            .arg(m_speech->errorString()));
            emit done();
            return;
        }
        m_inFlight = true;
        m_speech->say(text);
    }

signals:
    void done();
    void failed(const QString &reason);

private:
    void create()
    {
        const QString engine = QTextToSpeech::availableEngines().contains(QStringLiteral("speechd"))
                                   ? QStringLiteral("speechd")
                                   : QString();
        m_speech = new QTextToSpeech(engine, this);
        const QLocale german(QLocale::German, QLocale::Germany);
        for (const QLocale &locale : m_speech->availableLocales()) {
            if (locale.language() == QLocale::German) {
                m_speech->setLocale(locale.territory() == QLocale::Germany ? german : locale);
                break;
            }
        }
        connect(m_speech, &QTextToSpeech::stateChanged, this, [this](QTextToSpeech::State state) {
            // The engine also turns Ready once it is set up; only the end of a text counts.
            if (m_inFlight && (state == QTextToSpeech::Ready || state == QTextToSpeech::Error)) {
                m_inFlight = false;
                emit done();
            }
        });
    }

    QTextToSpeech *m_speech = nullptr;
    bool m_inFlight = false;
};

TTextToSpeechOutput::TTextToSpeechOutput(QObject *parent)
    : TSpeechOutput(parent), m_thread(new QThread), m_worker(new TSpeechWorker)
{
    m_thread->setObjectName(QStringLiteral("Speech"));
    m_worker->moveToThread(m_thread);
    connect(m_worker, &TSpeechWorker::done, this, [this] {
        m_speaking = false;
        emit finished();
    });
    connect(m_worker, &TSpeechWorker::failed, this,
            [this](const QString &reason) { m_error = reason; });
    m_thread->start();
}

TTextToSpeechOutput::~TTextToSpeechOutput()
{
    m_worker->deleteLater();
    m_thread->quit();
    m_thread->wait();
    delete m_thread;
}

void TTextToSpeechOutput::say(const QString &text)
{
    m_speaking = true;
    TSpeechWorker *worker = m_worker;
    QMetaObject::invokeMethod(
        worker, [worker, text] { worker->say(text); }, Qt::QueuedConnection);
}

#include "TextToSpeechOutput.moc"

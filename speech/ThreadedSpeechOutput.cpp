#include "ThreadedSpeechOutput.h"

#include "SpeechEngine.h"

#include <QMutex>
#include <QThread>

#include <atomic>

// The newest text for the engine, handed from the caller's thread to the speech thread.
struct TSpeechSlot
{
    QMutex mutex;
    QString text;
    quint64 sequence = 0;
    std::atomic<bool> wakeQueued{false};
};

// Lives in the speech thread and owns the engine there.
class TSpeechHost : public QObject
{
    Q_OBJECT
public:
    TSpeechHost(std::shared_ptr<TSpeechSlot> slot, std::function<TSpeechEngine *()> factory)
        : m_slot(std::move(slot)), m_factory(std::move(factory))
    {}

    void prepare()
    {
        if (m_engine)
            return;
        m_engine = m_factory();
        m_engine->setParent(this);
        connect(m_engine, &TSpeechEngine::done, this, [this] { emit done(m_current); });
        connect(m_engine, &TSpeechEngine::failed, this, &TSpeechHost::failed);
        m_engine->start();
    }

    void speakNewest()
    {
        m_slot->wakeQueued.store(false);
        QString text;
        {
            QMutexLocker lock(&m_slot->mutex);
            text = m_slot->text;
            m_current = m_slot->sequence;
        }
        prepare();
        m_engine->speak(text);
    }

signals:
    void done(quint64 sequence);
    void failed(const QString &reason);

private:
    std::shared_ptr<TSpeechSlot> m_slot;
    std::function<TSpeechEngine *()> m_factory;
    TSpeechEngine *m_engine = nullptr;
    quint64 m_current = 0;
};

TThreadedSpeechOutput::TThreadedSpeechOutput(std::function<TSpeechEngine *()> factory,
                                             int timeoutMs, QObject *parent)
    : TSpeechOutput(parent), m_slot(std::make_shared<TSpeechSlot>()), m_thread(new QThread),
      m_host(new TSpeechHost(m_slot, std::move(factory)))
{
    m_thread->setObjectName(QStringLiteral("Speech"));
    m_host->moveToThread(m_thread);
    connect(m_host, &TSpeechHost::done, this, &TThreadedSpeechOutput::onDone);
    connect(m_host, &TSpeechHost::failed, this, [this](const QString &reason) {
        m_textFailed = true;
        setError(reason);
    });
    m_watchdog.setSingleShot(true);
    m_watchdog.setInterval(timeoutMs);
    connect(&m_watchdog, &QTimer::timeout, this, [this] {
        m_textFailed = true;
        setError(QStringLiteral("Die Sprachausgabe antwortet nicht."));
        onDone(m_sequence);
    });
    m_thread->start();
}

TThreadedSpeechOutput::~TThreadedSpeechOutput()
{
    m_host->deleteLater();
    m_thread->quit();
    if (m_thread->wait(kStopWaitMs)) {
        delete m_thread;
        return;
    }
    // The engine hangs inside a call. Deleting a running thread would abort the program, so the
    // thread is left to end by itself and cleans up after itself should the call ever return.
    QThread *thread = m_thread;
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
}

void TThreadedSpeechOutput::prepare()
{
    TSpeechHost *host = m_host;
    QMetaObject::invokeMethod(
        host, [host] { host->prepare(); }, Qt::QueuedConnection);
}

void TThreadedSpeechOutput::say(const QString &text)
{
    {
        QMutexLocker lock(&m_slot->mutex);
        m_slot->text = text;
        m_slot->sequence = ++m_sequence;
    }
    m_speaking = true;
    m_textFailed = false;
    m_watchdog.start();
    if (m_slot->wakeQueued.exchange(true))
        return;
    TSpeechHost *host = m_host;
    QMetaObject::invokeMethod(
        host, [host] { host->speakNewest(); }, Qt::QueuedConnection);
}

void TThreadedSpeechOutput::onDone(quint64 sequence)
{
    // The end of an earlier text (one the watchdog already gave up on) says nothing of this one.
    if (sequence != m_sequence || !m_speaking)
        return;
    m_speaking = false;
    m_watchdog.stop();
    if (!m_textFailed)
        setError(QString());
    emit finished();
}

void TThreadedSpeechOutput::setError(const QString &reason)
{
    if (reason == m_error)
        return;
    m_error = reason;
    emit errorChanged(m_error);
}

std::unique_ptr<TThreadedSpeechOutput> CreateSystemSpeechOutput(QObject *parent)
{
    return std::make_unique<TThreadedSpeechOutput>(CreateSystemSpeechEngine,
                                                   TThreadedSpeechOutput::kSpeechTimeoutMs, parent);
}

#include "ThreadedSpeechOutput.moc"

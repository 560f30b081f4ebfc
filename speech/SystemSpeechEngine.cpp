#include "SpeechEngine.h"

#include <QElapsedTimer>
#include <QLocale>
#include <QTextToSpeech>

namespace {

constexpr qint64 kRetryMs = 10000;

const QString kNoGermanVoice = QStringLiteral(
    "Die Sprachausgabe hat keine deutsche Stimme (espeak-ng mit speech-dispatcher fehlt?).");

class TSystemSpeechEngine : public TSpeechEngine
{
public:
    void start() override
    {
        // A service that could not be reached is asked again, so starting it later helps; not
        // at every text, since each failed attempt costs the speech library some memory.
        if (m_speech &&
            (m_speech->state() != QTextToSpeech::Error || m_sinceCreated.elapsed() < kRetryMs))
            return;
        delete m_speech;
        create();
        m_sinceCreated.start();
        if (m_speech->state() == QTextToSpeech::Error)
            emit failed(unavailable());
        else if (!m_german)
            emit failed(kNoGermanVoice);
    }

    void speak(const QString &text) override
    {
        start();
        if (m_speech->state() == QTextToSpeech::Error) {
            emit failed(unavailable());
            emit done();
            return;
        }
        // Spoken all the same: a foreign voice still tells that someone crossed.
        if (!m_german)
            emit failed(kNoGermanVoice);
        m_inFlight = true;
        m_speech->say(text);
    }

private:
    QString unavailable() const
    {
        const QString why = m_speech->errorString();
        return why.isEmpty()
                   ? QStringLiteral("Die Sprachausgabe ist nicht verfügbar (speech-dispatcher).")
                   : QStringLiteral("Die Sprachausgabe ist nicht verfügbar: %1.").arg(why);
    }

    void create()
    {
        const QString engine = QTextToSpeech::availableEngines().contains(QStringLiteral("speechd"))
                                   ? QStringLiteral("speechd")
                                   : QString();
        m_speech = new QTextToSpeech(engine, this);
        m_german = false;
        for (const QLocale &locale : m_speech->availableLocales()) {
            if (locale.language() == QLocale::German) {
                m_speech->setLocale(locale);
                m_german = true;
                if (locale.territory() == QLocale::Germany)
                    break;
            }
        }
        connect(m_speech, &QTextToSpeech::stateChanged, this, [this](QTextToSpeech::State state) {
            // The engine also turns Ready once it is set up; only the end of a text counts.
            if (m_inFlight && (state == QTextToSpeech::Ready || state == QTextToSpeech::Error)) {
                m_inFlight = false;
                if (state == QTextToSpeech::Error)
                    emit failed(unavailable());
                emit done();
            }
        });
    }

    QTextToSpeech *m_speech = nullptr;
    QElapsedTimer m_sinceCreated;
    bool m_german = false;
    bool m_inFlight = false;
};

} // namespace

TSpeechEngine *CreateSystemSpeechEngine()
{
    return new TSystemSpeechEngine;
}

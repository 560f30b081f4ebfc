#include "SpeechEngine.h"

#include <QLocale>
#include <QTextToSpeech>

namespace {

class TSystemSpeechEngine : public TSpeechEngine
{
public:
    void speak(const QString &text) override
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

private:
    void create()
    {
        const QString engine = QTextToSpeech::availableEngines().contains(QStringLiteral("speechd"))
                                   ? QStringLiteral("speechd")
                                   : QString();
        m_speech = new QTextToSpeech(engine, this);
        for (const QLocale &locale : m_speech->availableLocales()) {
            if (locale.language() == QLocale::German) {
                m_speech->setLocale(locale);
                if (locale.territory() == QLocale::Germany)
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

} // namespace

TSpeechEngine *CreateSystemSpeechEngine()
{
    return new TSystemSpeechEngine;
}

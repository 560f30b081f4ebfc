#include "Announcer.h"

#include "SpeechOutput.h"

TAnnouncer::TAnnouncer(TSpeechOutput *output, QObject *parent) : QObject(parent), m_output(output)
{
    m_elapsed.start();
    m_clock = [this] { return m_elapsed.elapsed(); };
    connect(m_output, &TSpeechOutput::finished, this, &TAnnouncer::onFinished);
}

void TAnnouncer::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    if (!enabled)
        m_pending.clear();
}

void TAnnouncer::announce(const QString &text)
{
    if (!m_enabled || text.isEmpty())
        return;
    if (!m_output->isSpeaking()) {
        m_pending.clear();
        m_output->say(text);
        return;
    }
    m_pending = text;
    m_pendingSince = m_clock();
}

void TAnnouncer::onFinished()
{
    if (m_pending.isEmpty() || m_output->isSpeaking())
        return;
    const QString text = m_pending;
    m_pending.clear();
    if (!m_enabled || m_clock() - m_pendingSince > kPendingMaxAgeMs)
        return;
    m_output->say(text);
}

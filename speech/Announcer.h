#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <functional>

class TSpeechOutput;

// Speaks the announcements of the presses without ever falling behind the race: nothing is
// queued. While a text is being spoken, a new one replaces the single waiting one, and a
// waiting text older than kPendingMaxAgeMs is dropped, because by then it is old news.
// Off until setEnabled(true). announce() never waits for the speech.
class TAnnouncer : public QObject
{
    Q_OBJECT
public:
    static constexpr qint64 kPendingMaxAgeMs = 4000;

    // The output is not owned.
    explicit TAnnouncer(TSpeechOutput *output, QObject *parent = nullptr);

    void setEnabled(bool enabled);
    bool isEnabled() const { return m_enabled; }

    void announce(const QString &text);
    bool hasPending() const { return !m_pending.isEmpty(); }

    // Milliseconds of a steady clock; tests set their own.
    void setClock(std::function<qint64()> clock) { m_clock = std::move(clock); }

private:
    void onFinished();

    TSpeechOutput *m_output;
    bool m_enabled = false;
    QString m_pending;
    qint64 m_pendingSince = 0;
    QElapsedTimer m_elapsed;
    std::function<qint64()> m_clock;
};

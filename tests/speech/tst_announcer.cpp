#include "AnnouncementText.h"
#include "Announcer.h"
#include "SpeechOutput.h"

#include <QStringList>
#include <QTest>

namespace {

// Records what it was asked to say; "speaks" until the test calls finish().
class FakeSpeech : public TSpeechOutput
{
public:
    void say(const QString &text) override
    {
        QVERIFY2(!m_speaking, "said while still speaking: the announcer must not interrupt");
        spoken.append(text);
        m_speaking = true;
    }
    bool isSpeaking() const override { return m_speaking; }
    void finish()
    {
        m_speaking = false;
        emit finished();
    }

    QStringList spoken;

private:
    bool m_speaking = false;
};

QString pressText(int car, int lap)
{
    TAnnouncedPress press;
    press.startNumber = QString::number(car * 10);
    press.car = car;
    press.lap = lap;
    press.lapMs = 60000 + car * 1000;
    return AnnouncementText(press);
}

} // namespace

class TestAnnouncer : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void offUntilEnabled();
    void replacesTheWaitingTextInsteadOfQueueing();
    void dropsAWaitingTextThatGrewOld();
    void disablingForgetsTheWaitingText();
    void aRaceOfPressesNeverFallsBehind();

private:
    FakeSpeech *m_speech = nullptr;
    TAnnouncer *m_announcer = nullptr;
    qint64 m_now = 0;
};

void TestAnnouncer::init()
{
    m_speech = new FakeSpeech;
    m_announcer = new TAnnouncer(m_speech);
    m_now = 1000;
    m_announcer->setClock([this] { return m_now; });
}

void TestAnnouncer::cleanup()
{
    delete m_announcer;
    delete m_speech;
}

void TestAnnouncer::offUntilEnabled()
{
    QVERIFY(!m_announcer->isEnabled());
    m_announcer->announce(pressText(1, 1));
    QVERIFY(m_speech->spoken.isEmpty());
    m_announcer->setEnabled(true);
    m_announcer->announce(pressText(1, 2));
    QCOMPARE(m_speech->spoken, QStringList{pressText(1, 2)});
}

void TestAnnouncer::replacesTheWaitingTextInsteadOfQueueing()
{
    m_announcer->setEnabled(true);
    m_announcer->announce(pressText(1, 1));
    m_announcer->announce(pressText(2, 1));
    m_announcer->announce(pressText(3, 1));
    m_announcer->announce(pressText(4, 1));
    QCOMPARE(m_speech->spoken.size(), 1);
    m_speech->finish();
    // Only the newest of the three waiting texts is spoken, and nothing after it.
    QCOMPARE(m_speech->spoken, (QStringList{pressText(1, 1), pressText(4, 1)}));
    m_speech->finish();
    QCOMPARE(m_speech->spoken.size(), 2);
}

void TestAnnouncer::dropsAWaitingTextThatGrewOld()
{
    m_announcer->setEnabled(true);
    m_announcer->announce(pressText(1, 1));
    m_announcer->announce(pressText(2, 1));
    m_now += TAnnouncer::kPendingMaxAgeMs + 1;
    m_speech->finish();
    QCOMPARE(m_speech->spoken, QStringList{pressText(1, 1)});
    QVERIFY(!m_announcer->hasPending());
    // A waiting text just young enough is still spoken.
    m_announcer->announce(pressText(3, 1));
    m_announcer->announce(pressText(4, 1));
    m_now += TAnnouncer::kPendingMaxAgeMs;
    m_speech->finish();
    QCOMPARE(m_speech->spoken.last(), pressText(4, 1));
}

void TestAnnouncer::disablingForgetsTheWaitingText()
{
    m_announcer->setEnabled(true);
    m_announcer->announce(pressText(1, 1));
    m_announcer->announce(pressText(2, 1));
    m_announcer->setEnabled(false);
    m_speech->finish();
    QCOMPARE(m_speech->spoken.size(), 1);
    m_announcer->setEnabled(true);
    m_speech->finish();
    QCOMPARE(m_speech->spoken.size(), 1);
}

void TestAnnouncer::aRaceOfPressesNeverFallsBehind()
{
    // Twelve cars pressed every 100 ms while each text takes 2.5 s to speak: whatever is said
    // next is at most one text behind the newest press.
    m_announcer->setEnabled(true);
    qint64 speakingSince = m_now;
    QString newest;
    for (int press = 0; press < 240; ++press) {
        m_now += 100;
        newest = pressText(press % 12 + 1, press / 12 + 1);
        m_announcer->announce(newest);
        if (m_now - speakingSince >= 2500) {
            m_speech->finish();
            speakingSince = m_now;
            QCOMPARE(m_speech->spoken.last(), newest);
        }
    }
    QCOMPARE(m_speech->spoken.size(), 1 + 240 / 25);
}

QTEST_GUILESS_MAIN(TestAnnouncer)
#include "tst_announcer.moc"

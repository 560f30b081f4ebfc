#include "BoardTexts.h"
#include "ScreenChoices.h"

#include <QTest>

class TestBoardTexts : public QObject
{
    Q_OBJECT
private slots:
    void progress_data();
    void progress();
    void positions();
    void screenLabels();
};

void TestBoardTexts::progress_data()
{
    QTest::addColumn<TLiveState>("state");
    QTest::addColumn<int>("lapsToGo");
    QTest::addColumn<QString>("expected");
    QTest::newRow("running, several") << TLiveState::lsRunning << 5 << "Noch 5 Runden";
    QTest::newRow("running, two") << TLiveState::lsRunning << 2 << "Noch 2 Runden";
    QTest::newRow("running, last") << TLiveState::lsRunning << 1 << "Letzte Runde";
    QTest::newRow("running, leader through") << TLiveState::lsRunning << 0 << "Ziel";
    QTest::newRow("running, below zero") << TLiveState::lsRunning << -3 << "Ziel";
    QTest::newRow("ready, laps set") << TLiveState::lsReady << 10 << "Bereit – 10 Runden";
    QTest::newRow("ready, one lap") << TLiveState::lsReady << 1 << "Bereit – 1 Runde";
    QTest::newRow("ready, nothing set") << TLiveState::lsReady << 0 << "Bereit";
    QTest::newRow("stopped") << TLiveState::lsStopped << 4 << "Angehalten";
    QTest::newRow("ended, laps left over") << TLiveState::lsEnded << 3 << "Endergebnis";
}

void TestBoardTexts::progress()
{
    QFETCH(TLiveState, state);
    QFETCH(int, lapsToGo);
    QFETCH(QString, expected);
    QCOMPARE(RaceProgressText(state, lapsToGo), expected);
}

void TestBoardTexts::positions()
{
    QCOMPARE(PositionText(1), QStringLiteral("1."));
    QCOMPARE(PositionText(12), QStringLiteral("12."));
    // A car without a lap has no place yet; "0." would read as a rank.
    QCOMPARE(PositionText(0), QStringLiteral("–"));
}

void TestBoardTexts::screenLabels()
{
    QCOMPARE(ScreenChoiceLabel(QStringLiteral("HDMI-1"), 2, QSize(1920, 1080), false),
             QStringLiteral("HDMI-1 – 1920 × 1080"));
    QCOMPARE(ScreenChoiceLabel(QStringLiteral("eDP-1"), 1, QSize(1366, 768), true),
             QStringLiteral("eDP-1 – 1366 × 768 (Hauptbildschirm)"));
    // Two unnamed projectors must still be told apart in the menu.
    QCOMPARE(ScreenChoiceLabel(QStringLiteral("  "), 3, QSize(1024, 768), false),
             QStringLiteral("Bildschirm 3 – 1024 × 768"));
}

QTEST_GUILESS_MAIN(TestBoardTexts)
#include "tst_boardtexts.moc"

#include "LapKeyGate.h"
#include "WindowUnderTest.h"

#include <QKeyEvent>
#include <QSpinBox>

// Qt's own entry for a key press to reach the shortcuts, as a key from the window system does.
Q_GUI_EXPORT bool qt_sendShortcutOverrideEvent(QObject *o, ulong timestamp, int k,
                                               Qt::KeyboardModifiers mods, const QString &text,
                                               bool autorep, ushort count);

namespace {

// Delivers one lap key event with the window system's time stamp the way X11 events arrive:
// a press goes to the shortcuts first, then to the focused widget.
void sendKey(QWidget *to, QEvent::Type type, int car, quint64 stamp, bool autoRepeat = false)
{
    const int key = Qt::Key_F1 + car - 1;
    if (type == QEvent::KeyPress &&
        qt_sendShortcutOverrideEvent(to, stamp, key, Qt::NoModifier, QString(), autoRepeat, 1))
        return;
    QKeyEvent event(type, key, Qt::NoModifier, QString(), autoRepeat);
    event.setTimestamp(stamp);
    QApplication::sendEvent(to, &event);
}

} // namespace

class TestLapKeys : public QObject
{
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale::c()); }
    void gateTellsRepeatsFromPresses();
    void heldKeyIsOneLap();
    void keysNeverTypeIntoTheStandings();
};

void TestLapKeys::gateTellsRepeatsFromPresses()
{
    TLapKeyGate gate;
    // X11 without detectable repeat: release/press pairs sharing their time stamp.
    QVERIFY(gate.Press(2, 100, false, 0));
    gate.Release(2, 600, false, 500);
    QVERIFY(!gate.Press(2, 600, false, 500));
    gate.Release(2, 633, false, 533);
    QVERIFY(!gate.Press(2, 633, false, 533));
    gate.Release(2, 900, false, 800); // the real release
    QVERIFY(gate.Press(2, 1400, false, 1300));
    gate.Release(2, 1500, false, 1400);
    // Detectable repeat: presses without releases, or events flagged as repeats.
    QVERIFY(gate.Press(3, 0, false, 0));
    QVERIFY(!gate.Press(3, 0, false, 40));
    gate.Release(3, 0, true, 80);
    QVERIFY(!gate.Press(3, 0, true, 80));
    gate.Release(3, 0, false, 120);
    // Without time stamps (tests, some platforms) every release ends the press.
    QVERIFY(gate.Press(3, 0, false, 200));
    // A release that never came (the keyboard went elsewhere) holds a key back only so long.
    QVERIFY(!gate.Press(3, 0, false, 200 + TLapKeyGate::kLostReleaseMs - 1));
    QVERIFY(gate.Press(3, 0, false, 200 + 2 * TLapKeyGate::kLostReleaseMs));
    QVERIFY(gate.Held(3));
    gate.ReleaseAll();
    QVERIFY(!gate.Held(3));
    QVERIFY(gate.Press(3, 0, false, 0));
}

void TestLapKeys::heldKeyIsOneLap()
{
    // F2 held for 3.2 s: X11 repeats it every 33 ms after 500 ms, as release/press pairs that
    // are not flagged. One lap; the next real press is the second.
    TWindowUnderTest t;
    t.window->seCarCount->setValue(3);
    t.ClickStart();
    t.Advance(20000);
    QWidget *focus = QApplication::focusWidget();
    quint64 stamp = 5000000;
    sendKey(focus, QEvent::KeyPress, 2, stamp);
    for (int ms = 500; ms < 3200; ms += 33) {
        t.Advance(33);
        sendKey(focus, QEvent::KeyRelease, 2, stamp + ms);
        sendKey(focus, QEvent::KeyPress, 2, stamp + ms);
    }
    sendKey(focus, QEvent::KeyRelease, 2, stamp + 3200);
    QCOMPARE(t.window->Race.LapTable[2].Count, 1);
    t.Advance(2000);
    sendKey(focus, QEvent::KeyPress, 2, stamp + 5000);
    sendKey(focus, QEvent::KeyRelease, 2, stamp + 5100);
    QCOMPARE(t.window->Race.LapTable[2].Count, 2);
}

void TestLapKeys::keysNeverTypeIntoTheStandings()
{
    // F2 on an editable cell would open its editor; it is a lap key, whatever has the focus.
    TWindowUnderTest t;
    TSortGrid *grid = t.window->SortGrid1;
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                      grid->CellRect(TRaceTiming::colFahrer, 2).center());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
    QVERIFY(!grid->EditorMode());
    t.ClickStart();
    t.Advance(3000);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
    QCOMPARE(t.window->Race.LapTable[2].Count, 1);
    // Held back by its lock, released after it.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
    QCOMPARE(t.window->Race.LapTable[2].Count, 1);
}

QTEST_MAIN(TestLapKeys)
#include "tst_lapkeys.moc"

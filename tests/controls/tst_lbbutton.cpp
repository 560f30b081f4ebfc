#include "LbButton.h"
#include "ShotPath.h"
#include "StartButton.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>

// The main window's start button, with the window's own look and size.
static void SetUpStartButton(TLbButton &button)
{
    button.resize(115, 36);
    SetUpStartButton(button, QStringLiteral("Liberation Sans"));
}

static void SendEnter(QWidget *widget)
{
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), widget->mapToGlobal(QPointF(5, 5)));
    QCoreApplication::sendEvent(widget, &enter);
}

static void SendLeave(QWidget *widget)
{
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(widget, &leave);
}

// Records the fade level at every paint of a widget.
class PaintRecorder : public QObject
{
public:
    explicit PaintRecorder(TLbButton *button) : m_button(button)
    {
        button->installEventFilter(this);
    }
    QList<int> levels;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_button && event->type() == QEvent::Paint)
            levels.append(m_button->FadeLevel());
        return false;
    }

private:
    TLbButton *m_button;
};

// A red button that turns blue under the mouse and fades back, shown.
static bool ShowFadingButton(TLbButton &button)
{
    button.SetColor(QColor(255, 0, 0));
    button.SetHotTrackColor(QColor(0, 0, 255));
    button.SetSlowDecease(true);
    button.show();
    return QTest::qWaitForWindowExposed(&button);
}

struct ButtonWindow
{
    QWidget window;
    QLineEdit *edit = nullptr;
    QPushButton *push = nullptr;
    TLbButton *button = nullptr;
    int clicks = 0;

    ButtonWindow()
    {
        auto *layout = new QVBoxLayout(&window);
        edit = new QLineEdit(&window);
        push = new QPushButton(QStringLiteral("Andere"), &window);
        button = new TLbButton(&window);
        layout->addWidget(edit);
        layout->addWidget(push);
        layout->addWidget(button);
        button->SetCaption(QStringLiteral("Weiter"));
        button->OnClick = [this](QObject *) { ++clicks; };
    }

    bool show()
    {
        window.show();
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    }
};

class TestLbButton : public QObject
{
    Q_OBJECT

private slots:
    void defaults();
    void presetsReadBackCustom_data();
    void presetsReadBackCustom();
    void kinds_data();
    void kinds();
    void modalResultWriteKeepsCaptionAndGlyph();
    void modalResultClosesTheDialog();
    void numGlyphsFromTheStrip_data();
    void numGlyphsFromTheStrip();
    void hotTrackWithoutFade();
    void fadeSequence();
    void reenteringDuringTheFade();
    void switchingSlowDeceaseOffStopsTheFade();
    void destroyingAFadingButton();
    void startButtonKeepsItsColourUnderTheMouse();
    void releaseOutsideStillClicks();
    void mouseEventsInOrder();
    void questionOnMouseDownLeavesTheButtonUp();
    void disabledButton();
    void keyboardPress_data();
    void keyboardPress();
    void defaultAndCancelKeys_data();
    void defaultAndCancelKeys();
    void accelerator();
    void popupMenu();
    void screenshots();
};

void TestLbButton::defaults()
{
    TLbButton button;
    QCOMPARE(button.size(), QSize(100, 23));
    QCOMPARE(button.Style(), bsNormal);
    QCOMPARE(button.Alignment(), taCenter);
    QCOMPARE(button.LightColor(), QColor(Qt::white));
    QCOMPARE(button.ShadowColor(), QColor(0x80, 0x80, 0x80));
    QVERIFY(!button.HotTrackColor().isValid());
    QVERIFY(!button.ColorWhenDown().isValid());
    QCOMPARE(button.Kind(), bkCustom);
    QCOMPARE(button.NumGlyphs(), 0);
    QCOMPARE(button.FadeLevel(), 0);
    QVERIFY(button.TabStop());
    QVERIFY(!button.Fading());
}

void TestLbButton::presetsReadBackCustom_data()
{
    QTest::addColumn<int>("preset");
    QTest::addColumn<QColor>("color");
    QTest::addColumn<QColor>("hotTrack");
    QTest::addColumn<bool>("flat");
    QTest::addColumn<int>("style");
    const QColor none;
    QTest::newRow("gold") << int(lcsGold) << QColor(0xC0, 0xC0, 0x00) << QColor(0xDF, 0xDF, 0x00)
                          << false << int(bsModern);
    QTest::newRow("chrome") << int(lcsChrome) << QColor(0xC0, 0xC0, 0xC0) << none << false
                            << int(bsModern);
    QTest::newRow("red") << int(lcsRed) << QColor(0xFF, 0, 0) << none << false << int(bsModern);
    QTest::newRow("ultra flat XP") << int(lcsUltraFlatXP) << QColor(0xDB, 0xD8, 0xD1)
                                   << QColor(0xB6, 0xBD, 0xD2) << true << int(bsNormal);
    QTest::newRow("aqua") << int(lcsAqua) << QColor(0x94, 0xCE, 0xEC) << none << false
                          << int(bsModern);
    QTest::newRow("quicken") << int(lcsQuicken) << QColor(0x00, 0x30, 0x60)
                             << QColor(0x9C, 0xAE, 0xCE) << false << int(bsQuicken);
}

void TestLbButton::presetsReadBackCustom()
{
    QFETCH(int, preset);
    QFETCH(QColor, color);
    QFETCH(QColor, hotTrack);
    QFETCH(bool, flat);
    QFETCH(int, style);
    TLbButton button;
    button.SetStyle(bsOld);
    button.SetColorStyle(static_cast<TLbColorStyle>(preset));
    QCOMPARE(button.ColorStyle(), lcsCustom);
    QCOMPARE(button.Color(), color);
    QCOMPARE(button.HotTrackColor(), hotTrack);
    QCOMPARE(button.Flat(), flat);
    QCOMPARE(int(button.Style()), style);

    // lcsCustom writes nothing.
    button.SetColor(Qt::cyan);
    button.SetColorStyle(lcsCustom);
    QCOMPARE(button.Color(), QColor(Qt::cyan));
    QCOMPARE(int(button.Style()), style);
}

void TestLbButton::kinds_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("modalResult");
    QTest::newRow("OK") << int(bkOK) << "OK" << 1;
    QTest::newRow("Cancel") << int(bkCancel) << "Abbrechen" << 2;
    QTest::newRow("Help") << int(bkHelp) << "Hilfe" << 0;
    QTest::newRow("Yes") << int(bkYes) << "Ja" << 6;
    QTest::newRow("No") << int(bkNo) << "Nein" << 7;
    QTest::newRow("Close") << int(bkClose) << "Schließen" << 0;
    QTest::newRow("Abort") << int(bkAbort) << "Abbrechen" << 3;
    QTest::newRow("Retry") << int(bkRetry) << "Wiederholen" << 4;
    QTest::newRow("Ignore") << int(bkIgnore) << "Ignorieren" << 5;
    QTest::newRow("All") << int(bkAll) << "Alle" << 8;
}

void TestLbButton::kinds()
{
    QFETCH(int, kind);
    QFETCH(QString, caption);
    QFETCH(int, modalResult);
    TLbButton button;
    button.SetKind(static_cast<TLbButtonKind>(kind));
    QCOMPARE(int(button.Kind()), kind);
    QCOMPARE(button.Caption(), caption);
    QCOMPARE(button.ModalResult(), modalResult);
    QCOMPARE(button.NumGlyphs(), 2);
    // Two 18 x 18 images: the normal one in colour, the disabled one in grey.
    QCOMPARE(button.Glyph().size(), QSize(36, 18));
    const QImage glyph = button.Glyph().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(qAlpha(glyph.pixel(0, 17)), 0); // transparent background
    bool colourful = false;
    bool greyOnly = true;
    for (int y = 0; y < 18; ++y) {
        for (int x = 0; x < 18; ++x) {
            const QColor normal = glyph.pixelColor(x, y);
            const QColor disabled = glyph.pixelColor(18 + x, y);
            colourful |= normal.alpha() > 0 && normal.saturation() > 100;
            greyOnly &= disabled.alpha() == 0 || disabled.saturation() == 0;
        }
    }
    QVERIFY(colourful);
    QVERIFY(greyOnly);
}

void TestLbButton::modalResultWriteKeepsCaptionAndGlyph()
{
    TLbButton button;
    button.SetKind(bkYes);
    button.SetModalResult(7);
    QCOMPARE(button.Kind(), bkCustom);
    QCOMPARE(button.Caption(), QStringLiteral("Ja"));
    QCOMPARE(button.NumGlyphs(), 2);
    QVERIFY(!button.Glyph().isNull());
    button.SetKind(bkCustom); // only stored
    QCOMPARE(button.Caption(), QStringLiteral("Ja"));
}

void TestLbButton::modalResultClosesTheDialog()
{
    QDialog dialog;
    auto *button = new TLbButton(&dialog);
    button->SetKind(bkRetry);
    dialog.open();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(dialog.result(), 4);
    QVERIFY(!dialog.isVisible());
}

void TestLbButton::numGlyphsFromTheStrip_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("numGlyphs");
    QTest::newRow("72 x 18") << QSize(72, 18) << 4;
    QTest::newRow("36 x 18") << QSize(36, 18) << 2;
    QTest::newRow("40 x 18 rounds down") << QSize(40, 18) << 2;
    QTest::newRow("36 x 19") << QSize(36, 19) << 1;
    QTest::newRow("empty") << QSize() << 0;
}

void TestLbButton::numGlyphsFromTheStrip()
{
    QFETCH(QSize, size);
    QFETCH(int, numGlyphs);
    TLbButton button;
    button.SetKind(bkOK);
    button.SetGlyph(size.isValid() ? QImage(size, QImage::Format_ARGB32) : QImage());
    QCOMPARE(button.NumGlyphs(), numGlyphs);
    QCOMPARE(button.Kind(), bkCustom);
    QCOMPARE(button.ModalResult(), 1); // kept
}

void TestLbButton::hotTrackWithoutFade()
{
    TLbButton button;
    button.SetColor(Qt::red);
    button.SetHotTrackColor(Qt::blue);
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));
    int enters = 0;
    int exits = 0;
    button.OnMouseEnter = [&](QObject *) { ++enters; };
    button.OnMouseExit = [&](QObject *) { ++exits; };
    SendEnter(&button);
    QVERIFY(button.MouseInside());
    QCOMPARE(button.FadeLevel(), 8);
    QCOMPARE(button.RenderFace().pixelColor(20, 10), QColor(Qt::blue));
    SendLeave(&button);
    QCOMPARE(button.FadeLevel(), 0); // at once
    QVERIFY(!button.Fading());
    QCOMPARE(button.RenderFace().pixelColor(20, 10), QColor(Qt::red));
    QCOMPARE(enters, 1);
    QCOMPARE(exits, 1);
}

void TestLbButton::fadeSequence()
{
    TLbButton button;
    QVERIFY(ShowFadingButton(button));
    PaintRecorder recorder(&button);
    SendEnter(&button);
    QCOMPARE(recorder.levels, QList<int>{8});
    recorder.levels.clear();
    SendLeave(&button);
    QVERIFY(button.Fading());
    QCOMPARE(button.FadeLevel(), 8); // the first step comes after 30 ms
    QTRY_VERIFY(!button.Fading());
    // Eight repaints, one per step, from 7 down to 0.
    QCOMPARE(recorder.levels, (QList<int>{7, 6, 5, 4, 3, 2, 1, 0}));
    QCOMPARE(button.RenderFace().pixelColor(20, 10), QColor(255, 0, 0));
}

void TestLbButton::reenteringDuringTheFade()
{
    TLbButton button;
    QVERIFY(ShowFadingButton(button));
    SendEnter(&button);
    SendLeave(&button);
    QTRY_VERIFY(button.FadeLevel() <= 4);
    SendEnter(&button);
    QCOMPARE(button.FadeLevel(), 8);
    QCOMPARE(button.RenderFace().pixelColor(20, 10), QColor(0, 0, 255));
    // The running fade carries on while the mouse stays inside and ends in Color.
    QTRY_VERIFY(!button.Fading());
    QVERIFY(button.MouseInside());
    QCOMPARE(button.FadeLevel(), 0);
    QCOMPARE(button.RenderFace().pixelColor(20, 10), QColor(255, 0, 0));
}

void TestLbButton::switchingSlowDeceaseOffStopsTheFade()
{
    TLbButton button;
    button.SetHotTrackColor(Qt::blue);
    button.SetSlowDecease(true);
    button.show();
    SendEnter(&button);
    SendLeave(&button);
    QVERIFY(button.Fading());
    button.SetSlowDecease(false);
    QVERIFY(!button.Fading());
    QCOMPARE(button.FadeLevel(), 0);
}

void TestLbButton::destroyingAFadingButton()
{
    auto button = std::make_unique<TLbButton>();
    button->SetHotTrackColor(Qt::blue);
    button->SetSlowDecease(true);
    button->show();
    SendEnter(button.get());
    SendLeave(button.get());
    QVERIFY(button->Fading());
    button.reset();
    QTest::qWait(100); // no step may run on the destroyed button
}

void TestLbButton::startButtonKeepsItsColourUnderTheMouse()
{
    QWidget panel;
    TLbButton button(&panel);
    SetUpStartButton(button);
    ShowStartButtonState(button, QStringLiteral("START"), QColor(0x00, 0xFF, 0x00),
                         QColor(0x00, 0x80, 0x00));
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    SendLeave(&button); // the window may have opened under the test's mouse
    QVERIFY(!button.Hot());
    const TLbFace cold = button.Face();
    SendEnter(&button);
    const TLbFace hot = button.Face();
    QCOMPARE(LayoutButtonFace(hot).FaceColor, LayoutButtonFace(cold).FaceColor);
    QCOMPARE(cold.Font.pixelSize(), 29);
    QCOMPARE(cold.FontColor, QColor(Qt::white));
    QCOMPARE(hot.Font.pixelSize(), 27);
    QCOMPARE(hot.FontColor, QColor(0xFF, 0xFF, 0x00));
    QVERIFY(button.focusPolicy() == Qt::NoFocus);
}

void TestLbButton::releaseOutsideStillClicks()
{
    ButtonWindow w;
    QVERIFY(w.show());
    QTest::mousePress(w.button, Qt::LeftButton, {}, QPoint(10, 10));
    QVERIFY(w.button->Pressed());
    QVERIFY(w.button->hasFocus());
    QTest::mouseRelease(w.button, Qt::LeftButton, {}, QPoint(-50, 300));
    QCOMPARE(w.clicks, 1);
    QVERIFY(!w.button->Pressed());
    // Other mouse buttons do not press it.
    QTest::mouseClick(w.button, Qt::RightButton);
    QCOMPARE(w.clicks, 1);
}

void TestLbButton::mouseEventsInOrder()
{
    ButtonWindow w;
    QStringList events;
    w.button->OnMouseDown = [&](QObject *, Qt::MouseButton button, Qt::KeyboardModifiers, int x,
                                int y) {
        events << QStringLiteral("down %1 %2,%3").arg(int(button)).arg(x).arg(y);
    };
    w.button->OnMouseUp = [&](QObject *, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        events << QStringLiteral("up");
    };
    w.button->OnClick = [&](QObject *) { events << QStringLiteral("click"); };
    QVERIFY(w.show());
    QTest::mouseClick(w.button, Qt::LeftButton, {}, QPoint(7, 8));
    QTest::mouseClick(w.button, Qt::RightButton, {}, QPoint(7, 8));
    QCOMPARE(events, (QStringList{QStringLiteral("down 1 7,8"), QStringLiteral("up"),
                                  QStringLiteral("click"), QStringLiteral("down 2 7,8"),
                                  QStringLiteral("up")}));
}

void TestLbButton::questionOnMouseDownLeavesTheButtonUp()
{
    // The start button asks "stop?" on mouse-down; the release then goes to the question.
    ButtonWindow w;
    QVERIFY(w.show());
    w.button->OnMouseDown = [&](QObject *, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        QDialog question(&w.window);
        QTimer::singleShot(50, &question, &QDialog::reject);
        question.exec();
    };
    QTest::mousePress(w.button, Qt::LeftButton, {}, QPoint(10, 10));
    QVERIFY(!w.button->Pressed());
    QCOMPARE(w.clicks, 0);
}

void TestLbButton::disabledButton()
{
    ButtonWindow w;
    w.button->SetHotTrackColor(Qt::blue);
    QVERIFY(w.show());
    QTest::mousePress(w.button, Qt::LeftButton);
    QVERIFY(w.button->Pressed());
    w.button->setEnabled(false);
    QVERIFY(!w.button->Pressed());
    QTest::mouseRelease(w.button, Qt::LeftButton);
    SendEnter(w.button);
    QVERIFY(!w.button->MouseInside());
    QCOMPARE(w.button->FadeLevel(), 0);
    w.button->Click();
    QCOMPARE(w.clicks, 0);
    QVERIFY(!w.button->Pressed());
    w.button->setEnabled(true);
    w.button->Click();
    QCOMPARE(w.clicks, 1);
}

void TestLbButton::keyboardPress_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Space") << int(Qt::Key_Space);
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("Enter") << int(Qt::Key_Enter);
}

void TestLbButton::keyboardPress()
{
    QFETCH(int, key);
    ButtonWindow w;
    QVERIFY(w.show());
    w.button->setFocus(Qt::TabFocusReason);
    QTest::keyPress(w.button, Qt::Key(key));
    QVERIFY(w.button->Pressed());
    QCOMPARE(w.clicks, 0);
    QTest::keyRelease(w.button, Qt::Key(key));
    QCOMPARE(w.clicks, 1);
    QVERIFY(!w.button->Pressed());
    QTest::keyClick(w.button, Qt::Key_A);
    QCOMPARE(w.clicks, 1);
}

void TestLbButton::defaultAndCancelKeys_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("isDefault");
    QTest::addColumn<bool>("isCancel");
    QTest::addColumn<int>("clicks");
    QTest::newRow("Enter in an edit clicks the default")
        << "edit" << int(Qt::Key_Return) << 0 << true << false << 1;
    QTest::newRow("Escape in an edit clicks the cancel button")
        << "edit" << int(Qt::Key_Escape) << 0 << false << true << 1;
    QTest::newRow("Enter needs Default")
        << "edit" << int(Qt::Key_Return) << 0 << false << true << 0;
    QTest::newRow("Escape needs Cancel")
        << "edit" << int(Qt::Key_Escape) << 0 << true << false << 0;
    QTest::newRow("Shift+Escape is no dialog key")
        << "edit" << int(Qt::Key_Escape) << int(Qt::ShiftModifier) << false << true << 0;
    QTest::newRow("a focused push button keeps Enter")
        << "push" << int(Qt::Key_Return) << 0 << true << false << 0;
    QTest::newRow("a focused push button keeps Escape")
        << "push" << int(Qt::Key_Escape) << 0 << false << true << 0;
    QTest::newRow("a radio button is no push button")
        << "radio" << int(Qt::Key_Return) << 0 << true << false << 1;
}

void TestLbButton::defaultAndCancelKeys()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, isDefault);
    QFETCH(bool, isCancel);
    QFETCH(int, clicks);
    ButtonWindow w;
    auto *radio = new QRadioButton(QStringLiteral("Option"), &w.window);
    w.window.layout()->addWidget(radio);
    w.button->SetDefault(isDefault);
    w.button->SetCancel(isCancel);
    QVERIFY(w.show());
    QWidget *target = focus == QLatin1String("edit")   ? static_cast<QWidget *>(w.edit)
                      : focus == QLatin1String("push") ? static_cast<QWidget *>(w.push)
                                                       : static_cast<QWidget *>(radio);
    target->setFocus(Qt::TabFocusReason);
    QVERIFY(target->hasFocus());
    QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(w.clicks, clicks);
    // A hidden default button takes nothing.
    w.button->hide();
    target->setFocus(Qt::TabFocusReason);
    QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(w.clicks, clicks);
}

void TestLbButton::accelerator()
{
    ButtonWindow w;
    w.button->SetCaption(QStringLiteral("&Weiter"));
    QVERIFY(w.show());
    w.edit->setFocus();
    QTest::keyClick(w.edit, Qt::Key_W, Qt::AltModifier);
    QCOMPARE(w.clicks, 1);
    w.button->SetCaption(QStringLiteral("&Zurück"));
    QTest::keyClick(w.edit, Qt::Key_W, Qt::AltModifier);
    QCOMPARE(w.clicks, 1);
    QTest::keyClick(w.edit, Qt::Key_Z, Qt::AltModifier);
    QCOMPARE(w.clicks, 2);
    w.button->setEnabled(false);
    QTest::keyClick(w.edit, Qt::Key_Z, Qt::AltModifier);
    QCOMPARE(w.clicks, 2);
}

void TestLbButton::popupMenu()
{
    ButtonWindow w;
    QMenu menu;
    menu.addAction(QStringLiteral("Eins"));
    w.button->SetPopupMenu(&menu);
    QVERIFY(w.show());
    const QImage face = w.button->RenderFace();
    const QPoint arrow(w.button->width() - 11, w.button->height() / 2 - 1);
    QCOMPARE(face.pixel(arrow + QPoint(2, 2)), qRgb(0, 0, 0));
    QTest::mouseClick(w.button, Qt::LeftButton);
    QCOMPARE(w.clicks, 1);
    QTRY_VERIFY(menu.isVisible());
    QCOMPARE(menu.pos(), w.button->mapToGlobal(QPoint(0, w.button->height())));
    menu.close();
}

void TestLbButton::screenshots()
{
    struct State
    {
        const char *file;
        const char *caption;
        QColor color;
        QColor light;
        bool hot;
    };
    const State states[] = {
        {"start_ready.png", "START", QColor(0x00, 0xFF, 0x00), QColor(0x00, 0x80, 0x00), false},
        {"start_ready_hot.png", "START", QColor(0x00, 0xFF, 0x00), QColor(0x00, 0x80, 0x00), true},
        {"start_running.png", "STOPP", QColor(0xFF, 0x00, 0x00), QColor(0x7F, 0x00, 0x00), false},
        {"start_stopped.png", "00:00", QColor(0x00, 0x00, 0x00), QColor(0x80, 0x80, 0x80), false},
    };
    for (const State &state : states) {
        QWidget panel;
        panel.resize(135, 56);
        TLbButton button(&panel);
        button.move(10, 10);
        SetUpStartButton(button);
        ShowStartButtonState(button, QString::fromLatin1(state.caption), state.color, state.light);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        if (state.hot)
            SendEnter(&button);
        else
            SendLeave(&button);
        QVERIFY(panel.grab().save(ShotPath(QString::fromLatin1(state.file))));
    }

    // Every stock kind, enabled and disabled, and the presets.
    QWidget kinds;
    kinds.resize(250, 11 * 28 + 10);
    for (int kind = bkOK; kind <= bkAll; ++kind) {
        for (int column = 0; column < 2; ++column) {
            auto *button = new TLbButton(&kinds);
            button->SetKind(static_cast<TLbButtonKind>(kind));
            button->setGeometry(10 + column * 120, 10 + (kind - 1) * 28, 110, 25);
            button->setEnabled(column == 0);
        }
    }
    kinds.show();
    QVERIFY(QTest::qWaitForWindowExposed(&kinds));
    QVERIFY(kinds.grab().save(ShotPath(QStringLiteral("kinds.png"))));

    QWidget presets;
    presets.resize(250, 10 * 28 + 10);
    for (int preset = lcsGold; preset <= lcsQuicken; ++preset) {
        auto *button = new TLbButton(&presets);
        button->SetColorStyle(static_cast<TLbColorStyle>(preset));
        button->SetCaption(QStringLiteral("Preset %1").arg(preset));
        button->setGeometry(10, 10 + (preset - 1) * 28, 110, 25);
        auto *pressed = new TLbButton(&presets);
        pressed->SetColorStyle(static_cast<TLbColorStyle>(preset));
        pressed->SetCaption(QStringLiteral("hot"));
        pressed->setGeometry(130, 10 + (preset - 1) * 28, 110, 25);
        SendEnter(pressed);
    }
    presets.show();
    QVERIFY(QTest::qWaitForWindowExposed(&presets));
    for (TLbButton *button : presets.findChildren<TLbButton *>())
        if (button->Caption() == QLatin1String("hot"))
            SendEnter(button);
    QVERIFY(presets.grab().save(ShotPath(QStringLiteral("presets.png"))));
}

QTEST_MAIN(TestLbButton)
#include "tst_lbbutton.moc"

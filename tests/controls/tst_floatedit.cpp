#include "FlEdit.h"
#include "ShotPath.h"
#include "SpinButton.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include <memory>

// Texts in these tables write the locale's decimal separator as '|'.
static QString WithSeparator(QString text, QChar separator)
{
    return text.replace(QLatin1Char('|'), separator);
}

// A window holding the lap-length edit as the main window sets it up, and a second edit that
// takes the focus when it leaves.
struct EditWindow
{
    QWidget window;
    TSpinFloatEdit *edit = nullptr;
    QLineEdit *other = nullptr;
    QStringList messages;
    int exits = 0;

    EditWindow()
    {
        auto *layout = new QVBoxLayout(&window);
        edit = new TSpinFloatEdit(&window);
        other = new QLineEdit(&window);
        layout->addWidget(edit);
        layout->addWidget(other);
        edit->SetIncrement(0.1L);
        edit->SetDigits(3);
        edit->SetMax(100.0L);
        edit->SetValue(15.0L);
        edit->ShowMessage = [this](const QString &text) { messages.append(text); };
        edit->OnExit = [this](QObject *) { ++exits; };
    }

    bool showWithFocus()
    {
        window.show();
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window))
            return false;
        edit->setFocus(Qt::TabFocusReason);
        return edit->hasFocus();
    }

    void leave() { other->setFocus(Qt::TabFocusReason); }
};

class TestFloatEdit : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void newEditShowsMin_data();
    void newEditShowsMin();
    void keyFilter_data();
    void keyFilter();
    void foreignSeparatorIsRejected_data();
    void foreignSeparatorIsRejected();
    void rejectedKeysStillRaiseOnKeyPress();
    void onKeyPressMayChangeTheKey();
    void deleteAndComposedKeys();
    void readingValue_data();
    void readingValue();
    void writingValueClamps();
    void rangeErrors();
    void rangeChangesClampTheText();
    void digits();
    void enterRaisesOnEnterPressAndLeavingReformats_data();
    void enterRaisesOnEnterPressAndLeavingReformats();
    void escapeRestoresTheValueOnEntry();
    void focusEnterSelectsAllUnlessClicked();
    void leavingWithBadText_data();
    void leavingWithBadText();
    void spinSteps();
    void spinArrows();
    void readOnlyBeeps();
    void computedIncrementReplacesTheStep();
    void lockedEditor();
    void cutAndPasteNeedAnEditableText();
    void valueWhileLoading();
    void layout();
    void screenshot();
};

void TestFloatEdit::init()
{
    QLocale::setDefault(QLocale::c());
}

static void AddLocaleRows(const char *name, const std::function<void(QTestData &)> &rest)
{
    for (const char *locale : {"C", "de_DE"}) {
        QTestData &row = QTest::addRow("%s, %s", name, locale) << QString::fromLatin1(locale);
        rest(row);
    }
}

void TestFloatEdit::newEditShowsMin_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::newRow("C") << "C"
                       << "0.0";
    QTest::newRow("de_DE") << "de_DE"
                           << "0,0";
}

void TestFloatEdit::newEditShowsMin()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QLocale::setDefault(QLocale(locale));
    TSpinFloatEdit edit;
    QCOMPARE(edit.text(), text);
    QCOMPARE(edit.Digits(), 1);
    QCOMPARE(edit.Alignment(), taRightJustify);
    QVERIFY(edit.alignment() & Qt::AlignRight);
    // The separator is taken once, when the edit is created.
    QLocale::setDefault(QLocale(locale == QLatin1String("C") ? "de_DE" : "C"));
    edit.SetValue(2.5L);
    QCOMPARE(edit.text(), WithSeparator(QStringLiteral("2|5"), text.at(1)));
}

void TestFloatEdit::keyFilter_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("digits");
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("selStart"); // -1: no selection
    QTest::addColumn<int>("selLength");

    const auto row = [](const char *name, const char *start, int digits, double min, double max,
                        const char *typed, const char *expected, int selStart, int selLength) {
        AddLocaleRows(name, [=](QTestData &data) {
            data << QString::fromLatin1(start) << digits << min << max << QString::fromLatin1(typed)
                 << QString::fromLatin1(expected) << selStart << selLength;
        });
    };
    row("minus in an empty edit", "", 3, -100, 100, "-", "-0", 1, 1);
    row("digit replaces the selected 0", "", 3, -100, 100, "-5", "-5", -1, 0);
    row("minus with Min 0 still shows -0", "", 3, 0, 100, "-", "-0", 1, 1);
    row("separator in an empty edit", "", 3, 0, 100, "|", "0|0", 2, 1);
    row("digit after the separator replaces the last 0", "", 3, 0, 100, "|5", "0|5", -1, 0);
    row("digits and decimals", "", 3, 0, 100, "15|5", "15|5", -1, 0);
    row("out of range rejected", "15", 3, 0, 100, "0", "15", -1, 0);
    row("exactly Max accepted", "10", 3, 0, 100, "0|", "100|", -1, 0);
    row("above Max after the separator", "100|", 3, 0, 100, "1", "100|", -1, 0);
    row("below Min rejected digit by digit", "", 3, 5, 100, "17", "7", -1, 0);
    row("fourth decimal rejected", "", 3, 0, 100, "1|2345", "1|234", -1, 0);
    row("separator rejected without digits", "", 0, 0, 100, "1|2", "12", -1, 0);
    row("second separator rejected", "", 3, 0, 100, "1|2|3", "1|23", -1, 0);
    row("plus and upper-case E rejected", "", 3, 0, 100, "+1E", "1", -1, 0);
    row("blank and letters rejected", "", 3, 0, 100, " 1a x", "1", -1, 0);
    row("lower-case e accepted", "", 3, 0, 100, "15e", "15e", -1, 0);
    row("exponent lifts the decimal limit", "", 1, 0, 100, "1|5e-5", "1|5e-5", -1, 0);
    row("e alone rejected", "", 3, 0, 100, "e", "", -1, 0);
    row("minus in the middle rejected", "", 3, -100, 100, "1-", "1", -1, 0);
    row("backspace passes", "15", 3, 0, 100, "\b\b", "", -1, 0);
    row("backspace may leave a lone minus", "-5", 3, -100, 100, "\b", "-", -1, 0);
}

void TestFloatEdit::keyFilter()
{
    QFETCH(QString, locale);
    QFETCH(QString, start);
    QFETCH(int, digits);
    QFETCH(double, min);
    QFETCH(double, max);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    QFETCH(int, selStart);
    QFETCH(int, selLength);
    QLocale::setDefault(QLocale(locale));
    TSpinFloatEdit edit;
    const QChar separator = edit.DecimalSeparator();
    QCOMPARE(separator, locale == QLatin1String("C") ? QChar(u'.') : QChar(u','));
    QVERIFY(edit.SetMin(min));
    QVERIFY(edit.SetMax(max));
    edit.SetDigits(digits);
    edit.setText(WithSeparator(start, separator));
    edit.setCursorPosition(static_cast<int>(edit.text().size()));

    for (const QChar c : typed) {
        if (c == u'\b')
            QTest::keyClick(&edit, Qt::Key_Backspace);
        else
            QTest::keyClicks(&edit, WithSeparator(QString(c), separator));
    }
    QCOMPARE(edit.text(), WithSeparator(expected, separator));
    if (selStart >= 0) {
        QCOMPARE(edit.selectionStart(), selStart);
        QCOMPARE(edit.selectedText().size(), selLength);
    }
}

void TestFloatEdit::foreignSeparatorIsRejected_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("foreign");
    QTest::newRow("C rejects the comma") << "C"
                                         << ",";
    QTest::newRow("de_DE rejects the full stop") << "de_DE"
                                                 << ".";
}

void TestFloatEdit::foreignSeparatorIsRejected()
{
    QFETCH(QString, locale);
    QFETCH(QString, foreign);
    QLocale::setDefault(QLocale(locale));
    TSpinFloatEdit edit;
    edit.setText(QString());
    QTest::keyClicks(&edit, QStringLiteral("15") + foreign + QStringLiteral("5"));
    QCOMPARE(edit.text(), QStringLiteral("155").left(2)); // "155" would be out of range
}

void TestFloatEdit::rejectedKeysStillRaiseOnKeyPress()
{
    TSpinFloatEdit edit;
    edit.setText(QString());
    QString seen;
    edit.OnKeyPress = [&](QObject *sender, QChar &key) {
        QCOMPARE(sender, &edit);
        seen += key.isNull() ? QChar(u'0') : key;
    };
    QTest::keyClicks(&edit, QStringLiteral("1x"));
    QTest::keyClick(&edit, Qt::Key_Escape); // raised with a null character
    QTest::keyClick(&edit, Qt::Key_Return); // not raised
    QCOMPARE(seen, QStringLiteral("1x0"));
}

void TestFloatEdit::onKeyPressMayChangeTheKey()
{
    TSpinFloatEdit edit;
    edit.setText(QString());
    edit.OnKeyPress = [](QObject *, QChar &key) {
        if (key == u'1')
            key = u'2';
        else if (key == u'3')
            key = QChar();
    };
    QTest::keyClicks(&edit, QStringLiteral("113"));
    QCOMPARE(edit.text(), QStringLiteral("22"));
}

void TestFloatEdit::deleteAndComposedKeys()
{
    TSpinFloatEdit edit;
    edit.setText(QStringLiteral("15"));
    edit.setCursorPosition(0);
    // X11 sends Delete with the DEL character as its text: it edits, it is not typed.
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QStringLiteral("\x7f"));
    QCoreApplication::sendEvent(&edit, &del);
    QCOMPARE(edit.text(), QStringLiteral("5"));
    // A composed key may bring several characters: each one is filtered.
    edit.setCursorPosition(1);
    QKeyEvent composed(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("x.5a0"));
    QCoreApplication::sendEvent(&edit, &composed);
    QCOMPARE(edit.text(), QStringLiteral("5.5")); // "5.50" would need a second decimal
}

void TestFloatEdit::readingValue_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("value");
    const auto row = [](const char *name, const char *text, double min, double value) {
        AddLocaleRows(name,
                      [=](QTestData &data) { data << QString::fromLatin1(text) << min << value; });
    };
    row("number", "15|5", 0, 15.5);
    row("lone minus reads 0", "-", -10, 0);
    row("lone separator reads 0", "|", -10, 0);
    row("empty reads 0", "", -10, 0);
    row("E reads 0", "E", -10, 0);
    row("0 is clamped to Min", "", 5, 5);
    row("not a number reads Min", "abc", -10, -10);
    row("above Max reads Max", "150", 0, 100);
    row("below Min reads Min", "-50", -10, -10);
    row("exponent", "1e1", 0, 10);
}

void TestFloatEdit::readingValue()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(double, min);
    QFETCH(double, value);
    QLocale::setDefault(QLocale(locale));
    TSpinFloatEdit edit;
    QVERIFY(edit.SetMin(min));
    edit.setText(WithSeparator(text, edit.DecimalSeparator()));
    QCOMPARE(static_cast<double>(edit.Value()), value);
    QCOMPARE(edit.text(), WithSeparator(text, edit.DecimalSeparator())); // reading changes nothing
}

void TestFloatEdit::writingValueClamps()
{
    TSpinFloatEdit edit;
    QStringList messages;
    edit.ShowMessage = [&](const QString &text) { messages.append(text); };
    edit.SetValue(150);
    QCOMPARE(edit.text(), QStringLiteral("100.0"));
    edit.SetValue(-1);
    QCOMPARE(edit.text(), QStringLiteral("0.0"));
    QVERIFY(messages.isEmpty()); // no ErrorMessage, no message

    edit.SetErrorMessage(QStringLiteral("Falscher Wert"));
    edit.SetValue(150);
    edit.SetValue(-1);
    edit.SetValue(50);
    QCOMPARE(messages, QStringList(2, QStringLiteral("Falscher Wert")));
    QCOMPARE(edit.text(), QStringLiteral("50.0"));
}

void TestFloatEdit::rangeErrors()
{
    TSpinFloatEdit edit;
    edit.SetValue(15);
    QString error;
    QVERIFY(!edit.SetMin(200, &error));
    QCOMPARE(error, QStringLiteral("Minimum value must not be greater than maximum value !"));
    QVERIFY(!edit.SetMax(-1, &error));
    QCOMPARE(error, QStringLiteral("Maximum value must not be less than minimum value !"));
    QCOMPARE(static_cast<double>(edit.Min()), 0.0);
    QCOMPARE(static_cast<double>(edit.Max()), 100.0);
    QCOMPARE(edit.text(), QStringLiteral("15.0"));
    // An empty range of one value is allowed.
    QVERIFY(edit.SetMin(100));
    QCOMPARE(edit.text(), QStringLiteral("100.0"));
}

void TestFloatEdit::rangeChangesClampTheText()
{
    TSpinFloatEdit edit;
    edit.SetValue(15);
    QVERIFY(edit.SetMin(20));
    QCOMPARE(edit.text(), QStringLiteral("20.0"));
    QVERIFY(edit.SetMin(0));
    QVERIFY(edit.SetMax(10));
    QCOMPARE(edit.text(), QStringLiteral("10.0"));
    // Setting the current bound changes nothing, not even a text typed meanwhile.
    edit.setText(QStringLiteral("7.55"));
    QVERIFY(edit.SetMax(10));
    QCOMPARE(edit.text(), QStringLiteral("7.55"));
}

void TestFloatEdit::digits()
{
    TSpinFloatEdit edit;
    edit.SetValue(15.25L);
    QCOMPARE(edit.text(), QStringLiteral("15.3"));
    edit.SetDigits(3);
    QCOMPARE(edit.text(), QStringLiteral("15.300")); // the text is the value: 15.3 now
    edit.SetDigits(0);
    QCOMPARE(edit.text(), QStringLiteral("15"));
    edit.SetDigits(25);
    QCOMPARE(edit.Digits(), 18);
    QCOMPARE(edit.text(), QStringLiteral("15.000000000000000000"));
    edit.setText(QStringLiteral("3.14"));
    edit.SetDigits(18); // unchanged: no reformat
    QCOMPARE(edit.text(), QStringLiteral("3.14"));
}

void TestFloatEdit::enterRaisesOnEnterPressAndLeavingReformats_data()
{
    QTest::addColumn<QString>("locale");
    QTest::newRow("C") << "C";
    QTest::newRow("de_DE") << "de_DE";
}

void TestFloatEdit::enterRaisesOnEnterPressAndLeavingReformats()
{
    QFETCH(QString, locale);
    QLocale::setDefault(QLocale(locale));
    EditWindow w;
    const QChar sep = w.edit->DecimalSeparator();
    QList<ushort> entered;
    w.edit->OnEnterPress = [&](QObject *sender, QChar &key) {
        QCOMPARE(sender, w.edit);
        entered.append(key.unicode());
    };
    QVERIFY(w.showWithFocus());
    QVERIFY(w.edit->selectedText() == w.edit->text()); // entered by Tab: all selected
    QTest::keyClicks(w.edit, WithSeparator(QStringLiteral("15|1"), sep));
    QTest::keyClick(w.edit, Qt::Key_Return);
    QTest::keyClick(w.edit, Qt::Key_Enter);
    QCOMPARE(entered, (QList<ushort>{13, 13}));
    QCOMPARE(w.edit->text(), WithSeparator(QStringLiteral("15|1"), sep));
    QCOMPARE(w.exits, 0);

    w.leave();
    QVERIFY(w.other->hasFocus());
    QCOMPARE(w.edit->text(), WithSeparator(QStringLiteral("15|100"), sep));
    QCOMPARE(w.exits, 1);
}

void TestFloatEdit::escapeRestoresTheValueOnEntry()
{
    QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
    EditWindow w;
    QVERIFY(w.showWithFocus());
    QTest::keyClicks(w.edit, QStringLiteral("42,5"));
    QCOMPARE(w.edit->text(), QStringLiteral("42,5"));
    QTest::keyClick(w.edit, Qt::Key_Escape);
    QCOMPARE(w.edit->text(), QStringLiteral("15,000"));
    QCOMPARE(w.edit->selectedText(), QStringLiteral("15,000"));
    QVERIFY(w.edit->hasFocus());

    // The value on entry is renewed on every entry.
    w.leave();
    w.edit->SetValue(20);
    w.edit->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(w.edit, QStringLiteral("3"));
    QTest::keyClick(w.edit, Qt::Key_Escape);
    QCOMPARE(w.edit->text(), QStringLiteral("20,000"));
}

void TestFloatEdit::focusEnterSelectsAllUnlessClicked()
{
    EditWindow w;
    int enters = 0;
    w.edit->OnEnter = [&](QObject *) { ++enters; };
    QVERIFY(w.showWithFocus());
    QCOMPARE(enters, 1);
    QCOMPARE(w.edit->selectedText(), QStringLiteral("15.000"));

    w.leave();
    QTest::mouseClick(w.edit, Qt::LeftButton, {}, QPoint(5, w.edit->height() / 2));
    QVERIFY(w.edit->hasFocus());
    QCOMPARE(enters, 2);
    QVERIFY(!w.edit->hasSelectedText());

    w.leave();
    w.edit->SetAutoSelect(false);
    w.edit->setFocus(Qt::TabFocusReason);
    QCOMPARE(enters, 3);
    QVERIFY(!w.edit->hasSelectedText());
}

void TestFloatEdit::leavingWithBadText_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("errorMessage");
    QTest::addColumn<bool>("staysInside");
    QTest::addColumn<QString>("textAfter");
    const auto row = [](const char *name, const char *pasted, const char *message, bool stays,
                        const char *after) {
        AddLocaleRows(name, [=](QTestData &data) {
            data << QString::fromLatin1(pasted) << QString::fromLatin1(message) << stays
                 << QString::fromLatin1(after);
        });
    };
    row("letters, silent", "abc", "", true, "15|000");
    row("letters, with message", "abc", "Keine Zahl", true, "15|000");
    row("out of range", "150", "Zu groß", true, "15|000");
    row("empty gives Min", "", "Keine Zahl", false, "0|000");
    row("lone minus is no number", "-", "", true, "15|000");
    row("number with exponent is reformatted", "1|5e1", "", false, "15|000");
    row("blanks are trimmed by the reformat", " 7|5 ", "", false, "7|500");
}

void TestFloatEdit::leavingWithBadText()
{
    QFETCH(QString, locale);
    QFETCH(QString, pasted);
    QFETCH(QString, errorMessage);
    QFETCH(bool, staysInside);
    QFETCH(QString, textAfter);
    QLocale::setDefault(QLocale(locale));
    EditWindow w;
    const QChar sep = w.edit->DecimalSeparator();
    w.edit->SetErrorMessage(errorMessage);
    QVERIFY(w.showWithFocus());
    QApplication::clipboard()->setText(WithSeparator(pasted, sep));
    w.edit->selectAll();
    QTest::keyClick(w.edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(w.edit->text(), WithSeparator(pasted, sep)); // pasting passes no filter

    w.leave();
    QCOMPARE(w.edit->text(), WithSeparator(textAfter, sep));
    QCOMPARE(w.edit->hasFocus(), staysInside);
    QCOMPARE(w.exits, staysInside ? 0 : 1);
    const bool shown = staysInside && !errorMessage.isEmpty();
    QCOMPARE(w.messages, shown ? QStringList{errorMessage} : QStringList{});
    if (staysInside)
        QCOMPARE(w.edit->selectedText(), w.edit->text());
}

void TestFloatEdit::spinSteps()
{
    QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
    EditWindow w;
    w.edit->SetValue(99.95L);
    w.edit->StepUp(nullptr);
    QCOMPARE(w.edit->text(), QStringLiteral("100,000"));
    QVERIFY(w.messages.isEmpty());
    w.edit->SetErrorMessage(QStringLiteral("Bereich"));
    w.edit->StepUp(nullptr);
    QCOMPARE(w.edit->text(), QStringLiteral("100,000"));
    QCOMPARE(w.messages, QStringList{QStringLiteral("Bereich")});

    w.edit->SetValue(0.05L);
    w.edit->StepDown(nullptr);
    QCOMPARE(w.edit->text(), QStringLiteral("0,000"));

    // Ten steps of 0.1 from 15 land exactly on 16.
    w.edit->SetValue(15);
    for (int i = 0; i < 10; ++i)
        QTest::keyClick(w.edit, Qt::Key_Up);
    QCOMPARE(w.edit->text(), QStringLiteral("16,000"));
    QTest::keyClick(w.edit, Qt::Key_Down);
    QCOMPARE(w.edit->text(), QStringLiteral("15,900"));
}

void TestFloatEdit::spinArrows()
{
    EditWindow w;
    QVERIFY(w.showWithFocus());
    w.leave();
    TSpinButton *spin = w.edit->SpinButton();
    QCOMPARE(spin->FocusControl(), w.edit);
    QCOMPARE(spin->UpButton()->autoRepeatDelay(), 400);
    QCOMPARE(spin->UpButton()->autoRepeatInterval(), 100);
    QCOMPARE(spin->DownButton()->autoRepeatDelay(), 400);
    QCOMPARE(spin->DownButton()->autoRepeatInterval(), 100);
    QVERIFY(spin->UpButton()->autoRepeat());

    QTest::mouseClick(spin->UpButton(), Qt::LeftButton);
    QVERIFY(w.edit->hasFocus()); // the focus came first, so Escape goes back to 15
    QCOMPARE(w.edit->text(), QStringLiteral("15.100"));
    QTest::mouseClick(spin->DownButton(), Qt::LeftButton);
    QTest::mouseClick(spin->DownButton(), Qt::LeftButton);
    QCOMPARE(w.edit->text(), QStringLiteral("14.900"));
    QTest::keyClick(w.edit, Qt::Key_Escape);
    QCOMPARE(w.edit->text(), QStringLiteral("15.000"));
}

void TestFloatEdit::readOnlyBeeps()
{
    EditWindow w;
    int beeps = 0;
    w.edit->PlayBeep = [&] { ++beeps; };
    w.edit->setReadOnly(true);
    QTest::keyClick(w.edit, Qt::Key_Up);
    QTest::keyClick(w.edit, Qt::Key_Down);
    QTest::mouseClick(w.edit->SpinButton()->UpButton(), Qt::LeftButton);
    QCOMPARE(beeps, 3);
    QCOMPARE(w.edit->text(), QStringLiteral("15.000"));
    // Typing changes nothing either, not even the lone minus.
    w.edit->selectAll();
    QTest::keyClicks(w.edit, QStringLiteral("-"));
    QTest::keyClicks(w.edit, QStringLiteral("7"));
    QCOMPARE(w.edit->text(), QStringLiteral("15.000"));
}

void TestFloatEdit::computedIncrementReplacesTheStep()
{
    EditWindow w;
    QList<bool> calls;
    w.edit->OnComputedIncrement = [&](QObject *sender, bool bIncrement) {
        QCOMPARE(sender, w.edit);
        calls.append(bIncrement);
        w.edit->SetValue(w.edit->Value() * (bIncrement ? 2 : 0.5L));
    };
    QTest::keyClick(w.edit, Qt::Key_Up);
    QTest::mouseClick(w.edit->SpinButton()->DownButton(), Qt::LeftButton);
    QTest::mouseClick(w.edit->SpinButton()->DownButton(), Qt::LeftButton);
    QCOMPARE(calls, (QList<bool>{true, false, false}));
    QCOMPARE(w.edit->text(), QStringLiteral("7.500"));
}

void TestFloatEdit::lockedEditor()
{
    EditWindow w;
    w.edit->SetEditorEnabled(false);
    QVERIFY(w.showWithFocus());
    QTest::keyClicks(w.edit, QStringLiteral("2"));
    QTest::keyClick(w.edit, Qt::Key_Backspace);
    QTest::keyClick(w.edit, Qt::Key_Delete);
    QTest::keyClick(w.edit, Qt::Key_Up); // the arrow keys do not step
    QCOMPARE(w.edit->text(), QStringLiteral("15.000"));
    QTest::mouseClick(w.edit->SpinButton()->UpButton(), Qt::LeftButton); // the arrows do
    QCOMPARE(w.edit->text(), QStringLiteral("15.100"));

    // Enter still reaches OnEnterPress: the filter runs before the lock discards the key.
    int enterPresses = 0;
    w.edit->OnEnterPress = [&](QObject *, QChar &) { ++enterPresses; };
    QTest::keyClick(w.edit, Qt::Key_Return);
    QCOMPARE(enterPresses, 1);
}

void TestFloatEdit::cutAndPasteNeedAnEditableText()
{
    struct Case
    {
        bool editorEnabled;
        bool readOnly;
        bool allowed;
    };
    for (const Case c :
         {Case{true, false, true}, Case{false, false, false}, Case{true, true, false}}) {
        EditWindow w;
        w.edit->SetEditorEnabled(c.editorEnabled);
        w.edit->setReadOnly(c.readOnly);
        QVERIFY(w.showWithFocus());

        QApplication::clipboard()->setText(QStringLiteral("42"));
        w.edit->selectAll();
        w.edit->PasteFromClipboard();
        QCOMPARE(w.edit->text(), c.allowed ? QStringLiteral("42") : QStringLiteral("15.000"));

        QApplication::clipboard()->setText(QStringLiteral("old"));
        w.edit->selectAll();
        w.edit->CutToClipboard();
        QCOMPARE(w.edit->text().isEmpty(), c.allowed);
        QCOMPARE(QApplication::clipboard()->text() != QLatin1String("old"), c.allowed);

        w.edit->SetValue(15);
        w.edit->selectAll();
        QApplication::clipboard()->setText(QStringLiteral("33"));
        QTest::keyClick(w.edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(w.edit->text(), c.allowed ? QStringLiteral("33") : QStringLiteral("15.000"));
    }
}

void TestFloatEdit::valueWhileLoading()
{
    TSpinFloatEdit edit;
    edit.SetValue(15);
    edit.BeginLoading();
    edit.SetValue(150);
    QCOMPARE(edit.text(), QStringLiteral("15.0"));
    QCOMPARE(static_cast<double>(edit.Value()), 150.0);
    edit.EndLoading();
    QCOMPARE(edit.text(), QStringLiteral("100.0"));
}

void TestFloatEdit::layout()
{
    EditWindow w;
    w.edit->setParent(nullptr);
    std::unique_ptr<TSpinFloatEdit> edit(w.edit);
    edit->resize(120, 4);
    QCOMPARE(edit->height(), edit->MinimumEditHeight());
    QFont large = edit->font();
    large.setPixelSize(30);
    edit->setFont(large);
    QVERIFY(edit->MinimumEditHeight() > 30);
    QCOMPARE(edit->height(), edit->MinimumEditHeight());
    edit->show();
    edit->resize(120, 50);
    QCOMPARE(edit->SpinButton()->geometry(), QRect(120 - 15 - 3, 2, 15, 45));
    QCOMPARE(edit->textMargins().right(), 17);
    // Each arrow takes half the strip.
    QCOMPARE(edit->SpinButton()->UpButton()->height() + edit->SpinButton()->DownButton()->height(),
             45);
}

void TestFloatEdit::screenshot()
{
    QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
    EditWindow w;
    w.edit->resize(90, 24);
    QVERIFY(w.showWithFocus());
    w.leave();
    QVERIFY(w.edit->grab().save(ShotPath(QStringLiteral("floatedit.png"))));
}

QTEST_MAIN(TestFloatEdit)
#include "tst_floatedit.moc"

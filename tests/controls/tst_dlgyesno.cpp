#include "DlgYesNo.h"
#include "ShotPath.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

class TestDlgYesNo : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void answersOfTheOpenDialog_data();
    void answersOfTheOpenDialog();
    void showModalReturnsTheAnswer();
    void focusIsKeptBetweenQuestions();
    void preparedAnswers_data();
    void preparedAnswers();
    void preparedAnswersMoveTheFocusLikeClicks();
    void captionAndLayout();
    void longQuestionWrapsInsideTheLabel();
    void wholeQuestionAndCaptionAreShown();
    void screenshot();

private:
    static void showAndActivate(TFDlgYesNo &dialog);
};

void TestDlgYesNo::initTestCase()
{
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Talvenbahn 1.7"));
}

void TestDlgYesNo::showAndActivate(TFDlgYesNo &dialog)
{
    dialog.open();
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
}

void TestDlgYesNo::answersOfTheOpenDialog_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("expected");
    QTest::newRow("Ja clicked") << "ja" << 6;
    QTest::newRow("Nein clicked") << "nein" << 2;
    QTest::newRow("Escape") << "escape" << 2;
    QTest::newRow("close box") << "close" << 2;
    QTest::newRow("Enter on the first showing") << "enter" << 6;
    QTest::newRow("Space on the first showing") << "space" << 6;
}

void TestDlgYesNo::answersOfTheOpenDialog()
{
    QFETCH(QString, action);
    QFETCH(int, expected);
    TFDlgYesNo dialog;
    int finishedWith = -1;
    connect(&dialog, &QDialog::finished, this, [&](int result) { finishedWith = result; });
    showAndActivate(dialog);
    QCOMPARE(dialog.focusWidget(), dialog.OKBtn);

    if (action == QLatin1String("ja"))
        QTest::mouseClick(dialog.OKBtn, Qt::LeftButton);
    else if (action == QLatin1String("nein"))
        QTest::mouseClick(dialog.CancelBtn, Qt::LeftButton);
    else if (action == QLatin1String("escape"))
        QTest::keyClick(&dialog, Qt::Key_Escape);
    else if (action == QLatin1String("close"))
        dialog.close();
    else if (action == QLatin1String("enter"))
        QTest::keyClick(dialog.focusWidget(), Qt::Key_Return);
    else
        QTest::keyClick(dialog.focusWidget(), Qt::Key_Space);

    QCOMPARE(finishedWith, expected);
    QCOMPARE(dialog.result(), expected);
    QVERIFY(!dialog.isVisible());
}

void TestDlgYesNo::showModalReturnsTheAnswer()
{
    // The stop question: "Nein" is made the active control and Enter is pressed at once.
    TFDlgYesNo dialog;
    dialog.Label1->setText(QStringLiteral("Alle aktuellen Laufzeiten stoppen?"));
    dialog.SetActiveControl(dialog.CancelBtn);
    QWidget *focusedWhenShown = nullptr;
    QTimer::singleShot(0, &dialog, [&] {
        focusedWhenShown = dialog.focusWidget();
        QTest::keyClick(dialog.focusWidget(), Qt::Key_Enter);
    });
    QCOMPARE(dialog.ShowModal(), 2);
    QCOMPARE(focusedWhenShown, dialog.CancelBtn);

    QTimer::singleShot(0, &dialog, [&] { QTest::mouseClick(dialog.OKBtn, Qt::LeftButton); });
    QCOMPARE(dialog.ShowModal(), 6);
}

void TestDlgYesNo::focusIsKeptBetweenQuestions()
{
    TFDlgYesNo dialog;
    QCOMPARE(dialog.ActiveControl(), dialog.OKBtn);

    dialog.SetActiveControl(dialog.CancelBtn);
    showAndActivate(dialog);
    QCOMPARE(dialog.focusWidget(), dialog.CancelBtn);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QCOMPARE(dialog.result(), 2);

    // Not chosen this time: the button focused at the last close keeps the focus.
    showAndActivate(dialog);
    QCOMPARE(dialog.focusWidget(), dialog.CancelBtn);
    QTest::keyClick(dialog.focusWidget(), Qt::Key_Backtab);
    QCOMPARE(dialog.focusWidget(), dialog.OKBtn);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QCOMPARE(dialog.ActiveControl(), dialog.OKBtn);

    showAndActivate(dialog);
    QCOMPARE(dialog.focusWidget(), dialog.OKBtn);
    QTest::keyClick(dialog.focusWidget(), Qt::Key_Return);
    QCOMPARE(dialog.result(), 6);
}

void TestDlgYesNo::preparedAnswers_data()
{
    QTest::addColumn<bool>("cancelActive");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("expected");
    QTest::newRow("Ja") << false << int(TFDlgYesNo::daYes) << 6;
    QTest::newRow("Nein") << false << int(TFDlgYesNo::daNo) << 2;
    QTest::newRow("Escape") << false << int(TFDlgYesNo::daEscape) << 2;
    QTest::newRow("close box") << false << int(TFDlgYesNo::daClose) << 2;
    QTest::newRow("Enter on Ja") << false << int(TFDlgYesNo::daEnter) << 6;
    QTest::newRow("Enter on Nein") << true << int(TFDlgYesNo::daEnter) << 2;
    QTest::newRow("Ja while Nein is active") << true << int(TFDlgYesNo::daYes) << 6;
}

void TestDlgYesNo::preparedAnswers()
{
    QFETCH(bool, cancelActive);
    QFETCH(int, answer);
    QFETCH(int, expected);
    TFDlgYesNo dialog;
    if (cancelActive)
        dialog.SetActiveControl(dialog.CancelBtn);
    dialog.Label1->setText(QStringLiteral("Beenden?"));
    dialog.PrepareAnswer(static_cast<TFDlgYesNo::TDlgAnswer>(answer));
    QCOMPARE(dialog.PreparedAnswerCount(), 1);
    QCOMPARE(dialog.ShowModal(), expected);
    QCOMPARE(dialog.PreparedAnswerCount(), 0);
    QCOMPARE(dialog.AskedQuestions(), QStringList{QStringLiteral("Beenden?")});
    QVERIFY(!dialog.isVisible());
}

void TestDlgYesNo::preparedAnswersMoveTheFocusLikeClicks()
{
    TFDlgYesNo dialog;
    dialog.PrepareAnswer(TFDlgYesNo::daNo);
    dialog.PrepareAnswer(TFDlgYesNo::daEnter);
    dialog.PrepareAnswer(TFDlgYesNo::daEscape);
    dialog.PrepareAnswer(TFDlgYesNo::daYes);
    dialog.PrepareAnswer(TFDlgYesNo::daEnter);
    const QList<int> expected{2, 2, 2, 6, 6};
    QList<int> results;
    for (int i = 0; i < expected.size(); ++i)
        results.append(dialog.ShowModal());
    QCOMPARE(results, expected);
    QCOMPARE(dialog.ActiveControl(), dialog.OKBtn);
    QCOMPARE(dialog.AskedQuestions().size(), 5);
}

void TestDlgYesNo::captionAndLayout()
{
    TFDlgYesNo dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Talvenbahn 1.7"));
    QCOMPARE(dialog.OKBtn->text(), QStringLiteral("Ja"));
    QCOMPARE(dialog.CancelBtn->text(), QStringLiteral("Nein"));
    QCOMPARE(dialog.Label1->text(), QStringLiteral("?"));
    QVERIFY(!dialog.OKBtn->isDefault());
    QVERIFY(!dialog.CancelBtn->isDefault());
    QVERIFY(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(!(dialog.windowFlags() & Qt::WindowMinMaxButtonsHint));
    // Laid out at 120 pixels per inch, shown at four fifths of that.
    QCOMPARE(dialog.size(), QSize(218, 93));
    QCOMPARE(dialog.OKBtn->geometry(), QRect(38, 59, 74, 25));
    QCOMPARE(dialog.CancelBtn->geometry(), QRect(133, 59, 74, 25));
    QCOMPARE(dialog.Label1->geometry(), QRect(39, 6, 166, 49));
    QCOMPARE(dialog.nextInFocusChain(), dialog.OKBtn);
    QCOMPARE(dialog.OKBtn->nextInFocusChain(), dialog.CancelBtn);

    const QImage icon = dialog.Icon->pixmap().toImage();
    QCOMPARE(icon.size(), QSize(32, 32));
    QCOMPARE(icon.pixelColor(0, 31).alpha(), 0); // the black background is see-through
    QCOMPARE(icon.pixelColor(16, 5), QColor(0xA8, 0xD8, 0xFF)); // the light-blue bubble
    QCOMPARE(icon.pixelColor(15, 7), QColor(0x10, 0x2C, 0x8C)); // the dark-blue question mark
}

void TestDlgYesNo::longQuestionWrapsInsideTheLabel()
{
    TFDlgYesNo dialog;
    dialog.Label1->setText(
        QStringLiteral("Alle laufenden Zeiten stoppen und ein neues Rennen mit allen Fahrern "
                       "vorbereiten?"));
    const int needed = dialog.Label1->heightForWidth(dialog.Label1->width());
    QVERIFY(needed > dialog.Label1->fontMetrics().height()); // more than one line
    QVERIFY(needed <= dialog.Label1->height());
    QCOMPARE(dialog.Label1->alignment(), Qt::AlignCenter);
}

void TestDlgYesNo::wholeQuestionAndCaptionAreShown()
{
    // The resume question of a club race with a long title: every line of it is in the label,
    // the buttons below it, everything inside the dialog, and the caption fits its title bar.
    TFDlgYesNo dialog;
    dialog.Label1->setText(
        QStringLiteral("Das Rennen \u201EKart-Clubmeisterschaft 2026 Nürburgring Nordschleife, "
                       "Lauf 3 (Nachtrennen)\u201C vom 07.12.26 13:15 wurde nicht beendet.\n"
                       "Fortsetzen?"));
    showAndActivate(dialog);
    const QRect label = dialog.Label1->geometry();
    QVERIFY2(dialog.Label1->heightForWidth(label.width()) <= label.height(),
             qPrintable(QStringLiteral("%1 px of text in a label %2 px high")
                            .arg(dialog.Label1->heightForWidth(label.width()))
                            .arg(label.height())));
    QVERIFY(dialog.rect().contains(label));
    for (const QPushButton *button : {dialog.OKBtn, dialog.CancelBtn}) {
        QVERIFY(dialog.rect().contains(button->geometry()));
        QVERIFY(button->geometry().top() > label.bottom());
    }
    QVERIFY(dialog.rect().contains(dialog.Icon->geometry()));
    QVERIFY(dialog.width() <= dialog.screen()->availableGeometry().width());
    // At least as wide as the caption in the application's own font, buttons aside.
    const int caption = QFontMetrics(QApplication::font()).horizontalAdvance(dialog.windowTitle());
    QVERIFY(dialog.grab().save(ShotPath(QStringLiteral("dlgyesno-long-question.png"))));
    dialog.reject();

    QGuiApplication::setApplicationDisplayName(
        QStringLiteral("Talvenbahn 1.7 – Kart-Clubmeisterschaft Nürburgring"));
    dialog.setWindowTitle(QGuiApplication::applicationDisplayName());
    dialog.Label1->setText(QStringLiteral("Beenden?"));
    showAndActivate(dialog);
    QVERIFY(dialog.width() >
            QFontMetrics(QApplication::font()).horizontalAdvance(dialog.windowTitle()));
    QVERIFY(dialog.width() > caption);
    dialog.reject();

    // A short question under a short caption: the dialog as drawn.
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Talvenbahn 1.7"));
    dialog.setWindowTitle(QGuiApplication::applicationDisplayName());
    showAndActivate(dialog);
    QCOMPARE(dialog.size(), QSize(218, 93));
    QCOMPARE(dialog.Label1->geometry(), QRect(39, 6, 166, 49));
    QCOMPARE(dialog.OKBtn->geometry(), QRect(38, 59, 74, 25));
    dialog.reject();
}

void TestDlgYesNo::screenshot()
{
    TFDlgYesNo dialog;
    dialog.Label1->setText(QStringLiteral("Alle aktuellen Laufzeiten stoppen?"));
    dialog.SetActiveControl(dialog.CancelBtn);
    showAndActivate(dialog);
    QVERIFY(dialog.grab().save(ShotPath(QStringLiteral("dlgyesno.png"))));
    dialog.reject();
}

QTEST_MAIN(TestDlgYesNo)
#include "tst_dlgyesno.moc"

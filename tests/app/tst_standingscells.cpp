#include "ScreenPixels.h"
#include "WindowUnderTest.h"

#include "FlEdit.h"
#include <QFontMetrics>
#include <QLineEdit>
#include <QSpinBox>
#include <QToolButton>

namespace {

constexpr int Zeit = TRaceTiming::colZeit;

struct TShownCell
{
    TAlignment alignment;
    QColor colour;
    bool bold;
    qreal pointSize;
};

TShownCell shown(TWindowUnderTest &t, int col, int row)
{
    const TCellFormat format = t.window->SortGrid1->GetCellFormat(col, row);
    const TCanvasFont &font = *format.FormatOptions.Font;
    return {format.FormatOptions.AlignmentHorz, font.Color, font.bold(), font.pointSizeF()};
}

QColor zeitColour(TWindowUnderTest &t, int car)
{
    return shown(t, Zeit, t.window->Race.RowOfCar(car)).colour;
}

const QColor kRed(0xFF, 0x00, 0x00);
const QColor kBlack(0x00, 0x00, 0x00);

// Clicks into a cell and types text, as the operator would.
void typeIntoCell(TWindowUnderTest &t, int col, int row, const QString &text)
{
    TSortGrid *grid = t.window->SortGrid1;
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                      grid->CellRect(col, row).center());
    // The first character opens the cell's editor, which takes the rest.
    for (const QChar c : text)
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
}

// A cell left out of a repaint would show stale on screen.
void compareScreenWithFreshPaint(TWindowUnderTest &t, const QByteArray &step)
{
    QVERIFY2(ScreenShowsFreshPaint(t.window->SortGrid1->viewport()), step.constData());
}

} // namespace

class TestStandingsCells : public QObject
{
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale::c()); }
    void alignments_data();
    void alignments();
    void warningColourAfterWarningTime();
    void warningTimeZeroPaintsEveryRunningTimeRed();
    void zeitWeightFollowsTheRace();
    void finishedAndStoppedCarsAreNeverOverdue();
    void wideSpeedShrinksToFit();
    void onlyNumbersAndDriversAreEditable();
    void redCellIsPaintedRed();
    void screenKeepsUpWithTheRace();
};

void TestStandingsCells::alignments_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("alignment");
    for (int c = 0; c < TRaceTiming::kStandingsColumns; ++c)
        QTest::addRow("title %d", c) << c << 0 << int(taCenter);
    QTest::newRow("Pos") << int(TRaceTiming::colPos) << 1 << int(taCenter);
    QTest::newRow("Key") << int(TRaceTiming::colKey) << 2 << int(taCenter);
    QTest::newRow("Nr.") << int(TRaceTiming::colNr) << 3 << int(taRightJustify);
    QTest::newRow("Fahrer") << int(TRaceTiming::colFahrer) << 4 << int(taLeftJustify);
    for (int c = TRaceTiming::colLaps; c < TRaceTiming::kStandingsColumns; ++c)
        QTest::addRow("data column %d", c) << c << 5 << int(taRightJustify);
}

void TestStandingsCells::alignments()
{
    QFETCH(int, col);
    QFETCH(int, row);
    QFETCH(int, alignment);
    TWindowUnderTest t;
    QCOMPARE(int(shown(t, col, row).alignment), alignment);
}

void TestStandingsCells::warningColourAfterWarningTime()
{
    TWindowUnderTest t;
    t.window->seCarCount->setValue(2);
    t.window->meTimeWarn->setText(QStringLiteral("00:05"));
    t.ClickStart();
    QCOMPARE(t.window->Session.WarnTimeMs(), 5000);
    t.Advance(4999);
    QCOMPARE(zeitColour(t, 1), kBlack);
    t.Advance(1);
    QCOMPARE(zeitColour(t, 1), kRed);
    QCOMPARE(zeitColour(t, 2), kRed);
    t.Lap(1);
    QCOMPARE(zeitColour(t, 1), kBlack); // the press turns its running time black again
    QCOMPARE(zeitColour(t, 2), kRed);
    t.Advance(5000);
    QCOMPARE(zeitColour(t, 1), kRed);
}

void TestStandingsCells::warningTimeZeroPaintsEveryRunningTimeRed()
{
    TWindowUnderTest t;
    t.window->seCarCount->setValue(3);
    t.window->meTimeWarn->setText(QStringLiteral("00:00"));
    t.ClickStart();
    for (int car = 1; car <= 3; ++car)
        QCOMPARE(zeitColour(t, car), kRed);
    t.Advance(2000);
    t.Lap(2);
    QCOMPARE(zeitColour(t, 2), kRed);
}

void TestStandingsCells::zeitWeightFollowsTheRace()
{
    TWindowUnderTest t;
    QVERIFY(shown(t, Zeit, 1).bold);
    QCOMPARE(shown(t, Zeit, 1).pointSize, 14.0);
    QVERIFY(shown(t, TRaceTiming::colLaps, 1).bold); // the grid's own bold font
    t.ClickStart();
    QVERIFY(!shown(t, Zeit, 1).bold);
    QCOMPARE(shown(t, Zeit, 1).pointSize, 14.0);
    t.Answer(TFDlgYesNo::daYes);
    t.ClickStart();
    QVERIFY(shown(t, Zeit, 1).bold);
}

void TestStandingsCells::finishedAndStoppedCarsAreNeverOverdue()
{
    TWindowUnderTest t;
    t.window->seCarCount->setValue(2);
    t.window->seKrugs->setValue(1);
    t.window->meTimeWarn->setText(QStringLiteral("00:02"));
    t.ClickStart();
    t.Advance(1000);
    t.Lap(1);
    t.Advance(5000);
    // The winner's total is no overdue car; the car still out is.
    QCOMPARE(zeitColour(t, 1), kBlack);
    QCOMPARE(zeitColour(t, 2), kRed);
    t.Answer(TFDlgYesNo::daYes);
    t.ClickStart();
    // A stopped race awaits no car: the final time and the empty cell are both black.
    QCOMPARE(zeitColour(t, 1), kBlack);
    QCOMPARE(zeitColour(t, 2), kBlack);
}

void TestStandingsCells::wideSpeedShrinksToFit()
{
    // 100 km in 1.2 s: "300000.0" is far wider than the "km/h" column; every digit stays.
    TWindowUnderTest t;
    t.window->seCarCount->setValue(1);
    t.window->feDist->SetValue(100.0);
    t.ClickStart();
    t.Advance(1200);
    t.Lap(1);
    const int row = t.window->Race.RowOfCar(1);
    QCOMPARE(t.Cell(TRaceTiming::colSpeed, row), QStringLiteral("300000.0"));
    const TCellFormat format = t.window->SortGrid1->GetCellFormat(TRaceTiming::colSpeed, row);
    const QFontMetrics metrics(*format.FormatOptions.Font);
    QVERIFY(metrics.horizontalAdvance(QStringLiteral("300000.0")) <=
            t.window->SortGrid1->ColWidths(TRaceTiming::colSpeed));
}

void TestStandingsCells::onlyNumbersAndDriversAreEditable()
{
    TWindowUnderTest t;
    typeIntoCell(t, TRaceTiming::colNr, 2, QStringLiteral("42"));
    QCOMPARE(t.Cell(TRaceTiming::colNr, 2), QStringLiteral("42"));
    typeIntoCell(t, TRaceTiming::colFahrer, 2, QStringLiteral("Ida"));
    QCOMPARE(t.Cell(TRaceTiming::colFahrer, 2), QStringLiteral("Ida"));
    for (int col : {int(TRaceTiming::colLaps), int(Zeit), int(TRaceTiming::colSpeed)}) {
        typeIntoCell(t, col, 2, QStringLiteral("7"));
        QCOMPARE(t.Cell(col, 2), QString());
    }
}

void TestStandingsCells::redCellIsPaintedRed()
{
    TWindowUnderTest t;
    t.window->seCarCount->setValue(1);
    t.window->meTimeWarn->setText(QStringLiteral("00:01"));
    t.ClickStart();
    t.Advance(8000);
    const QImage picture = t.window->SortGrid1->viewport()->grab().toImage();
    const QRect zeit = t.window->SortGrid1->CellRect(Zeit, 1);
    int redPixels = 0;
    for (int y = zeit.top(); y <= zeit.bottom(); ++y) {
        for (int x = zeit.left(); x <= zeit.right(); ++x) {
            const QColor pixel = picture.pixelColor(x, y);
            redPixels += pixel.red() > 200 && pixel.green() < 80 && pixel.blue() < 80;
        }
    }
    QVERIFY(redPixels > 20);
}

void TestStandingsCells::screenKeepsUpWithTheRace()
{
    TWindowUnderTest t;
    t.window->seCarCount->setValue(4);
    t.window->seKrugs->setValue(3);
    t.window->meTimeWarn->setText(QStringLiteral("00:02"));
    t.ClickStart();
    compareScreenWithFreshPaint(t, "start");
    t.Advance(1000);
    for (int car = 1; car <= 4; ++car) {
        t.Advance(100);
        t.Lap(car);
        compareScreenWithFreshPaint(t, QByteArray("first lap of car " + QByteArray::number(car)));
    }
    t.Advance(2500);
    compareScreenWithFreshPaint(t, "every car overdue");
    t.Lap(1);
    compareScreenWithFreshPaint(t, "the leader's press turns its time black in place");
    t.Advance(1000);
    t.Lap(1);
    compareScreenWithFreshPaint(t, "the leader finishes");
    // A finished car's time no longer changes; it takes its colour at the next lap.
    t.Advance(2500);
    t.Lap(4);
    compareScreenWithFreshPaint(t, "car 4 passes two cars, the finished leader turns red");
    // The selected row follows its car through a re-sort.
    QTest::mouseClick(t.window->SortGrid1->viewport(), Qt::LeftButton, Qt::NoModifier,
                      t.window->SortGrid1->CellRect(TRaceTiming::colNr, 4).center());
    t.Advance(100);
    t.Lap(3);
    compareScreenWithFreshPaint(t, "selected row moved");
    t.Answer(TFDlgYesNo::daYes);
    t.ClickStart();
    compareScreenWithFreshPaint(t, "stopped");
    t.ClickStart();
    compareScreenWithFreshPaint(t, "reset");
    t.Answer(TFDlgYesNo::daYes);
    QTest::mouseClick(t.window->sbNew, Qt::LeftButton);
    QCOMPARE(t.Cell(TRaceTiming::colKey, 2), QStringLiteral("F2")); // the keys back in order
    compareScreenWithFreshPaint(t, "new race");
}

QTEST_MAIN(TestStandingsCells)
#include "tst_standingscells.moc"

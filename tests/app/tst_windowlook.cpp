#include "ShotPath.h"
#include "WindowUnderTest.h"

#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QSpinBox>

namespace {

QString shotPath(const QString &name)
{
    return ShotPath(name);
}

// Pixels of a standings cell on screen that are clearly the warning red.
int redPixelsInCell(TWindowUnderTest &t, int col, int row)
{
    TSortGrid *grid = t.window->SortGrid1;
    const QImage picture = grid->viewport()->grab().toImage();
    const QRect cell = grid->CellRect(col, row);
    int red = 0;
    for (int y = cell.top(); y <= cell.bottom(); ++y) {
        for (int x = cell.left(); x <= cell.right(); ++x) {
            const QColor pixel = picture.pixelColor(x, y);
            red += pixel.red() > 200 && pixel.green() < 80 && pixel.blue() < 80;
        }
    }
    return red;
}

// The mean colour of the start button's face.
QColor startButtonFace(TWindowUnderTest &t)
{
    const QImage face = t.window->bSTART2->grab().toImage();
    qint64 sum[3] = {};
    for (int y = 0; y < face.height(); ++y) {
        for (int x = 0; x < face.width(); ++x) {
            const QColor pixel = face.pixelColor(x, y);
            sum[0] += pixel.red();
            sum[1] += pixel.green();
            sum[2] += pixel.blue();
        }
    }
    const qint64 n = qint64(face.width()) * face.height();
    return QColor(int(sum[0] / n), int(sum[1] / n), int(sum[2] / n));
}

void fillStarters(TWindowUnderTest &t)
{
    const char *const drivers[] = {"Anna Berg", "Ben Carlsson", "Cleo Dahl",  "Dirk Eriksen",
                                   "Eva Falk",  "Finn Gran",    "Greta Holm", "Hugo Isaksen"};
    for (int r = 1; r <= 8; ++r) {
        t.window->TypeIntoStandings(TRaceTiming::colNr, r, QString::number(10 + r));
        t.window->TypeIntoStandings(TRaceTiming::colFahrer, r, QString::fromLatin1(drivers[r - 1]));
    }
}

} // namespace

class TestWindowLook : public QObject
{
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void theThreeStatesShowWhatTheyMean();
};

void TestWindowLook::theThreeStatesShowWhatTheyMean()
{
    TWindowUnderTest t;
    t.window->seCarCount->setValue(8);
    t.window->seKrugs->setValue(2);
    t.window->meTimeWarn->setText(QStringLiteral("01:30"));
    fillStarters(t);
    QVERIFY(t.window->grab().save(shotPath(QStringLiteral("window_ready.png"))));
    QVERIFY(startButtonFace(t).green() > 150 && startButtonFace(t).red() < 100);
    QCOMPARE(t.Cell(TRaceTiming::colFahrer, 8), QStringLiteral("Hugo Isaksen"));

    t.ClickStart();
    // Every car but car 8 crosses the line twice; car 8 is not seen for more than 90 s.
    for (int lap = 0; lap < 2; ++lap) {
        for (int car = 1; car <= 7; ++car) {
            t.Advance(car == 1 ? 55000 : 900 + 150 * car);
            t.Lap(car);
        }
    }
    t.Advance(2000);
    const QImage running = t.window->grab().toImage();
    QVERIFY(running.save(shotPath(QStringLiteral("window_running.png"))));
    QVERIFY(startButtonFace(t).red() > 150 && startButtonFace(t).green() < 100);
    // Only car 8, unseen for longer than the warning time, shows its time in red.
    for (int car = 1; car <= 8; ++car) {
        const int red = redPixelsInCell(t, TRaceTiming::colZeit, t.window->Race.RowOfCar(car));
        QVERIFY2(car == 8 ? red > 20 : red == 0, qPrintable(QStringLiteral("car %1").arg(car)));
    }

    t.Answer(TFDlgYesNo::daYes);
    t.ClickStart();
    QVERIFY(t.window->grab().save(shotPath(QStringLiteral("window_stopped.png"))));
    // Stopped: the finished cars show their totals, and no car is overdue any more.
    const QColor face = startButtonFace(t);
    QVERIFY(face.red() < 100 && face.green() < 100);
    for (int car = 1; car <= 8; ++car)
        QCOMPARE(redPixelsInCell(t, TRaceTiming::colZeit, t.window->Race.RowOfCar(car)), 0);
    QCOMPARE(t.Cell(TRaceTiming::colZeit, t.window->Race.RowOfCar(1)).isEmpty(), false);
}

QTEST_MAIN(TestWindowLook)
#include "tst_windowlook.moc"

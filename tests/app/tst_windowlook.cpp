#include "WindowUnderTest.h"

#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QSpinBox>

namespace {

// Screenshots land next to the test's working folder, to be looked at by a person.
QString shotPath(const QString &name)
{
    const QString folder =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../screenshots"));
    QDir().mkpath(folder);
    return QDir(folder).filePath(name);
}

void fillStarters(TWindowUnderTest &t)
{
    const char *const drivers[] = {"Anna Berg", "Ben Carlsson", "Cleo Dahl",  "Dirk Eriksen",
                                   "Eva Falk",  "Finn Gran",    "Greta Holm", "Hugo Isaksen"};
    for (int r = 1; r <= 8; ++r) {
        t.window->SortGrid1->SetCells(TRaceTiming::colNr, r, QString::number(10 + r));
        t.window->SortGrid1->SetCells(TRaceTiming::colFahrer, r,
                                      QString::fromLatin1(drivers[r - 1]));
    }
}

} // namespace

class TestWindowLook : public QObject
{
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void screenshotsOfTheThreeStates();
};

void TestWindowLook::screenshotsOfTheThreeStates()
{
    TWindowUnderTest t;
    t.window->seCarCount->setValue(8);
    t.window->seKrugs->setValue(2);
    t.window->meTimeWarn->setText(QStringLiteral("01:30"));
    fillStarters(t);
    QVERIFY(t.window->grab().save(shotPath(QStringLiteral("window_ready.png"))));

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

    t.Answer(TFDlgYesNo::daYes);
    t.ClickStart();
    QVERIFY(t.window->grab().save(shotPath(QStringLiteral("window_stopped.png"))));
}

QTEST_MAIN(TestWindowLook)
#include "tst_windowlook.moc"

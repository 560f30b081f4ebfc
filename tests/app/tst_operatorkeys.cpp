#include "CorrectionDesk.h"
#include "LatestPressLine.h"
#include "PassLogModel.h"
#include "WindowUnderTest.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableView>

// The operator's keys at the finish line, sent to the window as the keyboard sends them: lap
// keys with modifiers, the keys that find and correct a slip, the standings' menu and Enter.
namespace {

constexpr int kCars = 4;

void startRace(TWindowUnderTest &t)
{
    t.window->seCarCount->setValue(kCars);
    t.window->seKrugs->setValue(20);
    for (int r = 1; r <= kCars; ++r) {
        t.window->TypeIntoStandings(TRaceTiming::colNr, r, QString::number(10 + r));
        t.window->TypeIntoStandings(TRaceTiming::colFahrer, r, QStringLiteral("Fahrer %1").arg(r));
    }
    t.ClickStart();
}

// The operator's keys, counted: each goes to whichever widget has the keyboard.
struct TKeys
{
    TWindowUnderTest &t;
    int count = 0;

    void operator()(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        ++count;
        // Headless, a closed dialog does not give the window back its activation by itself.
        if (!QApplication::activeWindow())
            QApplication::setActiveWindow(t.window.get());
        QWidget *focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : t.window.get(), Qt::Key(key), modifiers);
        QCoreApplication::processEvents();
        t.window->FlushJournal();
    }
    // Keys typed into the dialog the next key opens, once it has the keyboard.
    void inNextDialog(const QList<int> &keys)
    {
        count += int(keys.size());
        typeWhenShown(keys);
    }
    static void typeWhenShown(const QList<int> &keys)
    {
        QTimer::singleShot(10, [keys] {
            QWidget *dialog = QApplication::activeModalWidget();
            if (!dialog || !dialog->isVisible() || !dialog->focusWidget()) {
                typeWhenShown(keys);
                return;
            }
            for (const int key : keys)
                QTest::keyClick(dialog->focusWidget(), Qt::Key(key));
        });
    }
};

// Moves the clock to race time ms.
void at(TWindowUnderTest &t, quint32 ms)
{
    const quint32 now = t.ticks.GetTickCount() - t.window->Session.StartTick();
    t.Advance(ms - now);
}

QList<qint32> crossings(const TRaceTiming &race, int car)
{
    QList<qint32> times;
    for (int k = 1; k <= race.LapTable[car].Count; ++k)
        times << race.CrossTable[car].Slot[k];
    return times;
}

QString noteOf(TWindowUnderTest &t, int crossing)
{
    TPassLogModel *model = t.window->Desk->Model();
    return model
        ->data(model->index(model->RowOf(crossing), TPassLogModel::colNote), Qt::DisplayRole)
        .toString();
}

} // namespace

class TestOperatorKeys : public QObject
{
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale::c()); }
    void modifiersNeverLoseAPress();
    void everySlipInFiveKeys();
    void menuActsOnTheRightClickedCar();
    void enterConfirmsTheHeldPressFromTheStandings();
    void typingNeverRenamesADriverMidRace();
    void passLogShowsWholeNamesAndTimes();
};

void TestOperatorKeys::modifiersNeverLoseAPress()
{
    TWindowUnderTest t;
    startRace(t);
    TKeys key{t};
    at(t, 60000);
    key(Qt::Key_F1, Qt::AltModifier);
    QCOMPARE(t.window->Race.LapTable[1].Count, 1);
    // Shift: the car crossed now, even within the key lock of its last press.
    at(t, 60400);
    key(Qt::Key_F1, Qt::ShiftModifier);
    QCOMPARE(crossings(t.window->Race, 1), QList<qint32>({60000, 60400}));
    // Ctrl finds, never counts, and opens no cell.
    t.window->SortGrid1->GotoCell(TRaceTiming::colFahrer, 2, false);
    t.window->SortGrid1->setFocus();
    key(Qt::Key_F2, Qt::ControlModifier);
    QCOMPARE(t.window->Race.LapTable[2].Count, 0);
    QVERIFY(!t.window->SortGrid1->EditorMode());
}

void TestOperatorKeys::everySlipInFiveKeys()
{
    TWindowUnderTest t;
    startRace(t);
    TKeys key{t};
    for (int car = 1; car <= kCars; ++car) {
        at(t, 60000 + 700 * (car - 1));
        key(Qt::Key_F1 + car - 1);
    }

    // Car 1 crosses and F3 is pressed; car 3's own press follows.
    at(t, 120000);
    key(Qt::Key_F3);
    at(t, 122000);
    key(Qt::Key_F3);
    key.count = 0;
    key(Qt::Key_F3, Qt::ControlModifier);           // car 3's latest crossing
    key(Qt::Key_F3, Qt::ControlModifier);           // the one before: the slip
    key.inNextDialog({Qt::Key_F1, Qt::Key_Return}); // the lap key picks its car
    key(Qt::Key_M, Qt::ControlModifier);
    QCOMPARE(key.count, 5);
    QCOMPARE(crossings(t.window->Race, 1), QList<qint32>({60000, 120000}));
    QCOMPARE(crossings(t.window->Race, 3), QList<qint32>({61400, 122000}));

    // Car 2 pressed twice, 1.6 s apart: marked, and deleted in two keys.
    at(t, 120700);
    key(Qt::Key_F2);
    at(t, 122300);
    key(Qt::Key_F2);
    const int doubled = t.window->Desk->Model()->IdAt(0);
    QCOMPARE(noteOf(t, doubled), QStringLiteral("Runde zu kurz \u2013 doppelt gedrückt?"));
    key.count = 0;
    key(Qt::Key_F2, Qt::ControlModifier);
    QCOMPARE(t.window->Desk->SelectedCrossing(), doubled);
    key(Qt::Key_Delete);
    QCOMPARE(key.count, 2);
    QCOMPARE(crossings(t.window->Race, 2), QList<qint32>({60700, 120700}));

    // Car 4 crossed at 123 s unpressed; the operator notices 3 s later.
    at(t, 126000);
    key.count = 0;
    key(Qt::Key_F4, Qt::ShiftModifier);
    QCOMPARE(key.count, 1);
    QCOMPARE(crossings(t.window->Race, 4), QList<qint32>({62100, 126000}));

    // F1 pressed late for nobody.
    at(t, 150000);
    key(Qt::Key_F1);
    key.count = 0;
    key(Qt::Key_F1, Qt::ControlModifier);
    key(Qt::Key_Delete);
    QCOMPARE(key.count, 2);
    QCOMPARE(crossings(t.window->Race, 1), QList<qint32>({60000, 120000}));
}

void TestOperatorKeys::menuActsOnTheRightClickedCar()
{
    TWindowUnderTest t;
    startRace(t);
    TSortGrid *grid = t.window->SortGrid1;
    QWidget *cells = grid->viewport();
    QTest::mouseClick(cells, Qt::LeftButton, Qt::NoModifier,
                      grid->CellRect(TRaceTiming::colFahrer, t.RowOfKey("F1")).center());
    const QPoint onCar3 = grid->CellRect(TRaceTiming::colFahrer, t.RowOfKey("F3")).center();
    QTest::mouseClick(cells, Qt::RightButton, Qt::NoModifier, onCar3);
    QString title;
    QString asked;
    t.window->AskNumber = [&asked](const QString &question, int, int, int) {
        asked = question;
        return std::optional<int>(2);
    };
    QTimer::singleShot(0, [&title] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        title = menu->actions().constFirst()->text();
        for (QAction *action : menu->actions()) {
            if (action->text() == QStringLiteral("Zeitstrafe…"))
                action->trigger();
        }
        menu->close();
    });
    QContextMenuEvent click(QContextMenuEvent::Mouse, onCar3, cells->mapToGlobal(onCar3));
    QApplication::sendEvent(cells, &click);
    QCOMPARE(title, QStringLiteral("F3  Nr. 13  Fahrer 3"));
    QCOMPARE(asked, QStringLiteral("Zeitstrafe für F3  Nr. 13  Fahrer 3 in Sekunden (insgesamt):"));
    QCOMPARE(t.window->Session.Corrections().Verdict(3).penaltyMs, 2000);
    QCOMPARE(t.window->Session.Corrections().Verdict(1).penaltyMs, 0);
    QVERIFY(t.window->StatusBar1->currentMessage().startsWith(
        QStringLiteral("F3  Nr. 13  Fahrer 3: ")));
}

void TestOperatorKeys::enterConfirmsTheHeldPressFromTheStandings()
{
    TWindowUnderTest t;
    t.window->Desk->MinLapField()->setValue(30);
    startRace(t);
    TKeys key{t};
    at(t, 60000);
    key(Qt::Key_F1);
    at(t, 70000);
    key(Qt::Key_F1);
    QCOMPARE(t.window->Race.LapTable[1].Count, 1);
    t.window->SortGrid1->setFocus();
    key(Qt::Key_Return);
    QCOMPARE(crossings(t.window->Race, 1), QList<qint32>({60000, 70000}));
    QVERIFY(!t.window->SortGrid1->EditorMode());
    // With nothing held, Enter opens the cell as before.
    key(Qt::Key_Return);
    QVERIFY(t.window->SortGrid1->EditorMode());
}

void TestOperatorKeys::typingNeverRenamesADriverMidRace()
{
    TWindowUnderTest t;
    startRace(t);
    TKeys key{t};
    TSortGrid *grid = t.window->SortGrid1;
    grid->GotoCell(TRaceTiming::colFahrer, t.RowOfKey("F1"), false);
    grid->setFocus();
    key(Qt::Key_Z);
    key(Qt::Key_Z);
    QVERIFY(!grid->EditorMode());
    at(t, 60000);
    key(Qt::Key_F2);
    QCOMPARE(t.window->Session.StarterOfCar(1).second, QStringLiteral("Fahrer 1"));
    // Enter opens the cell; a lap key that moves the rows leaves the edit open on its car.
    grid->GotoCell(TRaceTiming::colFahrer, t.RowOfKey("F4"), false);
    key(Qt::Key_Return);
    QVERIFY(grid->EditorMode());
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Anna"));
    at(t, 61000);
    key(Qt::Key_F4);
    QVERIFY(grid->EditorMode());
    QCOMPARE(grid->Row(), t.RowOfKey("F4"));
    QCOMPARE(t.window->Session.StarterOfCar(4).second, QStringLiteral("Fahrer 4"));
    key(Qt::Key_Return);
    QCOMPARE(t.window->Session.StarterOfCar(4).second, QStringLiteral("Anna"));
    QCOMPARE(t.window->Session.StarterOfCar(2).second, QStringLiteral("Fahrer 2"));
}

void TestOperatorKeys::passLogShowsWholeNamesAndTimes()
{
    TWindowUnderTest t;
    const QString name = QStringLiteral("Maximilian-Alexander von Hohenberg"); // 34 characters
    t.window->TypeIntoStandings(TRaceTiming::colFahrer, 1, name);
    startRace(t);
    t.window->TypeIntoStandings(TRaceTiming::colFahrer, 1, name);
    TKeys key{t};
    at(t, 61234);
    key(Qt::Key_F1);
    {
        // At the window's own width a usual long name and the longest note are read whole.
        t.window->TypeIntoStandings(TRaceTiming::colFahrer, 2,
                                    QStringLiteral("Jörg-Alexander Öhlinger"));
        QCoreApplication::processEvents();
        QTableView *log = t.window->Desk->PassView();
        const QFontMetrics metrics = log->fontMetrics();
        QVERIFY(log->horizontalHeader()->sectionSize(TPassLogModel::colDriver) >
                metrics.horizontalAdvance(QStringLiteral("Jörg-Alexander Öhlinger")));
        QVERIFY(log->horizontalHeader()->sectionSize(TPassLogModel::colNote) >
                metrics.horizontalAdvance(QStringLiteral("Runde zu kurz – doppelt gedrückt?")));
    }
    t.window->resize(1200, t.window->height());
    QCoreApplication::processEvents();
    QTableView *log = t.window->Desk->PassView();
    QVERIFY(log->horizontalHeader()->sectionSize(TPassLogModel::colDriver) >
            log->fontMetrics().horizontalAdvance(name));
    // Narrow, the latest press gives up the name, never the key, number, lap or time.
    TLatestPressLine *line = t.window->Desk->LatestLine();
    line->resize(500, line->height());
    const QStringList shown = line->shownParts();
    QCOMPARE(shown.value(0), QStringLiteral("F1   Nr. 11"));
    QVERIFY(shown.value(1).endsWith(QStringLiteral("…")));
    QCOMPARE(shown.value(2), QStringLiteral("Runde 1   1:01.2"));
}

QTEST_MAIN(TestOperatorKeys)
#include "tst_operatorkeys.moc"

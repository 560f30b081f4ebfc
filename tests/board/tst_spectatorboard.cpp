#include "ScreenChoices.h"
#include "ScreenPixels.h"
#include "ShotPath.h"
#include "SpectatorBoard.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QVBoxLayout>

namespace {

using TCellKind = TSpectatorBoard::TCellKind;

TLiveRow row(int position, int car, const QString &driver, int laps, const QString &gap = {})
{
    TLiveRow r;
    r.position = position;
    r.car = car;
    r.startNumber = QString::number(10 + car);
    r.driver = driver;
    r.laps = laps;
    r.lastLap = QStringLiteral("1:2%1.4").arg(car % 10);
    r.bestLap = QStringLiteral("1:19.%1").arg(car % 10);
    r.gap = gap;
    return r;
}

TLiveStandings race(qint64 version, int lastCar, const QList<TLiveRow> &rows, int lapsToGo = 5)
{
    TLiveStandings s;
    s.title = QStringLiteral("Winterpokal Lauf 3");
    s.clock = QStringLiteral("12:34");
    s.clockLabel = QStringLiteral("Restzeit");
    s.state = TLiveState::lsRunning;
    s.lapsToGo = lapsToGo;
    s.version = version;
    s.lastCar = lastCar;
    s.rows = rows;
    return s;
}

// Twelve cars with names far too long for any column, and the widest texts a race gives.
TLiveStandings fullField()
{
    QList<TLiveRow> rows;
    for (int car = 1; car <= 12; ++car) {
        TLiveRow r =
            row(car, car,
                QStringLiteral("Maximilian-Alexander von Württemberg-Hohenzollern %1").arg(car),
                100 + car, QStringLiteral("59:59.999"));
        r.startNumber = QStringLiteral("999");
        r.lastLap = QStringLiteral("59:59.999");
        r.bestLap = QStringLiteral("59:59.999");
        r.finished = car % 3 == 0;
        rows << r;
    }
    TLiveStandings s = race(1, 1, rows, 999);
    s.title = QStringLiteral("Großer Preis der Talvenbahn – Winterpokal, Endlauf der Klasse B");
    s.clock = QStringLiteral("01:59:59");
    return s;
}

QStringList driversInOrder(const TSpectatorBoard &board)
{
    QStringList out;
    for (const TSpectatorBoard::TCellView &cell : board.cells()) {
        if (cell.kind == TCellKind::Driver)
            out << cell.text;
    }
    return out;
}

QString cellText(const TSpectatorBoard &board, TCellKind kind)
{
    for (const TSpectatorBoard::TCellView &cell : board.cells()) {
        if (cell.kind == kind)
            return cell.text;
    }
    return QString();
}

// How many pixels of rect have the colour, give or take tolerance in each channel.
int pixelsLike(const QImage &image, const QRect &rect, const QColor &colour, int tolerance = 16)
{
    int count = 0;
    const QRect inside = rect.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const QColor p = image.pixelColor(x, y);
            count += qAbs(p.red() - colour.red()) <= tolerance &&
                     qAbs(p.green() - colour.green()) <= tolerance &&
                     qAbs(p.blue() - colour.blue()) <= tolerance;
        }
    }
    return count;
}

int rowOfCar(const TLiveStandings &s, int car)
{
    for (int i = 0; i < s.rows.size(); ++i) {
        if (s.rows[i].car == car)
            return i;
    }
    return -1;
}

const QColor kMarkColour(255, 213, 74);

// The texts of one row of the board, left to right.
QStringList rowTexts(const TSpectatorBoard &board, int row)
{
    QStringList out;
    for (const TSpectatorBoard::TCellView &cell : board.cells()) {
        if ((cell.kind == TCellKind::Fixed || cell.kind == TCellKind::Driver) &&
            cell.rect.top() == board.geometry().rowRect(row).top())
            out << cell.text;
    }
    return out;
}

const TSpectatorBoard::TCellView *cellOf(const QList<TSpectatorBoard::TCellView> &cells,
                                         TCellKind kind)
{
    for (const TSpectatorBoard::TCellView &cell : cells) {
        if (cell.kind == kind)
            return &cell;
    }
    return nullptr;
}

} // namespace

class TestSpectatorBoard : public QObject
{
    Q_OBJECT
private slots:
    void textsFollowTheSnapshots();
    void lastCarIsMarkedForAMoment();
    void sameSnapshotTwiceDoesNotMarkAgain();
    void repaintsLeaveNothingStale();
    void finalResultsShowTheFlag();
    void verdictsLapsBehindAndKeysTellTheCarsApart();
    void theClockSaysWhatItCounts();
    void namesTakeTheFreeWidth_data();
    void namesTakeTheFreeWidth();
    void everyTextFits_data();
    void everyTextFits();
    void layoutOnlyWhenRowsChangeOrTextsOutgrow();
    void absurdTextsStayInsideTheWindow();
    void neverTakesTheFocus();
    void keysGoToTheWindowAndEscapeLeavesFullScreen();
    void screenChoicesListEveryScreen();
};

void TestSpectatorBoard::textsFollowTheSnapshots()
{
    TSpectatorBoard board;
    board.Show(race(1, 0, {row(0, 1, "Anna", 0), row(0, 2, "Ben", 0), row(0, 3, "Cleo", 0)}, 5));
    QCOMPARE(driversInOrder(board), QStringList({"Anna", "Ben", "Cleo"}));
    QCOMPARE(cellText(board, TCellKind::Progress), QStringLiteral("Noch 5 Runden"));
    QCOMPARE(cellText(board, TCellKind::Title), QStringLiteral("Winterpokal Lauf 3"));

    // Cleo takes the lead: the rows follow the order of the snapshot.
    board.Show(
        race(2, 3, {row(1, 3, "Cleo", 4), row(2, 1, "Anna", 4, "0:01.2"), row(0, 2, "Ben", 0)}, 1));
    QCOMPARE(driversInOrder(board), QStringList({"Cleo", "Anna", "Ben"}));
    QCOMPARE(cellText(board, TCellKind::Progress), QStringLiteral("Letzte Runde"));
    // A race day's heat stands before the progress.
    TLiveStandings heat = race(2, 3, {row(1, 3, "Cleo", 4)}, 1);
    heat.heat = QStringLiteral("Klasse A · Vorlauf 1 · Lauf 2");
    board.Show(heat);
    QCOMPARE(cellText(board, TCellKind::Progress),
             QStringLiteral("Klasse A · Vorlauf 1 · Lauf 2 – Letzte Runde"));
    board.Show(
        race(2, 3, {row(1, 3, "Cleo", 4), row(2, 1, "Anna", 4, "0:01.2"), row(0, 2, "Ben", 0)}, 1));
    const QList<TSpectatorBoard::TCellView> cells = board.cells();
    QStringList secondRow;
    for (const TSpectatorBoard::TCellView &cell : cells) {
        if ((cell.kind == TCellKind::Fixed || cell.kind == TCellKind::Driver) &&
            cell.rect.top() == board.geometry().rowRect(1).top())
            secondRow << cell.text;
    }
    QCOMPARE(secondRow, QStringList({"2.", "11", "Anna", "4", "1:21.4", "1:19.1", "0:01.2"}));
    QVERIFY(secondRow.size() == 7);
    QVERIFY(cells.last().text.isEmpty()); // the leader's gap stays empty

    TLiveStandings finished = race(3, 3, {row(1, 3, "Cleo", 5)}, 0);
    board.Show(finished);
    QCOMPARE(driversInOrder(board), QStringList({"Cleo"}));
    QCOMPARE(cellText(board, TCellKind::Progress), QStringLiteral("Ziel"));
}

void TestSpectatorBoard::lastCarIsMarkedForAMoment()
{
    TSpectatorBoard board;
    board.setMarkDuration(100);
    board.resize(800, 600);
    board.show();
    QVERIFY(QTest::qWaitForWindowExposed(&board));

    // The first snapshot only says who crossed before the board was opened.
    board.Show(race(7, 2, {row(1, 1, "Anna", 3), row(2, 2, "Ben", 3)}));
    QCOMPARE(board.markedCar(), 0);

    const TLiveStandings pressed = race(8, 2, {row(1, 2, "Ben", 4), row(2, 1, "Anna", 3)});
    board.Show(pressed);
    QCOMPARE(board.markedCar(), 2);
    const QRect markedRow = board.geometry().rowRect(rowOfCar(pressed, 2));
    const QRect otherRow = board.geometry().rowRect(rowOfCar(pressed, 1));
    QImage screen = PixelsOnScreen(&board);
    QVERIFY(pixelsLike(screen, markedRow, kMarkColour) >
            markedRow.width() * markedRow.height() / 2);
    QCOMPARE(pixelsLike(screen, otherRow, kMarkColour), 0);

    QTRY_COMPARE(board.markedCar(), 0);
    screen = PixelsOnScreen(&board);
    QCOMPARE(pixelsLike(screen, markedRow, kMarkColour), 0);

    // The next press marks the next car; a new race counts its versions from the start again.
    board.Show(race(9, 1, {row(1, 2, "Ben", 4), row(2, 1, "Anna", 4)}));
    QCOMPARE(board.markedCar(), 1);
    board.Show(race(0, 0, {row(0, 1, "Anna", 0), row(0, 2, "Ben", 0)}));
    QTRY_COMPARE(board.markedCar(), 0);
    board.Show(race(1, 2, {row(1, 2, "Ben", 1), row(0, 1, "Anna", 0)}));
    QCOMPARE(board.markedCar(), 2);
}

void TestSpectatorBoard::sameSnapshotTwiceDoesNotMarkAgain()
{
    TSpectatorBoard board;
    board.setMarkDuration(50);
    board.Show(race(1, 0, {row(0, 1, "Anna", 0)}));
    const TLiveStandings pressed = race(2, 1, {row(1, 1, "Anna", 1)});
    board.Show(pressed);
    QCOMPARE(board.markedCar(), 1);
    QTRY_COMPARE(board.markedCar(), 0);
    board.Show(pressed); // the window shows the same snapshot again, e.g. after a resize
    QCOMPARE(board.markedCar(), 0);
    QTest::qWait(80);
    QCOMPARE(board.markedCar(), 0);
}

void TestSpectatorBoard::repaintsLeaveNothingStale()
{
    // Show() repaints only what changed; the screen must still end up as a full paint would.
    TSpectatorBoard board;
    board.setMarkDuration(30);
    board.resize(1024, 700);
    board.show();
    QVERIFY(QTest::qWaitForWindowExposed(&board));
    QList<TLiveRow> rows;
    for (int car = 1; car <= 6; ++car)
        rows << row(0, car, QStringLiteral("Fahrer %1").arg(car), 0);
    board.Show(race(1, 0, rows, 6));
    for (int press = 0; press < 8; ++press) {
        rows.move(rows.size() - 1, 0); // the last car overtakes the whole field
        for (int i = 0; i < rows.size(); ++i) {
            rows[i].position = i + 1;
            rows[i].laps = press + 1;
            rows[i].overdue = i == 3;
            rows[i].gap = i == 0 ? QString() : QStringLiteral("0:0%1.0").arg(i);
        }
        TLiveStandings s = race(2 + press, rows[0].car, rows, 6 - press);
        s.clock = QStringLiteral("0%1:00").arg(press);
        board.Show(s);
        QVERIFY2(ScreenShowsFreshPaint(&board), qPrintable(QStringLiteral("press %1").arg(press)));
    }
    QTRY_COMPARE(board.markedCar(), 0);
    QVERIFY(ScreenShowsFreshPaint(&board));
}

void TestSpectatorBoard::finalResultsShowTheFlag()
{
    TSpectatorBoard board;
    board.resize(1280, 720);
    board.show();
    QVERIFY(QTest::qWaitForWindowExposed(&board));
    TLiveStandings s = race(5, 1, {row(1, 1, "Anna", 5), row(2, 2, "Ben", 5, "0:03.1")}, 0);
    board.Show(s);
    const QRect flag = board.geometry().flagRect;
    // Pure black appears nowhere on the board but in the flag's squares.
    QImage screen = PixelsOnScreen(&board);
    QCOMPARE(pixelsLike(screen, flag, Qt::black, 2), 0);
    QVERIFY(!board.showsFlag());

    s.state = TLiveState::lsEnded;
    s.version = 6;
    board.Show(s);
    QVERIFY(board.showsFlag());
    QCOMPARE(cellText(board, TCellKind::Progress), QStringLiteral("Endergebnis"));
    screen = PixelsOnScreen(&board);
    const int area = flag.width() * flag.height();
    // Both colours of the pattern, each a fair share of the flag.
    QVERIFY(pixelsLike(screen, flag, Qt::white, 2) > area / 5);
    QVERIFY(pixelsLike(screen, flag, Qt::black, 2) > area / 5);
    // The heading moved right of the flag: nothing of it lies on the flag.
    for (const TSpectatorBoard::TCellView &cell : board.cells()) {
        if (cell.kind == TCellKind::Progress)
            QVERIFY(!cell.rect.intersects(flag));
    }
    screen.save(ShotPath(QStringLiteral("board-final.png")));
}

void TestSpectatorBoard::verdictsLapsBehindAndKeysTellTheCarsApart()
{
    TSpectatorBoard board;
    board.resize(1280, 720);
    board.show();
    QVERIFY(QTest::qWaitForWindowExposed(&board));
    TLiveRow winner = row(1, 1, "Anna", 5);
    winner.finished = true;
    // Its time gap compares only the second lap, which both drove.
    TLiveRow lapped = row(2, 2, "Ben", 2, "0:02.9");
    lapped.finished = true;
    lapped.lapsBehind = 3;
    TLiveRow oneDown = row(3, 4, "Dora", 4, "0:05.0");
    oneDown.finished = true;
    oneDown.lapsBehind = 1;
    TLiveRow retired = row(0, 3, "Cleo", 3, "0:01.0");
    retired.finished = true;
    retired.status = QStringLiteral("DNF");
    retired.lapsBehind = 2;
    TLiveRow disqualified = row(0, 5, QString(), 5);
    disqualified.startNumber.clear();
    disqualified.finished = true;
    disqualified.status = QStringLiteral("DSQ");
    TLiveRow unnamed = row(0, 6, QString(), 0);
    unnamed.startNumber = QStringLiteral("  ");
    TLiveStandings s = race(9, 1, {winner, lapped, oneDown, retired, disqualified, unnamed}, 0);
    s.state = TLiveState::lsEnded;
    board.Show(s);

    QCOMPARE(rowTexts(board, 1),
             QStringList({"2.", "12", "Ben", "2", "1:22.4", "1:19.2", "+3 Runden"}));
    QCOMPARE(rowTexts(board, 2).last(), QStringLiteral("+1 Runde"));
    QCOMPARE(rowTexts(board, 3).first(), QStringLiteral("DNF"));
    QCOMPARE(rowTexts(board, 4).mid(0, 3), QStringList({"DSQ", "F5", ""}));
    QCOMPARE(rowTexts(board, 5).mid(0, 3), QStringList({"–", "F6", ""}));

    // The flag only for the cars in the finish; pure black appears nowhere else.
    const QImage screen = PixelsOnScreen(&board);
    const auto flagPixels = [&](int row) {
        return pixelsLike(screen, board.geometry().cellRect(row, TBoardColumn::Marker), Qt::black,
                          2);
    };
    for (int finished : {0, 1, 2})
        QVERIFY2(flagPixels(finished) > 0, qPrintable(QString::number(finished)));
    for (int out : {3, 4, 5})
        QVERIFY2(flagPixels(out) == 0, qPrintable(QString::number(out)));
    // Every text whole, also the widened gap and place.
    for (const TSpectatorBoard::TCellView &cell : board.cells()) {
        QVERIFY(QFontMetrics(cell.font).horizontalAdvance(cell.shown) <= cell.rect.width());
        if (cell.kind == TCellKind::Fixed)
            QCOMPARE(cell.shown, cell.text);
    }
    screen.save(ShotPath(QStringLiteral("board-verdicts.png")));
}

void TestSpectatorBoard::theClockSaysWhatItCounts()
{
    TSpectatorBoard board;
    board.resize(1280, 720);
    TLiveStandings s = race(1, 0, {row(0, 1, "Anna", 0)});
    s.clockLabel.clear();
    board.Show(s);
    QList<TSpectatorBoard::TCellView> cells = board.cells();
    QVERIFY(!cellOf(cells, TCellKind::ClockLabel));
    const QString titleShown = cellOf(cells, TCellKind::Title)->shown;

    s.clockLabel = QStringLiteral("Restzeit");
    board.Show(s);
    cells = board.cells();
    const TSpectatorBoard::TCellView *label = cellOf(cells, TCellKind::ClockLabel);
    QVERIFY(label);
    QCOMPARE(label->shown, QStringLiteral("Restzeit"));
    // Right under the clock, smaller than it, and the title loses nothing to it.
    const TSpectatorBoard::TCellView *clock = cellOf(cells, TCellKind::Clock);
    QVERIFY(label->rect.top() > clock->rect.bottom());
    QVERIFY(qAbs(label->rect.right() - clock->rect.right()) <= board.geometry().padding);
    QVERIFY(label->font.pixelSize() < clock->font.pixelSize());
    QCOMPARE(cellOf(cells, TCellKind::Title)->shown, titleShown);
    QVERIFY(!label->rect.intersects(cellOf(cells, TCellKind::Progress)->rect));
}

void TestSpectatorBoard::namesTakeTheFreeWidth_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("1280x1024") << QSize(1280, 1024);
    QTest::newRow("1024x768") << QSize(1024, 768);
    QTest::newRow("1920x1080") << QSize(1920, 1080);
}

void TestSpectatorBoard::namesTakeTheFreeWidth()
{
    // Twelve cars as a race shows them: short numbers, lap times of a minute, tenths.
    QFETCH(QSize, size);
    const QString name = QStringLiteral("Maximilian Oberhuber");
    QList<TLiveRow> rows;
    for (int car = 1; car <= 12; ++car)
        rows << row(car, car, name, 12,
                    car == 1 ? QString() : QStringLiteral("0:0%1.7").arg(car % 10));
    TSpectatorBoard board;
    board.resize(size);
    board.Show(race(30, 1, rows));
    for (const TSpectatorBoard::TCellView &cell : board.cells()) {
        if (cell.kind == TCellKind::Driver)
            QCOMPARE(cell.shown, name);
    }
    // Still twelve rows in large type.
    const TBoardGeometry &g = board.geometry();
    QVERIFY(g.rowHeight * 12 > size.height() * 6 / 10);
    QVERIFY(g.rowFont.pixelSize() >= g.rowHeight / 2);
    board.grab().save(
        ShotPath(QStringLiteral("board-names-%1x%2.png").arg(size.width()).arg(size.height())));
}

void TestSpectatorBoard::everyTextFits_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("1920x1080") << QSize(1920, 1080);
    QTest::newRow("1280x720") << QSize(1280, 720);
    QTest::newRow("800x600") << QSize(800, 600);
}

void TestSpectatorBoard::everyTextFits()
{
    QFETCH(QSize, size);
    TSpectatorBoard board;
    board.resize(size);
    board.Show(fullField());
    QCOMPARE(board.size(), size);

    const QRect window(QPoint(0, 0), size);
    const QList<TSpectatorBoard::TCellView> cells = board.cells();
    for (const TSpectatorBoard::TCellView &cell : cells) {
        const QFontMetrics metrics(cell.font);
        const QString what =
            cell.text + QStringLiteral(" in ") + QString::number(cell.rect.width());
        QVERIFY2(metrics.horizontalAdvance(cell.shown) <= cell.rect.width(), qPrintable(what));
        QVERIFY2(metrics.height() <= cell.rect.height(), qPrintable(what));
        QVERIFY2(window.contains(cell.rect), qPrintable(what));
        if (cell.kind == TCellKind::Driver || cell.kind == TCellKind::Title) {
            QVERIFY2(cell.shown.endsWith(QChar(0x2026)), qPrintable(cell.shown));
            QVERIFY(cell.shown.size() > 4); // still readable, not just the ellipsis
        } else {
            QCOMPARE(cell.shown, cell.text);
        }
    }
    // No two texts share any room.
    for (int i = 0; i < cells.size(); ++i) {
        for (int j = i + 1; j < cells.size(); ++j)
            QVERIFY2(!cells[i].rect.intersects(cells[j].rect),
                     qPrintable(cells[i].text + QStringLiteral(" / ") + cells[j].text));
    }
    // The type fills the screen: the twelve rows take most of its height.
    const TBoardGeometry &g = board.geometry();
    QVERIFY(g.rowHeight * 12 > size.height() * 6 / 10);
    QVERIFY(g.rowFont.pixelSize() >= g.rowHeight / 2);

    board.grab().save(
        ShotPath(QStringLiteral("board-%1x%2.png").arg(size.width()).arg(size.height())));
}

void TestSpectatorBoard::layoutOnlyWhenRowsChangeOrTextsOutgrow()
{
    TSpectatorBoard board;
    board.resize(1280, 720);
    board.Show(race(1, 0, {row(0, 1, "Anna", 0), row(0, 2, "Ben", 0)}));
    const int layouts = board.layoutCount();
    for (int v = 2; v < 20; ++v)
        board.Show(race(v, 1 + v % 2, {row(1, 1 + v % 2, "Anna", v), row(2, 2 - v % 2, "Ben", v)}));
    QCOMPARE(board.layoutCount(), layouts);

    board.Show(race(30, 1, {row(1, 1, "Anna", 30), row(2, 2, "Ben", 29), row(0, 3, "Cleo", 0)}));
    QCOMPARE(board.layoutCount(), layouts + 1);

    // A gap of whole laps is wider than any time: its column grows instead of cutting it.
    board.Show(race(31, 1,
                    {row(1, 1, "Anna", 31), row(2, 2, "Ben", 29, QStringLiteral("+2 Runden")),
                     row(0, 3, "Cleo", 0)}));
    QCOMPARE(board.layoutCount(), layouts + 2);
    for (const TSpectatorBoard::TCellView &cell : board.cells()) {
        QVERIFY(QFontMetrics(cell.font).horizontalAdvance(cell.shown) <= cell.rect.width());
        if (cell.kind == TCellKind::Fixed)
            QCOMPARE(cell.shown, cell.text);
    }
}

void TestSpectatorBoard::absurdTextsStayInsideTheWindow()
{
    // A starter list may put anything into the number field, and a clock may read oddly.
    TLiveStandings s = fullField();
    s.rows[4].startNumber = QStringLiteral("Startnummer-wird-nachgereicht-vom-Veranstalter");
    s.rows[5].gap = QString(60, QChar('W'));
    s.clock = QStringLiteral("Unterbrechung wegen Regen");
    TSpectatorBoard board;
    board.resize(800, 600);
    board.Show(s);
    const QRect window(0, 0, 800, 600);
    for (const TSpectatorBoard::TCellView &cell : board.cells()) {
        const QString what = cell.text + QStringLiteral(" / ") + cell.shown;
        QVERIFY2(QFontMetrics(cell.font).horizontalAdvance(cell.shown) <= cell.rect.width(),
                 qPrintable(what));
        QVERIFY2(window.contains(cell.rect), qPrintable(what));
    }
    QVERIFY(board.geometry().rowFont.pixelSize() >= 12); // the rest of the board stays legible
    // Showing the same again lays nothing out afresh.
    const int layouts = board.layoutCount();
    s.version += 1;
    board.Show(s);
    QCOMPARE(board.layoutCount(), layouts);
}

void TestSpectatorBoard::neverTakesTheFocus()
{
    QWidget operatorWindow;
    auto *edit = new QLineEdit(&operatorWindow);
    (new QVBoxLayout(&operatorWindow))->addWidget(edit);
    operatorWindow.show();
    QApplication::setActiveWindow(&operatorWindow);
    edit->setFocus();
    QVERIFY(QTest::qWaitForWindowActive(&operatorWindow));
    QCOMPARE(QApplication::focusWidget(), edit);

    TSpectatorBoard board;
    QCOMPARE(board.focusPolicy(), Qt::NoFocus);
    QVERIFY(board.windowFlags() & Qt::WindowDoesNotAcceptFocus);
    board.Show(race(1, 0, {row(0, 1, "Anna", 0)}));
    board.show();
    QVERIFY(QTest::qWaitForWindowExposed(&board));
    QTest::qWait(50);
    QCOMPARE(QApplication::activeWindow(), &operatorWindow);
    QCOMPARE(QApplication::focusWidget(), edit);

    board.hide();
    board.ShowOnScreen(QGuiApplication::primaryScreen());
    QVERIFY(QTest::qWaitForWindowExposed(&board));
    QTest::qWait(50);
    QVERIFY(board.isFullScreen());
    QCOMPARE(QApplication::activeWindow(), &operatorWindow);
    QCOMPARE(QApplication::focusWidget(), edit);

    board.Show(race(2, 1, {row(1, 1, "Anna", 1)}));
    QCOMPARE(QApplication::focusWidget(), edit);
    // Nothing that needs the keys takes the board out of full screen.
    QTest::mouseDClick(&board, Qt::LeftButton, {}, QPoint(100, 100));
    QVERIFY(!board.isFullScreen());
    QCOMPARE(QApplication::activeWindow(), &operatorWindow);
}

void TestSpectatorBoard::keysGoToTheWindowAndEscapeLeavesFullScreen()
{
    TSpectatorBoard board;
    QList<int> keys;
    board.OnKey = [&keys](QKeyEvent *event) { keys << event->key(); };
    board.ShowOnScreen(nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(&board));
    QVERIFY(board.isFullScreen());
    QCOMPARE(board.geometry().rowHeight > 0, true);

    QTest::keyClick(&board, Qt::Key_F3);
    QTest::keyClick(&board, Qt::Key_F12);
    QCOMPARE(keys, QList<int>({Qt::Key_F3, Qt::Key_F12}));

    QTest::keyClick(&board, Qt::Key_Escape);
    QVERIFY(!board.isFullScreen());
    QVERIFY(board.isVisible());
    QCOMPARE(keys.size(), 2);
    // Outside full screen Escape is an ordinary key for the window.
    QTest::keyClick(&board, Qt::Key_Escape);
    QCOMPARE(keys.last(), int(Qt::Key_Escape));
}

void TestSpectatorBoard::screenChoicesListEveryScreen()
{
    const QList<TScreenChoice> choices = screenChoices();
    QCOMPARE(choices.size(), QGuiApplication::screens().size());
    QCOMPARE(choices.first().screen, QGuiApplication::primaryScreen());
    QVERIFY(choices.first().label.contains(QStringLiteral("1280 × 1024")));
}

QTEST_MAIN(TestSpectatorBoard)
#include "tst_spectatorboard.moc"

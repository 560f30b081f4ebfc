// Times Ctrl+End in a sort grid of 40,000 rows: the jump from the first to the last row,
// with the scrolling that brings the last row into view and the repaint. Three runs, each from
// Ctrl+Home.
#include "TSortGrid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <cstdio>

namespace {
constexpr int kRows = 40000;
constexpr int kCols = 6;
constexpr int kRuns = 3;

double PressMillis(TSortGrid &grid, Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QElapsedTimer timer;
    timer.start();
    QApplication::sendEvent(&grid, &press);
    QApplication::sendEvent(&grid, &release);
    // The repaint that shows the new rows belongs to the jump.
    QApplication::processEvents();
    return double(timer.nsecsElapsed()) / 1e6;
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    TSortGrid grid;
    grid.ShowMessage = [](const QString &) {};
    grid.SetColCount(kCols);
    grid.SetRowCount(kRows + 1);
    for (int r = 1; r <= kRows; ++r)
        grid.SetCells(0, r, QString::number(r));
    grid.resize(600, 400);
    grid.show();
    QApplication::processEvents();
    for (int run = 1; run <= kRuns; ++run) {
        PressMillis(grid, Qt::Key_Home, Qt::ControlModifier);
        const double millis = PressMillis(grid, Qt::Key_End, Qt::ControlModifier);
        std::printf("Ctrl+End at %d rows, run %d: %.2f ms (row %d, top row %d)\n", kRows, run,
                    millis, grid.Row(), grid.TopRow());
    }
    return 0;
}

#include "ShotPath.h"
#include "TInplaceEdit.h"
#include "TSortGrid.h"

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <memory>

namespace {
constexpr QRgb kFixed = 0xffd0d0d0;
constexpr QRgb kData = 0xffffffff;

// A shown, focused grid of 6 columns and 20 rows with one fixed column and row, cells
// 50 x 20 so that the geometry is easy to reckon with.
std::unique_ptr<TMyStringGrid> ShownGrid(int width = 300, int height = 150)
{
    auto grid = std::make_unique<TMyStringGrid>();
    grid->SetScrollBars(ssNone);
    grid->SetDefaultColWidth(50);
    grid->SetDefaultRowHeight(20);
    grid->SetColCount(6);
    grid->SetRowCount(20);
    for (int r = 0; r < 20; ++r)
        for (int c = 0; c < 6; ++c)
            grid->SetCells(c, r, QStringLiteral("%1/%2").arg(c).arg(r));
    grid->setFrameShape(QFrame::NoFrame);
    grid->resize(width, height);
    grid->show();
    grid->activateWindow();
    grid->setFocus();
    if (!QTest::qWaitForWindowExposed(grid.get()))
        return nullptr;
    return grid;
}

QPoint CellCenter(TMyCustomGrid &grid, int col, int row)
{
    return grid.CellRect(col, row).center();
}
} // namespace

class TestGridView : public QObject
{
    Q_OBJECT

private slots:
    void paintsFixedAndDataCells();
    void gridLinesFollowOptions();
    void geometry();
    void hiddenColumnTakesNoRoom();
    void keyboardNavigation_data();
    void keyboardNavigation();
    void tabsWrapWithGoTabsOnly();
    void shiftExtendsRangeSelection();
    void scrollingKeepsFixedCells();
    void selectCellCanRefuse();
    void drawStatesReachOnDrawCell();
    void clickMakesCellCurrent();
    void editorCommitsAndCancels();
    void editorNeedsGoEditing();
    void editorCommitsWhenAnotherCellIsClicked();
    void columnSizingByMouse();
    void rowSizingAndMovingByMouse();
};

void TestGridView::paintsFixedAndDataCells()
{
    TSortGrid grid;
    grid.SetFixedColor(QColor(kFixed));
    grid.SetColor(QColor(kData));
    grid.SetColCount(3);
    grid.SetRowCount(4);
    grid.SetFixedCols(1);
    grid.Rows(0).Assign(QStringList{"Pos", "Fahrer", "Zeit"});
    grid.Rows(1).Assign(QStringList{"1", "Anna", "1:02,5"});
    grid.resize(260, 160);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    const QImage image = grid.viewport()->grab().toImage();
    image.save(ShotPath(QStringLiteral("gridview.png")));
    // Sample the lower right corner of each cell, clear of text and edges.
    auto sample = [&](int col, int row) {
        // The sort grid widens its last column to the window's edge and beyond.
        const QRect rect = grid.CellRect(col, row);
        return image.pixel(std::min(rect.right(), image.width() - 1) - 3, rect.bottom() - 3);
    };
    QCOMPARE(sample(0, 0), kFixed);
    QCOMPARE(sample(2, 0), kFixed);
    QCOMPARE(sample(0, 2), kFixed);
    QCOMPARE(sample(2, 2), kData);
    QCOMPARE(image.pixel(image.width() - 2, image.height() - 2), kData);
}

void TestGridView::gridLinesFollowOptions()
{
    auto grid = ShownGrid();
    QVERIFY(grid);
    const QRect data = grid->CellRect(2, 2);
    const QRect fixed = grid->CellRect(0, 2);
    auto pixelRightOf = [&](const QRect &rect) {
        return grid->viewport()->grab().toImage().pixel(rect.right() + 1, rect.center().y());
    };
    const QRgb withLines = pixelRightOf(data);
    QVERIFY(withLines != grid->Color().rgb());
    grid->SetOptions(grid->Options() & ~TGridOptions(goVertLine));
    QCOMPARE(pixelRightOf(data), grid->Color().rgb());
    QVERIFY(pixelRightOf(fixed) != grid->Color().rgb());
    grid->SetGridLineWidth(3);
    QCOMPARE(grid->CellRect(2, 2).left(), 2 * 53);
}

void TestGridView::geometry()
{
    auto grid = ShownGrid();
    QVERIFY(grid);
    // Each cell is 50 wide plus a 1-pixel line.
    QCOMPARE(grid->CellRect(0, 0), QRect(0, 0, 50, 20));
    QCOMPARE(grid->CellRect(2, 3), QRect(102, 63, 50, 20));
    QCOMPARE(grid->MouseToCell(102, 63), (TGridCoord{2, 3}));
    QCOMPARE(grid->MouseToCell(101, 62), (TGridCoord{1, 2}));
    QCOMPARE(grid->MouseToCell(-1, 5), TGridCoord());
    QCOMPARE(grid->MouseToCell(5, 1000), TGridCoord());
    // 300 px: the fixed column takes 51, then four whole columns of 51 fit.
    QCOMPARE(grid->VisibleColCount(), 4);
    // 150 px: the title takes 21, then six whole rows of 21 fit.
    QCOMPARE(grid->VisibleRowCount(), 6);
    QCOMPARE(grid->CellRect(1, 19), QRect());
    grid->SetTopRow(10);
    QCOMPARE(grid->TopRow(), 10);
    QCOMPARE(grid->CellRect(1, 10).top(), 21);
    QCOMPARE(grid->CellRect(1, 5), QRect());
    QCOMPARE(grid->MouseToCell(60, 25), (TGridCoord{1, 10}));
    // The last rows fill the window: TopRow stops where row 19 is the last visible one.
    grid->SetTopRow(19);
    QCOMPARE(grid->TopRow(), 14);
}

void TestGridView::hiddenColumnTakesNoRoom()
{
    auto grid = ShownGrid();
    QVERIFY(grid);
    grid->SetColWidths(2, -1);
    QCOMPARE(grid->CellRect(2, 1), QRect());
    QCOMPARE(grid->CellRect(3, 1).left(), 102);
    QCOMPARE(grid->MouseToCell(103, 25).X, 3);
    grid->SetCol(1);
    QTest::keyClick(grid.get(), Qt::Key_Right);
    QCOMPARE(grid->Col(), 3);
}

void TestGridView::keyboardNavigation_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    // From (2, 2).
    QTest::newRow("right") << int(Qt::Key_Right) << 0 << 3 << 2;
    QTest::newRow("left") << int(Qt::Key_Left) << 0 << 1 << 2;
    QTest::newRow("up") << int(Qt::Key_Up) << 0 << 2 << 1;
    QTest::newRow("down") << int(Qt::Key_Down) << 0 << 2 << 3;
    QTest::newRow("home") << int(Qt::Key_Home) << 0 << 1 << 2;
    QTest::newRow("end") << int(Qt::Key_End) << 0 << 5 << 2;
    QTest::newRow("ctrl+home") << int(Qt::Key_Home) << int(Qt::ControlModifier) << 1 << 1;
    QTest::newRow("ctrl+end") << int(Qt::Key_End) << int(Qt::ControlModifier) << 5 << 19;
    QTest::newRow("page down") << int(Qt::Key_PageDown) << 0 << 2 << 8;
}

void TestGridView::keyboardNavigation()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, col);
    QFETCH(int, row);
    auto grid = ShownGrid();
    QVERIFY(grid);
    grid->MoveColRow(2, 2, true, true);
    QTest::keyClick(grid.get(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(grid->Col(), col);
    QCOMPARE(grid->Row(), row);
    // The current cell never enters the fixed cells.
    QTest::keyClick(grid.get(), Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(grid.get(), Qt::Key_Left);
    QTest::keyClick(grid.get(), Qt::Key_Up);
    QCOMPARE(grid->Col(), 1);
    QCOMPARE(grid->Row(), 1);
}

void TestGridView::tabsWrapWithGoTabsOnly()
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *grid = new TMyStringGrid;
    auto *after = new QLineEdit;
    layout->addWidget(grid);
    layout->addWidget(after);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    grid->setFocus();
    grid->SetOptions(grid->Options() | goTabs);
    grid->MoveColRow(4, 1, true, true);
    QTest::keyClick(grid, Qt::Key_Tab);
    QCOMPARE(grid->Col(), 1);
    QCOMPARE(grid->Row(), 2);
    QTest::keyClick(grid, Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(grid->Col(), 4);
    QCOMPARE(grid->Row(), 1);
    QVERIFY(grid->hasFocus());
    // Without goTabs Tab leaves the grid.
    grid->SetOptions(grid->Options() & ~TGridOptions(goTabs));
    QTest::keyClick(grid, Qt::Key_Tab);
    QCOMPARE(grid->Col(), 4);
    QTRY_VERIFY(after->hasFocus());
}

void TestGridView::shiftExtendsRangeSelection()
{
    auto grid = ShownGrid();
    QVERIFY(grid);
    grid->MoveColRow(2, 2, true, true);
    QTest::keyClick(grid.get(), Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(grid.get(), Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(grid->Selection(), (TGridRect{2, 2, 3, 3}));
    QTest::keyClick(grid.get(), Qt::Key_Left);
    QCOMPARE(grid->Selection(), (TGridRect{2, 3, 2, 3}));
    grid->SetOptions(grid->Options() | goRowSelect);
    QCOMPARE(grid->Selection(), (TGridRect{1, 3, 5, 3}));
    grid->SetOptions(grid->Options() & ~TGridOptions(goRangeSelect | goRowSelect));
    QTest::keyClick(grid.get(), Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(grid->Selection(), (TGridRect{2, 4, 2, 4}));
}

void TestGridView::scrollingKeepsFixedCells()
{
    auto grid = ShownGrid();
    QVERIFY(grid);
    int topLeftChanges = 0;
    grid->OnTopLeftChanged = [&](QObject *) { ++topLeftChanges; };
    grid->MoveColRow(5, 12, true, true);
    QVERIFY(grid->TopRow() > 1);
    QVERIFY(grid->LeftCol() > 1);
    QVERIFY(topLeftChanges > 0);
    const QRect current = grid->CellRect(5, 12);
    QVERIFY(!current.isNull());
    QVERIFY(grid->viewport()->rect().contains(current));
    QCOMPARE(grid->CellRect(0, 0), QRect(0, 0, 50, 20));
    QCOMPARE(grid->CellRect(0, 12).left(), 0);
    QTest::keyClick(grid.get(), Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(grid->TopRow(), 1);
    QCOMPARE(grid->LeftCol(), 1);
}

void TestGridView::selectCellCanRefuse()
{
    auto grid = ShownGrid();
    QVERIFY(grid);
    QList<TGridCoord> asked;
    grid->OnSelectCell = [&](QObject *, int col, int row, bool &canSelect) {
        asked.append({col, row});
        canSelect = col != 3;
    };
    grid->MoveColRow(2, 2, true, true);
    QTest::keyClick(grid.get(), Qt::Key_Right);
    QCOMPARE(grid->Col(), 2);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CellCenter(*grid, 3, 4));
    QCOMPARE(grid->Col(), 2);
    QCOMPARE(grid->Row(), 2);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CellCenter(*grid, 4, 4));
    QCOMPARE(grid->Col(), 4);
    QCOMPARE(grid->Row(), 4);
    QVERIFY(asked.contains(TGridCoord{3, 2}));
}

void TestGridView::drawStatesReachOnDrawCell()
{
    auto grid = ShownGrid();
    QVERIFY(grid);
    grid->MoveColRow(2, 2, true, true);
    QTest::keyClick(grid.get(), Qt::Key_Down, Qt::ShiftModifier);
    QMap<QPair<int, int>, TGridDrawState> states;
    grid->OnDrawCell = [&](QObject *, int col, int row, const QRect &, TGridDrawState state,
                           QPainter &) {
        states[{col, row}] = state;
    };
    grid->viewport()->repaint();
    QCOMPARE(states.value({0, 0}), TGridDrawState(gdFixed));
    QCOMPARE(states.value({0, 2}), TGridDrawState(gdFixed));
    QCOMPARE(states.value({2, 2}), TGridDrawState(gdSelected));
    QCOMPARE(states.value({2, 3}), TGridDrawState(gdSelected | gdFocused));
    QCOMPARE(states.value({3, 3}), TGridDrawState());
}

void TestGridView::clickMakesCellCurrent()
{
    auto grid = ShownGrid();
    QVERIFY(grid);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CellCenter(*grid, 3, 5));
    QCOMPARE(grid->Col(), 3);
    QCOMPARE(grid->Row(), 5);
    // Fixed cells are not selectable by a click.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CellCenter(*grid, 0, 2));
    QCOMPARE(grid->Col(), 3);
    QCOMPARE(grid->Row(), 5);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ShiftModifier, CellCenter(*grid, 4, 6));
    QCOMPARE(grid->Selection(), (TGridRect{3, 5, 4, 6}));
}

void TestGridView::editorCommitsAndCancels()
{
    auto grid = ShownGrid();
    QVERIFY(grid);
    grid->SetOptions(grid->Options() | goEditing);
    grid->MoveColRow(2, 2, true, true);
    QTest::keyClick(grid.get(), Qt::Key_F2);
    QVERIFY(grid->EditorMode());
    TInplaceEdit *editor = grid->InplaceEditor();
    QVERIFY(editor->isVisible());
    QCOMPARE(editor->geometry(), grid->CellRect(2, 2));
    QCOMPARE(editor->text(), QStringLiteral("2/2"));
    editor->setText(QStringLiteral("Meier"));
    QTest::keyClick(editor, Qt::Key_Return);
    QVERIFY(!grid->EditorMode());
    QCOMPARE(grid->Cells(2, 2), QStringLiteral("Meier"));
    QVERIFY(grid->hasFocus());

    // Typing starts the editor with the typed character; Escape throws it away.
    QTest::keyClicks(grid.get(), QStringLiteral("X"));
    QVERIFY(grid->EditorMode());
    QTest::keyClicks(editor, QStringLiteral("yz"));
    QCOMPARE(editor->text(), QStringLiteral("Xyz"));
    QTest::keyClick(editor, Qt::Key_Escape);
    QCOMPARE(grid->Cells(2, 2), QStringLiteral("Meier"));

    // An arrow key leaves the cell with the text kept and moves on.
    QTest::keyClicks(grid.get(), QStringLiteral("Q"));
    QTest::keyClick(editor, Qt::Key_Down);
    QCOMPARE(grid->Cells(2, 2), QStringLiteral("Q"));
    QCOMPARE(grid->Row(), 3);
    QVERIFY(!grid->EditorMode());

    QString setText;
    grid->OnSetEditText = [&](QObject *, int, int, const QString &value) { setText = value; };
    QTest::keyClick(grid.get(), Qt::Key_Return);
    QVERIFY(grid->EditorMode());
    editor->setText(QStringLiteral("Lauda"));
    QTest::keyClick(editor, Qt::Key_Return);
    QCOMPARE(setText, QStringLiteral("Lauda"));
}

void TestGridView::editorNeedsGoEditing()
{
    auto grid = ShownGrid();
    QVERIFY(grid);
    grid->MoveColRow(2, 2, true, true);
    QTest::keyClick(grid.get(), Qt::Key_F2);
    QTest::keyClicks(grid.get(), QStringLiteral("abc"));
    QVERIFY(!grid->EditorMode());
    QCOMPARE(grid->Cells(2, 2), QStringLiteral("2/2"));
    // Switching goEditing off while editing closes the editor.
    grid->SetOptions(grid->Options() | goEditing);
    QTest::keyClick(grid.get(), Qt::Key_F2);
    QVERIFY(grid->EditorMode());
    grid->SetOptions(grid->Options() & ~TGridOptions(goEditing));
    QVERIFY(!grid->EditorMode());
    QVERIFY(!grid->InplaceEditor()->isVisible());
}

void TestGridView::editorCommitsWhenAnotherCellIsClicked()
{
    auto grid = ShownGrid();
    QVERIFY(grid);
    grid->SetOptions(grid->Options() | goEditing);
    grid->MoveColRow(1, 1, true, true);
    QTest::keyClicks(grid.get(), QStringLiteral("7"));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CellCenter(*grid, 3, 3));
    QCOMPARE(grid->Cells(1, 1), QStringLiteral("7"));
    QCOMPARE(grid->Col(), 3);
    QVERIFY(!grid->EditorMode());
    // A click on the current cell opens the editor.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CellCenter(*grid, 3, 3));
    QVERIFY(grid->EditorMode());
}

void TestGridView::columnSizingByMouse()
{
    auto grid = ShownGrid();
    QVERIFY(grid);
    const QPoint border(grid->CellRect(2, 0).right() + 1, 10);
    auto drag = [&](int dx) {
        QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, border);
        QMouseEvent move(QEvent::MouseMove, QPointF(border + QPoint(dx, 0)),
                         grid->viewport()->mapToGlobal(QPointF(border + QPoint(dx, 0))),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(grid->viewport(), &move);
        QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, border + QPoint(dx, 0));
    };
    drag(30);
    QCOMPARE(grid->ColWidths(2), 50);
    grid->SetOptions(grid->Options() | goColSizing);
    drag(30);
    QCOMPARE(grid->ColWidths(2), 80);
    // A press on a data cell's border selects instead of sizing.
    const int row = grid->Row();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      QPoint(grid->CellRect(3, 4).right() + 1, grid->CellRect(3, 4).center().y()));
    QCOMPARE(grid->ColWidths(3), 50);
    QVERIFY(grid->Row() != row);
}

void TestGridView::rowSizingAndMovingByMouse()
{
    auto grid = ShownGrid();
    QVERIFY(grid);
    auto drag = [&](const QPoint &from, const QPoint &to) {
        QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, QPointF(to), grid->viewport()->mapToGlobal(QPointF(to)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(grid->viewport(), &move);
        QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, to);
    };
    // Row sizing: the bottom edge of row 2 in the fixed column.
    const QPoint rowBorder(10, grid->CellRect(0, 2).bottom() + 1);
    drag(rowBorder, rowBorder + QPoint(0, 12));
    QCOMPARE(grid->RowHeights(2), 20);
    grid->SetOptions(grid->Options() | goRowSizing);
    drag(rowBorder, rowBorder + QPoint(0, 12));
    QCOMPARE(grid->RowHeights(2), 32);

    // Column moving: a title dragged onto another column's title.
    drag(CellCenter(*grid, 1, 0), CellCenter(*grid, 3, 0));
    QCOMPARE(grid->Cells(1, 1), QStringLiteral("1/1"));
    grid->SetOptions(grid->Options() | goColMoving);
    drag(CellCenter(*grid, 1, 0), CellCenter(*grid, 3, 0));
    QCOMPARE(grid->Rows(1).ToStringList(), (QStringList{"0/1", "2/1", "3/1", "1/1", "4/1", "5/1"}));

    // Row moving: a fixed cell dragged onto another row.
    grid->SetOptions(grid->Options() | goRowMoving);
    drag(CellCenter(*grid, 0, 4), CellCenter(*grid, 0, 1));
    QCOMPARE(grid->Cols(0).ToStringList().mid(0, 6),
             (QStringList{"0/0", "0/4", "0/1", "0/2", "0/3", "0/5"}));
}

QTEST_MAIN(TestGridView)
#include "tst_gridview.moc"

#include "ScreenPixels.h"
#include "TInplaceEdit.h"
#include "TSortGrid.h"

#include <QApplication>
#include <QListWidget>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>
#include <memory>

namespace {
constexpr int kColWidth = 60;

// Types text key by key; unlike QTest::keyClicks it takes letters beyond ASCII ("ö").
void TypeText(QWidget *widget, const QString &text)
{
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key(ch.toUpper().unicode()), QString(ch),
                            Qt::NoModifier);
}

constexpr int kRowHeight = 20;

// A shown sort grid of 4 columns and 7 rows that never pops up a message box.
struct Fixture
{
    QWidget window;
    TSortGrid *grid = nullptr;
    QStringList messages;

    Fixture()
    {
        auto *layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        grid = new TSortGrid;
        grid->ShowMessage = [this](const QString &message) { messages.append(message); };
        grid->setFrameShape(QFrame::NoFrame);
        grid->SetScrollBars(ssNone);
        grid->SetDefaultColWidth(kColWidth);
        grid->SetDefaultRowHeight(kRowHeight);
        grid->SetColCount(4);
        grid->SetRowCount(7);
        grid->Rows(0).Assign(QStringList{"Pos", "Nr.", "Fahrer", "Ort"});
        const QStringList names{"Berta", "anton", "Bodo", "Cleo", "Axel", "bernd"};
        for (int r = 1; r <= 6; ++r)
            grid->Rows(r).Assign(
                QStringList{QString::number(r), QString::number(10 + r), names.at(r - 1), "x"});
        layout->addWidget(grid);
        window.resize(4 * (kColWidth + 1), 8 * (kRowHeight + 1));
        window.show();
        grid->setFocus();
    }
    bool Ready() { return QTest::qWaitForWindowExposed(&window); }
    QPoint Center(int col, int row) { return grid->CellRect(col, row).center(); }
    void Click(int col, int row, Qt::KeyboardModifiers mods = {})
    {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, mods, Center(col, row));
    }
};
} // namespace

class TestSortGridSelection : public QObject
{
    Q_OBJECT

private slots:
    void firstLetterSearch_data();
    void firstLetterSearch();
    void typedCharacterEditsAnEditableCell();
    void rowCountChangeGoesToFirstCell();
    void rowsizeTooSmall();
    void singleSelectionFollowsEveryMove();
    void validateCell_data();
    void validateCell();
    void everyWayOutOfACellValidates_data();
    void everyWayOutOfACellValidates();
    void editCommitsSetModified();
    void autoSizeByDoubleClick_data();
    void autoSizeByDoubleClick();
    void lastColumnFill();
    void extendedKeys();
    void deletingTheOnlyDataRowEmptiesIt();
    void checkBoxAndEllipsisCells();
    void comboBoxCellPicksAnItem();
    void multiSelectByMouse();
    void rowDragStartsAfterTenPixels();
    void wheelScrollsByScrollToCell();
    void columnMoveSetsModified();
    void sortKeepsTypedTextInItsRow();
    void sortRepaintsWhatItChanged();
    void multiSelectWithShiftKeys();
    void proportionalScrollBarPage();
};

void TestSortGridSelection::firstLetterSearch_data()
{
    QTest::addColumn<int>("startRow");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("row");
    // Column 2 holds Berta, anton, Bodo, Cleo, Axel, bernd.
    QTest::newRow("next below") << 1 << "b" << 3;
    QTest::newRow("folds the typed letter only") << 3 << "b" << 6;
    QTest::newRow("wraps to the top") << 6 << "b" << 1;
    QTest::newRow("wraps onto the current row") << 4 << "c" << 4;
    QTest::newRow("small first letters match") << 1 << "a" << 2;
    QTest::newRow("nothing starts with it") << 2 << "z" << 2;
    QTest::newRow("small umlaut") << 2 << QStringLiteral("ö") << 7;
}

void TestSortGridSelection::firstLetterSearch()
{
    QFETCH(int, startRow);
    QFETCH(QString, typed);
    QFETCH(int, row);
    Fixture f;
    QVERIFY(f.Ready());
    f.grid->SetRowCount(8);
    f.grid->SetCells(2, 7, QStringLiteral("Özdemir"));
    f.grid->SortOptions()->SortCol = 2;
    f.grid->MoveColRow(0, startRow, true, true);
    TypeText(f.grid, typed);
    QCOMPARE(f.grid->Row(), row);
    // A hit, even on the current row itself, makes SortCol the current column.
    QCOMPARE(f.grid->Col(), typed == QLatin1String("z") ? 0 : 2);
    QCOMPARE(f.grid->SelectedRows(), QStringList{QString::number(row)});
}

void TestSortGridSelection::typedCharacterEditsAnEditableCell()
{
    // As in the standings: positions in column 0, start numbers and drivers editable, the
    // first-letter search on the positions.
    Fixture f;
    QVERIFY(f.Ready());
    f.grid->SetFixedCols(1);
    f.grid->SortOptions()->SortCol = 0;
    f.grid->OnSelectCell = [&f](QObject *, int col, int, bool &) {
        TGridOptions options = f.grid->Options();
        options.setFlag(goEditing, col == 1 || col == 2);
        f.grid->SetOptions(options);
    };
    f.Click(1, 4);
    QTest::keyClicks(f.grid, QStringLiteral("2"));
    QVERIFY(f.grid->EditorMode());
    QTest::keyClicks(f.grid->InplaceEditor(), QStringLiteral("7"));
    QTest::keyClick(f.grid->InplaceEditor(), Qt::Key_Return);
    QCOMPARE(f.grid->Cells(1, 4), QStringLiteral("27"));
    QCOMPARE(f.grid->Cells(1, 2), QStringLiteral("12"));
    QCOMPARE(f.grid->Row(), 4);

    f.Click(2, 5);
    QTest::keyClicks(f.grid, QStringLiteral("m"));
    QTest::keyClicks(f.grid->InplaceEditor(), QStringLiteral("ia"));
    QTest::keyClick(f.grid->InplaceEditor(), Qt::Key_Return);
    QCOMPARE(f.grid->Cells(2, 5), QStringLiteral("mia"));

    // Where the cell cannot be edited the search moves, and opens no editor where it lands.
    f.Click(3, 1);
    QTest::keyClicks(f.grid, QStringLiteral("2"));
    QCOMPARE(f.grid->Row(), 2);
    QCOMPARE(f.grid->Col(), 1);
    QVERIFY(!f.grid->EditorMode());
    QCOMPARE(f.grid->Cells(1, 2), QStringLiteral("12"));
}

void TestSortGridSelection::rowCountChangeGoesToFirstCell()
{
    Fixture f;
    QVERIFY(f.Ready());
    f.grid->MoveColRow(3, 5, true, true);
    f.grid->SetRowCount(9);
    QCOMPARE(f.grid->Col(), 0);
    QCOMPARE(f.grid->Row(), 1);
    QCOMPARE(f.grid->SelectedRows(), QStringList{"1"});
    f.grid->MoveColRow(3, 5, true, true);
    f.grid->BeginUpdate();
    f.grid->SetRowCount(8);
    QCOMPARE(f.grid->Row(), 5);
    f.grid->EndUpdate();
    // Closing the bracket reports the change, and the grid goes to the first cell then.
    QCOMPARE(f.grid->Row(), 1);
    QVERIFY(f.messages.isEmpty());
}

void TestSortGridSelection::rowsizeTooSmall()
{
    Fixture f;
    QVERIFY(f.Ready());
    QList<QPair<int, int>> changes;
    f.grid->OnSizeChanged = [&](QObject *, int oldCols, int oldRows) {
        changes.append({oldCols, oldRows});
    };
    f.grid->SetModified(false);
    f.grid->SetRowCount(1);
    QCOMPARE(f.messages, QStringList{"Rowsize too small"});
    QCOMPARE(f.grid->RowCount(), 1);
    QCOMPARE(changes, (QList<QPair<int, int>>{{4, 7}}));
    QVERIFY(f.grid->Modified());
    f.grid->SetRowCount(3);
    QCOMPARE(f.messages.size(), 1);
    // The title row is fixed again once there are data rows: never current, never edited.
    QCOMPARE(f.grid->FixedRows(), 1);
    f.grid->SetOptions(f.grid->Options() | goEditing);
    QTest::keyClick(f.grid, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(f.grid->Row(), 1);
    QTest::keyClicks(f.grid, QStringLiteral("Q"));
    QTest::keyClick(f.grid->InplaceEditor(), Qt::Key_Return);
    QCOMPARE(f.grid->Rows(0).ToStringList(), (QStringList{"Pos", "Nr.", "Fahrer", "Ort"}));
    QCOMPARE(f.grid->Cells(0, 1), QStringLiteral("Q"));
}

void TestSortGridSelection::singleSelectionFollowsEveryMove()
{
    Fixture f;
    QVERIFY(f.Ready());
    int selections = 0;
    f.grid->OnRowSelected = [&](QObject *) { ++selections; };
    QTest::keyClick(f.grid, Qt::Key_Down);
    QCOMPARE(f.grid->SelectedRows(), QStringList{"2"});
    QCOMPARE(f.grid->SelectionTrail(), QStringList{"2"});
    f.Click(1, 5);
    QCOMPARE(f.grid->SelectedRows(), QStringList{"5"});
    QCOMPARE(selections, 2);
    f.grid->GotoCell(1, 4, false);
    QCOMPARE(f.grid->SelectedRows(), QStringList{"4"});
    QCOMPARE(selections, 3);
    f.grid->OnSelectCell = [](QObject *, int, int, bool &canSelect) { canSelect = false; };
    QTest::keyClick(f.grid, Qt::Key_Down);
    f.grid->GotoCell(1, 6, false);
    QCOMPARE(f.grid->Row(), 4);
    QCOMPARE(f.grid->SelectedRows(), QStringList{"4"});
    QCOMPARE(selections, 3);
}

void TestSortGridSelection::validateCell_data()
{
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("modified");
    QTest::newRow("accepted") << true << ""
                              << "Lauda" << true;
    QTest::newRow("accepted and changed") << true << "LAUDA"
                                          << "LAUDA" << true;
    QTest::newRow("refused") << false << ""
                             << "Bodo" << false;
    QTest::newRow("refused with a replacement") << false << "Hunt"
                                                << "Hunt" << false;
}

void TestSortGridSelection::validateCell()
{
    QFETCH(bool, valid);
    QFETCH(QString, replacement);
    QFETCH(QString, expected);
    QFETCH(bool, modified);
    Fixture f;
    QVERIFY(f.Ready());
    f.grid->SetOptions(f.grid->Options() | goEditing);
    f.grid->MoveColRow(2, 3, true, true);
    f.grid->SetModified(false);
    QStringList calls;
    f.grid->OnCellValidate = [&](QObject *, int col, int row, const QString &oldValue,
                                 QString &newValue, bool &isValid) {
        calls << QStringLiteral("%1,%2 %3->%4").arg(col).arg(row).arg(oldValue, newValue);
        if (!replacement.isEmpty())
            newValue = replacement;
        isValid = valid;
    };
    QTest::keyClick(f.grid, Qt::Key_F2);
    QVERIFY(f.grid->EditorMode());
    f.grid->InplaceEditor()->setText(QStringLiteral("Lauda"));
    QTest::keyClick(f.grid->InplaceEditor(), Qt::Key_Return);
    QCOMPARE(calls, QStringList{"2,3 Bodo->Lauda"});
    QCOMPARE(f.grid->Cells(2, 3), expected);
    QCOMPARE(f.grid->Modified(), modified);
    QVERIFY(!f.grid->EditorMode());

    // An edit that ends with the text it began with asks nothing.
    QTest::keyClick(f.grid, Qt::Key_F2);
    QTest::keyClick(f.grid->InplaceEditor(), Qt::Key_Return);
    QCOMPARE(calls.size(), 1);
}

void TestSortGridSelection::everyWayOutOfACellValidates_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    // Editing (2, 3), "Bodo"; the validator refuses whatever is typed.
    QTest::newRow("arrow down") << "down" << 2 << 4;
    QTest::newRow("arrow up") << "up" << 2 << 2;
    QTest::newRow("tab") << "tab" << 3 << 3;
    QTest::newRow("shift+tab") << "backtab" << 1 << 3;
    QTest::newRow("moved by the program") << "goto" << 1 << 5;
}

void TestSortGridSelection::everyWayOutOfACellValidates()
{
    QFETCH(QString, way);
    QFETCH(int, col);
    QFETCH(int, row);
    Fixture f;
    QVERIFY(f.Ready());
    f.grid->SetOptions(f.grid->Options() | goEditing | goTabs);
    f.grid->MoveColRow(2, 3, true, true);
    f.grid->SetModified(false);
    QStringList calls;
    f.grid->OnCellValidate = [&](QObject *, int c, int r, const QString &oldValue,
                                 QString &newValue, bool &valid) {
        calls << QStringLiteral("%1,%2 %3->%4").arg(c).arg(r).arg(oldValue, newValue);
        valid = false;
    };
    QTest::keyClick(f.grid, Qt::Key_F2);
    f.grid->InplaceEditor()->setText(QStringLiteral("Lauda"));
    if (way == QLatin1String("down"))
        QTest::keyClick(f.grid->InplaceEditor(), Qt::Key_Down);
    else if (way == QLatin1String("up"))
        QTest::keyClick(f.grid->InplaceEditor(), Qt::Key_Up);
    else if (way == QLatin1String("tab"))
        QTest::keyClick(f.grid->InplaceEditor(), Qt::Key_Tab);
    else if (way == QLatin1String("backtab"))
        QTest::keyClick(f.grid->InplaceEditor(), Qt::Key_Backtab, Qt::ShiftModifier);
    else
        f.grid->GotoCell(1, 5, false);
    QCOMPARE(calls, QStringList{"2,3 Bodo->Lauda"});
    QCOMPARE(f.grid->Cells(2, 3), QStringLiteral("Bodo"));
    QVERIFY(!f.grid->Modified());
    QVERIFY(!f.grid->EditorMode());
    QCOMPARE(f.grid->Col(), col);
    QCOMPARE(f.grid->Row(), row);
}

void TestSortGridSelection::editCommitsSetModified()
{
    Fixture f;
    QVERIFY(f.Ready());
    f.grid->SetOptions(f.grid->Options() | goEditing);
    f.grid->MoveColRow(2, 2, true, true);
    f.grid->SetModified(false);
    int modifiedEvents = 0;
    f.grid->OnModified = [&](QObject *) { ++modifiedEvents; };
    QTest::keyClick(f.grid, Qt::Key_F2);
    QTest::keyClick(f.grid->InplaceEditor(), Qt::Key_Return);
    QVERIFY(!f.grid->Modified());
    QTest::keyClicks(f.grid, QStringLiteral("Q"));
    QTest::keyClick(f.grid->InplaceEditor(), Qt::Key_Down);
    QCOMPARE(f.grid->Cells(2, 2), QStringLiteral("Q"));
    QVERIFY(f.grid->Modified());
    QCOMPARE(modifiedEvents, 1);
}

void TestSortGridSelection::autoSizeByDoubleClick_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("offsetFromRightEdge");
    QTest::addColumn<int>("sized");
    QTest::newRow("on the right edge") << 2 << -2 << 2;
    QTest::newRow("just past the edge, from the next column") << 3 << 2 << 2;
    QTest::newRow("too far from the edge") << 2 << -4 << -1;
}

void TestSortGridSelection::autoSizeByDoubleClick()
{
    QFETCH(int, column);
    QFETCH(int, offsetFromRightEdge);
    QFETCH(int, sized);
    Fixture f;
    QVERIFY(f.Ready());
    f.grid->SetCells(2, 4, QStringLiteral("Maximilian von Berg"));
    const QRect title = f.grid->CellRect(2, 0);
    const QPoint at(title.left() + title.width() + offsetFromRightEdge, title.center().y());
    QCOMPARE(f.grid->MouseToCell(at.x(), at.y()).X, column);
    QTest::mouseDClick(f.grid->viewport(), Qt::LeftButton, {}, at);
    const QFontMetrics metrics(f.grid->font());
    const int expected = metrics.horizontalAdvance(QStringLiteral("Maximilian von Berg")) +
                         metrics.horizontalAdvance(u'X');
    QCOMPARE(f.grid->ColWidths(2), sized == 2 ? expected : kColWidth);
}

void TestSortGridSelection::lastColumnFill()
{
    TSortGrid grid;
    grid.setFrameShape(QFrame::NoFrame);
    grid.SetScrollBars(ssNone);
    grid.SetDefaultColWidth(50);
    grid.SetColCount(4);
    grid.SetFixedCols(1);
    grid.resize(300, 150);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    // Columns 1 and 2 (50 each) stand before the last one; the fixed column with its
    // line (51) is subtracted too, so the last column ends inside the window.
    QCOMPARE(grid.ColWidths(3), 300 - 51 - 100 - (3 + 3));
    QCOMPARE(grid.VisibleColCount(), 3);
    grid.resize(320, 150);
    QTRY_COMPARE(grid.ColWidths(3), 320 - 51 - 100 - (3 + 3));
    QCOMPARE(grid.VisibleColCount(), 3);
    // Without fixed columns the window's width is shared by the scrollable ones alone.
    grid.SetFixedCols(0);
    grid.resize(330, 150);
    QTRY_COMPARE(grid.ColWidths(3), 330 - 150 - (4 + 3));
    // Once the last column no longer shows whole, resizing leaves it alone.
    grid.SetColWidths(3, 400);
    grid.resize(310, 150);
    QTRY_COMPARE(grid.width(), 310);
    QCOMPARE(grid.ColWidths(3), 400);
}

void TestSortGridSelection::extendedKeys()
{
    Fixture f;
    QVERIFY(f.Ready());
    QStringList events;
    f.grid->OnRowInsert = [&](QObject *, int row) { events << QStringLiteral("row+ %1").arg(row); };
    f.grid->OnRowDelete = [&](QObject *, int row) { events << QStringLiteral("row- %1").arg(row); };
    f.grid->OnColumnInsert = [&](QObject *, int c) { events << QStringLiteral("col+ %1").arg(c); };
    f.grid->OnColumnDelete = [&](QObject *, int c) { events << QStringLiteral("col- %1").arg(c); };
    f.grid->MoveColRow(1, 3, true, true);
    QTest::keyClick(f.grid, Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(f.grid->RowCount(), 7);
    QVERIFY(events.isEmpty());

    f.grid->SetExtendedKeys(true);
    QTest::keyClick(f.grid, Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(f.grid->RowCount(), 8);
    QCOMPARE(f.grid->Rows(3).ToStringList(), (QStringList{"", "", "", ""}));
    QCOMPARE(f.grid->Cells(2, 4), QStringLiteral("Bodo"));
    QCOMPARE(f.grid->Row(), 3);
    QCOMPARE(f.grid->SelectedRows(), QStringList{"3"});

    // On the last row the new row comes after it.
    f.grid->MoveColRow(1, 7, true, true);
    QTest::keyClick(f.grid, Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(f.grid->Row(), 8);
    QCOMPARE(f.grid->Cells(2, 7), QStringLiteral("bernd"));

    QTest::keyClick(f.grid, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(f.grid->RowCount(), 8);

    f.grid->MoveColRow(2, 1, true, true);
    QTest::keyClick(f.grid, Qt::Key_Insert, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(f.grid->ColCount(), 5);
    QCOMPARE(f.grid->Cells(2, 0), QString());
    QCOMPARE(f.grid->Cells(3, 0), QStringLiteral("Fahrer"));
    QCOMPARE(f.grid->Col(), 2);
    QTest::keyClick(f.grid, Qt::Key_Delete, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(f.grid->ColCount(), 4);
    QCOMPARE(f.grid->Cells(2, 0), QStringLiteral("Fahrer"));
    // The deleted column left nothing behind to come back.
    f.grid->SetColCount(5);
    QCOMPARE(f.grid->Cells(4, 1), QString());
    QCOMPARE(events, (QStringList{"row+ 3", "row+ 8", "row- 8", "col+ 2", "col- 2"}));
}

void TestSortGridSelection::deletingTheOnlyDataRowEmptiesIt()
{
    Fixture f;
    QVERIFY(f.Ready());
    f.grid->SetRowCount(2);
    f.grid->SetModified(false);
    f.grid->DeleteRow(1);
    QCOMPARE(f.grid->RowCount(), 2);
    QCOMPARE(f.grid->Rows(1).ToStringList(), (QStringList{"", "", "", ""}));
    QCOMPARE(f.grid->Cells(2, 0), QStringLiteral("Fahrer"));
    QVERIFY(f.grid->Modified());
}

void TestSortGridSelection::checkBoxAndEllipsisCells()
{
    Fixture f;
    QVERIFY(f.Ready());
    f.grid->OnGetCellFormat = [](QObject *, int col, int, TGridDrawState, TFormatOptions &,
                                 bool &checkBox, bool &, bool &ellipsis) {
        checkBox = col == 3;
        ellipsis = col == 1;
    };
    QStringList events;
    f.grid->OnSetChecked = [&](QObject *, int col, int row, bool state) {
        events << QStringLiteral("checked %1,%2 %3").arg(col).arg(row).arg(state);
    };
    f.grid->OnSetEllipsis = [&](QObject *, int col, int row) {
        events << QStringLiteral("ellipsis %1,%2").arg(col).arg(row);
    };
    f.grid->SetCells(3, 2, QStringLiteral("1"));
    f.Click(3, 2);
    QCOMPARE(f.grid->Cells(3, 2), QString());
    f.Click(3, 2);
    QCOMPARE(f.grid->Cells(3, 2), QStringLiteral("V"));
    QTest::keyClick(f.grid, Qt::Key_Space);
    QCOMPARE(f.grid->Cells(3, 2), QString());
    // The ellipsis answers only in its button, the cell's rightmost 16 pixels.
    const QRect cell = f.grid->CellRect(1, 4);
    QTest::mouseClick(f.grid->viewport(), Qt::LeftButton, {}, cell.center() - QPoint(20, 0));
    QTest::mouseClick(f.grid->viewport(), Qt::LeftButton, {},
                      QPoint(cell.right() - 3, cell.center().y()));
    QCOMPARE(events,
             (QStringList{"checked 3,2 0", "checked 3,2 1", "checked 3,2 0", "ellipsis 1,4"}));
}

void TestSortGridSelection::comboBoxCellPicksAnItem()
{
    Fixture f;
    QVERIFY(f.Ready());
    f.grid->OnGetCellFormat = [](QObject *, int col, int, TGridDrawState, TFormatOptions &, bool &,
                                 bool &combobox, bool &) { combobox = col == 3; };
    f.grid->OnGetComboBox = [](QObject *, int, int, QStringList &items, int &, int &,
                               bool &sorted) {
        items = QStringList{"Wien", "Graz", "Linz"};
        sorted = true;
    };
    QString picked;
    f.grid->OnSetComboBox = [&](QObject *, int col, int row, const QString &item) {
        picked = QStringLiteral("%1,%2 %3").arg(col).arg(row).arg(item);
    };
    f.Click(3, 2);
    auto *list = f.window.findChild<QListWidget *>();
    QVERIFY(list);
    QVERIFY(list->isVisible());
    QCOMPARE(list->count(), 3);
    QCOMPARE(list->item(0)->text(), QStringLiteral("Graz"));
    QTRY_VERIFY(list->hasFocus());
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    QVERIFY(!list->isVisible());
    QCOMPARE(f.grid->Cells(3, 2), QStringLiteral("Linz"));
    QCOMPARE(picked, QStringLiteral("3,2 Linz"));
}

void TestSortGridSelection::multiSelectByMouse()
{
    Fixture f;
    QVERIFY(f.Ready());
    f.grid->SetMultiSelect(true);
    int selections = 0;
    f.grid->OnRowSelected = [&](QObject *) { ++selections; };
    f.Click(1, 2);
    QCOMPARE(f.grid->SelectedRows(), QStringList{"2"});
    f.Click(1, 4, Qt::ControlModifier);
    f.Click(1, 5, Qt::ControlModifier);
    QCOMPARE(f.grid->SelectedRows(), (QStringList{"2", "4", "5"}));
    QCOMPARE(f.grid->Row(), 5);
    f.Click(1, 4, Qt::ControlModifier);
    QCOMPARE(f.grid->SelectedRows(), (QStringList{"2", "5"}));
    QCOMPARE(f.grid->Row(), 5);
    QVERIFY(selections >= 4);
    f.Click(1, 3);
    QCOMPARE(f.grid->SelectedRows(), QStringList{"3"});
    // Sorting carries the whole selection along.
    f.grid->SortOptions()->SortDirection = sdDescending;
    f.grid->SortRows(0);
    QCOMPARE(f.grid->SelectedRows(), QStringList{"4"});
    QCOMPARE(f.grid->Row(), 4);
}

void TestSortGridSelection::rowDragStartsAfterTenPixels()
{
    Fixture f;
    QVERIFY(f.Ready());
    int drags = 0;
    f.grid->OnStartDrag = [&](QObject *) { ++drags; };
    f.grid->OnGetCellFormat = [](QObject *, int col, int, TGridDrawState, TFormatOptions &,
                                 bool &checkBox, bool &, bool &) { checkBox = col == 3; };
    f.grid->MoveColRow(3, 2, true, true);
    const QPoint start = f.Center(3, 2);
    auto moveTo = [&](const QPoint &to) {
        QMouseEvent move(QEvent::MouseMove, QPointF(to),
                         f.grid->viewport()->mapToGlobal(QPointF(to)), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(f.grid->viewport(), &move);
    };
    QTest::mousePress(f.grid->viewport(), Qt::LeftButton, {}, start);
    moveTo(start + QPoint(10, 0));
    QCOMPARE(drags, 0);
    moveTo(start + QPoint(11, 0));
    QCOMPARE(drags, 1);
    // The release ending the drag is no click: the check box stays as it was.
    QTest::mouseRelease(f.grid->viewport(), Qt::LeftButton, {}, start + QPoint(11, 0));
    QCOMPARE(f.grid->Cells(3, 2), QStringLiteral("x"));
    // A press on another row than the current one does not drag.
    QTest::mousePress(f.grid->viewport(), Qt::LeftButton, {}, f.Center(1, 5));
    QTest::mouseRelease(f.grid->viewport(), Qt::LeftButton, {}, f.Center(1, 5));
    QTest::mousePress(f.grid->viewport(), Qt::LeftButton, {}, f.Center(1, 3));
    moveTo(f.Center(1, 3) + QPoint(0, 15));
    QCOMPARE(drags, 1);
}

void TestSortGridSelection::wheelScrollsByScrollToCell()
{
    Fixture f;
    QVERIFY(f.Ready());
    f.grid->SetRowCount(40);
    f.grid->resize(f.grid->width(), 6 * (kRowHeight + 1));
    QTRY_COMPARE(f.grid->VisibleRowCount(), 5);
    auto wheel = [&](int delta) {
        QWheelEvent event(QPointF(20, 40), f.grid->viewport()->mapToGlobal(QPointF(20, 40)),
                          QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(f.grid->viewport(), &event);
    };
    wheel(-120);
    QCOMPARE(f.grid->TopRow(), 2);
    wheel(-120);
    QCOMPARE(f.grid->TopRow(), 3);
    wheel(120);
    QCOMPARE(f.grid->TopRow(), 1);
    f.grid->ScrollToCell(0, 39);
    QCOMPARE(f.grid->TopRow(), 35);
}

void TestSortGridSelection::columnMoveSetsModified()
{
    Fixture f;
    QVERIFY(f.Ready());
    f.grid->SetModified(false);
    int widthChanges = 0;
    f.grid->OnColumnWidthsChanged = [&](QObject *) { ++widthChanges; };
    f.grid->MoveColumn(0, 2);
    QVERIFY(f.grid->Modified());
    f.grid->SetColWidths(1, 33);
    QVERIFY(widthChanges >= 1);
}

void TestSortGridSelection::sortKeepsTypedTextInItsRow()
{
    Fixture f;
    QVERIFY(f.Ready());
    f.grid->SetOptions(f.grid->Options() | goEditing);
    // Current row 2 ("anton"): after a descending sort by position it is row 5.
    f.grid->MoveColRow(2, 2, true, true);
    QTest::keyClicks(f.grid, QStringLiteral("T"));
    QTest::keyClicks(f.grid->InplaceEditor(), QStringLiteral("oni"));
    QVERIFY(f.grid->EditorMode());
    f.grid->SortOptions()->SortDirection = sdDescending;
    f.grid->SortRows(0);
    QVERIFY(!f.grid->EditorMode());
    QCOMPARE(f.grid->Rows(5).ToStringList(), (QStringList{"2", "12", "Toni", "x"}));
    QCOMPARE(f.grid->Cells(2, 2), QStringLiteral("Axel"));
    QCOMPARE(f.grid->Row(), 5);
}

void TestSortGridSelection::multiSelectWithShiftKeys()
{
    Fixture f;
    QVERIFY(f.Ready());
    f.grid->SetMultiSelect(true);
    f.Click(1, 2);
    QTest::keyPress(f.grid, Qt::Key_Shift);
    QTest::keyClick(f.grid, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(f.grid, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyRelease(f.grid, Qt::Key_Shift);
    QCOMPARE(f.grid->SelectedRows(), (QStringList{"2", "3", "4"}));
    QVERIFY(!(f.grid->Options() & goRangeSelect));
    // A plain arrow afterwards selects the new row alone.
    QTest::keyClick(f.grid, Qt::Key_Down);
    QCOMPARE(f.grid->SelectedRows(), (QStringList{"5"}));
}

void TestSortGridSelection::proportionalScrollBarPage()
{
    Fixture f;
    QVERIFY(f.Ready());
    f.grid->SetScrollBars(ssVertical);
    f.grid->SetRowCount(10);
    f.grid->resize(f.grid->width(), 6 * (kRowHeight + 1));
    QTRY_COMPARE(f.grid->VisibleRowCount(), 5);
    QScrollBar *bar = f.grid->verticalScrollBar();
    QCOMPARE(bar->maximum(), 4);
    QCOMPARE(bar->pageStep(), 5);
    // (VisibleRowCount + 1) / RowCount of the range + 1: 6 / 10 * 5.
    f.grid->SetProportionalScrollBars(true);
    QCOMPARE(bar->pageStep(), 3);
}

void TestSortGridSelection::sortRepaintsWhatItChanged()
{
    Fixture f;
    QVERIFY(f.Ready());
    f.grid->SetMultiSelect(true);
    // Rows 1 and 2 are alike, so the sort leaves row 2's texts as they were; only its
    // highlight moves on with the selected row.
    const QStringList keys{"b", "b", "a", "c", "c", "c"};
    for (int r = 1; r <= 6; ++r)
        f.grid->Rows(r).Assign(QStringList{keys.at(r - 1), "11", "Berta", "x"});
    f.Click(1, 2);
    QVERIFY(ScreenShowsFreshPaint(f.grid->viewport()));

    f.grid->SortOptions()->CanSort = true;
    f.grid->SortRows(0);
    QCOMPARE(f.grid->SelectedRows(), QStringList{"3"});
    QCOMPARE(f.grid->Cells(0, 1), QStringLiteral("a"));
    QVERIFY(ScreenShowsFreshPaint(f.grid->viewport()));

    // Sorting again changes nothing; sorting by another column moves the sort arrow.
    f.grid->SortRows(0);
    f.grid->SortRows(3);
    QVERIFY(ScreenShowsFreshPaint(f.grid->viewport()));
}

QTEST_MAIN(TestSortGridSelection)
#include "tst_sortgridselection.moc"

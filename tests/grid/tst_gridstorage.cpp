#include "TMyStringGrid.h"

#include <QObject>
#include <QTest>

namespace {
// Counts the size notifications the grid base sends.
class CountingGrid : public TMyStringGrid
{
public:
    int sizeChanges = 0;
    int lastOldColCount = -1;
    int lastOldRowCount = -1;

protected:
    void SizeChanged(int OldColCount, int OldRowCount) override
    {
        ++sizeChanges;
        lastOldColCount = OldColCount;
        lastOldRowCount = OldRowCount;
        TMyStringGrid::SizeChanged(OldColCount, OldRowCount);
    }
};

QStringList RowTexts(TMyStringGrid &grid, int row)
{
    return grid.Rows(row).ToStringList();
}
} // namespace

class TestGridStorage : public QObject
{
    Q_OBJECT

private slots:
    void defaults();
    void unwrittenCellsReadEmpty();
    void loweredCountsKeepTextsBeyond();
    void countsBelowOneBecomeOne();
    void fixedCountsFollowLoweredCounts();
    void sizeTablesFollowCounts();
    void rowViewAssign_data();
    void rowViewAssign();
    void columnViewReadsAndWrites();
    void viewAssignCopiesObjects();
    void moveColumnCarriesCellsAndWidths();
    void moveRowCarriesCellsAndObjects();
    void deleteRowAndColumnShiftTheRest();
    void updateBracketDefersSizeNotification();
    void updateBracketIsNotCounted();
    void rowsAddedInsideTheBracketCanBeUsedAtOnce();
    void currentCellStaysInRange();
};

void TestGridStorage::defaults()
{
    TMyStringGrid grid;
    QCOMPARE(grid.ColCount(), 5);
    QCOMPARE(grid.RowCount(), 5);
    QCOMPARE(grid.FixedCols(), 1);
    QCOMPARE(grid.FixedRows(), 1);
    QCOMPARE(grid.DefaultColWidth(), 64);
    QCOMPARE(grid.DefaultRowHeight(), 24);
    QCOMPARE(grid.GridLineWidth(), 1);
    QCOMPARE(grid.Options(), kDefaultGridOptions);
    QCOMPARE(grid.Col(), 1);
    QCOMPARE(grid.Row(), 1);
    QVERIFY(!grid.NowUpdating());
}

void TestGridStorage::unwrittenCellsReadEmpty()
{
    TMyStringGrid grid;
    QCOMPARE(grid.Cells(3, 4), QString());
    QCOMPARE(grid.Objects(3, 4), nullptr);
    QCOMPARE(grid.Cells(1000, 1000000), QString());
    grid.SetCells(2, 2, QStringLiteral("x"));
    grid.SetCells(2, 2, QString());
    QCOMPARE(grid.Cells(2, 2), QString());
    // Writing outside the grid's coordinates is ignored rather than stored.
    grid.SetCells(-1, 0, QStringLiteral("lost"));
    QCOMPARE(grid.Cells(-1, 0), QString());
}

void TestGridStorage::loweredCountsKeepTextsBeyond()
{
    TMyStringGrid grid;
    grid.SetColCount(4);
    grid.SetRowCount(6);
    grid.SetCells(3, 5, QStringLiteral("far corner"));
    grid.SetCells(1, 4, QStringLiteral("row four"));
    QObject marker;
    grid.SetObjects(3, 5, &marker);

    grid.SetRowCount(2);
    grid.SetColCount(2);
    QCOMPARE(grid.RowCount(), 2);
    QCOMPARE(grid.ColCount(), 2);
    QCOMPARE(grid.Rows(1).Count(), 2);

    grid.SetRowCount(6);
    grid.SetColCount(4);
    QCOMPARE(grid.Cells(3, 5), QStringLiteral("far corner"));
    QCOMPARE(grid.Cells(1, 4), QStringLiteral("row four"));
    QCOMPARE(grid.Objects(3, 5), &marker);
}

void TestGridStorage::countsBelowOneBecomeOne()
{
    TMyStringGrid grid;
    grid.SetRowCount(0);
    QCOMPARE(grid.RowCount(), 1);
    grid.SetRowCount(-5);
    QCOMPARE(grid.RowCount(), 1);
    grid.SetColCount(0);
    QCOMPARE(grid.ColCount(), 1);
}

void TestGridStorage::fixedCountsFollowLoweredCounts()
{
    TMyStringGrid grid;
    grid.SetFixedRows(2);
    grid.SetRowCount(2);
    QCOMPARE(grid.FixedRows(), 1);
    grid.SetRowCount(1);
    QCOMPARE(grid.FixedRows(), 0);
    grid.SetColCount(1);
    QCOMPARE(grid.FixedCols(), 0);
    // Raising the count again brings back the fixed count the grid had, as far as it fits.
    grid.SetRowCount(2);
    QCOMPARE(grid.FixedRows(), 1);
    grid.SetRowCount(5);
    QCOMPARE(grid.FixedRows(), 2);
    QCOMPARE(grid.Row(), 2);
    grid.SetColCount(3);
    QCOMPARE(grid.FixedCols(), 1);
    // A fixed count set while the counts were low is the one that stays.
    grid.SetRowCount(1);
    grid.SetFixedRows(0);
    grid.SetRowCount(5);
    QCOMPARE(grid.FixedRows(), 0);
}

void TestGridStorage::sizeTablesFollowCounts()
{
    TMyStringGrid grid;
    grid.SetColWidths(4, 100);
    grid.SetColCount(8);
    QCOMPARE(grid.ColWidths(4), 100);
    QCOMPARE(grid.ColWidths(7), 64);
    grid.SetDefaultRowHeight(30);
    grid.SetRowCount(9);
    QCOMPARE(grid.RowHeights(8), 30);
    grid.SetRowHeights(0, 40);
    QCOMPARE(grid.RowHeights(0), 40);
    grid.SetDefaultColWidth(50);
    QCOMPARE(grid.ColWidths(4), 50);
}

void TestGridStorage::rowViewAssign_data()
{
    QTest::addColumn<QStringList>("source");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("more entries than columns")
        << QStringList{"a", "b", "c", "d", "e", "f", "g"} << QStringList{"a", "b", "c", "d", "e"};
    QTest::newRow("fewer entries keep the rest")
        << QStringList{"a", "b"} << QStringList{"a", "b", "old2", "old3", "old4"};
    QTest::newRow("empty list changes nothing")
        << QStringList{} << QStringList{"old0", "old1", "old2", "old3", "old4"};
}

void TestGridStorage::rowViewAssign()
{
    QFETCH(QStringList, source);
    QFETCH(QStringList, expected);
    TMyStringGrid grid;
    grid.Rows(2).Assign(QStringList{"old0", "old1", "old2", "old3", "old4"});
    grid.Rows(2).Assign(source);
    QCOMPARE(RowTexts(grid, 2), expected);
    // Nothing spilled beyond ColCount into the kept storage.
    grid.SetColCount(7);
    QCOMPARE(grid.Cells(5, 2), QString());
    QCOMPARE(grid.Cells(6, 2), QString());
}

void TestGridStorage::columnViewReadsAndWrites()
{
    TMyStringGrid grid;
    grid.Cols(3).Assign(QStringList{"t", "1", "2", "3", "4", "5"});
    QCOMPARE(grid.Cols(3).Count(), 5);
    QCOMPARE(grid.Cols(3).ToStringList(), (QStringList{"t", "1", "2", "3", "4"}));
    QCOMPARE(grid.Cells(3, 4), QStringLiteral("4"));
    grid.Cols(3).SetStrings(1, QStringLiteral("one"));
    QCOMPARE(grid.Rows(1).Strings(3), QStringLiteral("one"));
}

void TestGridStorage::viewAssignCopiesObjects()
{
    TMyStringGrid grid;
    QObject a;
    QObject b;
    grid.SetCells(0, 1, QStringLiteral("x"));
    grid.SetObjects(0, 1, &a);
    grid.SetObjects(4, 1, &b);
    grid.Rows(3).Assign(grid.Rows(1));
    QCOMPARE(grid.Cells(0, 3), QStringLiteral("x"));
    QCOMPARE(grid.Objects(0, 3), &a);
    QCOMPARE(grid.Objects(4, 3), &b);
    QCOMPARE(grid.Objects(0, 1), &a);
}

void TestGridStorage::moveColumnCarriesCellsAndWidths()
{
    TMyStringGrid grid;
    grid.Rows(1).Assign(QStringList{"a", "b", "c", "d", "e"});
    grid.SetColWidths(1, 11);
    grid.MoveColumn(1, 3);
    QCOMPARE(RowTexts(grid, 1), (QStringList{"a", "c", "d", "b", "e"}));
    QCOMPARE(grid.ColWidths(3), 11);
    grid.MoveColumn(3, 0);
    QCOMPARE(RowTexts(grid, 1), (QStringList{"b", "a", "c", "d", "e"}));
    QCOMPARE(grid.ColWidths(0), 11);
    int movedFrom = -1;
    int movedTo = -1;
    grid.OnColumnMoved = [&](QObject *, int from, int to) {
        movedFrom = from;
        movedTo = to;
    };
    grid.MoveColumn(4, 2);
    QCOMPARE(movedFrom, 4);
    QCOMPARE(movedTo, 2);
    QCOMPARE(RowTexts(grid, 1), (QStringList{"b", "a", "e", "c", "d"}));
}

void TestGridStorage::moveRowCarriesCellsAndObjects()
{
    TMyStringGrid grid;
    QObject marker;
    grid.Cols(0).Assign(QStringList{"t", "1", "2", "3", "4"});
    grid.SetObjects(2, 1, &marker);
    grid.MoveRow(1, 4);
    QCOMPARE(grid.Cols(0).ToStringList(), (QStringList{"t", "2", "3", "4", "1"}));
    QCOMPARE(grid.Objects(2, 4), &marker);
    QCOMPARE(grid.Objects(2, 1), nullptr);
    grid.MoveRow(4, 0);
    QCOMPARE(grid.Cols(0).ToStringList(), (QStringList{"1", "t", "2", "3", "4"}));
}

void TestGridStorage::deleteRowAndColumnShiftTheRest()
{
    TMyStringGrid grid;
    grid.Cols(1).Assign(QStringList{"t", "1", "2", "3", "4"});
    grid.DeleteRow(2);
    QCOMPARE(grid.RowCount(), 4);
    QCOMPARE(grid.Cols(1).ToStringList(), (QStringList{"t", "1", "3", "4"}));
    grid.Rows(0).Assign(QStringList{"a", "b", "c", "d", "e"});
    grid.DeleteColumn(0);
    QCOMPARE(grid.ColCount(), 4);
    QCOMPARE(RowTexts(grid, 0), (QStringList{"b", "c", "d", "e"}));
}

void TestGridStorage::updateBracketDefersSizeNotification()
{
    CountingGrid grid;
    int begins = 0;
    grid.OnBeginUpdate = [&](QObject *sender) {
        QCOMPARE(sender, &grid);
        ++begins;
    };
    grid.SetRowCount(7);
    QCOMPARE(grid.sizeChanges, 1);

    grid.BeginUpdate();
    QVERIFY(grid.NowUpdating());
    QCOMPARE(begins, 1);
    grid.SetRowCount(3);
    grid.SetRowCount(9);
    grid.SetColCount(6);
    QCOMPARE(grid.sizeChanges, 1);
    grid.EndUpdate();
    QVERIFY(!grid.NowUpdating());
    // One notification for everything changed inside, with the counts from before.
    QCOMPARE(grid.sizeChanges, 2);
    QCOMPARE(grid.lastOldRowCount, 7);
    QCOMPARE(grid.lastOldColCount, 5);
    QCOMPARE(grid.RowHeights(8), 24);
    QCOMPARE(grid.ColWidths(5), 64);

    // A bracket that ends with the counts it began with sends nothing.
    grid.BeginUpdate();
    grid.SetRowCount(4);
    grid.SetRowCount(9);
    grid.EndUpdate();
    QCOMPARE(grid.sizeChanges, 2);
}

void TestGridStorage::updateBracketIsNotCounted()
{
    CountingGrid grid;
    grid.BeginUpdate();
    grid.BeginUpdate();
    grid.SetRowCount(8);
    grid.EndUpdate();
    QVERIFY(!grid.NowUpdating());
    QCOMPARE(grid.sizeChanges, 1);
    QCOMPARE(grid.lastOldRowCount, 5);
    grid.EndUpdate();
    QCOMPARE(grid.sizeChanges, 1);
}

void TestGridStorage::rowsAddedInsideTheBracketCanBeUsedAtOnce()
{
    CountingGrid grid;
    grid.BeginUpdate();
    grid.SetRowCount(12);
    grid.Cols(1).Assign(QStringList{"t", "a", "b"});
    grid.MoveRow(1, 11);
    grid.SetRowHeights(11, 33);
    grid.DeleteRow(2);
    grid.EndUpdate();
    QCOMPARE(grid.RowCount(), 11);
    QCOMPARE(grid.Cells(1, 10), QStringLiteral("a"));
    QCOMPARE(grid.RowHeights(10), 33);
    QCOMPARE(grid.sizeChanges, 1);
}

void TestGridStorage::currentCellStaysInRange()
{
    TMyStringGrid grid;
    grid.SetRowCount(10);
    grid.SetRow(9);
    grid.SetCol(4);
    grid.SetRowCount(4);
    grid.SetColCount(3);
    QCOMPARE(grid.Row(), 3);
    QCOMPARE(grid.Col(), 2);
    bool asked = false;
    grid.OnSelectCell = [&](QObject *, int, int row, bool &canSelect) {
        asked = true;
        canSelect = row != 2;
    };
    grid.SetRow(2);
    QVERIFY(asked);
    QCOMPARE(grid.Row(), 3);
    grid.SetRow(1);
    QCOMPARE(grid.Row(), 1);
}

QTEST_MAIN(TestGridStorage)
#include "tst_gridstorage.moc"

#include "GridError.h"
#include "TSortGrid.h"

#include <QLocale>
#include <QTest>
#include <stdexcept>

namespace {
// Fills a grid: row 0 is the title, the other rows follow in order.
void Fill(TSortGrid &grid, const QList<QStringList> &rows)
{
    grid.SetRowCount(int(rows.size()));
    grid.SetColCount(int(rows.first().size()));
    for (int r = 0; r < rows.size(); ++r)
        grid.Rows(r).Assign(rows.at(r));
}

QStringList Column(TSortGrid &grid, int col)
{
    QStringList texts = grid.Cols(col).ToStringList();
    texts.removeFirst();
    return texts;
}

QList<QStringList> AllRows(TSortGrid &grid)
{
    QList<QStringList> rows;
    for (int r = 0; r < grid.RowCount(); ++r)
        rows.append(grid.Rows(r).ToStringList());
    return rows;
}

// Key in column 1, the original position in column 0 to watch stability.
const QList<QStringList> kTiedRows = {{"id", "key"}, {"a", "2"}, {"b", "1"},
                                      {"c", "2"},    {"d", "1"}, {"e", "2"}};
} // namespace

class TestSortGrid : public QObject
{
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void defaults();
    void canSortFalseChangesNothing();
    void stableInBothDirections_data();
    void stableInBothDirections();
    void numericColumn_data();
    void numericColumn();
    void caseFolding_data();
    void caseFolding();
    void secondaryKeys_data();
    void secondaryKeys();
    void detection_data();
    void detection();
    void untouchedHandlerStyleComparesBytes();
    void handlerStyleCarriesAcrossPasses();
    void customCompareGetsFoldedTextsAndIsCleared();
    void beforeSortMayChangeTheColumn();
    void titleOnlyGrid();
    void wholeRowsMoveWithObjectsButNotHeights();
    void selectionFollowsItsRows();
    void failureLeavesRowsAndClosesBracket_data();
    void failureLeavesRowsAndClosesBracket();
    void sizeChangeResortsOnlyOutsideTheBracket();
    void nestedBracketKeepsUpdateOnSizeChange();
    void sortColFollowsColumnMoves_data();
    void sortColFollowsColumnMoves();
    void assigningOptionsCopiesValues();
    void titleClick_data();
    void titleClick();
};

void TestSortGrid::defaults()
{
    TSortGrid grid;
    const TSortOptions &options = *grid.SortOptions();
    QVERIFY(options.CanSort);
    QCOMPARE(options.SecondaryIndex, QString());
    QCOMPARE(options.SortStyle, ssNormal);
    QVERIFY(!options.SortCaseSensitive);
    QCOMPARE(options.SortCol, 0);
    QCOMPARE(options.SortDirection, sdAscending);
    QVERIFY(!options.UpdateOnSizeChange);
    QVERIFY(!options.CompareFunc);
    QCOMPARE(grid.FixedCols(), 0);
    QCOMPARE(grid.FixedRows(), 1);
    QCOMPARE(grid.SelectedRows(), QStringList{"1"});
}

void TestSortGrid::canSortFalseChangesNothing()
{
    TSortGrid grid;
    Fill(grid, kTiedRows);
    TSortOptions &options = *grid.SortOptions();
    options.CanSort = false;
    options.SortStyle = ssCustom;
    options.SortCol = 5;
    options.CompareFunc = [](const QString &, const QString &) { return 0; };
    int events = 0;
    grid.OnBeforeSort = [&](QObject *, int &) { ++events; };
    grid.OnGetSortStyle = [&](QObject *, int, TSortStyle &) { ++events; };
    grid.OnAfterSort = [&](QObject *, int) { ++events; };
    grid.OnBeginUpdate = [&](QObject *) { ++events; };
    grid.SortRows(1);
    QCOMPARE(AllRows(grid), kTiedRows);
    QCOMPARE(options.SortCol, 5);
    QCOMPARE(options.SortStyle, ssCustom);
    QVERIFY(options.CompareFunc);
    QCOMPARE(events, 0);
}

void TestSortGrid::stableInBothDirections_data()
{
    QTest::addColumn<int>("direction");
    QTest::addColumn<QStringList>("ids");
    QTest::newRow("ascending") << int(sdAscending) << QStringList{"b", "d", "a", "c", "e"};
    QTest::newRow("descending") << int(sdDescending) << QStringList{"a", "c", "e", "b", "d"};
}

void TestSortGrid::stableInBothDirections()
{
    QFETCH(int, direction);
    QFETCH(QStringList, ids);
    TSortGrid grid;
    Fill(grid, kTiedRows);
    grid.SortOptions()->SortDirection = TSortDirection(direction);
    grid.SortRows(1);
    QCOMPARE(Column(grid, 0), ids);
    // Sorting again changes nothing: tied rows keep the order they now have.
    grid.SortRows(1);
    QCOMPARE(Column(grid, 0), ids);
    QCOMPARE(grid.Rows(0).ToStringList(), kTiedRows.first());
}

void TestSortGrid::numericColumn_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QStringList>("sorted");
    QTest::newRow("C") << "C" << QStringList{"10", "abc", "9", "", "-1.5", "2e1"}
                       << QStringList{"", "-1.5", "9", "10", "2e1", "abc"};
    QTest::newRow("de_DE") << "de_DE" << QStringList{"10", "abc", "9", "", "-1,5", "2e1"}
                           << QStringList{"", "-1,5", "9", "10", "2e1", "abc"};
}

void TestSortGrid::numericColumn()
{
    QFETCH(QString, locale);
    QFETCH(QStringList, keys);
    QFETCH(QStringList, sorted);
    QLocale::setDefault(QLocale(locale));
    TSortGrid grid;
    grid.SetColCount(1);
    grid.SetRowCount(int(keys.size()) + 1);
    grid.Cols(0).Assign(QStringList{"n"} + keys);
    grid.SortOptions()->SortStyle = ssNumeric;
    grid.SortRows(0);
    QCOMPARE(Column(grid, 0), sorted);
    QCOMPARE(grid.SortOptions()->SortStyle, ssNumeric);
}

void TestSortGrid::caseFolding_data()
{
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<QStringList>("sorted");
    QTest::newRow("folded") << false << QStringList{"apple", "Apple", "Zebra"};
    QTest::newRow("case-sensitive") << true << QStringList{"Apple", "Zebra", "apple"};
}

void TestSortGrid::caseFolding()
{
    QFETCH(bool, caseSensitive);
    QFETCH(QStringList, sorted);
    TSortGrid grid;
    grid.SetColCount(1);
    grid.SetRowCount(4);
    grid.Cols(0).Assign(QStringList{"t", "Zebra", "apple", "Apple"});
    grid.SortOptions()->SortCaseSensitive = caseSensitive;
    grid.SortRows(0);
    // The cells keep their own case: only the keys are folded.
    QCOMPARE(Column(grid, 0), sorted);
}

void TestSortGrid::secondaryKeys_data()
{
    QTest::addColumn<QString>("secondary");
    QTest::addColumn<QStringList>("ids");
    // Column 2 primary; ties by column 3, then by column 4.
    QTest::newRow("3,4") << "3,4" << QStringList{"r4", "r5", "r2", "r3", "r1"};
    QTest::newRow("sort column named again")
        << "2,3,4" << QStringList{"r4", "r5", "r2", "r3", "r1"};
    QTest::newRow("only 3") << "3" << QStringList{"r4", "r2", "r3", "r5", "r1"};
    QTest::newRow("blank separated") << " 3 4 " << QStringList{"r4", "r5", "r2", "r3", "r1"};
    QTest::newRow("none") << "" << QStringList{"r2", "r3", "r4", "r5", "r1"};
}

void TestSortGrid::secondaryKeys()
{
    QFETCH(QString, secondary);
    QFETCH(QStringList, ids);
    TSortGrid grid;
    Fill(grid, {{"id", "x", "p", "s", "t"},
                {"r1", "", "b", "a", "a"},
                {"r2", "", "a", "b", "b"},
                {"r3", "", "a", "b", "b"},
                {"r4", "", "a", "a", "z"},
                {"r5", "", "a", "b", "a"}});
    grid.SortOptions()->SecondaryIndex = secondary;
    grid.SortRows(2);
    QCOMPARE(Column(grid, 0), ids);
    QCOMPARE(grid.SortOptions()->SortCol, 2);
}

void TestSortGrid::detection_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<int>("style");
    QTest::addColumn<QStringList>("sorted");
    for (const char *localeName : {"C", "de_DE"}) {
        const QString locale = QString::fromLatin1(localeName);
        const QLocale loc(locale);
        const QString a = loc.toString(2.5);
        const QString b = loc.toString(10.25);
        auto row = [&](const char *name) {
            return &QTest::newRow(qPrintable(locale + QLatin1Char(' ') + QLatin1String(name)));
        };
        *row("numbers") << locale << QStringList{b, a, "3"} << int(ssNumeric)
                        << QStringList{a, "3", b};
        *row("one empty cell") << locale << QStringList{b, "", a} << int(ssNormal)
                               << QStringList{"", b, a};
        *row("times") << locale << QStringList{"10:00", "9:30"} << int(ssTime)
                      << QStringList{"9:30", "10:00"};
        const QString early = loc.toString(QDate(2023, 12, 1), QLocale::ShortFormat);
        const QString late = loc.toString(QDate(2024, 2, 1), QLocale::ShortFormat);
        *row("dates") << locale << QStringList{late, early} << int(ssDateTime)
                      << QStringList{early, late};
        *row("no data rows") << locale << QStringList{} << int(ssNumeric) << QStringList{};
    }
}

void TestSortGrid::detection()
{
    QFETCH(QString, locale);
    QFETCH(QStringList, keys);
    QFETCH(int, style);
    QFETCH(QStringList, sorted);
    QLocale::setDefault(QLocale(locale));
    TSortGrid grid;
    grid.SetColCount(1);
    grid.SetRowCount(int(keys.size()) + 1);
    grid.Cols(0).Assign(QStringList{"t"} + keys);
    grid.SortOptions()->SortStyle = ssAutomatic;
    QCOMPARE(int(grid.DetectSortStyle(0)), style);
    grid.SortRows(0);
    QCOMPARE(int(grid.SortOptions()->SortStyle), style);
    QCOMPARE(Column(grid, 0), sorted);
}

void TestSortGrid::untouchedHandlerStyleComparesBytes()
{
    TSortGrid grid;
    grid.SetColCount(1);
    grid.SetRowCount(4);
    grid.Cols(0).Assign(QStringList{"t", "9", "10", "100"});
    grid.SortOptions()->SortStyle = ssNumeric;
    int calls = 0;
    grid.OnGetSortStyle = [&](QObject *sender, int col, TSortStyle &) {
        QCOMPARE(sender, &grid);
        QCOMPARE(col, 0);
        ++calls;
    };
    grid.SortRows(0);
    QCOMPARE(calls, 1);
    QCOMPARE(grid.SortOptions()->SortStyle, ssAutomatic);
    QCOMPARE(Column(grid, 0), (QStringList{"10", "100", "9"}));
}

void TestSortGrid::handlerStyleCarriesAcrossPasses()
{
    TSortGrid grid;
    Fill(grid, {{"a", "b"}, {"1", "10"}, {"1", "9"}});
    grid.SortOptions()->SecondaryIndex = QStringLiteral("1");
    grid.SortOptions()->SortStyle = ssDateTime;
    QList<int> seenStyles;
    QList<int> seenCols;
    grid.OnGetSortStyle = [&](QObject *, int col, TSortStyle &style) {
        seenCols.append(col);
        seenStyles.append(style);
        if (col == 1)
            style = ssNumeric;
    };
    grid.SortRows(0);
    QCOMPARE(seenCols, (QList<int>{1, 0}));
    QCOMPARE(seenStyles, (QList<int>{ssAutomatic, ssNumeric}));
    QCOMPARE(Column(grid, 1), (QStringList{"9", "10"}));
}

void TestSortGrid::customCompareGetsFoldedTextsAndIsCleared()
{
    TSortGrid grid;
    grid.SetColCount(1);
    grid.SetRowCount(4);
    grid.Cols(0).Assign(QStringList{"t", "B", "c", "A"});
    QStringList seen;
    grid.OnGetSortStyle = [&](QObject *, int, TSortStyle &style) {
        style = ssCustom;
        grid.SortOptions()->CompareFunc = [&](const QString &s1, const QString &s2) {
            seen << s1 << s2;
            return QString::compare(s2, s1); // reverse order
        };
    };
    grid.SortRows(0);
    QCOMPARE(Column(grid, 0), (QStringList{"c", "B", "A"}));
    QVERIFY(!seen.isEmpty());
    for (const QString &text : seen)
        QCOMPARE(text, text.toLower());
    QVERIFY(!grid.SortOptions()->CompareFunc);
    QCOMPARE(grid.SortOptions()->SortStyle, ssCustom);
}

void TestSortGrid::beforeSortMayChangeTheColumn()
{
    TSortGrid grid;
    Fill(grid, {{"a", "b"}, {"1", "z"}, {"2", "y"}, {"3", "x"}});
    QStringList trace;
    grid.OnBeginUpdate = [&](QObject *) { trace << "begin"; };
    grid.OnBeforeSort = [&](QObject *, int &col) {
        QVERIFY(grid.NowUpdating());
        trace << QStringLiteral("before %1").arg(col);
        col = 1;
    };
    grid.OnGetSortStyle = [&](QObject *, int col, TSortStyle &style) {
        trace << QStringLiteral("style %1").arg(col);
        style = ssNormal;
    };
    grid.OnAfterSort = [&](QObject *, int col) {
        QVERIFY(grid.NowUpdating());
        QVERIFY(!grid.SortOptions()->CompareFunc);
        trace << QStringLiteral("after %1").arg(col);
    };
    grid.OnEndUpdate = [&](QObject *) { trace << "end"; };
    grid.SortRows(0);
    QCOMPARE(trace, (QStringList{"begin", "before 0", "style 1", "after 1", "end"}));
    QCOMPARE(Column(grid, 0), (QStringList{"3", "2", "1"}));
    QCOMPARE(grid.SortOptions()->SortCol, 0);
    QVERIFY(!grid.NowUpdating());
}

void TestSortGrid::titleOnlyGrid()
{
    TSortGrid grid;
    grid.SetColCount(3);
    grid.SetRowCount(1);
    grid.Rows(0).Assign(QStringList{"z", "y", "x"});
    int before = 0;
    int style = 0;
    int after = 0;
    grid.OnBeforeSort = [&](QObject *, int &) { ++before; };
    grid.OnGetSortStyle = [&](QObject *, int, TSortStyle &) { ++style; };
    grid.OnAfterSort = [&](QObject *, int) { ++after; };
    grid.SortRows(1);
    QCOMPARE(before, 1);
    QCOMPARE(style, 1);
    QCOMPARE(after, 1);
    QCOMPARE(grid.Rows(0).ToStringList(), (QStringList{"z", "y", "x"}));
    QCOMPARE(grid.RowCount(), 1);
}

void TestSortGrid::wholeRowsMoveWithObjectsButNotHeights()
{
    TSortGrid grid;
    Fill(grid, {{"pos", "key", "name"}, {"2", "F1", "Ann"}, {"1", "F2", "Bob"}});
    grid.SetFixedCols(2);
    QObject marker;
    grid.SetObjects(2, 1, &marker);
    grid.SetRowHeights(1, 40);
    // A cell beyond ColCount belongs to no row of the sort and stays where it is.
    grid.SetColCount(4);
    grid.SetCells(3, 1, QStringLiteral("kept"));
    grid.SetColCount(3);
    grid.SortRows(0);
    QCOMPARE(grid.Rows(1).ToStringList(), (QStringList{"1", "F2", "Bob"}));
    QCOMPARE(grid.Rows(2).ToStringList(), (QStringList{"2", "F1", "Ann"}));
    QCOMPARE(grid.Objects(2, 2), &marker);
    QCOMPARE(grid.Objects(2, 1), nullptr);
    QCOMPARE(grid.RowHeights(1), 40);
    grid.SetColCount(4);
    QCOMPARE(grid.Cells(3, 1), QStringLiteral("kept"));
}

void TestSortGrid::selectionFollowsItsRows()
{
    TSortGrid grid;
    Fill(grid, {{"k", "v"}, {"c", "x"}, {"a", "y"}, {"b", "z"}});
    grid.SetCol(1);
    QCOMPARE(grid.SelectedRows(), QStringList{"1"});
    grid.SortRows(0);
    // Row "c" moved from 1 to 3: the current row and the selection went with it.
    QCOMPARE(grid.Row(), 3);
    QCOMPARE(grid.Col(), 1);
    QCOMPARE(grid.SelectedRows(), QStringList{"3"});
    QCOMPARE(grid.SelectionTrail(), QStringList{"3"});
    QCOMPARE(grid.Cells(1, grid.Row()), QStringLiteral("x"));
}

void TestSortGrid::failureLeavesRowsAndClosesBracket_data()
{
    QTest::addColumn<QString>("secondary");
    QTest::addColumn<int>("sortCol");
    QTest::addColumn<bool>("throwingCompare");
    QTest::addColumn<QString>("message");
    QTest::newRow("key not a number") << "x" << 0 << false << "'x' is not a valid integer value";
    QTest::newRow("key out of range") << "9" << 0 << false << "Sort column 9 is out of range";
    QTest::newRow("sort column out of range")
        << "" << 5 << false << "Sort column 5 is out of range";
    QTest::newRow("negative column") << "-1" << 0 << false << "Sort column -1 is out of range";
    // The duplicate of the sort column is a later pass than the bad key: still no change.
    QTest::newRow("bad key after a duplicate sort column")
        << "9,0,0" << 0 << false << "Sort column 9 is out of range";
    QTest::newRow("compare function throws") << "" << 0 << true << "compare failed";
}

void TestSortGrid::failureLeavesRowsAndClosesBracket()
{
    QFETCH(QString, secondary);
    QFETCH(int, sortCol);
    QFETCH(bool, throwingCompare);
    QFETCH(QString, message);
    TSortGrid grid;
    const QList<QStringList> rows = {{"k", "v"}, {"c", "1"}, {"a", "2"}, {"b", "3"}};
    Fill(grid, rows);
    TSortOptions &options = *grid.SortOptions();
    options.SecondaryIndex = secondary;
    options.UpdateOnSizeChange = true;
    options.CompareFunc = [](const QString &, const QString &) -> int {
        throw std::runtime_error("compare failed");
    };
    options.SortStyle = throwingCompare ? ssCustom : ssNormal;
    int afterCalls = 0;
    int endCalls = 0;
    grid.OnAfterSort = [&](QObject *, int) { ++afterCalls; };
    grid.OnEndUpdate = [&](QObject *) { ++endCalls; };
    QString caught;
    try {
        grid.SortRows(sortCol);
    } catch (const std::exception &error) {
        caught = QString::fromStdString(error.what());
    }
    QCOMPARE(caught, message);
    QCOMPARE(AllRows(grid), rows);
    QVERIFY(!grid.NowUpdating());
    QVERIFY(!options.CompareFunc);
    QVERIFY(options.UpdateOnSizeChange);
    QCOMPARE(afterCalls, 0);
    QCOMPARE(endCalls, 1);
    // The grid sorts normally afterwards.
    options.SecondaryIndex.clear();
    options.SortStyle = ssNormal;
    grid.SortRows(0);
    QCOMPARE(Column(grid, 0), (QStringList{"a", "b", "c"}));
}

void TestSortGrid::sizeChangeResortsOnlyOutsideTheBracket()
{
    TSortGrid grid;
    Fill(grid, {{"k"}, {"c"}, {"a"}, {"b"}});
    grid.SortOptions()->UpdateOnSizeChange = true;
    grid.SortOptions()->SortCol = 0;
    int sorts = 0;
    grid.OnAfterSort = [&](QObject *, int) { ++sorts; };
    grid.SetRowCount(5);
    QCOMPARE(sorts, 1);
    QCOMPARE(Column(grid, 0), (QStringList{"", "a", "b", "c"}));

    grid.BeginUpdate();
    QVERIFY(!grid.SortOptions()->UpdateOnSizeChange);
    grid.SetRowCount(3);
    grid.EndUpdate();
    QVERIFY(grid.SortOptions()->UpdateOnSizeChange);
    QCOMPARE(sorts, 1);
}

void TestSortGrid::nestedBracketKeepsUpdateOnSizeChange()
{
    TSortGrid grid;
    grid.SortOptions()->UpdateOnSizeChange = true;
    grid.BeginUpdate();
    grid.BeginUpdate();
    grid.EndUpdate();
    QVERIFY(!grid.NowUpdating());
    QVERIFY(grid.SortOptions()->UpdateOnSizeChange);
    grid.EndUpdate();
    QVERIFY(grid.SortOptions()->UpdateOnSizeChange);
}

void TestSortGrid::sortColFollowsColumnMoves_data()
{
    QTest::addColumn<int>("sortCol");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("expected");
    QTest::newRow("the sort column itself") << 2 << 2 << 4 << 4;
    QTest::newRow("moved from the right over it") << 2 << 4 << 1 << 3;
    QTest::newRow("moved to its place from the right") << 2 << 4 << 2 << 3;
    QTest::newRow("moved from the left over it") << 2 << 0 << 3 << 1;
    QTest::newRow("moved to its place from the left") << 2 << 0 << 2 << 1;
    QTest::newRow("elsewhere") << 2 << 3 << 4 << 2;
}

void TestSortGrid::sortColFollowsColumnMoves()
{
    QFETCH(int, sortCol);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, expected);
    TSortGrid grid;
    grid.SortOptions()->SortCol = sortCol;
    grid.SortOptions()->SortStyle = ssTime;
    grid.MoveColumn(from, to);
    QCOMPARE(grid.SortOptions()->SortCol, expected);
    QCOMPARE(grid.SortOptions()->SortStyle, ssTime);
}

void TestSortGrid::assigningOptionsCopiesValues()
{
    TSortGrid grid;
    TSortOptions *own = grid.SortOptions();
    TSortOptions stored;
    stored.CanSort = false;
    stored.SortStyle = ssCustom;
    stored.SortCol = 11;
    stored.SecondaryIndex = QStringLiteral("3");
    stored.SortDirection = sdDescending;
    stored.UpdateOnSizeChange = true;
    stored.SortCaseSensitive = true;
    grid.SetSortOptions(stored);
    QCOMPARE(grid.SortOptions(), own);
    QVERIFY(!own->CanSort);
    QCOMPARE(own->SortStyle, ssCustom);
    QCOMPARE(own->SortCol, 11);
    QCOMPARE(own->SecondaryIndex, QStringLiteral("3"));
    QCOMPARE(own->SortDirection, sdDescending);
    QVERIFY(own->UpdateOnSizeChange);
    QVERIFY(own->SortCaseSensitive);
}

void TestSortGrid::titleClick_data()
{
    QTest::addColumn<bool>("canSort");
    QTest::addColumn<int>("sortColBefore");
    QTest::addColumn<int>("directionBefore");
    QTest::addColumn<bool>("rightButton");
    QTest::addColumn<int>("xInCell");
    QTest::addColumn<int>("directionAfter");
    QTest::addColumn<QStringList>("ids");
    const QStringList unsorted{"b", "c", "a"};
    const QStringList ascending{"a", "b", "c"};
    const QStringList descending{"c", "b", "a"};
    QTest::newRow("new column sorts ascending")
        << true << 1 << int(sdDescending) << false << 30 << int(sdAscending) << ascending;
    QTest::newRow("same column toggles")
        << true << 0 << int(sdAscending) << false << 30 << int(sdDescending) << descending;
    QTest::newRow("right button descends")
        << true << 1 << int(sdAscending) << true << 30 << int(sdDescending) << descending;
    QTest::newRow("CanSort off toggles only")
        << false << 0 << int(sdAscending) << false << 30 << int(sdDescending) << unsorted;
    QTest::newRow("left border belongs to sizing")
        << true << 1 << int(sdDescending) << false << 5 << int(sdDescending) << unsorted;
    QTest::newRow("just inside the left border")
        << true << 1 << int(sdDescending) << false << 6 << int(sdAscending) << ascending;
    QTest::newRow("right border belongs to sizing")
        << true << 1 << int(sdDescending) << false << 59 << int(sdDescending) << unsorted;
}

void TestSortGrid::titleClick()
{
    QFETCH(bool, canSort);
    QFETCH(int, sortColBefore);
    QFETCH(int, directionBefore);
    QFETCH(bool, rightButton);
    QFETCH(int, xInCell);
    QFETCH(int, directionAfter);
    QFETCH(QStringList, ids);
    TSortGrid grid;
    grid.resize(400, 300);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    Fill(grid, {{"k", "v"}, {"b", "1"}, {"c", "2"}, {"a", "3"}});
    TSortOptions &options = *grid.SortOptions();
    options.CanSort = canSort;
    options.SortCol = sortColBefore;
    options.SortDirection = TSortDirection(directionBefore);
    const QRect title = grid.CellRect(0, 0);
    const QPoint at(title.left() + xInCell, title.center().y());
    QTest::mouseClick(grid.viewport(), rightButton ? Qt::RightButton : Qt::LeftButton, {}, at);
    QCOMPARE(int(options.SortDirection), directionAfter);
    QCOMPARE(Column(grid, 0), ids);
}

QTEST_MAIN(TestSortGrid)
#include "tst_sortgrid.moc"

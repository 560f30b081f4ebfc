#include "GridGlyphs.h"
#include "ShotPath.h"
#include "TSortGrid.h"
#include "TitleText.h"

#include <QFontMetrics>
#include <QImage>
#include <QTest>
#include <memory>

namespace {
constexpr int kColWidth = 80;
constexpr int kRowHeight = 24;

std::unique_ptr<TSortGrid> ShownGrid()
{
    auto grid = std::make_unique<TSortGrid>();
    grid->setFrameShape(QFrame::NoFrame);
    grid->SetScrollBars(ssNone);
    grid->SetDefaultColWidth(kColWidth);
    grid->SetDefaultRowHeight(kRowHeight);
    grid->SetColCount(4);
    grid->SetRowCount(5);
    grid->SetColor(Qt::white);
    grid->SetFixedColor(QColor(0xd0, 0xd0, 0xd0));
    grid->Rows(0).Assign(QStringList{"Pos", "Nr.", "Fahrer", "Zeit"});
    grid->Rows(1).Assign(QStringList{"1", "7", "Anna", "1:02"});
    grid->Rows(2).Assign(QStringList{"2", "3", "Bert", "1:05"});
    grid->Rows(3).Assign(QStringList{"3", "9", "Carl", "1:09"});
    grid->Rows(4).Assign(QStringList{"4", "1", "Dora", "1:11"});
    grid->SortOptions()->CanSort = false;
    grid->resize(4 * (kColWidth + 1) + 20, 5 * (kRowHeight + 1) + 20);
    grid->show();
    if (!QTest::qWaitForWindowExposed(grid.get()))
        return nullptr;
    return grid;
}

QImage Shot(TSortGrid &grid)
{
    return grid.viewport()->grab().toImage();
}

// The columns of `rect` in `image` holding a pixel far from `background`.
QList<int> InkColumns(const QImage &image, const QRect &rect, QRgb background)
{
    QList<int> columns;
    for (int x = rect.left(); x <= rect.right(); ++x)
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            if (qGray(image.pixel(x, y)) < qGray(background) - 80) {
                columns.append(x);
                break;
            }
    return columns;
}
} // namespace

class TestSortGridFormat : public QObject
{
    Q_OBJECT

private slots:
    void shortenTitle_data();
    void shortenTitle();
    void fahrerShrinksToThreeCharacters();
    void glyphsHaveTheirSizes();
    void defaultFormat();
    void handlerSeesStateAndChangesTheCanvas();
    void fontOnlyHandlerKeepsHighlight();
    void rightAlignmentKeepsTwoPixels();
    void longTextStaysInItsCell_data();
    void longTextStaysInItsCell();
    void checkBoxHidesTextAndShowsGlyph();
    void sortArrowOnlyWhileSorting();
    void raisedBevel();
    void hideRowsBlanksDataRows();
    void filterWithoutHandlerHidesAll();
    void filterKeepsAcceptedRowsInOrder();
    void filteringAgainLosesNoRow();
    void propertiesAtConstruction();
};

void TestSortGridFormat::shortenTitle_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("room");
    QTest::addColumn<QString>("shown");
    // Every character is 10 pixels wide here.
    QTest::newRow("fits") << "Fahrer" << 60 << "Fahrer";
    QTest::newRow("one pixel short") << "Fahrer" << 59 << "Fah..";
    QTest::newRow("two characters less") << "Fahrer" << 45 << "Fa..";
    QTest::newRow("the limit") << "Fahrer" << 30 << "F..";
    QTest::newRow("below the limit") << "Fahrer" << 5 << "F..";
    QTest::newRow("two characters") << "Nr" << 5 << "..";
    QTest::newRow("one character") << "P" << 1 << "P";
    QTest::newRow("empty") << "" << 0 << "";
}

void TestSortGridFormat::shortenTitle()
{
    QFETCH(QString, title);
    QFETCH(int, room);
    QFETCH(QString, shown);
    QCOMPARE(ShortenTitle(title, room, [](const QString &t) { return int(t.size()) * 10; }), shown);
}

void TestSortGridFormat::fahrerShrinksToThreeCharacters()
{
    QFont font(QStringLiteral("Liberation Sans"), 10);
    const QFontMetrics metrics(font);
    auto width = [&](const QString &t) { return metrics.horizontalAdvance(t); };
    const QString title = QStringLiteral("Fahrer");
    QCOMPARE(ShortenTitle(title, width(title), width), title);
    QCOMPARE(ShortenTitle(title, width(QStringLiteral("F..")), width), QStringLiteral("F.."));
    QCOMPARE(ShortenTitle(title, 0, width), QStringLiteral("F.."));
    const QString shortened = ShortenTitle(title, width(title) - 1, width);
    QVERIFY(shortened.endsWith(QLatin1String("..")));
    QVERIFY(width(shortened) <= width(title) - 1);
}

void TestSortGridFormat::glyphsHaveTheirSizes()
{
    QCOMPARE(GridGlyph(QStringLiteral("UP")).size(), QSize(8, 7));
    QCOMPARE(GridGlyph(QStringLiteral("DOWN")).size(), QSize(8, 7));
    for (const char *name : {"CHECKED", "UNCHECKED", "COMBOBOX", "ELLIPSIS"})
        QCOMPARE(GridGlyph(QLatin1String(name)).size(), QSize(16, 16));
    QVERIFY(GridGlyph(QStringLiteral("nothing")).isNull());
    QVERIFY(GridGlyph(QStringLiteral("UP")).toImage() !=
            GridGlyph(QStringLiteral("DOWN")).toImage());
    QVERIFY(GridGlyph(QStringLiteral("CHECKED")).toImage() !=
            GridGlyph(QStringLiteral("UNCHECKED")).toImage());
}

void TestSortGridFormat::defaultFormat()
{
    TSortGrid grid;
    grid.SetAlignmentHorz(taRightJustify);
    grid.SetAlignmentVert(taMiddle);
    grid.SetBevelStyle(cbLowered);
    const TCellFormat format = grid.GetCellFormat(1, 1);
    QCOMPARE(format.FormatOptions.Brush, &grid.Canvas().Brush);
    QCOMPARE(format.FormatOptions.Font, &grid.Canvas().Font);
    QCOMPARE(format.FormatOptions.AlignmentHorz, taRightJustify);
    QCOMPARE(format.FormatOptions.AlignmentVert, taMiddle);
    QCOMPARE(format.FormatOptions.BevelStyle, cbLowered);
    QCOMPARE(format.FormatOptions.HighlightColor, grid.palette().color(QPalette::Dark));
    QCOMPARE(format.FormatOptions.ShadowColor, grid.palette().color(QPalette::Light));
    QVERIFY(!format.FormatOptions.HideText);
    QVERIFY(!format.CheckBox && !format.Combobox && !format.Ellipsis);
    grid.SetBevelStyle(cbNone);
    QCOMPARE(grid.GetCellFormat(1, 1).FormatOptions.ShadowColor,
             grid.palette().color(QPalette::Base));
}

void TestSortGridFormat::handlerSeesStateAndChangesTheCanvas()
{
    auto grid = ShownGrid();
    QVERIFY(grid);
    grid->setFocus();
    grid->SetOptions(grid->Options() & ~TGridOptions(goRangeSelect));
    grid->MoveColRow(1, 2, true, true);
    QMap<QPair<int, int>, TGridDrawState> states;
    grid->OnGetCellFormat = [&](QObject *, int col, int row, TGridDrawState state,
                                TFormatOptions &options, bool &, bool &, bool &) {
        states[{col, row}] = state;
        if (col == 3 && row == 3) {
            options.Brush->setColor(Qt::red);
            options.Font->Color = Qt::white;
        }
    };
    const QImage image = Shot(*grid);
    QVERIFY(grid->hasFocus());
    QCOMPARE(states.value({1, 2}), TGridDrawState(gdFocused | gdSelected));
    QCOMPARE(states.value({2, 2}), TGridDrawState());
    QCOMPARE(states.value({0, 0}), TGridDrawState());
    const QRect red = grid->CellRect(3, 3);
    QCOMPARE(image.pixel(red.right() - 2, red.bottom() - 2), QColor(Qt::red).rgb());
    const QRect next = grid->CellRect(3, 4);
    QCOMPARE(image.pixel(next.right() - 2, next.bottom() - 2), QColor(Qt::white).rgb());
}

void TestSortGridFormat::fontOnlyHandlerKeepsHighlight()
{
    auto grid = ShownGrid();
    QVERIFY(grid);
    grid->MoveColRow(2, 2, true, true);
    grid->OnGetCellFormat = [&](QObject *, int, int, TGridDrawState, TFormatOptions &options,
                                bool &, bool &, bool &) {
        options.Font->setBold(true);
        options.AlignmentHorz = taCenter;
    };
    grid->SetAlignmentHorz(taRightJustify);
    grid->SetAlignmentVert(taMiddle);
    grid->SortOptions()->CanSort = true;
    grid->SortOptions()->SortCol = 0;
    grid->SetColWidths(2, 30);
    const QImage image = Shot(*grid);
    image.save(ShotPath(QStringLiteral("formatted.png")));
    const QColor highlight = grid->palette().color(QPalette::Highlight);
    // goRangeSelect is on by default: the whole current row is highlighted.
    for (int col : {0, 1, 3}) {
        const QRect cell = grid->CellRect(col, 2);
        QCOMPARE(image.pixel(cell.right() - 1, cell.bottom() - 1), highlight.rgb());
    }
    const QRect other = grid->CellRect(2, 3);
    QCOMPARE(image.pixel(other.right() - 1, other.bottom() - 1), QColor(Qt::white).rgb());
}

void TestSortGridFormat::rightAlignmentKeepsTwoPixels()
{
    auto grid = ShownGrid();
    QVERIFY(grid);
    grid->SetOptions(grid->Options() & ~TGridOptions(goRangeSelect));
    grid->SetCells(2, 3, QStringLiteral("8888"));
    grid->SetAlignmentHorz(taRightJustify);
    const QRect cell = grid->CellRect(2, 3);
    QList<int> ink = InkColumns(Shot(*grid), cell, qRgb(255, 255, 255));
    QVERIFY(!ink.isEmpty());
    // The text's advance ends 2 pixels left of the edge; glyph bearings may eat one more.
    QVERIFY2(ink.last() <= cell.right() - 2 && ink.last() >= cell.right() - 4,
             qPrintable(QStringLiteral("%1 vs %2").arg(ink.last()).arg(cell.right())));
    grid->SetAlignmentHorz(taLeftJustify);
    ink = InkColumns(Shot(*grid), cell, qRgb(255, 255, 255));
    QVERIFY(ink.first() >= cell.left() + 2 && ink.first() <= cell.left() + 4);
}

void TestSortGridFormat::longTextStaysInItsCell_data()
{
    QTest::addColumn<int>("alignment");
    QTest::newRow("left") << int(taLeftJustify);
    QTest::newRow("centred") << int(taCenter);
    QTest::newRow("right") << int(taRightJustify);
}

void TestSortGridFormat::longTextStaysInItsCell()
{
    QFETCH(int, alignment);
    auto grid = ShownGrid();
    QVERIFY(grid);
    grid->SetOptions(grid->Options() & ~TGridOptions(goRangeSelect));
    grid->SetAlignmentHorz(TAlignment(alignment));
    grid->SetCells(1, 3, QString());
    grid->SetCells(2, 3, QStringLiteral("Wolfenbuettel-Schoenhausen"));
    grid->SetCells(3, 3, QString());
    const QImage shot = Shot(*grid);
    QVERIFY(!InkColumns(shot, grid->CellRect(2, 3), qRgb(255, 255, 255)).isEmpty());
    QVERIFY(InkColumns(shot, grid->CellRect(1, 3), qRgb(255, 255, 255)).isEmpty());
    QVERIFY(InkColumns(shot, grid->CellRect(3, 3), qRgb(255, 255, 255)).isEmpty());
}

void TestSortGridFormat::checkBoxHidesTextAndShowsGlyph()
{
    auto grid = ShownGrid();
    QVERIFY(grid);
    grid->SetOptions(grid->Options() & ~TGridOptions(goRangeSelect));
    grid->SetCells(1, 3, QStringLiteral("V"));
    grid->SetCells(1, 4, QString());
    grid->OnGetCellFormat = [&](QObject *, int col, int row, TGridDrawState, TFormatOptions &,
                                bool &checkBox, bool &, bool &) { checkBox = col == 1 && row > 2; };
    const QImage image = Shot(*grid);
    const QImage checked = GridGlyph(QStringLiteral("CHECKED")).toImage();
    const QImage unchecked = GridGlyph(QStringLiteral("UNCHECKED")).toImage();
    auto glyphAt = [&](int row) {
        const QRect cell = grid->CellRect(1, row);
        const int left = cell.left() + (cell.width() - 16) / 2;
        const int top = cell.top() + kRowHeight / 2 - 8;
        return image.copy(left, top, 16, 16);
    };
    // The tick's centre differs between the two boxes: compare a pixel inside the box.
    QCOMPARE(glyphAt(3).pixel(7, 10), checked.pixel(7, 10));
    QCOMPARE(glyphAt(4).pixel(7, 10), qRgb(255, 255, 255));
    QVERIFY(checked.pixel(7, 10) != unchecked.pixel(7, 10));
}

void TestSortGridFormat::sortArrowOnlyWhileSorting()
{
    auto grid = ShownGrid();
    QVERIFY(grid);
    const QRect title = grid->CellRect(2, 0);
    const QRect arrowArea(title.left() + 3, kRowHeight / 2 - 4, 8, 7);
    auto arrowInk = [&] {
        return InkColumns(Shot(*grid), arrowArea, grid->FixedColor().rgb()).size();
    };
    // No title text where the arrow goes.
    grid->SetCells(2, 0, QString());
    grid->SortOptions()->SortCol = 2;
    QCOMPARE(arrowInk(), 0);
    grid->SortOptions()->CanSort = true;
    QVERIFY(arrowInk() >= 6);
    const QImage up = Shot(*grid).copy(arrowArea);
    grid->SortOptions()->SortDirection = sdDescending;
    QVERIFY(Shot(*grid).copy(arrowArea) != up);
}

void TestSortGridFormat::raisedBevel()
{
    auto grid = ShownGrid();
    QVERIFY(grid);
    grid->SetOptions(grid->Options() & ~TGridOptions(goRangeSelect));
    grid->OnGetCellFormat = [&](QObject *, int, int, TGridDrawState, TFormatOptions &options,
                                bool &, bool &, bool &) {
        options.BevelStyle = cbRaised;
        options.ShadowColor = Qt::blue;
        options.HighlightColor = Qt::green;
    };
    const QImage image = Shot(*grid);
    const QRect cell = grid->CellRect(2, 3);
    QCOMPARE(image.pixel(cell.right(), cell.center().y()), QColor(Qt::blue).rgb());
    QCOMPARE(image.pixel(cell.center().x(), cell.bottom()), QColor(Qt::blue).rgb());
    QCOMPARE(image.pixel(cell.left(), cell.center().y()), QColor(Qt::green).rgb());
    QCOMPARE(image.pixel(cell.center().x(), cell.top()), QColor(Qt::green).rgb());
    // The title row gets no bevel.
    const QRect title = grid->CellRect(2, 0);
    QVERIFY(image.pixel(title.left(), title.center().y()) != QColor(Qt::green).rgb());
}

void TestSortGridFormat::hideRowsBlanksDataRows()
{
    auto grid = ShownGrid();
    QVERIFY(grid);
    grid->MoveColRow(1, 3, true, true);
    QList<int> rowsAsked;
    grid->OnGetCellFormat = [&](QObject *, int, int row, TGridDrawState, TFormatOptions &, bool &,
                                bool &, bool &) { rowsAsked.append(row); };
    grid->SetHideRows(true);
    QVERIFY(grid->HideRows());
    QCOMPARE(grid->Row(), 1);
    const QImage image = Shot(*grid);
    QVERIFY(!rowsAsked.isEmpty());
    QVERIFY(std::all_of(rowsAsked.begin(), rowsAsked.end(), [](int row) { return row == 0; }));
    QVERIFY(InkColumns(image, grid->CellRect(2, 3), qRgb(255, 255, 255)).isEmpty());
    QVERIFY(!InkColumns(image, grid->CellRect(2, 0), grid->FixedColor().rgb()).isEmpty());
    grid->SetHideRows(false);
    QVERIFY(!InkColumns(Shot(*grid), grid->CellRect(2, 3), qRgb(255, 255, 255)).isEmpty());
}

void TestSortGridFormat::filterWithoutHandlerHidesAll()
{
    TSortGrid grid;
    grid.SetColCount(2);
    grid.SetRowCount(4);
    grid.Cols(0).Assign(QStringList{"k", "b", "a", "c"});
    grid.SetModified(false);
    grid.SetFiltered(true);
    QCOMPARE(grid.RowCount(), 2);
    QCOMPARE(grid.FilteredCount(), 3);
    QCOMPARE(grid.Rows(1).ToStringList(), (QStringList{"", ""}));
    QCOMPARE(grid.Cells(0, 0), QStringLiteral("k"));
    QVERIFY(!grid.Modified());
    QVERIFY(!grid.NowUpdating());
    grid.SetFiltered(false);
    QCOMPARE(grid.FilteredCount(), 0);
    QCOMPARE(grid.RowCount(), 4);
    // Back, and sorted by SortCol since rows were hidden.
    QCOMPARE(grid.Cols(0).ToStringList(), (QStringList{"k", "a", "b", "c"}));
    QVERIFY(!grid.Modified());
}

void TestSortGridFormat::filterKeepsAcceptedRowsInOrder()
{
    TSortGrid grid;
    grid.SetColCount(2);
    grid.SetRowCount(6);
    grid.SortOptions()->CanSort = false;
    grid.Cols(0).Assign(QStringList{"name", "Anna", "Bert", "Alex", "Cora", "Anke"});
    QObject marker;
    grid.SetObjects(1, 2, &marker);
    QList<QStringList> seen;
    grid.OnSetFilter = [&](QObject *, const QStringList &row, bool &accept) {
        seen.append(row);
        accept = row.at(0).startsWith(u'A');
    };
    grid.SetFiltered(true);
    QCOMPARE(seen.size(), 5);
    QCOMPARE(seen.first(), (QStringList{"Anna", ""}));
    QCOMPARE(grid.RowCount(), 4);
    QCOMPARE(grid.FilteredCount(), 2);
    QCOMPARE(grid.Cols(0).ToStringList(), (QStringList{"name", "Anna", "Alex", "Anke"}));
    QCOMPARE(grid.Row(), 1);
    // Objects stay where they were.
    QCOMPARE(grid.Objects(1, 2), &marker);
    grid.SetFiltered(false);
    QCOMPARE(grid.RowCount(), 6);
    QCOMPARE(grid.Cols(0).ToStringList(),
             (QStringList{"name", "Anna", "Alex", "Anke", "Bert", "Cora"}));
}

void TestSortGridFormat::filteringAgainLosesNoRow()
{
    TSortGrid grid;
    grid.SetColCount(1);
    grid.SetRowCount(6);
    grid.SortOptions()->CanSort = false;
    grid.Cols(0).Assign(QStringList{"n", "1", "2", "3", "4", "5"});
    int limit = 4;
    grid.OnSetFilter = [&](QObject *, const QStringList &row, bool &accept) {
        accept = row.at(0).toInt() <= limit;
    };
    grid.SetFiltered(true);
    QCOMPARE(grid.RowCount(), 5);
    limit = 2;
    grid.SetFiltered(true);
    QCOMPARE(grid.RowCount(), 3);
    QCOMPARE(grid.FilteredCount(), 3);
    grid.SetFiltered(false);
    QCOMPARE(grid.RowCount(), 6);
    QStringList all = grid.Cols(0).ToStringList();
    std::sort(all.begin(), all.end());
    QCOMPARE(all, (QStringList{"1", "2", "3", "4", "5", "n"}));
}

void TestSortGridFormat::propertiesAtConstruction()
{
    TSortGrid grid;
    QCOMPARE(grid.AlignmentHorz(), taLeftJustify);
    QCOMPARE(grid.AlignmentVert(), taTopJustify);
    QCOMPARE(grid.BevelStyle(), cbNone);
    QVERIFY(!grid.HideRows());
    QVERIFY(!grid.Filtered());
    QVERIFY(!grid.MultiSelect());
    QVERIFY(!grid.ExtendedKeys());
    QVERIFY(!grid.ProportionalScrollBars());
    QVERIFY(!grid.Modified());
    QCOMPARE(grid.FixedCols(), 0);
    QCOMPARE(grid.PrintOptions()->Copies, 1u);
    QCOMPARE(grid.PrintOptions()->PrintRange, prAll);
    grid.SetMultiSelect(true);
    QVERIFY(grid.Options() & goRowSelect);
    int modified = 0;
    grid.OnModified = [&](QObject *) { ++modified; };
    grid.SetUserSettings(QStringList{"a=1"});
    grid.SetUserSettings(QStringList{"a=1"});
    QCOMPARE(modified, 2);
    QVERIFY(grid.Modified());
    grid.SetModified(false);
    QCOMPARE(modified, 2);
}

QTEST_MAIN(TestSortGridFormat)
#include "tst_sortgridformat.moc"

#include "TSortGrid.h"

#include <QImage>
#include <QTest>

namespace {
constexpr QRgb kFixed = 0xffd0d0d0;
constexpr QRgb kData = 0xffffffff;
} // namespace

class TestGridView : public QObject
{
    Q_OBJECT

private slots:
    void paintsFixedAndDataCells();
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
    image.save(QStringLiteral("gridview.png"));
    // Sample the lower right corner of each cell, clear of text and edges.
    auto sample = [&](int col, int row) {
        const QRect rect = grid.CellRect(col, row);
        return image.pixel(rect.right() - 3, rect.bottom() - 3);
    };
    QCOMPARE(sample(0, 0), kFixed);
    QCOMPARE(sample(2, 0), kFixed);
    QCOMPARE(sample(0, 2), kFixed);
    QCOMPARE(sample(2, 2), kData);
    QCOMPARE(image.pixel(image.width() - 2, image.height() - 2), kData);
}

QTEST_MAIN(TestGridView)
#include "tst_gridview.moc"

#include "StarterListGrid.h"
#include "TSortGrid.h"

#include <QTest>

// The step that writes a read list into the standings grid.
class TestStarterListGrid : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void fillsColumnsTwoToElevenAndTheRowCount();
    void leavesPositionAndKeyColumnsAlone();
    void shorterListShrinksTheGrid();
    void emptyListLeavesOnlyTheTitleRow();

private:
    static QStringList row(const QString &number, const QString &driver);
    TSortGrid *m_grid = nullptr;
};

void TestStarterListGrid::init()
{
    m_grid = new TSortGrid;
    m_grid->SetColCount(12);
    m_grid->SetFixedCols(2);
    m_grid->SetRowCount(13);
    m_grid->resize(600, 300);
    for (int r = 0; r < m_grid->RowCount(); ++r) {
        m_grid->SetCells(0, r, QString::number(r));
        m_grid->SetCells(1, r, QStringLiteral("F%1").arg(r));
    }
}

void TestStarterListGrid::cleanup()
{
    delete m_grid;
    m_grid = nullptr;
}

QStringList TestStarterListGrid::row(const QString &number, const QString &driver)
{
    QStringList texts(10);
    texts[0] = number;
    texts[1] = driver;
    return texts;
}

void TestStarterListGrid::fillsColumnsTwoToElevenAndTheRowCount()
{
    QStringList full;
    for (int c = 0; c < 10; ++c)
        full << QStringLiteral("c%1").arg(c);
    StarterList list;
    for (int i = 1; i <= 15; ++i)
        list << row(QString::number(i), QStringLiteral("Fahrer %1").arg(i));
    list[2] = full;
    WriteStarterList(*m_grid, list);

    QCOMPARE(m_grid->RowCount(), 16);
    QCOMPARE(m_grid->Cells(2, 1), "1");
    QCOMPARE(m_grid->Cells(3, 15), "Fahrer 15");
    for (int c = 0; c < 10; ++c)
        QCOMPARE(m_grid->Cells(c + 2, 3), QStringLiteral("c%1").arg(c));
    QCOMPARE(m_grid->TopRow(), 1);
    QCOMPARE(m_grid->LeftCol(), 2);
}

void TestStarterListGrid::leavesPositionAndKeyColumnsAlone()
{
    WriteStarterList(*m_grid, {row("7", "Jürgen Groß"), row("8", "")});
    QCOMPARE(m_grid->RowCount(), 3);
    QCOMPARE(m_grid->Cells(0, 1), "1");
    QCOMPARE(m_grid->Cells(1, 2), "F2");
    QCOMPARE(m_grid->Cells(2, 1), "7");
    QCOMPARE(m_grid->Cells(3, 1), "Jürgen Groß");
    QCOMPARE(m_grid->Cells(3, 2), "");
}

void TestStarterListGrid::shorterListShrinksTheGrid()
{
    m_grid->SetCells(3, 5, QStringLiteral("alt"));
    WriteStarterList(*m_grid, {row("1", "A"), row("2", "B"), row("3", "C")});
    QCOMPARE(m_grid->RowCount(), 4);
    QCOMPARE(m_grid->Cells(3, 3), "C");
}

void TestStarterListGrid::emptyListLeavesOnlyTheTitleRow()
{
    QStringList told;
    m_grid->ShowMessage = [&told](const QString &message) { told << message; };
    WriteStarterList(*m_grid, {});
    QCOMPARE(m_grid->RowCount(), 1);
    QCOMPARE(told, QStringList{"Rowsize too small"});
    QCOMPARE(m_grid->Cells(0, 0), "0");
}

QTEST_MAIN(TestStarterListGrid)
#include "tst_starterlistgrid.moc"

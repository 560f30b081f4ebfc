#include "TSortGrid.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Talvenbahn 1.7"));
    auto *grid = new TSortGrid(&window);
    const QStringList titles = {
        QStringLiteral("Pos"),     QStringLiteral("Key"),      QStringLiteral("Nr."),
        QStringLiteral("Fahrer"),  QStringLiteral("R.Nr."),    QStringLiteral("Zeit"),
        QStringLiteral("L.Runde"), QStringLiteral("Vorrunde"), QStringLiteral("Top Runde"),
        QStringLiteral("Zum 1."),  QStringLiteral("Vor"),      QStringLiteral("km/h")};
    grid->SetColCount(int(titles.size()));
    grid->SetRowCount(13);
    grid->Rows(0).Assign(titles);
    for (int car = 1; car <= 12; ++car)
        grid->SetCells(1, car, QStringLiteral("F%1").arg(car));
    window.setCentralWidget(grid);
    window.resize(800, 500);
    window.show();
    return app.exec();
}

#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Talvenbahn 1.7"));
    window.resize(800, 500);
    window.show();
    return app.exec();
}

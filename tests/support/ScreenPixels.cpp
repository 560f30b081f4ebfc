#include "ScreenPixels.h"

#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QWidget>

QImage PixelsOnScreen(QWidget *widget)
{
    // Repaints wait for the window's next update request, which may lie a few ms ahead.
    QTest::qWait(30);
    QWidget *window = widget->window();
    const QPoint origin = widget->mapTo(window, QPoint(0, 0));
    return window->screen()
        ->grabWindow(window->winId(), origin.x(), origin.y(), widget->width(), widget->height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

QImage FreshPaint(QWidget *widget)
{
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

bool ScreenShowsFreshPaint(QWidget *widget)
{
    // The screen first: the pending repaints run before the fresh paint is made.
    const QImage onScreen = PixelsOnScreen(widget);
    return onScreen == FreshPaint(widget);
}

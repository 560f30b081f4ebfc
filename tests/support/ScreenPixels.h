#pragma once

#include <QImage>

class QWidget;

// What the screen shows of a widget: the pixels last flushed from its window's backing store,
// after the repaints still pending have run.
QImage PixelsOnScreen(QWidget *widget);
// The widget painted afresh, whole. Equal to PixelsOnScreen unless a repaint left out a part
// that changed.
QImage FreshPaint(QWidget *widget);
// True when the screen shows the widget as a fresh paint would: no repaint left out a part
// that changed.
bool ScreenShowsFreshPaint(QWidget *widget);

#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class QWidget;

// The caption the window system puts in a window's title bar: the title and, after a dash, the
// application's display name, unless the title already ends with it.
QString TitleBarText(const QString &title);

// The width a window needs to show its whole caption in the title bar, with the bar's buttons.
// The bar is drawn by the desktop in a font of its own, so the estimate errs on the wide side.
int TitleBarWidth(const QWidget *window);

// Makes window at least as wide as its caption and its contents need, but no wider than its
// screen's free area.
void FitWidthToTitle(QWidget *window);

// A window of the wanted size centred on centre, shrunk and moved as far as needed to lie,
// frame included, on available (a screen's free area).
QRect PlaceOnScreen(QSize wanted, QPoint centre, const QRect &available);

// A side window of the wanted size on available (a screen's free area, frame included), kept
// clear of keepClear (a button of another window that must stay reachable): beside it, or else
// below it, as high as minimum allows. Where it fits nowhere, it is placed as PlaceOnScreen would.
QRect PlaceClearOf(QSize wanted, const QRect &keepClear, const QRect &available, QSize minimum);

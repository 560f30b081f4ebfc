#include "WindowFit.h"

#include <QApplication>
#include <QFontMetrics>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace {

// The desktop's title bars use a bold face, often a little larger than the application's.
constexpr double kTitleFontScale = 1.15;
// One button of the title bar (close, minimise, maximise) and the bar's own icon and edges.
constexpr int kTitleButtonWidth = 32;
constexpr int kTitleBarPadding = 48;
// The frame the window manager adds around a window: its title bar above, a border elsewhere.
constexpr int kFrameTop = 40;
constexpr int kFrameBorder = 8;

} // namespace

QString TitleBarText(const QString &title)
{
    const QString name = QGuiApplication::applicationDisplayName();
    if (title.isEmpty())
        return name;
    if (name.isEmpty() || title.endsWith(name))
        return title;
    return title + QStringLiteral(" \u2014 ") + name;
}

int TitleBarWidth(const QWidget *window)
{
    QFont font = QApplication::font();
    font.setBold(true);
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * kTitleFontScale);
    else
        font.setPixelSize(int(font.pixelSize() * kTitleFontScale + 0.5));
    const Qt::WindowFlags flags = window->windowFlags();
    int buttons = 1; // the close button
    if (flags & Qt::WindowMinimizeButtonHint)
        ++buttons;
    if (flags & Qt::WindowMaximizeButtonHint)
        ++buttons;
    return QFontMetrics(font).horizontalAdvance(TitleBarText(window->windowTitle())) +
           buttons * kTitleButtonWidth + kTitleBarPadding;
}

void FitWidthToTitle(QWidget *window)
{
    int width = std::max(TitleBarWidth(window), window->minimumSizeHint().width());
    if (const QScreen *screen = window->screen())
        width = std::min(width, screen->availableGeometry().width() - 2 * kFrameBorder);
    window->setMinimumWidth(std::max(width, window->minimumWidth()));
}

QRect PlaceOnScreen(QSize wanted, QPoint centre, const QRect &available)
{
    const QRect room = available.adjusted(kFrameBorder, kFrameTop, -kFrameBorder, -kFrameBorder);
    QRect placed(QPoint(), wanted.boundedTo(room.size()));
    placed.moveCenter(centre);
    placed.moveLeft(
        std::max(room.left(), std::min(placed.left(), room.right() + 1 - placed.width())));
    placed.moveTop(
        std::max(room.top(), std::min(placed.top(), room.bottom() + 1 - placed.height())));
    return placed;
}

QRect PlaceClearOf(QSize wanted, const QRect &keepClear, const QRect &available, QSize minimum)
{
    const QRect room = available.adjusted(kFrameBorder, kFrameTop, -kFrameBorder, -kFrameBorder);
    const QRect framed = keepClear.adjusted(-kFrameBorder, -kFrameTop, kFrameBorder, kFrameBorder);
    const QSize size = wanted.boundedTo(room.size());
    QRect placed = PlaceOnScreen(size, room.center(), available);
    if (keepClear.isEmpty() || !placed.intersects(framed))
        return placed;
    // Right of it, left of it, then below it; the first where the window keeps its minimum.
    const QRect right(framed.right() + 1, room.top(), room.right() - framed.right(), room.height());
    const QRect left(room.left(), room.top(), framed.left() - room.left(), room.height());
    const QRect below(room.left(), framed.bottom() + 1, room.width(),
                      room.bottom() - framed.bottom());
    for (const QRect &side : {right, left, below}) {
        if (side.width() < minimum.width() || side.height() < minimum.height())
            continue;
        QRect there(QPoint(), size.boundedTo(side.size()));
        there.moveCenter(side.center());
        there.moveTop(side.top());
        return there;
    }
    return placed;
}

#include "LapKeyFilter.h"

#include <QCoreApplication>
#include <QKeyEvent>

TLapKeyFilter::TLapKeyFilter(const TTickCounter &ticks, QObject *parent)
    : QObject(parent), FTicks(ticks)
{
    if (QCoreApplication *app = QCoreApplication::instance())
        app->installEventFilter(this);
}

TLapKeyFilter::~TLapKeyFilter()
{
    if (QCoreApplication *app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

int TLapKeyFilter::LapKeyCar(const QEvent *event)
{
    const int key = static_cast<const QKeyEvent *>(event)->key();
    if (key < Qt::Key_F1 || key > Qt::Key_F12)
        return 0;
    return key - Qt::Key_F1 + 1;
}

TLapKeyFilter::TKind TLapKeyFilter::LapKeyKind(const QEvent *event)
{
    const Qt::KeyboardModifiers modifiers = static_cast<const QKeyEvent *>(event)->modifiers();
    if (modifiers & Qt::ControlModifier)
        return TKind::Find;
    if (modifiers & Qt::ShiftModifier)
        return TKind::Now;
    return TKind::Press;
}

bool TLapKeyFilter::eventFilter(QObject *watched, QEvent *event)
{
    // Every input event tells the window system's clock a little better.
    if (event->isInputEvent())
        FEventTime.Observe(static_cast<QInputEvent *>(event)->timestamp(), FTicks.GetTickCount());
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Claimed here, so no shortcut fires for it: the press itself arrives next.
        if (LapKeyCar(event) == 0)
            break;
        event->accept();
        return true;
    case QEvent::KeyPress: {
        const int car = LapKeyCar(event);
        if (car == 0)
            break;
        const auto *key = static_cast<const QKeyEvent *>(event);
        const quint32 now = FTicks.GetTickCount();
        // The key goes to the widget that has the keyboard: watched.
        const bool picksCar = LapKeyKind(event) == TKind::Press && watched->isWidgetType() &&
                              watched->property(kPicksCarProperty).toBool();
        if (FGate.Press(car, key->timestamp(), key->isAutoRepeat(), now) && OnLapKey && !picksCar)
            OnLapKey(car, FEventTime.Stamp(key->timestamp(), now), LapKeyKind(event));
        return !picksCar;
    }
    case QEvent::KeyRelease: {
        const int car = LapKeyCar(event);
        if (car == 0)
            break;
        const auto *key = static_cast<const QKeyEvent *>(event);
        FGate.Release(car, key->timestamp(), key->isAutoRepeat(), FTicks.GetTickCount());
        return true;
    }
    case QEvent::ApplicationDeactivate:
        // Releases go to whichever program has the keyboard now; none may be waited for.
        FGate.ReleaseAll();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

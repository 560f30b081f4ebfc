#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

#include <functional>

class QAction;
class QObject;
class QWidget;

// A keyboard command: an action on owner (a window, or a widget for WidgetShortcut) with its
// object name, caption and keys; handler runs while receiver lives.
QAction *AddCommandAction(QWidget *owner, QObject *receiver, const QString &name,
                          const QString &caption, const QList<QKeySequence> &keys,
                          std::function<void()> handler, Qt::ShortcutContext context);

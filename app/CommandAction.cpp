#include "CommandAction.h"

#include <QAction>
#include <QWidget>

QAction *AddCommandAction(QWidget *owner, QObject *receiver, const QString &name,
                          const QString &caption, const QList<QKeySequence> &keys,
                          std::function<void()> handler, Qt::ShortcutContext context)
{
    auto *action = new QAction(caption, owner);
    action->setObjectName(name);
    action->setShortcuts(keys);
    action->setShortcutContext(context);
    QObject::connect(action, &QAction::triggered, receiver, std::move(handler));
    owner->addAction(action);
    return action;
}

#include "EndOffThread.h"

#include <QObject>
#include <QThread>

QThread *EndOffThread(QObject *object)
{
    object->disconnect();
    QThread *ending = QThread::create([object] { delete object; });
    // What was posted to it goes along and is dropped with it: the ending thread runs no loop.
    object->moveToThread(ending);
    QObject::connect(ending, &QThread::finished, ending, &QObject::deleteLater);
    ending->start();
    return ending;
}

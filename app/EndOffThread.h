#pragma once

class QObject;
class QThread;

// Deletes object on a thread of its own, so a destructor that waits for the network (a
// connection attempt that has not yet given up) never holds up the window's thread. The object
// must have no parent; signals from it are cut first. Returns the thread, which deletes itself
// once done.
QThread *EndOffThread(QObject *object);

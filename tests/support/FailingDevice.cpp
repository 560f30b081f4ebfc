#include "FailingDevice.h"

FailingDevice::FailingDevice(QObject *parent) : QIODevice(parent) {}

qint64 FailingDevice::readData(char *, qint64)
{
    return -1;
}

qint64 FailingDevice::writeData(const char *, qint64)
{
    setErrorString(QStringLiteral("write refused"));
    return -1;
}

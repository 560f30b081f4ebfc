#pragma once

#include <QIODevice>

// A device that opens fine and then refuses every write, for testing that writers report
// a failed write instead of claiming success.
class FailingDevice : public QIODevice
{
    Q_OBJECT
public:
    explicit FailingDevice(QObject *parent = nullptr);

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 maxSize) override;
};

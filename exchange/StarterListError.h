#pragma once

#include <QString>

#include <stdexcept>

// A starter list that cannot be imported. It passes to the application's error handler, which
// shows its text (the handler reads what() in the local encoding).
class EStarterListError : public std::runtime_error
{
public:
    explicit EStarterListError(const QString &message)
        : std::runtime_error(message.toLocal8Bit().toStdString())
    {}
};

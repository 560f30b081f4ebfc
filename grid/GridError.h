#pragma once

#include <QString>
#include <stdexcept>

// An error the grid raises to its caller (a bad sort key, a column out of range).
class EGridError : public std::runtime_error
{
public:
    explicit EGridError(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString Message() const { return QString::fromStdString(what()); }
};

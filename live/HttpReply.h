#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

// One complete HTTP/1.1 response as bytes. The live server writes its answers itself so it
// decides every header: no server name or version, no caching, nothing about the machine.
struct THttpReply
{
    int status = 200;
    QByteArray contentType;
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> extraHeaders;
    bool closeConnection = false;
    // Said to an HTTP/1.0 client that asked to keep the connection, which it otherwise would not.
    bool keepAliveHeader = false;

    // For HEAD the headers (with the length of the body) go out without the body.
    QByteArray toBytes(bool withBody = true) const;
};

THttpReply TextReply(int status, const QByteArray &germanText);

// The reason phrase of the few statuses this server sends.
QByteArray ReasonPhrase(int status);

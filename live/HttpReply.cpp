#include "HttpReply.h"

QByteArray ReasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 413:
        return "Content Too Large";
    case 431:
        return "Request Header Fields Too Large";
    case 503:
        return "Service Unavailable";
    case 505:
        return "HTTP Version Not Supported";
    }
    return "Error";
}

QByteArray THttpReply::toBytes(bool withBody) const
{
    QByteArray out;
    out.reserve(256 + (withBody ? body.size() : 0));
    out += "HTTP/1.1 " + QByteArray::number(status) + ' ' + ReasonPhrase(status) + "\r\n";
    if (!contentType.isEmpty())
        out += "Content-Type: " + contentType + "\r\n";
    out += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    out += "Cache-Control: no-store\r\n"
           "X-Content-Type-Options: nosniff\r\n"
           "Referrer-Policy: no-referrer\r\n";
    for (const auto &header : extraHeaders)
        out += header.first + ": " + header.second + "\r\n";
    if (closeConnection)
        out += "Connection: close\r\n";
    else if (keepAliveHeader)
        out += "Connection: keep-alive\r\n";
    out += "\r\n";
    if (withBody)
        out += body;
    return out;
}

THttpReply TextReply(int status, const QByteArray &germanText)
{
    THttpReply reply;
    reply.status = status;
    reply.contentType = "text/plain; charset=utf-8";
    reply.body = germanText + '\n';
    return reply;
}

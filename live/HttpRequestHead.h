#pragma once

#include <QByteArray>

// What the live server needs to know of one request head (the request line and the header
// lines, without the blank line that ends them), looked at before the HTTP parser takes it.
struct THttpRequestHead
{
    // 0 for a head the server takes; 400 for a malformed one (a header line without a colon,
    // Content-Length headers that disagree, ...); 505 for another version than HTTP/1.x.
    int refusal = 0;
    int minorVersion = 1;
    // HTTP/1.1 keeps the connection unless the client says close; HTTP/1.0 closes it unless
    // the client asks for keep-alive.
    bool keepAlive = true;
};

THttpRequestHead CheckRequestHead(const QByteArray &head);

// The length of the head at the start of bytes, with the blank line that ends it (lines end in
// CRLF or a bare LF); -1 while that line has not arrived.
qsizetype RequestHeadLength(const QByteArray &bytes);

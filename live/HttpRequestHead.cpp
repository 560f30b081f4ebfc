#include "HttpRequestHead.h"

#include <QList>

#include <algorithm>

namespace {

bool isTokenChar(char c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    return QByteArrayView("!#$%&'*+-.^_`|~").contains(c);
}

bool isToken(const QByteArray &text)
{
    if (text.isEmpty())
        return false;
    for (const char c : text) {
        if (!isTokenChar(c))
            return false;
    }
    return true;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// "HTTP/<digit>.<digit>", the only form of a version HTTP/1.x knows.
bool isVersion(const QByteArray &text)
{
    return text.size() == 8 && text.startsWith("HTTP/") && isDigit(text[5]) && text[6] == '.' &&
           isDigit(text[7]);
}

THttpRequestHead refused(int status)
{
    THttpRequestHead head;
    head.refusal = status;
    head.keepAlive = false;
    return head;
}

} // namespace

THttpRequestHead CheckRequestHead(const QByteArray &head)
{
    QList<QByteArray> lines = head.split('\n');
    for (QByteArray &line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    const QList<QByteArray> parts = lines.value(0).split(' ');
    // A request line without a version is how HTTP/0.9 asked.
    if (parts.size() == 2 && isToken(parts[0]) && !parts[1].isEmpty())
        return refused(505);
    if (parts.size() != 3 || !isToken(parts[0]) || parts[1].isEmpty() || !isVersion(parts[2]))
        return refused(400);
    if (parts[2][5] != '1')
        return refused(505);

    THttpRequestHead result;
    result.minorVersion = parts[2][7] - '0';
    QByteArray contentLength;
    bool transferEncoding = false;
    bool close = false;
    bool keepAlive = false;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray &line = lines[i];
        const qsizetype colon = line.indexOf(':');
        // A name with a space in it or before the colon, or a folded continuation line, would
        // be read differently by different readers.
        if (colon <= 0 || !isToken(line.left(colon)))
            return refused(400);
        const QByteArray name = line.left(colon).toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (name == "content-length") {
            for (const QByteArray &item : value.split(',')) {
                const QByteArray length = item.trimmed();
                if (length.isEmpty() || length.size() > 18 ||
                    !std::all_of(length.begin(), length.end(), isDigit))
                    return refused(400);
                if (!contentLength.isEmpty() && length != contentLength)
                    return refused(400);
                contentLength = length;
            }
        } else if (name == "transfer-encoding") {
            transferEncoding = true;
        } else if (name == "connection") {
            for (const QByteArray &item : value.split(',')) {
                const QByteArray option = item.trimmed().toLower();
                close = close || option == "close";
                keepAlive = keepAlive || option == "keep-alive";
            }
        }
    }
    // With both, where the body ends depends on which of the two a reader believes.
    if (transferEncoding && !contentLength.isEmpty())
        return refused(400);
    result.keepAlive = !close && (result.minorVersion >= 1 || keepAlive);
    return result;
}

qsizetype RequestHeadLength(const QByteArray &bytes)
{
    for (qsizetype at = bytes.indexOf('\n'); at >= 0; at = bytes.indexOf('\n', at + 1)) {
        if (bytes.mid(at + 1, 1) == "\n")
            return at + 2;
        if (bytes.mid(at + 1, 2) == "\r\n")
            return at + 3;
    }
    return -1;
}

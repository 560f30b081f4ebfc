#include "XmlScanner.h"

#include <QIODevice>

#include <algorithm>
#include <cstring>

namespace {

constexpr qsizetype kChunkBytes = 64 * 1024;
// Entities make raw character data at most this much longer than its decoded form.
constexpr qsizetype kRawPerDecoded = 6;
// "&#x10FFFF;" and the named entities are shorter.
constexpr qsizetype kMaxEntityBytes = 12;

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

QByteArrayView localPart(QByteArrayView qualified)
{
    // Names are short: a plain loop beats a general search here.
    for (qsizetype i = qualified.size() - 1; i >= 0; --i) {
        if (qualified.at(i) == ':')
            return qualified.sliced(i + 1);
    }
    return qualified;
}

void appendUtf8(char32_t code, QByteArray *out)
{
    if (code < 0x80) {
        out->append(char(code));
    } else if (code < 0x800) {
        out->append(char(0xC0 | (code >> 6)));
        out->append(char(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out->append(char(0xE0 | (code >> 12)));
        out->append(char(0x80 | ((code >> 6) & 0x3F)));
        out->append(char(0x80 | (code & 0x3F)));
    } else {
        out->append(char(0xF0 | (code >> 18)));
        out->append(char(0x80 | ((code >> 12) & 0x3F)));
        out->append(char(0x80 | ((code >> 6) & 0x3F)));
        out->append(char(0x80 | (code & 0x3F)));
    }
}

// One entity reference without its '&' and ';' ("amp", "#233", "#xE9").
bool appendEntity(QByteArrayView entity, QByteArray *out)
{
    if (entity == "lt")
        out->append('<');
    else if (entity == "gt")
        out->append('>');
    else if (entity == "amp")
        out->append('&');
    else if (entity == "quot")
        out->append('"');
    else if (entity == "apos")
        out->append('\'');
    else if (entity.size() >= 2 && entity.front() == '#') {
        const bool hex = entity.at(1) == 'x';
        bool ok = false;
        const QByteArrayView digits = entity.sliced(hex ? 2 : 1);
        const qulonglong code = digits.isEmpty() ? 0 : digits.toULongLong(&ok, hex ? 16 : 10);
        if (!ok || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        appendUtf8(char32_t(code), out);
    } else {
        return false;
    }
    return true;
}

} // namespace

XmlScanner::XmlScanner(QIODevice *device, qsizetype maxTextBytes)
    : m_device(device), m_maxTextBytes(maxTextBytes)
{
    m_buffer.reserve(kChunkBytes * 2);
}

XmlScanner::Token XmlScanner::fail(Problem problem, const QString &message)
{
    if (m_problem == Problem::None) {
        m_problem = problem;
        m_error = message;
    }
    m_token = Invalid;
    return Invalid;
}

void XmlScanner::countLines(QByteArrayView consumed)
{
    m_line += std::count(consumed.begin(), consumed.end(), '\n');
}

bool XmlScanner::fill()
{
    if (m_deviceDone || m_problem != Problem::None)
        return false;
    if (m_pos > 0) {
        countLines(QByteArrayView(m_buffer).first(m_pos));
        m_buffer.remove(0, m_pos);
        m_pos = 0;
    }
    const qsizetype old = m_buffer.size();
    m_buffer.resize(old + kChunkBytes);
    const qint64 got = m_device->read(m_buffer.data() + old, kChunkBytes);
    m_buffer.resize(old + std::max<qint64>(got, 0));
    if (got < 0) {
        m_deviceDone = true;
        fail(Problem::Device, m_device->errorString());
        return false;
    }
    if (got == 0) {
        m_deviceDone = true;
        return false;
    }
    if (!m_started) {
        m_started = true;
        if (m_buffer.startsWith("\xEF\xBB\xBF"))
            m_pos = 3;
        else if (m_buffer.startsWith("\xFF\xFE") || m_buffer.startsWith("\xFE\xFF")) {
            fail(Problem::Malformed, QStringLiteral("der Text ist nicht UTF-8-kodiert"));
            return false;
        }
    }
    return true;
}

XmlScanner::Token XmlScanner::next()
{
    if (m_token == Invalid && m_problem != Problem::None)
        return Invalid;
    if (m_pendingEnd) {
        // The end of an empty element ("<c/>"), whose name is still current.
        m_pendingEnd = false;
        popOpen();
        return m_token = EndElement;
    }
    for (;;) {
        if (m_pos >= m_buffer.size() && !fill()) {
            if (m_problem != Problem::None)
                return Invalid;
            if (!m_openStarts.isEmpty())
                return fail(Problem::Malformed, QStringLiteral("das Dokument endet mitten in "
                                                               "einem Element"));
            if (!m_sawRoot)
                return fail(Problem::Malformed, QStringLiteral("das Dokument ist leer"));
            return m_token = EndOfDocument;
        }
        const Token token = m_buffer.at(m_pos) == '<' ? readMarkup() : readText();
        if (token != Text || !m_text.isEmpty())
            return token;
    }
}

XmlScanner::Token XmlScanner::readText()
{
    m_text.clear();
    for (;;) {
        const char *start = m_buffer.constData() + m_pos;
        const qsizetype available = m_buffer.size() - m_pos;
        const auto *lt = static_cast<const char *>(std::memchr(start, '<', size_t(available)));
        qsizetype usable = lt ? lt - start : available;
        if (!lt) {
            // Keep an entity cut off at the chunk's end for the next round.
            const qsizetype amp = QByteArrayView(start, available).lastIndexOf('&');
            if (amp >= 0 && QByteArrayView(start + amp, available - amp).indexOf(';') < 0)
                usable = amp;
        }
        const QByteArrayView raw(start, usable);
        if (m_openStarts.isEmpty()) {
            // Only blanks may stand outside the root element.
            if (std::any_of(raw.begin(), raw.end(), [](char c) { return !isSpace(c); }))
                return fail(Problem::Malformed,
                            QStringLiteral("Text außerhalb des Wurzelelements"));
        } else if (!appendDecoded(raw, &m_text)) {
            return Invalid;
        }
        m_pos += usable;
        if (m_text.size() > m_maxTextBytes)
            return fail(Problem::TextTooLong, QStringLiteral("ein Text ist zu lang"));
        if (lt)
            return m_token = Text;
        if (m_buffer.size() - m_pos > kMaxEntityBytes)
            return fail(Problem::Malformed, QStringLiteral("ungültiger Verweis auf ein Zeichen"));
        if (!fill()) {
            if (m_problem != Problem::None)
                return Invalid;
            if (m_pos < m_buffer.size())
                return fail(Problem::Malformed, QStringLiteral("unvollständiger Verweis auf ein "
                                                               "Zeichen"));
            return m_token = Text;
        }
    }
}

bool XmlScanner::appendDecoded(QByteArrayView raw, QByteArray *out)
{
    if (out->size() + raw.size() / kRawPerDecoded > m_maxTextBytes) {
        fail(Problem::TextTooLong, QStringLiteral("ein Text ist zu lang"));
        return false;
    }
    QByteArrayView bad;
    if (!decode(raw, out, &bad)) {
        fail(Problem::Malformed,
             QStringLiteral("unbekannter Verweis \"%1\"").arg(QString::fromUtf8(bad)));
        return false;
    }
    return true;
}

bool XmlScanner::decode(QByteArrayView raw, QByteArray *out, QByteArrayView *bad)
{
    qsizetype from = 0;
    while (from < raw.size()) {
        qsizetype special = from;
        while (special < raw.size() && raw.at(special) != '&' && raw.at(special) != '\r')
            ++special;
        out->append(raw.sliced(from, special - from));
        if (special == raw.size())
            break;
        if (raw.at(special) == '\r') {
            // Line ends read as one line feed, as XML asks.
            out->append('\n');
            from = special + 1;
            if (from < raw.size() && raw.at(from) == '\n')
                ++from;
            continue;
        }
        const qsizetype semicolon = raw.indexOf(';', special);
        if (semicolon < 0 || semicolon - special > kMaxEntityBytes ||
            !appendEntity(raw.sliced(special + 1, semicolon - special - 1), out)) {
            *bad = raw.sliced(special).first(std::min<qsizetype>(raw.size() - special, 12));
            return false;
        }
        from = semicolon + 1;
    }
    return true;
}

qsizetype XmlScanner::find(QByteArrayView terminator, qsizetype offset)
{
    for (;;) {
        const qsizetype found = QByteArrayView(m_buffer).sliced(m_pos).indexOf(terminator, offset);
        if (found >= 0)
            return m_pos + found;
        offset = std::max<qsizetype>(offset, m_buffer.size() - m_pos - terminator.size() + 1);
        if (m_buffer.size() - m_pos > kMaxTagBytes) {
            fail(Problem::TagTooLong,
                 QStringLiteral("ein Abschnitt ist länger als %1 KB").arg(kMaxTagBytes / 1024));
            return -1;
        }
        if (!fill()) {
            fail(Problem::Malformed, QStringLiteral("das Dokument endet mitten in einem "
                                                    "Abschnitt"));
            return -1;
        }
    }
}

bool XmlScanner::skipPast(QByteArrayView terminator, qsizetype offset)
{
    const qsizetype found = find(terminator, offset);
    if (found < 0)
        return false;
    m_pos = found + terminator.size();
    return true;
}

XmlScanner::Token XmlScanner::readMarkup()
{
    // Enough bytes to tell the kind of markup ("<![CDATA[" is the longest opening).
    while (m_buffer.size() - m_pos < 9 && fill()) {
    }
    const QByteArrayView ahead = QByteArrayView(m_buffer).sliced(m_pos);
    if (ahead.startsWith("<?"))
        return skipPast("?>", 2) ? next() : Invalid;
    if (ahead.startsWith("<!--"))
        return skipPast("-->", 4) ? next() : Invalid;
    if (ahead.startsWith("<![CDATA[")) {
        if (m_openStarts.isEmpty())
            return fail(Problem::Malformed, QStringLiteral("Text außerhalb des Wurzelelements"));
        const qsizetype close = find("]]>", 9);
        if (close < 0)
            return Invalid;
        const qsizetype start = m_pos + 9;
        if (close - start > m_maxTextBytes)
            return fail(Problem::TextTooLong, QStringLiteral("ein Text ist zu lang"));
        m_text = QByteArrayView(m_buffer).sliced(start, close - start).toByteArray();
        m_pos = close + 3;
        return m_token = Text;
    }
    if (ahead.startsWith("<!"))
        return fail(Problem::Malformed,
                    QStringLiteral("Dokumenttyp-Deklarationen werden nicht gelesen"));
    qsizetype end = 0;
    if (!findTagEnd(&end))
        return Invalid;
    return readTag(end);
}

bool XmlScanner::findTagEnd(qsizetype *end)
{
    qsizetype i = m_pos + 1;
    char quote = 0;
    for (;;) {
        const char *data = m_buffer.constData();
        const qsizetype size = m_buffer.size();
        for (; i < size; ++i) {
            const char c = data[i];
            if (quote) {
                if (c == quote)
                    quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '>') {
                *end = i;
                return true;
            } else if (c == '<') {
                fail(Problem::Malformed, QStringLiteral("ein Tag ist nicht geschlossen"));
                return false;
            }
        }
        if (size - m_pos > kMaxTagBytes) {
            fail(Problem::TagTooLong,
                 QStringLiteral("ein Tag ist länger als %1 KB").arg(kMaxTagBytes / 1024));
            return false;
        }
        const qsizetype offset = i - m_pos;
        if (!fill()) {
            fail(Problem::Malformed, QStringLiteral("das Dokument endet mitten in einem Tag"));
            return false;
        }
        i = m_pos + offset;
    }
}

XmlScanner::Token XmlScanner::readTag(qsizetype end)
{
    // Copied into a buffer that keeps its capacity, so tags cost no allocation.
    m_tag.resize(end - m_pos - 1);
    std::memcpy(m_tag.data(), m_buffer.constData() + m_pos + 1, size_t(m_tag.size()));
    m_pos = end + 1;
    m_attributeCount = 0;
    const QByteArrayView tag(m_tag);

    if (tag.startsWith('/')) {
        QByteArrayView name = tag.sliced(1);
        while (!name.isEmpty() && isSpace(name.back()))
            name.chop(1);
        if (m_openStarts.isEmpty() || openName() != name)
            return fail(
                Problem::Malformed,
                QStringLiteral("das End-Tag </%1> passt nicht").arg(QString::fromUtf8(name)));
        m_qualifiedName = name;
        m_localName = localPart(name);
        popOpen();
        return m_token = EndElement;
    }

    QByteArrayView body = tag;
    const bool empty = body.endsWith('/');
    if (empty)
        body.chop(1);
    qsizetype i = 0;
    while (i < body.size() && !isSpace(body.at(i)))
        ++i;
    m_qualifiedName = body.first(i);
    if (m_qualifiedName.isEmpty())
        return fail(Problem::Malformed, QStringLiteral("ein Tag hat keinen Namen"));
    m_localName = localPart(m_qualifiedName);
    for (;;) {
        while (i < body.size() && isSpace(body.at(i)))
            ++i;
        if (i >= body.size())
            break;
        const qsizetype nameStart = i;
        while (i < body.size() && body.at(i) != '=' && !isSpace(body.at(i)))
            ++i;
        const QByteArrayView attributeName = body.sliced(nameStart, i - nameStart);
        while (i < body.size() && isSpace(body.at(i)))
            ++i;
        if (attributeName.isEmpty() || i >= body.size() || body.at(i) != '=')
            return fail(Problem::Malformed, QStringLiteral("ungültiges Attribut"));
        ++i;
        while (i < body.size() && isSpace(body.at(i)))
            ++i;
        if (i >= body.size() || (body.at(i) != '"' && body.at(i) != '\''))
            return fail(Problem::Malformed, QStringLiteral("ungültiges Attribut"));
        const char quote = body.at(i++);
        const qsizetype valueEnd = body.indexOf(quote, i);
        if (valueEnd < 0)
            return fail(Problem::Malformed, QStringLiteral("ungültiges Attribut"));
        const Attribute attribute{localPart(attributeName), body.sliced(i, valueEnd - i)};
        if (m_attributeCount < m_attributes.size())
            m_attributes[m_attributeCount] = attribute;
        else
            m_attributes.append(attribute);
        ++m_attributeCount;
        i = valueEnd + 1;
    }
    if (m_qualifiedName.size() > kMaxNameBytes)
        return fail(Problem::TagTooLong, QStringLiteral("ein Elementname ist zu lang"));
    if (m_openStarts.size() >= kMaxDepth)
        return fail(Problem::TooDeep, QStringLiteral("die Elemente sind tiefer als %1 Ebenen "
                                                     "verschachtelt")
                                          .arg(kMaxDepth));
    m_openStarts.append(m_openNames.size());
    m_openNames.append(m_qualifiedName);
    m_sawRoot = true;
    m_pendingEnd = empty;
    return m_token = StartElement;
}

QByteArrayView XmlScanner::openName() const
{
    return QByteArrayView(m_openNames).sliced(m_openStarts.last());
}

void XmlScanner::popOpen()
{
    m_openNames.truncate(m_openStarts.last());
    m_openStarts.removeLast();
}

QByteArrayView XmlScanner::attribute(QByteArrayView localName) const
{
    for (qsizetype i = 0; i < m_attributeCount; ++i) {
        const Attribute &a = m_attributes.at(i);
        if (a.name == localName)
            return a.value;
    }
    return QByteArrayView();
}

bool XmlScanner::hasAttribute(QByteArrayView localName) const
{
    return !attribute(localName).isNull();
}

QString XmlScanner::attributeText(QByteArrayView localName) const
{
    const QByteArrayView raw = attribute(localName);
    if (!raw.contains('&'))
        return QString::fromUtf8(raw);
    QByteArray decoded;
    QByteArrayView bad;
    // A bad reference in an attribute only spoils that value.
    return QString::fromUtf8(decode(raw, &decoded, &bad) ? QByteArrayView(decoded) : raw);
}

bool XmlScanner::skipElement()
{
    const int outside = depth() - 1;
    for (;;) {
        const Token token = next();
        if (token == Invalid || token == EndOfDocument)
            return false;
        if (token == EndElement && depth() == outside)
            return true;
    }
}

bool XmlScanner::readElementText(QByteArray *text)
{
    text->clear();
    const int inside = depth();
    for (;;) {
        const Token token = next();
        if (token == Invalid || token == EndOfDocument)
            return false;
        if (token == EndElement && depth() == inside - 1)
            return true;
        if (token == Text && depth() == inside) {
            text->append(m_text);
            if (text->size() > m_maxTextBytes) {
                fail(Problem::TextTooLong, QStringLiteral("ein Text ist zu lang"));
                return false;
            }
        }
    }
}

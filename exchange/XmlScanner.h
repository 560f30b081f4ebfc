#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QVarLengthArray>

class QIODevice;

// A lean pull reader for the XML parts of workbooks: start tags with their attributes, end
// tags and character data, read in chunks from a device in UTF-8. Every size is bounded before
// memory is taken: nesting depth, the length of one tag and of one run of text, so a small
// hostile file (a text of hundreds of megabytes, millions of nested elements) is refused
// early. It checks that tags match and entities are known; it reads no document type
// declarations (and so expands no entities of its own).
class XmlScanner
{
public:
    enum Token { StartElement, EndElement, Text, EndOfDocument, Invalid };
    enum class Problem { None, Malformed, TooDeep, TextTooLong, TagTooLong, Device };

    // Far deeper than any workbook part nests (a sheet's cell text sits at depth 7).
    static constexpr int kMaxDepth = 256;
    static constexpr qsizetype kMaxTagBytes = 1024 * 1024;
    // Open elements keep their names: with the depth bound this bounds their memory.
    static constexpr qsizetype kMaxNameBytes = 1024;

    // maxTextBytes bounds one run of decoded character data.
    XmlScanner(QIODevice *device, qsizetype maxTextBytes);

    Token next();
    Token token() const { return m_token; }

    // The current element's name without its namespace prefix ("c" for "x:c").
    QByteArrayView name() const { return m_localName; }
    // An attribute of the current start tag by its name without prefix; null when absent.
    // Raw: entities are not resolved (ids, numbers and references have none).
    QByteArrayView attribute(QByteArrayView localName) const;
    bool hasAttribute(QByteArrayView localName) const;
    // The attribute's value with entities resolved.
    QString attributeText(QByteArrayView localName) const;
    // The character data of a Text token, entities resolved, in UTF-8.
    const QByteArray &text() const { return m_text; }
    // Elements open around the current token (a start tag counts itself).
    int depth() const { return int(m_openStarts.size()); }
    // Whether the current start tag closes itself ("<c/>"); its EndElement comes next.
    bool isEmptyElement() const { return m_pendingEnd; }

    // Reads past the end of the element whose start tag is current.
    bool skipElement();
    // Reads the character data of the element whose start tag is current, up to its end tag,
    // leaving out the text of elements inside it. Fails past maxTextBytes.
    bool readElementText(QByteArray *text);

    Problem problem() const { return m_problem; }
    QString errorString() const { return m_error; }
    // Line of the current position, for messages.
    qint64 lineNumber() const { return m_line; }

private:
    struct Attribute
    {
        QByteArrayView name;
        QByteArrayView value;
    };

    Token fail(Problem problem, const QString &message);
    bool fill();
    Token readText();
    Token readMarkup();
    Token readTag(qsizetype end);
    bool findTagEnd(qsizetype *end);
    // Where terminator starts, searched from offset bytes past the current position, reading
    // on as needed; -1 (failed) past kMaxTagBytes or at the end.
    qsizetype find(QByteArrayView terminator, qsizetype offset);
    bool skipPast(QByteArrayView terminator, qsizetype offset);
    bool appendDecoded(QByteArrayView raw, QByteArray *out);
    // Resolves entities and line ends; false, with the bad reference, on an unknown entity.
    static bool decode(QByteArrayView raw, QByteArray *out, QByteArrayView *bad);
    QByteArrayView openName() const;
    void popOpen();
    void countLines(QByteArrayView consumed);

    QIODevice *m_device;
    qsizetype m_maxTextBytes;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    bool m_deviceDone = false;

    Token m_token = Invalid;
    QByteArray m_tag; // the current tag's bytes, which names and attributes point into
    QByteArrayView m_qualifiedName;
    QByteArrayView m_localName;
    // The current tag's attributes are the first m_attributeCount; the list keeps its memory.
    QList<Attribute> m_attributes;
    qsizetype m_attributeCount = 0;
    bool m_pendingEnd = false;
    // Names of the open elements, one after the other, and where each starts.
    QByteArray m_openNames;
    QVarLengthArray<qsizetype, 32> m_openStarts;
    bool m_sawRoot = false;
    QByteArray m_text;
    bool m_started = false;

    Problem m_problem = Problem::None;
    QString m_error;
    qint64 m_line = 1;
};

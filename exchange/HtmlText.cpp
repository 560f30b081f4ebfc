#include "HtmlText.h"

namespace {

constexpr char32_t kLastLatin1 = 0xFF;
constexpr char32_t kReplacementCharacter = 0xFFFD;

void appendReference(QByteArray &out, char32_t codePoint)
{
    out += "&#";
    out += QByteArray::number(quint32(codePoint));
    out += ';';
}

} // namespace

QString HtmlEscaped(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            out += u"&amp;";
            break;
        case u'<':
            out += u"&lt;";
            break;
        case u'>':
            out += u"&gt;";
            break;
        case u'"':
            out += u"&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

QByteArray Latin1WithReferences(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (c.unicode() <= kLastLatin1) {
            out += char(c.unicode());
        } else if (c.isHighSurrogate() && i + 1 < size && text.at(i + 1).isLowSurrogate()) {
            appendReference(out, QChar::surrogateToUcs4(c, text.at(i + 1)));
            ++i;
        } else if (c.isSurrogate()) {
            appendReference(out, kReplacementCharacter);
        } else {
            appendReference(out, c.unicode());
        }
    }
    return out;
}

QString MarkupText(const QString &text)
{
    QString clean;
    clean.reserve(text.size());
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < size && text.at(i + 1).isLowSurrogate()) {
            clean += c;
            clean += text.at(++i);
        } else if (c.isSurrogate() || c.unicode() == 0xFFFE || c.unicode() == 0xFFFF) {
            clean += QChar(u'\uFFFD');
        } else if (c.unicode() >= 0x20 || c == u'\t' || c == u'\n' || c == u'\r') {
            clean += c;
        }
    }
    return HtmlEscaped(clean);
}

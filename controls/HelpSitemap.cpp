#include "HelpSitemap.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>

namespace {

QString attribute(const QString &attributes, const QString &name)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"re((\w+)\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s>]+)))re"));
    for (auto it = pattern.globalMatch(attributes); it.hasNext();) {
        const auto found = it.next();
        if (found.captured(1).compare(name, Qt::CaseInsensitive) != 0)
            continue;
        for (int group = 2; group <= 4; ++group) {
            if (found.capturedStart(group) >= 0)
                return found.captured(group);
        }
    }
    return {};
}

// Resolves the character references a sitemap value may hold: numeric ones, the markup
// characters and the German letters.
QString decodeEntities(const QString &text)
{
    if (!text.contains(u'&'))
        return text;
    static const QHash<QString, QString> named = {
        {QStringLiteral("amp"), QStringLiteral("&")},
        {QStringLiteral("lt"), QStringLiteral("<")},
        {QStringLiteral("gt"), QStringLiteral(">")},
        {QStringLiteral("quot"), QStringLiteral("\"")},
        {QStringLiteral("apos"), QStringLiteral("'")},
        {QStringLiteral("auml"), QStringLiteral("\u00e4")},
        {QStringLiteral("ouml"), QStringLiteral("\u00f6")},
        {QStringLiteral("uuml"), QStringLiteral("\u00fc")},
        {QStringLiteral("Auml"), QStringLiteral("\u00c4")},
        {QStringLiteral("Ouml"), QStringLiteral("\u00d6")},
        {QStringLiteral("Uuml"), QStringLiteral("\u00dc")},
        {QStringLiteral("szlig"), QStringLiteral("\u00df")},
    };
    static const QRegularExpression reference(
        QStringLiteral(R"(&(#[xX][0-9a-fA-F]+|#[0-9]+|\w+);)"));
    QString result;
    qsizetype done = 0;
    for (auto it = reference.globalMatch(text); it.hasNext();) {
        const auto found = it.next();
        const QString body = found.captured(1);
        QString replacement = found.captured(0);
        if (body.startsWith(u'#')) {
            bool ok = false;
            const bool hex = body.size() > 1 && (body[1] == u'x' || body[1] == u'X');
            const uint code = hex ? body.mid(2).toUInt(&ok, 16) : body.mid(1).toUInt(&ok, 10);
            if (ok && code > 0 && code <= 0x10FFFF && !QChar::isSurrogate(code)) {
                const char32_t character = code;
                replacement = QString::fromUcs4(&character, 1);
            }
        } else if (const auto known = named.constFind(body); known != named.constEnd()) {
            replacement = *known;
        }
        result += QStringView(text).sliced(done, found.capturedStart(0) - done);
        result += replacement;
        done = found.capturedEnd(0);
    }
    result += QStringView(text).sliced(done);
    return result;
}

} // namespace

QList<THelpSitemapEntry> THelpSitemap::parse(const QByteArray &data)
{
    QStringDecoder decoder = QStringDecoder::decoderForHtml(data);
    const QString text = decoder.isValid() ? decoder.decode(data) : QString::fromUtf8(data);

    static const QRegularExpression tag(QStringLiteral(R"(<\s*(/?)\s*(ul|object|param)\b([^>]*)>)"),
                                        QRegularExpression::CaseInsensitiveOption);
    QList<THelpSitemapEntry> entries;
    int depth = 0;
    bool inObject = false;
    THelpSitemapEntry current;
    for (auto it = tag.globalMatch(text); it.hasNext();) {
        const auto found = it.next();
        const bool closing = !found.captured(1).isEmpty();
        const QString name = found.captured(2).toLower();
        const QString attributes = found.captured(3);
        if (name == u"ul") {
            depth = closing ? qMax(0, depth - 1) : depth + 1;
        } else if (name == u"object") {
            if (!closing) {
                inObject = attribute(attributes, QStringLiteral("type"))
                               .compare(u"text/sitemap", Qt::CaseInsensitive) == 0;
                current = {};
                current.level = qMax(0, depth - 1);
            } else if (inObject) {
                inObject = false;
                if (!current.name.isEmpty())
                    entries.append(current);
            }
        } else if (inObject && !closing) {
            const QString key = attribute(attributes, QStringLiteral("name")).toLower();
            const QString value = decodeEntities(attribute(attributes, QStringLiteral("value")));
            // An index entry may list several pages; the first one is where it leads.
            if (key == u"name" && current.name.isEmpty())
                current.name = value;
            else if (key == u"local" && current.local.isEmpty())
                current.local = value;
        }
    }
    return entries;
}

QList<THelpSitemapEntry> THelpSitemap::match(const QList<THelpSitemapEntry> &entries,
                                             const QString &keyword)
{
    const QString wanted = keyword.trimmed();
    QList<THelpSitemapEntry> starting;
    QList<THelpSitemapEntry> containing;
    for (const THelpSitemapEntry &entry : entries) {
        if (entry.name.startsWith(wanted, Qt::CaseInsensitive))
            starting.append(entry);
        else if (entry.name.contains(wanted, Qt::CaseInsensitive))
            containing.append(entry);
    }
    return starting + containing;
}

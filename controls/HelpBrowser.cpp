#include "HelpBrowser.h"

#include "ChmArchive.h"
#include "HelpContent.h"

#include <QStringDecoder>
#include <QTextDocument>

namespace {

const QString kMissingPage =
    QStringLiteral("<html><body><h2>Seite nicht gefunden</h2><p>Die Hilfedatei enthält die Seite "
                   "\"%1\" nicht.</p></body></html>");

QString decodedText(const QByteArray &data)
{
    QStringDecoder decoder = QStringDecoder::decoderForHtml(data);
    return decoder.isValid() ? decoder.decode(data) : QString::fromUtf8(data);
}

} // namespace

THelpBrowser::THelpBrowser(QWidget *parent) : QTextBrowser(parent)
{
    setOpenExternalLinks(true);
}

void THelpBrowser::setContent(const THelpContent *content)
{
    m_content = content;
    clearHistory();
    clear();
}

void THelpBrowser::showPage(const QString &path)
{
    setSource(QUrl(TChmArchive::normalizedPath(path)));
}

QString THelpBrowser::currentPage() const
{
    const QString path = source().path();
    return path.isEmpty() ? path : TChmArchive::normalizedPath(path);
}

QVariant THelpBrowser::loadResource(int type, const QUrl &name)
{
    if (m_content == nullptr)
        return {};
    // Pages link to their neighbours relative to the page shown.
    const QUrl url = name.isRelative() && !name.path().startsWith(u'/') && source().isValid()
                         ? source().resolved(name)
                         : name;
    const QString path = url.path();
    const auto data = m_content->read(path);
    switch (type) {
    case QTextDocument::HtmlResource:
        return data ? decodedText(*data) : kMissingPage.arg(path.toHtmlEscaped());
    case QTextDocument::StyleSheetResource:
        return data ? decodedText(*data) : QString();
    default:
        return data ? QVariant(*data) : QVariant();
    }
}

#include "ExportPdf.h"

#include "HtmlText.h"
#include "ResultsPrint.h"

#include <QBuffer>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace {

// As the results PDF.
constexpr double kMarginMm = 15;
// A season of many days: more columns than this fit only across a landscape page.
constexpr qsizetype kMaxPortraitColumns = 12;
const QString kHeadingColour = u"#B0A786"_s;

QString cell(const QString &tag, const QString &text, bool left, const QString &style = {})
{
    return u'<' + tag + (left ? u" align=\"left\""_s : u" align=\"right\""_s) +
           (style.isEmpty() ? QString() : u" style=\""_s + style + u'"') +
           (tag == u"th" ? u" bgcolor=\""_s + kHeadingColour + u'"' : QString()) + u'>' +
           MarkupText(text).replace(u'\n', u"<br/>"_s) + u"</"_s + tag + u'>';
}

void appendTable(QString &out, const TExportTable &table)
{
    // Rows kept to one line: a table of many columns in smaller type, so that it fits across.
    QString style;
    if (table.oneLineRows)
        style = table.headings.size() > kMaxPortraitColumns
                    ? u"white-space: nowrap; font-size: 7pt"_s
                    : u"white-space: nowrap"_s;
    out += u"<h3>"_s + MarkupText(table.title) +
           u"</h3>\n<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">\n<thead><tr>"_s;
    for (int col = 0; col < table.headings.size(); ++col)
        out += cell(u"th"_s, table.headings.at(col), table.textColumns.contains(col), style);
    out += u"</tr></thead>\n"_s;
    for (const QList<TExportCell> &row : table.rows) {
        out += u"<tr>"_s;
        for (int col = 0; col < row.size(); ++col)
            out += cell(u"td"_s, row.at(col).text, table.textColumns.contains(col), style);
        out += u"</tr>\n"_s;
    }
    out += u"</table>\n"_s;
    for (const QString &note : table.notes)
        out += u"<p><small>"_s + MarkupText(note) + u"</small></p>\n"_s;
}

QString documentHtml(const TExportDocument &document)
{
    QString out = u"<html><body>\n<h1>"_s + MarkupText(document.title) + u"</h1>\n<p>"_s +
                  MarkupText(document.subtitle) + u"</p>\n"_s;
    for (qsizetype i = 0; i < document.sections.size(); ++i) {
        const TExportSection &section = document.sections.at(i);
        // Each class starts a page, so a class can be handed out on its own.
        out += (i == 0 ? u"<h2>"_s : u"<h2 style=\"page-break-before: always\">"_s) +
               MarkupText(section.title) + u"</h2>\n"_s;
        for (const TExportTable &table : section.tables)
            appendTable(out, table);
    }
    if (!document.creator.isEmpty())
        out += u"<p align=\"right\"><small>"_s + MarkupText(document.creator) + u"</small></p>\n"_s;
    return out + u"</body></html>\n"_s;
}

bool wide(const TExportDocument &document)
{
    for (const TExportSection &section : document.sections) {
        for (const TExportTable &table : section.tables) {
            if (table.headings.size() > kMaxPortraitColumns)
                return true;
        }
    }
    return false;
}

} // namespace

std::unique_ptr<QTextDocument> ExportTextDocument(const TExportDocument &document)
{
    return PrintTextDocument(document.title, documentHtml(document));
}

QByteArray ExportPdf(const TExportDocument &document)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageOrientation(wide(document) ? QPageLayout::Landscape : QPageLayout::Portrait);
        writer.setPageMargins(QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                              QPageLayout::Millimeter);
        writer.setTitle(document.title);
        writer.setCreator(document.creator);
        PrintExportDocument(writer, document);
    } // the writer finishes the file when it goes
    return buffer.data();
}

void PrintExportDocument(QPagedPaintDevice &device, const TExportDocument &document)
{
    ExportTextDocument(document)->print(&device);
}

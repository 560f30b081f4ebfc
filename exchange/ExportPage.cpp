#include "ExportPage.h"

#include "HtmlText.h"

using namespace Qt::StringLiterals;

namespace {

const QString kStyle = uR"(body {font-family: Arial, sans-serif; margin: 1.5em; color: #000}
h1 {font-size: 1.5em; margin-bottom: 0.2em}
h2 {font-size: 1.3em; margin-top: 1.8em; border-bottom: 2px solid #B0A786}
h3 {font-size: 1.05em; margin: 1.2em 0 0.4em}
table {border-collapse: collapse}
th, td {border: 1px solid #E0E0E0; padding: 3px 8px; text-align: right}
th {background: #B0A786; vertical-align: bottom}
td.text, th.text {text-align: left}
p.note {font-size: 0.85em; margin: 0.3em 0}
p.footer {font-size: 0.8em; color: #666; text-align: right; margin-top: 2em}
)"_s;

// A line break in a heading (a day's name above its date) stays one on the page.
QString markupLines(const QString &text)
{
    return MarkupText(text).replace(u'\n', u"<br/>"_s);
}

void appendTable(QString &out, const TExportTable &table)
{
    out += u"<h3>"_s + MarkupText(table.title) + u"</h3>\n<table>\n<thead><tr>"_s;
    for (int col = 0; col < table.headings.size(); ++col) {
        out += (table.textColumns.contains(col) ? u"<th class=\"text\">"_s : u"<th>"_s) +
               markupLines(table.headings.at(col)) + u"</th>"_s;
    }
    out += u"</tr></thead>\n<tbody>\n"_s;
    for (const QList<TExportCell> &row : table.rows) {
        out += u"<tr>"_s;
        for (int col = 0; col < row.size(); ++col) {
            out += (table.textColumns.contains(col) ? u"<td class=\"text\">"_s : u"<td>"_s) +
                   MarkupText(row.at(col).text) + u"</td>"_s;
        }
        out += u"</tr>\n"_s;
    }
    out += u"</tbody>\n</table>\n"_s;
    for (const QString &note : table.notes)
        out += u"<p class=\"note\">"_s + MarkupText(note) + u"</p>\n"_s;
}

} // namespace

QByteArray ExportPage(const TExportDocument &document)
{
    QString out;
    out += u"<!DOCTYPE html>\n<html lang=\"de\">\n<head>\n<meta charset=\"utf-8\"/>\n"
           u"<title>"_s +
           MarkupText(document.title) + u"</title>\n<style>\n"_s + kStyle +
           u"</style>\n</head>\n<body>\n"_s;
    out += u"<h1>"_s + MarkupText(document.title) + u"</h1>\n<p>"_s +
           MarkupText(document.subtitle) + u"</p>\n"_s;
    for (const TExportSection &section : document.sections) {
        out += u"<h2>"_s + MarkupText(section.title) + u"</h2>\n"_s;
        for (const TExportTable &table : section.tables)
            appendTable(out, table);
    }
    if (!document.creator.isEmpty())
        out += u"<p class=\"footer\">"_s + MarkupText(document.creator) + u"</p>\n"_s;
    out += u"</body>\n</html>\n"_s;
    return out.toUtf8();
}

#include "ResultsPrint.h"

#include "Classification.h"
#include "HtmlText.h"
#include "LapPositions.h"

#include <QFont>
#include <QPagedPaintDevice>
#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace {

// Seven columns of long times fit an A4 portrait page in the document's font.
constexpr int kMaxCarsPerLapTable = 6;
constexpr int kFontPoints = 9;

QString cell(const QString &tag, const QString &text, const QString &align = {})
{
    const QString attributes = align.isEmpty() ? QString() : u" align=\""_s + align + u'"';
    return u'<' + tag + attributes + u'>' + MarkupText(text) + u"</"_s + tag + u'>';
}

void appendClassification(QString &out, const TResultsSnapshot &s)
{
    out += u"<h2>Ergebnis</h2>\n<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" "
           u"width=\"100%\">\n<thead><tr>"_s;
    for (const QString &title : {u"Pos."_s, u"Nr."_s, u"Fahrer"_s, u"Runden"_s, u"Gesamtzeit"_s,
                                 u"Beste Runde"_s, u"Abstand"_s})
        out += cell(u"th"_s, title);
    out += u"</tr></thead>\n"_s;
    for (const TClassificationLine &line : Classification(s)) {
        out += u"<tr>"_s + cell(u"td"_s, line.place, u"right"_s) +
               cell(u"td"_s, line.startNo, u"right"_s) + cell(u"td"_s, line.driver) +
               cell(u"td"_s, QString::number(line.laps), u"right"_s) +
               cell(u"td"_s, line.totalTime, u"right"_s) + cell(u"td"_s, line.bestLap, u"right"_s) +
               cell(u"td"_s, line.gap, u"right"_s) + u"</tr>\n"_s;
    }
    out += u"</table>\n"_s;
}

// The lap times of the rows first to last - 1 (standings order), one line per lap.
void appendLapTable(QString &out, const TResultsSnapshot &s, int laps, int first, int last)
{
    out += u"<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">\n<thead><tr>"_s +
           cell(u"th"_s, u"Runde"_s);
    for (int i = first; i < last; ++i) {
        const TResultsRow &row = s.rows.at(i);
        out += u"<th>"_s + QString::number(i + 1) + u".<br/>"_s + MarkupText(CarLabel(row)) +
               u"</th>"_s;
    }
    out += u"</tr></thead>\n"_s;
    for (int lap = 1; lap <= laps; ++lap) {
        out += u"<tr>"_s + cell(u"td"_s, QString::number(lap) + u'.', u"right"_s);
        for (int i = first; i < last; ++i) {
            const TResultsRow &row = s.rows.at(i);
            out += cell(u"td"_s,
                        lap <= row.count() ? LongTimeText(row.lapTime(lap), s.acc) : QString(),
                        u"right"_s);
        }
        out += u"</tr>\n"_s;
    }
    out += u"</table>\n"_s;
}

void appendLapTables(QString &out, const TResultsSnapshot &s)
{
    out += u"<h2>Rundenzeiten</h2>\n"_s;
    const int laps = MostLaps(s);
    if (laps == 0) {
        out += u"<p>Noch keine Runde abgeschlossen.</p>\n"_s;
        return;
    }
    // Balanced blocks: twelve cars give two tables of six, eight cars two of four.
    const int blocks = (s.carCount() + kMaxCarsPerLapTable - 1) / kMaxCarsPerLapTable;
    const int perBlock = (s.carCount() + blocks - 1) / blocks;
    for (int first = 0; first < s.carCount(); first += perBlock) {
        const int last = qMin(first + perBlock, s.carCount());
        if (blocks > 1) {
            // A later block starts a page of its own rather than leave its heading behind.
            out += first == 0 ? u"<p>"_s : u"<p style=\"page-break-before: always\">"_s;
            out += u"<b>Positionen "_s + QString::number(first + 1) + u". bis "_s +
                   QString::number(last) + u".</b></p>\n"_s;
        }
        appendLapTable(out, s, laps, first, last);
    }
}

QString documentHtml(const TResultsSnapshot &s)
{
    QString out;
    out += u"<html><body>\n<h1>"_s + MarkupText(s.title) + u"</h1>\n<p>"_s + MarkupText(s.mode) +
           u", "_s + MarkupText(DateText(s)) + u"<br/>Runden: "_s + QString::number(s.raceLaps) +
           u", Länge: "_s + MarkupText(DistanceText(s)) + u" Km</p>\n"_s;
    appendClassification(out, s);
    appendLapTables(out, s);
    out += u"<p align=\"right\"><small>"_s + MarkupText(s.appTitle) +
           u"</small></p>\n</body></html>\n"_s;
    return out;
}

} // namespace

std::unique_ptr<QTextDocument> PrintTextDocument(const QString &title, const QString &html)
{
    auto document = std::make_unique<QTextDocument>();
    QFont font;
    font.setFamilies({u"Liberation Sans"_s, u"DejaVu Sans"_s});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(kFontPoints);
    document->setDefaultFont(font);
    document->setMetaInformation(QTextDocument::DocumentTitle, title);
    document->setHtml(html);
    return document;
}

std::unique_ptr<QTextDocument> ResultsDocument(const TResultsSnapshot &snapshot)
{
    return PrintTextDocument(snapshot.title, documentHtml(snapshot));
}

void printResults(QPagedPaintDevice &device, const TResultsSnapshot &snapshot)
{
    ResultsDocument(snapshot)->print(&device);
}

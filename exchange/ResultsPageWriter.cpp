#include "ResultsPageWriter.h"

#include "HtmlText.h"
#include "ResultsLapTable.h"
#include "WholeFileWriter.h"

#include <QFileInfo>
#include <QIODevice>

using namespace Qt::StringLiterals;

namespace {

const QString kEol = QStringLiteral("\r\n");
const QString kMakerAddress = QStringLiteral("https://chrovix.example.com/talvenbahn");
const QString kMakerDescription =
    QStringLiteral("Chrovix Software: Zeitnahme für Rennen und Trainings im Motorsport");
const QString kDesignerAddress = QStringLiteral("https://webdesign.example.com");
const QString kLogoSuffix = QStringLiteral("lab");

// An empty cell keeps its border in every browser.
QString cellText(const QString &text)
{
    return text.isEmpty() ? QStringLiteral("&nbsp;") : text;
}

void writeHead(QString &out, const QString &appTitle)
{
    out += u"<HTML>"_s + kEol;
    out += u"<HEAD>"_s + kEol;
    out += u"<!-- "_s + kMakerAddress + u" software -->"_s + kEol;
    out += u"<TITLE>Zeitenprotokoll "_s + appTitle + u"</TITLE>"_s + kEol;
    out += u"<META http-equiv=Content-Type content=\"text/html; charset=iso-8859-1\">"_s + kEol;
    out += u"<META NAME=\"keywords\" content=\"automotorsport, autosport, motosport, "
           u"softwaren, programme\">"_s +
           kEol;
    out += u"<META NAME=\"description\" content=\""_s + kMakerDescription + u"\">"_s + kEol;
    out += u"<META NAME=\"Webdesign\" content=\""_s + kDesignerAddress + u"\">"_s + kEol;
    out += u"<META NAME=\"robots\" content=\"index, follow\">"_s + kEol;
    out += u"</HEAD>"_s + kEol;
    out += u"<STYLE type=text/css>"_s + kEol;
    out += u" body {font-family: Arial}"_s + kEol;
    out += u" pre  {padding-left: 36px}"_s + kEol;
    out += u".de   {line-height: 4px; width: 28px}"_s + kEol;
    out += u"</STYLE>"_s + kEol;
    out += u"<BODY bgcolor=#FFFFFF text=#000000>"_s + kEol;
}

void writeHeading(QString &out, const TResultsSnapshot &s)
{
    out += u"<DIV WIDTH:100%><H2>Rennen: \""_s + HtmlEscaped(s.title) + u"\"<br>Runden: "_s +
           QString::number(s.raceLaps) + u", Länge: "_s + HtmlEscaped(DistanceText(s)) +
           u" Km</H2></div>"_s + kEol;
    out += u"<b>Session: "_s + HtmlEscaped(s.mode) + u", "_s + HtmlEscaped(DateText(s)) +
           u"<br><hr>"_s + kEol;
    out += u"</b><H4>Ergebnisse:</H4>"
           u"<table style=\"BORDER-COLLAPSE: collapse\" bgcolor=#FFFFFF borderColor=#E0E0E0 "
           u"border=1 cellpadding=4 width=649>"_s +
           kEol;
}

void writeTable(QString &out, const TResultsSnapshot &s)
{
    const int cars = s.carCount();
    out += u"<colgroup valign=top>"_s;
    for (int j = 0; j <= cars; ++j)
        out += u"<col align=right>"_s;
    out += u"</colgroup>"_s + kEol + u"<thead bgcolor=#B0A786><tr>"_s;

    out += u"<th>Position:"_s;
    for (int j = 1; j <= cars; ++j)
        out += u"<th>"_s + HtmlEscaped(s.rows.at(j - 1).placeText(j));
    out += u"</tr></thead>"_s + kEol;

    out += u"<th bgcolor=#B0A786>Start-Nr.:"_s;
    for (const TResultsRow &row : s.rows)
        out += u"<th>"_s + HtmlEscaped(row.startNo);
    out += u"</tr></thead>"_s + kEol;

    out += u"<thead bgcolor=#B0A786><th>Fahrer:"_s;
    for (const TResultsRow &row : s.rows)
        out += u"<th bgcolor=#B0A786>"_s + HtmlEscaped(row.driver);
    out += u"</tr></thead>"_s + kEol;

    const TResultsLapTable table(s);
    for (int lap = 1; lap <= table.laps(); ++lap) {
        out += u"<tr><td bgcolor=#B0A786><b>"_s + QString::number(lap) + u'.';
        for (const TResultsRow &row : s.rows) {
            out += u"<td>"_s + cellText(table.lapText(row, lap));
        }
        out += u"</tr>"_s + kEol;
    }

    // The total row stays open, as browsers close it with the table.
    out += u"<tr><td><b>Gesamt:"_s;
    for (const TResultsRow &row : s.rows)
        out += u"<td><b>"_s + cellText(table.totalText(row));
}

// The corrections as a short list after the results; nothing at all for a race without any.
void writeCorrections(QString &out, const TResultsSnapshot &s)
{
    if (s.corrections.isEmpty())
        return;
    out += u"<H4>Korrekturen:</H4>"_s + kEol + u"<ul>"_s + kEol;
    for (const TCorrectionLine &line : s.corrections)
        out += u"<li>"_s + HtmlEscaped(line.time) + u" "_s + HtmlEscaped(line.text) + u"</li>"_s +
               kEol;
    out += u"</ul>"_s + kEol;
}

void writeFooter(QString &out, const QString &appTitle)
{
    out += u"<FONT face=Arial size=4><B>"_s + kEol;
    out += u"<P align=right><a style=\"cursor:help\" href=\""_s + kMakerAddress + u"\" title=\""_s +
           appTitle + u"\"><FONT color=#FF0000>Chro<FONT color=#009900>vix<FONT color=#999999>"_s +
           kLogoSuffix + u"</a><FONT color=#666600 size=3>&nbsp;Software</P>"_s + kEol;
    out += u"</body></html>"_s + kEol;
}

} // namespace

QByteArray TResultsPageWriter::page(const TResultsSnapshot &snapshot)
{
    const QString appTitle = HtmlEscaped(snapshot.appTitle);
    QString out;
    // About 12 characters per time cell; reserving avoids regrowing for long races.
    out.reserve(4096 + 14 * (snapshot.leaderLaps + 1) * (snapshot.carCount() + 1));
    writeHead(out, appTitle);
    writeHeading(out, snapshot);
    writeTable(out, snapshot);
    out += u"</TABLE>"_s + kEol;
    writeCorrections(out, snapshot);
    writeFooter(out, appTitle);
    return Latin1WithReferences(out);
}

QString TResultsPageWriter::fileNameFor(const QString &executablePath)
{
    return QFileInfo(executablePath).completeBaseName() + QStringLiteral(".html");
}

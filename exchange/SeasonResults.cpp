#include "SeasonResults.h"

#include "ExportPage.h"
#include "ExportPdf.h"
#include "ExportWorkbook.h"

using namespace Qt::StringLiterals;

namespace {

// A dropped result stays a number in the workbook, shown in brackets as on the page.
const QString kDroppedFormat = u"(0)"_s;
// On paper a season of more days than this heads its day columns with their numbers and
// dates and names the days below the table: no heading and no driver's name is cut.
constexpr qsizetype kMaxNamedDays = 6;

QString classTitle(const QString &className)
{
    if (className.isEmpty())
        return u"Gesamtwertung"_s;
    if (className.startsWith(u"Klasse"_s, Qt::CaseInsensitive))
        return className;
    return u"Klasse "_s + className;
}

QString dayHeading(const TSeasonDay &day)
{
    if (!day.date.isValid())
        return day.dayName;
    return day.dayName + u'\n' + day.date.toString(u"dd.MM.yyyy"_s);
}

TExportCell dayCell(const TSeasonLine &line, qsizetype day)
{
    if (!line.present.value(day))
        return {};
    const int points = line.dayPoints.value(day);
    if (line.dropped.value(day))
        return {u'(' + QString::number(points) + u')', double(points), kDroppedFormat};
    return CountCell(points);
}

TExportSection classSection(const TSeasonExport &season, const TSeasonExportClass &c, bool paper)
{
    TExportTable table;
    table.title = u"Meisterschaftstabelle"_s;
    table.headings = {u"Platz"_s, u"Nr."_s, u"Fahrer"_s};
    const bool numbered = paper && c.days.size() > kMaxNamedDays;
    QStringList key;
    for (qsizetype d = 0; d < c.days.size(); ++d) {
        const TSeasonDay &day = c.days[d];
        if (!numbered) {
            table.headings << dayHeading(day);
            continue;
        }
        table.headings << QString::number(d + 1) + u'\n' + day.date.toString(u"dd.MM."_s);
        key << u"%1 = %2"_s.arg(d + 1).arg(
            day.date.isValid() ? day.dayName + u" ("_s + day.date.toString(u"dd.MM.yyyy"_s) + u')'
                               : day.dayName);
    }
    if (numbered)
        table.notes << u"Veranstaltungen: "_s + key.join(u"; "_s);
    table.oneLineRows = paper;
    table.headings << u"Gesamt"_s;
    table.textColumns = {1, 2};
    bool anyDropped = false;
    bool anyAbsent = false;
    for (const TSeasonLine &line : c.lines) {
        QList<TExportCell> row{PlaceCell(line.place), StartNumberCell(line.who.number),
                               TextCell(line.who.driver)};
        for (qsizetype day = 0; day < c.days.size(); ++day) {
            row << dayCell(line, day);
            anyDropped = anyDropped || (line.present.value(day) && line.dropped.value(day));
            anyAbsent = anyAbsent || !line.present.value(day);
        }
        row << CountCell(line.total);
        table.rows << row;
    }
    if (c.lines.isEmpty())
        table.notes << u"Noch keine Ergebnisse."_s;
    if (season.bestOf > 0 && season.bestOf < c.days.size())
        table.notes << u"Es zählen die besten %1 von %2 Veranstaltungen."_s.arg(season.bestOf)
                           .arg(c.days.size());
    if (anyDropped)
        table.notes << u"(…) Streichergebnis: zählt nicht zur Gesamtwertung."_s;
    if (anyAbsent)
        table.notes << u"Leer: an diesem Tag nicht dabei."_s;
    TExportSection section;
    section.title = classTitle(c.className);
    section.sheetName = c.className.isEmpty() ? section.title : c.className;
    section.tables << table;
    return section;
}

} // namespace

TExportDocument SeasonDocument(const TSeasonExport &season, bool paper)
{
    TExportDocument document;
    document.title = season.name;
    document.subtitle = u"Meisterschaft"_s;
    document.creator = season.creator;
    for (const TSeasonExportClass &c : season.classes)
        document.sections << classSection(season, c, paper);
    return document;
}

QByteArray TSeasonPageWriter::page(const TSeasonExport &season)
{
    return ExportPage(SeasonDocument(season));
}

QByteArray TSeasonPdfWriter::pdf(const TSeasonExport &season)
{
    return ExportPdf(SeasonDocument(season, true));
}

bool WriteSeasonWorkbook(TExcel &excel, const TSeasonExport &season)
{
    return WriteExportWorkbook(excel, SeasonDocument(season));
}

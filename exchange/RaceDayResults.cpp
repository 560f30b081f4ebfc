#include "RaceDayResults.h"

#include "Classification.h"
#include "ExportPage.h"
#include "ExportPdf.h"
#include "ExportWorkbook.h"

using namespace Qt::StringLiterals;

namespace {

const QString kStatusNote = u"DNS: nicht angetreten, DNF: ausgefallen, DSQ: disqualifiziert."_s;
// Driver columns: number and name, aligned left.
const QList<int> kNameColumns = {1, 2};

// "Klasse A"; a class named "Klasse 2" keeps its name, and a day without classes has one
// result.
QString classTitle(const QString &className)
{
    if (className.isEmpty())
        return u"Ergebnis"_s;
    if (className.startsWith(u"Klasse"_s, Qt::CaseInsensitive))
        return className;
    return u"Klasse "_s + className;
}

// Number and name of a driver, as the starter list gave them.
QList<TExportCell> driverCells(const TRaceDay &day, int entrantId)
{
    const TEntrant *entrant = day.entrant(entrantId);
    if (!entrant)
        return {TExportCell{}, TextCell(u"(nicht mehr in der Liste)"_s)};
    return {StartNumberCell(entrant->number), TextCell(entrant->driver)};
}

QString finalName(int index)
{
    return QChar(u'A' + index) + u"-Finale"_s;
}

TExportTable qualifyingTable(const TRaceDayExport &r, const TClassOutcome &c)
{
    const TClassRules &rules = r.day.rules;
    const bool placeSum =
        rules.combine == TQualifyCombine::SumOfBestTwo && c.qualifyingHeats.size() >= 2;
    const bool bestLap = !placeSum && rules.ranking == TQualifyRanking::BestLap;
    TExportTable table;
    table.title = u"Qualifikation"_s;
    table.headings = {u"Platz"_s, u"Nr."_s, u"Fahrer"_s};
    if (placeSum)
        table.headings << u"Platzsumme"_s;
    else if (bestLap)
        table.headings << u"Beste Runde"_s;
    else
        table.headings << u"Runden"_s << u"Gesamtzeit"_s;
    table.textColumns = kNameColumns;
    for (const TQualifyPlace &q : c.qualifying) {
        QList<TExportCell> row{PlaceCell(q.place)};
        row << driverCells(r.day, q.entrantId);
        if (placeSum)
            row << CountCell(q.placeSum, q.placeSum == 0);
        else if (bestLap)
            row << TimeCell(q.bestMs, r.acc);
        else
            row << CountCell(q.laps) << TimeCell(q.totalMs, r.acc);
        table.rows << row;
    }
    if (placeSum)
        table.notes << u"Platzsumme: die Plätze der zwei besten Läufe zusammengezählt; "
                       u"weniger ist besser."_s;
    if (c.qualifying.isEmpty())
        table.notes << u"Noch keine Qualifikation gefahren."_s;
    return table;
}

TExportTable finalTable(const TRaceDayExport &r, const THeatResults &results, int index)
{
    TExportTable table;
    table.title = finalName(index);
    table.headings = {u"Platz"_s,      u"Nr."_s,         u"Fahrer"_s, u"Runden"_s,
                      u"Gesamtzeit"_s, u"Beste Runde"_s, u"Status"_s};
    table.textColumns = {1, 2, 6};
    bool anyStatus = false;
    for (const THeatResult &h : results) {
        QList<TExportCell> row{PlaceCell(h.place)};
        row << driverCells(r.day, h.entrantId) << CountCell(h.laps) << TimeCell(h.totalMs, r.acc)
            << TimeCell(h.bestMs, r.acc) << TextCell(h.status);
        anyStatus = anyStatus || !h.status.isEmpty();
        table.rows << row;
    }
    if (anyStatus)
        table.notes << kStatusNote;
    return table;
}

// A final not yet run: who starts on which key.
TExportTable startingOrderTable(const TRaceDayExport &r, const QList<int> &seeded, int index)
{
    TExportTable table;
    table.title = finalName(index);
    table.headings = {u"Startplatz"_s, u"Nr."_s, u"Fahrer"_s};
    table.textColumns = kNameColumns;
    for (int k = 0; k < seeded.size(); ++k)
        table.rows << (QList<TExportCell>{PlaceCell(k + 1)} << driverCells(r.day, seeded.at(k)));
    table.notes << u"Noch nicht gefahren; die Startaufstellung."_s;
    return table;
}

TExportTable resultTable(const TRaceDayExport &r, const TClassOutcome &c)
{
    TExportTable table;
    table.title = u"Ergebnis und Punkte"_s;
    table.headings = {u"Platz"_s,  u"Nr."_s,    u"Fahrer"_s,     u"Finale"_s,
                      u"Status"_s, u"Punkte"_s, u"davon Bonus"_s};
    table.textColumns = {1, 2, 3, 4};
    bool anyStatus = false;
    bool anyBonus = false;
    for (const TClassPlace &p : c.result) {
        QList<TExportCell> row{PlaceCell(p.place)};
        row << driverCells(r.day, p.entrantId)
            << TextCell(p.final.isNull() ? QString() : QString(p.final)) << TextCell(p.status)
            << CountCell(p.points) << CountCell(p.bonus, p.bonus == 0);
        anyStatus = anyStatus || !p.status.isEmpty();
        anyBonus = anyBonus || p.bonus != 0;
        table.rows << row;
    }
    if (c.result.isEmpty())
        table.notes << u"Steht fest, sobald alle Finale gefahren sind."_s;
    if (anyBonus) {
        QStringList bonus;
        if (r.day.points.fastestLap != 0)
            bonus << u"schnellste Runde im A-Finale: %1"_s.arg(r.day.points.fastestLap);
        if (r.day.points.bestQualifier != 0)
            bonus << u"Bester der Qualifikation: %1"_s.arg(r.day.points.bestQualifier);
        table.notes << u"Bonuspunkte sind in den Punkten enthalten"_s +
                           (bonus.isEmpty() ? QString() : u" ("_s + bonus.join(u", "_s) + u')') +
                           u'.';
    }
    if (const QString tie = FastestLapTieNote(r.day, c, r.acc); !tie.isEmpty())
        table.notes << tie;
    if (anyStatus)
        table.notes << kStatusNote;
    return table;
}

TExportSection classSection(const TRaceDayExport &r, const TClassOutcome &c)
{
    TExportSection section;
    section.title = classTitle(c.className);
    section.sheetName = c.className.isEmpty() ? section.title : c.className;
    section.tables << qualifyingTable(r, c);
    const qsizetype finals = qMax(c.finalsSeeded.size(), c.finals.size());
    for (int i = 0; i < finals; ++i) {
        if (i < c.finals.size() && !c.finals.at(i).isEmpty())
            section.tables << finalTable(r, c.finals.at(i), i);
        else
            section.tables << startingOrderTable(r, c.finalsSeeded.value(i), i);
    }
    section.tables << resultTable(r, c);
    return section;
}

} // namespace

QString FastestLapTieNote(const TRaceDay &day, const TClassOutcome &outcome, int acc)
{
    if (outcome.fastestLapTie.size() < 2 || outcome.finals.isEmpty())
        return {};
    QStringList names;
    for (int id : outcome.fastestLapTie) {
        const TEntrant *e = day.entrant(id);
        names << (!e ? u"?"_s : e->number.isEmpty() ? e->driver : e->number + u' ' + e->driver);
    }
    qint32 bestMs = 0;
    for (const THeatResult &h : outcome.finals.first()) {
        if (h.entrantId == outcome.fastestLapTie.first())
            bestMs = h.bestMs;
    }
    const QString all = names.size() == 2 ? names.join(u" und "_s)
                                          : names.mid(0, names.size() - 1).join(u", "_s) +
                                                u" und "_s + names.last();
    return u"Schnellste Runde im A-Finale: %1 fuhren %2 %3; den Bonus bekommt %4, die Zeit "
           u"zuerst gefahren."_s.arg(all, names.size() == 2 ? u"beide"_s : u"alle"_s,
                                     LongTimeText(bestMs, acc), names.first());
}

TExportDocument RaceDayDocument(const TRaceDayExport &results)
{
    TExportDocument document;
    document.title = results.day.name;
    document.subtitle = u"Veranstaltung"_s;
    if (results.day.date.isValid())
        document.subtitle += u", "_s + results.day.date.toString(u"dd.MM.yyyy"_s);
    document.creator = results.creator;
    for (const TClassOutcome &c : results.outcome.classes)
        document.sections << classSection(results, c);
    return document;
}

QByteArray TRaceDayPageWriter::page(const TRaceDayExport &results)
{
    return ExportPage(RaceDayDocument(results));
}

QByteArray TRaceDayPdfWriter::pdf(const TRaceDayExport &results)
{
    return ExportPdf(RaceDayDocument(results));
}

bool WriteRaceDayWorkbook(TExcel &excel, const TRaceDayExport &results)
{
    return WriteExportWorkbook(excel, RaceDayDocument(results));
}

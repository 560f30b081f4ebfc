#include "ResultsWorkbook.h"

#include "Excel.h"
#include "ResultsLapTable.h"
#include "SplitFields.h"

namespace {

// The rows of positions, start numbers and drivers, printed again at the top of every page.
constexpr int kFirstCarHeadingRow = 6;
constexpr int kLastCarHeadingRow = 8;

} // namespace

QStringList ResultsWorkbookLines(const TResultsSnapshot &s)
{
    QStringList lines;
    lines.reserve(10 + qMax(s.leaderLaps, 0));

    // The title's quote stays open, so the title runs to the end of the line whatever it
    // ends with.
    lines << QStringLiteral("Rennen: ") + QuotedField(s.title).chopped(1);
    lines << QStringLiteral("Runden: ") + QString::number(s.raceLaps) +
                 QStringLiteral(", Länge: ") + QuotedField(DistanceText(s)) + QStringLiteral(" Km");
    lines << QStringLiteral("Session: ") + QuotedField(s.mode);
    lines << QStringLiteral("Datum: ") + QuotedField(DateText(s));
    lines << QStringLiteral("Ergebnis:");

    QString positions = QStringLiteral("Position:,");
    QString startNumbers = QStringLiteral("Start-Nr.:,");
    QString drivers = QStringLiteral("Fahrer:,");
    for (int j = 1; j <= s.carCount(); ++j) {
        const TResultsRow &row = s.rows.at(j - 1);
        // Quoted only where needed, so a race without verdicts writes the lines it always did.
        const QString place = row.placeText(j);
        const bool plain = !place.contains(u' ') && !place.contains(u',') && !place.contains(u'"');
        positions += (plain ? place : QuotedField(place)) + u',';
        startNumbers += QuotedField(row.startNo) + u',';
        drivers += QuotedField(row.driver) + u',';
    }
    lines << positions << startNumbers << drivers;
    lines << QStringLiteral("Runde:");

    const TResultsLapTable table(s);
    for (int lap = 1; lap <= table.laps(); ++lap) {
        QString line = QString::number(lap) + QStringLiteral(".,");
        for (const TResultsRow &row : s.rows)
            line += QuotedField(table.lapText(row, lap)) + u',';
        lines << line;
    }

    QString totals = QStringLiteral("Gesamt:,");
    for (const TResultsRow &row : s.rows)
        totals += QuotedField(table.totalText(row)) + u',';
    lines << totals;
    return lines;
}

bool WriteResultsWorkbook(TExcel &excel, const TResultsSnapshot &snapshot)
{
    excel.NewWorkbook(QStringLiteral("Ergebnis"));
    for (const QString &line : ResultsWorkbookLines(snapshot)) {
        excel.Fields = SplitFields(line);
        if (!excel.WriteLine())
            return false;
    }
    excel.AutoFitColumns();
    TExcelPrintLayout results;
    results.repeatFirstRow = kFirstCarHeadingRow;
    results.repeatLastRow = kLastCarHeadingRow;
    if (!excel.SetPrintLayout(results))
        return false;
    // A race with corrections gets a second sheet with every change, when and what.
    if (snapshot.corrections.isEmpty())
        return true;
    if (!excel.AddSheet(QStringLiteral("Korrekturen")))
        return false;
    excel.Fields = {QStringLiteral("Uhrzeit"), QStringLiteral("Korrektur")};
    if (!excel.WriteLine())
        return false;
    for (const TCorrectionLine &line : snapshot.corrections) {
        excel.Fields = {line.time, line.text};
        if (!excel.WriteLine())
            return false;
    }
    excel.AutoFitColumns();
    TExcelPrintLayout corrections;
    corrections.repeatFirstRow = corrections.repeatLastRow = 1;
    return excel.SetPrintLayout(corrections);
}

#include "ResultsWorkbook.h"

#include "Excel.h"
#include "FormatTime.h"
#include "SplitFields.h"

namespace {

// Times in the workbook always show two-digit hours, minutes and seconds.
constexpr int kLongTimeMode = 9;

QString timeField(qint32 ms, int acc)
{
    return QuotedField(FormatTime(ms, acc, kLongTimeMode)) + u',';
}

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

    for (int lap = 1; lap <= s.leaderLaps; ++lap) {
        QString line = QString::number(lap) + QStringLiteral(".,");
        for (const TResultsRow &row : s.rows)
            line += timeField(row.lapTime(lap), s.acc);
        lines << line;
    }

    QString totals = QStringLiteral("Gesamt:,");
    for (const TResultsRow &row : s.rows)
        totals += timeField(row.total(s.leaderLaps), s.acc);
    lines << totals;
    return lines;
}

bool WriteResultsWorkbook(TExcel &excel, const TResultsSnapshot &snapshot)
{
    excel.NewWorkbook();
    for (const QString &line : ResultsWorkbookLines(snapshot)) {
        excel.Fields = SplitFields(line);
        if (!excel.WriteLine())
            return false;
    }
    excel.AutoFitColumns();
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
    return true;
}

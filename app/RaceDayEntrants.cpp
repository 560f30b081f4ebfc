#include "RaceDayEntrants.h"

namespace {

struct TColumns
{
    int number = 0;
    int driver = 1;
    int className = 2;
};

QString normalized(const QString &title)
{
    QString t = title.trimmed().toLower();
    if (t.endsWith(QLatin1Char('.')) || t.endsWith(QLatin1Char(':')))
        t.chop(1);
    return t;
}

// The columns a title row names; nothing when the row is an entrant.
std::optional<TColumns> titleColumns(const QStringList &row)
{
    const qsizetype classColumn = [&row] {
        for (qsizetype c = 0; c < row.size(); ++c) {
            if (normalized(row[c]) == QStringLiteral("klasse"))
                return c;
        }
        return qsizetype(-1);
    }();
    if (classColumn < 0)
        return std::nullopt;
    TColumns columns;
    columns.className = int(classColumn);
    columns.number = -1;
    columns.driver = -1;
    for (qsizetype c = 0; c < row.size(); ++c) {
        const QString t = normalized(row[c]);
        if (t == QStringLiteral("nr") || t == QStringLiteral("startnummer") ||
            t == QStringLiteral("startnr"))
            columns.number = int(c);
        else if (t == QStringLiteral("fahrer") || t == QStringLiteral("name"))
            columns.driver = int(c);
    }
    // Titles the list does not name keep their usual place.
    if (columns.number < 0)
        columns.number = columns.className == 0 ? 1 : 0;
    if (columns.driver < 0)
        columns.driver = columns.number == 1 ? 2 : 1;
    return columns;
}

QString cell(const QStringList &row, int column)
{
    return column >= 0 && column < row.size() ? row[column].trimmed() : QString();
}

} // namespace

QList<TEntrant> EntrantsFromStarterList(const StarterList &rows, int firstId)
{
    QList<TEntrant> entrants;
    if (rows.isEmpty())
        return entrants;
    const std::optional<TColumns> titled = titleColumns(rows.first());
    const TColumns columns = titled.value_or(TColumns());
    int id = firstId;
    for (qsizetype r = titled ? 1 : 0; r < rows.size(); ++r) {
        TEntrant entrant;
        entrant.number = cell(rows[r], columns.number);
        entrant.driver = cell(rows[r], columns.driver);
        entrant.className = cell(rows[r], columns.className);
        if (entrant.number.isEmpty() && entrant.driver.isEmpty())
            continue;
        entrant.id = id++;
        entrants.append(entrant);
    }
    return entrants;
}

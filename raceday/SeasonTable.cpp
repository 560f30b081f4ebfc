#include "RaceDay.h"

#include <algorithm>

// The season table: the best bestOf results of each driver count (on equal points the earlier
// day is the one dropped); the tie rules count the places of every day the driver took part,
// dropped ones included, since they were still won.

namespace {

TSeasonDriver trimmed(const TSeasonDriver &who)
{
    return {who.number.trimmed(), who.driver.trimmed()};
}

// Follows the joins to the earliest spelling; a chain of renames is followed through, and a
// loop of joins cannot hold it up (it stops after as many steps as there are joins).
TSeasonDriver joined(TSeasonDriver who, const QList<TSeasonJoin> &joins)
{
    for (qsizetype step = 0; step < joins.size(); ++step) {
        const auto join = std::find_if(joins.begin(), joins.end(), [&who](const TSeasonJoin &j) {
            return trimmed(j.from) == who && !(trimmed(j.to) == who);
        });
        if (join == joins.end())
            break;
        who = trimmed(join->to);
    }
    return who;
}

struct TDriverSeason
{
    TSeasonLine line;
    QList<int> placeCounts; // how often the driver was 1st, 2nd, ...
};

// Whether a ranks ahead of b; neither: they share the place.
bool ahead(const TDriverSeason &a, const TDriverSeason &b)
{
    if (a.line.total != b.line.total)
        return a.line.total > b.line.total;
    const qsizetype places = qMax(a.placeCounts.size(), b.placeCounts.size());
    for (qsizetype p = 0; p < places; ++p) {
        const int countA = a.placeCounts.value(p, 0);
        const int countB = b.placeCounts.value(p, 0);
        if (countA != countB)
            return countA > countB;
    }
    return false;
}

void dropWorst(TSeasonLine &line, int bestOf)
{
    QList<int> presentDays;
    for (qsizetype d = 0; d < line.present.size(); ++d) {
        if (line.present.at(d))
            presentDays.append(int(d));
    }
    const qsizetype drop = presentDays.size() - bestOf;
    if (bestOf <= 0 || drop <= 0)
        return;
    std::stable_sort(presentDays.begin(), presentDays.end(),
                     [&line](int a, int b) { return line.dayPoints.at(a) < line.dayPoints.at(b); });
    for (qsizetype k = 0; k < drop; ++k)
        line.dropped[presentDays.at(k)] = true;
}

} // namespace

QList<TSeasonLine> SeasonTable(const QList<TSeasonDay> &days, int bestOf,
                               const QList<TSeasonJoin> &joins)
{
    const qsizetype dayCount = days.size();
    QList<TDriverSeason> drivers; // in the order they first appear
    for (qsizetype d = 0; d < dayCount; ++d) {
        for (const TSeasonEntry &entry : days.at(d).entries) {
            const TSeasonDriver who = joined(trimmed(entry.who), joins);
            auto it = std::find_if(drivers.begin(), drivers.end(),
                                   [&who](const TDriverSeason &s) { return s.line.who == who; });
            if (it == drivers.end()) {
                TDriverSeason s;
                s.line.who = who;
                s.line.dayPoints = QList<int>(dayCount, 0);
                s.line.dropped = QList<bool>(dayCount, false);
                s.line.present = QList<bool>(dayCount, false);
                drivers.append(s);
                it = drivers.end() - 1;
            }
            it->line.dayPoints[d] += entry.points;
            it->line.present[d] = true;
            if (entry.place > 0) {
                if (it->placeCounts.size() < entry.place)
                    it->placeCounts.resize(entry.place, 0);
                ++it->placeCounts[entry.place - 1];
            }
        }
    }
    for (TDriverSeason &s : drivers) {
        dropWorst(s.line, bestOf);
        for (qsizetype d = 0; d < dayCount; ++d) {
            if (!s.line.dropped.at(d))
                s.line.total += s.line.dayPoints.at(d);
        }
    }
    std::stable_sort(drivers.begin(), drivers.end(), ahead);

    QList<TSeasonLine> table;
    table.reserve(drivers.size());
    for (qsizetype i = 0; i < drivers.size(); ++i) {
        TSeasonLine line = drivers.at(i).line;
        line.place =
            i > 0 && !ahead(drivers.at(i - 1), drivers.at(i)) ? table.last().place : int(i) + 1;
        table.append(line);
    }
    return table;
}

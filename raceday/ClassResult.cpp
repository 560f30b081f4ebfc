#include "RaceDay.h"

#include "FormatTime.h"

#include <QSet>

#include <algorithm>

// The class places run through the A final, then the B final, and so on; a driver who was
// bumped up into a higher final is placed there and skipped in the lower one. Place points go
// to drivers without a status; DNS, DNF and DSQ earn what the club set for them instead. A
// driver without a single lap in a final did not take part: DNS. The bonuses go to the fastest
// lap of the A final and to the best qualifier, never to a disqualified driver. The fastest lap
// is the one the results show: laps that show the same time are equal, and the driver who ran
// it first has it.

namespace {

const QString kDns = QStringLiteral("DNS");
const QString kDnf = QStringLiteral("DNF");
const QString kDsq = QStringLiteral("DSQ");

int bestQualifier(const QList<TQualifyPlace> &qualifying)
{
    if (qualifying.isEmpty())
        return 0;
    const TQualifyPlace &first = qualifying.first();
    // Nobody set a result: the first line is no qualifier.
    return first.laps > 0 || first.bestMs > 0 || first.placeSum > 0 ? first.entrantId : 0;
}

int statusPoints(const QString &status, const TPointsRules &points)
{
    if (status == kDns)
        return points.dns;
    if (status == kDnf)
        return points.dnf;
    if (status == kDsq)
        return points.dsq;
    return 0;
}

} // namespace

QList<int> FastestLapHolders(const THeatResults &final, int acc)
{
    QList<const THeatResult *> holders;
    qint32 shownBest = 0;
    for (const THeatResult &r : final) {
        if (r.bestMs <= 0 || r.status == kDsq)
            continue;
        const qint32 shown = TimeAsShown(r.bestMs, acc);
        if (holders.isEmpty() || shown < shownBest) {
            holders = {&r};
            shownBest = shown;
        } else if (shown == shownBest) {
            holders.append(&r);
        }
    }
    std::stable_sort(
        holders.begin(), holders.end(),
        [](const THeatResult *a, const THeatResult *b) { return a->bestSetAtMs < b->bestSetAtMs; });
    QList<int> ids;
    for (const THeatResult *r : holders)
        ids.append(r->entrantId);
    return ids;
}

QList<TClassPlace> ClassResult(const QList<THeatResults> &finals, const TPointsRules &points,
                               const QList<TQualifyPlace> &qualifying, int acc)
{
    const int fastest = finals.isEmpty() ? 0 : FastestLapHolders(finals.first(), acc).value(0);
    const int qualifier = bestQualifier(qualifying);
    QList<TClassPlace> result;
    QSet<int> placed;
    for (qsizetype f = 0; f < finals.size(); ++f) {
        for (const THeatResult &r : finals.at(f)) {
            if (placed.contains(r.entrantId))
                continue;
            placed.insert(r.entrantId);
            TClassPlace line;
            line.entrantId = r.entrantId;
            line.place = int(result.size()) + 1;
            line.final = QChar(u'A' + int(f));
            line.status = r.status.isEmpty() && r.laps <= 0 && r.bestMs <= 0 ? kDns : r.status;
            line.points = line.status.isEmpty() ? points.perPlace.value(line.place - 1, 0)
                                                : statusPoints(line.status, points);
            if (line.status != kDsq) {
                if (r.entrantId == fastest)
                    line.bonus += points.fastestLap;
                if (r.entrantId == qualifier)
                    line.bonus += points.bestQualifier;
            }
            line.points += line.bonus;
            result.append(line);
        }
    }
    return result;
}

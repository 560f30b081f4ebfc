#include "RaceDay.h"

#include "FormatTime.h"

#include <QHash>

#include <algorithm>
#include <numeric>
#include <optional>

// How a class's qualifying order is made.
//
// One round: every driver's result over the round's heats (a driver in two heats of a round
// keeps the better) ranked by the club's rule; DNS and DSQ give no result, nor does a heat
// without a lap. Equal results keep the order the drivers first appeared in.
//
// Best laps are compared as the race shows them (acc digits after the seconds): two laps that
// show the same time are equal, and the one set first (by the clock) is ahead.
//
// BestResult over several rounds: each driver's best single result of all rounds, compared by
// the same rule.
//
// SumOfBestTwo: each round ranks its drivers across all its heats (places 1, 2, ...; equal
// results share a place); a driver's two best round places are added, fewer first, then the
// better single place. A driver who has fewer round places than two (or than the rounds held,
// when only one was held) counts each missing place as twice the class's number of drivers, so
// anyone with both places ranks ahead: two places can add up to that number at most.

namespace {

using TResult = std::optional<THeatResult>;

// How the club ranks a result, and the digits the race shows.
struct TRule
{
    TQualifyRanking ranking;
    int acc;
};

bool hasResult(const THeatResult &r, TRule rule)
{
    if (r.status == QLatin1String("DNS") || r.status == QLatin1String("DSQ"))
        return false;
    return rule.ranking == TQualifyRanking::LapsAndTime ? r.laps > 0 : r.bestMs > 0;
}

// Whether a is the better result of the two.
bool better(const THeatResult &a, const THeatResult &b, TRule rule)
{
    if (rule.ranking == TQualifyRanking::BestLap) {
        const qint32 shownA = TimeAsShown(a.bestMs, rule.acc);
        const qint32 shownB = TimeAsShown(b.bestMs, rule.acc);
        if (shownA != shownB)
            return shownA < shownB;
        return a.bestSetAtMs < b.bestSetAtMs;
    }
    if (a.laps != b.laps)
        return a.laps > b.laps;
    return a.totalMs < b.totalMs;
}

bool same(const THeatResult &a, const THeatResult &b, TRule rule)
{
    return !better(a, b, rule) && !better(b, a, rule);
}

struct TDriver
{
    int id = 0;
    QList<TResult> rounds; // the driver's result per round
    TResult counting;      // the best result of the rounds that count
    qint32 bestMs = 0;     // the best lap of the rounds that count
    QList<int> places;     // SumOfBestTwo: the round places, best first
    int placeSum = 0;
};

void setCounting(TDriver &d, const QList<int> &roundsCounting, TRule rule)
{
    for (int r : roundsCounting) {
        const TResult &res = d.rounds.at(r);
        if (!res)
            continue;
        if (!d.counting || better(*res, *d.counting, rule))
            d.counting = res;
        if (res->bestMs > 0 && (d.bestMs == 0 || res->bestMs < d.bestMs))
            d.bestMs = res->bestMs;
    }
}

} // namespace

QList<TQualifyPlace> RankQualifying(const QList<QList<THeatResults>> &rounds,
                                    TQualifyRanking ranking, TQualifyCombine combine, int acc)
{
    const TRule rule{ranking, acc};
    const int roundCount = int(rounds.size());
    QList<TDriver> drivers; // in the order they first appear
    QHash<int, qsizetype> index;
    int roundsHeld = 0;
    for (int r = 0; r < roundCount; ++r) {
        bool held = false;
        for (const THeatResults &heat : rounds.at(r)) {
            held = held || !heat.isEmpty();
            for (const THeatResult &res : heat) {
                qsizetype i = index.value(res.entrantId, -1);
                if (i < 0) {
                    i = drivers.size();
                    index.insert(res.entrantId, i);
                    drivers.append({res.entrantId, QList<TResult>(roundCount), {}, 0, {}, 0});
                }
                TResult &kept = drivers[i].rounds[r];
                if (hasResult(res, rule) && (!kept || better(res, *kept, rule)))
                    kept = res;
            }
        }
        if (held)
            ++roundsHeld;
    }

    QList<TDriver *> ranked;
    QList<TDriver *> without;
    if (combine == TQualifyCombine::BestResult) {
        QList<int> all;
        for (int r = 0; r < roundCount; ++r)
            all.append(r);
        for (TDriver &d : drivers) {
            setCounting(d, all, rule);
            (d.counting ? ranked : without).append(&d);
        }
        std::stable_sort(ranked.begin(), ranked.end(), [rule](TDriver *a, TDriver *b) {
            return better(*a->counting, *b->counting, rule);
        });
    } else {
        QList<QList<int>> roundOf(drivers.size()); // per driver, the rounds of its places
        for (int r = 0; r < roundCount; ++r) {
            QList<qsizetype> inRound;
            for (qsizetype i = 0; i < drivers.size(); ++i) {
                if (drivers.at(i).rounds.at(r))
                    inRound.append(i);
            }
            std::stable_sort(inRound.begin(), inRound.end(), [&](qsizetype a, qsizetype b) {
                return better(*drivers.at(a).rounds.at(r), *drivers.at(b).rounds.at(r), rule);
            });
            int place = 0;
            for (qsizetype k = 0; k < inRound.size(); ++k) {
                const THeatResult &res = *drivers.at(inRound.at(k)).rounds.at(r);
                if (k == 0 || !same(res, *drivers.at(inRound.at(k - 1)).rounds.at(r), rule))
                    place = int(k) + 1;
                drivers[inRound.at(k)].places.append(place);
                roundOf[inRound.at(k)].append(r);
            }
        }
        const int needed = qMin(2, roundsHeld);
        const int missingPlace = 2 * int(drivers.size());
        for (qsizetype i = 0; i < drivers.size(); ++i) {
            TDriver &d = drivers[i];
            if (d.places.isEmpty()) {
                without.append(&d);
                continue;
            }
            // The rounds of the two best places count.
            QList<qsizetype> order(d.places.size());
            std::iota(order.begin(), order.end(), 0);
            std::stable_sort(order.begin(), order.end(),
                             [&d](qsizetype a, qsizetype b) { return d.places[a] < d.places[b]; });
            QList<int> best;
            QList<int> counting;
            for (qsizetype k = 0; k < order.size() && k < 2; ++k) {
                best.append(d.places.at(order.at(k)));
                counting.append(roundOf.at(i).at(order.at(k)));
            }
            d.places = best;
            d.placeSum = std::accumulate(best.begin(), best.end(), 0) +
                         qMax(0, needed - int(best.size())) * missingPlace;
            setCounting(d, counting, rule);
            ranked.append(&d);
        }
        std::stable_sort(ranked.begin(), ranked.end(), [](TDriver *a, TDriver *b) {
            if (a->placeSum != b->placeSum)
                return a->placeSum < b->placeSum;
            return a->places.first() < b->places.first();
        });
    }

    QList<TQualifyPlace> order;
    for (const QList<TDriver *> &group : {ranked, without}) {
        for (const TDriver *d : group) {
            TQualifyPlace line;
            line.entrantId = d->id;
            line.place = int(order.size()) + 1;
            if (d->counting) {
                line.laps = d->counting->laps;
                line.totalMs = d->counting->totalMs;
            }
            line.bestMs = d->bestMs;
            line.placeSum = d->placeSum;
            order.append(line);
        }
    }
    return order;
}

#pragma once

#include <QDate>
#include <QList>
#include <QMap>
#include <QString>

#include <optional>

// A club's race day: its entrants in classes, and per class the rounds of heats (qualifying,
// then finals) that are each timed as an ordinary race. Only the plan is kept here; every
// result is worked out again from the heats' races, so a correction in a heat reaches the
// qualifying order, the finals not yet started, the points and the season at once.

// One driver entered for the day.
struct TEntrant
{
    int id = 0;          // unique within the day, > 0
    QString number;      // start number, may be empty
    QString driver;      // name
    QString className;   // class ("Klasse"); empty means the day's only class
    bool absent = false; // marked absent: put in no heat
    bool operator==(const TEntrant &) const = default;
};

enum class TRoundKind { Qualifying = 0, Final = 1 };

// How a round's drivers are spread over its heats.
enum class THeatOrder {
    ListOrder = 0, // in the order of the list: heat 1 gets the first drivers
    Random = 1,    // drawn at random
    Seeded = 2,    // by the order of an earlier round: 1st to heat 1, 2nd to heat 2, ...
};

// How a qualifying heat ranks its drivers.
enum class TQualifyRanking {
    LapsAndTime = 0, // more laps first, then the shorter total time
    BestLap = 1,     // the shorter best lap first
};

// How several qualifying rounds make one order.
enum class TQualifyCombine {
    BestResult = 0,   // each driver's best result of all rounds
    SumOfBestTwo = 1, // places of the best two rounds added (fewer is better)
};

// One heat: its drivers in key order (the first on F1), and the journal race that timed it.
struct THeat
{
    int id = 0;            // unique within the day, > 0
    QList<int> entrantIds; // key order, at most 12
    qint64 raceId = 0;     // the journal race of this heat; 0 before its START
    bool operator==(const THeat &) const = default;
};

struct TRound
{
    int id = 0; // unique within the day, > 0
    QString className;
    TRoundKind kind = TRoundKind::Qualifying;
    // Qualifying rounds count 1, 2, ... per class; finals are named by letter: heat 0 of a
    // final round is the A final, heat 1 the B final, and so on.
    int number = 1;
    QList<THeat> heats;
    bool operator==(const TRound &) const = default;
};

// What a class's club rules say about heats, qualifying and finals.
struct TClassRules
{
    int maxHeatSize = 12; // at most 12: one key each
    TQualifyRanking ranking = TQualifyRanking::LapsAndTime;
    TQualifyCombine combine = TQualifyCombine::BestResult;
    int finalSize = 12; // drivers per final, at most 12
    int bumpUp = 0;     // the first k of a lower final start at the back of the next higher
    bool operator==(const TClassRules &) const = default;
};

// Points per final place and what the other outcomes earn.
struct TPointsRules
{
    QList<int> perPlace = {25, 20, 16, 13, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1};
    int fastestLap = 0;    // bonus for the fastest lap of the A final
    int bestQualifier = 0; // bonus for first place in qualifying
    int dns = 0;
    int dnf = 0;
    int dsq = 0;
    bool operator==(const TPointsRules &) const = default;
};

struct TRaceDay
{
    qint64 id = 0; // the store's id; 0 before it is stored
    QString name;
    QDate date;
    qint64 seasonId = 0; // 0: in no season
    QList<TEntrant> entrants;
    QList<TRound> rounds;
    TClassRules rules; // the same for every class of the day
    TPointsRules points;
    // Where a day taken over from the club server was made ("<station>/<id>"); empty for a day
    // made here.
    QString origin;
    // The finals as last seeded, by heat id: a final whose drivers are still these follows the
    // seeding (a correction in qualifying, the bump-up places filled once the final below has
    // run); one changed by hand keeps its drivers. A heat not in it was never seeded.
    QMap<int, QList<int>> seeded;
    bool operator==(const TRaceDay &) const = default;

    // The classes in the order their first entrant appears; {""} for a day without classes.
    QStringList classes() const;
    const TEntrant *entrant(int id) const;
    const THeat *heat(int heatId) const;
    const TRound *roundOfHeat(int heatId) const;
};

// One driver's outcome in one heat, as the heat's race gives it.
struct THeatResult
{
    int entrantId = 0;
    int place = 0;      // 1-based place in the heat's standings (verdicts applied)
    int laps = 0;       // laps counted (laps taken off deducted)
    qint32 totalMs = 0; // race time at the last counted lap, penalty included
    qint32 bestMs = 0;  // best lap; 0 without a lap
    QString status;     // "DNS", "DNF", "DSQ" or empty
    // When the driver first ran his best lap as the race shows it (a later lap that shows the
    // same time does not count): wall-clock ms since the epoch; 0 without a lap.
    qint64 bestSetAtMs = 0;
    bool operator==(const THeatResult &) const = default;
};

// A heat's outcome in place order.
using THeatResults = QList<THeatResult>;

// One line of a class's qualifying order.
struct TQualifyPlace
{
    int entrantId = 0;
    int place = 0;      // 1-based
    int laps = 0;       // of the result that counts (LapsAndTime)
    qint32 totalMs = 0; // of the result that counts (LapsAndTime)
    qint32 bestMs = 0;  // best lap over the counting rounds (BestLap), 0 without a lap
    int placeSum = 0;   // SumOfBestTwo: sum of the places that count
    bool operator==(const TQualifyPlace &) const = default;
};

// One line of a class's result: the A final first, then the B final, ...
struct TClassPlace
{
    int entrantId = 0;
    int place = 0;  // 1-based over all finals
    QChar final;    // 'A', 'B', ...
    QString status; // "DNS", "DNF", "DSQ" or empty
    int points = 0; // with bonus
    int bonus = 0;  // of points, the bonus part
    bool operator==(const TClassPlace &) const = default;
};

// ---- heats -----------------------------------------------------------------------------

// Splits the drivers (in the order given) into the fewest heats of at most maxSize (never
// more than 12), of sizes that differ by at most one, the larger heats first. ListOrder and
// Random fill heat 1 first; Seeded (the drivers in their earlier order) deals them out: 1st to
// heat 1, 2nd to heat 2, ... Random shuffles with the given seed first.
QList<QList<int>> SplitIntoHeats(const QList<int> &entrantIds, int maxSize, THeatOrder order,
                                 quint32 seed = 0);

// ---- qualifying and finals -------------------------------------------------------------

// The class's qualifying order over all its qualifying rounds. rounds holds, per qualifying
// round, the results of each of its heats. Drivers without any lap stand last, in list order.
// Best laps are compared as shown with acc digits after the seconds (see FormatTime); of two
// that show the same, the one set first is ahead.
QList<TQualifyPlace> RankQualifying(const QList<QList<THeatResults>> &rounds,
                                    TQualifyRanking ranking, TQualifyCombine combine, int acc);

// The finals seeded from the qualifying order: finals[0] is the A final. With bumpUp k > 0 a
// higher final keeps its last k places free for the first k of the next lower final, which
// SeedBumpUp fills once that final has been run.
QList<QList<int>> SeedFinals(const QList<int> &qualifyOrder, int finalSize, int bumpUp);

// The higher final with the first k finishers of the lower final added at its back.
QList<int> SeedBumpUp(const QList<int> &higherFinal, const THeatResults &lowerFinal, int bumpUp);

// The drivers of a final who ran its fastest lap as shown with acc digits after the seconds,
// the one who set it first first; none without a lap. A disqualified driver is left out.
QList<int> FastestLapHolders(const THeatResults &final, int acc);

// The class result from the finals' results (A final first) and the points each place earns.
// A driver bumped up from a lower final is placed by the higher final only. The fastest-lap
// bonus goes to the first of FastestLapHolders of the A final.
QList<TClassPlace> ClassResult(const QList<THeatResults> &finals, const TPointsRules &points,
                               const QList<TQualifyPlace> &qualifying, int acc);

// ---- the season ------------------------------------------------------------------------

// A driver across race days: the same start number and name, or joined by hand.
struct TSeasonDriver
{
    QString number;
    QString driver;
    bool operator==(const TSeasonDriver &) const = default;
};

// One day's outcome for one driver of a class.
struct TSeasonEntry
{
    TSeasonDriver who;
    int place = 0; // 1-based class place that day; 0 without a place (DNS/DNF/DSQ)
    int points = 0;
};

// One race day's result in one class.
struct TSeasonDay
{
    QString dayName;
    QDate date;
    QList<TSeasonEntry> entries;
};

// One line of the season table of a class.
struct TSeasonLine
{
    TSeasonDriver who;
    int place = 0;        // 1-based; drivers tied on every rule share a place
    int total = 0;        // points that count
    QList<int> dayPoints; // per day in the order given; 0 where absent
    QList<bool> dropped;  // per day: the result does not count (best N of M)
    QList<bool> present;  // per day: the driver took part
};

// Joins renames by hand: each pair maps the later spelling to the earlier.
struct TSeasonJoin
{
    TSeasonDriver from;
    TSeasonDriver to;
    bool operator==(const TSeasonJoin &) const = default;
};

// The season table of one class: each driver's points summed over the days, only the best
// bestOf days counting when bestOf > 0, ties broken by more wins, then more second places,
// and so on; still tied, they share the place.
QList<TSeasonLine> SeasonTable(const QList<TSeasonDay> &days, int bestOf,
                               const QList<TSeasonJoin> &joins = {});

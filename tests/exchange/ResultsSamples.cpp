#include "ResultsSamples.h"

#include <algorithm>

namespace ResultsSamples {

TResultsRow row(int car, const QString &startNo, const QString &driver, const QList<qint32> &laps)
{
    TResultsRow r;
    r.car = car;
    r.startNo = startNo;
    r.driver = driver;
    r.laps = laps;
    qint32 raceTime = 0;
    for (const qint32 lap : laps)
        r.cross.append(raceTime += lap);
    r.best = laps.isEmpty() ? 0x7FFFFFFF : *std::min_element(laps.begin(), laps.end());
    return r;
}

QList<QList<double>> expectedPlaces(const TResultsSnapshot &s)
{
    QList<QList<double>> places(s.carCount());
    for (int i = 0; i < s.carCount(); ++i) {
        for (int lap = 1; lap <= s.rows.at(i).count(); ++lap) {
            int place = 1;
            for (int j = 0; j < s.carCount(); ++j) {
                const TResultsRow &other = s.rows.at(j);
                if (j == i || other.count() < lap)
                    continue;
                const qint32 mine = s.rows.at(i).total(lap);
                if (other.total(lap) < mine || (other.total(lap) == mine && j < i))
                    ++place;
            }
            places[i] << place;
        }
    }
    return places;
}

TResultsSnapshot threeCars()
{
    TResultsSnapshot s;
    s.appTitle = QStringLiteral("Talvenbahn 1.7");
    s.title = QStringLiteral("Preis <Nord> & Süd");
    s.mode = QStringLiteral("Rennen");
    s.raceLaps = 3;
    s.leaderLaps = 3;
    s.lapLength = 2.5;
    s.acc = 1;
    s.date = QDate(2026, 12, 7);
    s.rows << row(2, QStringLiteral("7"), QStringLiteral("Łukasz Nowak"),
                  {1500000, 1320000, 1290500})
           << row(1, QString(), QStringLiteral("Anna \"Flash\" Berg"), {1510049, 1330000, 1300000})
           << row(3, QStringLiteral("12"), QStringLiteral("Jörg Weiß"), {1600000});
    return s;
}

TResultsSnapshot oneCar()
{
    TResultsSnapshot s;
    s.appTitle = QStringLiteral("Talvenbahn 1.7");
    s.title = QStringLiteral("Übung");
    s.mode = QStringLiteral("Training");
    s.raceLaps = 10;
    s.leaderLaps = 1;
    s.lapLength = 1.25;
    s.acc = 2;
    s.date = QDate(2026, 12, 7);
    s.rows << row(1, QStringLiteral("5"), QStringLiteral("Kim"), {83456});
    return s;
}

TResultsSnapshot oddTexts()
{
    TResultsSnapshot s;
    s.appTitle = QStringLiteral("Talvenbahn 1.7");
    s.title = QStringLiteral("<b>&\"Lauf\"; Öß");
    s.mode = QStringLiteral("Rennen");
    s.raceLaps = 5;
    s.leaderLaps = 2;
    s.lapLength = 1.5;
    s.acc = 1;
    s.date = QDate(2026, 12, 7);
    s.rows << row(4, QStringLiteral("1;2"), QStringLiteral("<b>&\""), {61000, 60500})
           << row(9, QStringLiteral("3,4"), QStringLiteral("Jürgen Öß\nzweite Zeile"), {62000})
           << row(11, QStringLiteral("=1+2"), QStringLiteral("@Kim; \"K\""), {});
    return s;
}

TResultsSnapshot twelveCarsFiftyLaps()
{
    TResultsSnapshot s;
    s.appTitle = QStringLiteral("Talvenbahn 1.7");
    s.title = QStringLiteral("Großer Preis");
    s.mode = QStringLiteral("Rennen");
    s.raceLaps = 50;
    s.leaderLaps = 50;
    s.lapLength = 2;
    s.acc = 2;
    s.date = QDate(2026, 12, 7);
    for (int car = 1; car <= 12; ++car) {
        QList<qint32> laps;
        for (int lap = 1; lap <= 50; ++lap)
            laps << 60000 + ((car * 7919 + lap * 104729) % 5000); // varies, so places swap
        s.rows << row(car, QString::number(car + 20), QStringLiteral("Fahrer %1").arg(car), laps);
    }
    std::stable_sort(s.rows.begin(), s.rows.end(), [](const TResultsRow &a, const TResultsRow &b) {
        return a.cross.last() < b.cross.last();
    });
    return s;
}

TResultsSnapshot noLaps()
{
    TResultsSnapshot s = threeCars();
    s.leaderLaps = 0;
    for (TResultsRow &r : s.rows)
        r = row(r.car, r.startNo, r.driver, {});
    return s;
}

TResultsSnapshot flagWithVerdicts()
{
    TResultsSnapshot s;
    s.appTitle = QStringLiteral("Talvenbahn 1.7");
    s.title = QStringLiteral("Flagge");
    s.mode = QStringLiteral("Rennen");
    s.raceLaps = 3;
    s.leaderLaps = 3;
    s.flagFallen = true;
    s.lapLength = 1;
    s.acc = 1;
    s.date = QDate(2026, 12, 7);
    s.rows << row(2, QStringLiteral("12"), QStringLiteral("Ben"), {3400, 3400, 3400})
           << row(1, QStringLiteral("11"), QStringLiteral("Anna"), {3000, 3000, 3000})
           << row(3, QStringLiteral("13"), QStringLiteral("Cem"), {3600, 3600})
           << row(4, QStringLiteral("14"), QStringLiteral("Dana"), {3500})
           << row(5, QStringLiteral("15"), QStringLiteral("Eli"), {});
    s.rows[1].penaltyMs = 2000;
    s.rows[3].status = QStringLiteral("DNF");
    s.rows[4].status = QStringLiteral("DNS");
    return s;
}

} // namespace ResultsSamples

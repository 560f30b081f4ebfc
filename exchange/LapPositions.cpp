#include "LapPositions.h"

#include "Classification.h"

#include <algorithm>

int MostLaps(const TResultsSnapshot &snapshot)
{
    int most = 0;
    for (const TResultsRow &row : snapshot.rows)
        most = qMax(most, int(row.cross.size()));
    return most;
}

QList<QList<int>> LapPositions(const TResultsSnapshot &s)
{
    QList<QList<int>> positions(s.carCount());
    const int laps = MostLaps(s);
    QList<int> atLap; // rows that completed the lap, ranked
    for (int lap = 1; lap <= laps; ++lap) {
        atLap.clear();
        for (int i = 0; i < s.carCount(); ++i) {
            if (s.rows.at(i).cross.size() >= lap)
                atLap << i;
        }
        std::stable_sort(atLap.begin(), atLap.end(), [&](int a, int b) {
            return s.rows.at(a).total(lap) < s.rows.at(b).total(lap);
        });
        for (int place = 0; place < atLap.size(); ++place)
            positions[atLap.at(place)] << place + 1;
    }
    return positions;
}

QString CarLabel(const TResultsRow &row)
{
    const QString number = row.startNo.trimmed();
    const QString driver = row.driver.trimmed();
    if (number.isEmpty())
        return driver.isEmpty() ? CarKeyText(row.car) : driver;
    return driver.isEmpty() ? QStringLiteral("Nr. ") + number
                            : QStringLiteral("Nr. ") + number + u' ' + driver;
}

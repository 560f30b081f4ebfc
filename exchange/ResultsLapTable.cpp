#include "ResultsLapTable.h"

#include "Classification.h"
#include "LapPositions.h"

TResultsLapTable::TResultsLapTable(const TResultsSnapshot &snapshot)
    : m_ownLaps(snapshot.showsOwnLaps()),
      m_laps(m_ownLaps ? MostLaps(snapshot) : snapshot.leaderLaps),
      m_leaderLaps(snapshot.leaderLaps), m_acc(snapshot.acc)
{}

QString TResultsLapTable::lapText(const TResultsRow &row, int lap) const
{
    if (m_ownLaps && lap > row.count())
        return QString();
    return LongTimeText(row.lapTime(lap), m_acc);
}

QString TResultsLapTable::totalText(const TResultsRow &row) const
{
    if (!m_ownLaps)
        return LongTimeText(row.total(m_leaderLaps), m_acc);
    const std::optional<qint32> total = ClassifiedTotal(row);
    return total ? LongTimeText(*total, m_acc) : QString();
}

#pragma once

#include "ResultsSnapshot.h"

#include <QString>

// The lap rows and the totals that the results page and the workbook show, as time texts.
// Usually every car shows the leader's laps ("00:00:00.0" for one it has not completed) and
// its race time at the leader's last lap, as these files always did. Where the snapshot shows
// each car's own laps (a flag has fallen, a verdict applies) the rows run to the most laps any
// car completed, a car's cell stays empty beyond its own laps, and its total is the one the
// classification gives it, penalty included; empty before its first lap.
class TResultsLapTable
{
public:
    explicit TResultsLapTable(const TResultsSnapshot &snapshot);

    int laps() const { return m_laps; } // lap rows 1 to laps()
    QString lapText(const TResultsRow &row, int lap) const;
    QString totalText(const TResultsRow &row) const;

private:
    bool m_ownLaps = false;
    int m_laps = 0;
    int m_leaderLaps = 0;
    int m_acc = 1;
};

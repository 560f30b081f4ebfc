#include "RaceDay.h"

QStringList TRaceDay::classes() const
{
    QStringList names;
    for (const TEntrant &e : entrants) {
        if (!names.contains(e.className))
            names.append(e.className);
    }
    if (names.isEmpty())
        names.append(QString());
    return names;
}

const TEntrant *TRaceDay::entrant(int entrantId) const
{
    for (const TEntrant &e : entrants) {
        if (e.id == entrantId)
            return &e;
    }
    return nullptr;
}

const THeat *TRaceDay::heat(int heatId) const
{
    for (const TRound &r : rounds) {
        for (const THeat &h : r.heats) {
            if (h.id == heatId)
                return &h;
        }
    }
    return nullptr;
}

const TRound *TRaceDay::roundOfHeat(int heatId) const
{
    for (const TRound &r : rounds) {
        for (const THeat &h : r.heats) {
            if (h.id == heatId)
                return &r;
        }
    }
    return nullptr;
}

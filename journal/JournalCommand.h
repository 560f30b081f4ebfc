#pragma once

#include "RaceEvent.h"
#include "RaceSummary.h"

// One change handed to the journal's writer thread; each is committed as one transaction.
struct TJournalCommand
{
    enum class Type {
        StartRace,  // the race row and its START event (race and event)
        AddEvent,   // one more event of a race (event)
        SetOutcome, // the race's state and winner (race.state, race.winner)
        DeleteRace, // the race and all its events
    };

    Type type = Type::AddEvent;
    TRaceSummary race; // race.id always names the race
    TRaceEvent event;
};

#pragma once

#include <QJsonObject>
#include <QString>
#include <QtGlobal>

// One thing that happened in a race, as the journal keeps it. The race state is computed from
// the list of these; nothing else is stored about the race's course.
struct TRaceEvent
{
    // Stored as the short texts of kindName(), so a kind added later needs no change of the
    // database. A text this program does not know reads back as Unknown.
    enum class Kind {
        Unknown,
        Start,   // payload: the race settings and the starters (keys in StartPayload)
        Press,   // a lap key press of `car` (payload locked: it came within the key lock)
        Stop,    // the operator stopped the race
        End,     // the race ended by time or laps
        Reset,   // the stopped race was cleared for a new start
        NewRace, // the new-race command
        Resume,  // the program was restarted and the race continued
        // Corrections of the crossings (see CorrectionEvents.h for their payloads). A
        // crossing is named by the seq of the event that made it: its press, or the
        // InsertCrossing that added it.
        DeleteCrossing,  // payload target: the crossing no longer counts
        InsertCrossing,  // a missed crossing of `car` at payload ms (race time)
        MoveCrossing,    // payload target moves to `car`
        EditCrossing,    // payload target gets the race time payload ms
        ConfirmCrossing, // payload target, held by the minimum lap, counts after all
        Undo,            // takes back the press or correction whose seq is payload target
        Redo,            // reverses the Undo whose seq is payload target
        // The classification of `car` from now on: not started, out from a lap, disqualified,
        // a time penalty and laps taken off (payload keys in CorrectionEvents.h). Undone and
        // redone like the corrections.
        CarVerdict,
        // The start number and driver of a standings row typed after START (payload keys in
        // CorrectionEvents.h); undone and redone like the corrections.
        StarterEdit,
    };

    int seq = 0; // 1, 2, 3 ... within its race; the journal assigns it
    Kind kind = Kind::Unknown;
    quint32 tick = 0;    // the program's millisecond tick counter at the event
    qint64 wallMs = 0;   // wall-clock time, ms since the epoch (UTC)
    int car = 0;         // 1..12, or 0 when the event concerns no car
    QJsonObject payload; // whatever else the kind carries

    static QString kindName(Kind kind);
    static Kind kindFromName(const QString &name);

    bool operator==(const TRaceEvent &other) const = default;
};

// Keys of the START payload; the archive's race list is filled from them.
namespace StartPayload {
inline constexpr QLatin1StringView kTitle{"title"};
inline constexpr QLatin1StringView kSession{"session"};
inline constexpr QLatin1StringView kCars{"cars"};
inline constexpr QLatin1StringView kLaps{"laps"};
inline constexpr QLatin1StringView kLapLength{"lapLength"};
inline constexpr QLatin1StringView kRaceSeconds{"raceSeconds"};
inline constexpr QLatin1StringView kWarningSeconds{"warningSeconds"};
// Digits after the seconds in the station's times (0, 1 tenths, 2 hundredths); absent in races
// recorded before it was kept.
inline constexpr QLatin1StringView kAccuracy{"accuracy"};
// An array of objects with kStartNumber and kDriver, one per row of the standings.
inline constexpr QLatin1StringView kStarters{"starters"};
inline constexpr QLatin1StringView kStartNumber{"number"};
inline constexpr QLatin1StringView kDriver{"driver"};
} // namespace StartPayload

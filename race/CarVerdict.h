#pragma once

#include <QString>

// What the race control decided about a car beyond its crossings: it did not start (DNS), is
// out from a lap on (DNF: its crossings after that lap no longer count), is disqualified (DSQ:
// classified after every other car), a time penalty added to its race time and laps taken off.
struct TCarVerdict
{
    enum class Status { Running, NotStarted, Retired, Disqualified };

    Status status = Status::Running;
    int fromLap = 0; // DNF: the laps that still count
    qint32 penaltyMs = 0;
    int lapsOff = 0;

    bool operator==(const TCarVerdict &) const = default;
    // No longer awaited at the line: the race can end without it.
    bool IsOut() const { return status != Status::Running; }
    bool IsPlain() const { return *this == TCarVerdict(); }

    // "", "DNS", "DNF", "DSQ": as the standings and the exports show it.
    static QString StatusText(Status status);
    static Status StatusFromText(const QString &text);
    // The verdict in German for the correction log: "DNF ab Runde 4, 10 s Strafe".
    QString Describe() const;
};

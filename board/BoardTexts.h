#pragma once

#include "LiveStandings.h"

#include <QString>

// The line under the title: how far the leader still has to go, or what the race is doing.
// "Noch 5 Runden", "Letzte Runde", "Ziel" while it runs; "Endergebnis" once it has ended.
QString RaceProgressText(TLiveState state, int lapsToGo);

// The progress line of a race day's heat: the heat's label before it ("Klasse A · Vorlauf 1 ·
// Lauf 2 – Noch 5 Runden"); for an ordinary race (no heat) the progress alone.
QString HeatProgressText(const QString &heat, const QString &progress);

// "1." for a ranked car, "–" for a car without a completed lap.
QString PositionText(int position);

// The position column: the verdict ("DNF", "DSQ", "DNS") of a car a verdict took out, else the
// place as PositionText writes it.
QString PlaceText(int position, const QString &status);

// The number column: the start number, or the car's key ("F3") for a car without one, so that
// rows without number and driver can still be told apart.
QString NumberText(const QString &startNumber, int car);

// The gap column: "+1 Runde", "+3 Runden" for a car whole laps behind the leader (its time gap
// compares only the laps both drove), else the time gap as given.
QString GapText(int lapsBehind, const QString &gap);

#pragma once

#include "AnnouncedPress.h"

#include <QString>

// "Startnummer sieben, Runde fünf, eins dreiundzwanzig Komma vier": the start number in words
// when it is a plain number (else "Taste F3"), the lap in words, then the lap time as minutes and
// seconds with tenths; ", letzte Runde" and ", im Ziel" follow when they apply.
QString AnnouncementText(const TAnnouncedPress &press);

// A lap time as it is read out, tenths rounded as the standings show them: 83456 ms is
// "eins dreiundzwanzig Komma fünf", 58249 ms "achtundfünfzig Komma zwei", 65000 ms
// "eins null fünf Komma null" (seconds below ten after minutes keep their "null", as on the clock).
QString LapTimeWords(qint64 ms);

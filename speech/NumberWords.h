#pragma once

#include <QString>

// A whole number as German words, for speaking: 1 "eins", 21 "einundzwanzig", 101 "hunderteins",
// 1000 "tausend", 2024 "zweitausendvierundzwanzig". Written as words up to 999999; beyond that
// (and for what no one would read aloud anyway) the digits. Negative numbers start with "minus".
QString NumberWords(qint64 number);

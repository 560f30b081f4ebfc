#pragma once

#include <QString>

// Turns a duration in milliseconds into the time text of the standings, the running clocks and
// the results. acc is the number of digits after the seconds: 0 none (truncated), 1 tenths
// (rounded, carrying into every field), 2 or more hundredths (truncated); a negative acc counts
// as 0. timeMode 5 to 9 chooses the fields:
//   5  m:ss      6  mm:ss      7  h:mm:ss      8, 9  hh:mm:ss
// Mode 5 and 6 have no hours field, so an hour or more is shown modulo one hour; hours are
// shown modulo 100. A negative duration formats as 0.
QString FormatTime(qint32 ms, int acc, int timeMode);

// The duration as FormatTime shows it at acc digits, in ms: 2351 is 2350 at hundredths, 2400 at
// tenths and 2000 at whole seconds. Two times that show the same text compare equal by it.
qint32 TimeAsShown(qint32 ms, int acc);

#pragma once

#include <QChar>
#include <QLocale>
#include <QString>

#include <optional>

// Texts of the race clock (hh:mm:ss) and the warning time (mm:ss) in the window's header.

// Seconds as hh:mm:ss; the hours field grows beyond two digits (360000 gives "100:00:00").
// A negative duration shows as 00:00:00.
QString FormatClock(qint32 seconds);

// Reads a race clock text from its end: the last run of digits counts as seconds, the run
// before it as minutes, the one before that as hours; earlier runs are ignored, so "1:30" is 90
// and "0:90:00" is 5400. A text without digits is 0. A text whose total does not fit a signed
// 32-bit number of seconds is refused with nullopt, so the caller keeps its current duration.
std::optional<qint32> ParseClock(const QString &text);

// Reads a warning time "mm:ss" in milliseconds. A short text is completed from the left with
// "00:00" ("5" reads as "00:05"); a part that is not made of digits counts as 0.
qint32 ParseWarnTime(const QString &text);

// Whether a warning time text is complete: two digits, ":", two digits.
bool IsCompleteWarnTime(const QString &text);

// The time separator of the locale's short time format (":" in most locales).
QChar LocaleTimeSeparator(const QLocale &locale);

// Whether the race clock field takes a typed character: the digits, Backspace and the time
// separator; everything else is discarded.
bool IsClockCharAccepted(QChar typed, QChar timeSeparator);

#pragma once

#include <QString>

// Text to value conversions in the user's locale (QLocale()). Each one converts the
// whole text or fails; surrounding blanks are allowed.
namespace LocaleConvert {

// Optional sign, digits with at most one decimal separator, optional exponent.
bool TextToFloat(const QString &text, double &value);
// The short date format, optionally followed by a time of day; milliseconds on one axis.
bool TextToDateTime(const QString &text, double &value);
// A time of day in the locale's format or as H:mm[:ss[.zzz]]; milliseconds since midnight.
bool TextToTime(const QString &text, double &value);
// Optional sign and decimal digits that fit a signed 32-bit integer.
bool TextToInt32(const QString &text, int &value);

} // namespace LocaleConvert

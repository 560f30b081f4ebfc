#pragma once

#include <QChar>
#include <QString>

// Number texts of the float edit, written and read with one given decimal separator and no
// thousands separators, independent of the C library's locale.

// Reads text of the form: blanks, optional sign, digits with at most one separator (at least
// one digit or the separator), optional exponent (E or e, optional sign, any digits), blanks.
// Returns false for anything else and for numbers beyond the long double range.
bool TextToFloat(const QString &text, QChar separator, long double &value);

// Writes value in fixed-point notation with exactly digits decimals, rounded half up after
// rounding to 18 significant digits; numbers needing more than 18 integer digits are written in
// scientific notation ("1.23456789012345678E+20").
QString FloatToText(long double value, int digits, QChar separator);

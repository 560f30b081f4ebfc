#pragma once

#include <QDate>
#include <QString>
#include <QTime>

// The text a starter-list cell gives in the grid, whatever file format it came from. Every
// function follows the current default locale (QLocale()).
namespace CellText {

// General number format: up to 15 significant digits, no trailing zeros, no group separator,
// the locale's decimal separator (7 gives "7", 2.5 gives "2,5" in German); exponents as "1E20".
QString numberText(double value);

// The locale's short date format, followed by the time when the value has one; a value without
// a date (a bare time of day) gives only the time.
QString dateTimeText(const QDate &date, const QTime &time);

// A spreadsheet day number (days since the workbook's epoch, the fraction is the time of day)
// as date text; a number outside the calendar gives its number text instead.
QString serialDateText(double serial, bool date1904);

QString truthText(bool value);

// Whether a number format code shows a date or a time ("dd.mm.yyyy", "h:mm", not "0.00").
bool isDateFormatCode(const QString &code);
// Whether one of the numbered formats every workbook knows without listing them is a date.
bool isBuiltInDateFormat(int id);

// The failure of a cell holding an error value, which has no text.
QString conversionErrorText();

} // namespace CellText

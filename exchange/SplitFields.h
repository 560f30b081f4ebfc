#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// Splits one line of comma-separated values into fields. A comma or a blank (any character
// from 1 to 32) ends an unquoted field; a field that opens with a double quote runs to the
// next double quote that is not doubled, keeps its blanks and commas, and reads two double
// quotes in a row as one. A quoted field without its closing quote runs to the end of the
// line; a comma at the very end of the line gives one more, empty field.
QStringList SplitFields(QStringView line);

// Wraps a value in double quotes, doubling the quotes inside it, so that SplitFields gives
// it back whole as one field.
QString QuotedField(const QString &value);

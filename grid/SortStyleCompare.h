#pragma once

#include "TSortOptions.h"

#include <QString>

// The comparisons behind the sort styles. Each returns a negative number when A comes
// first, zero for a tie and a positive number when B comes first.
namespace SortStyleCompare {

// Code point order (the order of the texts' UTF-8 bytes); a prefix comes first.
int CompareBytes(const QString &A, const QString &B);
// Folds 'A'..'Z' to 'a'..'z' and leaves every other character alone.
void FoldAsciiLower(QString &text);
// Numbers embedded in text: common non-digit characters drop out, the rest compare as
// integers ('lap 2' before 'lap 10').
int CompareNumericExtended(const QString &A, const QString &B);
// Converts a text for the styles that compare values (numeric, date-time, time).
bool ConvertForStyle(TSortStyle style, const QString &text, double &value);
// Compares two converted values, or the texts by bytes when either did not convert.
int CompareConverted(bool convertedA, double a, bool convertedB, double b, const QString &A,
                     const QString &B);
// The full comparison of one style; ssCustom without a function compares bytes.
int Compare(TSortStyle style, const QString &A, const QString &B,
            const TSortCompareFunc &compareFunc = {});

} // namespace SortStyleCompare

#include "NumberWords.h"

#include <QStringList>

namespace {

constexpr qint64 kLargestInWords = 999999;

const char *const kUnits[] = {"null",     "eins",     "zwei",     "drei",     "vier",
                              "fünf",     "sechs",    "sieben",   "acht",     "neun",
                              "zehn",     "elf",      "zwölf",    "dreizehn", "vierzehn",
                              "fünfzehn", "sechzehn", "siebzehn", "achtzehn", "neunzehn"};
const char *const kTens[] = {"",        "",        "zwanzig", "dreißig", "vierzig",
                             "fünfzig", "sechzig", "siebzig", "achtzig", "neunzig"};

// 1..99 where more words follow or precede: "ein" stands before "und" and before "hundert" or
// "tausend", "eins" only at the very end ("hunderteins").
QString belowHundred(int n, bool endsNumber)
{
    if (n == 1)
        return endsNumber ? QStringLiteral("eins") : QStringLiteral("ein");
    if (n < 20)
        return QString::fromUtf8(kUnits[n]);
    const int unit = n % 10;
    const QString tens = QString::fromUtf8(kTens[n / 10]);
    if (unit == 0)
        return tens;
    const QString unitWord = unit == 1 ? QStringLiteral("ein") : QString::fromUtf8(kUnits[unit]);
    return unitWord + QStringLiteral("und") + tens;
}

// 1..999; "hundert" without a leading "ein", as it is spoken.
QString belowThousand(int n, bool endsNumber)
{
    QString words;
    const int hundreds = n / 100;
    const int rest = n % 100;
    if (hundreds > 0)
        words =
            (hundreds == 1 ? QString() : belowHundred(hundreds, false)) + QStringLiteral("hundert");
    if (rest > 0)
        words += belowHundred(rest, endsNumber);
    return words;
}

} // namespace

QString NumberWords(qint64 number)
{
    if (number < 0)
        return QStringLiteral("minus ") + NumberWords(-number);
    if (number == 0)
        return QStringLiteral("null");
    if (number > kLargestInWords)
        return QString::number(number);
    const int thousands = int(number / 1000);
    const int rest = int(number % 1000);
    QString words;
    if (thousands > 0)
        words = (thousands == 1 ? QString() : belowThousand(thousands, false)) +
                QStringLiteral("tausend");
    if (rest > 0)
        words += belowThousand(rest, true);
    return words;
}

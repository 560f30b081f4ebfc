#include "FloatText.h"

#include <charconv>
#include <cmath>
#include <string>

namespace {

constexpr int kSignificantDigits = 18;

bool IsBlank(QChar c)
{
    return c == QLatin1Char(' ');
}

bool IsDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Rounds the decimal digit string `digits` (a number with `intDigits` digits before the point)
// half up to `decimals` places and returns the digits before and after the point.
void RoundDecimal(std::string digits, int intDigits, int decimals, std::string &whole,
                  std::string &fraction)
{
    if (intDigits <= 0) {
        digits.insert(0, static_cast<size_t>(1 - intDigits), '0');
        intDigits = 1;
    }
    const size_t keep = static_cast<size_t>(intDigits + decimals);
    if (digits.size() < keep + 1)
        digits.append(keep + 1 - digits.size(), '0');
    const bool roundUp = digits[keep] >= '5';
    digits.resize(keep);
    if (roundUp) {
        size_t i = keep;
        while (i > 0) {
            --i;
            if (digits[i] != '9') {
                ++digits[i];
                break;
            }
            digits[i] = '0';
            if (i == 0) {
                digits.insert(0, 1, '1');
                ++intDigits;
            }
        }
    }
    whole = digits.substr(0, static_cast<size_t>(intDigits));
    fraction = digits.substr(static_cast<size_t>(intDigits));
}

} // namespace

bool TextToFloat(const QString &text, QChar separator, long double &value)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && IsBlank(text[i]))
        ++i;
    std::string normalized;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        if (text[i] == QLatin1Char('-'))
            normalized += '-';
        ++i;
    }
    std::string whole;
    std::string fraction;
    bool separatorSeen = false;
    for (; i < n; ++i) {
        if (IsDigit(text[i]))
            (separatorSeen ? fraction : whole) += static_cast<char>(text[i].unicode());
        else if (text[i] == separator && !separatorSeen)
            separatorSeen = true;
        else
            break;
    }
    if (whole.empty() && fraction.empty() && !separatorSeen)
        return false;
    // The separator alone reads as zero.
    normalized += whole.empty() ? std::string("0") : whole;
    if (!fraction.empty())
        normalized += '.' + fraction;
    bool negativeExponent = false;
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        ++i;
        std::string exponent = "e";
        if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
            negativeExponent = text[i] == QLatin1Char('-');
            exponent += static_cast<char>(text[i].unicode());
            ++i;
        }
        const size_t before = exponent.size();
        for (; i < n && IsDigit(text[i]); ++i)
            exponent += static_cast<char>(text[i].unicode());
        if (exponent.size() > before) // "15e" has exponent 0
            normalized += exponent;
    }
    while (i < n && IsBlank(text[i]))
        ++i;
    if (i != n)
        return false;

    long double result = 0;
    const char *const last = normalized.data() + normalized.size();
    const auto [end, error] = std::from_chars(normalized.data(), last, result);
    if (end != last)
        return false;
    if (error == std::errc::result_out_of_range) {
        // Too small to hold reads as zero; too large is not a number.
        if (!negativeExponent)
            return false;
        result = 0;
    } else if (error != std::errc()) {
        return false;
    }
    value = result;
    return true;
}

QString FloatToText(long double value, int digits, QChar separator)
{
    if (!std::isfinite(value)) {
        if (std::isnan(value))
            return QStringLiteral("NAN");
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    }
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                      std::chars_format::scientific, kSignificantDigits - 1);
    const std::string scientific(buffer, result.ptr);
    const size_t e = scientific.find('e');
    const std::string mantissa = scientific.substr(0, e);
    const int exponent = std::stoi(scientific.substr(e + 1));
    std::string significant = mantissa;
    significant.erase(1, 1); // the point after the first digit

    QString text;
    if (exponent >= kSignificantDigits) {
        text = QString::fromLatin1(mantissa).replace(QLatin1Char('.'), separator);
        text += QStringLiteral("E+") + QString::number(exponent);
    } else {
        std::string whole;
        std::string fraction;
        RoundDecimal(significant, exponent + 1, digits, whole, fraction);
        text = QString::fromLatin1(whole);
        if (digits > 0)
            text += separator + QString::fromLatin1(fraction);
        if (whole.find_first_not_of('0') == std::string::npos &&
            fraction.find_first_not_of('0') == std::string::npos)
            return text; // no "-0.000"
    }
    return value < 0 ? QLatin1Char('-') + text : text;
}

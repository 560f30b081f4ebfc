#include "SortStyleCompare.h"

#include "LocaleConvert.h"

namespace SortStyleCompare {

namespace {
// Maps a UTF-16 unit so that unit order equals code point order: surrogates (which
// encode code points above U+FFFF) move above U+E000..U+FFFF.
int CodePointRank(char16_t unit)
{
    if (unit >= 0xD800 && unit <= 0xDFFF)
        return unit + 0x2000;
    if (unit >= 0xE000)
        return unit - 0x800;
    return unit;
}

bool IsDigit(QChar ch)
{
    return ch >= u'0' && ch <= u'9';
}
} // namespace

int CompareBytes(const QString &A, const QString &B)
{
    const qsizetype n = std::min(A.size(), B.size());
    const char16_t *a = reinterpret_cast<const char16_t *>(A.constData());
    const char16_t *b = reinterpret_cast<const char16_t *>(B.constData());
    for (qsizetype i = 0; i < n; ++i) {
        if (a[i] != b[i])
            return CodePointRank(a[i]) - CodePointRank(b[i]);
    }
    if (A.size() == B.size())
        return 0;
    return A.size() < B.size() ? -1 : 1;
}

void FoldAsciiLower(QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (ch >= u'A' && ch <= u'Z') {
            text.detach();
            text[i] = QChar(ch.unicode() + (u'a' - u'A'));
        }
    }
}

int CompareNumericExtended(const QString &A, const QString &B)
{
    if (A.isEmpty() && B.isEmpty())
        return 0;
    if (A.isEmpty())
        return -1;
    if (B.isEmpty())
        return 1;
    const qsizetype n = std::min(A.size(), B.size());
    QString X;
    QString Y;
    for (qsizetype i = 0; i < n; ++i) {
        if (A.at(i) == B.at(i) && !IsDigit(A.at(i)))
            continue;
        if (i == n - 1) {
            X += A.mid(i);
            Y += B.mid(i);
        } else {
            X += A.at(i);
            Y += B.at(i);
        }
    }
    // Strip common trailing non-digits, looking at every distance from the ends.
    const QString X0 = X;
    const QString Y0 = Y;
    const qsizetype m = std::min(X0.size(), Y0.size());
    for (qsizetype j = 0; j < m; ++j) {
        const QChar x = X0.at(X0.size() - 1 - j);
        if (x == Y0.at(Y0.size() - 1 - j) && !IsDigit(x)) {
            X.chop(1);
            Y.chop(1);
        }
    }
    if (X == Y)
        return 0;
    int x = 0;
    int y = 0;
    if (LocaleConvert::TextToInt32(X, x) && LocaleConvert::TextToInt32(Y, y))
        return x < y ? -1 : 1;
    return CompareBytes(X, Y);
}

bool ConvertForStyle(TSortStyle style, const QString &text, double &value)
{
    switch (style) {
    case ssNumeric:
        return LocaleConvert::TextToFloat(text, value);
    case ssDateTime:
        return LocaleConvert::TextToDateTime(text, value);
    case ssTime:
        return LocaleConvert::TextToTime(text, value);
    default:
        return false;
    }
}

int CompareConverted(bool convertedA, double a, bool convertedB, double b, const QString &A,
                     const QString &B)
{
    if (convertedA && convertedB)
        return a < b ? -1 : (a > b ? 1 : 0);
    return CompareBytes(A, B);
}

int Compare(TSortStyle style, const QString &A, const QString &B,
            const TSortCompareFunc &compareFunc)
{
    switch (style) {
    case ssNumeric:
    case ssDateTime:
    case ssTime: {
        double a = 0;
        double b = 0;
        const bool convertedA = ConvertForStyle(style, A, a);
        const bool convertedB = ConvertForStyle(style, B, b);
        return CompareConverted(convertedA, a, convertedB, b, A, B);
    }
    case ssNumericExtended:
        return CompareNumericExtended(A, B);
    case ssCustom:
        if (compareFunc)
            return compareFunc(A, B);
        return CompareBytes(A, B);
    case ssAutomatic:
    case ssNormal:
        break;
    }
    return CompareBytes(A, B);
}

} // namespace SortStyleCompare

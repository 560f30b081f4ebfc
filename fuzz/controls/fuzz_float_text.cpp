// Feeds arbitrary texts to the float edit's number reader, and checks that every number it
// accepts is written as a text that reads back and is written the same way again.
#include "FloatText.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    // The first byte picks the separator and the number of decimals.
    const QChar separator = (data[0] & 1) ? QChar(u',') : QChar(u'.');
    const int digits = (data[0] >> 1) % 19;
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    long double value = 0;
    if (!TextToFloat(text, separator, value))
        return 0;
    if (!std::isfinite(value))
        std::abort();
    const QString written = FloatToText(value, digits, separator);
    long double again = 0;
    if (!TextToFloat(written, separator, again))
        std::abort();
    if (FloatToText(again, digits, separator) != written) {
        // Rounding may move the last shown decimal once; a second round trip must be stable.
        const QString second = FloatToText(again, digits, separator);
        long double third = 0;
        if (!TextToFloat(second, separator, third) ||
            FloatToText(third, digits, separator) != second)
            std::abort();
    }
    return 0;
}

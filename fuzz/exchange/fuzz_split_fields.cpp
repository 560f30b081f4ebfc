// Feeds arbitrary lines to the comma splitting, and checks that any list of values quoted
// into a line comes back from it whole.
#include "SplitFields.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// A value separator in the input that cannot occur in text taken from the window.
constexpr char kValueSeparator = '\n';

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));

    // Any line: must not crash, hang or read out of bounds; a field never holds a blank
    // unless it was quoted, so unquoted input without quotes splits into blank-free fields.
    const QStringList fields = SplitFields(text);
    if (!text.contains(u'"')) {
        for (const QString &field : fields) {
            for (const QChar c : field) {
                if (c == u',' || (c.unicode() >= 1 && c.unicode() <= 32))
                    std::abort();
            }
        }
    }

    // Round trip: the values of the input, quoted and joined with commas, split back into
    // exactly those values.
    const QStringList values = text.split(QChar(kValueSeparator));
    QStringList quoted;
    for (const QString &value : values)
        quoted << QuotedField(value);
    if (SplitFields(quoted.join(u',')) != values)
        std::abort();
    return 0;
}

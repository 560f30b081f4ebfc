#include "SplitFields.h"

namespace {

constexpr char16_t kQuote = u'"';
constexpr char16_t kComma = u',';
constexpr char16_t kLastBlank = 32;

bool isBlank(QChar c)
{
    return c.unicode() >= 1 && c.unicode() <= kLastBlank;
}

} // namespace

QStringList SplitFields(QStringView line)
{
    QStringList fields;
    const qsizetype size = line.size();
    qsizetype pos = 0;
    auto skipBlanks = [&] {
        while (pos < size && isBlank(line[pos]))
            ++pos;
    };

    skipBlanks();
    while (pos < size) {
        QString field;
        if (line[pos] == kQuote) {
            ++pos;
            while (pos < size) {
                if (line[pos] == kQuote) {
                    if (pos + 1 < size && line[pos + 1] == kQuote) {
                        field += kQuote;
                        pos += 2;
                        continue;
                    }
                    ++pos; // past the closing quote
                    break;
                }
                field += line[pos++];
            }
        } else {
            const qsizetype start = pos;
            while (pos < size && line[pos] != kComma && !isBlank(line[pos]))
                ++pos;
            field = line.sliced(start, pos - start).toString();
        }
        fields.append(field);
        skipBlanks();
        if (pos < size && line[pos] == kComma) {
            if (pos == size - 1)
                fields.append(QString());
            ++pos;
            skipBlanks();
        }
    }
    return fields;
}

QString QuotedField(const QString &value)
{
    QString quoted = value;
    quoted.replace(QString(kQuote), QStringLiteral("\"\""));
    return kQuote + quoted + kQuote;
}

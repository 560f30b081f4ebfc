#include "CommaText.h"

namespace {
bool IsBlank(QChar ch)
{
    return ch.unicode() <= u' ';
}
} // namespace

QStringList SplitCommaText(const QString &text)
{
    QStringList items;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skipBlanks = [&] {
        while (i < n && IsBlank(text.at(i)))
            ++i;
    };
    skipBlanks();
    while (i < n) {
        QString item;
        if (text.at(i) == u'"') {
            ++i;
            while (i < n) {
                if (text.at(i) == u'"') {
                    if (i + 1 < n && text.at(i + 1) == u'"') {
                        item += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += text.at(i++);
            }
        } else {
            while (i < n && text.at(i) != u',' && !IsBlank(text.at(i)))
                item += text.at(i++);
        }
        items.append(item);
        skipBlanks();
        if (i < n && text.at(i) == u',') {
            ++i;
            skipBlanks();
            if (i == n)
                items.append(QString());
        }
    }
    return items;
}

#include "TitleText.h"

namespace {
constexpr qsizetype kShortestTitle = 3;
}

QString ShortenTitle(const QString &title, int room,
                     const std::function<int(const QString &)> &width)
{
    QString text = title;
    if (text.size() < 2 || width(text) <= room)
        return text;
    text[text.size() - 1] = u'.';
    text[text.size() - 2] = u'.';
    while (width(text) > room && text.size() > kShortestTitle) {
        text.chop(1);
        text[text.size() - 2] = u'.';
    }
    return text;
}

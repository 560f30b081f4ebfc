#pragma once

#include <QString>
#include <functional>

// Shortens a column title to `room` pixels: the last two characters become dots, then
// characters go one by one, never below one character and two dots. Titles shorter than
// two characters stay as they are. `width` measures a text in the painter's font.
QString ShortenTitle(const QString &title, int room,
                     const std::function<int(const QString &)> &width);

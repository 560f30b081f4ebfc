#pragma once

#include <QStringList>

// Splits comma text: items end at a comma or a blank, blanks between items are
// skipped, and an item may be enclosed in double quotes ("" inside stands for ").
QStringList SplitCommaText(const QString &text);

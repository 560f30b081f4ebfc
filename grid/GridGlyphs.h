#pragma once

#include <QPixmap>
#include <QString>

// The grid's small pictures by name: "UP" and "DOWN" (8 x 7 sort arrows), "CHECKED" and
// "UNCHECKED" (16 x 16 check boxes), "COMBOBOX" and "ELLIPSIS" (16 x 16 buttons).
// An unknown name gives a null pixmap.
QPixmap GridGlyph(const QString &name);

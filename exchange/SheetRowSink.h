#pragma once

#include <QList>
#include <QString>

// One worksheet cell as a reader found it: its text, or the mark of an error value (a failed
// formula), which has no text, or of a formula saved without its result (noValue).
struct SheetCell
{
    QString text;
    bool error = false;
    bool noValue = false;
};

// The cells of one worksheet row from column A on; cells past the end are empty.
using SheetRow = QList<SheetCell>;

// Takes the rows of the first worksheet from a reader. Readers hand over the rows in ascending
// order (0 is sheet row 1) and leave out rows without cells; takeRow returns false when it
// needs no more rows, and the reader then stops without reading the rest of the file.
class SheetRowSink
{
public:
    virtual ~SheetRowSink() = default;
    virtual bool takeRow(int row, const SheetRow &cells) = 0;
};

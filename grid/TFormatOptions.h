#pragma once

#include "GridTypes.h"

#include <QColor>

// The controls library declares the same horizontal alignment; where both libraries are
// visible its declaration is the one, so the two never meet as rival definitions.
#if __has_include(<Alignment.h>)
#include <Alignment.h>
#else
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
#endif
enum TVertAlignment { taTopJustify, taBottomJustify, taMiddle };
enum TCellBevelStyle { cbNone, cbRaised, cbLowered };

// The format of one cell as OnGetCellFormat may change it. Brush and Font point at the
// painter's own drawing state, so changing them changes what the cell is painted with.
struct TFormatOptions
{
    QBrush *Brush = nullptr;
    TCanvasFont *Font = nullptr;
    TAlignment AlignmentHorz = taLeftJustify;
    TVertAlignment AlignmentVert = taTopJustify;
    TCellBevelStyle BevelStyle = cbNone;
    QColor HighlightColor;
    QColor ShadowColor;
    bool HideText = false;
};

// GetCellFormat's answer: the format and the glyph flags of one cell.
struct TCellFormat
{
    TFormatOptions FormatOptions;
    bool CheckBox = false;
    bool Combobox = false;
    bool Ellipsis = false;
};

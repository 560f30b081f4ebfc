#pragma once

#include "Alignment.h"
#include "GridTypes.h"

#include <QColor>

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

#pragma once

#include "Alignment.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>

class QFontMetrics;
class QPainter;

// The light button's enumerations, colour presets, stock kinds and drawing routines. The face
// is drawn by plain functions so that it can be checked pixel by pixel without a window.

enum TLbButtonStyle { bsNormal, bsEncarta, bsModern, bsOld, bsShape, bsQuicken };
enum TLbButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TLbButtonKind {
    bkCustom,
    bkOK,
    bkCancel,
    bkHelp,
    bkYes,
    bkNo,
    bkClose,
    bkAbort,
    bkRetry,
    bkIgnore,
    bkAll
};
enum TLbColorStyle {
    lcsCustom,
    lcsGold,
    lcsChrome,
    lcsBlue,
    lcsRed,
    lcsUltraFlat1,
    lcsUltraFlat2,
    lcsUltraFlatXP,
    lcsAqua,
    lcsDefault,
    lcsQuicken
};

// An invalid QColor is "none": the colour is not set.
inline const QColor clNone;
// Painted where the parent should show through.
inline const QColor kLbTransparent(0xFF, 0x00, 0xFF);

// The colours a preset writes (none where the preset clears a colour).
struct TLbColorPreset
{
    QColor Color;
    QColor LightColor;
    QColor ShadowColor;
    QColor ColorWhenDown;
    QColor HotTrackColor;
    bool Flat = false;
    QColor FontColor;
    TLbButtonStyle Style = bsNormal;
};

// False for lcsCustom, which writes nothing.
bool LbColorPreset(TLbColorStyle style, TLbColorPreset &preset);

struct TLbKindInfo
{
    QString GlyphResource;
    QString Caption;
    int ModalResult = 0;
};

// The glyph resource, German caption and modal result of a stock kind; empty for bkCustom.
TLbKindInfo LbKindInfo(TLbButtonKind kind);

// Everything the face of a button depends on.
struct TLbFace
{
    int Width = 0;
    int Height = 0;
    TAlignment Alignment = taCenter;
    QString Caption;
    TLbButtonLayout Layout = blGlyphLeft;
    QFont Font;
    QColor FontColor = Qt::black;
    QColor ShadowColor;
    QColor LightColor;
    QColor HotTrackColor;
    QColor ColorWhenDown;
    QColor Color;
    TLbButtonStyle Style = bsNormal;
    bool HasPopupMenu = false;
    bool WordWrap = false;
    bool Flat = false;
    bool Enabled = true;
    bool Hot = false;
    bool Pressed = false;
    QImage Glyph;
    int NumGlyphs = 0;
    int FadeLevel = 0;
};

// Where the pieces of a face go, as DrawButtonFace places them.
struct TLbFaceLayout
{
    bool Down = false;
    int Shift = 0;
    QColor FaceColor;
    QFont Font;
    QString Caption; // cut to fit unless WordWrap
    QRect CaptionRect;
    int GlyphCell = 0;
    QRect GlyphRect; // cell size at the place it is drawn; empty without a glyph
};

// Each channel trunc(c * (1 - level / 8) + h * level / 8): level 0 gives c, level 8 gives h.
QColor BlendColors(const QColor &color, const QColor &hotTrackColor, int level);

// Fills (x1, y1)-(x2, y2), right and bottom exclusive, with 32 horizontal bands from a to b.
void FillGradientBands(QPainter &painter, int x1, int y1, int x2, int y2, const QColor &a,
                       const QColor &b);

// Drops characters from the end of caption until it is at most width pixels wide.
QString FitCaption(const QString &caption, const QFontMetrics &metrics, int width);

TLbFaceLayout LayoutButtonFace(const TLbFace &face);

// Draws the whole face into (0, 0)-(Width, Height); kLbTransparent marks what stays see-through.
void DrawButtonFace(QPainter &painter, const TLbFace &face);

// Draws cell `cell` (cellWidth wide) of a glyph strip at `at`, keying out the colour of the
// cell's bottom-left pixel.
void DrawGlyphCell(QPainter &painter, const QImage &strip, int cell, int cellWidth, QPoint at);

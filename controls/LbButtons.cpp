#include "LbButtons.h"

#include "ControlResources.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QPalette>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int kFadeLevels = 8;
constexpr int kGradientSteps = 31;
constexpr int kTextMargin = 4;
constexpr int kGlyphGap = 4;
constexpr QRgb kDisabledTextRgb = 0x808080;
constexpr int kArrowRightOffset = 11;

QColor Rgb(QRgb rgb)
{
    return QColor::fromRgb(rgb);
}

QColor ButtonFace()
{
    return QApplication::palette().color(QPalette::Button);
}

QColor DarkShadow3D()
{
    return QApplication::palette().color(QPalette::Shadow);
}

// A line from a to b without its end point; frames only use horizontal and vertical lines.
void LineSegment(QPainter &painter, QPoint a, QPoint b, const QColor &color)
{
    if (a.y() == b.y()) {
        const int step = b.x() > a.x() ? 1 : -1;
        const int first = std::min(a.x(), b.x() - step);
        const int last = std::max(a.x(), b.x() - step);
        if (a.x() != b.x())
            painter.fillRect(first, a.y(), last - first + 1, 1, color);
    } else if (a.x() == b.x()) {
        const int step = b.y() > a.y() ? 1 : -1;
        const int first = std::min(a.y(), b.y() - step);
        const int last = std::max(a.y(), b.y() - step);
        painter.fillRect(a.x(), first, 1, last - first + 1, color);
    }
}

void Polyline(QPainter &painter, std::initializer_list<QPoint> points, const QColor &color)
{
    const std::vector<QPoint> p(points);
    for (size_t i = 0; i + 1 < p.size(); ++i)
        LineSegment(painter, p[i], p[i + 1], color);
}

// Outline of left, top, right, bottom with right and bottom exclusive.
void FrameRectangle(QPainter &painter, int left, int top, int right, int bottom,
                    const QColor &color)
{
    Polyline(painter,
             {QPoint(left, top), QPoint(right - 1, top), QPoint(right - 1, bottom - 1),
              QPoint(left, bottom - 1), QPoint(left, top)},
             color);
}

// The outline of a rectangle with corners rounded by 6 x 6 ellipses, pixel for pixel: each
// corner steps in over (0, 2), (1, 1) and (2, 0).
void RoundedOutline(QPainter &painter, int width, int height, const QColor &color)
{
    const int right = width - 1;
    const int bottom = height - 1;
    painter.fillRect(3, 0, width - 6, 1, color);
    painter.fillRect(3, bottom, width - 6, 1, color);
    painter.fillRect(0, 3, 1, height - 6, color);
    painter.fillRect(right, 3, 1, height - 6, color);
    for (const QPoint step : {QPoint(0, 2), QPoint(1, 1), QPoint(2, 0)}) {
        painter.fillRect(step.x(), step.y(), 1, 1, color);
        painter.fillRect(right - step.x(), step.y(), 1, 1, color);
        painter.fillRect(step.x(), bottom - step.y(), 1, 1, color);
        painter.fillRect(right - step.x(), bottom - step.y(), 1, 1, color);
    }
}

// A rectangle filled with corners rounded by 4 x 4 ellipses: only the corner pixels stay out.
void RoundedFill(QPainter &painter, const QRect &area, const QColor &color)
{
    painter.fillRect(area, color);
    for (const QPoint corner :
         {area.topLeft(), area.topRight(), area.bottomLeft(), area.bottomRight()})
        painter.fillRect(corner.x(), corner.y(), 1, 1, kLbTransparent);
}

int TextFlags(TAlignment alignment)
{
    int flags = Qt::TextWordWrap | Qt::TextShowMnemonic | Qt::AlignTop;
    switch (alignment) {
    case taLeftJustify:
        return flags | Qt::AlignLeft;
    case taRightJustify:
        return flags | Qt::AlignRight;
    case taCenter:
        break;
    }
    return flags | Qt::AlignHCenter;
}

} // namespace

bool LbColorPreset(TLbColorStyle style, TLbColorPreset &p)
{
    const QColor black(Qt::black);
    switch (style) {
    case lcsCustom:
        return false;
    case lcsGold:
        p = {Rgb(0xC0C000), Rgb(0xFFFF00), Rgb(0x808000), clNone,
             Rgb(0xDFDF00), false,         black,         bsModern};
        break;
    case lcsChrome:
        p = {Rgb(0xC0C0C0), Rgb(0xFFFFFF), Rgb(0x808080), clNone, clNone, false, black, bsModern};
        break;
    case lcsBlue:
        p = {Rgb(0x0080FF), Rgb(0x00FFFF), Rgb(0x0000FF), clNone, clNone, false, black, bsModern};
        break;
    case lcsRed:
        p = {Rgb(0xFF0000), Rgb(0xFFC0C0), Rgb(0xC00000), clNone, clNone, false, black, bsModern};
        break;
    case lcsUltraFlat1:
        p = {ButtonFace(),  Rgb(0x8492B5), Rgb(0x8492B5), Rgb(0x8492B5),
             Rgb(0xD6D3DE), true,          black,         bsNormal};
        break;
    case lcsUltraFlat2:
        p = {ButtonFace(),  Rgb(0x000000), Rgb(0x000000), Rgb(0xBCDA24),
             Rgb(0xE4F68C), true,          black,         bsNormal};
        break;
    case lcsUltraFlatXP:
        p = {Rgb(0xDBD8D1), Rgb(0x8492B5), Rgb(0x8592B5), Rgb(0x8592B5),
             Rgb(0xB6BDD2), true,          black,         bsNormal};
        break;
    case lcsAqua:
        p = {Rgb(0x94CEEC), Rgb(0xD4E6FC), Rgb(0x000000), clNone, clNone, false, black, bsModern};
        break;
    case lcsDefault:
        p = {ButtonFace(), Rgb(0xFFFFFF), Rgb(0x808080), clNone, clNone, false, black, bsNormal};
        break;
    case lcsQuicken:
        p = {Rgb(0x003060), Rgb(0xC0C0C0), Rgb(0xC0C0C0),     Rgb(0x2965AD),
             Rgb(0x9CAECE), false,         QColor(Qt::white), bsQuicken};
        break;
    }
    return true;
}

TLbKindInfo LbKindInfo(TLbButtonKind kind)
{
    switch (kind) {
    case bkCustom:
        break;
    case bkOK:
        return {QStringLiteral("LBOK"), QStringLiteral("OK"), 1};
    case bkCancel:
        return {QStringLiteral("LBCANCEL"), QStringLiteral("Abbrechen"), 2};
    case bkHelp:
        return {QStringLiteral("LBHELP"), QStringLiteral("Hilfe"), 0};
    case bkYes:
        return {QStringLiteral("LBYES"), QStringLiteral("Ja"), 6};
    case bkNo:
        return {QStringLiteral("LBNO"), QStringLiteral("Nein"), 7};
    case bkClose:
        return {QStringLiteral("LBCLOSE"), QStringLiteral("Schließen"), 0};
    case bkAbort:
        return {QStringLiteral("LBABORT"), QStringLiteral("Abbrechen"), 3};
    case bkRetry:
        return {QStringLiteral("LBRETRY"), QStringLiteral("Wiederholen"), 4};
    case bkIgnore:
        return {QStringLiteral("LBIGNORE"), QStringLiteral("Ignorieren"), 5};
    case bkAll:
        return {QStringLiteral("LBALL"), QStringLiteral("Alle"), 8};
    }
    return {};
}

QColor BlendColors(const QColor &color, const QColor &hotTrackColor, int level)
{
    const double hotShare = static_cast<double>(level) / kFadeLevels;
    const auto mix = [hotShare](int c, int h) {
        return static_cast<int>(std::trunc(c * (1.0 - hotShare) + h * hotShare));
    };
    const QColor c = color.toRgb();
    const QColor h = hotTrackColor.toRgb();
    return QColor(mix(c.red(), h.red()), mix(c.green(), h.green()), mix(c.blue(), h.blue()));
}

void FillGradientBands(QPainter &painter, int x1, int y1, int x2, int y2, const QColor &a,
                       const QColor &b)
{
    const int height = y2 - y1;
    const int bandHeight = height / kGradientSteps + 1;
    const QColor from = a.toRgb();
    const QColor to = b.toRgb();
    const double dr = static_cast<double>(to.red() - from.red()) / kGradientSteps;
    const double dg = static_cast<double>(to.green() - from.green()) / kGradientSteps;
    const double db = static_cast<double>(to.blue() - from.blue()) / kGradientSteps;
    for (int i = 0; i <= kGradientSteps; ++i) {
        const QColor band(static_cast<int>(std::trunc(from.red() + i * dr)),
                          static_cast<int>(std::trunc(from.green() + i * dg)),
                          static_cast<int>(std::trunc(from.blue() + i * db)));
        const int top = y1 + i * height / kGradientSteps;
        const int bottom = std::min(top + bandHeight, y2);
        if (bottom > top && x2 > x1)
            painter.fillRect(x1, top, x2 - x1, bottom - top, band);
    }
}

QString FitCaption(const QString &caption, const QFontMetrics &metrics, int width)
{
    QString fitted = caption;
    while (!fitted.isEmpty() && metrics.horizontalAdvance(fitted) > width)
        fitted.chop(1);
    return fitted;
}

TLbFaceLayout LayoutButtonFace(const TLbFace &face)
{
    TLbFaceLayout out;
    const int W = face.Width;
    const int H = face.Height;
    out.Down = face.Pressed && face.Enabled;
    out.Shift = out.Down && face.Style != bsEncarta ? 1 : 0;
    const int shift = out.Shift;

    out.FaceColor = face.Color;
    if (face.Enabled && face.HotTrackColor.isValid())
        out.FaceColor = BlendColors(face.Color, face.HotTrackColor, face.FadeLevel);
    if (out.Down && face.ColorWhenDown.isValid())
        out.FaceColor = face.ColorWhenDown;

    out.Font = face.Font;
    if (face.Style == bsEncarta && out.Down)
        out.Font.setBold(true);

    const int gw = face.NumGlyphs > 0 ? face.Glyph.width() / face.NumGlyphs : 0;
    const int gh = face.Glyph.height();
    if (!face.Enabled)
        out.GlyphCell = 1;
    else if (out.Down && face.NumGlyphs > 2)
        out.GlyphCell = 2;
    else if (face.Hot && face.NumGlyphs > 3)
        out.GlyphCell = 3;

    const bool sideways = face.Layout == blGlyphLeft || face.Layout == blGlyphRight;
    int tw = W - 2 * kTextMargin;
    if (face.Style != bsShape && sideways && gw > 0)
        tw -= gw + kGlyphGap;
    tw = std::max(tw, 0);

    const QFontMetrics metrics(out.Font);
    out.Caption = face.WordWrap ? face.Caption : FitCaption(face.Caption, metrics, tw);
    const int flags = TextFlags(face.Alignment);
    const QRect block = out.Caption.isEmpty()
                            ? QRect()
                            : metrics.boundingRect(QRect(0, 0, tw, 0x3FFFFFFF), flags, out.Caption);
    const int th = block.height();
    const int mw = block.width();

    int captionLeft = shift + kTextMargin;
    int captionTop = (H - th) / 2 + shift;
    int glyphLeft = 0;
    int glyphTop = 0;
    if (face.Style == bsShape) {
        captionLeft = shift;
        glyphLeft = (W - gw) / 2;
        glyphTop = (H - gh) / 2;
        out.CaptionRect = QRect(QPoint(captionLeft, captionTop), QPoint(W - 1, H - 1));
    } else {
        if (sideways) {
            glyphTop = (H - gh) / 2 + shift;
            const int cw = out.Caption.isEmpty() ? 0 : mw + kGlyphGap;
            if (face.Layout == blGlyphLeft) {
                if (gw > 0)
                    captionLeft += gw + kGlyphGap;
                glyphLeft = shift + kTextMargin;
                if (!face.WordWrap && face.Alignment == taRightJustify)
                    glyphLeft = W - kTextMargin - gw - cw + shift;
                else if (!face.WordWrap && face.Alignment == taCenter)
                    glyphLeft = (W - gw) / 2 - cw / 2 + shift;
            } else {
                glyphLeft = shift + kTextMargin + cw;
                if (!face.WordWrap && face.Alignment == taRightJustify)
                    glyphLeft = W - kTextMargin - gw + shift;
                else if (!face.WordWrap && face.Alignment == taCenter)
                    glyphLeft = (W - gw) / 2 + cw / 2 + shift;
            }
        } else {
            const int blockHeight = th + (gh > 0 ? gh + kGlyphGap : 0);
            const int blockTop = (H - blockHeight) / 2;
            if (face.Layout == blGlyphTop) {
                glyphTop = blockTop + shift;
                captionTop = blockTop + gh + shift;
            } else {
                captionTop = blockTop + shift;
                glyphTop = blockTop + th + shift;
            }
            if (face.Alignment == taLeftJustify)
                glyphLeft = shift + kTextMargin;
            else if (face.Alignment == taRightJustify)
                glyphLeft = W - gw - kTextMargin + shift;
            else
                glyphLeft = (W - gw) / 2 + shift;
        }
        out.CaptionRect = QRect(captionLeft, captionTop, tw, th);
    }
    if (gw > 0 && gh > 0)
        out.GlyphRect = QRect(glyphLeft, glyphTop, gw, gh);
    return out;
}

void DrawGlyphCell(QPainter &painter, const QImage &strip, int cell, int cellWidth, QPoint at)
{
    QImage image = strip.copy(cell * cellWidth, 0, cellWidth, strip.height())
                       .convertToFormat(QImage::Format_ARGB32);
    if (image.isNull())
        return;
    const QRgb key = image.pixel(0, image.height() - 1);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (line[x] == key)
                line[x] = 0;
        }
    }
    painter.drawImage(at, image);
}

void DrawButtonFace(QPainter &painter, const TLbFace &face)
{
    const TLbFaceLayout layout = LayoutButtonFace(face);
    const int W = face.Width;
    const int H = face.Height;
    const bool down = layout.Down;
    const QColor &faceColor = layout.FaceColor;

    switch (face.Style) {
    case bsShape:
        painter.fillRect(0, 0, W, H, kLbTransparent);
        break;
    case bsNormal:
    case bsEncarta:
    case bsOld:
        painter.fillRect(0, 0, W, H, faceColor);
        break;
    case bsModern: {
        const int middle = H / 4 + layout.Shift;
        FillGradientBands(painter, 2, 2, W - 2, middle, face.LightColor, faceColor);
        FillGradientBands(painter, 2, middle, W - 2, H - 1, faceColor, face.LightColor);
        break;
    }
    case bsQuicken:
        break;
    }

    const bool bevel = !face.Flat || (face.Enabled && (face.Hot || down));
    switch (face.Style) {
    case bsNormal:
    case bsEncarta:
        if (bevel) {
            Polyline(painter, {QPoint(0, H - 1), QPoint(0, 0), QPoint(W - 1, 0)},
                     down ? face.ShadowColor : face.LightColor);
            Polyline(painter, {QPoint(W - 1, 0), QPoint(W - 1, H - 1), QPoint(0, H - 1)},
                     down ? face.LightColor : face.ShadowColor);
        }
        break;
    case bsOld:
        if (bevel) {
            if (down)
                Polyline(painter, {QPoint(1, H - 3), QPoint(1, 1), QPoint(W - 2, 1)},
                         face.ShadowColor);
            else
                Polyline(painter, {QPoint(W - 2, 0), QPoint(W - 2, H - 2), QPoint(0, H - 2)},
                         face.ShadowColor);
            Polyline(painter, {QPoint(0, H - 1), QPoint(0, 0), QPoint(W - 1, 0)},
                     down ? DarkShadow3D() : face.LightColor);
            Polyline(painter, {QPoint(W - 1, 0), QPoint(W - 1, H - 1), QPoint(-1, H - 1)},
                     down ? face.LightColor : DarkShadow3D());
        }
        break;
    case bsModern:
        FrameRectangle(painter, 1, 1, W - 1, H - 1, down ? face.ShadowColor : faceColor);
        RoundedOutline(painter, W, H, face.ShadowColor);
        break;
    case bsQuicken:
        RoundedFill(painter, QRect(0, 1, W, H - 1), faceColor);
        LineSegment(painter, QPoint(4, 0), QPoint(W - 5, 0), face.ShadowColor);
        LineSegment(painter, QPoint(4, H - 1), QPoint(W - 5, H - 1), face.ShadowColor);
        break;
    case bsShape:
        break;
    }

    painter.setFont(layout.Font);
    const bool greyText = !face.Enabled && face.Style != bsShape;
    painter.setPen(greyText ? QColor(kDisabledTextRgb) : face.FontColor);
    const int gw = face.NumGlyphs > 0 ? face.Glyph.width() / face.NumGlyphs : 0;
    if (face.Style == bsShape && !layout.GlyphRect.isEmpty())
        DrawGlyphCell(painter, face.Glyph, layout.GlyphCell, gw, layout.GlyphRect.topLeft());
    if (!layout.Caption.isEmpty())
        painter.drawText(layout.CaptionRect,
                         TextFlags(face.Style == bsShape ? taCenter : face.Alignment),
                         layout.Caption);
    if (face.Style != bsShape && !layout.GlyphRect.isEmpty())
        DrawGlyphCell(painter, face.Glyph, layout.GlyphCell, gw, layout.GlyphRect.topLeft());

    if (face.HasPopupMenu) {
        const QImage arrow = LoadControlImage(QStringLiteral("LBARROW"));
        DrawGlyphCell(painter, arrow, 0, arrow.width(), QPoint(W - kArrowRightOffset, H / 2 - 1));
    }
}

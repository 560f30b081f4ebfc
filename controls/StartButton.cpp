#include "StartButton.h"

#include "LbButton.h"

#include <QFont>

namespace {

constexpr int kCaptionPx = 29;
constexpr int kHotCaptionPx = 27;

QFont CaptionFont(const QString &family, int pixelSize)
{
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setBold(true);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace

void SetUpStartButton(TLbButton &button, const QString &fontFamily)
{
    button.SetStyle(bsModern);
    button.SetFlat(true);
    button.setFont(CaptionFont(fontFamily, kCaptionPx));
    button.SetFontColor(Qt::white);
    button.SetHotTrackFont(CaptionFont(fontFamily, kHotCaptionPx));
    button.SetHotTrackFontColor(Qt::yellow);
    button.SetUseHotTrackFont(true);
    button.SetShadowColor(Qt::black);
    button.SetTabStop(false);
}

void ShowStartButtonState(TLbButton &button, const QString &caption, const QColor &color,
                          const QColor &lightColor)
{
    button.SetCaption(caption);
    button.SetColor(color);
    button.SetHotTrackColor(color);
    button.SetLightColor(lightColor);
}

#pragma once

#include "LbButtons.h"

#include <QAction>
#include <QMenu>
#include <QPointer>
#include <QWidget>

#include <functional>

class QTimer;

// A push button that paints its own face in one of six styles, with an optional gradient,
// glyph and hot-track colour and font. After the mouse leaves a SlowDecease button, its face
// fades from HotTrackColor back to Color in eight repaints 30 ms apart.
// Colours: an invalid QColor (clNone) means "not set".
class TLbButton : public QWidget
{
    Q_OBJECT

public:
    using TNotifyEvent = std::function<void(QObject *Sender)>;
    using TMouseEvent = std::function<void(QObject *Sender, Qt::MouseButton Button,
                                           Qt::KeyboardModifiers Shift, int X, int Y)>;

    static constexpr int kDefaultWidth = 100;
    static constexpr int kDefaultHeight = 23;
    static constexpr int kFadeLevelHot = 8;
    static constexpr int kFadeIntervalMs = 30;

    explicit TLbButton(QWidget *parent = nullptr);
    ~TLbButton() override;

    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment alignment);
    bool Cancel() const { return m_cancel; }
    void SetCancel(bool cancel) { m_cancel = cancel; }
    QString Caption() const { return m_caption; }
    void SetCaption(const QString &caption);
    QColor Color() const { return m_color; }
    void SetColor(const QColor &color);
    TLbColorStyle ColorStyle() const { return lcsCustom; }
    void SetColorStyle(TLbColorStyle style);
    QColor ColorWhenDown() const { return m_colorWhenDown; }
    void SetColorWhenDown(const QColor &color);
    bool Default() const { return m_default; }
    void SetDefault(bool isDefault) { m_default = isDefault; }
    bool Flat() const { return m_flat; }
    void SetFlat(bool flat);
    QImage Glyph() const { return m_glyph; }
    void SetGlyph(const QImage &glyph);
    QColor HotTrackColor() const { return m_hotTrackColor; }
    void SetHotTrackColor(const QColor &color);
    QFont HotTrackFont() const { return m_hotTrackFont; }
    void SetHotTrackFont(const QFont &font) { m_hotTrackFont = font; }
    QColor HotTrackFontColor() const { return m_hotTrackFontColor; }
    void SetHotTrackFontColor(const QColor &color) { m_hotTrackFontColor = color; }
    QColor FontColor() const { return m_fontColor; }
    void SetFontColor(const QColor &color);
    TLbButtonKind Kind() const { return m_kind; }
    void SetKind(TLbButtonKind kind);
    TLbButtonLayout Layout() const { return m_layout; }
    void SetLayout(TLbButtonLayout layout);
    QColor LightColor() const { return m_lightColor; }
    void SetLightColor(const QColor &color);
    int ModalResult() const { return m_modalResult; }
    void SetModalResult(int result);
    int NumGlyphs() const { return m_numGlyphs; }
    void SetNumGlyphs(int count);
    QColor ShadowColor() const { return m_shadowColor; }
    void SetShadowColor(const QColor &color);
    bool SlowDecease() const { return m_slowDecease; }
    void SetSlowDecease(bool slow);
    TLbButtonStyle Style() const { return m_style; }
    void SetStyle(TLbButtonStyle style);
    bool UseHotTrackFont() const { return m_useHotTrackFont; }
    void SetUseHotTrackFont(bool use);
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool wrap);
    bool TabStop() const { return m_tabStop; }
    void SetTabStop(bool tabStop);
    QMenu *PopupMenu() const { return m_popupMenu; }
    void SetPopupMenu(QMenu *menu);
    QAction *Action() const { return m_action; }
    void SetAction(QAction *action);

    bool Pressed() const { return m_pressed; }
    bool MouseInside() const { return m_mouseInside; }
    int FadeLevel() const { return m_fadeLevel; }
    bool Hot() const { return m_mouseInside || hasFocus(); }
    bool Fading() const;

    QSize sizeHint() const override { return {kDefaultWidth, kDefaultHeight}; }

    // One step of the fade back to Color; run every 30 ms by the fade timer.
    void FadeStep();
    // Carries out a click: OnClick, the modal result, the popup menu, the action.
    void Click();

    // The face as the next paint would draw it (see-through parts transparent).
    QImage RenderFace() const;
    TLbFace Face() const;

    TNotifyEvent OnClick;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseExit;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    bool ParentShowing() const;
    bool TakesDialogKey(const QKeyEvent *event) const;
    void UpdateAccelerator();
    void WatchWindow();
    void RepaintNow();

    TAlignment m_alignment = taCenter;
    QColor m_shadowColor;
    QColor m_colorWhenDown;
    bool m_flat = false;
    bool m_wordWrap = false;
    QImage m_glyph;
    QColor m_hotTrackColor;
    QFont m_hotTrackFont;
    QColor m_hotTrackFontColor;
    TLbButtonKind m_kind = bkCustom;
    TLbButtonLayout m_layout = blGlyphLeft;
    QColor m_lightColor;
    int m_modalResult = 0;
    int m_numGlyphs = 0;
    bool m_useHotTrackFont = false;
    TLbButtonStyle m_style = bsNormal;
    bool m_default = false;
    bool m_cancel = false;
    bool m_slowDecease = false;
    bool m_pressed = false;
    bool m_mouseInside = false;
    int m_fadeLevel = 0;
    QTimer *m_fadeTimer = nullptr;

    QString m_caption;
    QColor m_color;
    QColor m_fontColor;
    bool m_tabStop = true;
    QPointer<QMenu> m_popupMenu;
    QPointer<QAction> m_action;
    QPointer<QWidget> m_watchedWindow;
    int m_acceleratorId = 0;
    bool m_windowLeft = false;
};

#include "LbButton.h"

#include "ControlResources.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QTimer>

namespace {

constexpr int kFocusInset = 4;
constexpr int kActionGlyphSize = 16;

bool IsPressKey(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
}

bool UsesTransparency(TLbButtonStyle style)
{
    return style == bsModern || style == bsShape || style == bsQuicken;
}

// Dialog keys are not taken from a focused push button, which handles them itself.
bool IsPushButtonClass(const QWidget *widget)
{
    if (!widget)
        return false;
    const QString name = QString::fromLatin1(widget->metaObject()->className()).toUpper();
    return name.contains(QLatin1String("BUTTON")) && !name.contains(QLatin1String("RADIOBUTTON"));
}

void DrawFocusRectangle(QPainter &painter, const QRect &area)
{
    // Every other pixel inverted, so it shows on any face colour.
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    const QColor white(Qt::white);
    for (int x = area.left(); x <= area.right(); x += 2) {
        painter.fillRect(x, area.top(), 1, 1, white);
        painter.fillRect(x, area.bottom(), 1, 1, white);
    }
    for (int y = area.top() + 2; y < area.bottom(); y += 2) {
        painter.fillRect(area.left(), y, 1, 1, white);
        painter.fillRect(area.right(), y, 1, 1, white);
    }
    painter.restore();
}

} // namespace

TLbButton::TLbButton(QWidget *parent) : QWidget(parent)
{
    resize(kDefaultWidth, kDefaultHeight);
    m_color = QApplication::palette().color(QPalette::Button);
    m_lightColor = Qt::white;
    m_shadowColor = QColor(0x808080);
    m_fontColor = QApplication::palette().color(QPalette::ButtonText);
    m_hotTrackFontColor = m_fontColor;
    m_hotTrackFont = parent ? parent->window()->font() : QApplication::font();
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent, true);

    m_fadeTimer = new QTimer(this);
    m_fadeTimer->setInterval(kFadeIntervalMs);
    connect(m_fadeTimer, &QTimer::timeout, this, &TLbButton::FadeStep);
    connect(qApp, &QApplication::focusChanged, this, [this] { update(); });
}

TLbButton::~TLbButton()
{
    // The fade timer is a child and dies with the button; stop it first so no step can run on
    // a half-destroyed button.
    m_fadeTimer->stop();
    if (m_watchedWindow)
        m_watchedWindow->removeEventFilter(this);
}

void TLbButton::RepaintNow()
{
    if (isVisible())
        repaint();
}

void TLbButton::SetAlignment(TAlignment alignment)
{
    m_alignment = alignment;
    RepaintNow();
}

void TLbButton::SetCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    UpdateAccelerator();
    update();
}

void TLbButton::SetColor(const QColor &color)
{
    if (color == m_color)
        return;
    m_color = color;
    update();
}

void TLbButton::SetColorStyle(TLbColorStyle style)
{
    TLbColorPreset preset;
    if (!LbColorPreset(style, preset))
        return;
    m_color = preset.Color;
    m_lightColor = preset.LightColor;
    m_shadowColor = preset.ShadowColor;
    m_colorWhenDown = preset.ColorWhenDown;
    m_hotTrackColor = preset.HotTrackColor;
    m_flat = preset.Flat;
    m_fontColor = preset.FontColor;
    m_style = preset.Style;
    setAttribute(Qt::WA_OpaquePaintEvent, !UsesTransparency(m_style));
    RepaintNow();
}

void TLbButton::SetColorWhenDown(const QColor &color)
{
    m_colorWhenDown = color;
    update();
}

void TLbButton::SetFlat(bool flat)
{
    m_flat = flat;
    RepaintNow();
}

void TLbButton::SetGlyph(const QImage &glyph)
{
    m_glyph = glyph;
    m_numGlyphs = glyph.height() > 0 ? glyph.width() / glyph.height() : 0;
    m_kind = bkCustom;
    update();
}

void TLbButton::SetHotTrackColor(const QColor &color)
{
    m_hotTrackColor = color;
    update();
}

void TLbButton::SetFontColor(const QColor &color)
{
    m_fontColor = color;
    update();
}

void TLbButton::SetKind(TLbButtonKind kind)
{
    if (kind == bkCustom) {
        m_kind = kind;
        return;
    }
    const TLbKindInfo info = LbKindInfo(kind);
    m_numGlyphs = 2;
    m_modalResult = info.ModalResult;
    m_glyph = LoadControlImage(info.GlyphResource);
    m_caption = info.Caption;
    UpdateAccelerator();
    m_kind = kind;
    update();
}

void TLbButton::SetLayout(TLbButtonLayout layout)
{
    m_layout = layout;
    RepaintNow();
}

void TLbButton::SetLightColor(const QColor &color)
{
    m_lightColor = color;
    RepaintNow();
}

void TLbButton::SetModalResult(int result)
{
    m_modalResult = result;
    m_kind = bkCustom;
}

void TLbButton::SetNumGlyphs(int count)
{
    m_numGlyphs = count;
    update();
}

void TLbButton::SetShadowColor(const QColor &color)
{
    m_shadowColor = color;
    RepaintNow();
}

void TLbButton::SetSlowDecease(bool slow)
{
    m_slowDecease = slow;
    if (!slow) {
        m_fadeLevel = 0;
        m_fadeTimer->stop();
    }
    update();
}

void TLbButton::SetStyle(TLbButtonStyle style)
{
    m_style = style;
    // The rounded and shaped styles leave parts unpainted for the parent to show through.
    setAttribute(Qt::WA_OpaquePaintEvent, !UsesTransparency(style));
    update();
}

void TLbButton::SetUseHotTrackFont(bool use)
{
    m_useHotTrackFont = use;
    update();
}

void TLbButton::SetWordWrap(bool wrap)
{
    m_wordWrap = wrap;
    RepaintNow();
}

void TLbButton::SetTabStop(bool tabStop)
{
    m_tabStop = tabStop;
    // Without a tab stop the button still takes the focus when pressed (mousePressEvent).
    setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::NoFocus);
}

void TLbButton::SetPopupMenu(QMenu *menu)
{
    m_popupMenu = menu;
    update();
}

void TLbButton::SetAction(QAction *action)
{
    m_action = action;
    if (!action || action->icon().isNull() || !m_glyph.isNull())
        return;
    // The action's image becomes a one-image glyph on the see-through colour.
    QImage glyph(kActionGlyphSize, kActionGlyphSize, QImage::Format_ARGB32);
    glyph.fill(kLbTransparent);
    QPainter painter(&glyph);
    painter.drawPixmap(0, 0, action->icon().pixmap(kActionGlyphSize, kActionGlyphSize));
    painter.end();
    m_glyph = glyph;
    m_numGlyphs = 1;
    RepaintNow();
}

bool TLbButton::Fading() const
{
    return m_fadeTimer->isActive();
}

void TLbButton::FadeStep()
{
    --m_fadeLevel;
    if (m_fadeLevel <= 0) {
        m_fadeTimer->stop();
        m_fadeLevel = 0;
    }
    RepaintNow();
}

void TLbButton::Click()
{
    m_pressed = true;
    if (isVisible() && isEnabled()) {
        m_pressed = false;
        if (OnClick)
            OnClick(this);
        if (m_modalResult != 0) {
            if (auto *dialog = qobject_cast<QDialog *>(window()))
                dialog->done(m_modalResult);
        }
        if (m_popupMenu)
            m_popupMenu->popup(mapToGlobal(QPoint(0, height())));
    }
    // An invisible or disabled button would otherwise show a stale pressed face when it
    // comes back.
    m_pressed = false;
    if (m_action)
        m_action->trigger();
}

TLbFace TLbButton::Face() const
{
    TLbFace face;
    face.Width = width();
    face.Height = height();
    face.Alignment = m_alignment;
    face.Caption = m_caption;
    face.Layout = m_layout;
    const bool hotFont = m_useHotTrackFont && Hot();
    face.Font = hotFont ? m_hotTrackFont : font();
    face.FontColor = hotFont ? m_hotTrackFontColor : m_fontColor;
    face.ShadowColor = m_shadowColor;
    face.LightColor = m_lightColor;
    face.HotTrackColor = m_hotTrackColor;
    face.ColorWhenDown = m_colorWhenDown;
    face.Color = m_color;
    face.Style = m_style;
    face.HasPopupMenu = !m_popupMenu.isNull();
    face.WordWrap = m_wordWrap;
    face.Flat = m_flat;
    face.Enabled = isEnabled();
    face.Hot = Hot();
    face.Pressed = m_pressed;
    face.Glyph = m_glyph;
    face.NumGlyphs = m_numGlyphs;
    face.FadeLevel = m_fadeLevel;
    return face;
}

QImage TLbButton::RenderFace() const
{
    const int W = width();
    const int H = height();
    QImage picture(W, H, QImage::Format_ARGB32);
    picture.fill(kLbTransparent);
    TLbFace face = Face();
    {
        QPainter painter(&picture);
        if (m_style == bsOld && hasFocus()) {
            // Focused old-style buttons sit one pixel in, inside a black frame.
            face.Width = W - 2;
            face.Height = H - 2;
            if (m_pressed)
                face.LightColor = face.ShadowColor;
            QImage inner(face.Width, face.Height, QImage::Format_ARGB32);
            inner.fill(kLbTransparent);
            QPainter innerPainter(&inner);
            DrawButtonFace(innerPainter, face);
            innerPainter.end();
            painter.drawImage(1, 1, inner);
            painter.setPen(Qt::black);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(0, 0, W - 1, H - 1);
        } else {
            DrawButtonFace(painter, face);
        }
    }
    if (UsesTransparency(m_style)) {
        const QRgb key = kLbTransparent.rgb();
        for (int y = 0; y < H; ++y) {
            auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
            for (int x = 0; x < W; ++x) {
                if (line[x] == key)
                    line[x] = 0;
            }
        }
    }
    return picture;
}

void TLbButton::paintEvent(QPaintEvent *)
{
    // The whole picture is built offscreen first, so a fade step never flickers.
    QPainter painter(this);
    painter.drawImage(0, 0, RenderFace());
    if (hasFocus() && isEnabled() && m_style != bsShape)
        DrawFocusRectangle(painter,
                           QRect(QPoint(kFocusInset, kFocusInset),
                                 QPoint(width() - kFocusInset - 1, height() - kFocusInset - 1)));
}

bool TLbButton::ParentShowing() const
{
    return !parentWidget() || parentWidget()->isVisible();
}

void TLbButton::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    if (!isEnabled() || !isVisible() || !ParentShowing())
        return;
    m_mouseInside = true;
    m_fadeLevel = kFadeLevelHot;
    RepaintNow();
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TLbButton::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    m_mouseInside = false;
    if (m_slowDecease) {
        if (!m_fadeTimer->isActive())
            m_fadeTimer->start();
    } else {
        m_fadeLevel = 0;
        RepaintNow();
    }
    if (OnMouseExit && isEnabled() && isVisible() && ParentShowing())
        OnMouseExit(this);
}

void TLbButton::mousePressEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    m_windowLeft = false;
    if (OnMouseDown)
        OnMouseDown(this, event->button(), event->modifiers(), at.x(), at.y());
    // A modal question asked by OnMouseDown takes the release: do not stay pressed then.
    if (isEnabled() && event->button() == Qt::LeftButton && !m_windowLeft) {
        m_pressed = true;
        setFocus(Qt::MouseFocusReason);
        RepaintNow();
    }
}

void TLbButton::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    if (OnMouseUp)
        OnMouseUp(this, event->button(), event->modifiers(), at.x(), at.y());
    if (m_pressed) {
        Click();
        m_pressed = false;
        RepaintNow();
    }
}

void TLbButton::keyPressEvent(QKeyEvent *event)
{
    if (isEnabled() && IsPressKey(event->key()) && !event->isAutoRepeat()) {
        m_pressed = true;
        RepaintNow();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TLbButton::keyReleaseEvent(QKeyEvent *event)
{
    if (IsPressKey(event->key()) && !event->isAutoRepeat()) {
        Click();
        RepaintNow();
        return;
    }
    QWidget::keyReleaseEvent(event);
}

void TLbButton::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        m_pressed = false;
        RepaintNow();
    } else if (event->type() == QEvent::FontChange) {
        update();
    }
}

void TLbButton::UpdateAccelerator()
{
    if (m_acceleratorId != 0) {
        releaseShortcut(m_acceleratorId);
        m_acceleratorId = 0;
    }
    const QKeySequence accelerator = QKeySequence::mnemonic(m_caption);
    if (!accelerator.isEmpty())
        m_acceleratorId = grabShortcut(accelerator);
}

void TLbButton::WatchWindow()
{
    QWidget *current = window();
    if (current == m_watchedWindow || current == this)
        return;
    if (m_watchedWindow)
        m_watchedWindow->removeEventFilter(this);
    m_watchedWindow = current;
    current->installEventFilter(this);
}

bool TLbButton::TakesDialogKey(const QKeyEvent *event) const
{
    const Qt::KeyboardModifiers modifiers =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (modifiers != Qt::NoModifier || !isVisible() || !isEnabled())
        return false;
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const bool escape = event->key() == Qt::Key_Escape;
    if (!(enter && m_default) && !(escape && m_cancel))
        return false;
    return !IsPushButtonClass(window()->focusWidget());
}

bool TLbButton::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_watchedWindow && event->type() == QEvent::KeyPress &&
        TakesDialogKey(static_cast<QKeyEvent *>(event))) {
        m_pressed = true;
        Click();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool TLbButton::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Shortcut: {
        const auto *shortcut = static_cast<QShortcutEvent *>(event);
        if (shortcut->shortcutId() == m_acceleratorId && m_acceleratorId != 0) {
            if (isVisible() && isEnabled() && ParentShowing()) {
                m_pressed = true;
                Click();
            }
            return true;
        }
        break;
    }
    case QEvent::WindowDeactivate:
        // Another window (a modal question) takes the mouse: its release never comes here.
        m_windowLeft = true;
        if (m_pressed) {
            m_pressed = false;
            RepaintNow();
        }
        break;
    case QEvent::ParentChange:
    case QEvent::Show:
        WatchWindow();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

#include "FlEdit.h"

#include "SpinButton.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>

namespace {

// The sunken frame around the text, and the gaps the arrows keep from it.
constexpr int kFrameWidth = 2;
constexpr int kButtonRightGap = 5;
constexpr int kButtonHeightGap = 5;
constexpr int kTextGap = 2;
constexpr int kSystemBorderHeight = 1;

} // namespace

TSpinFloatEdit::TSpinFloatEdit(QWidget *parent) : TCustomFloatEdit(parent)
{
    PlayBeep = [] { QApplication::beep(); };
    m_button = new TSpinButton(this);
    m_button->resize(kButtonWidth, kButtonHeight);
    m_button->SetFocusControl(this);
    m_button->OnUpClick = [this](QObject *sender) { StepUp(sender); };
    m_button->OnDownClick = [this](QObject *sender) { StepDown(sender); };
    setTextMargins(0, 0, kButtonWidth + kTextGap, 0);
    // A lower edit would cut the text: resizing, by hand or by a layout, stops at this height.
    setMinimumHeight(MinimumEditHeight());
    PlaceButton();
}

void TSpinFloatEdit::StepUp(QObject *Sender)
{
    Q_UNUSED(Sender);
    Step(true);
}

void TSpinFloatEdit::StepDown(QObject *Sender)
{
    Q_UNUSED(Sender);
    Step(false);
}

void TSpinFloatEdit::Step(bool up)
{
    if (isReadOnly()) {
        if (PlayBeep)
            PlayBeep();
        return;
    }
    if (OnComputedIncrement) {
        OnComputedIncrement(this, up);
        return;
    }
    SetValue(up ? Value() + m_increment : Value() - m_increment);
}

void TSpinFloatEdit::CutToClipboard()
{
    if (TextEditable())
        cut();
}

void TSpinFloatEdit::PasteFromClipboard()
{
    if (TextEditable())
        paste();
}

void TSpinFloatEdit::keyPressEvent(QKeyEvent *event)
{
    if (!m_editorEnabled) {
        // The lock swallows every key, after the filter has done its own replacements.
        QChar key;
        FilterKeyEvent(event, key);
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        if (event->key() == Qt::Key_Up)
            StepUp(this);
        else
            StepDown(this);
        event->accept();
        return;
    }
    if ((event->matches(QKeySequence::Cut) || event->matches(QKeySequence::Paste)) &&
        !TextEditable()) {
        event->accept();
        return;
    }
    TCustomFloatEdit::keyPressEvent(event);
}

int TSpinFloatEdit::MinimumEditHeight() const
{
    const int textHeight = fontMetrics().height();
    const int systemHeight = QFontMetrics(QApplication::font()).height();
    return textHeight + qMin(textHeight, systemHeight) / 4 + 4 * kSystemBorderHeight + 2;
}

void TSpinFloatEdit::resizeEvent(QResizeEvent *event)
{
    TCustomFloatEdit::resizeEvent(event);
    PlaceButton();
}

void TSpinFloatEdit::changeEvent(QEvent *event)
{
    TCustomFloatEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::ApplicationFontChange)
        setMinimumHeight(MinimumEditHeight());
}

void TSpinFloatEdit::PlaceButton()
{
    // Inside the sunken frame, as far right as the frame allows, so text never runs under it.
    m_button->setGeometry(width() - kButtonWidth - kButtonRightGap + kFrameWidth, kFrameWidth,
                          kButtonWidth, height() - kButtonHeightGap);
}

void TSpinFloatEdit::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createStandardContextMenu();
    if (!TextEditable()) {
        for (QAction *action : menu->actions()) {
            const QString name = action->objectName();
            if (name == QLatin1String("edit-cut") || name == QLatin1String("edit-paste") ||
                name == QLatin1String("edit-delete") || name == QLatin1String("edit-undo") ||
                name == QLatin1String("edit-redo"))
                action->setEnabled(false);
        }
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void TSpinFloatEdit::mouseReleaseEvent(QMouseEvent *event)
{
    // The middle button pastes the selection on X11.
    if (event->button() == Qt::MiddleButton && !TextEditable()) {
        event->accept();
        return;
    }
    TCustomFloatEdit::mouseReleaseEvent(event);
}

void TSpinFloatEdit::dragEnterEvent(QDragEnterEvent *event)
{
    if (!TextEditable()) {
        event->ignore();
        return;
    }
    TCustomFloatEdit::dragEnterEvent(event);
}

void TSpinFloatEdit::dropEvent(QDropEvent *event)
{
    if (!TextEditable()) {
        event->ignore();
        return;
    }
    TCustomFloatEdit::dropEvent(event);
}

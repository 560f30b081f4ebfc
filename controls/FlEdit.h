#pragma once

#include "CustomFloatEdit.h"

class TSpinButton;

// The float edit with spin arrows at its right edge: the arrows and the Up and Down keys step
// the value by Increment (clamped to [Min, Max]); EditorEnabled false locks the text against
// typing, cutting and pasting while the arrows still step.
class TSpinFloatEdit : public TCustomFloatEdit
{
    Q_OBJECT

public:
    static constexpr int kButtonWidth = 15;
    static constexpr int kButtonHeight = 17;

    explicit TSpinFloatEdit(QWidget *parent = nullptr);

    long double Increment() const { return m_increment; }
    void SetIncrement(long double increment) { m_increment = increment; }

    bool EditorEnabled() const { return m_editorEnabled; }
    void SetEditorEnabled(bool enabled) { m_editorEnabled = enabled; }

    TSpinButton *SpinButton() const { return m_button; }

    virtual void StepUp(QObject *Sender);
    virtual void StepDown(QObject *Sender);

    // Carried out only while the text may be edited (EditorEnabled and not read-only).
    void CutToClipboard();
    void PasteFromClipboard();

    // The lowest height at which the text fits; a lower edit is raised to it.
    int MinimumEditHeight() const;

    // Replaces the built-in step when assigned: the handler changes Value itself.
    std::function<void(QObject *Sender, bool bIncrement)> OnComputedIncrement;
    // The system's default beep, sounded by a step of a read-only edit.
    std::function<void()> PlayBeep;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    bool TextEditable() const { return m_editorEnabled && !isReadOnly(); }
    void Step(bool up);
    void PlaceButton();

    long double m_increment = 1.0L;
    bool m_editorEnabled = true;
    TSpinButton *m_button = nullptr;
};

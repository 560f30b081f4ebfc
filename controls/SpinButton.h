#pragma once

#include <QWidget>

#include <functional>

class QToolButton;

// A pair of small up and down arrows stacked in one narrow strip. Pressing an arrow first
// moves the focus into FocusControl; holding it down repeats the click, the first repeat after
// 400 ms and then every 100 ms.
class TSpinButton : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kFirstRepeatMs = 400;
    static constexpr int kRepeatMs = 100;

    explicit TSpinButton(QWidget *parent = nullptr);

    QToolButton *UpButton() const { return m_up; }
    QToolButton *DownButton() const { return m_down; }

    QWidget *FocusControl() const { return m_focusControl; }
    void SetFocusControl(QWidget *control) { m_focusControl = control; }

    std::function<void(QObject *Sender)> OnUpClick;
    std::function<void(QObject *Sender)> OnDownClick;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QToolButton *MakeArrow(Qt::ArrowType arrow);
    void FocusControlFirst();

    QToolButton *m_up = nullptr;
    QToolButton *m_down = nullptr;
    QWidget *m_focusControl = nullptr;
};

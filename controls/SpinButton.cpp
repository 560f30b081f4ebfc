#include "SpinButton.h"

#include <QToolButton>

TSpinButton::TSpinButton(QWidget *parent) : QWidget(parent)
{
    m_up = MakeArrow(Qt::UpArrow);
    m_down = MakeArrow(Qt::DownArrow);
    connect(m_up, &QToolButton::clicked, this, [this] {
        if (OnUpClick)
            OnUpClick(this);
    });
    connect(m_down, &QToolButton::clicked, this, [this] {
        if (OnDownClick)
            OnDownClick(this);
    });
}

QToolButton *TSpinButton::MakeArrow(Qt::ArrowType arrow)
{
    auto *button = new QToolButton(this);
    button->setArrowType(arrow);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRepeat(true);
    button->setAutoRepeatDelay(kFirstRepeatMs);
    button->setAutoRepeatInterval(kRepeatMs);
    button->setCursor(Qt::ArrowCursor);
    connect(button, &QToolButton::pressed, this, &TSpinButton::FocusControlFirst);
    return button;
}

void TSpinButton::FocusControlFirst()
{
    // The edit takes its value on entry before the first step changes it.
    if (m_focusControl && !m_focusControl->hasFocus() && m_focusControl->isEnabled())
        m_focusControl->setFocus(Qt::OtherFocusReason);
}

void TSpinButton::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int upperHeight = height() / 2;
    m_up->setGeometry(0, 0, width(), upperHeight);
    m_down->setGeometry(0, upperHeight, width(), height() - upperHeight);
}

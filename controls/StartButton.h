#pragma once

#include <QColor>
#include <QString>

class TLbButton;

// The main window's start button: a flat modern face with a bold white caption that turns
// yellow, a size smaller, under the mouse. The window places it and gives it its commands.
void SetUpStartButton(TLbButton &button, const QString &fontFamily);

// The race state as the button shows it: its caption, its face colour (kept under the mouse)
// and the colour of its lit band.
void ShowStartButtonState(TLbButton &button, const QString &caption, const QColor &color,
                          const QColor &lightColor);

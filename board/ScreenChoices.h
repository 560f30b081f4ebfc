#pragma once

#include <QList>
#include <QSize>
#include <QString>

class QScreen;

// One entry of the menu where the operator picks the screen for the board.
struct TScreenChoice
{
    QScreen *screen = nullptr;
    QString label; // "HDMI-1 – 1920 × 1080 (Hauptbildschirm)"
};

// Every screen the system knows, the primary one first, each with its name and size.
QList<TScreenChoice> screenChoices();

// The label of one screen; an unnamed screen is called by its number from 1.
QString ScreenChoiceLabel(const QString &name, int number, QSize size, bool primary);

#pragma once

#include <QColor>
#include <QFont>
#include <QString>

// Fonts and colours of the main window, in one place so the window and its tests agree.

// Stand-ins with the metrics of the classic Windows faces: Liberation Mono for the window's
// fixed-width font, Liberation Sans for the header and for the big clock and button texts.
inline const QString kWindowFontFamily = QStringLiteral("Liberation Mono");
inline const QString kHeaderFontFamily = QStringLiteral("Liberation Sans");
inline const QString kDisplayFontFamily = QStringLiteral("Liberation Sans");

inline QFont PixelFont(const QString &family, int pixelSize, bool bold)
{
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setStyleHint(family == kWindowFontFamily ? QFont::TypeWriter : QFont::SansSerif);
    return font;
}

inline const QColor kMoneyGreen(0xC0, 0xDC, 0xC0); // window background
inline const QColor kGreyGreen(0xA0, 0xBC, 0xA0);  // command panel, as the grid's fixed cells
inline const QColor kStartReady(0x00, 0xFF, 0x00); // lime
inline const QColor kStartReadyLight(0x00, 0x80, 0x00);
inline const QColor kStartRunning(0xFF, 0x00, 0x00);      // red
inline const QColor kStartRunningLight(0x7F, 0x00, 0x00); // the red halved: dark red
inline const QColor kStartStopped(0x00, 0x00, 0x00);
inline const QColor kStartStoppedLight(0x80, 0x80, 0x80);
inline const QColor kLogoRed(0xFF, 0x00, 0x00);
inline const QColor kLogoGreen(0x00, 0xC0, 0x00);
inline const QColor kWarningColor(0xFF, 0x00, 0x00); // a car not seen for the warning time

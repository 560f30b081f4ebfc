#pragma once

#include <QBrush>
#include <QColor>
#include <QFlags>
#include <QFont>

// Options of the string grid, in their traditional order.
enum TGridOption {
    goFixedVertLine = 0x0001,
    goFixedHorzLine = 0x0002,
    goVertLine = 0x0004,
    goHorzLine = 0x0008,
    goRangeSelect = 0x0010,
    goDrawFocusSelected = 0x0020,
    goRowSizing = 0x0040,
    goColSizing = 0x0080,
    goRowMoving = 0x0100,
    goColMoving = 0x0200,
    goEditing = 0x0400,
    goTabs = 0x0800,
    goRowSelect = 0x1000,
    goAlwaysShowEditor = 0x2000,
    goThumbTracking = 0x4000,
};
Q_DECLARE_FLAGS(TGridOptions, TGridOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TGridOptions)

inline constexpr TGridOptions kDefaultGridOptions =
    TGridOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect);

enum TGridDrawStateFlag {
    gdSelected = 0x1,
    gdFocused = 0x2,
    gdFixed = 0x4,
};
Q_DECLARE_FLAGS(TGridDrawState, TGridDrawStateFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TGridDrawState)

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// A cell position; -1 in either field means "outside the cells".
struct TGridCoord
{
    int X = -1;
    int Y = -1;
    bool operator==(const TGridCoord &) const = default;
};

// A block of cells, bounds included.
struct TGridRect
{
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const TGridRect &) const = default;
};

// A font together with its colour, as cell painting hands them around.
struct TCanvasFont : QFont
{
    QColor Color;
};

// What the cell painter draws with: the background brush and the text font.
struct TGridCanvas
{
    QBrush Brush{Qt::white, Qt::SolidPattern};
    TCanvasFont Font;
};

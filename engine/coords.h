// Conversions that the drawing statements, the window settings, their getters and the control
// window share: the graphics window's world coordinates to pixels and back, colours between texts,
// palette numbers and colour words, and the language's drawing-mode, line-style and fill-style codes
// to the canvas's pen and brush settings. Pure functions of their arguments and the screen state.
#pragma once

#include "core/sharedstate.h"
#include "platform/canvas.h"

#include <QString>

// The bitmap's size before any GSCREEN.
inline constexpr int DefaultGScreenWidth = 640, DefaultGScreenHeight = 480;

// The graphics bitmap and its window (the rest of the screen state is in core/sharedstate.h), one
// process-wide instance Gs. Kept by the interpreter reset: the graphics window keeps its size from one
// run to the next until GSCREEN sets it.
struct GraphScreenGeometry {
    int GScreenWidth = DefaultGScreenWidth, GScreenHeight = DefaultGScreenHeight; // 50..3000 by 10..2500
    int GScreenClientWidth = DefaultGScreenWidth; // the client area while GScreenSizeMode is 1
    int GScreenClientHeight = DefaultGScreenHeight;
    // The device rectangle that WINDOW maps onto.
    int ViewX1 = 0, ViewY1 = 0, ViewX2 = DefaultGScreenWidth, ViewY2 = DefaultGScreenHeight;
};
extern constinit GraphScreenGeometry Gs;

inline constexpr int GScreenMinWidth = 50, GScreenMaxWidth = 3000;
inline constexpr int GScreenMinHeight = 10, GScreenMaxHeight = 2500;
// Device coordinates are held within this magnitude, far outside any bitmap.
inline constexpr int DeviceLimit = 32767;

struct DevicePoint {
    int X = 0;
    int Y = 0;
};

// x' = (x - WorldXMin) * WorldXScale, y' likewise; each limited to +-32767, then rounded half to even.
// The MATHGRAPH flip is not applied here (MathGraphY does it).
DevicePoint WorldToDevice(Extended x, Extended y);
// The reverse; with MathGraph set y := WorldYMin + WorldYMax - y.
void DeviceToWorld(int px, int py, Extended& x, Extended& y);
// The device row as drawn: GScreenHeight - y - 1 while MathGraph is set (y axis upwards).
inline int MathGraphY(int y) {
    return Ps.MathGraph != 0 ? Gs.GScreenHeight - y - 1 : y;
}

// "#RRGGBB" with upper-case hexadecimal digits.
QString ColorToHexText(ColorWord color);
// A "#RRGGBB" text or one of the 17 colour names, without regard to case; anything else is black.
ColorWord ColorFromText(const QString& text);
// The 16 colours in the order of the language version (LanguageVersion 9 has its own order);
// numbers outside 0 to 15 give black.
ColorWord PaletteColor(int number);
// The same for a number as a program gives it: truncated toward zero first.
ColorWord PaletteColorOf(Extended number);

// DRAWMODE codes are the raster-operation numbers 1 to 16; any other code draws with copy-pen.
PenMode PenModeFromCode(int code);
int PenModeToCode(PenMode mode);
// DRAWSTYLE 0 to 6 and FILLSTYLE 0 to 7 in the canvas's order; any other code is style 0.
PenStyle PenStyleFromCode(int code);
int PenStyleToCode(PenStyle style);
BrushStyle BrushStyleFromCode(int code);
int BrushStyleToCode(BrushStyle style);
// DRAWWIDTH: below 1 is 1.
int PenWidthFromValue(int value);

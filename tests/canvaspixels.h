// Shared by the drawing tests: the colour words they paint with and the pixels of a colour they look for.
#pragma once

#include "platform/canvas.h"

#include <set>
#include <utility>

// The tests' palette, as colour words (0x00BBGGRR: red is the low byte).
inline constexpr ColorWord Black = 0x000000, Red = 0x0000FF, Green = 0x008000, Lime = 0x00FF00,
                           Yellow = 0x00FFFF, Navy = 0x800000, Blue = 0xFF0000, White = 0xFFFFFF;

// Pixels as (x, y).
using Pixels = std::set<std::pair<int, int>>;

// Every pixel of the canvas in exactly `color`.
inline Pixels OfColor(const Canvas& canvas, ColorWord color) {
    Pixels found;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
            if (canvas.Pixel(x, y) == color) found.insert({x, y});
    return found;
}

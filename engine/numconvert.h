// The one checked way from an 80-bit number to an integer. A plain cast of an out-of-range or NaN
// value is undefined behaviour in C++, so every executor converts through these helpers and reports
// its own error number when they refuse.
#pragma once

#include "core/sharedstate.h"

#include <cmath>
#include <cstdint>

// Rounds to the nearest integer, halves to the even neighbour (the language's rounding everywhere).
inline Extended RoundHalfEven(Extended x) {
    return std::nearbyint(x);
} // default FE_TONEAREST

// False when `x` is NaN, infinite or outside the target range after rounding or truncation;
// `out` is then left unchanged.
bool RoundToInt32(Extended x, std::int32_t& out);
bool TruncToInt32(Extended x, std::int32_t& out);
bool TruncToInt64(Extended x, std::int64_t& out);

// trunc(x) held to lo..hi (infinities too); false only for NaN.
bool TruncLimited(Extended x, std::int64_t lo, std::int64_t hi, std::int64_t& out);

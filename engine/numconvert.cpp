// The checked conversions from an 80-bit number to an integer: each rounds or truncates, then refuses a
// value outside the target's range or NaN.
#include "engine/numconvert.h"

#include <limits>

namespace {

template <typename Int> bool FitsAfter(Extended whole, Int& out) {
    // Compare in the 80-bit type: both limits of a 64-bit integer are exactly representable there.
    constexpr Extended lo = static_cast<Extended>(std::numeric_limits<Int>::min());
    constexpr Extended hi = static_cast<Extended>(std::numeric_limits<Int>::max());
    if (!(whole >= lo && whole <= hi)) return false; // also false for NaN
    out = static_cast<Int>(whole);
    return true;
}

} // namespace

bool RoundToInt32(Extended x, std::int32_t& out) {
    return FitsAfter(RoundHalfEven(x), out);
}
bool TruncToInt32(Extended x, std::int32_t& out) {
    return FitsAfter(std::trunc(x), out);
}
bool TruncToInt64(Extended x, std::int64_t& out) {
    return FitsAfter(std::trunc(x), out);
}

bool TruncLimited(Extended x, std::int64_t lo, std::int64_t hi, std::int64_t& out) {
    if (std::isnan(x)) return false;
    if (x <= static_cast<Extended>(lo)) {
        out = lo;
        return true;
    }
    if (x >= static_cast<Extended>(hi)) {
        out = hi;
        return true;
    }
    return TruncToInt64(x, out);
}

// The run loop's direct access to the value stack and the variable tables, shared by the item-by-item
// loop and the decoded statements. Each helper does exactly what the general executor does for the
// case it accepts and refuses every other case, which then goes the general way with its errors.
#pragma once

#include "frontend/itembuffers.h"
#include "frontend/sharedstate.h"
#include "frontend/tables.h"
#include "frontend/valuestack.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

// GlPushNum kept inline in the loop, whose size otherwise leads the compiler to call it.
[[gnu::always_inline]] inline void PushNumber(Extended value) {
    if (GlNumStack.Count < GlNumStack.Capacity && GlTypeStack.Count < GlTypeStack.Capacity) [[likely]] {
        GlNumStack.Items.data()[++GlNumStack.Count] = value;
        GlTypeStack.Items.data()[++GlTypeStack.Count] = GlValueType::Number;
        return;
    }
    GlPushNum(value);
}

// Entry `index` of a table, or null outside it. The test is made in bytes, which spares the division
// that the table's size would cost.
template <typename T>
[[gnu::always_inline]] inline T* TableEntry(std::vector<T>& table, int index) {
    const std::size_t offset = static_cast<std::size_t>(static_cast<unsigned>(index)) * sizeof(T);
    return offset < table.size() * sizeof(T) ? table.data() + index : nullptr;
}

// A code index a jump may take (as the flow executors check it).
[[gnu::always_inline]] inline bool IsJumpIndex(long target) { return target >= 1 && target <= CurrentmaxCodeNum; }

// x as a 64-bit integer, rounded in the unit's current mode (to nearest), by one store: the truncating
// conversion of C++ switches the x87 control word twice around the store, which stalls the unit at
// every conversion. Callers convert only values inside the 64-bit range and either know them whole
// or compare the result with x.
[[gnu::always_inline]] inline std::int64_t NearestInteger(Extended x) {
#if defined(__x86_64__) || defined(__i386__)
    std::int64_t result;
    asm("fistpll %0" : "=m"(result) : "t"(x) : "st");
    return result;
#else
    return static_cast<std::int64_t>(std::nearbyint(x));
#endif
}

// Operands of MOD and \ below this magnitude convert exactly to 64-bit integers.
inline constexpr Extended WholeOperandLimit = 1e18L;

// A MOD B or A \ B of whole numbers well inside the 64-bit range with B positive: the integer division
// the operator itself makes, without the checks that lead to its errors. False for any other operands
// (which may be an error).
[[gnu::always_inline]] inline bool WholeDivision(bool modulo, Extended a, Extended b, Extended& result) {
    if (!(b > 0 && b < WholeOperandLimit && std::fabs(a) < WholeOperandLimit)) return false;
    const std::int64_t dividend = NearestInteger(a);  // not whole: differs from a, and refused below
    const std::int64_t divisor = NearestInteger(b);
    if (static_cast<Extended>(dividend) != a || static_cast<Extended>(divisor) != b) return false;
    result = static_cast<Extended>(modulo ? dividend % divisor : dividend / divisor);
    return true;
}

// The element of a one-dimensional numeric array for a whole, in-range subscript, as an element read
// or an element assignment finds it (such a subscript rounds to itself); null for anything else, which
// the general executors handle with their errors.
[[gnu::always_inline]] inline Extended* SimpleElement(const NumVarType& record, Extended subscript) {
    if (record.DimCount != 1 || !(subscript >= 0 && subscript <= record.Bounds[1])) return nullptr;
    // 0 .. the bound: inside the range; a subscript that is not whole differs from what it rounds to
    const auto i = static_cast<std::int32_t>(NearestInteger(subscript));
    if (static_cast<Extended>(i) != subscript) return nullptr;
    const long at = static_cast<long>(record.Base) + i;
    return at <= std::numeric_limits<std::int32_t>::max() ? TableEntry(ANumVarTable, static_cast<int>(at)) : nullptr;
}

// ---- arithmetic of two numbers ------------------------------------------------------------------

// The operations the fast paths apply to two numbers, by the decoded nodes' numbering.
namespace NumberOp {
inline constexpr std::uint8_t Add = 0, Subtract = 1, Multiply = 2, Divide = 3, IntDivide = 4, Modulo = 5,
                              Equal = 6, NotEqual = 7, Less = 8, Greater = 9, LessEqual = 10, GreaterEqual = 11,
                              Count = 12;
} // namespace NumberOp

// What a fast path's computation gives when a case must go to the operator's own item: every value
// computed is finite, so a NaN can mean nothing else, and a NaN operand gives a NaN in its turn.
inline constexpr Extended StoppedShort = std::numeric_limits<Extended>::quiet_NaN();
[[gnu::always_inline]] inline bool IsStoppedShort(Extended value) { return value != value; }

// a op b, a comparison giving 1 or 0; StoppedShort where the operator's own item must decide (a
// divisor of 0, a result that is not finite, a MOD or \ that may fail) or an operand stopped short.
// Unchecked, a + - * result that is not finite is left as it is: for a value that only feeds another
// + - * whose result is checked (an infinity or a NaN stays one through them).
template <std::uint8_t Operation, bool Checked = true>
[[gnu::always_inline]] inline Extended Apply(Extended a, Extended b) {
    using namespace NumberOp;
    Extended r = 0;
    switch (Operation) {
    case Add: r = a + b; break;
    case Subtract: r = a - b; break;
    case Multiply: r = a * b; break;
    case Divide:
        if (b == 0) return StoppedShort;
        r = a / b;
        break;
    case IntDivide: return WholeDivision(false, a, b, r) ? r : StoppedShort;
    case Modulo: return WholeDivision(true, a, b, r) ? r : StoppedShort;
    default:
        if (__builtin_isunordered(a, b)) return StoppedShort;
        switch (Operation) {
        case Equal: return a == b ? 1 : 0;
        case NotEqual: return a != b ? 1 : 0;
        case Less: return a < b ? 1 : 0;
        case Greater: return a > b ? 1 : 0;
        case LessEqual: return a <= b ? 1 : 0;
        default: return a >= b ? 1 : 0;
        }
    }
    if constexpr (Checked) {
        if (!std::isfinite(r)) return StoppedShort;
    }
    return r;
}

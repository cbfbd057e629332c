// The decoded run's direct access to the value stack and the variable tables, shared with the procedure
// calls' own fast paths. Each helper does exactly what the general executor does for the
// case it accepts and refuses every other case, which then goes the general way with its errors.
#pragma once

#include "core/itembuffers.h"
#include "core/sharedstate.h"
#include "core/tables.h"
#include "core/valuestack.h"
#include "engine/numericops.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

// GlPushNum kept inline in the loop, whose size otherwise leads the compiler to call it.
[[gnu::always_inline]] inline void PushNumber(Extended value) {
    if (Vs.GlNumStack.Count < Vs.GlNumStack.Capacity && Vs.GlTypeStack.Count < Vs.GlTypeStack.Capacity)
        [[likely]] {
        Vs.GlNumStack.Items.data()[++Vs.GlNumStack.Count] = value;
        Vs.GlTypeStack.Items.data()[++Vs.GlTypeStack.Count] = GlValueType::Number;
        return;
    }
    GlPushNum(value);
}

// Entry `index` of a table, or null outside it. The test is made in bytes, which spares the division
// that the table's size would cost.
template <typename T> [[gnu::always_inline]] inline T* TableEntry(std::vector<T>& table, int index) {
    const std::size_t offset = static_cast<std::size_t>(static_cast<unsigned>(index)) * sizeof(T);
    return offset < table.size() * sizeof(T) ? table.data() + index : nullptr;
}

// A code index a jump may take (as the flow executors check it).
[[gnu::always_inline]] inline bool IsJumpIndex(long target) {
    return target >= 1 && target <= Ib.CurrentmaxCodeNum;
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
    return at <= std::numeric_limits<std::int32_t>::max() ? TableEntry(Tb.ANumVarTable, static_cast<int>(at))
                                                          : nullptr;
}

// The element of a two-dimensional numeric array for two whole, in-range subscripts (the first the one
// that runs fastest through the elements, as the general executors lay them out); null for anything else.
[[gnu::always_inline]] inline Extended* GridElement(const NumVarType& record, Extended first,
                                                    Extended second) {
    if (record.DimCount != 2 || !(first >= 0 && first <= record.Bounds[1]) ||
        !(second >= 0 && second <= record.Bounds[2]))
        return nullptr;
    const auto i = static_cast<std::int32_t>(NearestInteger(first));
    const auto j = static_cast<std::int32_t>(NearestInteger(second));
    if (static_cast<Extended>(i) != first || static_cast<Extended>(j) != second) return nullptr;
    const long at = static_cast<long>(record.Base) + i + static_cast<long>(j) * (record.Bounds[1] + 1L);
    return at <= std::numeric_limits<std::int32_t>::max() ? TableEntry(Tb.ANumVarTable, static_cast<int>(at))
                                                          : nullptr;
}

// ---- arithmetic of two numbers ------------------------------------------------------------------

// What a fast path's computation gives when a case must go to the operator's own item: every value
// computed is finite, so a NaN can mean nothing else, and a NaN operand gives a NaN in its turn.
inline constexpr Extended StoppedShort = std::numeric_limits<Extended>::quiet_NaN();
[[gnu::always_inline]] inline bool IsStoppedShort(Extended value) {
    return value != value;
}

// Whether Apply refuses a + - * result that is not finite (Finite), or leaves it as it is (None): for
// a value that only feeds another + - * whose result is checked (an infinity or a NaN stays one
// through them).
enum class ResultCheck : std::uint8_t { Finite, None };

// a op b, a comparison giving 1 or 0; StoppedShort where the operator's own item must decide (a
// divisor of 0, a result that is not finite, a MOD or \ that may fail) or an operand stopped short.
template <std::uint8_t Operation, ResultCheck Check = ResultCheck::Finite>
[[gnu::always_inline]] inline Extended Apply(Extended a, Extended b) {
    Extended r = 0;
    if constexpr (Operation == NumberOp::IntDivide || Operation == NumberOp::Modulo) {
        return Numeric::WholeDivision(Operation == NumberOp::Modulo, a, b, r) ? r : StoppedShort;
    } else if constexpr (Numeric::IsComparison(Operation)) {
        if (__builtin_isunordered(a, b)) return StoppedShort;
        return Numeric::Holds<Operation>(a, b) ? 1 : 0;
    } else {
        // FiniteArithmetic step by step: as one call, the compiler lays the evaluator out less well.
        if (Numeric::DivisorRefused<Operation>(b)) return StoppedShort;
        r = Numeric::Arithmetic<Operation>(a, b);
        if constexpr (Check == ResultCheck::Finite) {
            if (!Numeric::IsFinalResult(r)) return StoppedShort;
        }
    }
    return r;
}

// Apply for + - * / \ MOD chosen at run time; StoppedShort for a comparison as well.
[[gnu::always_inline]] inline Extended ApplyArithmetic(std::uint8_t operation, Extended a, Extended b) {
    switch (operation) {
    case NumberOp::Add: return Apply<NumberOp::Add>(a, b);
    case NumberOp::Subtract: return Apply<NumberOp::Subtract>(a, b);
    case NumberOp::Multiply: return Apply<NumberOp::Multiply>(a, b);
    case NumberOp::Divide: return Apply<NumberOp::Divide>(a, b);
    case NumberOp::IntDivide: return Apply<NumberOp::IntDivide>(a, b);
    case NumberOp::Modulo: return Apply<NumberOp::Modulo>(a, b);
    default: return StoppedShort;
    }
}

// The language's operators: arithmetic, comparison, string joining and boolean logic on the Gl stack.
// An operator item's value is its OperatorNames slot; ExecOperator takes the operands from the stack
// (the right operand on top), pushes one result and reports a failure through ErrorNumber.
// Also the floating-point fault test that the operators and the numeric functions share.
#pragma once

#include "core/sharedstate.h"

#include <cfenv>

// Runs the operator of `slot`. Slots without a routine (the alternative spellings "><", "=<", "=>",
// the separators) do nothing.
void ExecOperator(int slot);

// ---- floating-point faults ---------------------------------------------------------------------------
// Overflow, an invalid operation and division by zero are errors of the operation that raised them;
// underflow and inexact results are not. The faults are read from the sticky status flags, never from
// signals.
inline constexpr int TrappedFpFaults = FE_OVERFLOW | FE_INVALID | FE_DIVBYZERO;

// The compiler does not treat the status flags as data, so without a fence it may move the arithmetic
// before a flag clear or after a flag test. The fence makes `x` look changed at this point, so the
// arithmetic that produces it stays before and the arithmetic that uses it stays after.
inline void FpFence(Extended& x) {
#if defined(__x86_64__) || defined(__i386__)
    asm volatile("" : "+t"(x) : : "memory");
#else
    volatile Extended pinned = x;
    x = pinned;
#endif
}

inline bool FpFaultRaised() {
    return std::fetestexcept(TrappedFpFaults) != 0;
}

// Clears the trapped flags; testing first is much cheaper than clearing when nothing is set.
inline void FpClearFaults() {
    if (FpFaultRaised()) std::feclearexcept(TrappedFpFaults);
}

// Stores `result` in `out` unless computing it raised a trapped fault (the flags are then clear again).
inline bool FpStoreUnfaulted(Extended result, Extended& out) {
    FpFence(result);
    if (FpFaultRaised()) {
        std::feclearexcept(TrappedFpFaults);
        return false;
    }
    out = result;
    return true;
}

// Computes op(args...) into `out`; false when that raised a trapped fault (the flags are then clear
// again). A flag found set may be stale, left by code that ran earlier, so the first test is made
// without a clear before it (one flag read on the common path) and a set flag is confirmed by clearing
// and computing again. `op` must be a pure computation.
template <typename Op, typename... Args> inline bool FpChecked(Extended& out, Op op, Args... args) {
    (FpFence(args), ...);
    Extended result = op(args...);
    FpFence(result);
    if (!FpFaultRaised()) {
        out = result;
        return true;
    }
    std::feclearexcept(TrappedFpFaults);
    (FpFence(args), ...);
    return FpStoreUnfaulted(op(args...), out);
}

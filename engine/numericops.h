// The language's arithmetic, comparisons and exact numeric functions, each written once. The operators'
// and the functions' executors, the run loop's own handling of the commonest items and the decoded
// statements all compute with these, so a result cannot depend on the path that ran it. Everything is
// inline: each path compiles to the instructions it would have spelt out itself.
#pragma once

#include "core/internalcodes.h"
#include "core/sharedstate.h"
#include "core/vocabulary.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

// The operations on two numbers, by the decoded nodes' numbering.
namespace NumberOp {
inline constexpr std::uint8_t Add = 0, Subtract = 1, Multiply = 2, Divide = 3, IntDivide = 4, Modulo = 5,
                              Equal = 6, NotEqual = 7, Less = 8, Greater = 9, LessEqual = 10,
                              GreaterEqual = 11, Count = 12;
} // namespace NumberOp

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

namespace Numeric {

// The operation of each operator slot, up to the last slot that has one; NumberOp::Count for the slots
// that are none of them ("^", the alternative spellings, which have no routine, and the separators).
inline constexpr auto SlotOperations = [] {
    std::array<std::uint8_t, Op::Mod + 1> table{};
    table.fill(NumberOp::Count);
    table[Op::Plus] = NumberOp::Add;
    table[Op::Minus] = NumberOp::Subtract;
    table[Op::Multiply] = NumberOp::Multiply;
    table[Op::Divide] = NumberOp::Divide;
    table[Op::IntDivide] = NumberOp::IntDivide;
    table[Op::Mod] = NumberOp::Modulo;
    table[Op::Equal] = NumberOp::Equal;
    table[Op::NotEqual] = NumberOp::NotEqual;
    table[Op::Less] = NumberOp::Less;
    table[Op::Greater] = NumberOp::Greater;
    table[Op::LessEqual] = NumberOp::LessEqual;
    table[Op::GreaterEqual] = NumberOp::GreaterEqual;
    return table;
}();

// The operation of operator slot `slot` (the logic and the joins included: none).
[[gnu::always_inline]] constexpr std::uint8_t OperationOfSlot(int slot) {
    const auto at = static_cast<std::size_t>(static_cast<unsigned>(slot));
    return at < SlotOperations.size() ? SlotOperations[at] : NumberOp::Count;
}

constexpr bool IsComparison(std::uint8_t operation) {
    return operation >= NumberOp::Equal && operation < NumberOp::Count;
}

// a + b, a - b, a * b or a / b in extended precision, the status flags untouched: the caller judges
// the result.
template <std::uint8_t Operation> [[gnu::always_inline]] inline Extended Arithmetic(Extended a, Extended b) {
    static_assert(Operation <= NumberOp::Divide, "+ - * / only");
    switch (Operation) {
    case NumberOp::Add: return a + b;
    case NumberOp::Subtract: return a - b;
    case NumberOp::Multiply: return a * b;
    default: return a / b;
    }
}

// A divisor of 0 is the division's own error, refused before anything is computed.
template <std::uint8_t Operation> [[gnu::always_inline]] inline bool DivisorRefused(Extended b) {
    return Operation == NumberOp::Divide && b == 0;
}

// A finite result of + - * / cannot have raised overflow or an invalid operation, so it is the
// operator's result as it stands; an infinite or NaN one only the status flags can classify.
[[gnu::always_inline]] inline bool IsFinalResult(Extended result) {
    // result - result is 0 for a finite number and NaN for an infinite or NaN one: two floating-point
    // operations and no constant (std::isfinite compiles to a load of the largest 80-bit number, and an
    // 80-bit load is a slow, microcoded one)
    const Extended difference = result - result;
    return difference == difference;
}

// a op b for + - * / when the plain result is the operator's result; false for a divisor of 0 and for
// a result the status flags must classify.
template <std::uint8_t Operation>
[[gnu::always_inline]] inline bool FiniteArithmetic(Extended a, Extended b, Extended& result) {
    if (DivisorRefused<Operation>(b)) return false;
    result = Arithmetic<Operation>(a, b);
    return IsFinalResult(result);
}

// Whether comparison `Operation` holds for a and b: numbers exactly (no tolerance; NaN equals nothing),
// strings by the order their own comparison gives.
template <std::uint8_t Operation, typename T>
[[gnu::always_inline]] inline bool Holds(const T& a, const T& b) {
    static_assert(IsComparison(Operation), "comparisons only");
    switch (Operation) {
    case NumberOp::Equal: return a == b;
    case NumberOp::NotEqual: return a != b;
    case NumberOp::Less: return a < b;
    case NumberOp::Greater: return a > b;
    case NumberOp::LessEqual: return a <= b;
    default: return a >= b;
    }
}

// The same for a comparison known only at run time (`operation` one of the six).
template <typename T>
[[gnu::always_inline]] inline bool Holds(std::uint8_t operation, const T& a, const T& b) {
    switch (operation) {
    case NumberOp::Equal: return Holds<NumberOp::Equal>(a, b);
    case NumberOp::NotEqual: return Holds<NumberOp::NotEqual>(a, b);
    case NumberOp::Less: return Holds<NumberOp::Less>(a, b);
    case NumberOp::Greater: return Holds<NumberOp::Greater>(a, b);
    case NumberOp::LessEqual: return Holds<NumberOp::LessEqual>(a, b);
    default: return Holds<NumberOp::GreaterEqual>(a, b);
    }
}

// A \ B (quotient) or A MOD B of whole numbers in 64 bits, B positive: the quotient truncated toward
// zero, the remainder with the dividend's sign, as C++ divides. The divisor being positive, the one
// overflowing case (the most negative value by -1) cannot occur.
[[gnu::always_inline]] inline std::int64_t WholeQuotient(bool modulo, std::int64_t dividend,
                                                         std::int64_t divisor) {
    return modulo ? dividend % divisor : dividend / divisor;
}

// Operands of MOD and \ below this magnitude convert exactly to 64-bit integers.
inline constexpr Extended WholeOperandLimit = 1e18L;

// A MOD B or A \ B of whole numbers well inside the 64-bit range with B positive: the operator's result
// without the checks that lead to its errors. False for any other operands (which may be an error).
[[gnu::always_inline]] inline bool WholeDivision(bool modulo, Extended a, Extended b, Extended& result) {
    if (!(b > 0 && b < WholeOperandLimit && std::fabs(a) < WholeOperandLimit)) return false;
    const std::int64_t dividend = NearestInteger(a); // not whole: differs from a, and refused below
    const std::int64_t divisor = NearestInteger(b);
    if (static_cast<Extended>(dividend) != a || static_cast<Extended>(divisor) != b) return false;
    result = static_cast<Extended>(WholeQuotient(modulo, dividend, divisor));
    return true;
}

// ---- the exact functions of one number: none can raise a fault -------------------------------------

[[gnu::always_inline]] inline Extended Abs(Extended x) {
    return std::fabs(x);
}
[[gnu::always_inline]] inline Extended Fix(Extended x) {
    return std::trunc(x);
}
[[gnu::always_inline]] inline Extended Int(Extended x) {
    return std::floor(x);
}
// The sign change only flips the sign bit: it cannot overflow or be invalid.
[[gnu::always_inline]] inline Extended Negate(Extended x) {
    return -x;
}
// SGN. A NaN, which is no number of the language, gives 0; with `NaNStays` a NaN, which the decoded
// statements read as a case for the general path.
template <bool NaNStays = false> [[gnu::always_inline]] inline Extended Sgn(Extended x) {
    constexpr Extended unordered = NaNStays ? std::numeric_limits<Extended>::quiet_NaN() : 0;
    return x > 0 ? 1 : (x < 0 ? -1 : (x == 0 ? 0 : unordered));
}

// ABS, SGN, FIX, INT and the sign change (the function code InFn::Direct) by function code; false for
// any other code.
[[gnu::always_inline]] inline bool ExactFunction(int code, Extended x, Extended& result) {
    switch (code) {
    case Fn::ABS: result = Abs(x); return true;
    case Fn::SGN: result = Sgn(x); return true;
    case Fn::FIX: result = Fix(x); return true;
    case Fn::INT: result = Int(x); return true;
    case InFn::Direct: result = Negate(x); return true;
    default: return false;
    }
}

// Whether ExactFunction serves `code` (the computation, unused, costs nothing).
[[gnu::always_inline]] inline bool IsExactFunction(int code) {
    Extended unused = 0;
    return ExactFunction(code, 0, unused);
}

} // namespace Numeric

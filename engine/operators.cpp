// The operator executors: operand tags checked, then comparison, string joining, arithmetic with its
// floating-point fault test, integer division and powers, and boolean logic.
#include "engine/operators.h"

#include "core/errornumbers.h"
#include "core/raiseerror.h"
#include "core/valuestack.h"
#include "core/vocabulary.h"
#include "engine/numconvert.h"
#include "engine/numericops.h"
#include "platform/memorybudget.h"

#include <QString>

#include <cmath>
#include <cstdint>
#include <string_view>

namespace {

// True when the top two entries both carry `tag`; a shorter stack never matches.
bool TopTwoAre(int tag) {
    return GlTopType() == tag && GlSecondType() == tag;
}

// The operands' check of a binary operator: false, with `error` raised for `slot`, unless the top two
// entries both carry `tag`.
bool OperandsAre(int tag, int error, int slot) {
    if (TopTwoAre(tag)) return true;
    RaiseError(error, slot);
    return false;
}

// Ordinal order of UTF-16 code units: no locale, no case folding, a prefix before its extensions.
// (Read through constData: utf16() would copy a text made over units it does not own, to end it with
// a zero the comparison does not need.)
int CompareUnits(const QString& a, const QString& b) {
    const std::u16string_view left(reinterpret_cast<const char16_t*>(a.constData()),
                                   static_cast<std::size_t>(a.size()));
    const std::u16string_view right(reinterpret_cast<const char16_t*>(b.constData()),
                                    static_cast<std::size_t>(b.size()));
    return left.compare(right);
}

// A = B, A <> B, A < B, A > B, A <= B, A >= B
void Compare(int slot) {
    const int tag = GlTopType();
    const bool orderable = tag == GlValueType::Number || tag == GlValueType::String;
    const bool equality = slot == Op::Equal || slot == Op::NotEqual;
    if (GlSecondType() != tag || !(orderable || (equality && tag == GlValueType::Boolean))) {
        RaiseError(Err::LogicalOperatorType, slot);
        return;
    }
    const std::uint8_t operation = Numeric::OperationOfSlot(slot);
    if (tag == GlValueType::Number) {
        const Extended b = GlPopNum();
        const Extended a = GlPopNum();
        GlPushBool(Numeric::Holds(operation, a, b));
    } else if (tag == GlValueType::String) {
        QString b, a;
        GlPopStr(b);
        GlPopStr(a);
        GlPushBool(Numeric::Holds(operation, CompareUnits(a, b), 0));
    } else {
        const bool b = GlPopBool();
        const bool a = GlPopBool();
        GlPushBool(Numeric::Holds(operation, a, b));
    }
}

// A joined with B, for "+" on strings and "&".
void JoinStrings() {
    // A long text is the program's memory: a join the budget has no room for is refused before it is
    // made (the operands stay, as after every operator error).
    const QString* top = Vs.GlStrStack.Items.data() + Vs.GlStrStack.Count;
    const auto units = static_cast<std::size_t>(top[0].size()) + static_cast<std::size_t>(top[-1].size());
    if (!MemoryBudget::AllowsElements(units, sizeof(char16_t))) {
        RaiseError(Err::OutOfMemory);
        return;
    }
    QString b, a;
    GlPopStr(b);
    GlPopStr(a);
    a.append(b);
    GlPushStr(std::move(a));
}

// A + B, A - B, A * B, A / B on numbers (for "+" the strings were handled before).
template <std::uint8_t Operation> void Arithmetic(int slot) {
    if (!OperandsAre(GlValueType::Number, Err::OperatorType, slot)) return;
    const Extended b = GlPopNum();
    if (Operation == NumberOp::Divide && b == 0) {
        // The dividend stays on the stack: the run ends here, or an armed EVALFORM takes the number.
        RaiseError(Err::DivisionByZero);
        return;
    }
    const Extended a = GlPopNum();
    Extended result = 0;
    if (Numeric::FiniteArithmetic<Operation>(a, b, result)) [[likely]] {
        GlPushNum(result);
        return;
    }
    if (!FpChecked(
            result, [](Extended x, Extended y) { return Numeric::Arithmetic<Operation>(x, y); }, a, b)) {
        RaiseError(Err::OperatorResultRange, slot);
        return;
    }
    GlPushNum(result);
}

// A \ B and A MOD B: whole numbers only, the divisor 0 or more, computed in 64-bit integers.
void IntegerDivision(int slot) {
    if (!OperandsAre(GlValueType::Number, Err::OperatorType, slot)) return;
    const bool quotient = slot == Op::IntDivide;
    const Extended b = GlPopNum();
    const Extended a = GlPopNum();
    if (b != std::fabs(std::trunc(b))) {
        RaiseError(quotient ? Err::IntDivDivisor : Err::IntModDivisor);
        return;
    }
    if (a != std::trunc(a)) {
        RaiseError(quotient ? Err::IntDivDividend : Err::IntModDividend);
        return;
    }
    std::int64_t dividend = 0;
    std::int64_t divisor = 0;
    if (!TruncToInt64(a, dividend) || !TruncToInt64(b, divisor) || divisor == 0) {
        RaiseError(quotient ? Err::IntDivRange : Err::IntModRange);
        return;
    }
    GlPushNum(static_cast<Extended>(Numeric::WholeQuotient(!quotient, dividend, divisor)));
}

// base ^ n for a whole n by square-and-multiply (at most 31 squarings). False on a trapped fault,
// and also when a negative power would have to invert a result that underflowed to a denormal or 0:
// the general power then gives the exact reciprocal (or its own overflow).
bool IntegerPower(Extended base, std::int32_t n, Extended& out) {
    std::uint32_t left = n < 0 ? 0u - static_cast<std::uint32_t>(n) : static_cast<std::uint32_t>(n);
    FpClearFaults();
    FpFence(base);
    Extended result = 1;
    Extended square = base;
    while (true) {
        if (left & 1u) result *= square;
        left >>= 1;
        if (left == 0) break;
        square *= square;
    }
    if (n < 0) {
        if (std::fpclassify(result) != FP_NORMAL) {
            FpClearFaults();
            return false;
        }
        result = 1 / result;
    }
    return FpStoreUnfaulted(result, out);
}

// A ^ B
void Power() {
    if (!OperandsAre(GlValueType::Number, Err::OperatorType, Op::Power)) return;
    const Extended b = GlPopNum();
    const Extended a = GlPopNum();
    Extended result = 1;
    const auto generalPower = [](Extended x, Extended y) { return std::pow(x, y); };
    if (a == 0) {
        // Any power of 0 is 0, a negative one included; 0 ^ 0 is 1.
        result = b != 0 ? 0 : 1;
    } else if (b == std::trunc(b)) {
        std::int32_t n = 0;
        // An exponent beyond 32 bits, or a product that overflows, goes to the general power, which
        // computes the same whole power (with the sign of a negative base) or fails in its turn.
        if (!(TruncToInt32(b, n) && IntegerPower(a, n, result)) && !FpChecked(result, generalPower, a, b)) {
            RaiseError(Err::OperatorResultRange, Op::Power);
            return;
        }
    } else if (a < 0) {
        RaiseError(Err::PowerOfNegative);
        return;
    } else if (!FpChecked(result, generalPower, a, b)) {
        RaiseError(Err::OperatorResultRange, Op::Power);
        return;
    }
    GlPushNum(result);
}

// A AND B, A OR B, A XOR B, A IMP B, A EQV B; both operands are always evaluated.
void Logic(int slot) {
    if (!OperandsAre(GlValueType::Boolean, Err::LogicalOperatorType, slot)) return;
    const bool b = GlPopBool();
    const bool a = GlPopBool();
    bool result = false;
    switch (slot) {
    case Op::And: result = a && b; break;
    case Op::Or: result = a || b; break;
    case Op::Xor: result = a != b; break;
    case Op::Imp: result = !a || b; break;
    default: result = a == b; break; // Op::Eqv
    }
    GlPushBool(result);
}

} // namespace

void ExecOperator(int slot) {
    switch (slot) {
    case Op::Equal:
    case Op::NotEqual:
    case Op::Less:
    case Op::Greater:
    case Op::LessEqual:
    case Op::GreaterEqual: Compare(slot); break;
    case Op::Plus:
        if (TopTwoAre(GlValueType::String)) {
            JoinStrings();
            break;
        }
        Arithmetic<NumberOp::Add>(slot);
        break;
    case Op::Minus: Arithmetic<NumberOp::Subtract>(slot); break;
    case Op::Multiply: Arithmetic<NumberOp::Multiply>(slot); break;
    case Op::Divide: Arithmetic<NumberOp::Divide>(slot); break;
    case Op::IntDivide:
    case Op::Mod: IntegerDivision(slot); break;
    case Op::Power: Power(); break;
    case Op::Not:
        if (GlTopType() != GlValueType::Boolean) {
            RaiseError(Err::LogicalOperatorType, slot);
            break;
        }
        GlPushBool(!GlPopBool());
        break;
    case Op::And:
    case Op::Or:
    case Op::Xor:
    case Op::Imp:
    case Op::Eqv: Logic(slot); break;
    case Op::Ampersand:
        if (!OperandsAre(GlValueType::String, Err::OperatorType, slot)) break;
        JoinStrings();
        break;
    case Op::ChgSgn:
        if (GlTopType() != GlValueType::Number) {
            RaiseError(Err::OperatorType, slot);
            break;
        }
        GlPushNum(Numeric::Negate(GlPopNum()));
        break;
    default: break; // "><", "=<", "=>" and the separators have no routine
    }
}

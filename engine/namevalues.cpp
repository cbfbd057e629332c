// The values of named variables met in an expression, as the run loop pushes them.
#include "engine/namevalues.h"

#include "core/errornumbers.h"
#include "core/raiseerror.h"
#include "core/tables.h"
#include "core/valuestack.h"
#include "engine/calls.h"
#include "engine/enginestate.h"
#include "engine/numconvert.h"
#include "engine/numericops.h"

#include <array>

namespace {

// Array subscripts on the Gl stack (last on top): each a number (1403), not negative before rounding
// (1402), rounded half to even, within its bound (1401). Returns the element's index or -1.
long PopElementIndex(const std::int32_t base, const std::uint8_t dimCount,
                     const std::array<std::int32_t, MaxDimensions + 1>& bounds) {
    long subscripts[MaxDimensions] = {};
    for (int k = dimCount; k >= 1; --k) {
        if (GlTopType() != GlValueType::Number) {
            RaiseError(Err::SubscriptInvalid);
            return -1;
        }
        const Extended value = GlPopNum();
        if (!(value >= 0)) {
            RaiseError(Err::SubscriptNegative);
            return -1;
        }
        std::int32_t rounded = 0;
        if (!RoundToInt32(value, rounded)) {
            RaiseError(Err::SubscriptTooLarge);
            return -1;
        }
        subscripts[k - 1] = rounded;
    }
    const long offset = ArrayElementOffset(bounds.data(), dimCount, subscripts);
    if (offset < 0) {
        RaiseError(Err::SubscriptTooLarge);
        return -1;
    }
    return base + offset;
}

template <typename Record, typename Table>
bool ElementIndex(const Record& record, const Table& elements, long& index) {
    index = PopElementIndex(record.Base, record.DimCount, record.Bounds);
    if (index < 0) {
        Eng.ErrorAtCurrentItem = true;
        return false;
    }
    if (static_cast<std::size_t>(index) >= elements.size()) { // a table out of step must not be read past
        RaiseError(Err::SubscriptTooLarge);
        Eng.ErrorAtCurrentItem = true;
        return false;
    }
    return true;
}

// A numeric (kind 12) or string (kind 22) name met in an expression: a plain variable pushes its
// value, a DEF function is called, an array pushes the element the subscripts on the stack name (one
// not yet dimensioned, its own value).
template <typename Record, typename Kinds, typename Elements, typename Push>
void PushName(std::vector<Record>& table, const Elements& elements, int index, Push push) {
    if (index < 0 || static_cast<std::size_t>(index) >= table.size()) return;
    const Record& record = table[static_cast<std::size_t>(index)];
    switch (record.Kind) {
    case Kinds::Variable: push(record.Value); return;
    case Kinds::DefFunction: CallUserFunction(record.Base); return;
    case Kinds::Array: {
        if (record.DimCount < 1) {
            push(record.Value);
            return;
        }
        long at = 0;
        if (ElementIndex(record, elements, at)) push(elements[static_cast<std::size_t>(at)]);
        return;
    }
    default: return;
    }
}

struct NumKinds {
    static constexpr std::uint8_t Variable = NumVarKind::Variable, DefFunction = NumVarKind::DefFunction,
                                  Array = NumVarKind::Array;
};
struct StrKinds {
    static constexpr std::uint8_t Variable = StrVarKind::Variable, DefFunction = StrVarKind::DefFunction,
                                  Array = StrVarKind::Array;
};

} // namespace

void PushNumName(int index) {
    PushName<NumVarType, NumKinds>(Tb.NumVarTable, Tb.ANumVarTable, index,
                                   [](Extended value) { PushNumber(value); });
}

void PushStrName(int index) {
    PushName<StrVarType, StrKinds>(Tb.StrVarTable, Tb.AStrVarTable, index,
                                   [](const QString& value) { GlPushStr(value); });
}

// kind 32
void PushBoolName(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= Tb.BoolVarTable.size()) return;
    const BoolVarType& record = Tb.BoolVarTable[static_cast<std::size_t>(index)];
    switch (record.Kind) {
    case BoolVarKind::Variable: GlPushBool(record.Value != 0); return;
    case BoolVarKind::UserFunction: RaiseError(Err::TypeMismatch); return;
    case BoolVarKind::Array: {
        if (record.DimCount < 1) {
            GlPushBool(record.Value != 0);
            return;
        }
        long at = 0;
        if (!ElementIndex(record, Tb.ABoolVarTable, at)) return;
        const std::int32_t stored = Tb.ABoolVarTable[static_cast<std::size_t>(at)];
        if (stored == -1)
            GlPushBool(true);
        else if (stored == 0)
            GlPushBool(false);
        else
            RaiseError(Err::NotABoolean);
        return;
    }
    default: return;
    }
}

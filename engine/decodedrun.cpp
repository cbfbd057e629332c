#include "engine/decodedrun.h"

#include "engine/fastaccess.h"
#include "engine/predecode.h"
#include "engine/strfunctions.h"
#include "frontend/itembuffers.h"
#include "frontend/sharedstate.h"
#include "frontend/tables.h"
#include "frontend/valuestack.h"

#include <atomic>
#include <cmath>

namespace {

using namespace StepCode;

// The variable tables as one run of decoded statements sees them: nothing the decoded statements do
// adds records, so the loop keeps their extent in registers instead of reading the vectors each time.
struct TableView {
    NumVarType* Numbers;
    std::size_t NumberCount;
    StrVarType* Strings;
    std::size_t StringCount;

    TableView()
        : Numbers(NumVarTable.data()), NumberCount(NumVarTable.size()), Strings(StrVarTable.data()),
          StringCount(StrVarTable.size()) {}

    [[gnu::always_inline]] NumVarType* Number(int index) const {
        return static_cast<unsigned>(index) < NumberCount ? Numbers + index : nullptr;
    }
    [[gnu::always_inline]] StrVarType* String(int index) const {
        return static_cast<unsigned>(index) < StringCount ? Strings + index : nullptr;
    }
};

// The value of a plain numeric variable; false when the name is no longer one.
[[gnu::always_inline]] inline bool ReadVariable(const TableView& tables, int index, Extended& value) {
    const NumVarType* record = tables.Number(index);
    if (!record || record->Kind != NumVarKind::Variable) [[unlikely]] return false;
    value = record->Value;
    return true;
}

// a = a op b for one of the binary steps; false where the operator's own item must decide (a divisor
// of 0, a result that is not finite, a MOD or \ that may fail).
template <std::uint8_t Operation>
[[gnu::always_inline]] inline bool Apply(Extended& a, Extended b) {
    Extended r = 0;
    switch (Operation) {
    case Add: r = a + b; break;
    case Subtract: r = a - b; break;
    case Multiply: r = a * b; break;
    case Divide:
        if (b == 0) return false;
        r = a / b;
        break;
    case IntDivide: return WholeDivision(false, a, b, a);
    case Modulo: return WholeDivision(true, a, b, a);
    case Equal: a = a == b ? 1 : 0; return true;
    case NotEqual: a = a != b ? 1 : 0; return true;
    case Less: a = a < b ? 1 : 0; return true;
    case Greater: a = a > b ? 1 : 0; return true;
    case LessEqual: a = a <= b ? 1 : 0; return true;
    case GreaterEqual: a = a >= b ? 1 : 0; return true;
    default: return false;
    }
    if (!std::isfinite(r)) return false;
    a = r;
    return true;
}

// Runs the steps from `step`, leaving the values in `values` from the bottom; false when a step met
// a case for the general path (nothing has changed then: the steps only read). The value on top is
// kept apart from the stack below it, so most steps neither read nor write memory for it.
[[gnu::always_inline]] inline bool Evaluate(const TableView& tables, const ExprStep* step, Extended* values) {
    // The entry under the top. The first push stores the empty top at values[-1]; the values of the
    // expression then end up from values[0].
    Extended* below = values - 2;
    Extended top = 0;
    Extended b = 0;
    for (;; ++step) {
        switch (step->Code) {
        case End:
            *++below = top;
            return true;
        case PushLiteral:
            *++below = top;
            top = step->Literal;
            break;
        case PushVariable:
            if (!ReadVariable(tables, step->Index, b)) return false;
            *++below = top;
            top = b;
            break;
        case PushLength: {
            const StrVarType* record = tables.String(step->Index);
            if (!record || record->Kind != StrVarKind::Variable) return false;
            *++below = top;
            top = static_cast<Extended>(CharacterCount(record->Value));
            break;
        }
        case Element: {
            const NumVarType* record = tables.Number(step->Index);
            const Extended* element = record && record->Kind == NumVarKind::Array ? SimpleElement(*record, top) : nullptr;
            if (!element) return false;
            top = *element;
            break;
        }
        case Sgn: top = top > 0 ? 1 : (top < 0 ? -1 : 0); break;
        case Abs: top = std::fabs(top); break;
        case Int: top = std::floor(top); break;
        case Fix: top = std::trunc(top); break;
        case Negate: top = -top; break;
        case Not: top = top != 0 ? 0 : 1; break;
        case And: top = *below-- != 0 && top != 0 ? 1 : 0; break;
        case Or: top = *below-- != 0 || top != 0 ? 1 : 0; break;
#define LX_BINARY_STEP(OP)                                                                                   \
    case Binary(OP, OnStack): {                                                                              \
        Extended a = *below--;                                                                               \
        if (!Apply<OP>(a, top)) return false;                                                                \
        top = a;                                                                                             \
        break;                                                                                               \
    }                                                                                                        \
    case Binary(OP, OnLiteral):                                                                              \
        if (!Apply<OP>(top, step->Literal)) return false;                                                    \
        break;                                                                                               \
    case Binary(OP, OnVariable):                                                                             \
        if (!ReadVariable(tables, step->Index, b) || !Apply<OP>(top, b)) return false;                       \
        break;
            LX_BINARY_STEP(Add)
            LX_BINARY_STEP(Subtract)
            LX_BINARY_STEP(Multiply)
            LX_BINARY_STEP(Divide)
            LX_BINARY_STEP(IntDivide)
            LX_BINARY_STEP(Modulo)
            LX_BINARY_STEP(Equal)
            LX_BINARY_STEP(NotEqual)
            LX_BINARY_STEP(Less)
            LX_BINARY_STEP(Greater)
            LX_BINARY_STEP(LessEqual)
            LX_BINARY_STEP(GreaterEqual)
#undef LX_BINARY_STEP
        default: return false;
        }
    }
}

// The values of a PushValues entry onto the Gl stack, in order, each with its own tag.
void PushValues(const DecodedItem& entry, const Extended* values) {
    for (int k = 0; k < entry.ValueCount; ++k) {
        if (entry.BooleanMask & (1u << k))
            GlPushBool(values[k] != 0);
        else
            PushNumber(values[k]);
    }
}

} // namespace

bool DecodedRunEnabled = true;

int RunDecoded(int at, int limit, bool& stoppedShort) {
    stoppedShort = false;
    if (!DecodedRunEnabled) return at;
    const std::uint64_t generation = CodeGeneration;
    const TableView tables;
    // The decoded side and the steps, as far as they go; decoding an entry may extend both.
    DecodedItem* decoded = DecodedCode.data();
    std::size_t decodedCount = DecodedCode.size();
    const ExprStep* stepBase = DecodedSteps.data();
    // values[-1] takes the empty top of the first push; the expression's values follow it.
    Extended storage[MaxDecodedDepth + 1];
    Extended* const values = storage + 1;
    for (;;) {
        if (at < 1 || at > limit) return at;
        if (static_cast<std::size_t>(at) >= decodedCount) [[unlikely]] {
            FitDecodedCode();
            decoded = DecodedCode.data();
            decodedCount = DecodedCode.size();
        }
        DecodedItem* entry = decoded + at;
        if (entry->Generation != generation) [[unlikely]] {
            entry = &DecodeItem(at, limit);
            stepBase = DecodedSteps.data();
        }
        const ExprStep* steps = stepBase + entry->Steps;
        int next = 0;
        switch (entry->Op) {
        case DecodedOp::Jump: next = entry->Next; break;
        case DecodedOp::LetNumber: {
            // LET X = expression
            NumVarType* record = tables.Number(entry->Target);
            if (!record || record->DimCount != 0 || !Evaluate(tables, steps, values)) goto stopShort;
            record->Value = values[0];
            next = entry->Next;
            break;
        }
        case DecodedOp::LetElement: {
            // LET A(subscript) = expression: the value, then the subscript
            NumVarType* record = tables.Number(entry->Target);
            if (!record || !Evaluate(tables, steps, values)) goto stopShort;
            Extended* element = SimpleElement(*record, values[1]);
            if (!element) goto stopShort;
            *element = values[0];
            next = entry->Next;
            break;
        }
        case DecodedOp::Branch:
            // IF condition: true goes on after the jump target, false takes it
            if (!Evaluate(tables, steps, values)) goto stopShort;
            next = values[0] != 0 ? entry->Next : entry->Alternate;
            break;
        case DecodedOp::PushValues:
            if (!Evaluate(tables, steps, values)) goto stopShort;
            PushValues(*entry, values);
            if (ErrorNumber != 0) [[unlikely]] return entry->Next;  // the stack found no memory
            next = entry->Next;
            break;
        case DecodedOp::AppendChr: {
            // S$ = S$ + CHR$(expression)
            StrVarType* record = tables.String(entry->Target);
            if (!record || record->Kind != StrVarKind::Variable || record->DimCount != 0 ||
                !Evaluate(tables, steps, values))
                goto stopShort;
            record->Value.append(ChrText(values[0]));
            next = entry->Next;
            break;
        }
        default: return at;  // Generic
        }
        at = next;
        // A stop request is seen after every decoded statement, as after every item.
        if (StopRequest.load(std::memory_order_relaxed) != 0) [[unlikely]] return at;
        continue;
    stopShort:
        // The general path runs this statement; an entry that keeps stopping short is left to it.
        if (--entry->Retries == 0) entry->Op = DecodedOp::Generic;
        stoppedShort = true;
        return at;
    }
}

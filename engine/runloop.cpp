#include "engine/runloop.h"

#include "core/errornumbers.h"
#include "core/internalcodes.h"
#include "core/itembuffers.h"
#include "core/raiseerror.h"
#include "core/sharedstate.h"
#include "core/tables.h"
#include "core/valuestack.h"
#include "core/vocabulary.h"
#include "engine/calls.h"
#include "engine/controlexec.h"
#include "engine/decoded/decode.h"
#include "engine/decoded/run.h"
#include "engine/deviceexec.h"
#include "engine/dispatch.h"
#include "engine/drawexec.h"
#include "engine/enginestate.h"
#include "engine/fastaccess.h"
#include "engine/fileexec.h"
#include "engine/flowexec.h"
#include "engine/formulaexec.h"
#include "engine/inputexec.h"
#include "engine/numconvert.h"
#include "engine/numericops.h"
#include "engine/numfunctions.h"
#include "engine/operators.h"
#include "engine/pictureexec.h"
#include "engine/printline.h"
#include "engine/printusing.h"
#include "engine/runwindowqueue.h"
#include "engine/stacktags.h"
#include "engine/strfunctions.h"
#include "engine/sysfunctions.h"
#include "engine/windowexec.h"
#include "frontend/parsecodes.h"

#include <array>
#include <cmath>
#include <limits>

namespace {

void PostRunButtons(int mode) {
    RunWindowEvent event;
    event.Op = RunWindowOp::ButtonMode;
    event.Value = mode;
    RunWindowQueue::Instance().Push(std::move(event));
}

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

template <typename Table> bool InTable(const Table& table, long at) {
    return at >= 0 && static_cast<std::size_t>(at) < table.size();
}

// ---- the loop's own handling of the commonest items -------------------------------------------------
// Each of these does exactly what the general executor does for the case it recognises and hands every
// other case, untouched, to that executor; they exist because they run for most items of a typical
// program, where a call and the general checks would cost more than the work itself.

// The fetch that ends every item: the next item into CurrentItem. While no error is pending, items that
// do nothing are stepped over here rather than one pass of the loop each; that is invisible, since the
// stop request is still seen before the next item with an effect and CurrentItemIndex names an item
// that has not run. An error is positioned by the item right after the failing one, and a stop already
// requested leaves the run at the item right after the last one run, so nothing is stepped over then.
// The loop's copies of the cursor and the limit (`pc`, `limit`) come back updated.
template <bool Fast> [[gnu::always_inline]] inline void FetchNextEffectiveItem(int& pc, int& limit) {
    int at = Ib.CodeIndex;
    limit = Ib.CodeLimit;
    if (at < 0 || at > limit) [[unlikely]] {
        FetchCurrentItem(); // past the end: the kind becomes 0 and the cursor stays
        pc = Ib.CodeIndex;
        return;
    }
    const CodeItemType* item = Ib.CodeBuffer.data() + at;
    if constexpr (Fast) {
        if ((Fe.ErrorNumber | Rc.StopRequest.load(std::memory_order_relaxed)) == 0) [[likely]] {
            while (at < limit && IsInertItem(*item)) {
                ++at;
                ++item;
            }
        }
    }
    Ib.CurrentItem = *item;
    Eng.CurrentItemIndex = at;
    pc = at + 1;
    Ib.CodeIndex = pc;
}

// ---- fused sequences ------------------------------------------------------------------------------------
// A few short item sequences that every loop and condition compiles to are done in one pass when the
// loop reaches their first item: the stop request has then been seen before that item, nothing of the
// sequence can fail, and the cursor is left after its last item, so every item stays a resume point
// and no error position moves. In any other case the items run one by one.

// A comparison whose result an IF takes at once: when the items at the cursor are expression brackets,
// an IF and its jump target, the branch is taken here, without the boolean on the stack. False
// (nothing changed) otherwise.
[[gnu::always_inline]] inline bool BranchOnComparison(bool holds) {
    int at = Ib.CodeIndex;
    const int limit = Ib.CodeLimit;
    if (at < 0) return false;
    const CodeItemType* code = Ib.CodeBuffer.data();
    while (at < limit &&
           (code[at].FirstCode == CodeKind::ExprClose || code[at].FirstCode == CodeKind::ExprOpen))
        ++at;
    if (at + 1 > limit || code[at].FirstCode != CodeKind::Statement || code[at].SecondCode != St::IF)
        return false;
    const CodeItemType& target = code[at + 1];
    if (target.FirstCode != CodeKind::JumpTarget || !IsJumpIndex(target.SecondCode)) return false;
    Ib.CodeIndex = holds ? at + 2 : target.SecondCode; // true steps over the target, as IF does
    return true;
}

// The operators a fused sequence may end with: the six comparisons and + - * / \ MOD.
[[gnu::always_inline]] constexpr bool IsFusedOperator(int slot) {
    return Numeric::OperationOfSlot(slot) != NumberOp::Count;
}

// The index of the target of a LET that follows the cursor, past expression brackets, and assigns a
// variable of code kind `kind`; -1 when the items there are anything else.
[[gnu::always_inline]] inline int LetTargetAtCursor(int kind) {
    int at = Ib.CodeIndex;
    const int limit = Ib.CodeLimit;
    if (at < 0) return -1;
    const CodeItemType* code = Ib.CodeBuffer.data();
    while (at < limit &&
           (code[at].FirstCode == CodeKind::ExprClose || code[at].FirstCode == CodeKind::ExprOpen))
        ++at;
    if (at + 1 > limit || code[at].FirstCode != CodeKind::Statement || code[at].SecondCode != St::LET ||
        code[at + 1].FirstCode != kind)
        return -1;
    return at + 1;
}

// A numeric result about to be left on the stack that a LET to a numeric scalar takes at once: when
// the items at the cursor are expression brackets, the LET and its target, the value is stored here
// and the cursor passes the target. False (nothing changed) otherwise.
[[gnu::always_inline]] inline bool StoreToLet(Extended result) {
    const int target = LetTargetAtCursor(CodeKind::NumVar);
    if (target < 0) return false;
    NumVarType* record = TableEntry(Tb.NumVarTable, Ib.CodeBuffer.data()[target].SecondCode);
    if (!record || record->DimCount != 0) return false;
    record->Value = result;
    Ib.CodeIndex = target + 1;
    return true;
}

// A + B, A - B, A * B, A / B when finite, and A MOD B, A \ B of whole numbers with B positive, as the
// decoded statements compute them; false for a comparison, a divisor of 0, an infinite or NaN result
// (which the operator's own item classifies from the status flags) and any other MOD or integer
// division (which may be an error).
[[gnu::always_inline]] inline bool FusedArithmetic(std::uint8_t operation, Extended a, Extended b,
                                                   Extended& result) {
    result = ApplyArithmetic(operation, a, b);
    return !IsStoppedShort(result);
}

// The value of a literal or of a plain numeric variable, read without any effect; false for any
// other item.
[[gnu::always_inline]] inline bool PlainOperand(const CodeItemType& item, Extended& value) {
    if (item.FirstCode == CodeKind::NumLiteral) {
        const long at = static_cast<long>(item.SecondCode) + 1;
        if (at < 0 || static_cast<std::size_t>(at) >= Tb.NumConTable.size()) return false;
        value = Tb.NumConTable[static_cast<std::size_t>(at)];
        return true;
    }
    if (item.FirstCode == CodeKind::NumVar) {
        const NumVarType* record = TableEntry(Tb.NumVarTable, item.SecondCode);
        if (!record || record->Kind != NumVarKind::Variable) return false;
        value = record->Value;
        return true;
    }
    return false;
}

// The result of `a op b`, the operator item being the last of the sequence: a number (taken by a LET
// right after it, or pushed), or a comparison's boolean (taken by an IF right after it, or pushed).
// False, nothing changed, when the operator or the result needs the general path.
[[gnu::always_inline]] inline bool ApplyOperator(int slot, Extended a, Extended b, int next) {
    const std::uint8_t operation = Numeric::OperationOfSlot(slot);
    Extended result = 0;
    if (FusedArithmetic(operation, a, b, result)) {
        Ib.CodeIndex = next;
        if (!StoreToLet(result)) PushNumber(result);
        return true;
    }
    if (!Numeric::IsComparison(operation)) return false;
    const bool holds = Numeric::Holds(operation, a, b);
    Ib.CodeIndex = next;
    if (!BranchOnComparison(holds)) GlPushBool(holds);
    return true;
}

// A number about to be pushed (a literal or a plain variable), `a`. When it is A of a plain operand
// and an operator right after it, or B of an operator right after it with A a plain number on top of
// the stack, the operator is applied here and the cursor passes it. False (nothing changed) in every
// other case, and the push is made as usual.
[[gnu::always_inline]] inline bool ApplyToTop(Extended a) {
    const int at = Ib.CodeIndex;
    const int limit = Ib.CodeLimit;
    if (at < 0 || at > limit) return false;
    const CodeItemType* next = Ib.CodeBuffer.data() + at;
    if (next->FirstCode == CodeKind::Operator) {
        const int top = Vs.GlTypeStack.Count;
        const int numbers = Vs.GlNumStack.Count;
        if (top < 1 || numbers < 1 || Vs.GlTypeStack.Items.data()[top] != GlValueType::Number) return false;
        const Extended left = Vs.GlNumStack.Items.data()[numbers];
        const int slot = next->SecondCode;
        if (!IsFusedOperator(slot)) return false;
        Vs.GlNumStack.Count = numbers - 1; // A leaves; the result or the boolean takes its place
        Vs.GlTypeStack.Count = top - 1;
        if (!ApplyOperator(slot, left, a, at + 1)) [[unlikely]] {
            Vs.GlNumStack.Count = numbers;
            Vs.GlTypeStack.Count = top;
            return false;
        }
        return true;
    }
    if (at + 1 > limit || next[1].FirstCode != CodeKind::Operator || !IsFusedOperator(next[1].SecondCode))
        return false;
    Extended b = 0;
    if (!PlainOperand(next[0], b)) return false;
    return ApplyOperator(next[1].SecondCode, a, b, at + 2);
}

// Kind 11: NumConValue of the item in hand.
template <bool Fast> [[gnu::always_inline]] inline void PushNumLiteral(int value) {
    const long at = static_cast<long>(value) + 1;
    const Extended number = at >= 0 && static_cast<std::size_t>(at) < Tb.NumConTable.size()
                                ? Tb.NumConTable[static_cast<std::size_t>(at)]
                                : 0.0L;
    if constexpr (Fast)
        if (ApplyToTop(number)) return;
    PushNumber(number);
}

// Kind 10: a fixed constant (the 1 of a FOR without STEP, the 0 and 0.5 of a FOR's test with one),
// fused with an operator after it like a literal.
[[gnu::always_inline]] inline void PushSysNumConst(Extended number) {
    if (!ApplyToTop(number)) PushNumber(number);
}

// Kind 2: SGN, ABS, INT, FIX and the sign change of a plain number on top are worked out here (a FOR
// with STEP runs SGN at every step), the result taken by an operator right after it as a pushed
// number would be; any other function or argument goes the general way with its errors.
[[gnu::always_inline]] inline void ExecFunctionItem(int code) {
    if (Numeric::IsExactFunction(code)) {
        const int top = Vs.GlTypeStack.Count;
        const int numbers = Vs.GlNumStack.Count;
        if (top >= 1 && numbers >= 1 && Vs.GlTypeStack.Items.data()[top] == GlValueType::Number) {
            Extended& slot = Vs.GlNumStack.Items.data()[numbers];
            Extended result = 0;
            Numeric::ExactFunction(code, slot, result);
            Vs.GlNumStack.Count = numbers - 1;
            Vs.GlTypeStack.Count = top - 1;
            if (ApplyToTop(result)) return;
            Vs.GlNumStack.Count = numbers; // the result takes the argument's place, tagged a number
            Vs.GlTypeStack.Count = top;
            slot = result;
            return;
        }
    }
    ExecuteFunction(code);
}

// Kind 12: a plain numeric variable, or an element of a one-dimensional array whose subscript (a plain
// number) the element replaces on the stack; everything else through PushNumName.
[[gnu::always_inline]] inline void PushNumVariable(int index) {
    if (const NumVarType* record = TableEntry(Tb.NumVarTable, index)) {
        if (record->Kind == NumVarKind::Variable) {
            if (!ApplyToTop(record->Value)) PushNumber(record->Value);
            return;
        }
        const int top = Vs.GlTypeStack.Count;
        const int numbers = Vs.GlNumStack.Count;
        if (record->Kind == NumVarKind::Array && top >= 1 && numbers >= 1 &&
            Vs.GlTypeStack.Items.data()[top] == GlValueType::Number) {
            Extended& subscript = Vs.GlNumStack.Items.data()[numbers];
            if (const Extended* element = SimpleElement(*record, subscript)) {
                subscript = *element;
                return;
            }
        }
    }
    PushNumName(index);
}

// A + B, A - B, A * B or A / B replaces the two numbers on top of the Gl stack; false (nothing
// changed) for a divisor of 0 and a result that is infinite or NaN and so must be classified from the
// status flags.
template <std::uint8_t Operation>
[[gnu::always_inline]] inline bool StoreFiniteResult(Extended a, Extended b, int top, int numbers) {
    Extended result = 0;
    if (!Numeric::FiniteArithmetic<Operation>(a, b, result)) [[unlikely]]
        return false;
    Vs.GlNumStack.Count = numbers - 2;
    Vs.GlTypeStack.Count = top - 2;
    if (StoreToLet(result)) return true;
    Vs.GlNumStack.Items.data()[numbers - 1] = result; // A's entry, tagged a number, takes the result
    Vs.GlNumStack.Count = numbers - 1;
    Vs.GlTypeStack.Count = top - 1;
    return true;
}

// A comparison's boolean replaces the two numbers on top of the Gl stack (or an IF right after it
// takes it at once).
[[gnu::always_inline]] inline void StoreComparison(bool holds, int top, int numbers) {
    Vs.GlNumStack.Count = numbers - 2;
    if (BranchOnComparison(holds)) {
        Vs.GlTypeStack.Count = top - 2;
        return;
    }
    if (Vs.GlBoolStack.Count < Vs.GlBoolStack.Capacity) [[likely]] { // the tag stack has the room of the two
        Vs.GlBoolStack.Items.data()[++Vs.GlBoolStack.Count] = holds ? 1 : 0;
        Vs.GlTypeStack.Items.data()[top - 1] = GlValueType::Boolean;
        Vs.GlTypeStack.Count = top - 1;
        return;
    }
    Vs.GlTypeStack.Count = top - 2;
    GlPushBool(holds);
}

// `T$ = T$ + x` (or `&`): the join of the string in a scalar string variable with another string,
// assigned straight back to that variable, appends in place. Taken at the join item when the items
// after it are expression brackets, a LET and that variable, and the left operand is the variable's
// own text (the same shared characters); the join, the brackets and the LET are then done together
// and the cursor left after the LET's target. Appending to the variable's text, once the stack no
// longer shares it, reuses its spare room instead of copying the whole text for every character
// added; the result is the same as the join followed by the assignment, and neither can fail.
bool AppendInPlace() {
    const int top = Vs.GlTypeStack.Count;
    const int strings = Vs.GlStrStack.Count;
    if (top < 2 || strings < 2) return false;
    const std::int32_t* tags = Vs.GlTypeStack.Items.data();
    if (tags[top] != GlValueType::String || tags[top - 1] != GlValueType::String) return false;
    const int target = LetTargetAtCursor(CodeKind::StrVar);
    if (target < 0) return false;
    StrVarType* record = TableEntry(Tb.StrVarTable, Ib.CodeBuffer.data()[target].SecondCode);
    if (!record || record->DimCount != 0) return false;
    QString* values = Vs.GlStrStack.Items.data();
    QString& left = values[strings - 1];
    if (left.constData() != record->Value.constData() || left.size() != record->Value.size()) return false;
    // Growing the text's room is the program taking memory: past its budget the join refuses it.
    const qsizetype joined = left.size() + values[strings].size();
    if (joined > record->Value.capacity() &&
        !MemoryBudget::AllowsElements(static_cast<std::size_t>(joined) * 2, sizeof(char16_t)))
        return false;
    left = QString(); // the stack lets go of the text, so the variable alone may hold it
    record->Value.append(values[strings]);
    values[strings] = QString();
    Vs.GlStrStack.Count = strings - 2;
    Vs.GlTypeStack.Count = top - 2;
    Ib.CodeIndex = target + 1;
    return true;
}

// Kind 1 with two plain numbers on top: + - * / and the comparisons. A finite arithmetic result cannot
// have raised overflow or an invalid operation, so only an infinite or NaN one (and a divisor of 0)
// goes to ExecOperator, which classifies it from the status flags; so does every other case.
[[gnu::always_inline]] inline void ExecOperatorItem(int slot) {
    const int top = Vs.GlTypeStack.Count;
    const int numbers = Vs.GlNumStack.Count;
    const std::int32_t* tags = Vs.GlTypeStack.Items.data();
    if (top >= 2 && numbers >= 2 && tags[top] == GlValueType::Number &&
        tags[top - 1] == GlValueType::Number) {
        const Extended* values = Vs.GlNumStack.Items.data();
        const Extended a = values[numbers - 1];
        const Extended b = values[numbers];
        switch (slot) {
        case Op::Plus:
            if (StoreFiniteResult<NumberOp::Add>(a, b, top, numbers)) return;
            break;
        case Op::Minus:
            if (StoreFiniteResult<NumberOp::Subtract>(a, b, top, numbers)) return;
            break;
        case Op::Multiply:
            if (StoreFiniteResult<NumberOp::Multiply>(a, b, top, numbers)) return;
            break;
        case Op::Divide:
            if (StoreFiniteResult<NumberOp::Divide>(a, b, top, numbers)) return;
            break;
        case Op::Equal: StoreComparison(Numeric::Holds<NumberOp::Equal>(a, b), top, numbers); return;
        case Op::NotEqual: StoreComparison(Numeric::Holds<NumberOp::NotEqual>(a, b), top, numbers); return;
        case Op::Less: StoreComparison(Numeric::Holds<NumberOp::Less>(a, b), top, numbers); return;
        case Op::Greater: StoreComparison(Numeric::Holds<NumberOp::Greater>(a, b), top, numbers); return;
        case Op::LessEqual: StoreComparison(Numeric::Holds<NumberOp::LessEqual>(a, b), top, numbers); return;
        case Op::GreaterEqual:
            StoreComparison(Numeric::Holds<NumberOp::GreaterEqual>(a, b), top, numbers);
            return;
        default: break;
        }
    } else if ((slot == Op::Plus || slot == Op::Ampersand) && AppendInPlace()) {
        return;
    }
    ExecOperator(slot);
}

// The item after the statement item, when it is a jump target naming a valid code index; else null.
inline const CodeItemType* JumpTargetAtCursor() {
    const int at = Ib.CodeIndex;
    if (at < 0 || at > Ib.CodeLimit) return nullptr;
    const CodeItemType* target = Ib.CodeBuffer.data() + at;
    return target->FirstCode == CodeKind::JumpTarget && IsJumpIndex(target->SecondCode) ? target : nullptr;
}

// IF with a boolean on top: true steps over the jump target, false takes it.
[[gnu::always_inline]] inline void ExecIfItem() {
    const int top = Vs.GlTypeStack.Count;
    const int booleans = Vs.GlBoolStack.Count;
    if (top >= 1 && booleans >= 1 && Vs.GlTypeStack.Items.data()[top] == GlValueType::Boolean) {
        if (Vs.GlBoolStack.Items.data()[booleans] != 0) {
            Vs.GlBoolStack.Count = booleans - 1;
            Vs.GlTypeStack.Count = top - 1;
            ++Ib.CodeIndex;
            return;
        }
        if (const CodeItemType* target = JumpTargetAtCursor()) {
            Vs.GlBoolStack.Count = booleans - 1;
            Vs.GlTypeStack.Count = top - 1;
            Ib.CodeIndex = target->SecondCode;
            return;
        }
    }
    ExecIf();
}

// GOTO to a code index.
[[gnu::always_inline]] inline void ExecGotoItem() {
    if (const CodeItemType* target = JumpTargetAtCursor()) {
        Ib.CodeIndex = target->SecondCode;
        return;
    }
    ExecGoto(false);
}

// LET of a number (tag 1 or 100) to a numeric scalar or to an element of a one-dimensional array.
[[gnu::always_inline]] inline void ExecLetItem() {
    const int at = Ib.CodeIndex;
    if (at >= 0 && at <= Ib.CodeLimit) {
        const CodeItemType& target = Ib.CodeBuffer.data()[at];
        NumVarType* record =
            target.FirstCode == CodeKind::NumVar ? TableEntry(Tb.NumVarTable, target.SecondCode) : nullptr;
        if (record) {
            const int top = Vs.GlTypeStack.Count;
            const int numbers = Vs.GlNumStack.Count;
            if (record->DimCount == 0 && top >= 1 && numbers >= 1) {
                const int tag = Vs.GlTypeStack.Items.data()[top];
                if (IsNumberTag(tag)) {
                    record->Value = Vs.GlNumStack.Items.data()[numbers];
                    Vs.GlNumStack.Count = numbers - 1;
                    Vs.GlTypeStack.Count = top - 1;
                    Ib.CodeIndex = at + 1;
                    return;
                }
            } else if (record->DimCount == 1 && top >= 2 && numbers >= 2) {
                // the value, then the subscript on top
                const std::int32_t* tags = Vs.GlTypeStack.Items.data();
                const Extended* values = Vs.GlNumStack.Items.data();
                if (tags[top] == GlValueType::Number && IsNumberTag(tags[top - 1])) {
                    if (Extended* element = SimpleElement(*record, values[numbers])) {
                        *element = values[numbers - 1];
                        Vs.GlNumStack.Count = numbers - 2;
                        Vs.GlTypeStack.Count = top - 2;
                        Ib.CodeIndex = at + 1;
                        return;
                    }
                }
            }
        }
    }
    ExecLet();
}

// The loop's own forms of a few statements, and the three that leave the loop; every other statement
// item (and every one without the fast paths) runs through the general dispatch. Returns false when
// the statement leaves the loop (exit in `exit`).
template <bool Fast> [[gnu::always_inline]] inline bool RouteStatement(int code, LoopExit& exit) {
    if constexpr (Fast) {
        switch (code) {
        case St::LET: ExecLetItem(); return true;
        case St::IF: ExecIfItem(); return true;
        case St::GOTO: ExecGotoItem(); return true;
        default: break;
        }
    }
    switch (code) {
    case St::SYSTEM: exit = LoopExit::System; break;
    case St::CONT: exit = LoopExit::Cont; break;
    case St::RUN: exit = LoopExit::Run; break;
    default: ExecuteStatement(code); return true;
    }
    ExecuteStatement(code);
    return false;
}

} // namespace

void ExecSystem() {
    Rc.SystemExitRequest = 1;
}

void ExecCont() {
    // Execute starts again in the resume kind, with every variable and open file as they are.
    if (Rc.GScreenOpen) ExecGRefresh();
    Rc.RunMode = RunKind::Resume;
    Rc.ProgramRunning = 1;
    Rc.ContinueFlag = 1;
    // The stop request is left alone: it was clear when this item began, so a stop asked for
    // since is the user's and ends the resumed run.
    // The stop kept while this immediate command runs belongs to the program being resumed; it
    // must not make the resumed run end as stopped.
    Rc.SavedStopRequest = 0;
    PostRunButtons(RunButtonMode::Run);
}

void ReportStatementNotBuilt(int code) {
    RaiseError(Err::StatementNotSupported, code);
}

void ReportFunctionNotBuilt(int code) {
    RaiseError(Err::FunctionNotSupported, code);
}

// The item at `at` into CurrentItem as the fetch would leave it (past the limit: no item, the cursor
// staying), after a run of decoded statements.
[[gnu::always_inline]] inline void EnterItem(int at, int limit, int& pc) {
    Eng.CurrentItemIndex = at;
    if (at >= 0 && at <= limit) {
        Ib.CurrentItem = Ib.CodeBuffer.data()[at];
        pc = at + 1;
    } else {
        Ib.CurrentItem.FirstCode = CodeKind::None;
        pc = at;
    }
    Ib.CodeIndex = pc;
}

// True when the entry of `at` is decoded, in this generation, as an item for the general path: the
// loop then goes on without calling the decoded run at all.
[[gnu::always_inline]] inline bool IsDecodedGeneric(int at) {
    if (static_cast<std::size_t>(static_cast<unsigned>(at)) >= DecodedCode.size()) return false;
    const DecodedItem& entry = DecodedCode.data()[at];
    return entry.Op == DecodedOp::Generic && entry.Generation == Ib.CodeGeneration;
}

namespace {

// The items between two statement ends (":", a line end, or the edge of the code) form one piece of
// a statement.
bool EndsStatementPiece(const CodeItemType& item) {
    return item.FirstCode <= CodeKind::None ||
           (item.FirstCode == CodeKind::Operator &&
            (item.SecondCode == Op::Colon || item.SecondCode == Op::LineEnd));
}

// Where the statement owning the code item at `at` begins in the text; 0 when that is not known. The
// compiler gives the statement items it writes for a statement the position of its keyword (of the
// target, for an assignment without LET), while the items of its expressions carry their own, later
// positions, and the step that a NEXT takes over from its FOR lies in the NEXT's piece with the FOR's
// positions: so the least position of a statement item in the piece.
int StatementStartAround(int at) {
    const CodeItemType* code = Ib.CodeBuffer.data();
    const int last = static_cast<int>(Ib.CodeBuffer.size()) - 1;
    if (at < 1 || at > last || EndsStatementPiece(code[at])) return 0;
    int first = at;
    while (first > 1 && !EndsStatementPiece(code[first - 1]))
        --first;
    int end = at;
    while (end < last && !EndsStatementPiece(code[end + 1]))
        ++end;
    int start = 0;
    for (int k = first; k <= end; ++k) {
        const CodeItemType& item = code[k];
        if (item.FirstCode == CodeKind::Statement && item.Position >= 1 &&
            (start == 0 || item.Position < start))
            start = item.Position;
    }
    return start;
}

// A statement of two or more words (DO WHILE, LINE INPUT, INPUT #, END IF) has its item at its last
// word: the start of the words before `start` on its line that make one statement with it. THEN and
// ELSE end the statement before them, any other statement word joins the one after it.
int FirstWordOfStatement(int start) {
    const QString& text = Fe.ProgramText;
    if (start < 1 || start > text.size()) return start;
    auto isBlank = [&](int at) {
        return text[at - 1] == QLatin1Char(' ') || text[at - 1] == QLatin1Char('\t');
    };
    auto isLetter = [&](int at) {
        const char16_t c = text[at - 1].unicode();
        return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
    };
    for (;;) {
        int at = start - 1; // 1-based, walking back
        while (at >= 1 && isBlank(at))
            --at;
        const int wordEnd = at;
        while (at >= 1 && isLetter(at))
            --at;
        if (at == wordEnd || (at >= 1 && text[at - 1].isLetterOrNumber())) return start;
        const QString word = text.mid(at, wordEnd - at).toUpper();
        const int slot = SearchStatement(std::u16string_view(reinterpret_cast<const char16_t*>(word.utf16()),
                                                             static_cast<std::size_t>(word.size())));
        if (slot == 0 || slot == St::THEN || slot == St::ELSE) return start;
        start = at + 1;
    }
}

// The error position of an error raised by the item at `failedAt`, `position` as the loop's rule gives
// it. The reported character is the one before the error position, and the rule's "next item less one"
// puts it before the statement when the statement's first item failed (IF X with X a number, the LET
// of a FOR's start): on the end of the line before, or in the indentation. Such an error stands at the
// statement's first character instead; one inside the statement keeps its place.
int NotBeforeStatement(int position, int failedAt) {
    int start = StatementStartAround(failedAt);
    if (start < 1 || position - 1 >= start) return position;
    start = FirstWordOfStatement(start);
    return position - 1 < start ? start + 1 : position;
}

// An error raised by the item just run: positioned, and trapped while EVALFORM traps errors. Normally
// the next item is in hand and the error lies just before it; the item before that one is the last
// the failing executor read, since none jumps and fails. When the failing item itself is still in hand
// (subscripts, the graphics-window check), its own position is the error's. False when the run ends
// with the error.
bool TakeError(int& pc, int& limit) {
    if (Eng.ErrorAtCurrentItem)
        Fe.ErrorPosition = NotBeforeStatement(Ib.CurrentItem.Position, Eng.CurrentItemIndex);
    else
        Fe.ErrorPosition = NotBeforeStatement(Ib.CurrentItem.Position >= 1 ? Ib.CurrentItem.Position - 1 : 0,
                                              Eng.CurrentItemIndex - 1);
    if (Eng.EvalFormTrap == 0) return false;
    if (InTable(Tb.NumVarTable, Eng.EvalFormVarIndex))
        Tb.NumVarTable[static_cast<std::size_t>(Eng.EvalFormVarIndex)].Value = Fe.ErrorNumber;
    Fe.ErrorNumber = 0;
    if (Eng.ErrorAtCurrentItem) FetchCurrentItem(); // never dispatch the failing item again
    LeaveFormulaAtTrappedError();
    pc = Ib.CodeIndex;
    limit = Ib.CodeLimit;
    return true;
}

} // namespace

namespace {

// The loop, in two builds: Fast with every fast path of its own, the fused sequences and the decoded
// statements; the other runs each item by its general executor alone, which the tests hold to the
// same results. The choice is made once per run, so the fast build carries no test of it.
template <bool Fast> LoopExit RunItems() {
    LoopExit exit = LoopExit::End;
    // The loop's own copies of CodeIndex and CodeLimit as the last fetch left them; executors work on
    // the globals, and every fetch reads those afresh.
    int pc = Ib.CodeIndex;
    int limit = Ib.CodeLimit;
    // The index whose decoded statement stopped short: its item runs by the general path next.
    int generalAt = -1;
    // Every run decodes afresh: what an earlier run decoded may describe code since replaced.
    NoteCodeChanged();
    for (;;) {
        // Stop condition, tested before every dispatch.
        const int kind = Ib.CurrentItem.FirstCode;
        if (kind == CodeKind::End) return LoopExit::End;
        if (Rc.StopRequest.load(std::memory_order_relaxed) != 0) [[unlikely]]
            return LoopExit::Stop;
        if (pc > limit) [[unlikely]]
            return LoopExit::End;

        // Decoded statements run from here as far as they go; the item they end on is then in hand.
        if constexpr (Fast) {
            if (Eng.CurrentItemIndex != generalAt &&
                MayBeginDecoded(Ib.CurrentItem.FirstCode, Ib.CurrentItem.SecondCode) &&
                !IsDecodedGeneric(Eng.CurrentItemIndex)) {
                const int start = Eng.CurrentItemIndex;
                bool stoppedShort = false;
                const int at = RunDecoded(start, limit, stoppedShort);
                if (stoppedShort) generalAt = at;
                if (at != start) {
                    EnterItem(at, limit, pc);
                    if (Fe.ErrorNumber == 0) [[likely]]
                        continue;
                    // An error of a procedure item's executor (or a push that found no memory): the next
                    // item is in hand, as after any item.
                    Eng.ErrorAtCurrentItem = false;
                    if (!TakeError(pc, limit)) return LoopExit::Error;
                    continue;
                }
            }
            generalAt = -1;
        }

        const int value = Ib.CurrentItem.SecondCode;
        Eng.ErrorAtCurrentItem = false;
        bool leave = false;

        switch (kind) {
        case CodeKind::Operator:
            if constexpr (Fast)
                ExecOperatorItem(value);
            else
                ExecOperator(value);
            break;
        case CodeKind::Function:
            if constexpr (Fast)
                ExecFunctionItem(value);
            else
                ExecuteFunction(value);
            break;
        case CodeKind::Statement: leave = !RouteStatement<Fast>(value, exit); break;
        case CodeKind::SysNumConst:
            if (value >= 1 && value <= FixedConstSlots) {
                if constexpr (Fast)
                    PushSysNumConst(NumConstTable[static_cast<std::size_t>(value)]);
                else
                    PushNumber(NumConstTable[static_cast<std::size_t>(value)]);
            }
            break;
        case CodeKind::SysStrConst:
            if (value >= 1 && value <= FixedConstSlots)
                GlPushStr(StrConstTable[static_cast<std::size_t>(value)]);
            break;
        case CodeKind::NumLiteral: PushNumLiteral<Fast>(value); break;
        case CodeKind::NumVar:
            if constexpr (Fast)
                PushNumVariable(value);
            else
                PushNumName(value);
            break;
        case CodeKind::LocalNumVar: {
            const long at = static_cast<long>(Ps.NumFrameBase) + value;
            if (InTable(Tb.LocalNumVarTable, at))
                PushNumber(Tb.LocalNumVarTable[static_cast<std::size_t>(at)].Value);
            break;
        }
        case CodeKind::NumArray: GlPushNumArray(value); break;
        case CodeKind::StrLiteral:
            if (InTable(Tb.StrConTable, value)) GlPushStr(Tb.StrConTable[static_cast<std::size_t>(value)]);
            break;
        case CodeKind::StrVar: PushStrName(value); break;
        case CodeKind::LocalStrVar: {
            const long at = static_cast<long>(Ps.StrFrameBase) + value;
            if (InTable(Tb.LocalStrVarTable, at))
                GlPushStr(Tb.LocalStrVarTable[static_cast<std::size_t>(at)].Value);
            break;
        }
        case CodeKind::StrArray: GlPushStrArray(value); break;
        case CodeKind::BoolConst:
            if (value == BoolConstTrue || value == BoolConstFalse)
                GlPushBool(BoolConstTable[static_cast<std::size_t>(value)] != 0);
            break;
        case CodeKind::BoolVar: PushBoolName(value); break;
        case CodeKind::BoolArray: GlPushBoolArray(value); break;
        case CodeKind::PrintSep:
            if (value == Op::Comma)
                PrintNextZone();
            else if (value == PrintSepEnd)
                FlushPrintLine();
            break;
        case CodeKind::PublicNum:
            if (value >= 1 && value <= PublicSlotCount)
                PushNumber(Tb.PublicNumTable[static_cast<std::size_t>(value)].Value);
            break;
        case CodeKind::PublicStr:
            if (value >= 1 && value <= PublicSlotCount)
                GlPushStr(Tb.PublicStrTable[static_cast<std::size_t>(value)].Value);
            break;
        case CodeKind::PublicBool:
            if (value >= 1 && value <= PublicSlotCount)
                GlPushBool(Tb.PublicBoolTable[static_cast<std::size_t>(value)].Value != 0);
            break;
        case CodeKind::PrintFileSep: ExecPrintFileSeparator(value); break;
        case CodeKind::NumArgBind: StoreNumArgument(value); break;
        case CodeKind::StrArgBind: StoreStrArgument(value); break;
        case CodeKind::FrameCountN: PushFrameSizes(value); break;
        case CodeKind::SubFrame: PushSubFrame(value); break;
        default: break; // 0, 41, 42, 45, 71, 83, 85, 90 to 94: nothing
        }

        if (leave) [[unlikely]]
            return exit;

        if (!Eng.ErrorAtCurrentItem) [[likely]]
            FetchNextEffectiveItem<Fast>(pc, limit);
        if (Fe.ErrorNumber != 0) [[unlikely]] {
            if (!TakeError(pc, limit)) return LoopExit::Error;
        } else if (Eng.ErrorAtCurrentItem) [[unlikely]] {
            pc = Ib.CodeIndex; // the item stays in hand (no executor does this without an error)
            limit = Ib.CodeLimit;
        }
    }
}

} // namespace

LoopExit RunLoop() {
    return Eng.FastPathsEnabled ? RunItems<true>() : RunItems<false>();
}

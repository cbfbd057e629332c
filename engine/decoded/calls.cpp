#include "engine/decoded/calls.h"

#include "engine/calls.h"
#include "engine/fastaccess.h"
#include "engine/stacktags.h"
#include "frontend/internalcodes.h"
#include "frontend/itembuffers.h"
#include "frontend/parsecodes.h"
#include "frontend/sharedstate.h"
#include "frontend/tables.h"
#include "frontend/valuestack.h"
#include "frontend/vocabulary.h"

#include <array>
#include <atomic>
#include <deque>

// What an entry of the call sequence knows, resolved when decoding (the entry's Target.Shape).
struct CallShape {
    // Call: where the jump goes, the index it pushes for the return, and the name's record (its entry
    // point and kind, checked at every call as the jump reads them; null for a jump target item).
    std::int32_t Target = 0;
    std::int32_t Return = 0;
    const std::int32_t* NameBase = nullptr;
    const std::uint8_t* NameKind = nullptr;
    std::uint8_t Kind = 0;
    // Enter, and a Call whose jump lands on the callee's frame item: the frame pushed, and where the
    // run goes on after the binds (Call: Entered is false when the callee begins otherwise).
    CallFrameType Frame;
    std::int32_t Body = 0;
    bool Entered = false;
    // Enter and such a Call: the parameters bound; Return: the variables handed back; ReturnSite: the
    // variables that take them. In the order of their items; null for an argument passed by value,
    // whose value is dropped.
    std::uint8_t Count = 0;
    std::array<Extended*, MaxPushedValues> Variables{};
    // ReturnSite: the arithmetic operator after the restore, applied to the two numbers on top
    // (NumberOp::Count for none), the numeric scalar its LET assigns (null: the result stays on the
    // stack), and where the run goes on after them.
    std::uint8_t Operation = NumberOp::Count;
    NumVarType* Assigned = nullptr;
    std::int32_t AfterOperation = 0;
};

namespace {

using Decoding::Item;

// The shapes of this generation; a deque, so that the entries' pointers stay valid as it grows.
std::deque<CallShape> Shapes;
std::uint64_t ShapesGeneration = 0;

bool IsStatementAt(int at, int limit, int code) {
    return at <= limit && Item(at).FirstCode == CodeKind::Statement && Item(at).SecondCode == code;
}

template <typename Table> auto* RecordAt(Table& table, int index) {
    return index >= 0 && static_cast<std::size_t>(index) < table.size()
               ? &table[static_cast<std::size_t>(index)]
               : nullptr;
}

// A new shape for `entry`, in this generation's list.
CallShape& NewShape(DecodedItem& entry) {
    if (ShapesGeneration != Ib.CodeGeneration) {
        Shapes.clear();
        ShapesGeneration = Ib.CodeGeneration;
    }
    CallShape& shape = Shapes.emplace_back();
    entry.Target.Shape = &shape;
    return shape;
}

// The entry point in a SUB or FUNCTION name's record, as the jump reads it.
template <typename Record>
bool Callee(Record* record, std::uint8_t kind1, std::uint8_t kind2, CallShape& shape) {
    if (!record || (record->Kind != kind1 && record->Kind != kind2)) return false;
    shape.Target = record->Base;
    shape.NameBase = &record->Base;
    shape.NameKind = &record->Kind;
    shape.Kind = record->Kind;
    return true;
}

// The name records are held by pointer, so only from the tables whose moves start a new generation
// (DecodedTablesMoved); a boolean FUNCTION's jump runs by its executor.
bool ResolveCallee(const CodeItemType& name, CallShape& shape) {
    const int index = name.SecondCode;
    switch (name.FirstCode) {
    case CodeKind::NumVar:
        return Callee(RecordAt(Tb.NumVarTable, index), NumVarKind::SubName, NumVarKind::FunctionName, shape);
    case CodeKind::StrVar:
        return Callee(RecordAt(Tb.StrVarTable, index), StrVarKind::FunctionName, StrVarKind::FunctionName,
                      shape);
    case CodeKind::JumpTarget: shape.Target = index; return true;
    default: return false;
    }
}

bool DecodeFrameAndBinds(int at, int limit, CallShape& shape);

// LoPushAll, SubJump and the callee's name.
bool DecodeCall(DecodedItem& entry, int at, int limit) {
    if (!IsStatementAt(at, limit, InSt::LoPushAll) || !IsStatementAt(at + 1, limit, InSt::SubJump) ||
        at + 2 > limit)
        return false;
    CallShape shape;
    if (!ResolveCallee(Item(at + 2), shape) || !IsJumpIndex(shape.Target)) return false;
    shape.Return = at + 3; // the jump has read its name
    // The callee's frame and binds, read from the items the jump lands on: they belong to this
    // generation as the call does, so the call runs them without looking up the callee's entry.
    if (shape.Target <= limit && Item(shape.Target).FirstCode == CodeKind::SubFrame)
        shape.Entered = DecodeFrameAndBinds(shape.Target, limit, shape);
    NewShape(entry) = shape;
    entry.Op = DecodedOp::Call;
    entry.Next = shape.Target;
    return true;
}

// A run of GlPop (or GlPush) items with numeric variables (GlPop: or by-value arguments) from `at`, into
// the shape; returns the index after the run.
int DecodeVariableRun(int at, int limit, int code, CallShape& shape) {
    while (shape.Count < MaxPushedValues && IsStatementAt(at, limit, code) && at + 1 <= limit) {
        const CodeItemType& operand = Item(at + 1);
        NumVarType* record =
            operand.FirstCode == CodeKind::NumVar ? RecordAt(Tb.NumVarTable, operand.SecondCode) : nullptr;
        if (!record && !(code == InSt::GlPop && operand.FirstCode == CodeKind::DummyCode)) break;
        shape.Variables[shape.Count++] = record ? &record->Value : nullptr;
        at = Decoding::StepOverInert(at + 2, limit);
    }
    return at;
}

// The callee's frame item with its five words, and its parameter binds, into the shape (Frame,
// Variables, Body).
bool DecodeFrameAndBinds(int at, int limit, CallShape& shape) {
    constexpr int FrameItems = 6;
    if (at + FrameItems - 1 > limit) return false;
    shape.Frame = CallFrames::FrameOfItems(Item(at).SecondCode, &Item(at + 1));
    const int body =
        DecodeVariableRun(Decoding::StepOverInert(at + FrameItems, limit), limit, InSt::GlPop, shape);
    shape.Body = Decoding::Continuation(body, limit);
    return true;
}

bool DecodeEnter(DecodedItem& entry, int at, int limit) {
    CallShape shape;
    if (!DecodeFrameAndBinds(at, limit, shape)) return false;
    NewShape(entry) = shape;
    entry.Op = DecodedOp::Enter;
    entry.Next = shape.Body;
    return true;
}

// The hand-backs (GlPush of numeric variables) and END SUB or END FUNCTION.
bool DecodeReturn(DecodedItem& entry, int at, int limit) {
    CallShape shape;
    const int end = DecodeVariableRun(at, limit, InSt::GlPush, shape);
    if (!IsStatementAt(end, limit, St::ENDSUB) && !IsStatementAt(end, limit, St::ENDFUNCTION)) return false;
    NewShape(entry) = shape;
    entry.Op = DecodedOp::Return;
    entry.Next = end;
    return true;
}

// LoPopAll and the hand-backs taken; then, where the items do that, an arithmetic operator on the two
// numbers on top and a LET of its result.
bool DecodeReturnSite(DecodedItem& entry, int at, int limit) {
    CallShape shape;
    const int after = DecodeVariableRun(Decoding::StepOverInert(at + 1, limit), limit, InSt::GlPop, shape);
    entry.Next = Decoding::Continuation(after, limit);
    const int op = Decoding::StepOverBrackets(after, limit);
    const CodeItemType& item = Item(op);
    const std::uint8_t operation = op <= limit && item.FirstCode == CodeKind::Operator
                                       ? Numeric::OperationOfSlot(item.SecondCode)
                                       : NumberOp::Count;
    if (operation != NumberOp::Count && !Numeric::IsComparison(operation)) {
        shape.Operation = operation;
        entry.Next = op; // where the operator runs by itself when the numbers are not for it
        shape.AfterOperation = Decoding::Continuation(op + 1, limit);
        const int let = Decoding::StepOverBrackets(op + 1, limit);
        if (IsStatementAt(let, limit, St::LET) && let + 1 <= limit &&
            Item(let + 1).FirstCode == CodeKind::NumVar) {
            if (NumVarType* record = RecordAt(Tb.NumVarTable, Item(let + 1).SecondCode)) {
                shape.Assigned = record;
                shape.AfterOperation = Decoding::Continuation(let + 2, limit);
            }
        }
    }
    NewShape(entry) = shape;
    entry.Op = DecodedOp::ReturnSite;
    return true;
}

// ---- running ------------------------------------------------------------------------------------------

// Whether the top `count` entries of the Gl stack are numbers.
[[gnu::always_inline]] inline bool NumbersOnTop(int count) {
    const int top = Vs.GlTypeStack.Count;
    if (top < count || Vs.GlNumStack.Count < count) return false;
    const std::int32_t* tags = Vs.GlTypeStack.Items.data() + top;
    for (int k = 0; k < count; ++k)
        if (!IsNumberTag(tags[-k])) return false;
    return true;
}

// Room on the Gl stack for `count` more numbers (growing it, which nothing can see, where needed).
[[gnu::always_inline]] inline bool RoomForNumbers(int count) {
    return count <= 0 || (Vs.GlNumStack.Reserve(count) && Vs.GlTypeStack.Reserve(count));
}

// Pushes onto a Gl stack with room for them.
[[gnu::always_inline]] inline void PushNumbers(const Extended* values, int count) {
    Extended* numbers = Vs.GlNumStack.Items.data() + Vs.GlNumStack.Count;
    std::int32_t* tags = Vs.GlTypeStack.Items.data() + Vs.GlTypeStack.Count;
    for (int k = 1; k <= count; ++k) {
        CopyNumber(numbers + k, values + k - 1);
        tags[k] = GlValueType::Number;
    }
    Vs.GlNumStack.Count += count;
    Vs.GlTypeStack.Count += count;
}

// The variables (null: a value dropped) take `count` values in hand, the last of them (the top) first;
// one or two values, the commonest, without the loop.
[[gnu::always_inline]] inline void BindAll(Extended* const* variables, const Extended* values, int count) {
    if (count == 1) {
        if (variables[0]) CopyNumber(variables[0], values);
        return;
    }
    if (count == 2) {
        if (variables[0]) CopyNumber(variables[0], values + 1);
        if (variables[1]) CopyNumber(variables[1], values);
        return;
    }
    for (int k = count - 1; k >= 0; --k, ++variables)
        if (*variables) CopyNumber(*variables, values + k);
}

// Takes the shape's variables from `count` values in hand (the last is the top, taken first), then
// from the Gl stack (already checked to hold numbers enough). Values in hand that no variable takes are
// the deepest: they go onto the Gl stack, where the general path leaves them.
[[gnu::always_inline]] inline void TakeValues(const CallShape& shape, const Extended* values, int count) {
    const int variables = shape.Count;
    if (variables == 0) {
        if (count > 0) PushNumbers(values, count);
        return;
    }
    if (count > variables) {
        PushNumbers(values, count - variables);
        values += count - variables;
        count = variables;
    }
    BindAll(shape.Variables.data(), values, count);
    Extended* const* variable = shape.Variables.data() + count;
    const int fromStack = variables - count;
    if (fromStack <= 0) return;
    const Extended* stacked = Vs.GlNumStack.Items.data() + Vs.GlNumStack.Count;
    for (int k = 0; k < fromStack; ++k, ++variable)
        if (*variable) CopyNumber(*variable, stacked - k);
    Vs.GlNumStack.Count -= fromStack;
    Vs.GlTypeStack.Count -= fromStack;
}

// Whether the shape's variables can take `count` values in hand and the Gl stack below them.
[[gnu::always_inline]] inline bool CanTakeValues(const CallShape& shape, int count) {
    return count >= shape.Count ? RoomForNumbers(count - shape.Count) : NumbersOnTop(shape.Count - count);
}

// The decoded entry of `at` when it is `op` in this generation, else null. The decoded run has made
// the decoded side cover 1 .. limit.
[[gnu::always_inline]] inline const DecodedItem* DecodedAs(int at, std::uint8_t op, int limit) {
    if (static_cast<unsigned>(at - 1) >= static_cast<unsigned>(limit)) return nullptr;
    const DecodedItem& entry = DecodedCode[static_cast<std::size_t>(at)];
    return entry.Generation == Ib.CodeGeneration && entry.Op == op ? &entry : nullptr;
}

[[gnu::always_inline]] inline bool StopRequested() {
    return Fe.StopRequest.load(std::memory_order_relaxed) != 0;
}

// The callee's frame and binds, with `count` values in hand; false (nothing done) when the frame
// item's or a bind's own check would fail.
[[gnu::always_inline]] inline bool EnterFrame(const CallShape& shape, const Extended* values, int count) {
    if (Vs.CallFrameStack.Count >= MaxCallDepth || !Vs.CallFrameStack.Reserve()) return false;
    if (count == shape.Count) {
        // A call whose binds take all its values, the commonest: nothing to check on the Gl stack.
        Vs.CallFrameStack.Items.data()[++Vs.CallFrameStack.Count] = shape.Frame;
        BindAll(shape.Variables.data(), values, count);
        return true;
    }
    if (!CanTakeValues(shape, count)) return false;
    Vs.CallFrameStack.Items.data()[++Vs.CallFrameStack.Count] = shape.Frame;
    TakeValues(shape, values, count);
    return true;
}

// The caller's side of the return, with `count` hand-backs in hand (above the Gl stack, which has
// room for them: the Return made sure of it); false (nothing done) when the restore or a take would
// fail.
[[gnu::always_inline]] inline int ReturnSite(const DecodedItem& entry, const Extended* values, int count) {
    const CallShape& shape = *entry.Target.Shape;
    if ((count < shape.Count && !NumbersOnTop(shape.Count - count)) || !RestoreFrameLocals())
        return CallStoppedShort;
    // The operator after it applies to the two numbers on top, as its item does it when both are plain
    // numbers and the result is finite; in any other case the operator's item runs next. A function's
    // value in hand is the top one.
    const bool inHand = count == shape.Count + 1;
    if (shape.Operation == NumberOp::Count || (count != 0 && !inHand) ||
        (shape.Assigned && shape.Assigned->DimCount != 0)) {
        TakeValues(shape, values, count);
        return entry.Next;
    }
    const int below = inHand ? 1 : 2; // the operands on the Gl stack
    const int top = Vs.GlTypeStack.Count;
    const int numbers = Vs.GlNumStack.Count;
    const std::int32_t* tags = Vs.GlTypeStack.Items.data();
    if (top < below || numbers < below || tags[top] != GlValueType::Number ||
        (!inHand && tags[top - 1] != GlValueType::Number)) {
        TakeValues(shape, values, count);
        return entry.Next;
    }
    Extended* stacked = Vs.GlNumStack.Items.data();
    const Extended b = inHand ? values[0] : stacked[numbers];
    const Extended result = ApplyArithmetic(shape.Operation, stacked[numbers - below + 1], b);
    if (IsStoppedShort(result)) {
        TakeValues(shape, values, count);
        return entry.Next;
    }
    TakeValues(shape, values + count - shape.Count, shape.Count);
    if (shape.Assigned) {
        shape.Assigned->Value = result;
        Vs.GlNumStack.Count = numbers - below;
        Vs.GlTypeStack.Count = top - below;
    } else {
        stacked[numbers - below + 1] = result; // A's entry, tagged a number, takes the result
        Vs.GlNumStack.Count = numbers - below + 1;
        Vs.GlTypeStack.Count = top - below + 1;
    }
    return shape.AfterOperation;
}

// The hand-backs onto the Gl stack, where the caller's side takes them item by item; with no memory for
// them, the frame and the return index are put back (still in place above the counts) and the Return
// runs item by item, to fail as the general path fails.
[[gnu::noinline]] int PushHandBacks(const Extended* values, int count, int back) {
    if (!RoomForNumbers(count)) {
        ++Vs.CallFrameStack.Count;
        ++Vs.CallReturnStack.Count;
        return CallStoppedShort;
    }
    PushNumbers(values, count);
    return back;
}

// The hand-backs pushed, the frame and the return index dropped; the caller's side at once when it is
// decoded, the hand-backs handed over directly.
int Return(const DecodedItem& entry, int limit) {
    const CallShape& shape = *entry.Target.Shape;
    const int count = shape.Count;
    if (Vs.CallFrameStack.Count < 1 || Vs.CallReturnStack.Count < 1) return CallStoppedShort;
    Extended values[MaxPushedValues];
    for (int k = 0; k < count; ++k)
        CopyNumber(values + k, shape.Variables[static_cast<std::size_t>(k)]);
    --Vs.CallFrameStack.Count;
    const int back = Vs.CallReturnStack.Items.data()[Vs.CallReturnStack.Count--];
    if (!StopRequested()) {
        if (const DecodedItem* site = DecodedAs(back, DecodedOp::ReturnSite, limit)) {
            const int next = ReturnSite(*site, values, count);
            if (next != CallStoppedShort) return next;
        }
    }
    return PushHandBacks(values, count, back);
}

} // namespace

bool DecodeCallSequence(DecodedItem& entry, int start, int limit) {
    const CodeItemType& item = Item(start);
    if (item.FirstCode == CodeKind::SubFrame) return DecodeEnter(entry, start, limit);
    if (item.FirstCode != CodeKind::Statement) return false;
    switch (item.SecondCode) {
    case InSt::LoPushAll: return DecodeCall(entry, start, limit);
    case InSt::LoPopAll: return DecodeReturnSite(entry, start, limit);
    case InSt::GlPush:
    case St::ENDSUB:
    case St::ENDFUNCTION: return DecodeReturn(entry, start, limit);
    default: return false;
    }
}

bool DecodeCallAfterValues(DecodedItem& entry, int end, int limit) {
    return DecodeCall(entry, Decoding::StepOverInert(end, limit), limit);
}

namespace {

// Whether the callee's name no longer names the entry point decoded (the jump's own check then runs).
[[gnu::always_inline]] inline bool CalleeMoved(const CallShape& shape) {
    return shape.NameBase && (*shape.NameKind != shape.Kind || *shape.NameBase != shape.Target);
}

// Every call: the callee as the jump finds it, its frame and binds when decoded, the values on the Gl
// stack otherwise; any stack grown where needed.
[[gnu::noinline]] int CallInGeneral(const DecodedItem& entry, const Extended* values) {
    const CallShape& shape = *entry.Target.Shape;
    const int count = entry.ValueCount;
    // Everything the general path could fail at, before anything is done: the values' pushes, the
    // save of the locals (all or nothing), the return index and the callee as the jump finds it.
    if (CalleeMoved(shape)) return CallStoppedShort;
    if (Vs.CallReturnStack.Count >= MaxCallDepth || !Vs.CallReturnStack.Reserve() || !RoomForNumbers(count))
        return CallStoppedShort;
    if (!SaveFrameLocals()) return CallStoppedShort;
    Vs.CallReturnStack.Items.data()[++Vs.CallReturnStack.Count] = shape.Return;
    // The callee's frame and binds take the values in hand; otherwise they go onto the Gl stack and the
    // run goes on at the callee's first item, as after the jump.
    if (shape.Entered && !StopRequested() && EnterFrame(shape, values, count)) return shape.Body;
    PushNumbers(values, count);
    return shape.Target;
}

} // namespace

int RunCall(const DecodedItem& entry, const Extended* values, int) {
    // The commonest call in one pass that calls nothing and grows nothing: the callee's frame and
    // binds decoded and taking every value, every stack with room as it is, the caller's frame of
    // numbers alone (or none). It checks all of that before it changes anything, and leaves every
    // other case to the general one from the start.
    const CallShape& shape = *entry.Target.Shape;
    const int count = entry.ValueCount;
    if (!shape.Entered || count != shape.Count) return CallInGeneral(entry, values);
    if (CalleeMoved(shape)) return CallStoppedShort;
    const int returns = Vs.CallReturnStack.Count;
    const int frames = Vs.CallFrameStack.Count;
    // The values go straight to the callee's variables: the Gl stack, which the general path grows for
    // them, is not touched.
    if (returns >= MaxCallDepth || returns >= Vs.CallReturnStack.Capacity || frames >= MaxCallDepth ||
        frames >= Vs.CallFrameStack.Capacity)
        return CallInGeneral(entry, values);
    CallFrameType* const frame = Vs.CallFrameStack.Items.data() + frames;
    CallFrames::NumberRun run;
    if (frames >= 1) {
        if (!CallFrames::NumbersOnly(*frame, run) || Vs.LoTypeStack.Count + run.Count > MaxSavedLocals ||
            Vs.LoTypeStack.Count + run.Count > Vs.LoTypeStack.Capacity ||
            Vs.LoNumStack.Count + run.Count > Vs.LoNumStack.Capacity || !CallFrames::CopyAboveTops(run))
            return CallInGeneral(entry, values);
    }
    if (StopRequested()) return CallInGeneral(entry, values);
    CallFrames::TakeCopyIn(run);
    Vs.CallReturnStack.Items.data()[returns + 1] = shape.Return;
    Vs.CallReturnStack.Count = returns + 1;
    frame[1] = shape.Frame;
    Vs.CallFrameStack.Count = frames + 1;
    BindAll(shape.Variables.data(), values, count);
    return shape.Body;
}

namespace {
// Enter and ReturnSite on their own, with their values on the Gl stack: out of line, so that the
// return, which runs at every call, keeps the registers to itself.
[[gnu::noinline]] int EnterAlone(const DecodedItem& entry) {
    return EnterFrame(*entry.Target.Shape, nullptr, 0) ? entry.Next : CallStoppedShort;
}
[[gnu::noinline]] int ReturnSiteAlone(const DecodedItem& entry) {
    return ReturnSite(entry, nullptr, 0);
}
} // namespace

int RunReturn(const DecodedItem& entry, int limit) {
    return Return(entry, limit);
}

int RunCallSequence(const DecodedItem& entry, int) {
    return entry.Op == DecodedOp::Enter ? EnterAlone(entry) : ReturnSiteAlone(entry);
}

int CallReturnIndex(const DecodedItem& entry) {
    return entry.Target.Shape->Return;
}

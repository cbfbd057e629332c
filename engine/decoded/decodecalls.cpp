// The decoder of procedure calls: the four entries of a call's sequence (Call, Enter, Return,
// ReturnSite) read from their items, their operands resolved once into the entry's shape.
#include "engine/decoded/decodecalls.h"

#include "core/internalcodes.h"
#include "core/itembuffers.h"
#include "core/parsecodes.h"
#include "core/tables.h"
#include "core/vocabulary.h"
#include "engine/calls.h"
#include "engine/decoded/callshape.h"
#include "engine/decoded/reading.h"
#include "engine/fastaccess.h"

#include <deque>

namespace {

using Decoding::IsStatementAt;
using Decoding::Item;

// The shapes of this generation; a deque, so that the entries' pointers stay valid as it grows.
std::deque<CallShape> Shapes;
std::uint64_t ShapesGeneration = 0;

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
    CallFrames::NumberRun run;
    if (CallFrames::NumbersOnly(shape.Frame, run) && run.Count > 0) shape.FrameNumbers = run.Records;
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

// A LET of a numeric variable at `let`: its record into the shape (Assigned) and where the run goes on
// after it (AfterOperation).
void DecodeAssignment(int let, int limit, CallShape& shape) {
    if (!IsStatementAt(let, limit, St::LET) || let + 1 > limit || Item(let + 1).FirstCode != CodeKind::NumVar)
        return;
    if (NumVarType* record = RecordAt(Tb.NumVarTable, Item(let + 1).SecondCode)) {
        shape.Assigned = record;
        shape.AfterOperation = Decoding::Continuation(let + 2, limit);
    }
}

// LoPopAll and the hand-backs taken; then, where the items do that, an arithmetic operator on the two
// numbers on top and a LET of its result, or a LET of the function's value itself.
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
        DecodeAssignment(Decoding::StepOverBrackets(op + 1, limit), limit, shape);
    } else if (operation == NumberOp::Count) {
        DecodeAssignment(op, limit, shape);
    }
    NewShape(entry) = shape;
    entry.Op = DecodedOp::ReturnSite;
    return true;
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

std::size_t CallShapeBytes() {
    return Shapes.size() * sizeof(CallShape);
}

void ReleaseCallShapes() {
    std::deque<CallShape>().swap(Shapes);
}

// What the statement compiler's generators share: the block stacks, reading the pre-code, writing code
// items, the expression forms and the gathering and conversion of one expression. It calls no
// generator; the driver that does is parseprogram.cpp.
#include "frontend/parse.h"

#include "core/errornumbers.h"
#include "core/internalcodes.h"
#include "core/itembuffers.h"
#include "core/raiseerror.h"
#include "frontend/compilerstate.h"

#include <cmath>

namespace LXParse {

void BlockStacks::Clear() {
    IfStack.Count = 0;
    ForStack.Count = 0;
    ExitForList.Count = 0;
    ExitProcList.Count = 0;
    LoopStack.Count = 0;
    SelectStack.Count = 0;
    IndexStack.Count = 0;
    SwapStack1.Count = 0;
    SwapStack2.Count = 0;
    CaseSlotStack.Count = 0;
    EndSelectStack.Count = 0;
    ProcItemStack.Count = 0;
    CallArgStack.Count = 0;
}

// ---- reading ---------------------------------------------------------------------------------------------

void ReadItem(CodeItemType& item) {
    GetPreCode(item);
    Cs.Parse.PreCodeItem = item;
}

void LookItem(CodeItemType& item) {
    PeekPreCode(item);
    Cs.Parse.PreCodeItem = item;
}

void UnreadItem() {
    --Ib.PreCodeIndex;
}

bool ReadOperator(int slot) {
    CodeItemType item;
    ReadItem(item);
    return IsOperator(item, slot);
}

bool NextIsStatementEnd() {
    CodeItemType item;
    LookItem(item);
    return IsStatementEnd(item);
}

// ---- item tests
// ---------------------------------------------------------------------------------------------

bool IsStatementEnd(const CodeItemType& item) {
    return item.FirstCode == CodeKind::End || item.FirstCode == CodeKind::None ||
           IsOperator(item, Op::Colon) || IsOperator(item, Op::LineEnd);
}

bool IsChannelNumber(Extended value) {
    constexpr int FirstChannel = 1;
    for (int channel = FirstChannel; channel <= FileChannelCount; ++channel)
        if (value == static_cast<Extended>(channel)) return true;
    return false;
}

namespace {

template <typename Record> Record* RecordAt(std::vector<Record>& table, int index) {
    if (index < 1 || static_cast<std::size_t>(index) >= table.size()) return nullptr;
    return &table[static_cast<std::size_t>(index)];
}

} // namespace

NumVarType* NumRecord(const CodeItemType& item) {
    if (item.FirstCode != CodeKind::NumVar && item.FirstCode != CodeKind::NumArray) return nullptr;
    return RecordAt(Tb.NumVarTable, item.SecondCode);
}

StrVarType* StrRecord(const CodeItemType& item) {
    if (item.FirstCode != CodeKind::StrVar && item.FirstCode != CodeKind::StrArray) return nullptr;
    return RecordAt(Tb.StrVarTable, item.SecondCode);
}

BoolVarType* BoolRecord(const CodeItemType& item) {
    if (item.FirstCode != CodeKind::BoolVar && item.FirstCode != CodeKind::BoolArray) return nullptr;
    return RecordAt(Tb.BoolVarTable, item.SecondCode);
}

bool IsArrayParameter(const CodeItemType& item) {
    if (const NumVarType* r = NumRecord(item)) return r->Kind == NumVarKind::ArrayParameter;
    if (const StrVarType* r = StrRecord(item)) return r->Kind == StrVarKind::ArrayParameter;
    if (const BoolVarType* r = BoolRecord(item)) return r->Kind == BoolVarKind::ArrayParameter;
    return false;
}

bool IsArrayName(const CodeItemType& item) {
    if (IsArrayParameter(item)) return true;
    if (const NumVarType* r = NumRecord(item)) return r->Kind == NumVarKind::Array;
    if (const StrVarType* r = StrRecord(item)) return r->Kind == StrVarKind::Array;
    if (const BoolVarType* r = BoolRecord(item)) return r->Kind == BoolVarKind::Array;
    return false;
}

int DeclaredDimCount(const CodeItemType& item) {
    if (const NumVarType* r = NumRecord(item)) return r->DimCount;
    if (const StrVarType* r = StrRecord(item)) return r->DimCount;
    if (const BoolVarType* r = BoolRecord(item)) return r->DimCount;
    return 0;
}

// ---- writing
// ------------------------------------------------------------------------------------------------

void Emit(int kind, int value) {
    AddCode(CodeItemType{kind, value, Cs.Parse.StatementPosition});
}
void Emit(int kind, int value, int position) {
    AddCode(CodeItemType{kind, value, position});
}
void EmitColon() {
    Emit(CodeKind::Operator, Op::Colon);
}
void EmitLineEnd() {
    Emit(CodeKind::Operator, Op::LineEnd);
}
void EmitGlPush() {
    Emit(CodeKind::Statement, InSt::GlPush);
}
void EmitGlPop() {
    Emit(CodeKind::Statement, InSt::GlPop);
}

int EmitJumpSlot() {
    const int slot = Ib.CodeIndex;
    Emit(CodeKind::JumpTarget, 0);
    return slot;
}

void PatchJumpAhead(int offset, int slot) {
    if (slot < 0 || slot > Ib.CurrentmaxCodeNum ||
        Ib.CodeBuffer[static_cast<std::size_t>(slot)].FirstCode != CodeKind::JumpTarget) {
        RaiseError(Err::SyntaxError);
        return;
    }
    CodeItemType target = Ib.CodeBuffer[static_cast<std::size_t>(slot)];
    target.SecondCode = Ib.CodeIndex + offset;
    SetCodeItem(slot, target);
}

void PatchJump(int slot) {
    PatchJumpAhead(0, slot);
}

void ClearItemBuffer(ItemBuffer& buffer) {
    buffer.fill(CodeItemType{});
}

int ExpressionCloseIndex(const ItemBuffer& buffer) {
    for (int i = 1; i <= ItemBufferSize; ++i) {
        const CodeItemType& item = buffer[static_cast<std::size_t>(i)];
        if (item.FirstCode <= CodeKind::None) return 0;
        if (item.FirstCode == CodeKind::ExprClose) return i;
    }
    return 0;
}

void EmitExpressionBody(const ItemBuffer& buffer) {
    const int close = ExpressionCloseIndex(buffer);
    for (int i = 2; i < close && Fe.ErrorNumber == 0; ++i)
        AddCode(buffer[static_cast<std::size_t>(i)]);
}

// ---- statement ends and expression forms ------------------------------------------------------------------

void ExpectStatementEndNaming(int nameIndex) {
    CodeItemType item;
    LookItem(item);
    if (!IsStatementEnd(item)) {
        RaiseError(Err::StatementNotEnded, nameIndex);
    }
}

void ExpectStatementEnd() {
    ExpectStatementEndNaming(Cs.Parse.StatementCode);
}

namespace {

bool FormMismatch() {
    RaiseError(Err::ExpressionFormMismatch);
    return false;
}

} // namespace

bool CompileExpression() {
    ItemBuffer buffer;
    ParseExpression(buffer);
    if (Fe.ErrorNumber != 0) return false;
    if (IsEmptyExpression(buffer)) return FormMismatch();
    EmitExpression(buffer);
    return Fe.ErrorNumber == 0;
}

bool CompileExpressionToEnd() {
    if (!CompileExpression()) return false;
    return NextIsStatementEnd() || FormMismatch();
}

bool CompileExpressionThenComma() {
    if (!CompileExpression()) return false;
    CodeItemType item;
    LookItem(item);
    return IsOperator(item, Op::Comma) || IsStatementEnd(item) || FormMismatch();
}

bool CompileBracketList(int count) {
    if (!ReadOperator(Op::OpenBracket)) return FormMismatch();
    for (int i = 1; i <= count; ++i) {
        if (!CompileExpression()) return false;
        if (!ReadOperator(i < count ? Op::Comma : Op::CloseBracket)) return FormMismatch();
    }
    return true;
}

bool CompileTwoExpressions() {
    if (!CompileExpression()) return false;
    if (!ReadOperator(Op::Comma)) return FormMismatch();
    return CompileExpressionToEnd();
}

bool CompileExpressionAsExpression() {
    if (!CompileExpression()) return false;
    CodeItemType item;
    ReadItem(item);
    if (!IsStatementItem(item, St::AS)) return FormMismatch();
    return CompileExpressionToEnd();
}

void FillOptionalArguments(int count, bool commaImplied) {
    // The placeholders stay where no argument replaces them; CodeIndex walks over them.
    Ib.CodeIndex -= count;
    int used = 0;
    CodeItemType item;
    bool comma = commaImplied;
    while (true) {
        if (!comma) {
            ReadItem(item);
            if (IsStatementEnd(item)) {
                UnreadItem();
                break;
            }
            if (!IsOperator(item, Op::Comma)) {
                Ib.CodeIndex += count - used;
                RaiseError(Err::ExpressionFormMismatch);
                return;
            }
            if (used >= count) { // more arguments than the statement takes: left for the end check
                UnreadItem();
                break;
            }
        }
        comma = false;
        LookItem(item);
        if (IsOperator(item, Op::Comma) || IsStatementEnd(item)) {
            ++Ib.CodeIndex; // an empty argument keeps its placeholder
            ++used;
            continue;
        }
        if (item.FirstCode != CodeKind::NumLiteral && item.FirstCode != CodeKind::NumVar) {
            Ib.CodeIndex += count - used;
            RaiseError(Err::ExpressionFormMismatch);
            return;
        }
        ReadItem(item);
        AddCode(item);
        ++used;
    }
    Ib.CodeIndex += count - used;
}

} // namespace LXParse

// ---- expressions
// ------------------------------------------------------------------------------------------------

namespace {

using namespace LXParse;

// Items that end an expression: statements, statement ends, ";", and "," or ")" outside brackets.
bool EndsExpression(const CodeItemType& item, int depth) {
    if (item.FirstCode == CodeKind::Statement || item.FirstCode < CodeKind::Operator) return true;
    if (item.FirstCode != CodeKind::Operator) return false;
    switch (item.SecondCode) {
    case Op::LineEnd:
    case Op::Colon:
    case Op::Semicolon: return true;
    case Op::Comma:
    case Op::CloseBracket: return depth == 0;
    default: return false;
    }
}

// A user FUNCTION name, called like a built-in function.
bool IsUserFunctionName(const CodeItemType& item) {
    if (const NumVarType* r = NumRecord(item)) return r->Kind == NumVarKind::FunctionName;
    if (const StrVarType* r = StrRecord(item)) return r->Kind == StrVarKind::FunctionName;
    if (const BoolVarType* r = BoolRecord(item)) return r->Kind == BoolVarKind::FunctionName;
    return false;
}

bool ExpressionTooLong(ItemBuffer& out) {
    ClearItemBuffer(out);
    RaiseError(ExpressionTooLongError);
    return false;
}

// Writes the converted items into `out` between the brackets 41 and 42, expanding each user FUNCTION
// name into the call sequence that saves the caller's locals, jumps and restores them.
bool BuildExpression(const ItemBuffer& postfix, int position, ItemBuffer& out) {
    constexpr int CallSequenceLength = 5;
    int postfixCount = 0;
    while (postfixCount < ItemBufferSize &&
           postfix[static_cast<std::size_t>(postfixCount + 1)].FirstCode > CodeKind::None)
        ++postfixCount;
    int next = 1;
    out[static_cast<std::size_t>(next++)] = CodeItemType{CodeKind::ExprOpen, 0, position};
    for (int i = 1; i <= postfixCount; ++i) {
        const CodeItemType& item = postfix[static_cast<std::size_t>(i)];
        const int needed = IsUserFunctionName(item) ? CallSequenceLength : 1;
        if (next + needed > ItemBufferSize) return ExpressionTooLong(out); // one slot stays for 42
        if (needed == 1) {
            out[static_cast<std::size_t>(next++)] = item;
            continue;
        }
        CodeItemType name = item;
        if (name.FirstCode == CodeKind::NumArray) name.FirstCode = CodeKind::NumVar;
        const int at = item.Position;
        out[static_cast<std::size_t>(next++)] = CodeItemType{CodeKind::Statement, InSt::LoPushAll, at};
        out[static_cast<std::size_t>(next++)] = CodeItemType{CodeKind::Statement, InSt::SubJump, at};
        out[static_cast<std::size_t>(next++)] = name;
        out[static_cast<std::size_t>(next++)] = CodeItemType{CodeKind::Operator, Op::LineEnd, at};
        out[static_cast<std::size_t>(next++)] = CodeItemType{CodeKind::Statement, InSt::LoPopAll, at};
    }
    // The closing item takes the position of the item at the postfix count's own slot plus one.
    out[static_cast<std::size_t>(next)] =
        CodeItemType{CodeKind::ExprClose, 0, out[static_cast<std::size_t>(postfixCount + 1)].Position};
    return true;
}

} // namespace

void ParseExpression(ItemBuffer& out) {
    ItemBuffer gathered;
    ClearItemBuffer(gathered);
    ClearItemBuffer(out);
    CodeItemType item;
    ReadItem(item);
    const int position = item.Position;
    int count = 0;
    int depth = 0;
    bool first = true;
    CodeItemType previous;
    while (!EndsExpression(item, depth)) {
        if (IsOperator(item, Op::OpenBracket)) ++depth;
        if (IsOperator(item, Op::CloseBracket)) --depth;
        // A sign is unary at the start and after any operator but ")".
        const bool unary =
            first || (previous.FirstCode == CodeKind::Operator && previous.SecondCode != Op::CloseBracket);
        first = false;
        previous = item;
        if (!(unary && IsOperator(item, Op::Plus))) {
            if (count >= PolishItemLimit) {
                ExpressionTooLong(out);
                return;
            }
            CodeItemType copy = item;
            if (unary && IsOperator(item, Op::Minus)) copy.SecondCode = Op::ChgSgn;
            gathered[static_cast<std::size_t>(++count)] = copy;
        }
        ReadItem(item);
    }
    UnreadItem();
    if (count == 0) return;
    ToPolish(gathered, gathered, Fe.ErrorNumber);
    if (Fe.ErrorNumber != 0) return;
    BuildExpression(gathered, position, out);
}

void EmitExpression(const ItemBuffer& buffer) {
    for (int i = 1; i <= ItemBufferSize; ++i) {
        const CodeItemType& item = buffer[static_cast<std::size_t>(i)];
        if (item.FirstCode < CodeKind::Operator) return;
        AddCode(item);
        if (Fe.ErrorNumber != 0) return;
    }
}

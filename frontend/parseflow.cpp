// Code generation for the block statements and procedures: IF blocks, FOR and NEXT, WHILE and the DO
// forms, SELECT CASE, GOTO, GOSUB and RETURN, labels and line numbers, SUB and FUNCTION definitions,
// CALL and DEF. Each block becomes straight code with conditional and unconditional jumps; a jump
// whose target is not known yet is written as {45, 0} and patched by the statement that closes it.
#include "core/errornumbers.h"
#include "core/internalcodes.h"
#include "core/itembuffers.h"
#include "core/parsecodes.h"
#include "core/raiseerror.h"
#include "frontend/compilerstate.h"
#include "frontend/parse.h"
#include "frontend/tokenizer.h"

#include <cmath>
#include <limits>

namespace LXParse {

namespace {

bool ReadStatementWord(int code) {
    CodeItemType item;
    ReadItem(item);
    return IsStatementItem(item, code);
}

// Writes the IF jump {6, 99} (false: jump) or its twin {6, 257} (true: jump) and its open slot.
int EmitConditionalJump(int code) {
    Emit(CodeKind::Statement, code);
    return EmitJumpSlot();
}

} // namespace

// ---- IF blocks ----------------------------------------------------------------------------------------
// The IF stack holds, for the innermost open IF, its pending jump slots with their count on top.

// IF c THEN
void CompileIf() {
    if (!CompileExpression()) return;
    if (!ReadStatementWord(St::THEN)) return RaiseError(Err::IfNoThen);
    const int falseSlot = EmitConditionalJump(St::IF);
    EmitColon();
    if (Cs.Parse.IfStack.Push(falseSlot, Err::NestingTooDeep)) Cs.Parse.IfStack.Push(1, Err::NestingTooDeep);
}

// The end of a branch before ELSEIF or ELSE: takes the open IF block's branch count and the jump its
// condition leaves open, and emits the jump from here past the whole block. False where no block is open.
bool LeaveIfBranch(int& count, int& falseSlot, int& endSlot) {
    if (!Cs.Parse.IfStack.Pop(count, Err::IfBlockMismatch) ||
        !Cs.Parse.IfStack.Pop(falseSlot, Err::IfBlockMismatch))
        return false;
    Emit(CodeKind::Statement, St::GOTO);
    endSlot = EmitJumpSlot();
    return true;
}

// ELSEIF c THEN
void CompileElseIf() {
    int count = 0;
    int falseSlot = 0;
    int endSlot = 0;
    if (!LeaveIfBranch(count, falseSlot, endSlot)) return;
    PatchJump(falseSlot);
    EmitColon();
    if (Fe.ErrorNumber != 0 || !CompileExpression()) return;
    if (!ReadStatementWord(St::THEN)) return RaiseError(Err::IfNoThen);
    const int nextFalseSlot = EmitConditionalJump(St::IF);
    EmitColon();
    if (Cs.Parse.IfStack.Push(endSlot, Err::NestingTooDeep) &&
        Cs.Parse.IfStack.Push(nextFalseSlot, Err::NestingTooDeep))
        Cs.Parse.IfStack.Push(count + 1, Err::NestingTooDeep);
}

// ELSE
void CompileElse() {
    int count = 0;
    int falseSlot = 0;
    int endSlot = 0;
    if (!LeaveIfBranch(count, falseSlot, endSlot)) return;
    EmitColon();
    PatchJump(falseSlot);
    if (Fe.ErrorNumber == 0 && Cs.Parse.IfStack.Push(endSlot, Err::NestingTooDeep))
        Cs.Parse.IfStack.Push(count, Err::NestingTooDeep);
}

// END IF
void CompileEndIf() {
    int count = 0;
    if (!Cs.Parse.IfStack.Pop(count, Err::IfBlockMismatch)) return;
    for (int i = 0; i < count; ++i) {
        int slot = 0;
        if (!Cs.Parse.IfStack.Pop(slot, Err::IfBlockMismatch)) return;
        PatchJump(slot);
        if (Fe.ErrorNumber != 0) return;
    }
    EmitColon();
}

// ---- FOR and NEXT ---------------------------------------------------------------------------------------

namespace {

// The one-item step of a FOR without STEP: the constant 1.0.
void DefaultStep(ItemBuffer& step) {
    ClearItemBuffer(step);
    step[1] = CodeItemType{CodeKind::ExprOpen, 0, Cs.Parse.StatementPosition};
    step[2] = CodeItemType{CodeKind::SysNumConst, ParseConst::One, Cs.Parse.StatementPosition};
    step[3] = CodeItemType{CodeKind::ExprClose, 0, Cs.Parse.StatementPosition};
}

void EmitClose(const ItemBuffer& buffer) {
    AddCode(buffer[static_cast<std::size_t>(ExpressionCloseIndex(buffer))]);
}

} // namespace

// FOR v = a TO b [STEP s]
void CompileFor() {
    CodeItemType variable;
    ReadItem(variable);
    if (variable.FirstCode != CodeKind::NumVar) return RaiseError(Err::ForNoVariable);
    CodeItemType item;
    ReadItem(item);
    if (!IsOperator(item, Op::Equal)) return RaiseError(Err::ForNoEqual);
    if (!CompileExpression()) return;
    Emit(CodeKind::Statement, St::LET);
    AddCode(variable);
    ForEntry entry;
    entry.Variable = variable;
    entry.LoopTop = Ib.CodeIndex;
    entry.Position = Cs.Parse.StatementPosition;
    EmitColon();
    if (!ReadStatementWord(St::TO)) return RaiseError(Err::ForNoTo);
    ItemBuffer limit;
    ParseExpression(limit);
    if (Fe.ErrorNumber != 0) return;
    if (IsEmptyExpression(limit)) return RaiseError(Err::ExpressionFormMismatch);
    LookItem(item);
    const bool stepGiven = IsStatementItem(item, St::STEP);
    if (stepGiven) {
        ReadItem(item);
        ParseExpression(entry.Step);
        if (Fe.ErrorNumber != 0) return;
        if (IsEmptyExpression(entry.Step)) return RaiseError(Err::ExpressionFormMismatch);
    } else {
        DefaultStep(entry.Step);
    }
    // The loop goes on while v has not passed b: b >= v, or with a step (b - v) * (SGN(s) + 0.5) >= 0,
    // which also stops a step of 0 once v is past b.
    AddCode(limit[1]);
    EmitExpressionBody(limit);
    AddCode(variable);
    if (stepGiven) {
        Emit(CodeKind::Operator, Op::Minus);
        Emit(CodeKind::SysNumConst, ParseConst::Half);
        EmitExpressionBody(entry.Step);
        Emit(CodeKind::Function, Fn::SGN);
        Emit(CodeKind::Operator, Op::Plus);
        Emit(CodeKind::Operator, Op::Multiply);
        Emit(CodeKind::SysNumConst, ParseConst::Zero);
    }
    Emit(CodeKind::Operator, Op::GreaterEqual);
    EmitClose(limit);
    entry.ExitSlot = EmitConditionalJump(St::IF);
    EmitColon();
    if (Fe.ErrorNumber != 0) return;
    if (!Cs.Parse.ForStack.Push(entry, Err::NestingTooDeep)) return;
    if (!Cs.Parse.ExitForList.Push(ExitForEntry{0, 0}, Err::TooManyExits)) return;
    ExpectStatementEnd();
}

// NEXT
void CompileNext() {
    // Kept in the unit: a FOR entry holds a whole expression buffer.
    static ForEntry entry;
    if (!Cs.Parse.ForStack.Pop(entry, Err::NextWithoutFor)) return;
    AddCode(entry.Step[1]);
    EmitExpressionBody(entry.Step);
    AddCode(entry.Variable);
    Emit(CodeKind::Operator, Op::Plus);
    EmitClose(entry.Step);
    Emit(CodeKind::Statement, St::LET);
    AddCode(entry.Variable);
    Emit(CodeKind::Statement, St::GOTO);
    Emit(CodeKind::JumpTarget, entry.LoopTop);
    EmitColon();
    PatchJump(entry.ExitSlot);
    if (Fe.ErrorNumber != 0) return;
    ExpectStatementEnd();
    if (Fe.ErrorNumber != 0) return;
    // The EXIT FOR jumps of this loop lie above its level marker.
    ExitForEntry exit;
    while (Cs.Parse.ExitForList.Pop(exit, Err::NextWithoutFor) && exit.Flag != 0) {
        PatchJump(exit.Slot);
        if (Fe.ErrorNumber != 0) return;
    }
}

// EXIT FOR
void CompileExitFor() {
    if (Cs.Parse.ForStack.Empty()) return RaiseError(Err::ExitForOutside);
    Emit(CodeKind::Statement, St::GOTO);
    const int slot = EmitJumpSlot();
    if (!Cs.Parse.ExitForList.Push(ExitForEntry{1, slot}, Err::TooManyExits)) return;
    ExpectStatementEnd();
    EmitColon();
}

// ---- WHILE and the DO forms -------------------------------------------------------------------------------

namespace {

// Pops the EXIT DO jumps of the innermost loop, sending each past the closing statement (whose jump
// back and ":" are still to be written), and then the loop's own entry.
bool PopLoop(LoopEntry& loop) {
    constexpr int PastClosingStatement = 2;
    while (Cs.Parse.LoopStack.Pop(loop, Err::WendWithoutWhile)) {
        if (loop.Kind == LoopKind::Loop) return true;
        PatchJumpAhead(PastClosingStatement, loop.Slot);
        if (Fe.ErrorNumber != 0) return false;
    }
    return false;
}

void OpenLoop(int top, int slot) {
    Cs.Parse.LoopStack.Push(LoopEntry{LoopKind::Loop, top, slot, Cs.Parse.StatementPosition},
                            Err::NestingTooDeep);
}

} // namespace

void CompileLoopStatement(int code) {
    switch (code) {
    case St::WHILE:       // WHILE c, DO WHILE c
    case InSt::DoUntil: { // DO UNTIL c
        const int top = Ib.CodeIndex;
        if (!CompileExpression()) return;
        const int exitSlot = EmitConditionalJump(code == St::WHILE ? St::IF : InSt::CaseBoolean);
        ExpectStatementEnd();
        if (Fe.ErrorNumber != 0) return;
        EmitColon();
        OpenLoop(top, exitSlot);
        return;
    }
    case St::DO: // a plain DO: its LOOP decides
        ExpectStatementEnd();
        if (Fe.ErrorNumber != 0) return;
        EmitColon();
        OpenLoop(Ib.CodeIndex, Ib.CodeIndex);
        return;
    case St::WEND: // WEND, LOOP after DO WHILE, LOOP after DO UNTIL
    case St::LOOP:
    case InSt::LoopPlain:
    case InSt::LoopWhile:
    case InSt::LoopUntil: {
        if (Cs.Parse.LoopStack.Empty()) return RaiseError(Err::WendWithoutWhile);
        if (code == InSt::LoopWhile || code == InSt::LoopUntil) {
            if (!CompileExpression()) return;
            Emit(CodeKind::Statement, code == InSt::LoopWhile ? InSt::CaseBoolean : St::IF);
        } else {
            Emit(CodeKind::Statement, St::GOTO);
        }
        LoopEntry loop;
        if (!PopLoop(loop)) return;
        Emit(CodeKind::JumpTarget, loop.LoopTop);
        if (code == St::WEND || code == St::LOOP) PatchJump(loop.Slot);
        if (Fe.ErrorNumber != 0) return;
        ExpectStatementEnd();
        if (Fe.ErrorNumber != 0) return;
        EmitColon();
        return;
    }
    case St::EXITDO: {
        if (Cs.Parse.LoopStack.Empty()) return RaiseError(Err::ExitDoOutside);
        Emit(CodeKind::Statement, St::GOTO);
        const int slot = EmitJumpSlot();
        ExpectStatementEnd();
        if (Fe.ErrorNumber != 0) return;
        EmitColon();
        Cs.Parse.LoopStack.Push(LoopEntry{LoopKind::ExitDo, slot, slot, Cs.Parse.StatementPosition},
                                Err::NestingTooDeep);
        return;
    }
    default: RaiseError(Err::UnknownStatement); return;
    }
}

// ---- SELECT CASE
// ------------------------------------------------------------------------------------------------ The
// selector is not stored: its expression is written again before every test.

namespace {

int RelationalCaseTest(int slot) {
    switch (slot) {
    case Op::Equal: return ParseCode::CaseEqual;
    case Op::NotEqual: return ParseCode::CaseNotEqual;
    case Op::Less: return ParseCode::CaseLess;
    case Op::Greater: return ParseCode::CaseGreater;
    case Op::LessEqual: return ParseCode::CaseLessEqual;
    case Op::GreaterEqual: return ParseCode::CaseGreaterEqual;
    default: return 0;
    }
}

// One value of a CASE test; an empty one is a CASE syntax error.
bool CompileCaseValue() {
    ItemBuffer value;
    ParseExpression(value);
    if (Fe.ErrorNumber != 0) return false;
    if (IsEmptyExpression(value)) {
        RaiseError(Err::CaseSyntax);
        return false;
    }
    EmitExpression(value);
    return Fe.ErrorNumber == 0;
}

bool CaseEndsHere() {
    CodeItemType item;
    LookItem(item);
    if (IsStatementEnd(item)) return true;
    RaiseError(Err::CaseSyntax);
    return false;
}

// CASE IS op x | CASE x1, ..., xn | CASE x TO y
bool CompileCaseTest() {
    if (Cs.Parse.SelectStack.Empty()) {
        RaiseError(Err::IfBlockMismatch);
        return false;
    }
    const ItemBuffer& selector = Cs.Parse.SelectStack.Top();
    CodeItemType item;
    LookItem(item);
    if (IsStatementItem(item, St::IS)) {
        ReadItem(item);
        ReadItem(item);
        const int test = item.FirstCode == CodeKind::Operator ? RelationalCaseTest(item.SecondCode) : 0;
        if (test == 0) {
            RaiseError(Err::CaseSyntax);
            return false;
        }
        if (!CompileCaseValue() || !CaseEndsHere()) return false;
        EmitExpression(selector);
        Emit(CodeKind::Statement, test);
        return Fe.ErrorNumber == 0;
    }
    int count = 0;
    while (true) {
        if (!CompileCaseValue()) return false;
        ++count;
        LookItem(item);
        if (IsStatementItem(item, St::TO) && count == 1) {
            ReadItem(item);
            if (!CompileCaseValue() || !CaseEndsHere()) return false;
            EmitExpression(selector);
            Emit(CodeKind::Statement, InSt::CaseRange);
            return Fe.ErrorNumber == 0;
        }
        if (IsStatementEnd(item)) break;
        if (!IsOperator(item, Op::Comma)) {
            RaiseError(Err::SelectCaseNoSeparator);
            return false;
        }
        ReadItem(item);
    }
    EmitExpression(selector);
    CodeItemType countItem;
    AddNumCon(QString::number(count), countItem);
    if (Fe.ErrorNumber != 0) return false;
    countItem.Position = Cs.Parse.StatementPosition;
    AddCode(countItem);
    Emit(CodeKind::Statement, InSt::SelectCaseNum);
    return Fe.ErrorNumber == 0;
}

// The slot of the test that failed last; 0 is the marker that opens a SELECT, so a CASE that finds it
// stands after CASE ELSE.
bool PatchPreviousCase() {
    int slot = 0;
    if (!Cs.Parse.CaseSlotStack.Pop(slot, Err::CaseOrder)) return false;
    if (slot == 0) {
        RaiseError(Err::CaseOrder);
        return false;
    }
    PatchJump(slot);
    return Fe.ErrorNumber == 0;
}

bool EmitCaseEndJump() {
    Emit(CodeKind::Statement, St::GOTO);
    const int endSlot = EmitJumpSlot();
    if (!Cs.Parse.EndSelectStack.Push(endSlot, Err::NestingTooDeep)) return false;
    EmitLineEnd();
    return Fe.ErrorNumber == 0;
}

void EmitCaseJump() {
    const int slot = Ib.CodeIndex;
    if (!Cs.Parse.CaseSlotStack.Push(slot, Err::NestingTooDeep)) return;
    EmitJumpSlot();
    EmitLineEnd();
}

} // namespace

// SELECT CASE e, and the first CASE after it
void CompileSelectCase() {
    CodeItemType item;
    LookItem(item);
    if (IsStatementEnd(item)) return RaiseError(Err::SelectCaseNoExpression);
    ItemBuffer selector;
    ParseExpression(selector);
    if (Fe.ErrorNumber != 0) return;
    if (IsEmptyExpression(selector)) return RaiseError(Err::SelectCaseNoExpression);
    if (!Cs.Parse.SelectStack.Push(selector, Err::NestingTooDeep)) return;
    ReadItem(item);
    while (IsOperator(item, Op::Colon) || IsOperator(item, Op::LineEnd))
        ReadItem(item);
    if (!IsStatementItem(item, St::CASE)) return RaiseError(Err::SelectCaseNoCase);
    Cs.Parse.StatementPosition = item.Position;
    if (!CompileCaseTest()) return;
    if (!Cs.Parse.CaseSlotStack.Push(0, Err::NestingTooDeep)) return;
    EmitCaseJump();
    if (Fe.ErrorNumber == 0) Cs.Parse.EndSelectStack.Push(0, Err::NestingTooDeep);
}

// CASE
void CompileCase() {
    if (!EmitCaseEndJump() || !PatchPreviousCase()) return;
    if (!CompileCaseTest()) return;
    EmitCaseJump();
}

// CASE ELSE
void CompileCaseElse() {
    if (EmitCaseEndJump()) PatchPreviousCase();
}

// END SELECT
void CompileEndSelect() {
    static ItemBuffer selector;
    if (!Cs.Parse.SelectStack.Pop(selector, Err::IfBlockMismatch)) return;
    EmitColon();
    int slot = 0;
    while (Cs.Parse.CaseSlotStack.Pop(slot, Err::CaseOrder) && slot != 0) {
        PatchJump(slot);
        if (Fe.ErrorNumber != 0) return;
    }
    if (Fe.ErrorNumber != 0) return;
    while (Cs.Parse.EndSelectStack.Pop(slot, Err::IfBlockMismatch) && slot != 0) {
        PatchJump(slot);
        if (Fe.ErrorNumber != 0) return;
    }
}

// ---- GOTO, GOSUB, RETURN, labels and line numbers
// ----------------------------------------------------------

// GOTO *label | GOTO number, and GOSUB the same
void CompileGotoGosub(int code) {
    const bool isGoto = code == St::GOTO;
    Emit(CodeKind::Statement, code);
    CodeItemType item;
    ReadItem(item);
    if (IsOperator(item, Op::Multiply)) {
        ReadItem(item);
        if (item.FirstCode != CodeKind::NumVar)
            return RaiseError(isGoto ? Err::GotoBadTarget : Err::GosubBadLabel);
        AddCode(item);
    } else if (item.FirstCode == CodeKind::NumLiteral) {
        AddCode(item);
    } else if (isGoto) {
        return RaiseError(Err::GotoBadTarget);
    } else {
        return RaiseError(item.FirstCode == CodeKind::Operator ? Err::GosubBadOperator : Err::GosubBadTarget);
    }
    ExpectStatementEnd();
}

// RETURN
void CompileReturn() {
    Emit(CodeKind::Statement, St::RETURN);
    ExpectStatementEnd();
}

// *label at the start of a statement
void CompileLabel() {
    CodeItemType name;
    ReadItem(name);
    NumVarType* record = name.FirstCode == CodeKind::NumVar ? NumRecord(name) : nullptr;
    if (record == nullptr) return RaiseError(Err::LabelSyntax);
    switch (record->Kind) {
    case NumVarKind::Variable:
        record->Kind = NumVarKind::Label;
        record->Base = Ib.CodeIndex;
        // RESTORE to the label finds the DATA statements after it.
        record->Value = static_cast<Extended>(Tb.NumofRegisteredDataPtr);
        break;
    case NumVarKind::Label: return RaiseError(Err::LabelTwice);
    case NumVarKind::Array: return RaiseError(Err::LabelIsArrayName);
    case NumVarKind::FunctionName:
    case NumVarKind::SubName: return RaiseError(Err::LabelIsProcedureName);
    default: return RaiseError(Err::LabelSyntax);
    }
    AddCode(name);
    ExpectStatementEnd();
}

// A line number at the start of a statement
void CompileLineNumber(const CodeItemType& number) {
    const Extended value = NumConValue(number);
    const bool whole = value >= 1.0L &&
                       value <= static_cast<Extended>(std::numeric_limits<std::int32_t>::max()) &&
                       value == std::floor(value);
    if (!whole) return RaiseError(Err::BadLineNumber);
    const auto key = static_cast<std::int32_t>(value);
    if (Tb.NumofRegisteredLabel > 0 &&
        key <= Tb.LabelTable[static_cast<std::size_t>(Tb.NumofRegisteredLabel)].Key)
        return RaiseError(Err::BadLineNumber);
    if (!GrowTable(Tb.LabelTable, static_cast<std::size_t>(Tb.NumofRegisteredLabel) + 1)) return;
    ++Tb.NumofRegisteredLabel;
    Tb.LabelTable[static_cast<std::size_t>(Tb.NumofRegisteredLabel)] =
        LabelType{key, Ib.CodeIndex, Tb.NumofRegisteredDataPtr};
    Emit(CodeKind::Operator, Op::Colon, number.Position);
}

// ---- SUB and FUNCTION
// ------------------------------------------------------------------------------------------

namespace {

bool IsParameterKind(int kind) {
    switch (kind) {
    case CodeKind::NumVar:
    case CodeKind::NumArray:
    case CodeKind::StrVar:
    case CodeKind::StrArray:
    case CodeKind::BoolVar:
    case CodeKind::BoolArray: return true;
    default: return false;
    }
}

// The entry point of the procedure goes into its name's record.
bool SetProcedureEntry(const CodeItemType& name, bool isFunction) {
    if (NumVarType* r = NumRecord(name); r != nullptr && name.FirstCode == CodeKind::NumVar) {
        r->Base = Ib.CodeIndex;
        return true;
    }
    if (isFunction) {
        if (StrVarType* r = StrRecord(name); r != nullptr && name.FirstCode == CodeKind::StrVar) {
            r->Base = Ib.CodeIndex;
            return true;
        }
        if (BoolVarType* r = BoolRecord(name); r != nullptr && name.FirstCode == CodeKind::BoolVar) {
            r->Base = Ib.CodeIndex;
            return true;
        }
    }
    RaiseError(isFunction ? Err::FunctionBadName : Err::SubBadName);
    return false;
}

// The six call-frame items the scan places after the name: variable-table ranges of the procedure.
bool CopyFrameItems() {
    constexpr int FrameKinds[] = {CodeKind::SubFrame,  CodeKind::SubFrame,  CodeKind::SubFrameN,
                                  CodeKind::SubFrameN, CodeKind::SubFrameS, CodeKind::SubFrameS};
    for (const int kind : FrameKinds) {
        CodeItemType item;
        ReadItem(item);
        if (item.FirstCode != kind) {
            UnreadItem();
            RaiseError(Err::SyntaxError);
            return false;
        }
        AddCode(item);
    }
    return Fe.ErrorNumber == 0;
}

} // namespace

// SUB name [(parameters)] and FUNCTION name [(parameters)]
void CompileProcedureHeader(int code) {
    const bool isFunction = code == St::FUNCTION;
    Cs.Parse.ProcedureMode = isFunction ? ProcMode::Function : ProcMode::Sub;
    Emit(CodeKind::Statement, St::GOTO);
    Cs.Parse.ProcedureSkipSlot = EmitJumpSlot();
    EmitLineEnd();
    Emit(CodeKind::Statement, isFunction ? St::FUNCTION : InSt::SubStart);
    CodeItemType name;
    ReadItem(name);
    if (!SetProcedureEntry(name, isFunction) || !CopyFrameItems()) return;
    CodeItemType item;
    LookItem(item);
    if (!IsOperator(item, Op::OpenBracket)) {
        if (!IsStatementEnd(item)) return RaiseError(Err::ProcedureNoOpenBracket);
        EmitLineEnd();
        if (isFunction) Cs.Parse.ProcItemStack.Push(name, Err::NestingTooDeep);
        return;
    }
    ReadItem(item);
    const int first = Cs.Parse.ProcItemStack.Count + 1;
    LookItem(item);
    if (IsOperator(item, Op::CloseBracket)) {
        ReadItem(item);
    } else {
        while (true) {
            ReadItem(item);
            if (!IsParameterKind(item.FirstCode)) return RaiseError(Err::ProcedureParameterKind);
            if (!Cs.Parse.ProcItemStack.Push(item, Err::NestingTooDeep)) return;
            ReadItem(item);
            if (IsOperator(item, Op::CloseBracket)) break;
            if (!IsOperator(item, Op::Comma)) return RaiseError(Err::ProcedureParameterSyntax);
        }
    }
    // The arguments come off the value stack last first.
    for (int i = Cs.Parse.ProcItemStack.Count; i >= first; --i) {
        EmitGlPop();
        AddCode(Cs.Parse.ProcItemStack.Items[static_cast<std::size_t>(i)]);
    }
    EmitLineEnd();
    if (isFunction) {
        Cs.Parse.ProcItemStack.Count = 0;
        Cs.Parse.ProcItemStack.Push(name, Err::NestingTooDeep);
    }
}

// EXIT SUB, EXIT FUNCTION
void CompileExitProcedure(int code) {
    const std::uint8_t needed = code == St::EXITSUB ? ProcMode::Sub : ProcMode::Function;
    if (Cs.Parse.ProcedureMode != needed) return RaiseError(Err::ExitProcedureOutside);
    Emit(CodeKind::Statement, St::GOTO);
    const int slot = EmitJumpSlot();
    if (!Cs.Parse.ExitProcList.Push(slot, Err::TooManyExits)) return;
    ExpectStatementEnd();
    EmitColon();
}

namespace {

bool PatchProcedureExits() {
    int slot = 0;
    while (!Cs.Parse.ExitProcList.Empty()) {
        Cs.Parse.ExitProcList.Pop(slot, Err::TooManyExits);
        PatchJump(slot);
        if (Fe.ErrorNumber != 0) return false;
    }
    return true;
}

// The jump over the body lands after the procedure's last item.
void CloseProcedure() {
    PatchJump(Cs.Parse.ProcedureSkipSlot);
    Cs.Parse.ProcedureMode = ProcMode::None;
    Cs.Parse.ProcedureSkipSlot = 0;
}

} // namespace

// END SUB
void CompileEndSub() {
    // A stale skip slot would patch the jump of a procedure already closed.
    if (Cs.Parse.ProcedureMode != ProcMode::Sub) return RaiseError(Err::EndSubWithoutSub);
    if (!PatchProcedureExits()) return;
    Emit(CodeKind::Statement, InSt::SubEnd);
    // The parameters' values go back on the value stack for the caller, which stores them into the
    // variables it passed by reference.
    CodeItemType parameter;
    while (!Cs.Parse.ProcItemStack.Empty()) {
        Cs.Parse.ProcItemStack.Pop(parameter, Err::IfBlockMismatch);
        EmitGlPush();
        AddCode(parameter);
    }
    Emit(CodeKind::Statement, St::ENDSUB);
    CloseProcedure();
}

// END FUNCTION
void CompileEndFunction() {
    if (Cs.Parse.ProcedureMode != ProcMode::Function) return RaiseError(Err::EndFunctionWithoutFunction);
    if (!PatchProcedureExits()) return;
    Emit(CodeKind::Statement, InSt::FunctionEnd);
    CodeItemType name;
    if (!Cs.Parse.ProcItemStack.Pop(name, Err::IfBlockMismatch)) return;
    EmitGlPush();
    AddCode(name);
    Emit(CodeKind::Statement, St::ENDFUNCTION);
    CloseProcedure();
}

// CALL name [(arguments)], or a SUB name at the start of a statement
void CompileCall() {
    Cs.Parse.CallArgStack.Count = 0;
    Emit(CodeKind::Statement, ParseCode::CallStatement);
    CodeItemType name;
    ReadItem(name);
    if (name.FirstCode != CodeKind::NumVar) return RaiseError(Err::CallNotSub);
    CodeItemType item;
    LookItem(item);
    if (IsOperator(item, Op::OpenBracket)) {
        ReadItem(item);
        LookItem(item);
        if (IsOperator(item, Op::CloseBracket)) {
            ReadItem(item);
        } else {
            while (true) {
                CodeItemType argument;
                CodeItemType after;
                LookItem(argument);
                PeekPreCodeAhead(1, after);
                const bool plainName = argument.FirstCode == CodeKind::NumVar ||
                                       argument.FirstCode == CodeKind::StrVar ||
                                       argument.FirstCode == CodeKind::BoolVar;
                if (plainName && (IsOperator(after, Op::Comma) || IsOperator(after, Op::CloseBracket))) {
                    // Passed by reference: the SUB hands the parameter's value back into it.
                    ReadItem(argument);
                    AddCode(argument);
                    if (!Cs.Parse.CallArgStack.Push(argument, Err::NestingTooDeep)) return;
                } else {
                    const CodeItemType byValue{CodeKind::DummyCode, ParseCode::ByValueArgument,
                                               argument.Position};
                    if (!Cs.Parse.CallArgStack.Push(byValue, Err::NestingTooDeep)) return;
                    ItemBuffer value;
                    ParseExpression(value);
                    if (Fe.ErrorNumber != 0) return;
                    if (IsEmptyExpression(value)) return RaiseError(Err::CallArgumentSyntax);
                    EmitExpression(value);
                }
                ReadItem(item);
                if (IsOperator(item, Op::CloseBracket)) break;
                if (!IsOperator(item, Op::Comma)) return RaiseError(Err::CallArgumentSyntax);
            }
        }
        ExpectStatementEnd();
        if (Fe.ErrorNumber != 0) return;
    } else {
        if (!IsStatementEnd(item)) return RaiseError(Err::CallNoOpenBracket);
        EmitLineEnd();
    }
    EmitLineEnd();
    Emit(CodeKind::Statement, InSt::LoPushAll);
    Emit(CodeKind::Statement, InSt::SubJump);
    AddCode(name);
    EmitLineEnd();
    Emit(CodeKind::Statement, InSt::LoPopAll);
    for (int i = 1; i <= Cs.Parse.CallArgStack.Count; ++i) {
        EmitGlPop();
        AddCode(Cs.Parse.CallArgStack.Items[static_cast<std::size_t>(i)]);
    }
    Cs.Parse.CallArgStack.Count = 0;
    EmitLineEnd();
}

// DEF name(parameters) = expression
void CompileDef() {
    Emit(CodeKind::Statement, St::DEF);
    CodeItemType name;
    ReadItem(name);
    if (NumVarType* r = name.FirstCode == CodeKind::NumVar ? NumRecord(name) : nullptr) {
        r->Base = Ib.CodeIndex;
    } else if (StrVarType* s = name.FirstCode == CodeKind::StrVar ? StrRecord(name) : nullptr) {
        s->Base = Ib.CodeIndex;
    } else {
        return RaiseError(Err::SyntaxError);
    }
    CodeItemType item;
    while (true) {
        ReadItem(item);
        if (IsOperator(item, Op::Equal)) break;
        // Without "=" the statement would be read on past its end.
        if (IsStatementEnd(item)) {
            UnreadItem();
            return RaiseError(Err::DefSyntax);
        }
        switch (item.FirstCode) {
        case CodeKind::NumArgBind:
        case CodeKind::StrArgBind:
        case CodeKind::FrameCountN:
        case CodeKind::FrameCountS: AddCode(item); break;
        default: break;
        }
    }
    ItemBuffer body;
    ParseExpression(body);
    if (Fe.ErrorNumber != 0) return;
    if (IsEmptyExpression(body)) return RaiseError(Err::DefSyntax);
    ExpectStatementEnd();
    if (Fe.ErrorNumber != 0) return;
    EmitExpressionBody(body);
    Emit(CodeKind::Statement, InSt::ReturnFromFunction);
    EmitColon();
}

} // namespace LXParse

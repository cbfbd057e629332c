// The statement compiler's driver: reads each statement's first item and compiles the statement by the
// argument form its codelist.h row gives, or hands it to its own generator (parseflow.cpp,
// parsestatements.cpp). It stands apart from the shared readers, emitters and expression forms of
// parse.cpp so that the generators depend on those and the driver on all, never back.
#include "core/errornumbers.h"
#include "core/internalcodes.h"
#include "core/itembuffers.h"
#include "core/raiseerror.h"
#include "frontend/compilerstate.h"
#include "frontend/compilestop.h"
#include "frontend/declnames.h"
#include "frontend/parse.h"

using namespace LXParse;

// ---- statements with a fixed pattern
// ------------------------------------------------------------------------------

namespace {

// How a statement's arguments are compiled: the last column of the statement rows of codelist.h.
enum class Form {
    NoArguments,
    OneExpression,
    AssignedExpression, // "=" and one expression
    BracketList1,
    BracketList2,
    BracketList3,
    BracketList4,
    OnOff,
    ControlOnOff, // a control number in brackets, then ON or OFF
    Own,          // a generator of its own
    NotSupported,
    Accepted, // nothing to write
    Unknown,
};

constexpr int Form1(int code) {
    return ArgumentFormStep + code;
}

// The argument form of a statement code, as its row in codelist.h gives it.
Form FormOf(int code) {
    switch (code) {
#define LX_SLOT(identifier, word, executor, form)                                                            \
    case St::identifier: return Form::form;
        LX_STATEMENT_SLOTS(LX_SLOT)
#undef LX_SLOT
#define LX_CODE(identifier, value, executor, form)                                                           \
    case InSt::identifier: return Form::form;
        LX_INTERNAL_STATEMENTS(LX_CODE)
#undef LX_CODE
#define LX_FORM(base, k, executor, form)                                                                     \
    case (base) + (k)*ArgumentFormStep: return Form::form;
        LX_STATEMENT_FORMS(LX_FORM)
#undef LX_FORM
    default: return Form::Unknown;
    }
}

// An argument form that failed is reported against the statement itself.
void StatementFormFailed() {
    // Whatever the operands tripped on, the user reads best which statement's form was not met.
    Fe.ErrorNumber = 0;
    RaiseError(Err::StatementType, Cs.Parse.StatementCode);
}

void CompileOwnStatement(int code) {
    switch (code) {
    case St::IF: CompileIf(); break;
    case St::ELSEIF: CompileElseIf(); break;
    case St::ELSE: CompileElse(); break;
    case St::ENDIF: CompileEndIf(); break;
    case St::FOR: CompileFor(); break;
    case St::NEXT: CompileNext(); break;
    case St::EXITFOR: CompileExitFor(); break;
    case St::WHILE:
    case St::DO:
    case St::WEND:
    case St::LOOP:
    case St::EXITDO:
    case InSt::LoopPlain:
    case InSt::DoUntil:
    case InSt::LoopUntil:
    case InSt::LoopWhile: CompileLoopStatement(code); break;
    case St::SELECTCASE: CompileSelectCase(); break;
    case St::CASE: CompileCase(); break;
    case St::CASEELSE: CompileCaseElse(); break;
    case St::ENDSELECT: CompileEndSelect(); break;
    case St::GOTO:
    case St::GOSUB: CompileGotoGosub(code); break;
    case St::RETURN: CompileReturn(); break;
    case St::SUB:
    case St::FUNCTION: CompileProcedureHeader(code); break;
    case St::EXITSUB:
    case St::EXITFUNCTION: CompileExitProcedure(code); break;
    case St::ENDSUB: CompileEndSub(); break;
    case St::ENDFUNCTION: CompileEndFunction(); break;
    case St::CALL: CompileCall(); break;
    case St::DEF: CompileDef(); break;
    case St::DIM: CompileDim(); break;
    case St::LET: CompileLet(); break;
    case St::SWAP: CompileSwap(); break;
    case St::DATA: CompileData(); break;
    case St::READ: CompileRead(); break;
    case St::RESTORE: CompileRestore(); break;
    case St::INPUT: CompileInput(); break;
    case St::LINEINPUT: CompileLineInput(); break;
    case St::INPUTFile: CompileInputFile(); break;
    case St::LINEINPUTFile: CompileLineInputFile(); break;
    case St::PRINT: CompilePrint(); break;
    case St::PRINTFile: CompilePrintFile(); break;
    case St::PRINTUSING: CompilePrintUsing(false); break;
    case InSt::PrintUsingFile: CompilePrintUsing(true); break;
    case St::OPEN: CompileOpen(); break;
    case St::CLOSE: CompileClose(); break;
    case St::FILES: CompileFiles(); break;
    case St::NAME: CompileName(); break;
    case St::FILECOPY: CompileFileCopy(); break;
    case Form1(St::RUN): CompileRunFile(); break;
    case St::WRITEALLLINES:
    case Form1(St::WRITEALLLINES): CompileWriteAllLines(code); break;
    case St::PSET:
    case St::PRESET:
    case St::PAINT:
    case St::LINE:
    case St::CIRCLE:
    case St::WINDOW:
    case St::CLS: CompileGraphics(code); break;
    case St::STRTOFORM:
    case St::EVALFORM:
    case St::MOUSE: CompileFormulaOrMouse(code); break;
    default: RaiseError(Err::UnknownStatement); break;
    }
}

void CompileStatementItem() {
    const int code = Cs.Parse.StatementCode;
    switch (FormOf(code)) {
    case Form::NoArguments:
        Emit(CodeKind::Statement, code);
        ExpectStatementEnd();
        return;
    case Form::AssignedExpression: {
        CodeItemType item;
        ReadItem(item);
        if (!IsOperator(item, Op::Equal)) {
            RaiseError(Err::PropertyAssignSyntax);
            return;
        }
        [[fallthrough]];
    }
    case Form::OneExpression:
        if (!CompileExpressionToEnd()) return StatementFormFailed();
        Emit(CodeKind::Statement, code);
        ExpectStatementEnd();
        return;
    case Form::BracketList1:
    case Form::BracketList2:
    case Form::BracketList3:
    case Form::BracketList4: {
        const Form form = FormOf(code);
        const int count = form == Form::BracketList1   ? 1
                          : form == Form::BracketList2 ? 2
                          : form == Form::BracketList3 ? 3
                                                       : 4;
        if (!CompileBracketList(count)) return StatementFormFailed();
        Emit(CodeKind::Statement, code);
        ExpectStatementEnd();
        return;
    }
    case Form::OnOff: {
        Emit(CodeKind::Statement, code);
        CodeItemType item;
        ReadItem(item);
        if (!IsStatementItem(item, St::ON) && !IsStatementItem(item, St::OFF)) {
            RaiseError(Err::OnOffMissing, code);
            return;
        }
        Emit(CodeKind::Statement, item.SecondCode, item.Position);
        ExpectStatementEnd();
        return;
    }
    case Form::ControlOnOff: {
        if (!CompileBracketList(1)) return StatementFormFailed();
        CodeItemType item;
        LookItem(item);
        // Without ON or OFF the control number would be left on the value stack with no statement
        // to take it, so this is the same error as for the other ON / OFF statements.
        if (!IsStatementItem(item, St::ON) && !IsStatementItem(item, St::OFF)) {
            RaiseError(Err::OnOffMissing, code);
            return;
        }
        ReadItem(item);
        Emit(CodeKind::Statement, code);
        Emit(CodeKind::Statement, item.SecondCode, item.Position);
        return;
    }
    case Form::Own: CompileOwnStatement(code); return;
    case Form::NotSupported: RaiseError(Err::StatementNotSupported, code); return;
    case Form::Accepted: return;
    case Form::Unknown: RaiseError(Err::UnknownStatement); return;
    }
}

// The statement a message names when a function item stands as a statement.
int FunctionStatementName(int value) {
    if (value >= PropertySetBase + PropertyRange::ButtonFirst &&
        value <= PropertySetBase + PropertyRange::ButtonLast)
        return St::CBUTTON;
    if (value >= PropertySetBase + PropertyRange::LabelFirst &&
        value <= PropertySetBase + PropertyRange::LabelLast)
        return St::CLABEL;
    if (value >= PropertySetBase + PropertyRange::TextBoxFirst &&
        value <= PropertySetBase + PropertyRange::TextBoxLast)
        return St::CTEXTBOX;
    if (value == InFn::ClipboardGetText) return St::CLIPBOARD;
    if (value == SettingValueBase + InSt::AudioMixerMasterMute ||
        value == SettingValueBase + InSt::AudioMixerMasterVolume)
        return St::AUDIOMIXER;
    return St::LET;
}

void FunctionStatementFailed(int value) {
    // As for a statement's form: the statement the assignment stands for names the error.
    Fe.ErrorNumber = 0;
    RaiseError(Err::StatementType, FunctionStatementName(value));
}

// A function item standing as a statement: a control property set, a mixer or clipboard value, or
// READALLLINES assigned to a string array.
void CompileFunctionItem() {
    const int value = Cs.Parse.StatementCode;
    const bool buttonSetter = value >= PropertySetBase + PropertyRange::ButtonFirst &&
                              value <= PropertySetBase + PropertyRange::ButtonLast &&
                              value != PropertyRange::ButtonClick;
    const bool labelSetter = value >= PropertySetBase + PropertyRange::LabelFirst &&
                             value <= PropertySetBase + PropertyRange::LabelLast;
    const bool textBoxSetter = value >= PropertySetBase + PropertyRange::TextBoxFirst &&
                               value <= PropertySetBase + PropertyRange::TextBoxLast;
    if (buttonSetter || labelSetter || textBoxSetter) {
        if (!CompileBracketList(1) || !CompileExpressionToEnd()) return FunctionStatementFailed(value);
        Emit(CodeKind::Function, value);
        return;
    }
    if (value == InFn::ClipboardGetText || value == SettingValueBase + InSt::AudioMixerMasterMute ||
        value == SettingValueBase + InSt::AudioMixerMasterVolume) {
        if (!CompileExpressionToEnd()) return FunctionStatementFailed(value);
        Emit(CodeKind::Function, value);
        return;
    }
    if (value == Fn::READALLLINES || value == FunctionFormStep + Fn::READALLLINES) {
        CodeItemType array;
        ReadItem(array);
        if (array.FirstCode != CodeKind::StrArray) return FunctionStatementFailed(value);
        if (!CompileBracketList(value == Fn::READALLLINES ? 1 : 2)) return FunctionStatementFailed(value);
        Emit(CodeKind::Statement, value == Fn::READALLLINES ? InSt::ReadAllLinesStatement
                                                            : ArgumentFormStep + InSt::ReadAllLinesStatement);
        AddCode(array);
        ExpectStatementEndNaming(St::LET);
        return;
    }
    // Any other function item is passed over; what follows it is compiled as the next statement.
}

bool IsSameItem(const CodeItemType& a, int kind, int value) {
    return a.FirstCode == kind && a.SecondCode == value;
}

void CompileSeparator(int slot) {
    // A run of ":" or of line ends gives one item. The first slot of the immediate area takes no ":".
    if (slot == Op::Colon && Ib.CodeIndex == 1) return;
    CodeItemType last;
    LookBackCode(1, last);
    if (Fe.ErrorNumber != 0) return;
    if (!IsSameItem(last, CodeKind::Operator, slot)) Emit(CodeKind::Operator, slot);
}

void CompileStatement(const CodeItemType& item) {
    switch (item.FirstCode) {
    case CodeKind::None: return;
    case CodeKind::Operator:
        if (item.SecondCode == Op::Multiply) return CompileLabel();
        if (item.SecondCode == Op::Colon || item.SecondCode == Op::LineEnd)
            return CompileSeparator(item.SecondCode);
        RaiseError(Err::SyntaxError);
        return;
    case CodeKind::Statement: return CompileStatementItem();
    case CodeKind::Function: return CompileFunctionItem();
    case CodeKind::NumLiteral: return CompileLineNumber(item);
    case CodeKind::NumVar: {
        UnreadItem();
        const NumVarType* record = NumRecord(item);
        if (record != nullptr && IsSubName(record->Name)) return CompileCall();
        return CompileLet();
    }
    case CodeKind::StrVar:
    case CodeKind::BoolVar: UnreadItem(); return CompileLet();
    default: RaiseError(Err::BadStatementStart); return;
    }
}

void BeginStatement(const CodeItemType& item) {
    Cs.Parse.StatementPosition = item.Position;
    Cs.Parse.StatementKind = item.FirstCode;
    Cs.Parse.StatementCode = item.SecondCode;
    Cs.Parse.StopFlag = item.FirstCode == CodeKind::End || Ib.PreCodeIndex > Ib.PreCodeLimit;
}

} // namespace

void ParseProgram() {
    Cs.Parse.Reset();
    CodeItemType item;
    ReadItem(item);
    BeginStatement(item);
    int stopCountdown = CompileStopInterval;
    while (Cs.Parse.StopFlag == 0) {
        CompileStatement(item);
        if (Fe.ErrorNumber != 0) break;
        // A stop leaves the program without its end and CodeLimit where it was: nothing of it runs.
        if (CompileStopRequested(stopCountdown)) {
            Cs.Parse.StopFlag = 1;
            return;
        }
        ReadItem(item);
        BeginStatement(item);
    }
    Cs.Parse.StopFlag = 1;
    // An immediate command ends at its own end item; the program's end stays the fetch limit.
    if (Rc.RunMode.load(std::memory_order_relaxed) != RunKind::Immediate) Ib.CodeLimit = Ib.CodeIndex;
    AddCode(CodeItemType{CodeKind::End, 0, Rd.CompileTextLength});
}

void CheckOpenBlocks() {
    Cs.Parse.OpenBlockPosition = 0;
    // Of several blocks left open, an IF is reported before a loop, and a loop before a FOR.
    if (!Cs.Parse.IfStack.Empty()) {
        RaiseError(Err::IfBlockMismatch);
        // Below the count on top lies the slot of the jump the innermost open IF wrote last.
        const int below = Cs.Parse.IfStack.Count - 1;
        const int slot = below >= 1 ? Cs.Parse.IfStack.Items[static_cast<std::size_t>(below)] : 0;
        Cs.Parse.OpenBlockPosition = slot > 0 && slot <= Ib.CurrentmaxCodeNum
                                         ? Ib.CodeBuffer[static_cast<std::size_t>(slot)].Position
                                         : 0;
    } else if (!Cs.Parse.LoopStack.Empty()) {
        RaiseError(Err::WhileWithoutWend);
        Cs.Parse.OpenBlockPosition = Cs.Parse.LoopStack.Top().Position;
    } else if (!Cs.Parse.ForStack.Empty()) {
        RaiseError(Err::ForWithoutNext);
        Cs.Parse.OpenBlockPosition = Cs.Parse.ForStack.Top().Position;
    }
}

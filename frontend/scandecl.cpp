// The statement scan's handlers for declarations (CONST, DIM, PUBLIC, SUB, FUNCTION, DEF, CALL), for
// keywords merged with their neighbour, for argument forms chosen by the number of arguments, and for
// the member forms (AUDIOMIXER.MASTERVOLUME, CBUTTON(1).CAPTION ...).
#include "core/controlproperties.h"
#include "core/errornumbers.h"
#include "core/internalcodes.h"
#include "core/itembuffers.h"
#include "core/raiseerror.h"
#include "core/sharedstate.h"
#include "core/tables.h"
#include "core/vocabulary.h"
#include "frontend/compilerstate.h"
#include "frontend/declnames.h"
#include "frontend/scan.h"
#include "frontend/scancodes.h"
#include "frontend/tokenizer.h"

#include <algorithm>
#include <array>

namespace LXScan {

namespace {

// Token kinds of a constant name the tokenizer has just declared (mode 0).
constexpr int NumConstNameToken = 15;
constexpr int StrConstNameToken = 25;
constexpr int BoolConstNameToken = 35;

// Argument counts are commas at depth 1: one argument is 0 commas.
constexpr int NoArgumentGroup = -1; // CountArgs: the bracket group is not closed on its line

CodeItemType Statement(int code) {
    return CodeItemType{CodeKind::Statement, code, 0};
}
CodeItemType Function(int code) {
    return CodeItemType{CodeKind::Function, code, 0};
}

bool IsVariable(const CodeItemType& item, int table) {
    return item.FirstCode == table && item.SecondCode >= 1;
}

NumVarType* NumRecord(const CodeItemType& item) {
    if (item.FirstCode != CodeKind::NumVar && item.FirstCode != CodeKind::NumArray) return nullptr;
    if (item.SecondCode < 1 || item.SecondCode > Tb.NumofRegisteredNumVar) return nullptr;
    return &Tb.NumVarTable[static_cast<std::size_t>(item.SecondCode)];
}

StrVarType* StrRecord(const CodeItemType& item) {
    if (item.FirstCode != CodeKind::StrVar && item.FirstCode != CodeKind::StrArray) return nullptr;
    if (item.SecondCode < 1 || item.SecondCode > Tb.NumofRegisteredStrVar) return nullptr;
    return &Tb.StrVarTable[static_cast<std::size_t>(item.SecondCode)];
}

BoolVarType* BoolRecord(const CodeItemType& item) {
    if (item.FirstCode != CodeKind::BoolVar && item.FirstCode != CodeKind::BoolArray) return nullptr;
    if (item.SecondCode < 1 || item.SecondCode > Tb.NumofRegisteredBoolVar) return nullptr;
    return &Tb.BoolVarTable[static_cast<std::size_t>(item.SecondCode)];
}

int ArrayKindOf(int variableKind) {
    switch (variableKind) {
    case CodeKind::NumVar: return CodeKind::NumArray;
    case CodeKind::StrVar: return CodeKind::StrArray;
    default: return CodeKind::BoolArray;
    }
}

// The record Kind of a variable item (0 also when the item names no record).
int RecordKind(const CodeItemType& item) {
    if (const NumVarType* r = NumRecord(item)) return r->Kind;
    if (const StrVarType* r = StrRecord(item)) return r->Kind;
    if (const BoolVarType* r = BoolRecord(item)) return r->Kind;
    return 0;
}

// Marks a variable as passed as a whole array; with asParameter also its Kind (5 numeric, 3 otherwise).
void MarkArrayParameter(const CodeItemType& item, bool asParameter) {
    if (NumVarType* r = NumRecord(item)) {
        r->ArrayParam = 1;
        if (asParameter) r->Kind = NumVarKind::ArrayParameter;
    } else if (StrVarType* r = StrRecord(item)) {
        r->ArrayParam = 1;
        if (asParameter) r->Kind = StrVarKind::ArrayParameter;
    } else if (BoolVarType* r = BoolRecord(item)) {
        r->ArrayParam = 1;
        if (asParameter) r->Kind = BoolVarKind::ArrayParameter;
    }
}

// The contexts a CONST or DIM list gives its names in the main program, in a SUB and in a FUNCTION; the
// PUBLIC form stands only in the main program.
struct ListContexts {
    std::uint8_t Public;
    std::uint8_t Main;
    std::uint8_t Sub;
    std::uint8_t Function;
};
constexpr ListContexts ConstContexts{DeclCtx::PublicConst, DeclCtx::Const, DeclCtx::SubConst,
                                     DeclCtx::FunctionConst};
constexpr ListContexts DimContexts{DeclCtx::PublicList, DeclCtx::DimList, DeclCtx::SubParams,
                                   DeclCtx::FunctionParams};

// The context a list's names take where statement `code` stands (`saved`); 0, with the error raised, where
// the statement may not stand.
std::uint8_t ListContext(const ListContexts& contexts, bool isPublic, std::uint8_t saved, int code) {
    std::uint8_t context = 0;
    if (isPublic) {
        if (saved == DeclCtx::Main) context = contexts.Public;
    } else if (saved == DeclCtx::Main) {
        context = contexts.Main;
    } else if (saved == DeclCtx::SubBody) {
        context = contexts.Sub;
    } else if (saved == DeclCtx::FunctionBody) {
        context = contexts.Function;
    }
    if (context == 0) RaiseError(Err::StatementSyntax, code);
    return context;
}

// Ends the scan of a declaring statement at a token that ends it: ":" is kept, the line end and a
// comment are taken with `endContext` as the declaring context, and a token this scan does not take
// goes back to the general scan. False for any other token.
bool EndsDeclarationScan(const CodeItemType& token, std::uint8_t endContext) {
    if (IsOp(token, Op::Colon)) {
        Emit(token);
        return true;
    }
    if (IsOp(token, Op::LineEnd)) {
        Rd.DeclContext = endContext;
        EndOfLine();
        return true;
    }
    if (IsOp(token, Op::Apostrophe)) {
        Rd.DeclContext = endContext;
        SkipComment();
        return true;
    }
    if (token.FirstCode != CodeKind::None) return false;
    Redispatch();
    return true;
}

// The error names the statement being declared, whatever part of it failed.
void NameStatementOfError(int code) {
    if (Fe.ErrorNumber != 0) Fe.ErrorNameIndex = code;
}

// ---- CONST and PUBLIC CONST --------------------------------------------------------------------------

// CONST name = literal [, name = literal]: nothing is emitted; each name becomes a constant whose entry
// points at its literal.
void HandleConst(bool isPublic) {
    const int code = isPublic ? St::PUBLICCONST : St::CONST;
    const std::uint8_t saved = Rd.DeclContext;
    const std::uint8_t context = ListContext(ConstContexts, isPublic, saved, code);
    if (context == 0) return;
    for (;;) {
        Rd.DeclContext = context;
        NextToken(TokenMode::Declare);
        if (Fe.ErrorNumber != 0) break;
        const int nameKind = Rd.ScanToken.FirstCode;
        const int entry = Rd.ScanToken.SecondCode;
        if ((nameKind != NumConstNameToken && nameKind != StrConstNameToken &&
             nameKind != BoolConstNameToken) ||
            entry < 1 || entry > Tb.NumofRegisteredDcVar) {
            RaiseError(Err::BadDeclaredName, code);
            break;
        }
        NextToken(TokenMode::Scan);
        if (Fe.ErrorNumber != 0) break;
        if (!IsOp(Rd.ScanToken, Op::Equal)) {
            RaiseError(Err::StatementSyntax, code);
            break;
        }
        NextToken(TokenMode::Scan);
        if (Fe.ErrorNumber != 0) break;
        const int valueKind = Rd.ScanToken.FirstCode;
        const int wanted = nameKind == NumConstNameToken   ? CodeKind::NumLiteral
                           : nameKind == StrConstNameToken ? CodeKind::StrLiteral
                                                           : CodeKind::BoolConst;
        const bool isLiteral = valueKind == CodeKind::NumLiteral || valueKind == CodeKind::StrLiteral ||
                               valueKind == CodeKind::BoolConst;
        if (!isLiteral) {
            RaiseError(Err::StatementSyntax, code);
            break;
        }
        if (valueKind != wanted) {
            RaiseError(Err::StatementType, code);
            break;
        }
        // The entry of the literal just read (a numeric item names entry SecondCode + 1).
        Tb.DcVarTable[static_cast<std::size_t>(entry)].Index =
            valueKind == CodeKind::NumLiteral ? Rd.ScanToken.SecondCode + 1 : Rd.ScanToken.SecondCode;

        // The separator is read outside the constant context, so that a stray name is not declared.
        Rd.DeclContext = saved;
        NextToken(TokenMode::Declare);
        if (Fe.ErrorNumber != 0) break;
        if (IsOp(Rd.ScanToken, Op::Comma)) continue;
        if (IsOp(Rd.ScanToken, Op::Colon)) break;
        if (IsOp(Rd.ScanToken, Op::LineEnd)) {
            // No line end is kept for the declaration, unless a single-line IF must end here.
            if (Cs.Scan.SingleLineIf == 1) EndOfLine();
            break;
        }
        if (IsOp(Rd.ScanToken, Op::Apostrophe)) {
            SkipComment();
            break;
        }
        RaiseError(Err::StatementSyntax, code);
        break;
    }
    Rd.DeclContext = saved;
    NameStatementOfError(code);
}

// ---- DIM and PUBLIC ------------------------------------------------------------------------------------

void HandleDim(int code) {
    if (code == St::PUBLIC && IsSt(PeekNextNoNames(), St::CONST)) {
        NextToken(TokenMode::LookAhead);
        HandleConst(true);
        return;
    }
    const std::uint8_t saved = Rd.DeclContext;
    const std::uint8_t context = ListContext(DimContexts, code == St::PUBLIC, saved, code);
    if (context == 0) return;
    EmitCode(CodeKind::Statement, St::DIM);
    int depth = 0;
    for (;;) {
        // Names in the bounds are ordinary names of the place where the DIM stands.
        Rd.DeclContext = depth > 0 ? saved : context;
        NextToken(TokenMode::Scan);
        if (Fe.ErrorNumber != 0) break;
        const CodeItemType token = Rd.ScanToken;
        if (EndsDeclarationScan(token, saved)) break;
        if (IsSt(token, St::AS) || IsSt(token, St::BOOLEAN) || IsSt(token, St::REAL) ||
            IsSt(token, St::STRING))
            continue;
        if (IsOp(token, Op::OpenBracket)) ++depth;
        if (IsOp(token, Op::CloseBracket) && depth > 0) --depth;
        Emit(token);
    }
    Rd.DeclContext = saved;
    NameStatementOfError(code);
}

// ---- SUB and FUNCTION ------------------------------------------------------------------------------

// The SUB or FUNCTION frame: three pairs of variable counts (boolean, numeric, string) that bracket
// the variables created inside the procedure; the second of each pair is completed at its end.
void EmitProcedureFrame() {
    const int counts[] = {Tb.NumofRegisteredBoolVar, Tb.NumofRegisteredNumVar, Tb.NumofRegisteredStrVar};
    const int kinds[] = {CodeKind::SubFrame, CodeKind::SubFrameN, CodeKind::SubFrameS};
    for (int i = 0; i < 3; ++i) {
        EmitCode(kinds[i], counts[i]);
        if (i == 0) Cs.Scan.SubFrameIndex = Ib.PreCodeIndex;
        EmitCode(kinds[i], counts[i]);
    }
}

// The rest of a header after its parameter list is passed over up to the statement's end; a comment
// there is left to the main loop.
void SkipRestOfStatement() {
    CodeItemType item;
    for (;;) {
        ScanRawStmtChar(item);
        if (IsStmtEnd(item)) return; // steps back over "'"
        if (Rd.SourcePos > Rd.CompileTextLength + 1) return;
    }
}

// The parameter list after "(": names are declared as locals of the procedure; a name written with
// "()" is an array parameter.
void CopyParameterList(int code) {
    int depth = 1;
    for (;;) {
        // A look at the next token that declares nothing: the real reading declares it.
        const CodeItemType next = PeekNextNoNames();
        if (Fe.ErrorNumber != 0 || IsStatementEndToken(next)) return;
        NextToken(TokenMode::Scan);
        if (Fe.ErrorNumber != 0) return;
        const CodeItemType token = Rd.ScanToken;
        if (token.FirstCode == CodeKind::Statement) {
            if (IsSt(token, St::AS) || IsSt(token, St::BOOLEAN) || IsSt(token, St::REAL) ||
                IsSt(token, St::STRING))
                continue;
            RaiseError(Err::StatementSyntax, code);
            return;
        }
        if (IsOp(token, Op::OpenBracket)) {
            const CodeItemType last = LastItem(1);
            const bool variable = IsVariable(last, CodeKind::NumVar) || IsVariable(last, CodeKind::StrVar) ||
                                  IsVariable(last, CodeKind::BoolVar);
            if (variable && RecordKind(last) == 0 && IsOp(PeekNextNoNames(), Op::CloseBracket)) {
                MarkArrayParameter(last, true);
                ReplaceLast(CodeItemType{ArrayKindOf(last.FirstCode), last.SecondCode, 0});
                NextToken(TokenMode::Scan);
                continue;
            }
            Emit(token);
            ++depth;
            continue;
        }
        Emit(token);
        if (IsOp(token, Op::CloseBracket) && --depth == 0) return;
    }
}

void HandleProcedureHeader(bool isSub) {
    const int code = isSub ? St::SUB : St::FUNCTION;
    const int endCode = isSub ? St::ENDSUB : St::ENDFUNCTION;
    if (IsSt(LastItem(1), St::END)) {
        // END SUB, END FUNCTION
        ReplaceLast(Statement(endCode));
        if (!PopMustGive({code}, isSub ? Err::EndSubWithoutSub : Err::EndFunctionWithoutFunction, endCode))
            return;
        CloseProcedure();
        EmitLineEnd();
        return;
    }
    EmitCode(CodeKind::Statement, code);
    if (Cs.Scan.BlockChkCount > 0) {
        RaiseError(isSub ? Err::SubInsideBlock : Err::FunctionInsideBlock, code);
        return;
    }
    PushBlockChk(BlockChkType{code, QString()});
    if (Fe.ErrorNumber != 0) return;
    Rd.DeclContext = isSub ? DeclCtx::SubName : DeclCtx::FunctionName;

    NextToken(TokenMode::Scan);
    if (Fe.ErrorNumber != 0) {
        NameStatementOfError(code);
        return;
    }
    const CodeItemType name = Rd.ScanToken;
    if (NumVarType* r = NumRecord(name); r != nullptr && name.FirstCode == CodeKind::NumVar) {
        r->Kind = isSub ? NumVarKind::SubName : NumVarKind::FunctionName;
    } else if (StrVarType* s = StrRecord(name);
               s != nullptr && name.FirstCode == CodeKind::StrVar && !isSub) {
        s->Kind = StrVarKind::FunctionName;
    } else if (BoolVarType* b = BoolRecord(name);
               b != nullptr && name.FirstCode == CodeKind::BoolVar && !isSub) {
        b->Kind = BoolVarKind::FunctionName;
    } else {
        RaiseError(isSub ? Err::SubBadName : Err::FunctionBadName, code);
        EmitLineEnd();
        return;
    }
    Emit(name);
    EmitProcedureFrame();
    AdvanceLocalNamePrefix();

    if (IsOp(PeekNextNoNames(), Op::OpenBracket)) {
        NextToken(TokenMode::Scan);
        Emit(Rd.ScanToken);
        Rd.DeclContext = isSub ? DeclCtx::SubParams : DeclCtx::FunctionParams;
        CopyParameterList(code);
        if (Fe.ErrorNumber != 0) {
            NameStatementOfError(code);
            return;
        }
    }
    Rd.DeclContext = DeclCtx::Main;
    SkipRestOfStatement();
    Rd.DeclContext = isSub ? DeclCtx::SubBody : DeclCtx::FunctionBody;
    EmitLineEnd();
}

// ENDSUB and ENDFUNCTION written as one word.
void HandleProcedureEnd(bool isSub) {
    const int code = isSub ? St::SUB : St::FUNCTION;
    const int endCode = isSub ? St::ENDSUB : St::ENDFUNCTION;
    if (!PopMustGive({code}, isSub ? Err::EndSubWithoutSub : Err::EndFunctionWithoutFunction, endCode))
        return;
    EmitCode(CodeKind::Statement, endCode);
    CloseProcedure();
}

// ---- CALL and DEF ----------------------------------------------------------------------------------------

void HandleCall() {
    EmitCode(CodeKind::Statement, St::CALL);
    // SUB names are global: the name is read without the local prefix of the procedure it stands in.
    const QString prefix = Rd.LocalNamePrefix;
    Rd.LocalNamePrefix.clear();
    NextToken(TokenMode::Scan);
    Rd.LocalNamePrefix = prefix;
    if (Fe.ErrorNumber != 0) return;
    const CodeItemType name = Rd.ScanToken;
    NumVarType* record = name.FirstCode == CodeKind::NumVar ? NumRecord(name) : nullptr;
    if (record == nullptr) {
        RaiseError(Err::SubBadName, St::CALL);
        return;
    }
    const int entry = FindDcVar(record->Name);
    if (entry == 0 ||
        (Tb.DcVarTable[static_cast<std::size_t>(entry)].Kind & DcVarKind::Mask) != DcVarKind::Sub) {
        RaiseError(Err::CallNotSub, St::CALL);
        return;
    }
    record->Kind = NumVarKind::SubName;
    Emit(name);
}

// DEF name(p1, p2$, ...) = expression: the parameters become argument bindings (last first) followed
// by the numbers of numeric and string parameters; in the body they are the function's locals.
void HandleDef() {
    EmitCode(CodeKind::Statement, St::DEF);
    NextToken(TokenMode::Scan);
    if (Fe.ErrorNumber != 0) return;
    const CodeItemType name = Rd.ScanToken;
    if (NumVarType* r = name.FirstCode == CodeKind::NumVar ? NumRecord(name) : nullptr)
        r->Kind = NumVarKind::DefFunction;
    else if (StrVarType* s = name.FirstCode == CodeKind::StrVar ? StrRecord(name) : nullptr)
        s->Kind = StrVarKind::DefFunction;
    Emit(name);
    AdvanceLocalNamePrefix();

    NextToken(TokenMode::Scan);
    if (Fe.ErrorNumber != 0) return;
    if (!IsOp(Rd.ScanToken, Op::OpenBracket)) {
        RaiseError(Err::DefNoOpenBracket, St::DEF);
        return;
    }
    ClearTokenStack();
    ResetLocalNumTbl();
    ResetLocalStrTbl();
    for (;;) {
        CodeItemType parameter;
        GetDefToken(parameter);
        Cs.Scan.PreCodeItem = parameter;
        // A parameter's Position is the one after its first letter; a refused one has none, and is
        // placed after what was read of it.
        Cs.Scan.PreCodeItem.Position =
            ProgramPosition(parameter.Position > 0 ? parameter.Position : Rd.SourcePos);
        if (Fe.ErrorNumber != 0) return;
        PushToken(parameter);
        if (Fe.ErrorNumber != 0) return;
        NextToken(TokenMode::Scan);
        if (Fe.ErrorNumber != 0) return;
        if (IsOp(Rd.ScanToken, Op::CloseBracket)) break;
        if (!IsOp(Rd.ScanToken, Op::Comma)) {
            RaiseError(Err::DefSyntax, St::DEF);
            return;
        }
    }
    int numCount = 0;
    int strCount = 0;
    while (Cs.Scan.TokenStackCount > 0) {
        CodeItemType parameter;
        PopToken(parameter);
        if (parameter.FirstCode == CodeKind::LocalStrVar) {
            EmitCode(CodeKind::StrArgBind, parameter.SecondCode);
            ++strCount;
        } else {
            EmitCode(CodeKind::NumArgBind, parameter.SecondCode);
            ++numCount;
        }
    }
    EmitCode(CodeKind::FrameCountN, numCount);
    EmitCode(CodeKind::FrameCountS, strCount);

    NextToken(TokenMode::Scan);
    if (Fe.ErrorNumber != 0) return;
    if (!IsOp(Rd.ScanToken, Op::Equal)) {
        RaiseError(Err::DefSyntax, St::DEF);
        return;
    }
    Emit(Rd.ScanToken);
    Rd.LocalNameMode = 1;
    for (;;) {
        NextToken(TokenMode::Scan);
        if (Fe.ErrorNumber != 0) break;
        const CodeItemType token = Rd.ScanToken;
        if (EndsDeclarationScan(token, Rd.DeclContext)) break;
        Emit(token);
    }
    Rd.DeclContext = DeclCtx::Main;
    Rd.LocalNameMode = 0;
}

// ---- merged keywords -----------------------------------------------------------------------------------

void HandleInput() {
    if (IsSt(LastItem(1), St::LINE))
        ReplaceLast(Statement(St::LINEINPUT));
    else
        EmitCode(CodeKind::Statement, St::INPUT);
}

void HandleUsing() {
    if (IsSt(LastItem(1), St::PRINT)) {
        ReplaceLast(Statement(St::PRINTUSING));
        return;
    }
    // PRINT # n, USING: the channel literal follows the one item of PRINT# USING.
    const CodeItemType channel = LastItem(2);
    if (IsOp(LastItem(1), Op::Comma) && channel.FirstCode == CodeKind::NumLiteral &&
        IsSt(LastItem(3), St::PRINTFile)) {
        Ib.PreCodeIndex -= 3;
        EmitCode(CodeKind::Statement, InSt::PrintUsingFile);
        Emit(channel);
        return;
    }
    RaiseError(Err::UsingWithoutPrint, St::USING);
}

void HandleOptionWord(int code) {
    const CodeItemType last = LastItem(1);
    switch (code) {
    case St::ANGLE:
        if (IsSt(last, St::OPTION))
            ReplaceLast(Statement(St::OPTIONANGLE));
        else
            EmitCode(CodeKind::Statement, St::OPTIONANGLE);
        return;
    case St::DEGREES:
    case St::RADIANS:
        // OPTION ANGLE DEGREES is the one statement DEGREES.
        if (IsSt(last, St::OPTIONANGLE))
            ReplaceLast(Statement(code));
        else
            EmitCode(CodeKind::Statement, code);
        return;
    default: break;
    }
    // EXPLICIT: the pre-scan has done the work; only its form is kept.
    if (!IsSt(last, St::OPTION)) return;
    --Ib.PreCodeIndex;
    const CodeItemType next = PeekNext();
    if (IsSt(next, St::OFF)) {
        NextToken(TokenMode::Scan);
        EmitCode(CodeKind::Statement, ScanCode::OptionExplicitOff);
    } else if (IsSt(next, St::ON)) {
        NextToken(TokenMode::Scan);
        EmitCode(CodeKind::Statement, ScanCode::OptionExplicitOn);
    } else if (next.FirstCode != CodeKind::Statement) {
        EmitCode(CodeKind::Statement, St::OPTIONEXPLICIT);
    }
}

// CSCREEN and GSCREEN: CLOSE CSCREEN is one statement; OPEN CSCREEN is CSCREEN; the form follows
// from the number of arguments.
void HandleScreen(int code) {
    const CodeItemType last = LastItem(1);
    if (IsSt(last, St::CLOSE)) {
        ReplaceLast(Statement(code == St::CSCREEN ? St::CLOSECSCREEN : St::CLOSEGSCREEN));
        return;
    }
    if (IsSt(last, St::OPEN)) --Ib.PreCodeIndex;
    const int commas = CountArgs();
    if (Fe.ErrorNumber != 0) return;
    constexpr int TwoArguments = 1;
    constexpr int FourArguments = 3;
    if (commas == NoArgumentGroup || commas == TwoArguments) {
        // An unclosed group is left to the statement compiler, which reports it.
        EmitCode(CodeKind::Statement, code);
    } else if (code == St::GSCREEN && commas == FourArguments) {
        EmitCode(CodeKind::Statement, code + ArgumentFormStep);
    } else {
        RaiseError(Err::StatementSyntax, code);
    }
}

// HELP -RW, -UV, -CR, -LORVEXC: the debugging listings.
void HandleHelp() {
    if (!IsOp(PeekNext(), Op::Minus)) {
        EmitCode(CodeKind::Statement, St::HELP);
        return;
    }
    NextToken(TokenMode::Scan);
    QString word;
    ReadWord(word);
    if (Fe.ErrorNumber != 0) return;
    UnreadChar(); // the character that ended the word is read again
    int code = St::HELP;
    if (word == u"RW")
        code = InSt::ListReservedWords;
    else if (word == u"UV")
        code = InSt::DumpVariables;
    else if (word == u"CR")
        code = InSt::DumpCrossReference;
    else if (word == u"LORVEXC")
        code = InSt::DumpCodeListing;
    EmitCode(CodeKind::Statement, code);
}

// ---- argument forms ------------------------------------------------------------------------------------

constexpr int Invalid = -1;

// Emits the keyword with its code raised by forms[c] for c commas at depth 1; a count outside the
// table, or an entry Invalid, is the keyword's syntax error. An unclosed group leaves the code as it is.
void EmitArgumentForm(int kind, int code, std::initializer_list<int> forms) {
    const int commas = CountArgs();
    if (Fe.ErrorNumber != 0) return;
    if (commas == NoArgumentGroup) {
        EmitCode(kind, code);
        return;
    }
    const int error = kind == CodeKind::Function ? Err::FunctionArgType : Err::StatementSyntax;
    if (commas >= static_cast<int>(forms.size()) || forms.begin()[commas] == Invalid) {
        RaiseError(error, code);
        return;
    }
    EmitCode(kind, code + forms.begin()[commas]);
}

// Keywords whose form with one argument differs from the one without: no brackets, or "()" which is
// consumed, give the code itself; "(x)" gives code + oneArgument followed by the "(".
void EmitBracketForm(int kind, int code, int oneArgument, std::initializer_list<int> moreArguments) {
    const int commas = CountArgs();
    if (Fe.ErrorNumber != 0) return;
    if (commas == NoArgumentGroup) {
        EmitCode(kind, code);
        return;
    }
    if (commas == 0) {
        if (!IsOp(PeekNext(), Op::OpenBracket)) {
            EmitCode(kind, code);
            return;
        }
        NextToken(TokenMode::Scan);
        const CodeItemType open = Rd.ScanToken;
        if (IsOp(PeekNext(), Op::CloseBracket)) {
            NextToken(TokenMode::Scan);
            EmitCode(kind, code);
            return;
        }
        EmitCode(kind, code + oneArgument);
        Emit(open);
        return;
    }
    const int error = kind == CodeKind::Function ? Err::FunctionArgType : Err::StatementSyntax;
    const int at = commas - 1;
    if (at >= static_cast<int>(moreArguments.size())) {
        RaiseError(error, code);
        return;
    }
    EmitCode(kind, code + moreArguments.begin()[at]);
}

// RANDOMIZE and RUN: a form with an argument and one without.
void HandleOptionalArgument(int code) {
    const CodeItemType next = PeekNext();
    EmitCode(CodeKind::Statement, IsStatementEndToken(next) ? code : code + ArgumentFormStep);
}

// The settings words are statements at the start of a statement and read the setting elsewhere.
constexpr std::array<int, 36> SettingWords = {
    St::BACKCOLOR,    St::BORDERCOLOR, St::CBACKCOLOR,   St::CFONTCHARSET, St::CFONTCOLOR,   St::CFONTNAME,
    St::CFONTSIZE,    St::CFONTSTYLE,  St::CWINDOWSTATE, St::DRAWMODE,     St::DRAWSTYLE,    St::DRAWWIDTH,
    St::EWINDOWSTATE, St::FILLSTYLE,   St::FORECOLOR,    St::GBACKCOLOR,   St::GBORDERCOLOR, St::GDRAWMODE,
    St::GDRAWSTYLE,   St::GDRAWWIDTH,  St::GFILLSTYLE,   St::GFONTCHARSET, St::GFONTCOLOR,   St::GFONTNAME,
    St::GFONTSIZE,    St::GFONTSTYLE,  St::GFORECOLOR,   St::GWINDOWSTATE, St::PRECISION,    St::TBACKCOLOR,
    St::TFONTCHARSET, St::TFONTCOLOR,  St::TFONTNAME,    St::TFONTSIZE,    St::TFONTSTYLE,   St::TWINDOWSTATE,
};

bool IsSettingWord(int code) {
    return std::find(SettingWords.begin(), SettingWords.end(), code) != SettingWords.end();
}

// ---- member forms --------------------------------------------------------------------------------------

struct MemberWord {
    int Keyword; // AUDIOMIXER, CLIPBOARD or MEDIAPLAYER
    std::u16string_view Word;
    int Code;            // the statement code
    bool ReadsValue;     // away from the start of a statement it becomes the function code + 1000
    bool AlwaysFunction; // CLIPBOARD.GETTEXT is a function wherever it stands
};

constexpr std::array<MemberWord, 11> MemberWords = {{
    {St::AUDIOMIXER, u"MASTERVOLUME", InSt::AudioMixerMasterVolume, true, false},
    {St::AUDIOMIXER, u"MASTERMUTE", InSt::AudioMixerMasterMute, true, false},
    {St::CLIPBOARD, u"CLEAR", InSt::ClipboardClear, false, false},
    {St::CLIPBOARD, u"GETTEXT", InFn::ClipboardGetText, false, true},
    {St::CLIPBOARD, u"SETTEXT", InSt::ClipboardSetText, false, false},
    {St::MEDIAPLAYER, u"PLAY", InSt::MediaPlayerPlay, false, false},
    {St::MEDIAPLAYER, u"PAUSE", InSt::MediaPlayerPause, false, false},
    {St::MEDIAPLAYER, u"MODE", InSt::MediaPlayerMode, true, false},
    {St::MEDIAPLAYER, u"CLOSE", InSt::MediaPlayerClose, false, false},
    {St::MEDIAPLAYER, u"OPEN", InSt::MediaPlayerOpen, false, false},
    {St::MEDIAPLAYER, u"STOP", InSt::MediaPlayerStop, false, false},
}};

std::u16string_view View(const QString& text) {
    return std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                               static_cast<std::size_t>(text.size()));
}

// Reads the token after a member keyword with "." as the member operator; true when it is ".".
bool MemberDotFollows() {
    Rd.MemberDotMode = 1;
    NextToken(TokenMode::Scan);
    Rd.MemberDotMode = 0;
    return Fe.ErrorNumber == 0 && IsOp(Rd.ScanToken, Op::Period);
}

// AUDIOMIXER.MASTERVOLUME, CLIPBOARD.SETTEXT, MEDIAPLAYER.PLAY ...
void HandleMember(int keyword) {
    const bool atStart = AtStatementStart(true);
    if (!MemberDotFollows()) {
        if (Fe.ErrorNumber != 0) return;
        EmitCode(CodeKind::Statement, keyword);
        Redispatch();
        return;
    }
    const QString word = ReadMemberWord();
    if (Fe.ErrorNumber != 0) return;
    for (const MemberWord& m : MemberWords) {
        if (m.Keyword != keyword || m.Word != View(word)) continue;
        if (m.AlwaysFunction)
            EmitCode(CodeKind::Function, m.Code);
        else if (m.ReadsValue && !atStart)
            EmitCode(CodeKind::Function, m.Code + SettingValueBase);
        else
            EmitCode(CodeKind::Statement, m.Code);
        return;
    }
    RaiseError(Err::StatementType, keyword);
}

// CBUTTON(k).word [= value], CLABEL(k).word, CTEXTBOX(k).word; CBUTTON(k) ON stays the show statement.
void HandleControl(int keyword) {
    const bool atStart = AtStatementStart(true);
    const int keywordIndex = Ib.PreCodeIndex;
    EmitCode(CodeKind::Statement, keyword);
    if (Fe.ErrorNumber != 0) return;
    if (IsOp(PeekNext(), Op::OpenBracket)) {
        int depth = 0;
        for (;;) {
            NextToken(TokenMode::Scan);
            if (Fe.ErrorNumber != 0) return;
            const CodeItemType token = Rd.ScanToken;
            if (IsStatementEndToken(token)) {
                Redispatch();
                return;
            }
            if (IsOp(token, Op::Comma) && depth == 1) {
                RaiseError(Err::StatementType, keyword);
                return;
            }
            Emit(token);
            if (IsOp(token, Op::OpenBracket)) ++depth;
            if (IsOp(token, Op::CloseBracket) && --depth == 0) break;
        }
    }
    if (!MemberDotFollows()) {
        if (Fe.ErrorNumber == 0) Redispatch();
        return;
    }
    const QString word = ReadMemberWord();
    if (Fe.ErrorNumber != 0) return;
    const int n = ControlPropertyNumber(keyword, View(word));
    const bool click = keyword == St::CBUTTON && n == ControlProperty::Click;
    if (n == 0 || (click && atStart)) {
        RaiseError(Err::StatementType, keyword);
        return;
    }
    if (keywordIndex < 0 || keywordIndex > Ib.CurrentmaxPreCodeNum) return;
    CodeItemType& item = Ib.PreCodeBuffer[static_cast<std::size_t>(keywordIndex)];
    item.FirstCode = CodeKind::Function;
    if (!atStart) {
        item.SecondCode = click ? PropertyRange::ButtonClick : PropertyGetBase + n;
        return;
    }
    item.SecondCode = PropertySetBase + n;
    if (IsOp(PeekNext(), Op::Equal)) NextToken(TokenMode::Scan);
}

// ---- functions with forms of their own -------------------------------------------------------------

// GETHOUR, INKEY$ ...: an empty "()" after them is dropped.
void EmitDroppingEmptyBrackets(int code) {
    EmitCode(CodeKind::Function, code);
    if (!IsOp(PeekNext(), Op::OpenBracket)) return;
    NextToken(TokenMode::Scan);
    if (IsOp(PeekNext(), Op::CloseBracket)) {
        NextToken(TokenMode::Scan);
        return;
    }
    Redispatch();
}

// SPLIT$(a$, ...) gets the StrVarTable index of its first argument as an added first argument.
void HandleSplit() {
    EmitCode(CodeKind::Function, Fn::SPLITStr);
    if (!IsOp(PeekNext(), Op::OpenBracket)) return;
    NextToken(TokenMode::Scan);
    Emit(Rd.ScanToken);
    const CodeItemType next = PeekNext();
    if (Fe.ErrorNumber != 0) return;
    const int index = next.FirstCode == CodeKind::StrVar ? next.SecondCode : 0;
    const CodeItemType literal = AppendNumLiteral(index);
    if (Fe.ErrorNumber != 0) return;
    Emit(literal);
    EmitCode(CodeKind::Operator, Op::Comma);
}

// A$() = READALLLINES(file [, encoding]): the function takes the place of the assignment and the
// array follows it.
void HandleReadAllLines() {
    const CodeItemType array = LastItem(2);
    if (!IsOp(LastItem(1), Op::Equal) || array.FirstCode != CodeKind::StrArray) {
        RaiseError(Err::FunctionArgType, Fn::READALLLINES);
        return;
    }
    Ib.PreCodeIndex -= 2;
    if (IsSt(LastItem(1), St::LET)) --Ib.PreCodeIndex;
    const int commas = CountArgs();
    if (Fe.ErrorNumber != 0) return;
    int code = Fn::READALLLINES;
    if (commas == 1) {
        code += FunctionFormStep;
    } else if (commas != 0 && commas != NoArgumentGroup) {
        RaiseError(Err::FunctionArgType, Fn::READALLLINES);
        return;
    }
    EmitCode(CodeKind::Function, code);
    Emit(array);
}

} // namespace

bool HandleDeclStatement(int code) {
    if (IsSettingWord(code)) {
        if (AtStatementStart(false))
            EmitCode(CodeKind::Statement, code);
        else
            EmitCode(CodeKind::Function, code + SettingValueBase);
        return true;
    }
    switch (code) {
    case St::CONST: HandleConst(false); return true;
    case St::DIM:
    case St::PUBLIC: HandleDim(code); return true;
    case St::SUB: HandleProcedureHeader(true); return true;
    case St::FUNCTION: HandleProcedureHeader(false); return true;
    case St::ENDSUB: HandleProcedureEnd(true); return true;
    case St::ENDFUNCTION: HandleProcedureEnd(false); return true;
    case St::CALL: HandleCall(); return true;
    case St::DEF: HandleDef(); return true;
    case St::INPUT: HandleInput(); return true;
    case St::USING: HandleUsing(); return true;
    case St::ANGLE:
    case St::DEGREES:
    case St::RADIANS:
    case St::EXPLICIT: HandleOptionWord(code); return true;
    case St::CSCREEN:
    case St::GSCREEN: HandleScreen(code); return true;
    case St::HELP: HandleHelp(); return true;
    case St::RANDOMIZE:
    case St::RUN: HandleOptionalArgument(code); return true;
    case St::LOADPICTURE:
    case St::SAVEPICTURE:
        EmitBracketForm(CodeKind::Statement, code, ArgumentFormStep,
                        {2 * ArgumentFormStep, 3 * ArgumentFormStep});
        return true;
    case St::APPENDALLTEXT:
    case St::WRITEALLLINES:
    case St::WRITEALLTEXT:
        EmitArgumentForm(CodeKind::Statement, code, {Invalid, 0, ArgumentFormStep});
        return true;
    // One word as well as OPEN CSCREEN: the control window's two sizes.
    case St::OPENCSCREEN: EmitArgumentForm(CodeKind::Statement, code, {Invalid, 0}); return true;
    case St::OPENGSCREEN:
        EmitArgumentForm(CodeKind::Statement, code, {Invalid, 0, Invalid, ArgumentFormStep});
        return true;
    case St::AUDIOMIXER:
    case St::CLIPBOARD:
    case St::MEDIAPLAYER: HandleMember(code); return true;
    case St::CBUTTON:
    case St::CLABEL:
    case St::CTEXTBOX: HandleControl(code); return true;
    default: return false;
    }
}

bool HandleFunction(int code) {
    switch (code) {
    case Fn::NORMALIZE:
    case Fn::READALLTEXT:
    case Fn::ROUND: EmitArgumentForm(CodeKind::Function, code, {0, FunctionFormStep}); return true;
    case Fn::INPUTBOX:
    case Fn::MSGBOX:
        EmitArgumentForm(CodeKind::Function, code, {0, FunctionFormStep, 2 * FunctionFormStep});
        return true;
    case Fn::INPUTStr:
    case Fn::SELECTOPENFILE:
    case Fn::SELECTSAVEFILE:
        EmitBracketForm(CodeKind::Function, code, FunctionFormStep, {2 * FunctionFormStep});
        return true;
    case Fn::GETCURRENTDIR:
    case Fn::GETHOUR:
    case Fn::GETMINUTE:
    case Fn::GETMSECOND:
    case Fn::GETSECOND:
    case Fn::INKEYStr: EmitDroppingEmptyBrackets(code); return true;
    case Fn::RND:
        EmitCode(CodeKind::Function, IsOp(PeekNext(), Op::OpenBracket) ? code + FunctionFormStep : code);
        return true;
    case Fn::SPLITStr: HandleSplit(); return true;
    case Fn::READALLLINES: HandleReadAllLines(); return true;
    default: return false;
    }
}

// "(": after a variable and directly closed, it makes the variable an array reference (A() passes a
// whole array); after SEEK it makes SEEK the function.
void HandleOpenBracket() {
    const CodeItemType open = Cs.Scan.PreCodeItem;
    const CodeItemType last = LastItem(1);
    const bool variable = IsVariable(last, CodeKind::NumVar) || IsVariable(last, CodeKind::StrVar) ||
                          IsVariable(last, CodeKind::BoolVar);
    if (variable) {
        const int kind = RecordKind(last);
        const int parameterKind =
            last.FirstCode == CodeKind::NumVar ? NumVarKind::ArrayParameter : StrVarKind::ArrayParameter;
        if ((kind == 0 || kind == parameterKind) && IsOp(PeekNext(), Op::CloseBracket)) {
            if (Fe.ErrorNumber != 0) return;
            ReplaceLast(CodeItemType{ArrayKindOf(last.FirstCode), last.SecondCode, 0});
            MarkArrayParameter(last, false);
            NextToken(TokenMode::Scan);
            return;
        }
    }
    if (IsSt(last, St::SEEK)) {
        ReplaceLast(Function(Fn::SEEK));
        Emit(open);
        return;
    }
    Emit(open);
}

// "#": PRINT #, INPUT #, LINE INPUT # are statements of their own; after AS, ",", SEEK and CLOSE the
// "#" of a channel number stays.
void HandleHash() {
    const CodeItemType last = LastItem(1);
    if (IsSt(last, St::PRINT)) {
        ReplaceLast(Statement(St::PRINTFile));
    } else if (IsSt(last, St::INPUT)) {
        ReplaceLast(Statement(St::INPUTFile));
    } else if (IsSt(last, St::LINEINPUT)) {
        ReplaceLast(Statement(St::LINEINPUTFile));
    } else if (IsSt(last, St::AS) || IsOp(last, Op::Comma) || IsSt(last, St::SEEK) || IsSt(last, St::CLOSE)) {
        Emit(Cs.Scan.PreCodeItem);
    } else {
        RaiseError(Err::HashMisplaced, NoNameIndex);
    }
}

void CloseProcedure() {
    const int last = Cs.Scan.SubFrameIndex + 4;
    if (Cs.Scan.SubFrameIndex >= 1 && last <= Ib.CurrentmaxPreCodeNum) {
        Ib.PreCodeBuffer[static_cast<std::size_t>(Cs.Scan.SubFrameIndex)].SecondCode =
            Tb.NumofRegisteredBoolVar;
        Ib.PreCodeBuffer[static_cast<std::size_t>(Cs.Scan.SubFrameIndex + 2)].SecondCode =
            Tb.NumofRegisteredNumVar;
        Ib.PreCodeBuffer[static_cast<std::size_t>(Cs.Scan.SubFrameIndex + 4)].SecondCode =
            Tb.NumofRegisteredStrVar;
    }
    Rd.LocalNamePrefix.clear();
    Rd.DeclContext = DeclCtx::Main;
}

} // namespace LXScan

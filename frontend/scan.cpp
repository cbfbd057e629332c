// The statement scan's main loop and its handlers: tokens copied to pre-code, two-word keywords folded,
// block nesting checked, single-line IFs closed, comments skipped and signs folded into literals.
#include "frontend/scan.h"

#include "core/errornumbers.h"
#include "core/internalcodes.h"
#include "core/itembuffers.h"
#include "core/raiseerror.h"
#include "core/sharedstate.h"
#include "core/tables.h"
#include "core/vocabulary.h"
#include "frontend/compilerstate.h"
#include "frontend/compilestop.h"
#include "frontend/tokenizer.h"

#include <algorithm>

namespace LXScan {

namespace {

bool RedispatchPending = false;  // a handler gave the token in ScanToken back to the main loop
bool FormulaScan = false;        // STRTOFORM: PreCodeLimit is the program's; the text is an expression
int LastBlockCode = St::DO;      // the block pushed or popped last, named when blocks stay open
constexpr int LineEndLength = 2; // CR LF
int IncludeLineEndLength = 0;    // the line end that opened the included text now being scanned
int ScanTokenPosition = 0;       // PreCodeItem's position for the token in ScanToken

// An item of this kind never exists; it lets the end-of-text item (kind 0) through AddPreCode, which
// drops kind 0, before it is set to its real kind in place.
constexpr int PlaceholderKind = -2;

} // namespace

bool IsOp(const CodeItemType& item, int slot) {
    return item.FirstCode == CodeKind::Operator && item.SecondCode == slot;
}

bool IsSt(const CodeItemType& item, int slot) {
    return item.FirstCode == CodeKind::Statement && item.SecondCode == slot;
}

bool IsStatementEndToken(const CodeItemType& item) {
    return item.FirstCode == CodeKind::None || IsOp(item, Op::Colon) || IsOp(item, Op::LineEnd) ||
           IsOp(item, Op::Apostrophe);
}

int ProgramPosition(int compilePosition) {
    return Rd.IncludeMode == 1 ? Rd.IncludePosition : compilePosition - Rd.IncludeOffset;
}

void NextToken(int mode) {
    GetToken(Rd.ScanToken, mode);
    Cs.Scan.PreCodeItem = Rd.ScanToken;
    // The token's own position, the character after it, in the program text as the user wrote it:
    // an error is reported at the token's last character.
    Cs.Scan.PreCodeItem.Position = ProgramPosition(Rd.SourcePos);
    // Kept with the token, for a token handed back to the main loop.
    ScanTokenPosition = Cs.Scan.PreCodeItem.Position;
}

namespace {

// Items emitted after a peek carry the position of the token being handled, not of the peeked one.
CodeItemType PeekWith(void (*peek)(CodeItemType&)) {
    const int tokenStart = Rd.TokenStart;
    CodeItemType item;
    peek(item);
    Rd.TokenStart = tokenStart;
    return item;
}

} // namespace

CodeItemType PeekNext() {
    return PeekWith(PeekToken);
}
CodeItemType PeekNextNoNames() {
    return PeekWith(PeekToken2);
}

void Redispatch() {
    RedispatchPending = true;
}

void Emit(const CodeItemType& item) {
    AddPreCode(item);
}

void EmitCode(int kind, int code) {
    AddPreCode(CodeItemType{kind, code, 0});
}

void ReplaceLast(const CodeItemType& item) {
    if (Ib.PreCodeIndex > 0) --Ib.PreCodeIndex;
    AddPreCode(item);
}

CodeItemType LastItem(int n) {
    CodeItemType item;
    PeekPreCodeBack(n, item);
    return item;
}

bool AtStatementStart(bool withThenElse) {
    auto separates = [](const CodeItemType& item) {
        if (IsOp(item, Op::Colon) || IsOp(item, Op::LineEnd)) return true;
        // Nothing before it: the first statement of a command (slot 0 of the immediate area is empty).
        // A formula is an expression, so its start is no statement start.
        return item.FirstCode == CodeKind::None && !FormulaScan;
    };
    const CodeItemType last = LastItem(1);
    if (separates(last)) return true;
    if (withThenElse && (IsSt(last, St::THEN) || IsSt(last, St::ELSE))) return true;
    return last.FirstCode == CodeKind::NumLiteral && separates(LastItem(2));
}

CodeItemType AppendNumLiteral(long double value) {
    const int at = Tb.NumofRegisteredNumCon + 1;
    if (!GrowTable(Tb.NumConTable, static_cast<std::size_t>(at))) return CodeItemType{};
    Tb.NumConTable[static_cast<std::size_t>(at)] = value;
    Tb.NumofRegisteredNumCon = at;
    return CodeItemType{CodeKind::NumLiteral, at - 1, 0};
}

bool PopMustGive(std::initializer_list<int> wanted, int error, int emptyName, BlockChkType* popped) {
    if (Cs.Scan.BlockChkCount <= 0) {
        RaiseError(error, emptyName);
        return false;
    }
    BlockChkType record;
    PopBlockChk(record);
    if (popped != nullptr) *popped = record;
    if (std::find(wanted.begin(), wanted.end(), record.Code) == wanted.end()) {
        RaiseError(error, record.Code);
        return false;
    }
    return true;
}

namespace {

// True once the reader has consumed the text's end: its NUL, or everything (a formula has no NUL).
bool AtTextEnd() {
    if (Rd.SourcePos > Rd.CompileTextLength) return true;
    const int last = Rd.SourcePos - 1;
    return last >= 1 && last <= Rd.CompileText.size() && Rd.CompileText[last - 1].unicode() == 0;
}

} // namespace

void SkipComment() {
    CodeItemType item;
    bool lineEnd = false;
    for (;;) {
        ScanRawChar(item);
        if (IsOp(item, Op::LineEnd)) {
            lineEnd = true;
            break;
        }
        // A CR without LF gives kind 0 too; only the text's end stops the skipping.
        if (item.FirstCode == CodeKind::None && AtTextEnd()) break;
    }
    if (lineEnd) EmitLineEnd();
    EndOfLine();
}

namespace {

QString ReadMemberWordText() {
    char16_t c = ReadChar();
    while (c == u' ' || c == u'\t')
        c = ReadChar();
    UnreadChar();
    QString word;
    ReadWord(word);
    // ReadWord consumed the character after the word; the next token starts with it.
    UnreadChar();
    return word;
}

} // namespace

QString ReadMemberWord() {
    const QString word = ReadMemberWordText();
    // The word stands in the place of a token: an error about it points at its last character.
    Cs.Scan.PreCodeItem.Position = ProgramPosition(Rd.SourcePos);
    return word;
}

namespace {

// ---- the handlers of this unit --------------------------------------------------------------------

void Push(int code, const QString& name = QString()) {
    PushBlockChk(BlockChkType{code, name});
}

// "{": text up to the next "}" is skipped, over lines; the end of the text ends it too.
void SkipBraceBlock() {
    CodeItemType item;
    for (;;) {
        ScanRawChar(item);
        if (IsOp(item, Op::CloseBrace)) return;
        if (item.FirstCode == CodeKind::None && AtTextEnd()) return;
    }
}

// A numeric literal: a sign right after "=", "," or DATA becomes part of the literal, so X = -5 stores
// the one literal -5. The negative value is a literal of its own: the literal read may be a constant's
// entry, which other uses of the constant share.
void FoldSign() {
    const CodeItemType sign = LastItem(1);
    const CodeItemType before = LastItem(2);
    const bool isSign = IsOp(sign, Op::Plus) || IsOp(sign, Op::Minus);
    const bool signable = IsOp(before, Op::Equal) || IsOp(before, Op::Comma) || IsSt(before, St::DATA);
    if (!isSign || !signable) {
        Emit(Cs.Scan.PreCodeItem);
        return;
    }
    CodeItemType literal = Cs.Scan.PreCodeItem;
    if (IsOp(sign, Op::Minus)) {
        literal = AppendNumLiteral(-NumConValue(Cs.Scan.PreCodeItem));
        if (Fe.ErrorNumber != 0) return;
    }
    ReplaceLast(literal);
}

// THEN 100 and ELSE 100 jump to line 100.
void GotoBeforeLineNumber() {
    if (PeekNext().FirstCode == CodeKind::NumLiteral) EmitCode(CodeKind::Statement, St::GOTO);
}

void HandleIf() {
    if (IsSt(LastItem(1), St::END)) {
        ReplaceLast(CodeItemType{CodeKind::Statement, St::ENDIF, 0});
        PopMustGive({St::THEN, St::ELSE}, Err::EndIfMismatch, St::ENDIF);
        return;
    }
    EmitCode(CodeKind::Statement, St::IF);
    Push(St::IF);
}

void HandleThen() {
    EmitCode(CodeKind::Statement, St::THEN);
    EmitLineEnd();
    if (!PopMustGive({St::IF, St::ELSEIF}, Err::ThenMismatch, St::THEN)) return;
    Push(St::THEN);
    if (Fe.ErrorNumber != 0) return;
    const CodeItemType next = PeekNext();
    if (next.FirstCode == CodeKind::NumLiteral) EmitCode(CodeKind::Statement, St::GOTO);
    // Something after THEN on the same line: the IF ends with this line.
    if (!IsStatementEndToken(next)) Cs.Scan.SingleLineIf = 1;
}

void HandleElse() {
    if (IsSt(LastItem(1), St::CASE)) {
        ReplaceLast(CodeItemType{CodeKind::Statement, St::CASEELSE, 0});
        return;
    }
    EmitLineEnd();
    EmitCode(CodeKind::Statement, St::ELSE);
    EmitLineEnd();
    if (!PopMustGive({St::THEN}, Err::ElseMismatch, St::ELSE)) return;
    Push(St::ELSE);
    if (Fe.ErrorNumber == 0) GotoBeforeLineNumber();
}

void HandleElseIf() {
    EmitLineEnd();
    EmitCode(CodeKind::Statement, St::ELSEIF);
    if (PopMustGive({St::THEN}, Err::ElseMismatch, St::ELSEIF)) Push(St::ELSEIF);
}

void HandleEndIf() {
    EmitCode(CodeKind::Statement, St::ENDIF);
    PopMustGive({St::THEN, St::ELSE}, Err::EndIfMismatch, St::ENDIF);
}

void HandleSelect() {
    if (IsSt(LastItem(1), St::END)) {
        ReplaceLast(CodeItemType{CodeKind::Statement, St::ENDSELECT, 0});
        PopMustGive({St::CASE}, Err::StatementSyntax, St::ENDSELECT);
        return;
    }
    EmitCode(CodeKind::Statement, St::SELECT);
    Push(St::CASE);
}

void HandleCase() {
    if (IsSt(LastItem(1), St::SELECT)) {
        ReplaceLast(CodeItemType{CodeKind::Statement, St::SELECTCASE, 0});
        return;
    }
    EmitCode(CodeKind::Statement, St::CASE);
    if (PopMustGive({St::CASE}, Err::StatementSyntax, St::CASE)) Push(St::CASE);
}

// WHILE or UNTIL right after DO or LOOP. After DO the item becomes `doItem` and opens the block
// `doBlock` in DO's place; after LOOP it becomes `loopItem` and closes the DO. False after anything else.
bool JoinDoOrLoop(const CodeItemType& last, int doItem, int doBlock, int loopItem, int mismatch, int word) {
    if (IsSt(last, St::DO)) {
        ReplaceLast(CodeItemType{CodeKind::Statement, doItem, 0});
        BlockChkType popped;
        PopBlockChk(popped);
        Push(doBlock);
        return true;
    }
    if (IsSt(last, St::LOOP)) {
        ReplaceLast(CodeItemType{CodeKind::Statement, loopItem, 0});
        PopMustGive({St::DO}, mismatch, word);
        return true;
    }
    return false;
}

void HandleWhile() {
    const CodeItemType last = LastItem(1);
    // DO WHILE c ... LOOP is the loop WHILE c ... WEND.
    if (JoinDoOrLoop(last, St::WHILE, InSt::DoWhile, InSt::LoopWhile, Err::WhileMismatch, St::WHILE)) return;
    if (IsSt(last, St::END)) {
        ReplaceLast(CodeItemType{CodeKind::Statement, St::WEND, 0});
        PopMustGive({St::WHILE}, Err::WendMismatch, St::WEND);
    } else {
        EmitCode(CodeKind::Statement, St::WHILE);
        Push(St::WHILE);
    }
}

void HandleUntil() {
    if (!JoinDoOrLoop(LastItem(1), InSt::DoUntil, InSt::DoUntil, InSt::LoopUntil, Err::UntilMismatch,
                      St::UNTIL))
        RaiseError(Err::UntilMismatch, St::UNTIL);
}

void HandleLoop() {
    const CodeItemType next = PeekNext();
    if (IsSt(next, St::WHILE) || IsSt(next, St::UNTIL)) {
        NextToken(TokenMode::Scan);
        EmitCode(CodeKind::Statement, IsSt(next, St::WHILE) ? InSt::LoopWhile : InSt::LoopUntil);
        PopMustGive({St::DO}, Err::LoopMismatch, St::LOOP);
        return;
    }
    BlockChkType popped;
    if (!PopMustGive({St::DO, InSt::DoUntil, InSt::DoWhile}, Err::LoopMismatch, St::LOOP, &popped)) return;
    switch (popped.Code) {
    case St::DO: EmitCode(CodeKind::Statement, InSt::LoopPlain); break;
    case InSt::DoUntil: EmitCode(CodeKind::Statement, St::LOOP); break;
    default: EmitCode(CodeKind::Statement, St::WEND); break; // DO WHILE ... LOOP ends as WEND
    }
}

void HandleFor() {
    EmitCode(CodeKind::Statement, St::FOR);
    NextToken(TokenMode::Scan);
    if (Fe.ErrorNumber != 0) return;
    const CodeItemType& var = Rd.ScanToken;
    // OPEN ... FOR INPUT / OUTPUT / APPEND opens no loop.
    if (IsSt(var, St::INPUT) || IsSt(var, St::OUTPUT) || IsSt(var, St::APPEND)) {
        Emit(var);
        return;
    }
    if (var.FirstCode != CodeKind::NumVar || var.SecondCode < 1 ||
        var.SecondCode > Tb.NumofRegisteredNumVar) {
        RaiseError(Err::ForNotNumericVariable, St::FOR);
        return;
    }
    Emit(var);
    Push(St::FOR, Tb.NumVarTable[static_cast<std::size_t>(var.SecondCode)].Name);
}

// NEXT [v]: the variable is checked against the FOR and not emitted.
void HandleNext() {
    EmitCode(CodeKind::Statement, St::NEXT);
    // A NEXT without its FOR is an error of the NEXT, whatever follows it.
    BlockChkType popped;
    if (!PopMustGive({St::FOR}, Err::NextMismatch, St::NEXT, &popped)) return;
    NextToken(TokenMode::Scan);
    if (Fe.ErrorNumber != 0) return;
    const CodeItemType token = Rd.ScanToken;
    if (IsStatementEndToken(token)) {
        if (IsOp(token, Op::Colon)) {
            Emit(token);
        } else if (IsOp(token, Op::LineEnd)) {
            // Through EndOfLine, so that IF c THEN FOR ... : NEXT closes its IF on this line
            // instead of taking the next line into its THEN branch.
            EndOfLine();
        } else if (IsOp(token, Op::Apostrophe)) {
            SkipComment();
        } else {
            Redispatch(); // the end of the text
        }
        return;
    }
    if (token.FirstCode != CodeKind::NumVar || token.SecondCode < 1 ||
        token.SecondCode > Tb.NumofRegisteredNumVar) {
        RaiseError(Err::NextNotNumericVariable, St::NEXT);
        return;
    }
    if (Tb.NumVarTable[static_cast<std::size_t>(token.SecondCode)].Name != popped.Name)
        RaiseError(Err::NextVariableNotFor, St::NEXT);
}

void HandleExit() {
    NextToken(TokenMode::Scan);
    if (Fe.ErrorNumber != 0) return;
    int code = 0;
    if (IsSt(Rd.ScanToken, St::DO))
        code = St::EXITDO;
    else if (IsSt(Rd.ScanToken, St::FOR))
        code = St::EXITFOR;
    else if (IsSt(Rd.ScanToken, St::FUNCTION))
        code = St::EXITFUNCTION;
    else if (IsSt(Rd.ScanToken, St::SUB))
        code = St::EXITSUB;
    if (code == 0) {
        RaiseError(Err::ExitMismatch, St::EXIT);
        return;
    }
    EmitCode(CodeKind::Statement, code);
}

// INCLUDE "file": the pre-scan inserted the file's text after the name. Everything read from it is
// positioned at the INCLUDE line, so that errors in it point there.
void HandleInclude() {
    if (Rd.IncludeMode == 1) {
        RaiseError(Err::NestedInclude, St::INCLUDE);
        return;
    }
    EmitCode(CodeKind::Statement, St::INCLUDE);
    CodeItemType item;
    for (;;) {
        ScanRawStmtChar(item);
        if (IsOp(item, Op::LineEnd) || IsOp(item, Op::Colon)) break;
        if (item.FirstCode == CodeKind::None && AtTextEnd()) break;
    }
    // The inserted text begins with the line end just read. Its items are positioned where that line
    // end begins, on the INCLUDE line itself (SourcePos is already on the next line), as the pre-scan
    // reports its own errors in included text.
    IncludeLineEndLength = IsOp(item, Op::LineEnd) ? LineEndLength : 0;
    Rd.IncludePosition = Rd.SourcePos - Rd.IncludeOffset - IncludeLineEndLength;
    Emit(Cs.Scan.LineEndItem);
    EndOfLine();
    Rd.IncludeMode = 1;
}

// The word of the marker that ends an included text: positions are the program's own again.
void HandleIncludeOff() {
    if (Rd.IncludeMode == 0) {
        RaiseError(Err::IncludeOffInProgram, St::INCLUDEOFF);
        return;
    }
    Rd.IncludeMode = 0;
    // The old offset plus the inserted text's length: SourcePos stands before the marker's closing
    // ":", five characters short of the inserted text's end, and the text began at the line end that
    // IncludePosition was moved back over.
    constexpr int MarkerTail = 5;
    Rd.IncludeOffset = Rd.SourcePos - (Rd.IncludePosition + IncludeLineEndLength) + MarkerTail;
}

// The block statements and the others of this unit; false for a statement without a handler here.
bool HandleBlockStatement(int code) {
    switch (code) {
    case St::IF: HandleIf(); return true;
    case St::THEN: HandleThen(); return true;
    case St::ELSE: HandleElse(); return true;
    case St::ELSEIF: HandleElseIf(); return true;
    case St::ENDIF: HandleEndIf(); return true;
    case St::SELECT: HandleSelect(); return true;
    case St::CASE: HandleCase(); return true;
    case St::DO:
        EmitCode(CodeKind::Statement, St::DO);
        Push(St::DO);
        return true;
    case St::WHILE: HandleWhile(); return true;
    case St::WEND:
        EmitCode(CodeKind::Statement, St::WEND);
        PopMustGive({St::WHILE}, Err::WendMismatch, St::WEND);
        return true;
    case St::UNTIL: HandleUntil(); return true;
    case St::LOOP: HandleLoop(); return true;
    case St::FOR: HandleFor(); return true;
    case St::NEXT: HandleNext(); return true;
    case St::EXIT: HandleExit(); return true;
    case St::INCLUDE: HandleInclude(); return true;
    case St::INCLUDEOFF: HandleIncludeOff(); return true;
    case St::REM: SkipComment(); return true;
    default: return false;
    }
}

// The end of the text: the first NUL stays in the pre-code as an item of kind 0, before the end item.
void EmitTextEnd() {
    const int at = Ib.PreCodeIndex;
    AddPreCode(CodeItemType{PlaceholderKind, 0, 0});
    if (Ib.PreCodeIndex == at + 1 && at >= 0 && at <= Ib.CurrentmaxPreCodeNum)
        Ib.PreCodeBuffer[static_cast<std::size_t>(at)].FirstCode = CodeKind::None;
}

void Dispatch() {
    const CodeItemType token = Cs.Scan.PreCodeItem;
    switch (token.FirstCode) {
    case CodeKind::Operator:
        switch (token.SecondCode) {
        case Op::OpenBracket: HandleOpenBracket(); return;
        case Op::OpenBrace: SkipBraceBlock(); return;
        case Op::Hash: HandleHash(); return;
        case Op::Apostrophe: SkipComment(); return;
        case Op::LineEnd: EndOfLine(); return;
        default: Emit(token); return;
        }
    case CodeKind::Function:
        if (!HandleFunction(token.SecondCode)) Emit(token);
        return;
    case CodeKind::Statement:
        // Codes of no word are the scan's own and are never handled again.
        if (StatementSlotOfCode(token.SecondCode) == 0 ||
            (!HandleBlockStatement(token.SecondCode) && !HandleDeclStatement(token.SecondCode)))
            Emit(token);
        return;
    case CodeKind::NumLiteral: FoldSign(); return;
    case CodeKind::None: EmitTextEnd(); return;
    default: Emit(token); return;
    }
}

void TakeToken() {
    Cs.Scan.PreCodeItem = Rd.ScanToken;
    Cs.Scan.PreCodeItem.Position = ScanTokenPosition;
    Cs.Scan.ScanKind = Rd.ScanToken.FirstCode;
    Cs.Scan.ScanCode = Rd.ScanToken.SecondCode;
}

void ScanText(bool formula) {
    FormulaScan = formula;
    // A compile begins here. Nothing of an earlier one that stopped at an error may leak into it.
    ResetReaderState();
    ResetSourcePos();
    Cs.Reset();
    LastBlockCode = St::DO;
    RedispatchPending = false;

    NextToken(TokenMode::Scan);
    TakeToken();
    bool handedBack = false;
    bool stopped = false;
    int stopCountdown = CompileStopInterval;
    for (;;) {
        if (Fe.ErrorNumber != 0) break;
        // A formula is short, and its scan is part of a statement already running.
        if (!formula && CompileStopRequested(stopCountdown)) {
            stopped = true;
            break;
        }
        // A token a handler has read and handed back is dispatched even when it was the text's last.
        if (!handedBack && Rd.SourcePos > Rd.CompileTextLength) break;
        Dispatch();
        if (Fe.ErrorNumber != 0) break;
        handedBack = RedispatchPending;
        RedispatchPending = false;
        if (!handedBack) NextToken(TokenMode::Scan);
        TakeToken();
    }
    RedispatchPending = false;
    Rd.LocalNameMode = 0;
    Rd.MemberDotMode = 0;
    if (stopped) return; // the compile ends here; nothing of it runs

    const bool keepsLimit = formula || Rc.RunMode.load(std::memory_order_relaxed) == RunKind::Immediate;
    if (Fe.ErrorNumber != 0) {
        EmitLineEnd();
        if (!keepsLimit) Ib.PreCodeLimit = Ib.PreCodeIndex;
        return;
    }
    if (Cs.Scan.BlockChkCount > 0) RaiseError(Err::BlockNotClosed, LastBlockCode);
    // An error of the end test still ends the pre-code properly.
    const int savedError = Fe.ErrorNumber;
    Fe.ErrorNumber = 0;
    Emit(CodeItemType{CodeKind::End, 0, 0});
    EmitLineEnd();
    if (Fe.ErrorNumber == 0) Fe.ErrorNumber = savedError;
    if (!keepsLimit) Ib.PreCodeLimit = Ib.PreCodeIndex;
}

} // namespace

} // namespace LXScan

using namespace LXScan;

void ScanProgram() {
    ScanText(false);
}

void ScanFormula() {
    ScanText(true);
}

void PushToken(const CodeItemType& item) {
    if (Cs.Scan.TokenStackCount >= TokenStackSize) {
        RaiseError(Err::NestingTooDeep, NoNameIndex);
        return;
    }
    Cs.Scan.TokenStack[static_cast<std::size_t>(++Cs.Scan.TokenStackCount)] = item;
}

void PopToken(CodeItemType& item) {
    if (Cs.Scan.TokenStackCount <= 0) {
        RaiseError(Err::IfBlockMismatch, NoNameIndex);
        return;
    }
    item = Cs.Scan.TokenStack[static_cast<std::size_t>(Cs.Scan.TokenStackCount--)];
}

void ClearTokenStack() {
    Cs.Scan.TokenStackCount = 0;
}

void PushBlockChk(const BlockChkType& record) {
    if (Cs.Scan.BlockChkCount >= BlockChkStackSize) {
        RaiseError(Err::BlockNestingTooDeep, NoNameIndex);
        return;
    }
    Cs.Scan.BlockChkStack[static_cast<std::size_t>(++Cs.Scan.BlockChkCount)] = record;
    LastBlockCode = record.Code;
}

void PopBlockChk(BlockChkType& record) {
    if (Cs.Scan.BlockChkCount <= 0) {
        RaiseError(Err::BlockMismatch, NoNameIndex);
        return;
    }
    record = Cs.Scan.BlockChkStack[static_cast<std::size_t>(Cs.Scan.BlockChkCount--)];
    LastBlockCode = record.Code;
}

void ClearBlockChkStack() {
    Cs.Scan.BlockChkCount = 0;
}

namespace {

bool IsMemberKeyword(const CodeItemType& item) {
    return IsSt(item, St::AUDIOMIXER) || IsSt(item, St::CLIPBOARD) || IsSt(item, St::MEDIAPLAYER);
}

} // namespace

int CountArgs() {
    // The look-ahead reads into ScanToken like the real reading, so that "." after ")" is still the
    // member operator there; everything the reader keeps is put back afterwards.
    const ReaderPlace place = Rd;

    int result = 0;
    GetToken(Rd.ScanToken, TokenMode::Scan);
    if (Fe.ErrorNumber == 0 && IsOp(Rd.ScanToken, Op::OpenBracket)) {
        int depth = 1;
        int commas = 0;
        result = -1;
        for (;;) {
            // A member keyword's "." is the member operator, as the real reading takes it; the word
            // after a member operator is no name and no number (and under OPTION EXPLICIT no
            // undeclared variable), so it is passed over as the real reading passes it.
            Rd.MemberDotMode = IsMemberKeyword(Rd.ScanToken) ? 1 : 0;
            GetToken(Rd.ScanToken, TokenMode::Scan);
            Rd.MemberDotMode = 0;
            if (Fe.ErrorNumber != 0 || IsStatementEndToken(Rd.ScanToken)) break;
            if (IsOp(Rd.ScanToken, Op::Period)) {
                ReadMemberWordText();
            } else if (IsOp(Rd.ScanToken, Op::OpenBracket)) {
                ++depth;
            } else if (IsOp(Rd.ScanToken, Op::CloseBracket)) {
                if (--depth == 0) {
                    result = commas;
                    break;
                }
            } else if (IsOp(Rd.ScanToken, Op::Comma) && depth == 1) {
                ++commas;
            }
        }
    }

    static_cast<ReaderPlace&>(Rd) = place;
    return result;
}

void EmitLineEnd() {
    CodeItemType item = Cs.Scan.LineEndItem;
    item.Position = Rd.SourcePos;
    AddPreCode(item);
}

void EndOfLine() {
    if (Cs.Scan.SingleLineIf == 1) {
        EmitCode(CodeKind::Operator, Op::Colon);
        if (PopMustGive({St::THEN, St::ELSE}, Err::EndIfMismatch, St::ENDIF))
            EmitCode(CodeKind::Statement, St::ENDIF);
    }
    EmitLineEnd();
    Cs.Scan.SingleLineIf = 0;
}

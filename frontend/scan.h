// The statement scan: reads the compile text token by token and writes pre-code for the statement
// compiler. Besides copying tokens it folds two-word keywords into one item, checks the nesting of
// blocks, closes single-line IFs, skips comments, folds signs into literals, picks argument forms and
// maps the positions of included text back to the INCLUDE line.
#pragma once

#include "core/codeitem.h"
#include "core/vocabulary.h"
#include "frontend/scanstate.h"

#include <QString>

#include <array>
#include <cstdint>
#include <initializer_list>

// Scans the whole compile text from SourcePos 1 into PreCodeBuffer from PreCodeIndex (101 for a
// program, 1 for an immediate command). Failures are in ErrorNumber and ErrorNameIndex; the error's
// position is then Cs.Scan.PreCodeItem.Position. Sets PreCodeLimit to the final cursor, except in run
// kind 1, so that an immediate command leaves the program's pre-code valid behind the immediate area.
void ScanProgram();
// The same scan for a run-time formula (STRTOFORM): it never moves PreCodeLimit, which belongs to the
// program, and the start of the text does not count as the start of a statement (a formula is an
// expression, so CBUTTON(1).TEXT and FORECOLOR there read their values).
void ScanFormula();

// The DEF parameter stack (64 entries: a 65th is error 550; popping an empty one error 567).
void PushToken(const CodeItemType& item);
void PopToken(CodeItemType& item);
void ClearTokenStack();
// The open blocks (64 entries: a 65th is error 52303; popping an empty one error 52304).
void PushBlockChk(const BlockChkType& record);
void PopBlockChk(BlockChkType& record);
void ClearBlockChkStack();

// Looks ahead from SourcePos without moving it: 0 when the next token is not "(", else the number of
// "," at bracket depth 1 of the group that follows; -1 when the statement ends before the group
// closes. Reading ahead has the side effects of the scan's token mode (literals appended, variables
// created), as the real reading would.
int CountArgs();
// Emits the line end item.
void EmitLineEnd();
// The line end token: closes a single-line IF (":" and ENDIF), then emits the line end.
void EndOfLine();

// Everything below is shared by the scan's handlers only.
namespace LXScan {

// ---- helpers of the handlers ---------------------------------------------------------------------
bool IsOp(const CodeItemType& item, int slot);
bool IsSt(const CodeItemType& item, int slot);
// ":", the line end, "'" or the end of the text.
bool IsStatementEndToken(const CodeItemType& item);

// A position in the compile text as a position in the program text the user wrote (included text
// is positioned at its INCLUDE line).
int ProgramPosition(int compilePosition);
// Reads the next token into ScanToken and PreCodeItem in the given tokenizer mode; PreCodeItem's
// Position is the one after the token, in the program text.
void NextToken(int mode);
// The next token without consuming it, in the scan's mode (side effects remain) or in the look-ahead
// mode that creates no names. The position of the next emitted item is not disturbed.
CodeItemType PeekNext();
CodeItemType PeekNextNoNames();
// Hands the token in ScanToken back to the main loop, which dispatches it instead of reading a new one.
void Redispatch();

void Emit(const CodeItemType& item);
void EmitCode(int kind, int code);
// The last item goes and `item` takes its place.
void ReplaceLast(const CodeItemType& item);
// The item n places before the cursor (1: the last item); kind 0 when there is none.
CodeItemType LastItem(int n);
// Whether the next item starts a statement: the last item is ":" or a line end, a line number after
// one of them, or (withThenElse) THEN or ELSE; also the very start of a program or command.
bool AtStatementStart(bool withThenElse);
// Appends a value to NumConTable as a new literal and gives its item.
CodeItemType AppendNumLiteral(long double value);

// Pops the block-check stack; true when it gave one of `wanted`. Otherwise the error is set, naming
// the popped code, or `emptyName` when the stack was empty.
bool PopMustGive(std::initializer_list<int> wanted, int error, int emptyName, BlockChkType* popped = nullptr);

// The comment of "'" and REM: skips to the line end, emits it and ends the line (two line ends).
void SkipComment();
// Reads a member or property word after "." (letters only, upper case); the character after it is
// left for the next token.
QString ReadMemberWord();

// ---- the handlers of declarations and keyword forms (scandecl.cpp) --------------------------------
// Each returns false when the keyword has no handler there (the main loop then emits it).
bool HandleDeclStatement(int code);
bool HandleFunction(int code);
void HandleOpenBracket();
void HandleHash();
// The end of a SUB or FUNCTION: the frame items get their end counts, the local prefix and the
// declaration context end.
void CloseProcedure();

} // namespace LXScan

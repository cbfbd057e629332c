// The source reader and tokenizer: reads CompileText character by character and turns it into tokens
// of the one item shape. The pre-scan and the statement scan call GetToken once per token; depending
// on the mode a name is declared, resolved to its variable or merely classified, and literals are
// stored in the constant tables as they are met.
#pragma once

#include "core/codeitem.h"

#include <QString>

// How GetToken treats names and literals.
namespace TokenMode {
inline constexpr int Declare = 0;   // pre-scan: names go to RegisterDcVar, literals are not stored
inline constexpr int Scan = 1;      // statement scan: names resolved, literals appended, TokenStart kept
inline constexpr int LookAhead = 2; // names only classified ((12, 1) or (22, 1)); literals appended
} // namespace TokenMode

// ---- character reader (on CompileText, SourcePos 1-based) ------------------------------------------
// SourcePos := 1 and SourceLinePos := 1. The user-interface thread calls this too, but only while no
// interpreter thread is busy.
void ResetSourcePos();
// Every reader field back to its empty state: position, tokens, declaration context, DEF and member
// modes, the INCLUDE mapping, the local-name prefix. The interpreter reset and the start of each
// pass call it, so that nothing of a pass that stopped at an error reaches the next one.
void ResetReaderState();
// The character at SourcePos (0 past CompileTextLength), then SourcePos + 1, also past the end.
// SourcePos below 1: error 50001, result 0, no advance.
char16_t ReadChar();
// ReadChar with "a" to "z" made upper case; no other character changes.
char16_t ReadUpper();
void UnreadChar();
// Appends upper-cased letters A-Z to word; the first other character ends it and is consumed. A
// character above 127 sets error 2.
void ReadWord(QString& word);
// One raw character as an item, for skipping text without tokenizing it: "{" (1,19), "}" (1,20),
// CR LF (1,38), a lone LF (1,40), NUL (0,0), anything else (1,41); a CR without LF gives (0,0) and the
// character after it is consumed. ScanRawStmtChar adds ":" (1,23) and "'" (1,30).
void ScanRawChar(CodeItemType& item);
void ScanRawStmtChar(CodeItemType& item);
// True for the end of text (kind 0), ":", the line end and "'". For "'" SourcePos steps back one, so
// that whoever skips comments reads the mark again.
bool IsStmtEnd(const CodeItemType& item);

// ---- tokenizer --------------------------------------------------------------------------------------
// Reads one token. Its Position is SourcePos after it; in mode Scan, TokenStart is the position of its
// first character (mapped to the INCLUDE statement while IncludeMode is 1). Errors set ErrorNumber and
// return what was read so far (often kind 0); callers test ErrorNumber after every call.
void GetToken(CodeItemType& item, int mode);
// GetToken in mode Scan (PeekToken2: LookAhead) and then back to where the token began, so the next
// call reads it again. Side effects of the mode (a variable created, a literal appended) remain.
void PeekToken(CodeItemType& item);
void PeekToken2(CodeItemType& item);
// Reads one DEF parameter name and enters it as a local (13, n) or (23, n); a name given twice is
// error 161, a parameter not starting with a letter error 1.
void GetDefToken(CodeItemType& item);

// Appends the decimal number text to NumConTable and gives (11, new count - 1). Text that is not a
// whole decimal number (an optional sign, digits with at most one point, an optional exponent) or does
// not fit the extended range is error 54101 with kind 0; a table that cannot grow error 30101.
void AddNumCon(const QString& text, CodeItemType& item);
// Appends the text to StrConTable and gives (21, new count); error 30101 when the table cannot grow.
void AddStrCon(const QString& text, CodeItemType& item);

// ---- keyword lookups: the upper-cased word's item, or kind 0 ---------------------------------------
void FindOperator(const QString& name, CodeItemType& item);  // (1, slot), word operators
void FindBoolConst(const QString& name, CodeItemType& item); // TRUE (31, 1), FALSE (31, 2)
void FindFunction(const QString& name, CodeItemType& item);  // (2, slot)
void FindStatement(const QString& name, CodeItemType& item); // (6, slot)

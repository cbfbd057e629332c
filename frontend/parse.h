// The statement compiler: turns the pre-code of the statement scan into the final code items the
// engine runs. A driver hands each statement to its generator; the generators share the block stacks,
// the expression gatherer and the small emitters declared below. Runs on one thread at a time (the
// interpreter thread compiles before it runs).
#pragma once

#include "core/codeitem.h"
#include "core/raiseerror.h"
#include "core/sharedstate.h"
#include "core/tables.h"
#include "core/vocabulary.h"
#include "frontend/parsestate.h"
#include "frontend/polish.h"

#include <array>
#include <cstdint>

// Compiles from PreCodeIndex to the end of the pre-code into CodeBuffer at CodeIndex, then writes the
// end item (also after an error). Failures are in ErrorNumber.
void ParseProgram();
// After ParseProgram: a FOR left open is 555, then a WHILE or DO 557, then an IF 567 (the last that
// applies stands), its position in OpenBlockPosition.
void CheckOpenBlocks();

// Gathers one expression from the pre-code and converts it: {41, 0, p}, the postfix items, {42, 0, p},
// then cleared items. Nothing gathered leaves `out` cleared and sets no error.
void ParseExpression(ItemBuffer& out);
// Writes the items of an expression buffer from slot 1 up to its first item of kind 0 or less.
void EmitExpression(const ItemBuffer& buffer);

// Everything below is shared by the compiler's generators only.
namespace LXParse {

// ---- reading the pre-code (each updates PreCodeItem) ----------------------------------------------------
void ReadItem(CodeItemType& item); // GetPreCode
void LookItem(CodeItemType& item); // PeekPreCode
void UnreadItem();                 // the item read last is read again
// Reads the next item; true when it is the given operator.
bool ReadOperator(int slot);
// Looks at the next item without reading it; true when it ends the statement.
bool NextIsStatementEnd();

// ---- item tests --------------------------------------------------------------------------------------
inline bool IsOperator(const CodeItemType& item, int slot) {
    return item.FirstCode == CodeKind::Operator && item.SecondCode == slot;
}
inline bool IsStatementItem(const CodeItemType& item, int code) {
    return item.FirstCode == CodeKind::Statement && item.SecondCode == code;
}
// Kind -1 or 0, ":" or the line end.
bool IsStatementEnd(const CodeItemType& item);
// True for exactly 1, 2, ..., 8.
bool IsChannelNumber(Extended value);
// The record of a numeric, string or boolean name item, or null for an index outside its table.
NumVarType* NumRecord(const CodeItemType& item);
StrVarType* StrRecord(const CodeItemType& item);
BoolVarType* BoolRecord(const CodeItemType& item);
// A name whose record declares an array (DIM array or array parameter).
bool IsArrayName(const CodeItemType& item);
bool IsArrayParameter(const CodeItemType& item);
int DeclaredDimCount(const CodeItemType& item);

// ---- writing -----------------------------------------------------------------------------------------
void Emit(int kind, int value); // at StatementPosition
void Emit(int kind, int value, int position);
void EmitColon();   // {1, 23}
void EmitLineEnd(); // {1, 38}
void EmitGlPush();  // {6, 246}
void EmitGlPop();   // {6, 245}
int EmitJumpSlot(); // {45, 0}; its code index
void PatchJump(int slot);
void PatchJumpAhead(int offset, int slot);
void ClearItemBuffer(ItemBuffer& buffer);
// The items of a converted expression between its brackets 41 and 42.
void EmitExpressionBody(const ItemBuffer& buffer);
// Index of the closing item 42 of a converted expression (0 for an empty buffer).
int ExpressionCloseIndex(const ItemBuffer& buffer);
inline bool IsEmptyExpression(const ItemBuffer& buffer) {
    return buffer[1].FirstCode <= CodeKind::None;
}

// ---- statement ends and expression forms (each: true on success; a mismatch sets 700) ----------------
void ExpectStatementEnd();
void ExpectStatementEndNaming(int nameIndex);
bool CompileExpression();
bool CompileExpressionToEnd();
bool CompileExpressionThenComma();
bool CompileBracketList(int count);
bool CompileTwoExpressions();
bool CompileExpressionAsExpression();
// The generator has written the statement item and `count` placeholders; fills them from the optional
// trailing arguments. With `commaImplied` the statement reads as if a "," stood right after its item.
void FillOptionalArguments(int count, bool commaImplied = false);

// ---- array targets -----------------------------------------------------------------------------------
// Reads "(" index, ... ")" after an array name and pushes each index expression on `stack`; the
// number pushed, or -1 with ErrorNumber set: `openError` when "(" is missing, `otherError` for any
// other mismatch (an index count that does not fit the array, a missing ")", an empty index).
template <int Capacity>
int ReadArrayIndices(const CodeItemType& name, FixedStack<ItemBuffer, Capacity>& stack, int openError,
                     int otherError, int fullError);
// Pops `count` index expressions and writes them, the last index first.
template <int Capacity>
void EmitPoppedIndices(FixedStack<ItemBuffer, Capacity>& stack, int count, int emptyError);

// ---- generators -----------------------------------------------------------------------------------------
// Control flow and procedures.
void CompileIf();
void CompileElseIf();
void CompileElse();
void CompileEndIf();
void CompileFor();
void CompileNext();
void CompileExitFor();
void CompileLoopStatement(int code); // WHILE, DO, WEND, LOOP forms, EXIT DO
void CompileSelectCase();
void CompileCase();
void CompileCaseElse();
void CompileEndSelect();
void CompileGotoGosub(int code);
void CompileReturn();
void CompileLabel();
void CompileLineNumber(const CodeItemType& number);
void CompileProcedureHeader(int code); // SUB, FUNCTION
void CompileExitProcedure(int code);   // EXIT SUB, EXIT FUNCTION
void CompileEndSub();
void CompileEndFunction();
void CompileCall();
void CompileDef();
// Declarations, assignment, data, input, output, files and graphics.
void CompileDim();
void CompileLet();
void CompileSwap();
void CompileData();
void CompileRead();
void CompileRestore();
void CompileInput();
void CompileLineInput();
void CompileInputFile();
void CompileLineInputFile();
void CompilePrint();
void CompilePrintFile();
void CompilePrintUsing(bool toFile);
void CompileOpen();
void CompileClose();
void CompileFiles();
void CompileName();
void CompileFileCopy();
void CompileRunFile();
void CompileWriteAllLines(int code);
void CompileGraphics(int code);
void CompileFormulaOrMouse(int code); // STRTOFORM, EVALFORM, MOUSE

} // namespace LXParse

// ---- template definitions ---------------------------------------------------------------------------------
namespace LXParse {

template <int Capacity>
int ReadArrayIndices(const CodeItemType& name, FixedStack<ItemBuffer, Capacity>& stack, int openError,
                     int otherError, int fullError) {
    // A DIM array takes exactly its declared count; an array parameter's count is known only when the
    // call binds it, so it takes up to the most a subscript list may have.
    constexpr int MaxParameterIndices = 9;
    const bool parameter = IsArrayParameter(name);
    const int wanted = parameter ? MaxParameterIndices : DeclaredDimCount(name);
    CodeItemType item;
    ReadItem(item);
    if (!IsOperator(item, Op::OpenBracket)) {
        RaiseError(openError);
        return -1;
    }
    int count = 0;
    ItemBuffer index;
    while (true) {
        ParseExpression(index);
        if (Fe.ErrorNumber != 0) return -1;
        if (IsEmptyExpression(index)) {
            RaiseError(otherError);
            return -1;
        }
        if (!stack.Push(index, fullError)) return -1;
        ++count;
        ReadItem(item);
        if (IsOperator(item, Op::CloseBracket)) {
            if (!parameter && count != wanted) {
                RaiseError(otherError);
                return -1;
            }
            return count;
        }
        if (!IsOperator(item, Op::Comma) || count >= wanted) {
            RaiseError(otherError);
            return -1;
        }
    }
}

template <int Capacity>
void EmitPoppedIndices(FixedStack<ItemBuffer, Capacity>& stack, int count, int emptyError) {
    ItemBuffer index;
    for (int i = 0; i < count && Fe.ErrorNumber == 0; ++i) {
        if (!stack.Pop(index, emptyError)) return;
        EmitExpression(index);
    }
}

} // namespace LXParse

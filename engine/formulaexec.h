// Run-time formulas (STRTOFORM compiles a text into a formula variable, EVALFORM runs it in the
// immediate area of the code buffer with the error trap armed), MOUSE, SETVERSION, HELP, and the
// debugging listings that HELP -RW, -UV, -CR and -LORVEXC print to the run window: the reserved words,
// the variables, a cross reference and the pre-code and code listings.
#pragma once

#include "frontend/itembuffers.h"
#include "frontend/sharedstate.h"
#include "frontend/tables.h"

#include <QString>

// An evaluation runs in the immediate area as the formula's items, each item that can fail followed by
// {6, EvalFormCode::Check}, and then four more items:
//   {6, EvalFormCode::Store}   skips the LET when the formula raised a (trapped) error
//   {6, LET}, result variable   stores the value
//   {6, EvalFormCode::End}      disarms the trap, gives the immediate area back and returns
// A check leaves the formula at its first error, so that the error variable names the cause and not
// a consequence, and nothing after the error (a FUNCTION call, say) runs. The codes are argument forms
// of EVALFORM that the compiler never writes.
namespace EvalFormCode {
inline constexpr int Store = 1057;
inline constexpr int End = 2057;
inline constexpr int Check = 3057;
} // namespace EvalFormCode
inline constexpr int EvalFormTailItems = 4;
// The most items a formula may take when it runs, its checks included: the tail must fit in the
// immediate area (slots 1 to 100) after it. STRTOFORM refuses a longer formula.
inline constexpr int MaxEvaluationItems = ImmediateAreaLast - EvalFormTailItems;
// Evaluations nest when a formula calls a FUNCTION that evaluates a formula itself.
inline constexpr int MaxEvalFormDepth = 256;

// Installed by the main frame: shows the reference help (the help file in the desktop's viewer).
// Runs on the user-interface thread. Without it HELP does nothing.
extern void (*ShowHelpHook)();

// Runs the statement when it is one of this unit's (STRTOFORM, EVALFORM and its tail codes, MOUSE,
// SETVERSION, HELP and the four listings); false for any other code.
bool RouteFormulaStatement(int code);

// STRTOFORM (text, formula@, error): compiles the text; its error number (0 when it compiled) goes
// into the error variable, never to the run.
void ExecStrToForm();
// EVALFORM (formula@, result, error): runs the formula in the immediate area; the run loop then
// evaluates it, the tail stores the value and returns to the item after the statement.
void ExecEvalForm();
void ExecEvalFormCheck();
void ExecEvalFormStore();
void ExecEvalFormEnd();
// MOUSE (event, x, y): the last mouse event of the graphics window and its position in world
// coordinates (the position only while the window is open).
void ExecMouse();
// SETVERSION (v): LanguageVersion := |v| * 10, at most 1000.
void ExecSetVersion();
// HELP
void ExecHelp();
// HELP -RW, HELP -UV, HELP -CR, HELP -LORVEXC
void ListReservedWords();
void DumpVariables();
void DumpCrossReference();
void DumpCodeListing();

// Compiles `text` as a formula into `record`; the error number, 0 on success (the record is changed
// only then). Everything of the front end that the compilation borrows is given back, so that it can
// run in the middle of a program or an immediate command.
int CompileFormula(const QString& text, FormVarType& record);
// The number of items the formula ending at `close` takes when it runs: its own and its checks.
int EvaluationLength(const CodeItemType* items1Based, int close);
// The number of evaluations in progress (nested ones count each).
int EvalFormDepth();
// The shortest general number text (at most 18 digits) that reads back as the same number.
QString ShortestNumberText(Extended value);
// A name as the variable listing shows it: the local-name prefix (leading digits and blanks) removed.
QString ListedName(const QString& name);
// MOUSE's position on a stretched graphics window, scaled back to the bitmap (truncated); unchanged
// when the shown size is not positive.
int ScaleToBitmap(int position, int bitmapSize, int shownSize);

// Run-time formulas (STRTOFORM compiles a text into a formula variable, EVALFORM runs it in the
// immediate area of the code buffer with the error trap armed), MOUSE, SETVERSION, HELP, and the
// debugging listings that HELP -RW, -UV, -CR and -LORVEXC print to the run window: the reserved words,
// the variables, a cross reference and the pre-code and code listings.
#pragma once

#include "core/codeitem.h"
#include "core/itembuffers.h"
#include "core/sharedstate.h"
#include "core/tables.h"
#include "core/vocabulary.h"

#include <QString>

// An evaluation runs in the immediate area as the formula's items after its opening bracket (which
// does nothing when run), its closing bracket included, followed by one item:
//   {6, EvalFormCode::End}   stores the value in the result variable (not after a trapped error),
//                            disarms the trap, gives the immediate area back and returns
// So a formula that fits its record fits the immediate area. At a trapped error the formula is left
// at once (LeaveFormulaAtTrappedError), so that the error variable names the cause and not a
// consequence, and nothing after the error (a FUNCTION call, say) runs. The codes are argument forms
// of EVALFORM that the compiler never writes.
namespace EvalFormCode {
inline constexpr int End = St::EVALFORM + 2 * ArgumentFormStep;
inline constexpr int Leave =
    St::EVALFORM + 3 * ArgumentFormStep; // takes the place of the formula's items not yet run after an error
} // namespace EvalFormCode
static_assert(FormulaCodeSize <= ImmediateAreaLast, "a formula's evaluation must fit the immediate area");
// Evaluations nest when a formula calls a FUNCTION that evaluates a formula itself.
inline constexpr int MaxEvalFormDepth = 256;

// Drops whatever evaluations a run left in progress (the interpreter reset).
void DropEvaluations();

// Disarms the error trap once an evaluation's formula has run without error.
void ExecEvalFormTrapOff();

// STRTOFORM (text, formula@, error): compiles the text; its error number (0 when it compiled) goes
// into the error variable, never to the run.
void ExecStrToForm();
// EVALFORM (formula@, result, error): runs the formula in the immediate area; the run loop then
// evaluates it, and its end item stores the value and returns to the item after the statement.
void ExecEvalForm();
void ExecEvalFormLeave();
void ExecEvalFormEnd();
// Called by the run loop when its trap has taken an error during an evaluation: the formula's items
// that have not run give way to EvalFormCode::Leave, so the evaluation ends at the next item of the
// formula. An error inside a FUNCTION the formula calls leaves the FUNCTION to go on as the trap lets
// it, and the formula ends when the call returns (after the call's own restoring item).
void LeaveFormulaAtTrappedError();
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
// The number of evaluations in progress (nested ones count each).
int EvalFormDepth();
// The shortest general number text (at most 18 digits) that reads back as the same number.
QString ShortestNumberText(Extended value);
// A name as the variable listing shows it: the local-name prefix (leading digits and blanks) removed.
QString ListedName(const QString& name);
// MOUSE's position on a stretched graphics window, scaled back to the bitmap (truncated); unchanged
// when the shown size is not positive.
int ScaleToBitmap(int position, int bitmapSize, int shownSize);

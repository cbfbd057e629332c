// The run loop: fetches one code item at a time and dispatches it by kind to the operators, the
// built-in functions, the statement executors and the procedure machinery, all through the Gl stack.
// Wherever a decoded statement may begin, it first hands over to the decoded run (engine/decoded/run),
// which runs such statements in one pass each and gives the item it stops at back to the loop.
#pragma once

#include "engine/enginestate.h"
#include "frontend/itembuffers.h"

#include <QString>

// Takes the item at CodeIndex into CurrentItem and notes where it stands.
inline void FetchCurrentItem() {
    Eng.CurrentItemIndex = Ib.CodeIndex;
    GetCurrentItem();
}

// Why the loop ended.
enum class LoopExit { End, Stop, Error, System, Cont, Run };

// Runs from the item already in CurrentItem (fetched by FetchCurrentItem, so CurrentItemIndex names it) until
// the end item, a stop request, an error, or a statement that leaves the loop (SYSTEM, CONT, RUN).
LoopExit RunLoop();

// SYSTEM and CONT; the loop leaves after them (and after RUN).
void ExecSystem();
void ExecCont();

// Executors that the loop calls for a statement or function without a routine yet report it clearly.
void ReportStatementNotBuilt(int code);
void ReportFunctionNotBuilt(int code);

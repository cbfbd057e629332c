// The run loop: fetches one code item at a time and dispatches it by kind to the operators, the
// built-in functions, the statement executors and the procedure machinery, all through the Gl stack.
// Wherever a decoded statement may begin, it first hands over to the decoded run (engine/decoded/run),
// which runs such statements in one pass each and gives the item it stops at back to the loop.
#pragma once

#include "core/itembuffers.h"
#include "engine/enginestate.h"

#include <QString>

// Why the loop ended.
enum class LoopExit { End, Stop, Error, System, Cont, Run };

// Runs from the item already in CurrentItem (fetched by FetchCurrentItem, so CurrentItemIndex names it) until
// the end item, a stop request, an error, or a statement that leaves the loop (SYSTEM, CONT, RUN).
LoopExit RunLoop();

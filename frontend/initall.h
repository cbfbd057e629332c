// The interpreter reset: brings every table, buffer, stack and switch of the interpreter back to its
// start value. It runs at start-up and before every compilation of a whole program; immediate
// commands, CONT and event calls keep the tables so they see the program's variables.
#pragma once

#include "core/sharedstate.h"

void InitAll(StopRequestReset stop = StopRequestReset::Clear);

// After a run that ran out of memory: the program's tables, code, stacks and frames are emptied as the
// reset empties them and the memory goes back to the system, so that the interface finds room again.
// The switches and settings stay; there is no program left to continue or to call.
void ReleaseProgramData();

// The engine's run state and its evaluations in progress (EVALFORM) are reset with the rest: the engine
// hands its part over at start-up, before the first run. Until then the reset leaves the engine out.
void HandOverEngineReset(void (*reset)());

// The interpreter reset: brings every table, buffer, stack and switch of the interpreter back to its
// start value. It runs at start-up and before every compilation of a whole program; immediate
// commands, CONT and event calls keep the tables so they see the program's variables.
#pragma once

#include "frontend/sharedstate.h"

void InitAll(StopRequestReset stop = StopRequestReset::Clear);

// The engine's run state and its evaluations in progress (EVALFORM) are reset with the rest; installed
// by the engine.
extern void (*ResetEngineHook)();

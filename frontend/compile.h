// The one entry point that compiles a program or an immediate command, in the phase order of the
// start of a run: pre-scan, statement scan, statement compiler. The engine and the tests use it.
#pragma once

#include "core/sharedstate.h"

// Compiles CompileText (built by the caller, after InitAll) as a program from slot 101 (run kinds 0
// and 2). False with ErrorNumber, ErrorNameIndex and ErrorPosition set when a phase fails, and false
// with no error when a stop cut the compile short.
bool CompileProgram();
// Compiles CompileText as an immediate command into slots 1 to 100 (run kind 1), keeping the
// program's items and tables. False with the error set when the scan or the compiler fails.
bool CompileImmediate();

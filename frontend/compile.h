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

// A long compile looks at the stop request once every this many steps (tokens of the scans,
// statements of the compiler): often enough that a stop ends it at once, too seldom to cost anything.
inline constexpr int CompileStopInterval = 1024;

// Set when a stop has cut a compile phase short; CompileProgram clears it as it begins.
extern bool CompileCutShort;

// Counts one step of a compile phase; true when the user has asked the run to stop (looked at once
// every CompileStopInterval steps). A phase that sees it ends at once, leaving no error: the run ends
// as stopped and nothing of the half-compiled program can be run. A short program is never cut short:
// its run sees the stop before its first item, as ever.
inline bool CompileStopRequested(int& countdown) {
    if (--countdown > 0) return false;
    countdown = CompileStopInterval;
    if (Rc.StopRequest.load(std::memory_order_relaxed) == 0) return false;
    CompileCutShort = true;
    return true;
}

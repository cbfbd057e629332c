// How a long compile notices the user's stop: the pre-scan, the statement scan and the statement
// compiler count their steps here, and CompileProgram reads whether a stop cut one of them short.
#pragma once

#include "core/sharedstate.h"

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

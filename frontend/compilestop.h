// How a long compile notices the user's stop: the pre-scan, the statement scan and the statement
// compiler count their steps here, and the compile reads whether a stop cut one of them short (Cs.CutShort).
#pragma once

#include "core/sharedstate.h"
#include "frontend/compilerstate.h"

// A long compile looks at the stop request once every this many steps (tokens of the scans,
// statements of the compiler): often enough that a stop ends it at once, too seldom to cost anything.
inline constexpr int CompileStopInterval = 1024;

// Counts one step of a compile phase; true when the user has asked the run to stop (looked at once
// every CompileStopInterval steps). A phase that sees it ends at once, leaving no error: the run ends
// as stopped and nothing of the half-compiled program can be run. A short program is never cut short:
// its run sees the stop before its first item, as ever.
inline bool CompileStopRequested(int& countdown) {
    if (--countdown > 0) return false;
    countdown = CompileStopInterval;
    if (Rc.StopRequest.load(std::memory_order_relaxed) == 0) return false;
    Cs.CutShort = true;
    return true;
}

// The compiler's state: the statement scan's and the statement compiler's, one process-wide instance
// Cs. Each compile begins with a reset, and so does the interpreter reset, so nothing of a compile
// that stopped at an error reaches the next one.
#pragma once

#include "frontend/parsestate.h"
#include "frontend/scanstate.h"

struct CompilerState {
    LXScan::ScanState Scan;
    LXParse::ParseState Parse;
    // Set when a stop has cut a compile phase short (compilestop.h); each compile clears it as it
    // begins, the reset leaves it alone.
    bool CutShort = false;

    void Reset() {
        Scan.Reset();
        Parse.Reset();
    }
};

extern constinit CompilerState Cs;

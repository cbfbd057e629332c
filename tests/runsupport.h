// Shared by the tests that run programs on the real interpreter thread and show them in a run window.
#pragma once

#include "tests/testsupport.h"

class TRunForm;

// Starts a run of the program `text` on the interpreter thread, as the Run command does.
void StartProgramRun(const char* text);

// Serves the event loop until the interpreter thread is idle, then shows what the run queued in `form`
// (when there is one); false, with nothing shown, when the run outlasts `ms` milliseconds.
bool WaitForRunEnd(TRunForm* form, int ms = TestWaitMs);

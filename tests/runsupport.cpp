#include "tests/runsupport.h"

#include "engine/lxthread.h"
#include "frontend/sharedstate.h"
#include "ui/runform.h"

void StartProgramRun(const char* text) {
    ProgramText = QString::fromUtf8(text);
    ProgramTextLength = static_cast<int>(ProgramText.size());
    RunMode = RunKind::Program;
    ProgramRunning = 1;
    StopRequest = 0;
    TLXMTHread::StartRun();
}

bool WaitForRunEnd(TRunForm* form, int ms) {
    // A hung run is reported, not waited for: waiting for the thread to leave would hang the test.
    if (!PumpUntil([] { return ThreadBusy == 0; }, ms)) return false;
    TLXMTHread::WaitForIdle();
    if (form != nullptr) form->ApplyQueue();
    return true;
}

#include "tests/runsupport.h"

#include "core/sharedstate.h"
#include "engine/lxthread.h"
#include "ui/runform.h"

void StartProgramRun(const char* text) {
    Fe.ProgramText = QString::fromUtf8(text);
    Fe.ProgramTextLength = static_cast<int>(Fe.ProgramText.size());
    Rc.RunMode = RunKind::Program;
    Rc.ProgramRunning = 1;
    Rc.StopRequest = 0;
    TLXMTHread::StartRun();
}

bool WaitForRunEnd(TRunForm* form, int ms) {
    // A hung run is reported, not waited for: waiting for the thread to leave would hang the test.
    if (!PumpUntil([] { return Rc.ThreadBusy == 0; }, ms)) return false;
    TLXMTHread::WaitForIdle();
    if (form != nullptr) form->ApplyQueue();
    return true;
}

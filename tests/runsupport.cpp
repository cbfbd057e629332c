#include "tests/runsupport.h"

#include "core/sharedstate.h"
#include "engine/enginehooks.h"
#include "engine/lxthread.h"
#include "ui/runform.h"

void StartProgramRun(const char* text) {
    InstallEngineReset(); // as the application does at start-up
    StartRun(RunRequest{RunStart::Program, QString::fromUtf8(text)});
}

bool WaitForRunEnd(TRunForm* form, int ms) {
    // A hung run is reported, not waited for: waiting for the thread to leave would hang the test.
    if (!PumpUntil([] { return Rc.ThreadBusy == 0; }, ms)) return false;
    TLXMTHread::WaitForIdle();
    if (form != nullptr) form->ApplyQueue();
    return true;
}

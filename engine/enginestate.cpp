// The engine's run state's one instance, Eng, and its part in the interpreter reset.
#include "engine/enginestate.h"

#include "engine/decoded/decode.h"
#include "engine/formulaexec.h"
#include "frontend/initall.h"
#include "platform/memorybudget.h"

constinit EngineState Eng;

namespace {

// The engine's part of the interpreter reset.
[[maybe_unused]] const bool EngineResetInstalled = [] {
    ResetEngineHook = [] {
        Eng.Reset();
        DropEvaluations();
        ReleaseDecodedCode();
    };
    return true;
}();

} // namespace

BuildStep CheckBuildStep(std::size_t moreBytes) {
    if (Rc.StopRequest.load(std::memory_order_relaxed) != 0) return BuildStep::Stop;
    return MemoryBudget::Allows(moreBytes) ? BuildStep::Go : BuildStep::OutOfMemory;
}

// The engine's run state's one instance, Eng.
#include "engine/enginestate.h"

#include "platform/memorybudget.h"

constinit EngineState Eng;

BuildStep CheckBuildStep(std::size_t moreBytes) {
    if (Rc.StopRequest.load(std::memory_order_relaxed) != 0) return BuildStep::Stop;
    return MemoryBudget::Allows(moreBytes) ? BuildStep::Go : BuildStep::OutOfMemory;
}

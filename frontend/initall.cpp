// The interpreter reset: every store of a compiled program emptied and given back, and every switch
// brought back to its start value.
#include "frontend/initall.h"

#include "core/itembuffers.h"
#include "core/sharedstate.h"
#include "core/tables.h"
#include "core/valuestack.h"
#include "frontend/compilerstate.h"
#include "platform/memorybudget.h"
#include "platform/settings.h"

namespace {

constexpr int RunWindowFrameHeight = 59; // the graphics window starts below the run window and its frame

// The engine's part of the reset, as the engine handed it over.
void (*EngineReset)() = nullptr;

// The engine's run state, the item buffers, the value stacks, the tables and the compiler's state:
// everything a compiled program holds, emptied and given back.
void ResetProgramStores() {
    if (EngineReset != nullptr) EngineReset();
    InitPreCode();
    InitCode();
    InitGlStack();
    Tb.Reset();
    Cs.Reset();
    ValueStackCount = 0;
}

} // namespace

void HandOverEngineReset(void (*reset)()) {
    EngineReset = reset;
}

void InitAll(StopRequestReset stop) {
    // Close through the engine when it is there, so what a stopped run wrote reaches its file; the
    // reset below clears the modes and names.
    if (Ps.CloseAllFileChannelsHook != nullptr) Ps.CloseAllFileChannelsHook();
    Rc.Reset(stop);
    Rd.Reset();
    Ps.Reset();
    {
        std::lock_guard<std::mutex> lock(SettingsMutex());
        Ps.GScreenTop = Settings.TScreenHeight + RunWindowFrameHeight;
        Rc.ExitMessageCheck = Settings.ExitMsgCheck;
        Ps.GFontSize = Settings.EditorFontSize;
        Ps.GFontName = Settings.EditorFontName;
        Ps.GFontCharset = Settings.EditorFontCharset;
        Ps.GFontStyle = Settings.EditorFontStyle;
        Ps.GFontColor = Settings.EditorFontColor;
    }
    Ps.CScreenTop = Ps.GScreenTop;

    ResetProgramStores();
}

void ReleaseProgramData() {
    ResetProgramStores();
    static_cast<EngineStacks&>(Ps) = EngineStacks{};
    MemoryBudget::ReturnFreedMemory();
}

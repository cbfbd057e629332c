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

} // namespace

void (*ResetEngineHook)() = nullptr;

void InitAll(StopRequestReset stop) {
    // Close through the engine when it is there, so what a stopped run wrote reaches its file; the
    // reset below clears the modes and names.
    if (Fe.CloseAllFileChannelsHook != nullptr) Fe.CloseAllFileChannelsHook();
    Fe.Reset(stop);
    {
        std::lock_guard<std::mutex> lock(SettingsMutex());
        Fe.GScreenTop = Settings.TScreenHeight + RunWindowFrameHeight;
        Fe.ExitMessageCheck = Settings.ExitMsgCheck;
        Fe.GFontSize = Settings.EditorFontSize;
        Fe.GFontName = Settings.EditorFontName;
        Fe.GFontCharset = Settings.EditorFontCharset;
        Fe.GFontStyle = Settings.EditorFontStyle;
        Fe.GFontColor = Settings.EditorFontColor;
    }
    Fe.CScreenTop = Fe.GScreenTop;

    if (ResetEngineHook != nullptr) ResetEngineHook();
    InitPreCode();
    InitCode();
    InitGlStack();
    Tb.Reset();
    Cs.Reset();
    ValueStackCount = 0;
}

void ReleaseProgramData() {
    if (ResetEngineHook != nullptr) ResetEngineHook();
    static_cast<EngineStacks&>(Fe) = EngineStacks{};
    InitPreCode();
    InitCode();
    InitGlStack();
    Tb.Reset();
    Cs.Reset();
    ValueStackCount = 0;
    MemoryBudget::ReturnFreedMemory();
}

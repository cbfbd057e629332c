#include "frontend/initall.h"

#include "frontend/compilerstate.h"
#include "frontend/itembuffers.h"
#include "frontend/sharedstate.h"
#include "frontend/tables.h"
#include "frontend/valuestack.h"
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
        Fe.GScreenTop = TScreenHeight + RunWindowFrameHeight;
        Fe.ExitMessageCheck = ExitMsgCheck;
        Fe.GFontSize = EditorFontSize;
        Fe.GFontName = EditorFontName;
        Fe.GFontCharset = EditorFontCharset;
        Fe.GFontStyle = EditorFontStyle;
        Fe.GFontColor = EditorFontColor;
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

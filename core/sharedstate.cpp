// The shared state's one instance, Interp, and the resets of its run-control and run-state parts.
#include "core/sharedstate.h"

constinit InterpreterState Interp;

void RunControlState::Reset(StopRequestReset stop) {
    if (stop == StopRequestReset::Clear) StopRequest = 0;
    SavedStopRequest = 0;
    SystemExitRequest = 0;
    EchoOn = 1;

    KeyBuffer = 0;
    LastKeyCode = 0;
    MouseEvent = 0;
    MouseX = 0;
    MouseY = 0;
    for (int n = 0; n <= ControlCount; ++n) {
        ControlButtonWatched[static_cast<std::size_t>(n)] = 0;
        ControlButtonPressed[static_cast<std::size_t>(n)] = 0;
        ControlTextMultiLine[static_cast<std::size_t>(n)] = 0;
    }

    GScreenSizeMode = 0;
    MediaPlayerOpen = 0;
}

void ProgramState::Reset() {
    static_cast<ProgramSwitches&>(*this) = ProgramSwitches{};
    CFontName = QStringLiteral("ＭＳ Ｐゴシック");
    static_cast<InputReadState&>(*this) = InputReadState{};
    static_cast<EngineStacks&>(*this) = EngineStacks{};
    static_cast<FileChannelNames&>(*this) = FileChannelNames{};
    WorldXScale = 1;
    WorldYScale = 1;
}

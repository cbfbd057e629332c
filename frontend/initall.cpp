#include "frontend/initall.h"

#include "frontend/itembuffers.h"
#include "frontend/sharedstate.h"
#include "frontend/tables.h"
#include "frontend/tokenizer.h"
#include "frontend/valuestack.h"
#include "platform/settings.h"

namespace {

constexpr int RunWindowFrameHeight = 59; // the graphics window starts below the run window and its frame
constexpr int ControlWindowLeft = 400;
constexpr int DefaultDrawMode = 13;        // copy pen
constexpr int DefaultControlCharset = 128; // the Japanese character set
constexpr int DefaultControlFontSize = 9;
constexpr int White = 0xFFFFFF;
constexpr int DefaultPrintPrecision = 18;
constexpr int DefaultLanguageVersion = 12;

void ResetFileChannels() {
    // Close through the engine when it is there, so what a stopped run wrote reaches its file.
    if (CloseAllFileChannelsHook != nullptr) CloseAllFileChannelsHook();
    for (int n = 1; n <= FileChannelCount; ++n) {
        FileMode[static_cast<std::size_t>(n)] = FileModeKind::Closed;
        FileName[static_cast<std::size_t>(n)].clear();
    }
}

} // namespace

void (*ResetEvaluationsHook)() = nullptr;

void InitAll(StopRequestReset stop) {
    int runWindowHeight = 0;
    int exitCheck = 0;
    {
        std::lock_guard<std::mutex> lock(SettingsMutex());
        runWindowHeight = TScreenHeight;
        exitCheck = ExitMsgCheck;
        GFontSize = EditorFontSize;
        GFontName = EditorFontName;
        GFontCharset = EditorFontCharset;
        GFontStyle = EditorFontStyle;
        GFontColor = EditorFontColor;
    }

    LanguageVersion = DefaultLanguageVersion;
    FileEncoding = 0;
    OptionExplicit = 0;
    ProgramStart = 1;

    TScreenLeft = 0;
    TScreenTop = 0;
    GScreenLeft = 0;
    GScreenTop = runWindowHeight + RunWindowFrameHeight;
    CScreenLeft = ControlWindowLeft;
    CScreenTop = GScreenTop;
    GLocateX = GLocateY = GFLocateX = GFLocateY = 0.0L;
    WorldXScale = WorldYScale = 1.0L;

    DrawMode = DefaultDrawMode;
    DrawStyle = 0;
    DrawWidth = 1;
    FillStyle = 0;

    CFontColor = 0;
    CFontCharset = DefaultControlCharset;
    CFontName = QStringLiteral("ＭＳ Ｐゴシック");
    CFontSize = DefaultControlFontSize;
    CFontStyle = 0;

    GForeColor = 0;
    GBackColor = White;
    GBorderColor = 0;
    GBorderColorSet = 0;

    PrintPrecision = DefaultPrintPrecision;
    InputRestartPC = 0;
    InputRetry = 0;
    InputResult.clear();
    InputLine.clear();

    NumofRegisteredDcVar = 0;
    GosubStackCount = 0;
    SubReturnStackCount = 0;
    SubCallStack[1] = FrameSizes{};
    SubCallStackCount = 1;
    NumFrameBase = 0;
    StrFrameBase = 0;

    SystemExitRequest = 0;
    RadianMode = 1;
    InputTitle.clear();
    InputBoxPositioned = 0;
    InputBoxLeft = 0;
    InputBoxTop = 0;
    DataReadPos = 0;

    ExitMessageCheck = exitCheck;
    EchoOn = 1;
    GScreenUsed = 0;
    GScreenSizeMode = 0;
    MathGraph = 0;
    if (stop == StopRequestReset::Clear) StopRequest = 0;
    SavedStopRequest = 0;

    if (ResetEvaluationsHook != nullptr) ResetEvaluationsHook();
    InitPreCode();
    InitCode();
    InitGlStack();
    ResetNumTbl();
    ResetStrTbl();
    ResetBoolTbl();

    for (DcVarType& entry : DcVarTable)
        entry = DcVarType{};

    ResetFileChannels();

    ResetReaderState();
    ValueStackCount = 0;

    LastKeyCode = 0;
    KeyBuffer = 0;
    MouseEvent = 0;
    MouseX = 0;
    MouseY = 0;
    for (int n = 0; n <= ControlCount; ++n) {
        ControlButtonWatched[static_cast<std::size_t>(n)] = 0;
        ControlButtonPressed[static_cast<std::size_t>(n)] = 0;
        ControlTextMultiLine[static_cast<std::size_t>(n)] = 0;
    }

    MediaPlayerOpen = 0;
}

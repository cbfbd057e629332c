// The interpreter's shared state, one process-wide object in four parts by owner, as the whole
// interpreter is written as plain procedures over them; each part goes by a short name:
//   Rc  run control: what the user-interface thread and the interpreter thread both touch, all
//       std::atomic (run flags, key, mouse and button state, window-open flags);
//   Rd  the compiler's reader: the tokenizer's place and modes and the text being compiled;
//   Ps  the program's run state: language switches, screen places, drawing and font state, INPUT and
//       READ, the procedure frames and fixed stacks, the file channels' names, the world window;
//   Fe  the error state and the source texts, which the compiler, the run and the editor all read.
// Rd, Ps and Fe belong to the interpreter thread while a run is active and to the user-interface
// thread otherwise (ThreadBusy decides).
//
// Reset: the parts whose every member the interpreter reset brings back to its start value are plain
// structs reset as a whole (a member added there cannot be forgotten); the members that survive the reset
// on purpose stand beside them, each saying why.
#pragma once

#include "core/codeitem.h"

#include <QString>

#include <array>
#include <atomic>
#include <cstdint>

using Extended = long double;
static_assert(sizeof(long double) >= 10 && __LDBL_MANT_DIG__ == 64,
              "numbers need the x87 80-bit extended format with a 64-bit mantissa");

namespace RunKind {
inline constexpr int Program = 0;   // a run from the editor or the command line
inline constexpr int Immediate = 1; // a command typed into the run window, CONT, an event call
inline constexpr int Rerun = 2;     // the RUN statement: compile the program text afresh
inline constexpr int Resume = 3;    // the CONT statement: continue at ResumePC
} // namespace RunKind

// Whether the reset clears the stop request. The start of a run keeps it: the request was cleared
// when the run was asked for, and a stop asked for since belongs to this run.
enum class StopRequestReset { Clear, Keep };

inline constexpr int ControlCount = 40;

inline constexpr int GosubStackSize = 100;
inline constexpr int SubReturnStackSize = 1000;
inline constexpr int SubCallStackSize = 100;

// A FUNCTION's numeric and string frame sizes, pushed at each call.
struct FrameSizes {
    int NumCount = 0;
    int StrCount = 0;
};

inline constexpr int FileChannelCount = 8;
namespace FileModeKind {
inline constexpr int Closed = 0;
inline constexpr int Input = 1;
inline constexpr int Output = 2;
inline constexpr int Append = 3;
} // namespace FileModeKind

// ---- the parts the reset brings back whole ---------------------------------------------------------

// Where the tokenizer stands and the tokens it read last: what a look-ahead puts back.
struct ReaderPlace {
    int SourcePos = 0;     // 1-based index of the next character to read
    int SourceLinePos = 0; // SourcePos when the current GetToken call began
    int TokenStart = 0;    // position of the first character of the last token (mode 1)
    CodeItemType LastToken, PreviousToken, ScanToken, ScanPrevToken;
};

// The tokenizer's reader; also reset on its own when a scan begins.
struct TokenReaderState : ReaderPlace {
    std::uint8_t DeclContext = 0;   // declaration context: what a new name becomes
    std::uint8_t LocalNameMode = 0; // 1 while a DEF function's body is read
    std::uint8_t MemberDotMode = 0; // 1 while the next "." is the member operator
    std::uint8_t IncludeMode = 0;   // the tokenizer's second mode byte: scanning included text
    int IncludeOffset = 0, IncludePosition = 0;
    QString BadCharText; // the character that raised error 1, for the message
    QString LocalNamePrefix;
    int DefCounter = 0;
};

// Language switches, screen places, drawing and font state, as a program starts with them. The
// graphics font and the places below the run window follow the settings; InitAll applies them.
struct ProgramSwitches {
    int LanguageVersion = 12;
    int FileEncoding = 0;            // code page chosen by SETENCODING; 0 or below: automatic
    std::uint8_t OptionExplicit = 0; // OPTION EXPLICIT ON
    std::uint8_t ProgramStart = 1;   // no statement keyword other than REM read yet
    int PrintPrecision = 18;
    int RadianMode = 1; // 1 radians, 0 degrees
    int MathGraph = 0;

    int TScreenLeft = 0, TScreenTop = 0, GScreenLeft = 0, GScreenTop = 0, CScreenLeft = 400, CScreenTop = 0;
    Extended GLocateX = 0, GLocateY = 0, GFLocateX = 0, GFLocateY = 0;
    int DrawMode = 13, DrawStyle = 0, DrawWidth = 1, FillStyle = 0;
    int CFontColor = 0, CFontCharset = 128, CFontSize = 9, CFontStyle = 0;
    QString CFontName; // a constant start value would need a run-time constructor: Reset sets it
    int GForeColor = 0, GBackColor = 0xFFFFFF, GBorderColor = 0, GBorderColorSet = 0;
    int GFontSize = 10, GFontCharset = 128, GFontStyle = 0, GFontColor = 0;
    QString GFontName;
    int GScreenUsed = 0;
};

// INPUT and READ.
struct InputReadState {
    int InputRestartPC = 0, InputRetry = 0;
    QString InputResult, InputLine, InputTitle;
    int InputBoxPositioned = 0, InputBoxLeft = 0, InputBoxTop = 0;
    int DataReadPos = 0;
};

// Procedure frames and the engine's fixed stacks. The frame-size stack starts with one empty entry.
struct EngineStacks {
    int NumFrameBase = 0, StrFrameBase = 0;
    std::array<int, GosubStackSize + 1> GosubStack{}; // 1-based code indices
    int GosubStackCount = 0;
    std::array<int, SubReturnStackSize + 1> SubReturnStack{};
    int SubReturnStackCount = 0;
    std::array<FrameSizes, SubCallStackSize + 1> SubCallStack{};
    int SubCallStackCount = 1;
};

// The channels' modes and names; the engine owns their readers and writers.
struct FileChannelNames {
    std::array<int, FileChannelCount + 1> FileMode{};     // 1-based, FileModeKind
    std::array<QString, FileChannelCount + 1> FileName{}; // 1-based
};

// ---- the four parts -------------------------------------------------------------------------------

// Run control, shared between the two threads: every member is std::atomic.
struct RunControlState {
    // Kept by the reset: they describe the run in progress, which the reset is a step of.
    std::atomic<int> RunMode{0};        // RunKind
    std::atomic<int> ThreadBusy{0};     // an interpreter thread exists
    std::atomic<int> ProgramRunning{0}; // a program is active
    std::atomic<int> ContinueFlag{0};
    std::atomic<int> ResumePC{0};        // the code index where CONT resumes
    std::atomic<int> OutputLineCount{0}; // lines added to the run window's text
    // Reset (the stop request as the caller says).
    std::atomic<int> StopRequest{0};       // tested after every code item
    std::atomic<int> SavedStopRequest{0};  // the stop request kept while an immediate command runs
    std::atomic<int> SystemExitRequest{0}; // SYSTEM: close the application when the run ends
    std::atomic<int> EchoOn{1};            // ECHO switch
    // Ask before closing the application (CHKMSG writes it during a run); reset to the setting.
    std::atomic<int> ExitMessageCheck{1};

    // Input state written by window handlers, polled by the engine (reset).
    std::atomic<char16_t> KeyBuffer{0}; // last typed character; 0 = none
    std::atomic<int> LastKeyCode{0};    // virtual key code of the last key press
    std::atomic<int> MouseEvent{0};     // 1 move, 2 left, 3 right, 4 middle, 5 double click
    std::atomic<int> MouseX{0}, MouseY{0};
    // 1-based per control; index 0 unused.
    std::array<std::atomic<std::uint8_t>, ControlCount + 1> ControlButtonWatched{};
    std::array<std::atomic<std::uint8_t>, ControlCount + 1> ControlButtonPressed{};
    std::array<std::atomic<std::uint8_t>, ControlCount + 1> ControlTextMultiLine{};

    // Windows.
    std::atomic<int> GScreenSizeMode{0}, MediaPlayerOpen{0}; // reset
    // Kept by the reset: the windows stay open across runs.
    std::atomic<int> GScreenOpen{0}, CScreenOpen{0};

    // Everything above marked reset. ExitMessageCheck's start value is the settings': InitAll applies it.
    void Reset(StopRequestReset stop);
};

// The compiler's reader. STRTOFORM borrows it in the middle of a run and puts it back whole.
struct SourceReaderState : TokenReaderState {
    // Kept by the reset: they are what the reset prepares to compile.
    QString CompileText; // the text being compiled (program + CR LF + two NULs)
    int CompileTextLength = 0;

    void Reset() { static_cast<TokenReaderState&>(*this) = TokenReaderState{}; }
};

// The world window: the area of world coordinates the view shows, and the scales that map it. WINDOW
// and the opening of the graphics window set all six together.
struct WorldWindow {
    Extended WorldXMin = 0, WorldYMin = 0, WorldXMax = 0, WorldYMax = 0;
    Extended WorldXScale = 1, WorldYScale = 1;
};

// The program's run state.
struct ProgramState : ProgramSwitches, InputReadState, EngineStacks, FileChannelNames, WorldWindow {
    // Kept by the reset: the graphics window's earlier size, across runs.
    int GScreenPrevWidth = 0, GScreenPrevHeight = 0;

    // The engine owns the channels' readers and writers. The reset closes (and so flushes) every open
    // channel through this hook, which the engine installs; without it only the modes are cleared.
    void (*CloseAllFileChannelsHook)() = nullptr;

    // Every part whole but the world window, whose area is kept and whose scales start at 1 again. The
    // settings-derived start values (the graphics font, the places below the run window) are InitAll's.
    void Reset();
};

// The error state, which the interpreter thread writes; the editor reads a copy published at the end of
// a run.
struct ErrorState {
    int ErrorNumber = 0;
    int ErrorNameIndex = 0; // the statement, function or operator slot the message names
    int ErrorPosition = 0;  // 1-based offset of the error in the compiled text
};

// The error state and the source texts, all kept by the reset: the run's start clears the error, and the
// report of a run reads it after; the texts are what the reset prepares to compile.
struct FrontEndState : ErrorState {
    QString ProgramText; // the program as last handed to the interpreter
    // ProgramText as the program now compiled was read from it: positions in the code are offsets in
    // this text, also after LOAD or NEW have replaced ProgramText under the running program.
    QString CompiledProgramText;
    int ProgramTextLength = 0;
    QString CommandText; // the one-line command of run kind 1
    QString ProgramFolder;
};

// The four parts stand in one object, so that code touching several of them (the run loop tests the stop
// request and the error number after every item) reaches them all from one address.
struct InterpreterState {
    RunControlState Run;
    SourceReaderState Reader;
    ProgramState Program;
    FrontEndState FrontEnd;
};

extern InterpreterState Interp;

inline constexpr RunControlState& Rc = Interp.Run;
inline constexpr SourceReaderState& Rd = Interp.Reader;
inline constexpr ProgramState& Ps = Interp.Program;
inline constexpr FrontEndState& Fe = Interp.FrontEnd;

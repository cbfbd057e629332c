// The interpreter's shared state: run control, the error state, the source texts, the tokenizer's
// reader state, screen, drawing and input variables, and the engine's small fixed stacks. They are
// process-wide, as the whole interpreter is written as plain procedures over them.
//
// Threads: everything the user-interface thread and the interpreter thread both touch is std::atomic
// (run control, key, mouse and button state, window-open flags). The rest belongs to the interpreter
// thread while a run is active and to the user-interface thread otherwise (ThreadBusy decides).
#pragma once

#include "frontend/codeitem.h"

#include <QString>

#include <array>
#include <atomic>
#include <cstdint>

using Extended = long double;
static_assert(sizeof(long double) >= 10 && __LDBL_MANT_DIG__ == 64,
              "numbers need the x87 80-bit extended format with a 64-bit mantissa");

// ---- run control (shared between the two threads) -------------------------------------------------
namespace RunKind {
inline constexpr int Program = 0;   // a run from the editor or the command line
inline constexpr int Immediate = 1; // a command typed into the run window, CONT, an event call
inline constexpr int Rerun = 2;     // the RUN statement: compile the program text afresh
inline constexpr int Resume = 3;    // the CONT statement: continue at ResumePC
} // namespace RunKind

extern std::atomic<int> RunMode;          // RunKind
extern std::atomic<int> ThreadBusy;       // an interpreter thread exists
extern std::atomic<int> ProgramRunning;   // a program is active
extern std::atomic<int> StopRequest;      // tested after every code item
extern std::atomic<int> SavedStopRequest; // the stop request kept while an immediate command runs
extern std::atomic<int> ContinueFlag;
extern std::atomic<int> ResumePC;          // the code index where CONT resumes
extern std::atomic<int> SystemExitRequest; // SYSTEM: close the application when the run ends
extern std::atomic<int> EchoOn;            // ECHO switch
extern std::atomic<int> OutputLineCount;   // lines added to the run window's text

// ---- input state written by window handlers, polled by the engine --------------------------------
inline constexpr int ControlCount = 40;
extern std::atomic<char16_t> KeyBuffer; // last typed character; 0 = none
extern std::atomic<int> LastKeyCode;    // virtual key code of the last key press
extern std::atomic<int> MouseEvent;     // 1 move, 2 left, 3 right, 4 middle, 5 double click
extern std::atomic<int> MouseX, MouseY;
// 1-based per control; index 0 unused.
extern std::array<std::atomic<std::uint8_t>, ControlCount + 1> ControlButtonWatched;
extern std::array<std::atomic<std::uint8_t>, ControlCount + 1> ControlButtonPressed;
extern std::array<std::atomic<std::uint8_t>, ControlCount + 1> ControlTextMultiLine;

// ---- windows -------------------------------------------------------------------------------------
extern std::atomic<int> GScreenOpen, GScreenSizeMode, CScreenOpen, MediaPlayerOpen;
extern int GScreenPrevWidth, GScreenPrevHeight, GScreenUsed;

// ---- error state (interpreter thread; the editor reads a copy published at the end of a run) -----
extern int ErrorNumber;
extern int ErrorNameIndex;  // the statement, function or operator slot the message names
extern int ErrorPosition;   // 1-based offset of the error in the compiled text
extern QString BadCharText; // the character that raised error 1, for the message

// ---- source texts --------------------------------------------------------------------------------
extern QString ProgramText; // the program as last handed to the interpreter
extern int ProgramTextLength;
extern QString CompileText; // the text being compiled (program + CR LF + two NULs)
extern int CompileTextLength;
extern QString CommandText; // the one-line command of run kind 1
extern QString ProgramFolder;

// ---- tokenizer reader state ------------------------------------------------------------------------
extern int SourcePos;     // 1-based index of the next character to read
extern int SourceLinePos; // SourcePos when the current GetToken call began
extern int TokenStart;    // position of the first character of the last token (mode 1)
extern CodeItemType LastToken, PreviousToken, ScanToken, ScanPrevToken;
extern std::uint8_t DeclContext;   // declaration context: what a new name becomes
extern std::uint8_t LocalNameMode; // 1 while a DEF function's body is read
extern std::uint8_t MemberDotMode; // 1 while the next "." is the member operator
extern std::uint8_t IncludeMode;   // the tokenizer's second mode byte: scanning included text
extern int IncludeOffset, IncludePosition;
extern QString LocalNamePrefix;
extern int DefCounter;
extern std::uint8_t OptionExplicit; // OPTION EXPLICIT ON
extern std::uint8_t ProgramStart;   // no statement keyword other than REM read yet

// ---- language switches and screen state -------------------------------------------------------------
extern int LanguageVersion;
extern int FileEncoding; // code page chosen by SETENCODING; 0 or below: automatic
extern int PrintPrecision;
extern int RadianMode; // 1 radians, 0 degrees
extern std::atomic<int>
    ExitMessageCheck; // ask before closing the application (CHKMSG writes it during a run)
extern int MathGraph;

extern int TScreenLeft, TScreenTop, GScreenLeft, GScreenTop, CScreenLeft, CScreenTop;
extern Extended GLocateX, GLocateY, GFLocateX, GFLocateY;
extern Extended WorldXMin, WorldYMin, WorldXMax, WorldYMax, WorldXScale, WorldYScale;
extern int DrawMode, DrawStyle, DrawWidth, FillStyle;
extern int CFontColor, CFontCharset, CFontSize, CFontStyle;
extern QString CFontName;
extern int GForeColor, GBackColor, GBorderColor, GBorderColorSet;
extern int GFontSize, GFontCharset, GFontStyle, GFontColor;
extern QString GFontName;

// ---- INPUT and READ state ------------------------------------------------------------------------------
extern int InputRestartPC, InputRetry;
extern QString InputResult, InputLine, InputTitle;
extern int InputBoxPositioned, InputBoxLeft, InputBoxTop;
extern int DataReadPos;

// ---- procedure frames and the engine's fixed stacks -------------------------------------------------
extern int NumFrameBase, StrFrameBase;

inline constexpr int GosubStackSize = 100;
extern std::array<int, GosubStackSize + 1> GosubStack; // 1-based code indices
extern int GosubStackCount;

inline constexpr int SubReturnStackSize = 1000;
extern std::array<int, SubReturnStackSize + 1> SubReturnStack;
extern int SubReturnStackCount;

// A FUNCTION's numeric and string frame sizes, pushed at each call.
struct FrameSizes {
    int NumCount = 0;
    int StrCount = 0;
};
inline constexpr int SubCallStackSize = 100;
extern std::array<FrameSizes, SubCallStackSize + 1> SubCallStack;
extern int SubCallStackCount;

// ---- file channels ---------------------------------------------------------------------------------
inline constexpr int FileChannelCount = 8;
namespace FileModeKind {
inline constexpr int Closed = 0;
inline constexpr int Input = 1;
inline constexpr int Output = 2;
inline constexpr int Append = 3;
} // namespace FileModeKind
extern std::array<int, FileChannelCount + 1> FileMode;     // 1-based
extern std::array<QString, FileChannelCount + 1> FileName; // 1-based

// The engine owns the channels' readers and writers. The reset closes (and so flushes) every open
// channel through this hook, which the engine installs; without it only the modes are cleared.
extern void (*CloseAllFileChannelsHook)();

#include "frontend/sharedstate.h"

std::atomic<int> RunMode{0};
std::atomic<int> ThreadBusy{0};
std::atomic<int> ProgramRunning{0};
std::atomic<int> StopRequest{0};
std::atomic<int> SavedStopRequest{0};
std::atomic<int> ContinueFlag{0};
std::atomic<int> ResumePC{0};
std::atomic<int> SystemExitRequest{0};
std::atomic<int> EchoOn{1};
std::atomic<int> OutputLineCount{0};

std::atomic<char16_t> KeyBuffer{0};
std::atomic<int> LastKeyCode{0};
std::atomic<int> MouseEvent{0};
std::atomic<int> MouseX{0}, MouseY{0};
std::array<std::atomic<std::uint8_t>, ControlCount + 1> ControlButtonWatched{};
std::array<std::atomic<std::uint8_t>, ControlCount + 1> ControlButtonPressed{};
std::array<std::atomic<std::uint8_t>, ControlCount + 1> ControlTextMultiLine{};

std::atomic<int> GScreenOpen{0}, GScreenSizeMode{0}, CScreenOpen{0}, MediaPlayerOpen{0};
int GScreenPrevWidth = 0, GScreenPrevHeight = 0, GScreenUsed = 0;

int ErrorNumber = 0;
int ErrorNameIndex = 0;
int ErrorPosition = 0;
QString BadCharText;

QString ProgramText;
int ProgramTextLength = 0;
QString CompileText;
int CompileTextLength = 0;
QString CommandText;
QString ProgramFolder;

int SourcePos = 0;
int SourceLinePos = 0;
int TokenStart = 0;
CodeItemType LastToken, PreviousToken, ScanToken, ScanPrevToken;
std::uint8_t DeclContext = 0;
std::uint8_t LocalNameMode = 0;
std::uint8_t MemberDotMode = 0;
std::uint8_t IncludeMode = 0;
int IncludeOffset = 0, IncludePosition = 0;
QString LocalNamePrefix;
int DefCounter = 0;
std::uint8_t OptionExplicit = 0;
std::uint8_t ProgramStart = 0;

int LanguageVersion = 12;
int FileEncoding = 0;
int PrintPrecision = 18;
int RadianMode = 1;
std::atomic<int> ExitMessageCheck{1};
int MathGraph = 0;

int TScreenLeft = 0, TScreenTop = 0, GScreenLeft = 0, GScreenTop = 0, CScreenLeft = 0, CScreenTop = 0;
Extended GLocateX = 0, GLocateY = 0, GFLocateX = 0, GFLocateY = 0;
Extended WorldXMin = 0, WorldYMin = 0, WorldXMax = 0, WorldYMax = 0, WorldXScale = 1, WorldYScale = 1;
int DrawMode = 13, DrawStyle = 0, DrawWidth = 1, FillStyle = 0;
int CFontColor = 0, CFontCharset = 128, CFontSize = 9, CFontStyle = 0;
QString CFontName;
int GForeColor = 0, GBackColor = 0xFFFFFF, GBorderColor = 0, GBorderColorSet = 0;
int GFontSize = 10, GFontCharset = 128, GFontStyle = 0, GFontColor = 0;
QString GFontName;

int InputRestartPC = 0, InputRetry = 0;
QString InputResult, InputLine, InputTitle;
int InputBoxPositioned = 0, InputBoxLeft = 0, InputBoxTop = 0;
int DataReadPos = 0;

int NumFrameBase = 0, StrFrameBase = 0;
std::array<int, GosubStackSize + 1> GosubStack{};
int GosubStackCount = 0;
std::array<int, SubReturnStackSize + 1> SubReturnStack{};
int SubReturnStackCount = 0;
std::array<FrameSizes, SubCallStackSize + 1> SubCallStack{};
int SubCallStackCount = 0;

std::array<int, FileChannelCount + 1> FileMode{};
std::array<QString, FileChannelCount + 1> FileName{};
void (*CloseAllFileChannelsHook)() = nullptr;

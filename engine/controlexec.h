// The engine's side of the control window: the CSCREEN, OPENCSCREEN and CLOSECSCREEN statements, the
// show statements CBUTTON/CLABEL/CTEXTBOX (k) ON|OFF, the property items 1000 + n and 2000 + n, and
// the button-click poll. Window work is handed to the user-interface thread through hooks that the
// control window installs, so the engine never sees a widget.
#pragma once

// The control window's client size, set by CSCREEN before the window is (re)created; until then the
// layout's own size.
inline constexpr int CScreenDefaultWidth = 792;
inline constexpr int CScreenDefaultHeight = 397;
inline constexpr int CScreenMinSize = 10;
inline constexpr int CScreenMaxWidth = 1280;
inline constexpr int CScreenMaxHeight = 960;
// The size the next control window is made at, kept from run to run.
struct CScreenSizeType {
    int Width = CScreenDefaultWidth;
    int Height = CScreenDefaultHeight;
};
extern CScreenSizeType CScreenSize;

// CSCREEN and OPENCSCREEN: the sizes, then the window opened (or re-created).
void ExecOpenCScreen(int code);
// CLOSECSCREEN: nothing when no control window is open.
void ExecCloseCScreen(int code);
// True for the function codes of the property blocks (set 1000 + n, get 2000 + n).
bool InPropertyBlocks(int code);
// A property code of those blocks (the codes no property uses do nothing).
void ExecControlProperty(int code);

// Pops the control number k (1 to 40) of a getter or of the click poll and checks it; returns k, or 0
// with ErrorNumber set: 50011 when the top is no number (nothing popped) or k is out of range (k
// popped), 54110 when the control window is closed. The 50011 message names the control kind
// `kindStatement` (St::CBUTTON, St::CLABEL or St::CTEXTBOX).
int PopControlIndex(int kindStatement);

// The control number k of a setter or a show statement as popped: truncated toward zero, or 0 when it
// is no finite number in 1 to 40 (the caller reports its own error).
int ControlIndexFromNumber(long double value);

// CBUTTON(k) ON|OFF, CLABEL(k) ON|OFF, CTEXTBOX(k) ON|OFF (`kind` is the statement): checks and pops k
// and takes the ON or OFF item here; the window shows or hides the control.
void ExecShowControl(int kind);

// CSCREEN (width, height) and OPENCSCREEN (width, height): only store the limited sizes.
void ExecCScreen();
// CBUTTON(k).CLICK: the first poll of a button starts watching it and gives false; later polls give
// whether it was clicked since the last poll, taking the click so that the next poll gives false.
void PollControlClick();

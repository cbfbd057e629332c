// Internal statement and function codes: values of statement items (kind 6) from 192 up and of function
// items (kind 2) from 126 up that the scan and the compiler emit for forms that have no word of their
// own. Like the vocabulary slots they are part of the compiled code's format.
#pragma once

// Statement codes (kind 6).
namespace InSt {
inline constexpr int First = 192;                // codes below are StatementNames slots
inline constexpr int AudioMixerMasterMute = 192; // AUDIOMIXER.MASTERMUTE = x
inline constexpr int AudioMixerMasterVolume = 193;
inline constexpr int ClipboardClear = 221;
inline constexpr int ClipboardSetText = 223;
inline constexpr int ReturnFromFunction = 237;   // end of a DEF function
inline constexpr int LoopPlain = 238;            // LOOP closing a plain DO
inline constexpr int DoUntil = 239;              // DO UNTIL c
inline constexpr int DoWhile = 240;
inline constexpr int EvalFormTrapOff = 241;
inline constexpr int FunctionEnd = 242;
inline constexpr int InputNumField = 243;
inline constexpr int InputStrField = 244;
inline constexpr int GlPop = 245;                // bind the top of the Gl stack to the next item
inline constexpr int GlPush = 246;               // push the next item's value
inline constexpr int DumpCrossReference = 247;   // HELP with one of its keywords
inline constexpr int ListReservedWords = 248;
inline constexpr int DumpCodeListing = 249;
inline constexpr int DumpVariables = 250;
inline constexpr int CaseTestFirst = 251;        // 251 to 259: the CASE tests
inline constexpr int SelectCaseNum = 252;
inline constexpr int CaseBoolean = 257;
inline constexpr int CaseRange = 259;
inline constexpr int CaseTestLast = 259;
inline constexpr int ReadAllLinesStatement = 261;
inline constexpr int LoopUntil = 262;            // LOOP UNTIL c
inline constexpr int LoopWhile = 263;            // LOOP WHILE c
inline constexpr int LoPop = 264;
inline constexpr int LoPopAll = 265;             // restore the top frame's locals
inline constexpr int LoPush = 266;
inline constexpr int LoPushAll = 267;            // save the top frame's locals
inline constexpr int MediaPlayerClose = 268;
inline constexpr int MediaPlayerMode = 269;
inline constexpr int MediaPlayerOpen = 270;
inline constexpr int MediaPlayerPause = 271;
inline constexpr int MediaPlayerPlay = 272;
inline constexpr int MediaPlayerStop = 273;
inline constexpr int PrintFileLineEnd = 277;     // the last value of a PRINT# that ends its line
inline constexpr int PrintUsingFile = 278;       // PRINT# USING
inline constexpr int SubEnd = 280;
inline constexpr int SubJump = 281;              // call through a label variable
inline constexpr int SubStart = 282;
} // namespace InSt

// Function codes (kind 2).
namespace InFn {
inline constexpr int First = 126;          // codes below are FunctionNames slots
inline constexpr int Direct = 126;         // runs a built-in routine directly (also the sign change)
inline constexpr int ReservedWordLast = 163; // 126 to 163 name the ReservedWords slots
inline constexpr int ClipboardGetText = 222; // runs on the user-interface thread
} // namespace InFn

// Control-window property numbers n: the item carries 1000 + n (set) or 2000 + n (get).
namespace PropertyRange {
inline constexpr int ButtonFirst = 196;   // CBUTTON
inline constexpr int ButtonLast = 208;
inline constexpr int ButtonClick = 1197;  // CLICK: read only, carried as 1197
inline constexpr int LabelFirst = 209;    // CLABEL
inline constexpr int LabelLast = 220;
inline constexpr int TextBoxFirst = 224;  // CTEXTBOX
inline constexpr int TextBoxLast = 236;
} // namespace PropertyRange

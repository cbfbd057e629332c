// The program's own texts that more than one unit shows: run messages, window captions and dialog
// titles. Windows add their menu and button texts here as they are built, so that every text the user
// reads is kept in one place.
#pragma once

#include <QString>

namespace Res {
inline constexpr int ErrorWord = 65193;           // the end-of-run error line's prefix
inline constexpr int LeftoverValues = 65194;      // values left on the stack at the end of a run
inline constexpr int CurrentPath = 65195;         // FILES heading
inline constexpr int RunStopped = 65196;          // stop line
inline constexpr int CaptionStopped = 65197;      // run window caption after a stop
inline constexpr int LineInputCaption = 65200;    // LINE INPUT dialog caption
inline constexpr int InputRetrySuffix = 65201;    // caption suffix when an INPUT must be re-entered
inline constexpr int InputWaitingSuffix = 65202;  // caption suffix while input is awaited
inline constexpr int CaptionPreparing = 65216;    // SetBtnPrepMode
inline constexpr int InputCaption = 65231;        // INPUT dialog caption
inline constexpr int CaptionRunning = 65245;      // SetBtnRunMode
inline constexpr int CaptionStopMode = 65246;     // SetBtnStopMode
inline constexpr int CaptionEnded = 65247;        // SetBtnEndMode
} // namespace Res

// The text of a resource id; empty for an id without a text.
QString ResourceText(int id);

// Texts that are not numbered resources but are fixed captions of the application.
inline constexpr char16_t ApplicationTitle[] = u"Lorvex for Windows";

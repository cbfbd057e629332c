// The user's settings in memory: each one as the text that is stored (the Cfg... strings) and, where
// code needs it, a typed copy. settingsstore.h loads and saves them.
//
// Threads: the settings are written on the user-interface thread. The interpreter's reset reads a few
// typed copies (ExitMsgCheck, TScreenHeight, the editor font) on the interpreter thread; writers and
// that reader hold SettingsMutex() so the reset never sees a half-written font name.
#pragma once

#include <QString>

#include <cstdint>
#include <mutex>

std::mutex& SettingsMutex();

// Font-style sets (one byte).
namespace FontStyleBit {
inline constexpr std::uint8_t Bold = 1;
inline constexpr std::uint8_t Italic = 2;
inline constexpr std::uint8_t Underline = 4;
inline constexpr std::uint8_t StrikeOut = 8;
} // namespace FontStyleBit

extern QString ExeDir; // folder of the executable, no trailing separator
// InstallPath defaults to ExeDir, WorkingPath (where the user's programs go) to the home folder.
extern QString InstallPath, WorkingPath, DefaultDir;
extern QString CfgStoreMode; // "REGISTRY" (the user store), "INIFILE" or empty (not saved)

// The window sizes, in pixels, of a fresh installation and of a stored size that is not usable.
inline constexpr int DefaultMainFormWidth = 640, DefaultMainFormHeight = 400;
inline constexpr int DefaultEditorWidth = 400, DefaultEditorHeight = 250;
inline constexpr int DefaultTScreenWidth = 620, DefaultTScreenHeight = 230;

// The stored texts, one per key.
extern QString CfgFontSize;
extern QString CfgEditorFontCharset, CfgEditorFontName, CfgEditorFontSize, CfgEditorFontStyle;
extern QString CfgEditorFontColor, CfgEditorBackColor, CfgEditorKeywordColor, CfgEditorCommentColor,
    CfgEditorStringColor;
extern QString CfgEditorKeywordStyle, CfgEditorCommentStyle, CfgEditorStringStyle;
extern QString CfgTScreenFontCharset, CfgTScreenFontName, CfgTScreenFontSize, CfgTScreenFontColor,
    CfgTScreenBackColor, CfgTScreenFontStyle;
extern QString CfgCursorMode, CfgExitMsgCheck, CfgFormatCheck, CfgAutoFormatLoad;
extern QString CfgMainFormHeight, CfgMainFormWidth, CfgEditorHeight, CfgEditorWidth, CfgTScreenHeight,
    CfgTScreenWidth;

// Typed copies. Colours are 0x00BBGGRR.
extern int MainFormHeight, MainFormWidth, EditorHeight, EditorWidth, TScreenHeight, TScreenWidth;
extern int EditorFontSize, EditorFontCharset, TScreenFontSize, TScreenFontCharset;
extern int EditorFontColor, EditorBackColor, EditorKeywordColor, EditorCommentColor, EditorStringColor;
extern int TScreenFontColor, TScreenBackColor;
extern std::uint8_t EditorFontStyle, EditorKeywordStyle, EditorCommentStyle, EditorStringStyle,
    TScreenFontStyle;
extern QString EditorFontName, TScreenFontName;
extern std::uint8_t CursorMode, ExitMsgCheck, FormatCheck, AutoFormatLoad;
extern int CurrentEditorHeight, CurrentEditorWidth;

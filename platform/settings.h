// The user's settings in memory: each one as the text that is stored (the Cfg... strings) and, where
// code needs it, a typed copy. settingsstore.h loads and saves them.
//
// Threads: the settings are written on the user-interface thread. The interpreter's reset reads a few
// typed copies (ExitMsgCheck, TScreenHeight, the editor font) on the interpreter thread; writers and
// that reader hold SettingsMutex() so the reset never sees a half-written font name.
#pragma once

#include <QSize>
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

// The window sizes, in pixels, of a fresh installation and of a stored size that is not usable.
inline constexpr int DefaultMainFormWidth = 640, DefaultMainFormHeight = 400;
inline constexpr int DefaultEditorWidth = 400, DefaultEditorHeight = 250;
inline constexpr int DefaultTScreenWidth = 620, DefaultTScreenHeight = 230;

// A fresh SettingsState holds what a fresh installation shows before the store is read.
struct SettingsState {
    QString ExeDir; // folder of the executable, no trailing separator
    // InstallPath defaults to ExeDir, WorkingPath (where the user's programs go) to the home folder.
    QString InstallPath, WorkingPath, DefaultDir;
    QString CfgStoreMode; // "REGISTRY" (the user store), "INIFILE" or empty (not saved)

    // The stored texts, one per key.
    QString CfgFontSize = QStringLiteral("10");
    QString CfgEditorFontCharset = QStringLiteral("128");
    QString CfgEditorFontName = QStringLiteral("ＭＳ ゴシック");
    QString CfgEditorFontSize = QStringLiteral("10");
    QString CfgEditorFontStyle = QStringLiteral("Normal");
    QString CfgEditorFontColor = QStringLiteral("000000");
    QString CfgEditorBackColor = QStringLiteral("FFFFFF");
    QString CfgEditorKeywordColor = QStringLiteral("000000");
    QString CfgEditorCommentColor = QStringLiteral("008800");
    QString CfgEditorStringColor = QStringLiteral("000088");
    QString CfgEditorKeywordStyle = QStringLiteral("Bold");
    QString CfgEditorCommentStyle = QStringLiteral("Normal");
    QString CfgEditorStringStyle = QStringLiteral("Normal");
    QString CfgTScreenFontCharset = QStringLiteral("128");
    QString CfgTScreenFontName = QStringLiteral("ＭＳ ゴシック");
    QString CfgTScreenFontSize = QStringLiteral("10");
    QString CfgTScreenFontColor = QStringLiteral("FFFFFF");
    QString CfgTScreenBackColor = QStringLiteral("000000");
    QString CfgTScreenFontStyle = QStringLiteral("Normal");
    QString CfgCursorMode = QStringLiteral("OFF");
    QString CfgExitMsgCheck = QStringLiteral("ON");
    QString CfgFormatCheck = QStringLiteral("ON");
    QString CfgAutoFormatLoad = QStringLiteral("OFF");
    QString CfgMainFormHeight = QString::number(DefaultMainFormHeight);
    QString CfgMainFormWidth = QString::number(DefaultMainFormWidth);
    QString CfgEditorHeight = QString::number(DefaultEditorHeight);
    QString CfgEditorWidth = QString::number(DefaultEditorWidth);
    QString CfgTScreenHeight = QString::number(DefaultTScreenHeight);
    QString CfgTScreenWidth = QString::number(DefaultTScreenWidth);

    // Typed copies. Colours are 0x00BBGGRR.
    int MainFormHeight = DefaultMainFormHeight, MainFormWidth = DefaultMainFormWidth;
    int EditorHeight = DefaultEditorHeight, EditorWidth = DefaultEditorWidth;
    int TScreenHeight = DefaultTScreenHeight, TScreenWidth = DefaultTScreenWidth;
    int EditorFontSize = 10, EditorFontCharset = 128, TScreenFontSize = 10, TScreenFontCharset = 128;
    int EditorFontColor = 0x000000, EditorBackColor = 0xFFFFFF, EditorKeywordColor = 0x000000;
    int EditorCommentColor = 0x008800, EditorStringColor = 0x880000;
    int TScreenFontColor = 0xFFFFFF, TScreenBackColor = 0x000000;
    std::uint8_t EditorFontStyle = 0, EditorKeywordStyle = FontStyleBit::Bold, EditorCommentStyle = 0,
                 EditorStringStyle = 0, TScreenFontStyle = 0;
    QString EditorFontName = QStringLiteral("ＭＳ ゴシック");
    QString TScreenFontName = QStringLiteral("ＭＳ ゴシック");
    // CursorMode starts on until the settings are loaded.
    std::uint8_t CursorMode = 1, ExitMsgCheck = 1, FormatCheck = 1, AutoFormatLoad = 0;
    // The size of the editor window last resized or activated (the loaded size until then): what the
    // preferences offer as the editor size.
    int CurrentEditorHeight = DefaultEditorHeight, CurrentEditorWidth = DefaultEditorWidth;

    // Back to a fresh installation's values, the program folder included. A writer while the
    // interpreter may run holds SettingsMutex().
    void Reset() { *this = SettingsState{}; }
};

extern SettingsState Settings;

// The least client size of each window: its title bar, menu or button bar and one line of content
// (the run window's text area: its scroll bar's arrows and thumb). A stored size below it would be
// grown by the toolkit only once the window is on the screen, and the desktop would then place the
// grown window by its client area rather than its frame: the title bar would go above the screen.
inline constexpr int MinMainFormWidth = 280, MinMainFormHeight = 100;
inline constexpr int MinEditorWidth = 160, MinEditorHeight = 50;
inline constexpr int MinTScreenWidth = 310, MinTScreenHeight = 70;

// What a window needs around the client size the settings hold: its frame and title bar, the main
// frame's menu and status bars, the run window's margin and button bar. A window of the largest size
// the settings allow thus still shows its title bar, and the graphics window, which starts below the
// run window, still starts on the screen.
inline constexpr int WindowSurroundWidth = 40;
inline constexpr int WindowSurroundHeight = 100;

// Brings the six typed window sizes of settings within a screen whose free area (without panels and
// docks) is available: a size below 1 takes its default, a size below the window's least size (the
// Min... sizes above) grows to it, a size that would leave less than the surround free is cut to what
// fits, but never below the least size. An empty available size (no screen known) changes only the
// sizes below the least ones. The stored texts are left as they are.
void FitWindowSizesToScreen(SettingsState& settings, QSize available);

// A size setting as a window gets it: a value below 1 (unparsable text) falls back to the default.
int UsableSize(int value, int defaultValue);
// A saved window size (two members of Settings) through UsableSize, read under the settings lock.
QSize UsableSavedSize(int SettingsState::*width, int SettingsState::*height, QSize defaults);

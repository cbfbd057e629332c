// The window-setting statements (captions, positions, colours, fonts, window states, the graphics
// pen and fill, PRECISION, TSCREEN), the value functions that read those settings back, and the
// standard dialogs a program can show (MSGBOX, INPUTBOX, SELECTOPENFILE, SELECTSAVEFILE). The pen and
// brush change on the graphics drawing surface under its lock; everything that touches a widget runs
// on the user-interface thread through the hooks below, which ui/windowsettings installs.
#pragma once

#include "platform/canvas.h"

#include <QString>

#include <cstdint>
#include <functional>

// The windows a setting can address: the run window (T), the graphics window (G), the control window
// (C) and the main frame (E).
enum class SettingWindow : std::uint8_t { Run, Graph, Control, Frame };

enum class WindowShowState : std::uint8_t { Normal, Minimize, Maximize };

// One change of the run window's text area or of the control window (its background, and the font of
// its labels, buttons and text boxes).
enum class TextSetting : std::uint8_t { BackColor, FontColor, FontCharset, FontSize, FontName, FontStyle };
struct TextSettingChange {
    TextSetting What = TextSetting::BackColor;
    int Number = 0; // a colour word, a character set, a size in points, or FontStyleBit set
    QString Name;   // FontName
};

// What the value functions read back from a window.
struct TextSettings {
    ColorWord BackColor = WhiteColor;
    ColorWord FontColor = BlackColor;
    int FontCharset = 0;
    int FontSize = 0;
    QString FontName;
    std::uint8_t FontStyle = 0;
};

// MSGBOX: the buttons and the icon as the flags give them.
namespace MsgBoxButtons {
inline constexpr int Ok = 0;
inline constexpr int OkCancel = 1;
inline constexpr int AbortRetryIgnore = 2;
inline constexpr int YesNoCancel = 3;
inline constexpr int YesNo = 4;
inline constexpr int RetryCancel = 5;
} // namespace MsgBoxButtons
namespace MsgBoxIcon {
inline constexpr int None = 0;
inline constexpr int Stop = 16;
inline constexpr int Question = 32;
inline constexpr int Exclamation = 48;
inline constexpr int Information = 64;
} // namespace MsgBoxIcon
// The number of the button pressed, as MSGBOX returns it.
namespace MsgBoxResult {
inline constexpr int Ok = 1;
inline constexpr int Cancel = 2;
inline constexpr int Abort = 3;
inline constexpr int Retry = 4;
inline constexpr int Ignore = 5;
inline constexpr int Yes = 6;
inline constexpr int No = 7;
} // namespace MsgBoxResult

struct MessageBoxRequest {
    QString Text;
    QString Caption;
    int Buttons = MsgBoxButtons::Ok;
    int Icon = MsgBoxIcon::None;
};

struct InputBoxRequest {
    QString Prompt;
    QString Caption;
    QString Default;
};

struct FileDialogRequest {
    bool Save = false;
    QString Filter;    // "description|pattern|description|pattern...", patterns joined by ";"
    QString FileName;  // the name offered, "/" as the folder separator
    QString Directory; // where the dialog starts
};

// The buttons and icon of MSGBOX's flags: the buttons are flags mod 8 (1 to 5, anything else the OK
// box); the icon is flags mod 128 without its three low bits (16, 32, 48, 64, anything else none).
struct MsgBoxStyle {
    int Buttons = MsgBoxButtons::Ok;
    int Icon = MsgBoxIcon::None;
};
MsgBoxStyle MsgBoxStyleFromFlags(std::int32_t flags);

// Installed by the user-interface side; each runs on the user-interface thread while the interpreter
// waits. A statement or function whose hook is missing is reported as not supported in this build.
struct WindowSettingsHooks {
    // The window's top-left corner; nothing when the window does not exist.
    std::function<void(SettingWindow window, int left, int top)> Move;
    // TSCREEN: the run window's text area.
    std::function<void(int width, int height)> SizeRunTextArea;
    // PRINTCTITLE, PRINTGTITLE (Control, Graph).
    std::function<void(SettingWindow window, const QString& caption)> SetCaption;
    std::function<void(SettingWindow window, WindowShowState state)> SetState;
    // Normal for a window that does not exist.
    std::function<WindowShowState(SettingWindow window)> State;
    // The run window's text area or the control window and its controls (Run, Control).
    std::function<void(SettingWindow window, const TextSettingChange& change)> ChangeText;
    std::function<TextSettings(SettingWindow window)> ReadText;
    // The dialogs: the button number pressed; true with the text after OK; the chosen file or empty.
    std::function<int(const MessageBoxRequest& request)> MessageBox;
    std::function<bool(const InputBoxRequest& request, QString& answer)> InputBox;
    std::function<QString(const FileDialogRequest& request)> SelectFile;
};
extern WindowSettingsHooks WindowSettingsHook;

// Window titles that come from a program are cut to this many UTF-16 units: the X server drops the
// connection of a client that sends a title of millions of characters (and every window with it), and
// no title bar shows more than a few hundred.
inline constexpr qsizetype MaxWindowTitleLength = 4096;
// A program's text as a window title: at most MaxWindowTitleLength units, never ending in the first
// half of a surrogate pair. Every title and dialog caption taken from a program passes through here.
QString WindowTitleText(const QString& text);

// PRINTTITLE, PRINTCTITLE, PRINTGTITLE, PRINTITITLE text (by code)
void ExecTitle(int code);
// TWPOSITION, CWPOSITION, GWPOSITION, EWPOSITION, IBPOSITION x, y (by code)
void ExecPosition(int code);
// DRAWMODE, DRAWSTYLE, DRAWWIDTH, FILLSTYLE and their G forms = n (by code)
void ExecPenSetting(int code);
// PRECISION = n
void ExecPrecision();
// MSGBOX, INPUTBOX, SELECTOPENFILE and SELECTSAVEFILE with each count of arguments (by code).
void ExecMsgBoxForm(int code);
void ExecInputBoxForm(int code);
void ExecSelectFileForm(int code);
// The value of a window setting read as a function (SettingValueBase + the statement's code), but
// the window states (SyncGetWindowState).
void PushSettingValue(int code);

// The families of setting statements; each serves the statement (or, for a value, the function) `code`.
void SyncSetColor(int code);       // BACKCOLOR, BORDERCOLOR, FORECOLOR, G.., CBACKCOLOR, CFONTCOLOR, T..
void SyncSetFontSize(int code);    // the font size and character set statements
void SyncSetFontName(int code);    // the font name and style statements
void SyncSetWindowState(int code); // CWINDOWSTATE, EWINDOWSTATE, GWINDOWSTATE, TWINDOWSTATE
void SyncGetWindowState(int code); // their values 1036, 1058, 1095, 1181
// TSCREEN (width, height)
void ExecTScreen();

// Loading and saving the settings of settings.h, and the text forms of colours, font styles and
// integers that the preferences window and the interpreter share with the store. The settings live in
// the user's store ($XDG_CONFIG_HOME/Lorvex/Lorvex.conf) or in Lorvex.ini in the program folder, both
// as section "Configuration" of an ini file of our own format.
#pragma once

#include <QString>

#include <cstdint>

// The values of CfgStoreMode that name a store.
inline constexpr char16_t StoreModeRegistry[] = u"REGISTRY"; // the user store
inline constexpr char16_t StoreModeIniFile[] = u"INIFILE";   // Lorvex.ini in the program folder

// The two texts of a switch setting (Cursor Mode, ExitMSG Check, Format Check, Auto Format Load).
inline constexpr char16_t SwitchOn[] = u"ON";
inline constexpr char16_t SwitchOff[] = u"OFF";

// Where each store lives. The user store keeps the name "REGISTRY" from the Windows version, which kept
// these settings in the registry; IniSettingsFilePath is empty while ExeDir is unknown.
QString UserSettingsFilePath();
QString IniSettingsFilePath();

// Sets every setting to its default, then reads the user store when it exists, else Lorvex.ini when it
// exists; CfgStoreMode ends "REGISTRY", "INIFILE" or empty (nothing read, nothing to save). The typed
// window sizes are then fitted to the primary screen (FitWindowSizesToScreen).
void LoadSettings();

// Why the settings could not be saved; the window that saves them tells the user in its own words.
enum class SettingsSaveFault : std::uint8_t {
    None,
    FolderNotWritable, // Detail, Path's folder, cannot be written or made (an installed program's)
    NoProgramFolder,   // the ini file's folder, the program's, is unknown
    FileUnreadable,    // Path exists but cannot be read, so writing it would lose what else it holds
    LineBreak,         // the value of the key Detail holds a line break, which one line cannot hold
    WriteFailed,       // Path could not be written; Detail is the system's reason
};
struct SettingsSaveFailure {
    SettingsSaveFault Fault = SettingsSaveFault::None;
    QString Path;   // the store file (the bare file name when its folder is unknown)
    QString Detail; // see the faults
};

// Writes the stored texts to the store CfgStoreMode names ("INIFILE" then removes the user store so the
// next start reads the ini file); nothing for any other mode. False, with the reason in failure, when
// the store cannot be written; then every store file is as it was and nothing is removed.
[[nodiscard]] bool SaveSettings(SettingsSaveFailure* failure = nullptr);

// Remove the user store or the ini file; a failure is ignored and nothing in memory changes.
void DeleteRegistrySettings();
void DeleteIniSettings();

// "RRGGBB" to a colour 0x00BBGGRR. A text with a character that is not a hexadecimal digit among its
// first six, or with fewer than six, gives 0 (black); characters after the sixth are ignored.
int HexToColor(const QString& text);
// A colour 0x00BBGGRR to "RRGGBB" in upper case. Only the low three bytes count.
QString ColorToHex(int color);

// A font-style set from a text that names the styles anywhere in it, in any case ("bold italic");
// "Normal" and other texts give the empty set.
std::uint8_t StrToFontStyle(const QString& text);
// "Normal" for the empty set, else " Bold", " Italic", " Underline", " StrikeOut" joined in that order.
QString FontStyleToStr(std::uint8_t style);

// The integer parse used for sizes and font numbers: leading blanks, an optional sign, an optional "$"
// for hexadecimal, then digits up to the first character that is not one. What was read up to there
// counts; no digits give 0; a number beyond the int range gives the nearest int.
int ParseLeadingInteger(const QString& text);

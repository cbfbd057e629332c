// The settings store: its rows of keys and defaults, loading and saving the user's store or the ini
// file in the program folder, and the text forms of colours, font styles and integers.
#include "platform/settingsstore.h"

#include "platform/inifile.h"
#include "platform/settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QThread>

#include <array>
#include <climits>
#include <cstddef>
#include <mutex>

namespace {

constexpr char16_t ConfigurationSection[] = u"Configuration";
constexpr char16_t UserStoreFolder[] = u"Lorvex";
constexpr char16_t UserStoreFileName[] = u"Lorvex.conf";
constexpr char16_t IniFileName[] = u"Lorvex.ini";

// Defaults that are folders rather than texts.
enum class FolderDefault { None, ProgramFolder, HomeFolder };

// One stored setting. The two folder settings take their default from FolderDefault, the window sizes
// (no Default text) from SizeDefault.
struct SettingKey {
    const char16_t* Key;
    QString* Text;
    const char16_t* Default;
    bool EmptyGivesDefault;
    FolderDefault Folder = FolderDefault::None;
    int SizeDefault = 0;
};

// In the order SaveSettings writes them.
constexpr SettingKey SettingKeys[] = {
    {u"Install Path", &Settings.InstallPath, nullptr, false, FolderDefault::ProgramFolder},
    // The user's programs go to the home folder: an installed program's folder is not writable.
    {u"Working Path", &Settings.WorkingPath, nullptr, false, FolderDefault::HomeFolder},
    {u"Font Size", &Settings.CfgFontSize, u"10", false},
    {u"Editor Font Charset", &Settings.CfgEditorFontCharset, u"128", true},
    {u"Editor Font Name", &Settings.CfgEditorFontName, u"ＭＳ ゴシック", true},
    {u"Editor Font Size", &Settings.CfgEditorFontSize, u"10", true},
    {u"Editor Font Style", &Settings.CfgEditorFontStyle, u"Normal", true},
    {u"Editor Font Color", &Settings.CfgEditorFontColor, u"000000", true},
    {u"Editor Back Color", &Settings.CfgEditorBackColor, u"FFFFFF", true},
    {u"Editor Keyword Color", &Settings.CfgEditorKeywordColor, u"000000", true},
    {u"Editor Comment Color", &Settings.CfgEditorCommentColor, u"008800", true},
    {u"Editor String Color", &Settings.CfgEditorStringColor, u"000088", true},
    {u"Editor Keyword Style", &Settings.CfgEditorKeywordStyle, u"Bold", true},
    {u"Editor Comment Style", &Settings.CfgEditorCommentStyle, u"Normal", true},
    {u"Editor String Style", &Settings.CfgEditorStringStyle, u"Normal", true},
    {u"TScreen Font Charset", &Settings.CfgTScreenFontCharset, u"128", true},
    {u"TScreen Font Name", &Settings.CfgTScreenFontName, u"ＭＳ ゴシック", true},
    {u"TScreen Font Size", &Settings.CfgTScreenFontSize, u"10", true},
    {u"TScreen Font Color", &Settings.CfgTScreenFontColor, u"FFFFFF", true},
    {u"TScreen Back Color", &Settings.CfgTScreenBackColor, u"000000", true},
    {u"TScreen Font Style", &Settings.CfgTScreenFontStyle, u"Normal", true},
    {u"Cursor Mode", &Settings.CfgCursorMode, SwitchOff, false},
    {u"ExitMSG Check", &Settings.CfgExitMsgCheck, SwitchOn, false},
    {u"Format Check", &Settings.CfgFormatCheck, SwitchOn, false},
    {u"Auto Format Load", &Settings.CfgAutoFormatLoad, SwitchOff, false},
    {u"Main Form Height", &Settings.CfgMainFormHeight, nullptr, true, FolderDefault::None,
     DefaultMainFormHeight},
    {u"Main Form Width", &Settings.CfgMainFormWidth, nullptr, true, FolderDefault::None,
     DefaultMainFormWidth},
    {u"Editor Height", &Settings.CfgEditorHeight, nullptr, true, FolderDefault::None, DefaultEditorHeight},
    {u"Editor Width", &Settings.CfgEditorWidth, nullptr, true, FolderDefault::None, DefaultEditorWidth},
    {u"TScreen Height", &Settings.CfgTScreenHeight, nullptr, true, FolderDefault::None, DefaultTScreenHeight},
    {u"TScreen Width", &Settings.CfgTScreenWidth, nullptr, true, FolderDefault::None, DefaultTScreenWidth},
};
constexpr std::size_t SettingKeyCount = std::size(SettingKeys);
static_assert(SettingKeyCount == 31);

constexpr std::size_t RowOf(const char16_t* key) {
    for (std::size_t i = 0; i < SettingKeyCount; ++i) {
        std::size_t k = 0;
        while (SettingKeys[i].Key[k] != 0 && SettingKeys[i].Key[k] == key[k])
            ++k;
        if (SettingKeys[i].Key[k] == 0 && key[k] == 0) return i;
    }
    return SettingKeyCount;
}
constexpr std::size_t FontSizeRow = RowOf(u"Font Size");
constexpr std::size_t TScreenFontSizeRow = RowOf(u"TScreen Font Size");
static_assert(FontSizeRow < SettingKeyCount && TScreenFontSizeRow < SettingKeyCount);

constexpr int HexColorDigits = 6;
constexpr int HexBase = 16;
constexpr int DecimalBase = 10;
constexpr unsigned ColorMask = 0xFFFFFF;
constexpr unsigned ByteMask = 0xFF;
constexpr int GreenShift = 8;
constexpr int BlueShift = 16;

QString DefaultText(const SettingKey& row) {
    switch (row.Folder) {
    case FolderDefault::ProgramFolder: return Settings.ExeDir;
    case FolderDefault::HomeFolder: return QDir::homePath();
    case FolderDefault::None: break;
    }
    if (row.Default == nullptr) return QString::number(row.SizeDefault);
    return QString::fromUtf16(row.Default);
}

// The value of one digit in base, -1 for a character that is not one. Only ASCII digits count.
int DigitValue(QChar c, int base) {
    const char16_t u = c.unicode();
    int digit = -1;
    if (u >= u'0' && u <= u'9')
        digit = u - u'0';
    else if (u >= u'a' && u <= u'f')
        digit = u - u'a' + DecimalBase;
    else if (u >= u'A' && u <= u'F')
        digit = u - u'A' + DecimalBase;
    return digit < base ? digit : -1;
}

// Writes every stored text to section "Configuration" of the file at path, keeping whatever else the
// file holds. A file that exists but cannot be read is not overwritten: its other contents would be lost.
bool WriteStore(const QString& path, SettingsSaveFailure* failure) {
    auto fail = [&](SettingsSaveFault fault, const QString& detail) {
        if (failure) *failure = {fault, path, detail};
        return false;
    };
    IniFile ini;
    QString reason;
    if (QFileInfo::exists(path) && !ini.Load(path, &reason))
        return fail(SettingsSaveFault::FileUnreadable, reason);
    const QString section = QString::fromUtf16(ConfigurationSection);
    for (const SettingKey& row : SettingKeys) {
        const QString key = QString::fromUtf16(row.Key);
        if (!ini.SetValue(section, key, *row.Text)) return fail(SettingsSaveFault::LineBreak, key);
    }
    if (ini.Save(path, &reason)) return true;
    // Most often the store's folder is one the user cannot write, as an installed program's is.
    const QString folder = QFileInfo(path).path();
    const QFileInfo folderInfo(folder);
    if (!folderInfo.isDir() || !folderInfo.isWritable())
        return fail(SettingsSaveFault::FolderNotWritable, folder);
    return fail(SettingsSaveFault::WriteFailed, reason);
}

// The typed copies read from their setting texts: the sizes as whole numbers, the colours from their
// hexadecimal "RRGGBB", the font styles from their names.
struct TypedSetting {
    int SettingsState::*Value;
    QString SettingsState::*Text;
    int (*Read)(const QString& text);
};
constexpr TypedSetting TypedSettings[] = {
    {&SettingsState::MainFormHeight, &SettingsState::CfgMainFormHeight, ParseLeadingInteger},
    {&SettingsState::MainFormWidth, &SettingsState::CfgMainFormWidth, ParseLeadingInteger},
    {&SettingsState::EditorHeight, &SettingsState::CfgEditorHeight, ParseLeadingInteger},
    {&SettingsState::EditorWidth, &SettingsState::CfgEditorWidth, ParseLeadingInteger},
    {&SettingsState::TScreenHeight, &SettingsState::CfgTScreenHeight, ParseLeadingInteger},
    {&SettingsState::TScreenWidth, &SettingsState::CfgTScreenWidth, ParseLeadingInteger},
    {&SettingsState::EditorFontSize, &SettingsState::CfgEditorFontSize, ParseLeadingInteger},
    {&SettingsState::EditorFontCharset, &SettingsState::CfgEditorFontCharset, ParseLeadingInteger},
    {&SettingsState::TScreenFontSize, &SettingsState::CfgTScreenFontSize, ParseLeadingInteger},
    {&SettingsState::TScreenFontCharset, &SettingsState::CfgTScreenFontCharset, ParseLeadingInteger},
    {&SettingsState::EditorFontColor, &SettingsState::CfgEditorFontColor, HexToColor},
    {&SettingsState::EditorBackColor, &SettingsState::CfgEditorBackColor, HexToColor},
    {&SettingsState::EditorKeywordColor, &SettingsState::CfgEditorKeywordColor, HexToColor},
    {&SettingsState::EditorCommentColor, &SettingsState::CfgEditorCommentColor, HexToColor},
    {&SettingsState::EditorStringColor, &SettingsState::CfgEditorStringColor, HexToColor},
    {&SettingsState::TScreenFontColor, &SettingsState::CfgTScreenFontColor, HexToColor},
    {&SettingsState::TScreenBackColor, &SettingsState::CfgTScreenBackColor, HexToColor},
};
struct StyleSetting {
    std::uint8_t SettingsState::*Value;
    QString SettingsState::*Text;
};
constexpr StyleSetting StyleSettings[] = {
    {&SettingsState::EditorFontStyle, &SettingsState::CfgEditorFontStyle},
    {&SettingsState::EditorKeywordStyle, &SettingsState::CfgEditorKeywordStyle},
    {&SettingsState::EditorCommentStyle, &SettingsState::CfgEditorCommentStyle},
    {&SettingsState::EditorStringStyle, &SettingsState::CfgEditorStringStyle},
    {&SettingsState::TScreenFontStyle, &SettingsState::CfgTScreenFontStyle},
};

// The free area of the primary screen; empty where no screen is known: without a windowing
// application, and off the user-interface thread, which alone may ask about screens.
QSize AvailableScreenSize() {
    if (qGuiApp == nullptr || QThread::currentThread() != qGuiApp->thread()) return QSize();
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry().size() : QSize();
}

} // namespace

QString UserSettingsFilePath() {
    // An unset, empty or relative XDG_CONFIG_HOME means the default folder.
    QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (configHome.isEmpty() || !QDir::isAbsolutePath(configHome))
        configHome = QDir::homePath() + QStringLiteral("/.config");
    return configHome + u'/' + QString::fromUtf16(UserStoreFolder) + u'/' +
           QString::fromUtf16(UserStoreFileName);
}

QString IniSettingsFilePath() {
    // Without a program folder the name would point at the root folder.
    if (Settings.ExeDir.isEmpty()) return QString();
    return Settings.ExeDir + u'/' + QString::fromUtf16(IniFileName);
}

void LoadSettings() {
    std::array<QString, SettingKeyCount> texts;
    for (std::size_t i = 0; i < SettingKeyCount; ++i)
        texts[i] = DefaultText(SettingKeys[i]);

    QString mode;
    const QString userPath = UserSettingsFilePath();
    const QString iniPath = IniSettingsFilePath();
    QString readFrom;
    if (QFileInfo::exists(userPath)) {
        mode = QString::fromUtf16(StoreModeRegistry);
        readFrom = userPath;
    } else if (!iniPath.isEmpty() && QFileInfo::exists(iniPath)) {
        mode = QString::fromUtf16(StoreModeIniFile);
        readFrom = iniPath;
    }
    if (!readFrom.isEmpty()) {
        // A store that cannot be read counts as one with every value empty.
        IniFile ini;
        ini.Load(readFrom);
        const QString section = QString::fromUtf16(ConfigurationSection);
        for (std::size_t i = 0; i < SettingKeyCount; ++i)
            texts[i] = ini.Value(section, QString::fromUtf16(SettingKeys[i].Key));
    }

    // "Font Size" is not read for itself: it always takes the text read for "TScreen Font Size",
    // before that one falls back to its default.
    texts[FontSizeRow] = texts[TScreenFontSizeRow];
    for (std::size_t i = 0; i < SettingKeyCount; ++i)
        if (SettingKeys[i].EmptyGivesDefault && texts[i].isEmpty()) texts[i] = DefaultText(SettingKeys[i]);

    const QString on = QString::fromUtf16(SwitchOn);
    const QString off = QString::fromUtf16(SwitchOff);
    const QSize screen = AvailableScreenSize();
    std::lock_guard<std::mutex> lock(SettingsMutex());
    for (std::size_t i = 0; i < SettingKeyCount; ++i)
        *SettingKeys[i].Text = texts[i];

    for (const TypedSetting& row : TypedSettings)
        Settings.*row.Value = row.Read(Settings.*row.Text);
    for (const StyleSetting& row : StyleSettings)
        Settings.*row.Value = StrToFontStyle(Settings.*row.Text);
    // A damaged or hand-edited store must not put a window off the screen (or make it unusably
    // large); the texts stay as read, so the store itself is left as it was.
    FitWindowSizesToScreen(Settings, screen);
    Settings.CurrentEditorHeight = Settings.EditorHeight;
    Settings.CurrentEditorWidth = Settings.EditorWidth;
    Settings.DefaultDir = Settings.WorkingPath;
    Settings.EditorFontName = Settings.CfgEditorFontName;
    Settings.TScreenFontName = Settings.CfgTScreenFontName;

    // Switch texts compare exactly; "ExitMSG Check" is the one that is on unless it says "OFF".
    Settings.CursorMode = Settings.CfgCursorMode == on ? 1 : 0;
    Settings.ExitMsgCheck = Settings.CfgExitMsgCheck != off ? 1 : 0;
    Settings.FormatCheck = Settings.CfgFormatCheck == on ? 1 : 0;
    Settings.AutoFormatLoad = Settings.CfgAutoFormatLoad == on ? 1 : 0;

    Settings.CfgStoreMode = mode;
}

bool SaveSettings(SettingsSaveFailure* failure) {
    if (Settings.CfgStoreMode == QStringView(StoreModeRegistry)) {
        const QString path = UserSettingsFilePath();
        const QString folder = QFileInfo(path).path();
        if (!QDir().mkpath(folder)) {
            if (failure) *failure = {SettingsSaveFault::FolderNotWritable, path, folder};
            return false;
        }
        // An ini file that exists stays as it is; the user store wins at the next start.
        return WriteStore(path, failure);
    }
    if (Settings.CfgStoreMode == QStringView(StoreModeIniFile)) {
        const QString path = IniSettingsFilePath();
        if (path.isEmpty()) {
            if (failure) *failure = {SettingsSaveFault::NoProgramFolder, QString::fromUtf16(IniFileName), {}};
            return false;
        }
        // The user store goes only once the ini file holds the settings, so a failure loses neither.
        if (!WriteStore(path, failure)) return false;
        DeleteRegistrySettings();
        return true;
    }
    return true;
}

void DeleteRegistrySettings() {
    const QString path = UserSettingsFilePath();
    QFile::remove(path);
    // The folder goes with the file when nothing else of ours is in it.
    QDir().rmdir(QFileInfo(path).path());
}

void DeleteIniSettings() {
    const QString path = IniSettingsFilePath();
    if (!path.isEmpty()) QFile::remove(path);
}

int HexToColor(const QString& text) {
    if (text.size() < HexColorDigits) return 0;
    // The text is red, green, blue; the colour holds blue in its high byte.
    constexpr int Order[HexColorDigits] = {4, 5, 2, 3, 0, 1};
    int color = 0;
    for (int index : Order) {
        const int digit = DigitValue(text.at(index), HexBase);
        if (digit < 0) return 0;
        color = color * HexBase + digit;
    }
    return color;
}

QString ColorToHex(int color) {
    const unsigned rgb = static_cast<unsigned>(color) & ColorMask;
    const unsigned red = rgb & ByteMask, green = (rgb >> GreenShift) & ByteMask,
                   blue = (rgb >> BlueShift) & ByteMask;
    return QString::asprintf("%02X%02X%02X", red, green, blue);
}

std::uint8_t StrToFontStyle(const QString& text) {
    const QString upper = text.toUpper().trimmed();
    std::uint8_t style = 0;
    if (upper.contains(QLatin1String("BOLD"))) style |= FontStyleBit::Bold;
    if (upper.contains(QLatin1String("ITALIC"))) style |= FontStyleBit::Italic;
    if (upper.contains(QLatin1String("UNDERLINE"))) style |= FontStyleBit::Underline;
    if (upper.contains(QLatin1String("STRIKEOUT"))) style |= FontStyleBit::StrikeOut;
    return style;
}

QString FontStyleToStr(std::uint8_t style) {
    QString text;
    if (style & FontStyleBit::Bold) text += QLatin1String(" Bold");
    if (style & FontStyleBit::Italic) text += QLatin1String(" Italic");
    if (style & FontStyleBit::Underline) text += QLatin1String(" Underline");
    if (style & FontStyleBit::StrikeOut) text += QLatin1String(" StrikeOut");
    return text.isEmpty() ? QStringLiteral("Normal") : text;
}

int ParseLeadingInteger(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text.at(i) == u' ' || text.at(i) == u'\t'))
        ++i;
    bool negative = false;
    if (i < n && (text.at(i) == u'+' || text.at(i) == u'-')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    int base = DecimalBase;
    if (i < n && text.at(i) == u'$') {
        base = HexBase;
        ++i;
    }
    // Past the int range the value stays at its limit rather than wrapping round.
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    long long value = 0;
    for (; i < n; ++i) {
        const int digit = DigitValue(text.at(i), base);
        if (digit < 0) break;
        value = value * base + digit;
        if (value > limit) value = limit;
    }
    return static_cast<int>(negative ? -value : value);
}

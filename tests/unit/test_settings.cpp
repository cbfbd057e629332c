// The settings store: the ini reader and writer, which store is read and written, the defaults that
// empty values fall back to, and the text forms of colours, styles and integers.
#include "platform/inifile.h"
#include "platform/settings.h"
#include "platform/settingsstore.h"
#include "tests/testsupport.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>

#include <array>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <future>
#include <mutex>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

namespace {

ino_t InodeOf(const QString& path) {
    struct stat info {};
    if (stat(QFile::encodeName(path).constData(), &info) != 0) return 0;
    return info.st_ino;
}

// ---------------------------------------------------------------- the ini reader and writer

class IniFileTest : public ::testing::Test {
protected:
    QString PathOf(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir_;
};

TEST_F(IniFileTest, ValuesAreKeptExactlyThroughSaveAndLoad) {
    const QString values[] = {
        QStringLiteral("C:\\Users\\taro\\Lorvex\\"),
        QStringLiteral("  leading and trailing blanks  "),
        QStringLiteral("ＭＳ ゴシック"),
        QStringLiteral("a=b=c"),
        QStringLiteral("[not a section]"),
        QStringLiteral(";not a comment"),
        QStringLiteral("\\\\server\\share\\n\\t"),
        QString(),
    };
    IniFile ini;
    int n = 0;
    for (const QString& value : values)
        ASSERT_TRUE(ini.SetValue(QStringLiteral("S"), QStringLiteral("Key %1").arg(n++), value));
    ASSERT_TRUE(ini.Save(PathOf("a.ini")));

    IniFile back;
    ASSERT_TRUE(back.Load(PathOf("a.ini")));
    n = 0;
    for (const QString& value : values) {
        const QString key = QStringLiteral("Key %1").arg(n++);
        EXPECT_TRUE(back.Contains(QStringLiteral("S"), key)) << key.toStdString();
        EXPECT_EQ(back.Value(QStringLiteral("S"), key, QStringLiteral("missing")), value)
            << key.toStdString();
    }
    EXPECT_TRUE(ReadBytes(PathOf("a.ini")).contains("Key 2=\xEF\xBC\xAD\xEF\xBC\xB3")) << "written as UTF-8";
}

TEST_F(IniFileTest, KeysAndSectionsMatchWithoutRegardToCase) {
    ASSERT_TRUE(
        WriteBytes(PathOf("a.ini"), "[configuration]\nEDITOR FONT SIZE=14\n  Working Path = /tmp/x \n"));
    IniFile ini;
    ASSERT_TRUE(ini.Load(PathOf("a.ini")));
    EXPECT_EQ(ini.Value(QStringLiteral("Configuration"), QStringLiteral("Editor Font Size")), "14");
    EXPECT_EQ(ini.Value(QStringLiteral("CONFIGURATION"), QStringLiteral("working path")), " /tmp/x ")
        << "the key is trimmed, the value is not";
    EXPECT_FALSE(ini.Contains(QStringLiteral("Configuration"), QStringLiteral("Font Size")));
    EXPECT_EQ(ini.Value(QStringLiteral("Other"), QStringLiteral("Editor Font Size"), QStringLiteral("d")),
              "d");

    // Setting a key in another case replaces the value and keeps the file's own spelling of the key.
    ASSERT_TRUE(ini.SetValue(QStringLiteral("Configuration"), QStringLiteral("Editor Font Size"),
                             QStringLiteral("16")));
    EXPECT_EQ(ini.ToUtf8(), QByteArray("[configuration]\nEDITOR FONT SIZE=16\n  Working Path = /tmp/x \n"));
}

TEST_F(IniFileTest, ReadsCrLfLfAndCrAndKeepsTheLineEndsOnWrite) {
    ASSERT_TRUE(WriteBytes(PathOf("crlf.ini"), "[A]\r\nx=1\r\ny=\\2\\\r\n"));
    ASSERT_TRUE(WriteBytes(PathOf("mixed.ini"), "[A]\nx=1\ry=\\2\\"));
    for (const char* name : {"crlf.ini", "mixed.ini"}) {
        IniFile ini;
        ASSERT_TRUE(ini.Load(PathOf(name)));
        EXPECT_EQ(ini.Value(QStringLiteral("a"), QStringLiteral("x")), "1") << name;
        EXPECT_EQ(ini.Value(QStringLiteral("a"), QStringLiteral("y")), "\\2\\")
            << name << ": no CR left behind";
    }
    IniFile ini;
    ASSERT_TRUE(ini.Load(PathOf("crlf.ini")));
    ASSERT_TRUE(ini.SetValue(QStringLiteral("A"), QStringLiteral("z"), QStringLiteral("3")));
    EXPECT_EQ(ini.ToUtf8(), QByteArray("[A]\r\nx=1\r\ny=\\2\\\r\nz=3\r\n"));
}

TEST_F(IniFileTest, UnknownSectionsCommentsAndDuplicatesSurviveAnUpdate) {
    const QByteArray original = "; written by hand\n"
                                "[Other]\n"
                                "Key=other value\n"
                                "\n"
                                "[Configuration]\n"
                                "Font Size=10\n"
                                "Font Size=duplicate\n"
                                "# note\n"
                                "\n"
                                "[Tail]\n"
                                "strange line without equals\n";
    ASSERT_TRUE(WriteBytes(PathOf("a.ini"), original));
    IniFile ini;
    ASSERT_TRUE(ini.Load(PathOf("a.ini")));
    EXPECT_EQ(ini.Value(QStringLiteral("Configuration"), QStringLiteral("Font Size")), "10")
        << "first one counts";
    ASSERT_TRUE(
        ini.SetValue(QStringLiteral("Configuration"), QStringLiteral("Font Size"), QStringLiteral("12")));
    ASSERT_TRUE(
        ini.SetValue(QStringLiteral("Configuration"), QStringLiteral("New Key"), QStringLiteral("n")));
    ASSERT_TRUE(ini.SetValue(QStringLiteral("Added"), QStringLiteral("K"), QStringLiteral("v")));
    ASSERT_TRUE(ini.Save(PathOf("a.ini")));
    EXPECT_EQ(ReadBytes(PathOf("a.ini")), QByteArray("; written by hand\n"
                                                     "[Other]\n"
                                                     "Key=other value\n"
                                                     "\n"
                                                     "[Configuration]\n"
                                                     "Font Size=12\n"
                                                     "Font Size=duplicate\n"
                                                     "New Key=n\n"
                                                     "# note\n"
                                                     "\n"
                                                     "[Tail]\n"
                                                     "strange line without equals\n"
                                                     "\n"
                                                     "[Added]\n"
                                                     "K=v\n"));
}

TEST_F(IniFileTest, RefusesWhatOneLineCannotHold) {
    IniFile ini;
    ASSERT_TRUE(ini.SetValue(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("before")));
    const QByteArray before = ini.ToUtf8();
    EXPECT_FALSE(ini.SetValue(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("two\nlines")));
    EXPECT_FALSE(ini.SetValue(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("cr\rhere")));
    EXPECT_FALSE(ini.SetValue(QStringLiteral("S"), QStringLiteral("a=b"), QStringLiteral("v")));
    EXPECT_FALSE(ini.SetValue(QStringLiteral("S"), QStringLiteral(" K"), QStringLiteral("v")));
    EXPECT_FALSE(ini.SetValue(QStringLiteral("S"), QString(), QStringLiteral("v")));
    EXPECT_FALSE(ini.SetValue(QStringLiteral("S"), QStringLiteral("[K"), QStringLiteral("v")));
    EXPECT_FALSE(ini.SetValue(QStringLiteral("S"), QStringLiteral(";K"), QStringLiteral("v")));
    EXPECT_FALSE(ini.SetValue(QStringLiteral("S]x"), QStringLiteral("K"), QStringLiteral("v")));
    EXPECT_EQ(ini.ToUtf8(), before);
}

TEST_F(IniFileTest, SaveReplacesTheFileByRenameAndLeavesNoTemporaryFile) {
    const QString path = PathOf("a.ini");
    ASSERT_TRUE(WriteBytes(path, "[S]\nK=old\n"));
    // A second name for the old file shows that the old file was replaced, not rewritten in place:
    // a crash while writing could then never leave it half written.
    const QString link = PathOf("old-link");
    ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(link).constData()), 0);
    const ino_t before = InodeOf(path);

    IniFile ini;
    ASSERT_TRUE(ini.Load(path));
    ASSERT_TRUE(ini.SetValue(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("new")));
    ASSERT_TRUE(ini.Save(path));
    EXPECT_NE(InodeOf(path), before);
    EXPECT_EQ(ReadBytes(path), "[S]\nK=new\n");
    EXPECT_EQ(ReadBytes(link), "[S]\nK=old\n");
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden).size(), 2) << "no temporary file left";
}

TEST_F(IniFileTest, SymbolicLinkKeepsPointingAtTheRealFile) {
    const QString real = PathOf("real.ini");
    const QString link = PathOf("link.ini");
    ASSERT_TRUE(WriteBytes(real, "[S]\nK=1\n"));
    ASSERT_TRUE(QFile::link(real, link));
    IniFile ini;
    ASSERT_TRUE(ini.Load(link));
    ASSERT_TRUE(ini.SetValue(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("2")));
    ASSERT_TRUE(ini.Save(link));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(ReadBytes(real), "[S]\nK=2\n");
}

TEST_F(IniFileTest, FailuresAreReportedNotHidden) {
    IniFile ini;
    QString message;
    EXPECT_FALSE(ini.Load(PathOf("missing.ini"), &message));
    EXPECT_FALSE(message.isEmpty());
    message.clear();
    ASSERT_TRUE(ini.SetValue(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("v")));
    EXPECT_FALSE(ini.Save(PathOf("no-such-folder/a.ini"), &message));
    EXPECT_FALSE(message.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(PathOf("no-such-folder")));
}

TEST_F(IniFileTest, ReadsFilesWrittenByWindowsProgramsAndByteOrderMarks) {
    // "ＭＳ ゴシック" in Shift-JIS, as the Windows profile functions wrote it.
    ASSERT_TRUE(WriteBytes(
        PathOf("sjis.ini"),
        "[Configuration]\r\nEditor Font Name=\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E\r\n"));
    // The same in UTF-16 with a byte-order mark.
    const QString text = QStringLiteral("[Configuration]\r\nEditor Font Name=ＭＳ ゴシック\r\n");
    QByteArray utf16("\xFF\xFE");
    utf16.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    ASSERT_TRUE(WriteBytes(PathOf("utf16.ini"), utf16));
    ASSERT_TRUE(WriteBytes(PathOf("bom.ini"),
                           "\xEF\xBB\xBF[Configuration]\nEditor Font Name=\xEF\xBC\xAD\xEF\xBC\xB3 "
                           "\xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF\n"));
    for (const char* name : {"sjis.ini", "utf16.ini", "bom.ini"}) {
        IniFile ini;
        ASSERT_TRUE(ini.Load(PathOf(name))) << name;
        EXPECT_EQ(ini.Value(QStringLiteral("Configuration"), QStringLiteral("Editor Font Name")),
                  QStringLiteral("ＭＳ ゴシック"))
            << name;
    }
    IniFile bom;
    ASSERT_TRUE(bom.Load(PathOf("bom.ini")));
    EXPECT_TRUE(bom.ToUtf8().startsWith("\xEF\xBB\xBF[Configuration]")) << "the mark is kept";
}

// ---------------------------------------------------------------- loading and saving the settings

class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(exeDir_.isValid());
        Settings.ExeDir = exeDir_.path();
        DeleteRegistrySettings();
        ASSERT_FALSE(QFileInfo::exists(UserSettingsFilePath()));
    }
    void TearDown() override {
        DeleteRegistrySettings();
        Settings.Reset();
    }
    QString IniPath() const { return exeDir_.path() + QStringLiteral("/Lorvex.ini"); }

    QTemporaryDir exeDir_;
};

TEST_F(SettingsStoreTest, StoresLiveWhereTheUserAndTheProgramFolderKeepThem) {
    const QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
    ASSERT_FALSE(configHome.isEmpty());
    EXPECT_EQ(UserSettingsFilePath(), QString::fromLocal8Bit(configHome) + "/Lorvex/Lorvex.conf");
    EXPECT_EQ(IniSettingsFilePath(), IniPath());

    // Unset or relative: the default folder under the home folder.
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    qunsetenv("XDG_CONFIG_HOME");
    const QString unset = UserSettingsFilePath();
    qputenv("XDG_CONFIG_HOME", "relative/folder");
    const QString relative = UserSettingsFilePath();
    qputenv("HOME", oldHome);
    qputenv("XDG_CONFIG_HOME", configHome);
    EXPECT_EQ(unset, home.path() + "/.config/Lorvex/Lorvex.conf");
    EXPECT_EQ(relative, unset);

    Settings.ExeDir.clear();
    EXPECT_TRUE(IniSettingsFilePath().isEmpty()) << "never the root folder";
}

TEST_F(SettingsStoreTest, NoStoreGivesDefaultsAndSavesNothing) {
    Settings.CfgEditorFontSize = QStringLiteral("99");
    Settings.EditorFontSize = 99;
    Settings.CursorMode = 1;
    LoadSettings();
    EXPECT_TRUE(Settings.CfgStoreMode.isEmpty());
    EXPECT_EQ(Settings.InstallPath, Settings.ExeDir);
    // The program folder of an installed system is not writable: programs go to the home folder.
    EXPECT_EQ(Settings.WorkingPath, QDir::homePath());
    EXPECT_NE(Settings.WorkingPath, Settings.ExeDir);
    EXPECT_EQ(Settings.DefaultDir, Settings.WorkingPath);
    EXPECT_EQ(Settings.CfgEditorFontSize, "10");
    EXPECT_EQ(Settings.EditorFontSize, 10);
    EXPECT_EQ(Settings.CfgFontSize, "10");
    EXPECT_EQ(Settings.CfgEditorFontName, QStringLiteral("ＭＳ ゴシック"));
    EXPECT_EQ(Settings.EditorStringColor, 0x880000);
    EXPECT_EQ(Settings.EditorCommentColor, 0x008800);
    EXPECT_EQ(Settings.EditorKeywordStyle, FontStyleBit::Bold);
    EXPECT_EQ(Settings.CursorMode, 0);
    EXPECT_EQ(Settings.ExitMsgCheck, 1);
    EXPECT_EQ(Settings.FormatCheck, 1);
    EXPECT_EQ(Settings.AutoFormatLoad, 0);
    EXPECT_EQ(Settings.MainFormWidth, 640);
    EXPECT_EQ(Settings.TScreenHeight, 230);
    EXPECT_EQ(Settings.CurrentEditorHeight, 250);
    EXPECT_EQ(Settings.CurrentEditorWidth, 400);

    EXPECT_TRUE(SaveSettings());
    EXPECT_FALSE(QFileInfo::exists(UserSettingsFilePath()));
    EXPECT_FALSE(QFileInfo::exists(IniPath()));
}

TEST_F(SettingsStoreTest, EmptyUserStoreFallsBackOnlyWhereEmptyGivesTheDefault) {
    ASSERT_TRUE(WriteBytes(UserSettingsFilePath(), QByteArray()));
    LoadSettings();
    EXPECT_EQ(Settings.CfgStoreMode, "REGISTRY");
    EXPECT_TRUE(Settings.InstallPath.isEmpty());
    EXPECT_TRUE(Settings.WorkingPath.isEmpty());
    EXPECT_TRUE(Settings.DefaultDir.isEmpty());
    EXPECT_EQ(Settings.CursorMode, 0);
    EXPECT_EQ(Settings.FormatCheck, 0) << "empty is not \"ON\"";
    EXPECT_EQ(Settings.AutoFormatLoad, 0);
    EXPECT_EQ(Settings.ExitMsgCheck, 1) << "empty is not \"OFF\"";
    EXPECT_TRUE(Settings.CfgCursorMode.isEmpty());
    EXPECT_TRUE(Settings.CfgFontSize.isEmpty())
        << "Font Size takes the empty text read for TScreen Font Size";
    EXPECT_EQ(Settings.CfgTScreenFontSize, "10");
    EXPECT_EQ(Settings.CfgEditorBackColor, "FFFFFF");
    EXPECT_EQ(Settings.EditorBackColor, 0xFFFFFF);
    EXPECT_EQ(Settings.CfgTScreenWidth, "620");
    EXPECT_EQ(Settings.TScreenWidth, 620);
    EXPECT_EQ(Settings.TScreenFontName, QStringLiteral("ＭＳ ゴシック"));
}

TEST_F(SettingsStoreTest, UserStoreWinsOverTheIniFile) {
    ASSERT_TRUE(WriteBytes(UserSettingsFilePath(), "[Configuration]\nEditor Font Size=14\n"));
    ASSERT_TRUE(WriteBytes(IniPath(), "[Configuration]\nEditor Font Size=20\nCursor Mode=ON\n"));
    LoadSettings();
    EXPECT_EQ(Settings.CfgStoreMode, "REGISTRY");
    EXPECT_EQ(Settings.EditorFontSize, 14);
    EXPECT_EQ(Settings.CursorMode, 0);

    DeleteRegistrySettings();
    LoadSettings();
    EXPECT_EQ(Settings.CfgStoreMode, "INIFILE");
    EXPECT_EQ(Settings.EditorFontSize, 20);
    EXPECT_EQ(Settings.CursorMode, 1);
    EXPECT_TRUE(Settings.WorkingPath.isEmpty()) << "a key missing from the store reads as empty";
}

TEST_F(SettingsStoreTest, SavingToTheIniFileRemovesTheUserStore) {
    ASSERT_TRUE(WriteBytes(UserSettingsFilePath(), "[Configuration]\nEditor Font Size=14\n"));
    LoadSettings();
    Settings.CfgStoreMode = QStringLiteral("INIFILE");
    Settings.CfgEditorFontSize = QStringLiteral("18");
    ASSERT_TRUE(SaveSettings());
    EXPECT_FALSE(QFileInfo::exists(UserSettingsFilePath()));
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(UserSettingsFilePath()).path())) << "its empty folder goes too";
    EXPECT_TRUE(ReadBytes(IniPath()).startsWith("[Configuration]\nInstall Path="));

    LoadSettings();
    EXPECT_EQ(Settings.CfgStoreMode, "INIFILE");
    EXPECT_EQ(Settings.EditorFontSize, 18);
}

TEST_F(SettingsStoreTest, SavingToTheUserStoreLeavesTheIniFile) {
    const QByteArray iniText = "[Configuration]\nEditor Font Size=20\n";
    ASSERT_TRUE(WriteBytes(IniPath(), iniText));
    LoadSettings();
    ASSERT_EQ(Settings.CfgStoreMode, "INIFILE");
    Settings.CfgStoreMode = QStringLiteral("REGISTRY");
    Settings.CfgEditorFontSize = QStringLiteral("11");
    ASSERT_TRUE(SaveSettings());
    EXPECT_EQ(ReadBytes(IniPath()), iniText);
    LoadSettings();
    EXPECT_EQ(Settings.CfgStoreMode, "REGISTRY");
    EXPECT_EQ(Settings.EditorFontSize, 11);

    // Choosing not to save writes nothing and leaves both stores as they are.
    const QByteArray userText = ReadBytes(UserSettingsFilePath());
    Settings.CfgStoreMode.clear();
    Settings.CfgEditorFontSize = QStringLiteral("30");
    EXPECT_TRUE(SaveSettings());
    EXPECT_EQ(ReadBytes(UserSettingsFilePath()), userText);
    EXPECT_EQ(ReadBytes(IniPath()), iniText);
}

TEST_F(SettingsStoreTest, EveryKeyRoundTripsUnderItsOwnName) {
    LoadSettings();
    Settings.CfgStoreMode = QStringLiteral("REGISTRY");
    Settings.InstallPath = QStringLiteral("C:\\Program Files\\Lorvex\\");
    Settings.WorkingPath = QStringLiteral("/home/太郎/プログラム");
    Settings.CfgFontSize = QStringLiteral("font size is not read back");
    Settings.CfgEditorFontCharset = QStringLiteral("1");
    Settings.CfgEditorFontName = QStringLiteral("IPAゴシック");
    Settings.CfgEditorFontSize = QStringLiteral("3");
    Settings.CfgEditorFontStyle = QStringLiteral(" Bold Underline");
    Settings.CfgEditorFontColor = QStringLiteral("010203");
    Settings.CfgEditorBackColor = QStringLiteral("040506");
    Settings.CfgEditorKeywordColor = QStringLiteral("0708a9");
    Settings.CfgEditorCommentColor = QStringLiteral("0A0B0C");
    Settings.CfgEditorStringColor = QStringLiteral("0D0E0F");
    Settings.CfgEditorKeywordStyle = QStringLiteral("Italic");
    Settings.CfgEditorCommentStyle = QStringLiteral("Bold Italic");
    Settings.CfgEditorStringStyle = QStringLiteral(" StrikeOut");
    Settings.CfgTScreenFontCharset = QStringLiteral("4");
    Settings.CfgTScreenFontName = QStringLiteral("Mono\\Back");
    Settings.CfgTScreenFontSize = QStringLiteral("5");
    Settings.CfgTScreenFontColor = QStringLiteral("101112");
    Settings.CfgTScreenBackColor = QStringLiteral("131415");
    Settings.CfgTScreenFontStyle = QStringLiteral("Underline");
    Settings.CfgCursorMode = QStringLiteral("ON");
    Settings.CfgExitMsgCheck = QStringLiteral("OFF");
    Settings.CfgFormatCheck = QStringLiteral("OFF");
    Settings.CfgAutoFormatLoad = QStringLiteral("ON");
    Settings.CfgMainFormHeight = QStringLiteral("306");
    Settings.CfgMainFormWidth = QStringLiteral("307");
    Settings.CfgEditorHeight = QStringLiteral("208");
    Settings.CfgEditorWidth = QStringLiteral("209");
    Settings.CfgTScreenHeight = QStringLiteral("211");
    Settings.CfgTScreenWidth = QStringLiteral("312");
    ASSERT_TRUE(SaveSettings());

    const QString text = QString::fromUtf8(ReadBytes(UserSettingsFilePath()));
    const char* const keys[] = {"Install Path",         "Working Path",         "Font Size",
                                "Editor Font Charset",  "Editor Font Name",     "Editor Font Size",
                                "Editor Font Style",    "Editor Font Color",    "Editor Back Color",
                                "Editor Keyword Color", "Editor Comment Color", "Editor String Color",
                                "Editor Keyword Style", "Editor Comment Style", "Editor String Style",
                                "TScreen Font Charset", "TScreen Font Name",    "TScreen Font Size",
                                "TScreen Font Color",   "TScreen Back Color",   "TScreen Font Style",
                                "Cursor Mode",          "ExitMSG Check",        "Format Check",
                                "Auto Format Load",     "Main Form Height",     "Main Form Width",
                                "Editor Height",        "Editor Width",         "TScreen Height",
                                "TScreen Width"};
    qsizetype previous = -1;
    for (const char* key : keys) {
        const qsizetype at = text.indexOf(u'\n' + QString::fromLatin1(key) + u'=');
        EXPECT_GT(at, previous) << key << " is written, in table order";
        previous = at;
    }
    EXPECT_TRUE(text.contains("\nInstall Path=C:\\Program Files\\Lorvex\\\n"));
    EXPECT_TRUE(text.contains("\nEditor Font Style= Bold Underline\n"));

    LoadSettings();
    EXPECT_EQ(Settings.CfgStoreMode, "REGISTRY");
    EXPECT_EQ(Settings.InstallPath, QStringLiteral("C:\\Program Files\\Lorvex\\"));
    EXPECT_EQ(Settings.WorkingPath, QStringLiteral("/home/太郎/プログラム"));
    EXPECT_EQ(Settings.DefaultDir, Settings.WorkingPath);
    EXPECT_EQ(Settings.CfgFontSize, "5") << "Font Size follows TScreen Font Size";
    EXPECT_EQ(Settings.CfgEditorFontName, QStringLiteral("IPAゴシック"));
    EXPECT_EQ(Settings.CfgEditorFontStyle, " Bold Underline");
    EXPECT_EQ(Settings.CfgEditorKeywordColor, "0708a9");
    EXPECT_EQ(Settings.CfgTScreenFontName, "Mono\\Back");

    EXPECT_EQ(Settings.EditorFontCharset, 1);
    EXPECT_EQ(Settings.EditorFontName, QStringLiteral("IPAゴシック"));
    EXPECT_EQ(Settings.EditorFontSize, 3);
    EXPECT_EQ(Settings.EditorFontStyle, FontStyleBit::Bold | FontStyleBit::Underline);
    EXPECT_EQ(Settings.EditorFontColor, 0x030201);
    EXPECT_EQ(Settings.EditorBackColor, 0x060504);
    EXPECT_EQ(Settings.EditorKeywordColor, 0xA90807);
    EXPECT_EQ(Settings.EditorCommentColor, 0x0C0B0A);
    EXPECT_EQ(Settings.EditorStringColor, 0x0F0E0D);
    EXPECT_EQ(Settings.EditorKeywordStyle, FontStyleBit::Italic);
    EXPECT_EQ(Settings.EditorCommentStyle, FontStyleBit::Bold | FontStyleBit::Italic);
    EXPECT_EQ(Settings.EditorStringStyle, FontStyleBit::StrikeOut);
    EXPECT_EQ(Settings.TScreenFontCharset, 4);
    EXPECT_EQ(Settings.TScreenFontName, "Mono\\Back");
    EXPECT_EQ(Settings.TScreenFontSize, 5);
    EXPECT_EQ(Settings.TScreenFontColor, 0x121110);
    EXPECT_EQ(Settings.TScreenBackColor, 0x151413);
    EXPECT_EQ(Settings.TScreenFontStyle, FontStyleBit::Underline);
    EXPECT_EQ(Settings.CursorMode, 1);
    EXPECT_EQ(Settings.ExitMsgCheck, 0);
    EXPECT_EQ(Settings.FormatCheck, 0);
    EXPECT_EQ(Settings.AutoFormatLoad, 1);
    EXPECT_EQ(Settings.MainFormHeight, 306);
    EXPECT_EQ(Settings.MainFormWidth, 307);
    EXPECT_EQ(Settings.EditorHeight, 208);
    EXPECT_EQ(Settings.EditorWidth, 209);
    EXPECT_EQ(Settings.CurrentEditorHeight, 208);
    EXPECT_EQ(Settings.CurrentEditorWidth, 209);
    EXPECT_EQ(Settings.TScreenHeight, 211);
    EXPECT_EQ(Settings.TScreenWidth, 312);
}

TEST_F(SettingsStoreTest, StoredTextsBecomeTypedCopiesByTheirRules) {
    ASSERT_TRUE(WriteBytes(IniPath(), "[CONFIGURATION]\r\n"
                                      "editor height=300px\r\n"
                                      "EDITOR WIDTH=wide\r\n"
                                      "Main Form Height=  $1F4\r\n"
                                      "TScreen Height=-20\r\n"
                                      "Editor Font Color=00880\r\n"
                                      "Editor Back Color=GG0000\r\n"
                                      "Editor Keyword Style= italic , bold \r\n"
                                      "TScreen Font Style=Normal\r\n"
                                      "Cursor Mode=on\r\n"
                                      "ExitMSG Check=off\r\n"
                                      "Format Check=ON \r\n"
                                      "Font Size=77\r\n"
                                      "TScreen Font Size=12\r\n"));
    LoadSettings();
    EXPECT_EQ(Settings.CfgStoreMode, "INIFILE");
    EXPECT_EQ(Settings.EditorHeight, 300);
    EXPECT_EQ(Settings.CurrentEditorHeight, 300);
    EXPECT_EQ(Settings.CfgEditorWidth, "wide");
    // No digits read 0 and a negative size reads as it stands; neither is a size a window can take,
    // so each falls back to its default.
    EXPECT_EQ(Settings.EditorWidth, DefaultEditorWidth);
    EXPECT_EQ(Settings.MainFormHeight, 500);
    EXPECT_EQ(Settings.CfgTScreenHeight, "-20");
    EXPECT_EQ(Settings.TScreenHeight, DefaultTScreenHeight);
    EXPECT_EQ(Settings.EditorFontColor, 0) << "fewer than six digits";
    EXPECT_EQ(Settings.EditorBackColor, 0) << "G is not a hexadecimal digit";
    EXPECT_EQ(Settings.EditorKeywordStyle, FontStyleBit::Bold | FontStyleBit::Italic);
    EXPECT_EQ(Settings.TScreenFontStyle, 0);
    EXPECT_EQ(Settings.CursorMode, 0) << "switch texts compare exactly";
    EXPECT_EQ(Settings.ExitMsgCheck, 1);
    EXPECT_EQ(Settings.FormatCheck, 0);
    EXPECT_EQ(Settings.CfgFontSize, "12");
}

TEST_F(SettingsStoreTest, SavingKeepsTheOtherContentsOfTheFile) {
    ASSERT_TRUE(WriteBytes(
        IniPath(), "; my notes\n[Other]\nK=\\v\\\n\n[Configuration]\nUnknown Key=kept\nCursor Mode=ON\n"));
    LoadSettings();
    Settings.CfgCursorMode = QStringLiteral("OFF");
    ASSERT_TRUE(SaveSettings());
    IniFile ini;
    ASSERT_TRUE(ini.Load(IniPath()));
    EXPECT_EQ(ini.Value(QStringLiteral("Other"), QStringLiteral("K")), "\\v\\");
    EXPECT_EQ(ini.Value(QStringLiteral("Configuration"), QStringLiteral("Unknown Key")), "kept");
    EXPECT_EQ(ini.Value(QStringLiteral("Configuration"), QStringLiteral("Cursor Mode")), "OFF");
    EXPECT_TRUE(ReadBytes(IniPath()).startsWith("; my notes\n[Other]\n"));
}

TEST_F(SettingsStoreTest, FailedSaveReportsAndLosesNothing) {
    ASSERT_TRUE(WriteBytes(UserSettingsFilePath(), "[Configuration]\nEditor Font Size=14\n"));
    LoadSettings();
    const QByteArray userStore = ReadBytes(UserSettingsFilePath());
    auto expectFailure = [&](SettingsSaveFault fault, const QString& path, const QString& detail) {
        SettingsSaveFailure failure;
        EXPECT_FALSE(SaveSettings(&failure));
        EXPECT_EQ(failure.Fault, fault);
        EXPECT_EQ(failure.Path, path);
        EXPECT_EQ(failure.Detail, detail);
        // The user store is neither removed nor changed.
        EXPECT_EQ(ReadBytes(UserSettingsFilePath()), userStore);
    };

    // The program folder cannot be written even by the superuser: it is gone, or it is a file.
    Settings.CfgStoreMode = QStringLiteral("INIFILE");
    Settings.ExeDir = exeDir_.path() + QStringLiteral("/missing");
    expectFailure(SettingsSaveFault::FolderNotWritable, IniSettingsFilePath(), Settings.ExeDir);
    const QString file = exeDir_.path() + QStringLiteral("/program");
    ASSERT_TRUE(WriteBytes(file, "not a folder"));
    Settings.ExeDir = file;
    expectFailure(SettingsSaveFault::FolderNotWritable, IniSettingsFilePath(), file);
    EXPECT_EQ(ReadBytes(file), "not a folder");

    // An existing ini file that cannot be read (here: far too large to be one) is not overwritten,
    // since whatever else it holds would be lost.
    Settings.ExeDir = exeDir_.path();
    constexpr qint64 HugeSize = 64LL * 1024 * 1024;
    {
        QFile huge(IniPath());
        ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
        ASSERT_TRUE(huge.resize(HugeSize)); // sparse: costs no disk space
    }
    SettingsSaveFailure failure;
    EXPECT_FALSE(SaveSettings(&failure));
    EXPECT_EQ(failure.Fault, SettingsSaveFault::FileUnreadable);
    EXPECT_EQ(QFileInfo(IniPath()).size(), HugeSize);
    EXPECT_EQ(ReadBytes(UserSettingsFilePath()), userStore);
    QFile::remove(IniPath());

    // A value one line cannot hold fails the save and leaves the old file whole.
    Settings.CfgStoreMode = QStringLiteral("REGISTRY");
    Settings.WorkingPath = QStringLiteral("/tmp/two\nlines");
    expectFailure(SettingsSaveFault::LineBreak, UserSettingsFilePath(), QStringLiteral("Working Path"));

    // Without a program folder there is no ini file to write.
    Settings.ExeDir.clear();
    Settings.CfgStoreMode = QStringLiteral("INIFILE");
    expectFailure(SettingsSaveFault::NoProgramFolder, QStringLiteral("Lorvex.ini"), QString());

    // A folder without write permission, as an installed program's is. The superuser writes it all
    // the same, so this part runs only where the permission holds.
    const QString readOnly = exeDir_.path() + QStringLiteral("/readonly");
    ASSERT_TRUE(QDir().mkpath(readOnly));
    const QByteArray readOnlyName = QFile::encodeName(readOnly);
    ASSERT_EQ(chmod(readOnlyName.constData(), 0555), 0);
    if (access(readOnlyName.constData(), W_OK) != 0) {
        Settings.ExeDir = readOnly;
        Settings.CfgStoreMode = QStringLiteral("INIFILE");
        Settings.WorkingPath = QStringLiteral("/tmp");
        const QString ini = readOnly + QStringLiteral("/Lorvex.ini");
        expectFailure(SettingsSaveFault::FolderNotWritable, ini, readOnly);
        EXPECT_FALSE(QFileInfo::exists(ini));
        // An ini file made writable there for the user is written in place.
        ASSERT_EQ(chmod(readOnlyName.constData(), 0755), 0);
        ASSERT_TRUE(WriteBytes(ini, "[Configuration]\nCursor Mode=ON\n"));
        ASSERT_EQ(chmod(readOnlyName.constData(), 0555), 0);
        Settings.CfgCursorMode = QStringLiteral("OFF");
        EXPECT_TRUE(SaveSettings());
        EXPECT_TRUE(ReadBytes(ini).contains("Cursor Mode=OFF\n"));
    }
    chmod(readOnlyName.constData(), 0755);
}

TEST_F(SettingsStoreTest, DeletingAStoreChangesNothingInMemory) {
    ASSERT_TRUE(WriteBytes(UserSettingsFilePath(), "[Configuration]\nEditor Font Size=14\n"));
    ASSERT_TRUE(WriteBytes(IniPath(), "[Configuration]\nEditor Font Size=20\n"));
    LoadSettings();
    DeleteRegistrySettings();
    EXPECT_FALSE(QFileInfo::exists(UserSettingsFilePath()));
    EXPECT_TRUE(QFileInfo::exists(IniPath()));
    EXPECT_EQ(Settings.CfgStoreMode, "REGISTRY");
    EXPECT_EQ(Settings.EditorFontSize, 14);
    DeleteIniSettings();
    EXPECT_FALSE(QFileInfo::exists(IniPath()));
    EXPECT_EQ(Settings.CfgStoreMode, "REGISTRY");
    // Deleting what is not there is no failure.
    DeleteRegistrySettings();
    DeleteIniSettings();
    LoadSettings();
    EXPECT_TRUE(Settings.CfgStoreMode.isEmpty());
}

TEST_F(SettingsStoreTest, ADamagedStoreCannotPutAWindowOffTheScreen) {
    ASSERT_TRUE(WriteBytes(UserSettingsFilePath(), "[Configuration]\n"
                                                   "Main Form Height=99999999\n"
                                                   "Main Form Width=-5\n"
                                                   "Editor Width=2147483647999\n"
                                                   "Editor Height=0\n"
                                                   "TScreen Width=400\n"
                                                   "TScreen Height=99999\n"
                                                   "Editor Font Size=14\n"));
    LoadSettings();
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    const int roomWidth = screen.width() - WindowSurroundWidth;
    const int roomHeight = screen.height() - WindowSurroundHeight;
    ASSERT_GT(roomWidth, DefaultMainFormWidth);
    ASSERT_GT(roomHeight, DefaultMainFormHeight);
    EXPECT_EQ(Settings.MainFormHeight, roomHeight);
    EXPECT_EQ(Settings.MainFormWidth, DefaultMainFormWidth);
    EXPECT_EQ(Settings.EditorWidth, roomWidth);
    EXPECT_EQ(Settings.EditorHeight, DefaultEditorHeight);
    EXPECT_EQ(Settings.CurrentEditorWidth, roomWidth);
    EXPECT_EQ(Settings.CurrentEditorHeight, DefaultEditorHeight);
    EXPECT_EQ(Settings.TScreenWidth, 400);
    EXPECT_EQ(Settings.TScreenHeight, roomHeight);
    // Everything else, and the stored texts, as read.
    EXPECT_EQ(Settings.EditorFontSize, 14);
    EXPECT_EQ(Settings.CfgMainFormHeight, "99999999");
    EXPECT_EQ(Settings.CfgMainFormWidth, "-5");
    EXPECT_EQ(Settings.CfgStoreMode, "REGISTRY");
}

TEST(WindowSizeFitting, SizesComeWithinTheScreenAndUnusableOnesTakeTheirDefaults) {
    auto fitted = [](int width, int height, QSize screen) {
        SettingsState settings;
        settings.MainFormWidth = settings.EditorWidth = settings.TScreenWidth = width;
        settings.MainFormHeight = settings.EditorHeight = settings.TScreenHeight = height;
        FitWindowSizesToScreen(settings, screen);
        return std::array<QSize, 3>{QSize(settings.MainFormWidth, settings.MainFormHeight),
                                    QSize(settings.EditorWidth, settings.EditorHeight),
                                    QSize(settings.TScreenWidth, settings.TScreenHeight)};
    };
    const QSize screen(1280, 1000);
    const QSize room(1280 - WindowSurroundWidth, 1000 - WindowSurroundHeight);
    for (const QSize& size : fitted(700, 500, screen))
        EXPECT_EQ(size, QSize(700, 500)) << "what fits stays";
    // Below its least size (a title bar, a menu or button bar and one line), a window grows to it: the
    // desktop would place a window the toolkit grows with its title bar above the screen.
    const std::array<QSize, 3> least = {QSize(MinMainFormWidth, MinMainFormHeight),
                                        QSize(MinEditorWidth, MinEditorHeight),
                                        QSize(MinTScreenWidth, MinTScreenHeight)};
    EXPECT_EQ(fitted(1, 1, screen), least);
    EXPECT_EQ(fitted(1, 1, QSize()), least);
    EXPECT_EQ(fitted(MinTScreenWidth - 1, MinTScreenHeight - 1, screen)[2], least[2]);
    EXPECT_EQ(fitted(MinMainFormWidth, MinMainFormHeight, screen)[0], least[0]);
    for (const QSize& size : fitted(room.width(), room.height(), screen))
        EXPECT_EQ(size, room);
    for (const QSize& size : fitted(room.width() + 1, INT_MAX, screen))
        EXPECT_EQ(size, room);

    // Below 1: each window's own default, itself cut on a screen too small for it.
    const std::array<QSize, 3> defaults = {QSize(DefaultMainFormWidth, DefaultMainFormHeight),
                                           QSize(DefaultEditorWidth, DefaultEditorHeight),
                                           QSize(DefaultTScreenWidth, DefaultTScreenHeight)};
    EXPECT_EQ(fitted(0, INT_MIN, screen), defaults);
    const QSize small(500, 300);
    const std::array<QSize, 3> cut = fitted(-1, -1, small);
    for (std::size_t i = 0; i < cut.size(); ++i)
        EXPECT_EQ(cut[i],
                  defaults[i].boundedTo(QSize(500 - WindowSurroundWidth, 300 - WindowSurroundHeight)));
    // A screen smaller than the surround still leaves each window its least size.
    EXPECT_EQ(fitted(800, 600, QSize(20, 20)), least);
    // No screen known: only the unusable sizes change.
    EXPECT_EQ(fitted(0, 99999, QSize())[0], QSize(DefaultMainFormWidth, 99999));

    EXPECT_EQ(UsableSize(0, 640), 640);
    EXPECT_EQ(UsableSize(-3, 400), 400);
    EXPECT_EQ(UsableSize(12, 400), 12);
}

TEST_F(SettingsStoreTest, LoadWaitsForAReaderHoldingTheSettingsLock) {
    ASSERT_TRUE(WriteBytes(UserSettingsFilePath(), "[Configuration]\nTScreen Height=123\n"));
    std::future<void> load;
    {
        std::lock_guard<std::mutex> lock(SettingsMutex());
        load = std::async(std::launch::async, [] { LoadSettings(); });
        EXPECT_EQ(load.wait_for(std::chrono::milliseconds(200)), std::future_status::timeout)
            << "the typed copies changed while the lock was held";
    }
    load.get();
    EXPECT_EQ(Settings.TScreenHeight, 123);
}

// ---------------------------------------------------------------- text forms

TEST(SettingsTextForms, HexColoursAreRedGreenBlue) {
    EXPECT_EQ(HexToColor(QStringLiteral("008800")), 0x008800);
    EXPECT_EQ(HexToColor(QStringLiteral("000088")), 0x88 << 16);
    EXPECT_EQ(HexToColor(QStringLiteral("880000")), 0x88);
    EXPECT_EQ(HexToColor(QStringLiteral("a1b2c3")), 0xC3B2A1);
    EXPECT_EQ(HexToColor(QStringLiteral("A1B2C3 and more")), 0xC3B2A1);
    EXPECT_EQ(HexToColor(QStringLiteral("0000G0")), 0);
    EXPECT_EQ(HexToColor(QStringLiteral("-00001")), 0);
    EXPECT_EQ(HexToColor(QStringLiteral(" 00880")), 0);
    EXPECT_EQ(HexToColor(QStringLiteral("FFFF")), 0);
    EXPECT_EQ(HexToColor(QString()), 0);

    EXPECT_EQ(ColorToHex(0x88 << 16), "000088");
    EXPECT_EQ(ColorToHex(0x008800), "008800");
    EXPECT_EQ(ColorToHex(0xC3B2A1), "A1B2C3");
    EXPECT_EQ(ColorToHex(0), "000000");
    EXPECT_EQ(ColorToHex(0x12C3B2A1), "A1B2C3") << "a high byte does not shift the digits";
    EXPECT_EQ(ColorToHex(-1), "FFFFFF");
    for (int color : {0, 0x010203, 0xFFFFFF, 0x7F80FE})
        EXPECT_EQ(HexToColor(ColorToHex(color)), color);
}

TEST(SettingsTextForms, FontStylesAreFoundByWord) {
    EXPECT_EQ(StrToFontStyle(QStringLiteral("  bold italic  ")), FontStyleBit::Bold | FontStyleBit::Italic);
    EXPECT_EQ(StrToFontStyle(QStringLiteral("Normal")), 0);
    EXPECT_EQ(StrToFontStyle(QStringLiteral("heavy")), 0);
    EXPECT_EQ(StrToFontStyle(QStringLiteral("StrikeOut,UNDERLINE")),
              FontStyleBit::StrikeOut | FontStyleBit::Underline);
    EXPECT_EQ(StrToFontStyle(QStringLiteral("fsBold")), FontStyleBit::Bold);

    EXPECT_EQ(FontStyleToStr(0), "Normal");
    EXPECT_EQ(FontStyleToStr(FontStyleBit::Bold | FontStyleBit::Underline), " Bold Underline");
    EXPECT_EQ(FontStyleToStr(FontStyleBit::StrikeOut | FontStyleBit::Italic), " Italic StrikeOut");
    for (std::uint8_t style = 0; style < 16; ++style)
        EXPECT_EQ(StrToFontStyle(FontStyleToStr(style)), style);
}

TEST(SettingsTextForms, IntegerParseKeepsWhatWasReadBeforeTheFirstBadCharacter) {
    EXPECT_EQ(ParseLeadingInteger(QStringLiteral("640")), 640);
    EXPECT_EQ(ParseLeadingInteger(QStringLiteral("   12")), 12);
    EXPECT_EQ(ParseLeadingInteger(QStringLiteral("+7")), 7);
    EXPECT_EQ(ParseLeadingInteger(QStringLiteral("-8x")), -8);
    EXPECT_EQ(ParseLeadingInteger(QStringLiteral("$1F")), 31);
    EXPECT_EQ(ParseLeadingInteger(QStringLiteral("$ff0")), 0xFF0);
    EXPECT_EQ(ParseLeadingInteger(QStringLiteral("-$10")), -16);
    EXPECT_EQ(ParseLeadingInteger(QStringLiteral("1F")), 1) << "hexadecimal digits only after $";
    EXPECT_EQ(ParseLeadingInteger(QStringLiteral("300px")), 300);
    EXPECT_EQ(ParseLeadingInteger(QStringLiteral("12 34")), 12);
    EXPECT_EQ(ParseLeadingInteger(QStringLiteral("12.9")), 12);
    EXPECT_EQ(ParseLeadingInteger(QStringLiteral("abc")), 0);
    EXPECT_EQ(ParseLeadingInteger(QString()), 0);
    EXPECT_EQ(ParseLeadingInteger(QStringLiteral("-")), 0);
    EXPECT_EQ(ParseLeadingInteger(QStringLiteral("$")), 0);
    EXPECT_EQ(ParseLeadingInteger(QStringLiteral("- 5")), 0);
    EXPECT_EQ(ParseLeadingInteger(QStringLiteral("１２")), 0) << "full-width digits are not digits";
    EXPECT_EQ(ParseLeadingInteger(QStringLiteral("2147483647")), INT_MAX);
    EXPECT_EQ(ParseLeadingInteger(QStringLiteral("-2147483648")), INT_MIN);
    EXPECT_EQ(ParseLeadingInteger(QStringLiteral("99999999999999999999999")), INT_MAX);
    EXPECT_EQ(ParseLeadingInteger(QStringLiteral("-99999999999999999999999")), INT_MIN);
    EXPECT_EQ(ParseLeadingInteger(QStringLiteral("$FFFFFFFFFF")), INT_MAX);
}

} // namespace

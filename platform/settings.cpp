#include "platform/settings.h"

std::mutex& SettingsMutex() {
    static std::mutex mutex;
    return mutex;
}

QString ExeDir;
QString InstallPath, WorkingPath, DefaultDir;
QString CfgStoreMode;

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
int CurrentEditorHeight = 250, CurrentEditorWidth = 400;

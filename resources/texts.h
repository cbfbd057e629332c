// The program's own texts that more than one unit shows: run messages, window captions and dialog
// titles. Windows add their menu and button texts here as they are built, so that every text the user
// reads is kept in one place.
#pragma once

#include <QString>

namespace Res {
inline constexpr int ErrorWord = 65193;          // the end-of-run error line's prefix
inline constexpr int LeftoverValues = 65194;     // values left on the stack at the end of a run
inline constexpr int CurrentPath = 65195;        // FILES heading
inline constexpr int RunStopped = 65196;         // stop line
inline constexpr int CaptionStopped = 65197;     // run window caption after a stop
inline constexpr int LineInputCaption = 65200;   // LINE INPUT dialog caption
inline constexpr int InputRetrySuffix = 65201;   // caption suffix when an INPUT must be re-entered
inline constexpr int InputWaitingSuffix = 65202; // caption suffix while input is awaited
inline constexpr int CaptionPreparing = 65216;   // SetBtnPrepMode
inline constexpr int InputCaption = 65231;       // INPUT dialog caption
inline constexpr int CaptionRunning = 65245;     // SetBtnRunMode
inline constexpr int CaptionStopMode = 65246;    // SetBtnStopMode
inline constexpr int CaptionEnded = 65247;       // SetBtnEndMode
} // namespace Res

// The text of a resource id; empty for an id without a text.
QString ResourceText(int id);

// One of the texts below as the windows show it.
inline QString T(const char16_t* text) {
    return QString::fromUtf16(text);
}

// Texts that are not numbered resources but are fixed captions of the application.
inline constexpr char16_t ApplicationTitle[] = u"Lorvex for Windows";

// The line of a CONT that finds no stopped program to go on with.
inline constexpr char16_t NothingToContinue[] = u"再開できる中断したプログラムがありません。";

// Version shown by the Version command of the main frame.
inline constexpr char16_t ApplicationVersion[] = u"0.1";
inline constexpr char16_t ReleaseDate[] = u"2026.12.07";

// Texts of the main frame and the editor windows: menu captions and hints, status-bar texts, dialog
// titles, file filters and messages. "%1" marks where a file name or another value goes.
namespace Txt {
// Main frame menus.
inline constexpr char16_t MenuProgram[] = u"プログラム(&P)";
inline constexpr char16_t MenuNew[] = u"新規作成(&N)";
inline constexpr char16_t HintNew[] = u"プログラムの新規作成";
inline constexpr char16_t MenuOpen[] = u"開く(&O)";
inline constexpr char16_t HintOpen[] = u"プログラムを開く";
inline constexpr char16_t MenuExit[] = u"終了(&X)";
inline constexpr char16_t HintExit[] = u"Lorvexの終了";
inline constexpr char16_t MenuWindow[] = u"ウインドウ(&W)";
inline constexpr char16_t MenuTileHorizontal[] = u"横に並べる(&H)";
inline constexpr char16_t MenuTileVertical[] = u"縦に並べる(&V)";
inline constexpr char16_t MenuCascade[] = u"カスケード(&C)";
inline constexpr char16_t MenuIconSort[] = u"アイコン整列 (&I)";
inline constexpr char16_t MenuOption[] = u"オプション(&O)";
inline constexpr char16_t MenuPreferenceSetting[] = u"環境設定";
inline constexpr char16_t MenuAssociationSetting[] = u"関連付け設定";
inline constexpr char16_t MenuDeletePreference[] = u"環境設定削除";
inline constexpr char16_t MenuDeleteRegistry[] = u"環境設定レジストリ削除";
inline constexpr char16_t MenuDeleteIniFile[] = u"Ini File 削除";
inline constexpr char16_t MenuHelp[] = u"ヘルプ(&H)";
inline constexpr char16_t MenuLXHelp[] = u"Lorvex ヘルプ(&H)";
inline constexpr char16_t MenuBasicTutor[] = u"Basic 入門";
inline constexpr char16_t MenuVersion[] = u"バージョン(&V)";
inline constexpr char16_t MenuHomePage[] = u"Lorvex Home Page(&T)";

// Editor menus.
inline constexpr char16_t MenuClose[] = u"閉じる(&C)";
inline constexpr char16_t HintClose[] = u"プログラムを閉じる";
inline constexpr char16_t MenuSave[] = u"上書き保存(&S)";
inline constexpr char16_t HintSave[] = u"プログラムの上書き保存";
inline constexpr char16_t MenuSaveAs[] = u"名前をつけて保存(&A)";
inline constexpr char16_t HintSaveAs[] = u"プログラムに名前をつけて保存";
inline constexpr char16_t MenuPrint[] = u"印刷(&P)";
inline constexpr char16_t HintPrint[] = u"プログラムの印刷";
inline constexpr char16_t MenuEdit[] = u"編集(&E)";
inline constexpr char16_t MenuCut[] = u"切り取り(&T)";
inline constexpr char16_t MenuCopy[] = u"コピー(&C)";
inline constexpr char16_t MenuPaste[] = u"貼り付け(&P)";
inline constexpr char16_t MenuDelete[] = u"削除(&D)";
inline constexpr char16_t MenuSelectAll[] = u"すべて選択(&A)";
inline constexpr char16_t MenuUndo[] = u"元に戻す(&U)";
inline constexpr char16_t MenuRedo[] = u"やり直し(&R)";
inline constexpr char16_t MenuSearch[] = u"検索(&S)";
inline constexpr char16_t MenuFind[] = u"検索(&F)";
inline constexpr char16_t MenuFindNext[] = u"次を検索";
inline constexpr char16_t MenuReplace[] = u"置換(&R)";
inline constexpr char16_t MenuRun[] = u"実行";
inline constexpr char16_t MenuRunLX[] = u"プログラムの実行";
inline constexpr char16_t MenuStopLX[] = u"プログラムの中断";
inline constexpr char16_t MenuContLX[] = u"プログラムの再開";
inline constexpr char16_t MenuPrgFormat[] = u"プログラム整形";
inline constexpr char16_t MenuRunNow[] = u"即実行";

// Status-bar panels the editor keeps up to date.
inline constexpr char16_t PanelCaret[] = u" %1 行， %2 桁";
inline constexpr char16_t PanelModified[] = u"変更あり";
inline constexpr char16_t PanelInsert[] = u"挿入";
inline constexpr char16_t PanelOverwrite[] = u"上書き";
inline constexpr char16_t PanelCursorMode[] = u"←，→キーでの行越禁止";

// Start-up refusals (English, as the system shows them).
inline constexpr char16_t UnsupportedCaption[] = u"LX Unsupport Message";
inline constexpr char16_t Unsupported16Bit[] =
    u"Sorry, this version of LX does not work on 16bit Windows System";
inline constexpr char16_t Unsupported2000[] =
    u"Sorry this version of LX does not work on Windows 2000 System";

// Questions and messages of the main frame.
inline constexpr char16_t ExitQuestion[] = u"Lorvex を終了しますか？";
// The application closes without waiting for a run that does not stop.
inline constexpr char16_t StopNotHonoured[] =
    u"実行中のプログラムが中断に応じないため、終了を待たずに Lorvex を終了します。";
inline constexpr char16_t HomePageQuestion[] = u"Lorvex for Windows Home Page へ接続しますか？";
inline constexpr char16_t DeleteRegistryQuestion[] = u"Lorvex のレジストリを削除しますか。";
inline constexpr char16_t DeleteIniQuestion[] = u"Lorvex のiniファイルを削除しますか。";
inline constexpr char16_t UninstallNote[] = u"(Lorvex を uninstall するときに実行して下さい。)";
inline constexpr char16_t VersionLine[] = u"Lorvex for Windows v. %1 (%2)";
inline constexpr char16_t VersionCredits[] = u"Lorvex: a structured BASIC for the desktop";
inline constexpr char16_t VersionOsLine[] = u" Your OS is Windows %1";
inline constexpr char16_t HomePageAddress[] = u"https://lorvex.example.org/";
inline constexpr char16_t HelpFileName[] = u"LXWHelp.chm";
inline constexpr char16_t TutorFileName[] = u"DOdero.chm";
inline constexpr char16_t HelpFileMissing[] = u"ヘルプファイル %1 が見つかりません。";
inline constexpr char16_t HelpFileNotShown[] = u"ヘルプファイル %1 を表示できません。";
inline constexpr char16_t HomePageNotShown[] = u"%1 を開けません。";
inline constexpr char16_t DeleteFailed[] = u"%1 を削除できません。";

// File dialogs.
inline constexpr char16_t OpenDialogTitle[] = u"Open a Program";
inline constexpr char16_t EncodingLabel[] = u"文字コード:";
inline constexpr char16_t DefaultExtension[] = u"lxt";
// Each filter: the name the user reads, then the patterns in the file dialog's own form.
inline constexpr const char16_t* OpenFilters[] = {
    u"Lorvex Text (*.lxt;*.lib) (*.lxt *.lib)",
    u"Basic File (*.lxt; *.bas;*.lib) (*.lxt *.lib *.bas)",
    u"Text Type File (*.lxt;*.lib;*.bas;*.txt;*.dat) (*.lxt *.lib *.bas *.txt *.dat)",
    u"All (*.*) (*)",
};
inline constexpr const char16_t* SaveFilters[] = {
    u"Lorvex Text (*.lxt) (*.lxt *.bas)",
    u"Basic File (*.lxt; *.bas) (*.lxt *.bas)",
    u"Text Type File (*.lxt;*.bas;*.txt;*.dat) (*.lxt *.bas *.txt *.dat)",
    u"All (*.*) (*)",
};

// Questions and messages of the editor.
inline constexpr char16_t SaveChangesQuestion[] = u"%1 は変更されています。保存しますか？";
inline constexpr char16_t FileOpenFailed[] = u"%1 を開けません。";
inline constexpr char16_t FileSaveFailed[] = u"%1 に保存できません。";
inline constexpr char16_t BackupFailed[] = u"%1 のバックアップを作れないため，保存しませんでした。";
inline constexpr char16_t LossyEncodingQuestion[] =
    u"%1 には文字コード %2 で表せない文字があります。\n「?」に置き換えて保存しますか？";
} // namespace Txt

// Texts of the preferences window and the association window.
namespace Txt {
inline constexpr char16_t OptionCaption[] = u"Lorvex 環境設定";
inline constexpr char16_t OptionPageGeneral[] = u"一般設定";
inline constexpr char16_t OptionPageEditor[] = u"編集設定";
inline constexpr char16_t OptionPageTScreen[] = u"実行画面設定";
inline constexpr char16_t OptionPageSize[] = u"画面サイズ設定";
inline constexpr char16_t OptionInstallFolder[] = u"インストールフォルダ";
inline constexpr char16_t OptionInstallFolderHint[] = u"Folder to install Lorvex";
inline constexpr char16_t OptionWorkingFolder[] = u"プログラム保存フォルダ";
inline constexpr char16_t OptionWorkingFolderHint[] = u"Folder to save Lorvex programs";
inline constexpr char16_t OptionBrowse[] = u"参照";
inline constexpr char16_t OptionFormatCheck[] = u"自動キーワード強調";
inline constexpr char16_t OptionFormatCheckHint[] = u"Format Check";
inline constexpr char16_t OptionAutoFormatLoad[] = u"Load時キーワード強調";
inline constexpr char16_t OptionAutoFormatLoadHint[] = u"Auto Format Load";
inline constexpr char16_t OptionCursorMode[] = u"<-,->カーソルの行越え禁止";
inline constexpr char16_t OptionCursorModeHint[] = u"Cursor Mode";
inline constexpr char16_t OptionExitMsgCheck[] = u"終了確認";
inline constexpr char16_t OptionExitMsgCheckHint[] = u"ExitMSG Check";
inline constexpr char16_t OptionStoreRegistry[] = u"環境設定し，レジストリに保存";
inline constexpr char16_t OptionStoreIniFile[] = u"環境設定し，iniファイルに保存";
inline constexpr char16_t OptionStoreNone[] = u"環境設定するが保存しない";
inline constexpr char16_t OptionPresentSetting[] = u"現在の環境設定";
inline constexpr char16_t OptionPresentRegistry[] = u"レジストリ";
inline constexpr char16_t OptionPresentIniFile[] = u"ini ファイル";
inline constexpr char16_t OptionPresentDefault[] = u"デフォルト";
inline constexpr char16_t OptionSave[] = u"保存";
inline constexpr char16_t OptionSaveExit[] = u"保存・閉じる";
inline constexpr char16_t OptionCancel[] = u"キャンセル";
inline constexpr char16_t OptionFontColor[] = u"フォント色";
inline constexpr char16_t OptionBackColor[] = u"背景色";
inline constexpr char16_t OptionKeywordColor[] = u"キーワード色";
inline constexpr char16_t OptionCommentColor[] = u"コメント色";
inline constexpr char16_t OptionStringColor[] = u"文字列色";
inline constexpr char16_t OptionStyle[] = u"スタイル";
inline constexpr char16_t OptionFont[] = u"フォント";
inline constexpr char16_t OptionCharSetNo[] = u"CharSetNo";
inline constexpr char16_t OptionFontName[] = u"Name";
inline constexpr char16_t OptionFontStyle[] = u"Style";
inline constexpr char16_t OptionFontSize[] = u"Size";
// The entries of the style lists, in the order of their item numbers.
inline constexpr const char16_t* OptionStyleItems[] = {u"Normal", u"Italic", u"Bold", u"Bold Italic"};
inline constexpr char16_t OptionMainSize[] = u"主画面初期サイズ";
inline constexpr char16_t OptionEditorSize[] = u"編集画面初期サイズ";
inline constexpr char16_t OptionTScreenSize[] = u"実行画面初期サイズ";
inline constexpr char16_t OptionWidth[] = u"幅";
inline constexpr char16_t OptionHeight[] = u"高さ";
inline constexpr char16_t OptionCurrentSize[] = u"現在のサイズ";
// A size box whose text is not a whole number of 1 or more: %1 the row, %2 width or height, %3 the text.
inline constexpr char16_t OptionSizeRefused[] = u"%1の%2「%3」は使えません。1 以上の整数を入力して下さい。";
// Saving failed: %1 the store file, %2 the reason (one of the four below, or the system's own words).
inline constexpr char16_t OptionSaveFailed[] =
    u"環境設定を %1 に保存できません。\n%2\n保存してある環境設定は変わっていません。";
inline constexpr char16_t OptionSaveFolderNotWritable[] = u"フォルダ %1 に書き込めません。";
inline constexpr char16_t OptionSaveNoProgramFolder[] = u"プログラムのフォルダが分かりません。";
inline constexpr char16_t OptionSaveFileUnreadable[] =
    u"今あるファイルを読めないため，上書きしませんでした。";
inline constexpr char16_t OptionSaveLineBreak[] = u"「%1」の値に改行が入っています。";

inline constexpr char16_t AssocCaption[] = u"Lorvex 関連付け設定プログラム";
inline constexpr char16_t AssocExplanation[] =
    u"lxt ファイルのアイコンをダブルクリックしたときの動作を指定します。";
inline constexpr char16_t AssocEffect[] = u"関連付けを行うとLorvex が起動して以下の動作をします。";
inline constexpr char16_t AssocCurrent[] = u"現在の設定";
// Radio-button texts and current-setting texts, choices 1 to 4 in order.
inline constexpr const char16_t* AssocChoiceItems[] = {u"実行に関連付け（編集画面は最小化）",
                                                       u"実行に関連付け（編集画面は標準）",
                                                       u"編集に関連付け（編集画面が開く）", u"関連付けなし"};
inline constexpr const char16_t* AssocSettingItems[] = {u"実行に関連付け", u"実行編集に関連付け",
                                                        u"編集に関連付け", u"関連付けなし"};
inline constexpr char16_t AssocOk[] = u"OK";
inline constexpr char16_t AssocCancel[] = u"Cancel";
inline constexpr char16_t AssocAbout[] = u"About";
inline constexpr char16_t AssocDone[] = u"関連付け設定が終わりました。";
inline constexpr char16_t AssocFailed[] = u"関連付けを設定できませんでした。\n%1";
inline constexpr char16_t AssocAboutText[] =
    u"Lorvex 関連付け設定プログラム\nlxt ファイルを開く動作をデスクトップに登録します。";
} // namespace Txt

// Texts of the editor's colouring, find and replace.
namespace Txt {
inline constexpr char16_t StringNotFound[] = u"文字列が見つかりません。";
inline constexpr char16_t FormatQuestion[] =
    u"プログラムを書式整形しますか。\n大きなプログラムの場合，時間がかかります。";
inline constexpr char16_t LoadWaitCaption[] = u"ロード中";
inline constexpr char16_t FormatWaitCaption[] = u"書式整形中";
inline constexpr char16_t FindCaption[] = u"検索";
inline constexpr char16_t ReplaceCaption[] = u"置換";
inline constexpr char16_t FindWhatLabel[] = u"検索する文字列(&N):";
inline constexpr char16_t ReplaceWithLabel[] = u"置換後の文字列(&P):";
inline constexpr char16_t FindNextButton[] = u"次を検索(&F)";
inline constexpr char16_t ReplaceNextButton[] = u"置換して次に(&R)";
inline constexpr char16_t ReplaceAllButton[] = u"すべて置換(&A)";
inline constexpr char16_t FindCancelButton[] = u"キャンセル";
} // namespace Txt
